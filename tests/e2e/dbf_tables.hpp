#pragma once
// Small xBase tables written and read byte by byte, for runs that hand the
// programs tables of another program (or year) and check what they wrote.
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qv::e2e {

struct DbfField {
    std::string name;
    char type = 'C';   // C, N, D (yyyymmdd) or L (T/F)
    int len = 1;
    int dec = 0;
};

// A row as field name -> text: numbers as plain figures, dates yyyymmdd.
using DbfRow = std::map<std::string, std::string>;

// A dBASE III table without memo file holding `rows`.
void write_dbf(const std::filesystem::path& path, const std::vector<DbfField>& fields, const std::vector<DbfRow>& rows);

// The rows not deleted, each field's text without the blanks around it
// (the file's own name case: the programs may write "IMP0212.dbf").
std::vector<DbfRow> read_dbf(const std::filesystem::path& path);

// Writes `text` into `field` of the first row `which` accepts (a number
// right-aligned); false when no row is accepted. The programs must not be
// writing the table meanwhile.
bool set_dbf_field(const std::filesystem::path& path, const std::function<bool(const DbfRow&)>& which,
                   const std::string& field, const std::string& text);

}  // namespace qv::e2e
