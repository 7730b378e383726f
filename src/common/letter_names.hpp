#pragma once
// The one rule for the names of the office's letters, wherever a letter is
// written, listed, printed or mailed: a letter is a text file of the
// program folder, its name written in lower case with ".txt" when typed
// without an extension, and found whatever the case of the file on disk.
#include <string>
#include <string_view>

namespace qv::common {

// The file name of a letter as typed: a name without an extension gets
// ".txt", an empty one is "SemNome.txt"; lower case, without any folder.
std::string letter_file_name(std::string_view name);
// The letter's path in the program folder: the existing file of that name
// in any letter case, else the name as the rule writes it.
std::string letter_path(std::string_view name);
bool letter_exists(std::string_view name);

}  // namespace qv::common
