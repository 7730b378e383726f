#pragma once
// Backups of the client folders' declaration tables as one archive per
// folder, and their restore: one pair of folders, or every folder of the
// terminal's list mirrored on another drive.
#include <string>
#include <string_view>

namespace qv::office {

// Mode 1 asks the folders; mode 2 takes them. False on failure or Esc.
bool BKMANUAL(int mode, std::string_view destination = {}, std::string_view origin = {});
bool VOMANUAL(int mode, std::string_view destination = {}, std::string_view origin = {});
// Every folder of the list, mirrored on the drive XDRIVE.
bool BKAUTOMA();
bool VOAUTOMA();
// Pending keys consumed; Esc asks whether to stop. True to stop (CAN_IMP).
bool PAREBAK();

// The folder on drive `drive` that mirrors `folder` (its path without its
// own drive), with a trailing "/".
std::string mirror_folder(std::string_view folder, char drive);

}  // namespace qv::office
