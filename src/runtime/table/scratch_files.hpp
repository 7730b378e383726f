#pragma once
// The files a writer makes beside a table while it rewrites it, and which a
// writer killed half way leaves behind: the table and its index written
// aside ("<stem>_<pid>.rw~" with "<stem>_<pid>.cdx"), the files of a PACK
// and of an index built aside ("<stem>.<pid>.pk~", ".pm~", ".cx~",
// ".c<n>~"), a new table written aside before it takes its name
// ("<stem>.<pid>.cr~") and a list of renames cut short before it was
// complete ("<stem>.rp~~"). Each of these writers holds the table exclusively while
// it works, so whoever holds the table exclusively knows that every such
// file there is left over, whichever machine made it.
#include <string>

namespace qv::rt::table {

// Removes the leftovers of the table at `table_path` (the file system's
// name). Only for a table held exclusively, after any list of renames left
// by a writer has been finished. Looks at the folder again only when it
// has changed since the last look; returns how many files went.
int remove_dead_scratch(const std::string& table_path);

}  // namespace qv::rt::table
