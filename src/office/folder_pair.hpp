#pragma once
// The question of a pair of folders (origin and destination) that the
// backups and the copies between folders ask first, with its checks.
// The answer is left in ORIGEM / DESTINO (80 characters, as typed) and
// ORIG / DEST (the folders as the file system knows them, trailing "/").
#include <string>

namespace qv::office {

enum class PairUse {
    Backup,        // data folder -> backup folder, archive
    Restore,       // backup folder -> data folder, archive
    CopyBetween,   // one client folder to another
    CopyTo,        // data folder -> backup folder, table by table
    CopyFrom,      // backup folder -> data folder, table by table
};

// BUSCANOME (Backup, Restore) and TRANOME's question (the others).
// False on Esc.
bool ask_folder_pair(PairUse use);

std::string origin_folder();        // ORIG
std::string destination_folder();   // DEST

// The first missing table IMP01..IMP<last>12 of a folder, with its message
// (VEJA_ARQ); true when all are there.
bool folder_has_tables(const std::string& folder, int last);

}  // namespace qv::office
