#pragma once
// The outside archiver that packs a client folder's tables into one file
// and unpacks them again. Only the 7z command exists on this platform; the
// other archiver the settings can name has no program here.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv::office {

enum class Archiver { SevenZip, Ice };

// The archiver of the office settings (PROGCOMP "S" 7z, "N" ICE).
Archiver chosen_archiver();
// "IMPZIP12.zip" or "IMPZIP12.ICE".
std::string archive_file(Archiver a);

// The declaration tables of a folder ("IMP??12.DBF", any case), names only.
std::vector<std::string> declaration_files(const std::string& folder);

// What a run of the archiver came to.
enum class ArchiverOutcome { Done, NotStarted, Failed };

// Packs `files` of `folder` into `archive` (written beside and renamed, so
// that a failed run leaves no archive and an older one untouched).
ArchiverOutcome pack_folder(const std::string& archive, const std::string& folder,
                            const std::vector<std::string>& files);
// Unpacks `archive` into `folder`, overwriting.
ArchiverOutcome unpack_into(const std::string& archive, const std::string& folder);

// The command that runs the archiver ("7z" by default; tests put a stand-in).
void set_archiver_command(std::string command);
const std::string& archiver_command();

}  // namespace qv::office
