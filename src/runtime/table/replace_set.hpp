#pragma once
// Files replaced together (a packed table, its memo file and its index
// files): each new file is written complete under another name, then the
// list of renames is put beside the table, the renames are made and the
// list removed. A crash in between leaves the list, and the next open of
// the table makes the renames that are left, so that the files are all old
// or all new.
#include <string>
#include <vector>

namespace qv::rt::table {

struct Rename {
    std::string from, to;
};

std::string replace_list_of(const std::string& table_path);
// Throws TableError when the list cannot be written (nothing renamed then)
// or a rename fails (the list stays for the next open).
void replace_together(const std::string& table_path, const std::vector<Rename>& renames);
// Makes the renames a list left behind still asks for; none when no list.
void finish_replacing(const std::string& table_path);
// A file written aside takes the permissions of the file it is about to
// replace, so that a rewritten table stays as readable as it was.
void keep_permissions(const std::string& from, const std::string& to);

}  // namespace qv::rt::table
