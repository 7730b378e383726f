#pragma once
// Writing a taxpayer's rows into the destination folder's declaration
// tables (open in the work areas of their codes, locked by the caller).
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "runtime/core/value.hpp"
#include "runtime/table/table.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::converter {

namespace tb = rt::table;

tb::Table& table(int code);
// Deletes the CPF's rows that `which` accepts (all when it is empty).
void delete_rows(int code, std::string_view cpf, const std::function<bool(tb::Table&)>& which = {});
// Appends a row for the CPF and leaves it current.
tb::Table& new_row(int code, std::string_view cpf);
// Runs `fn` on each of the CPF's rows.
void for_each_row(int code, std::string_view cpf, const std::function<void(tb::Table&)>& fn);

// The CPF's rows of a table taken again in order: each next() gives the
// next existing row, or a new one when they run out; finish() deletes
// the rows not taken.
class RowReuse {
public:
    RowReuse(int code, std::string_view cpf);
    tb::Table& next();
    void finish();

private:
    int code_;
    std::string cpf_;
    std::vector<std::uint32_t> rows_;
    std::size_t used_ = 0;
};

}  // namespace qv::converter

namespace qv::converter {

// Every table an import writes is locked before the first write, so that
// a taxpayer is taken whole or not at all; the locks go with the object.
class TablesLocked {
public:
    explicit TablesLocked(std::initializer_list<int> codes) : TablesLocked(std::vector<int>(codes)) {}
    explicit TablesLocked(const std::vector<int>& codes);
    ~TablesLocked();
    TablesLocked(const TablesLocked&) = delete;
    TablesLocked& operator=(const TablesLocked&) = delete;
    bool ok() const { return ok_; }

private:
    std::vector<int> locked_;
    bool ok_ = true;
};

// The taxpayer made the import's while its rows are written (in the data
// folder unless another is named): a terminal with its declaration open
// would undo them when it saves, and none opens it half-written. Empty
// when taken; else the run's report line naming the taxpayer and why.
std::string taxpayer_taken(tables::TaxpayerMarks& marks, std::string_view cpf, std::string_view folder = {});
// The same for a write that changes the taxpayer's declaration: refused
// too when the register open in area 9 gives it the status that protects
// it against change.
std::string declaration_taken(tables::TaxpayerMarks& marks, std::string_view cpf, std::string_view folder = {});
// The protection refusal alone, read in the register `reg`: empty when
// the taxpayer's status lets the declaration change.
std::string protection_refusal(tb::Table& reg, std::string_view cpf);

// The taxpayer's declaration record (table 01), current.
tb::Table& declaration_row(std::string_view cpf);
}  // namespace qv::converter
