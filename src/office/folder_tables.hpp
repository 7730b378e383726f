#pragma once
// The declaration tables of a client folder other than the current one:
// their names, opening them in a chosen work area with the catalogue's
// index files, and the rows of one taxpayer.
#include <functional>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"
#include "runtime/table/table.hpp"

namespace qv::office {

inline constexpr int kFirstTable = 1;
inline constexpr int kLastTable = 20;
inline constexpr int kRegister = 9;

// "IMP<nn>12".
std::string table_name(int code);
// A folder as the file system knows it (Windows names converted), with a
// trailing "/"; empty stays empty.
std::string local_folder(std::string_view folder);
// True when both names lead to the same folder.
bool same_folder(std::string_view a, std::string_view b);
// Opens declaration table `code` of `folder` in `area` with its index
// files, under `alias` when given. False when the table cannot be had in
// that mode (another terminal holds it) or is unreadable.
bool open_folder_table(std::string_view folder, int code, int area, bool exclusive, std::string_view alias = {});
// Deletes the index files of declaration table `code` in `folder` (for the
// register also its second and third index files).
void remove_index_files(std::string_view folder, int code);
// Marks deleted the rows of `cpf` (in the table's CPF order) that `also`
// accepts; returns how many.
long delete_taxpayer_rows(rt::table::Table& t, const rt::Value& cpf, const std::function<bool()>& also = {});
// True while another process has the table file open (it cannot be had alone).
bool held_elsewhere(const std::string& path);
// The first declaration table of `folder` held elsewhere; 0 when none.
int first_table_held(const std::string& folder);
// The taxpayer's CPF as the tables key it.
rt::Value cpf_key(std::string_view cpf);

}  // namespace qv::office
