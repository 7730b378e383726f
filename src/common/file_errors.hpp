#pragma once
// VEJAERRO: the message for a failed file operation. Codes are those the
// office's older systems showed (2 file missing, 3 path missing, 4 too many
// open files, 5 access denied); dos_error_code() maps a Linux errno to them.
#include <string>
#include <string_view>

namespace qv::common {

int dos_error_code(int errnum);
// The text for a code; empty for 0 (success).
std::string file_error_text(int code, std::string_view file);
// Shows the text (nothing for 0).
void VEJAERRO(int code, std::string_view file = {});

// The message for a folder the program must write and may not; empty when
// it may.
std::string unwritable_folder_text(std::string_view folder);

}  // namespace qv::common
