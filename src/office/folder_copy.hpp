#pragma once
// Copying or moving taxpayers, with all their declaration rows, from one
// client folder to another.
#include <string>

namespace qv::office {

// Mode 1 copies between folders; modes 2 and 3 only ask the folder pair of
// a backup (to and from the backup folder).
bool TRANOME(int mode);
// Table `code` of the destination gets the origin's rows of `cpf` in place
// of its own. False when the destination table cannot be had alone.
bool FAZAPP(int code, const std::string& cpf, const std::string& origin, const std::string& destination);

}  // namespace qv::office
