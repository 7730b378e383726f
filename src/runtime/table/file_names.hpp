#pragma once
// File names as the system writes them: Windows style, any case, backslashes
// or slashes, with or without extension, in the program's characters (CP850).
// On a case-sensitive file system an existing file is found whatever the case
// of its name; new files are created with the case given. The file system's
// names are UTF-8: the engine converts every name it is given on its way
// there, in resolve_path, so that no caller has to; a name this layer gave
// back (Table::path(), resolve_path()) may be handed to it again as it is.
#include <string>
#include <string_view>

namespace qv::rt::table {

// Turns backslashes into slashes.
std::string normalise_separators(std::string_view path);
// The name with `ext` (".dbf") added when the last component has no point.
std::string with_default_extension(std::string_view path, std::string_view ext);
// `path` with the extension of its last component replaced by `ext`.
std::string with_extension(std::string_view path, std::string_view ext);
// The folder part ("" when none) and the last component.
std::string folder_of(std::string_view path);
std::string base_name(std::string_view path);       // last component
std::string stem_of(std::string_view path);         // last component without extension

// The file system's name of that path: each component converted from CP850
// and matched ignoring case when no exact match exists; when nothing exists,
// the path as given (with the existing folders' real names), so that a new
// file gets the case given.
std::string resolve_path(std::string_view path);
// The existing entry named `name` in `folder`, ignoring case, in the
// program's characters; empty if none.
std::string find_in_folder(std::string_view folder, std::string_view name);
bool file_exists(std::string_view path);   // after resolve_path

}  // namespace qv::rt::table
