#pragma once
// Last year's tables of the source folder, open beside this year's for the
// length of an import run.
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/table/table.hpp"

namespace qv::converter {

namespace tb = rt::table;

// Opens `<folder><prefix><nn><suffix>` for each code of `codes` (the register
// 09 as "origem", the others as "origem" + nn), found whatever the case of
// the file names. A table that cannot be opened, or has no CPF, is reported
// by name in `missing` and left out; closes them all when it ends.
class SourceTables {
public:
    SourceTables(const std::string& folder, std::string_view prefix, std::string_view suffix,
                 std::initializer_list<int> codes, std::vector<std::string>& missing);
    ~SourceTables();
    SourceTables(const SourceTables&) = delete;
    SourceTables& operator=(const SourceTables&) = delete;

    // The source table of a code, or nullptr when it was left out.
    tb::Table* get(int code);
    // The record numbers of the CPF's rows, in file order.
    std::vector<std::uint32_t> rows(int code, std::string_view cpf);

private:
    std::vector<int> open_;
};

// A field of last year's row whose value cannot be had in the type this
// year's field (or the import) wants: the taxpayer is left out whole.
class FieldMismatch : public std::runtime_error {
public:
    FieldMismatch(std::string field, const std::string& why)
        : std::runtime_error(field + " " + why), field_(std::move(field)) {}
    const std::string& field() const { return field_; }

private:
    std::string field_;
};

// `v` (last year's field `source`) as a value of the field `to`: texts
// holding dates or numbers are read, numbers and dates written as text;
// a value that cannot be had so, or too wide for the field, throws
// FieldMismatch.
rt::Value fitted(const rt::Value& v, const tb::Field& to, std::string_view source);

// The work area of last year's table of a code.
int source_area(int code);
// Copies the fields of `names` that both rows have.
void copy_shared(tb::Table& from, tb::Table& to, std::initializer_list<const char*> names);
// Copies field `source` of one row into field `dest` of the other, when
// both rows have them.
void copy_as(tb::Table& from, std::string_view source, tb::Table& to, std::string_view dest);
// Runs `fn` on each of the CPF's rows of a source table, current in turn.
template <typename Fn>
void each_source(SourceTables& src, int code, std::string_view cpf, Fn fn) {
    tb::Table* t = src.get(code);
    if (!t) return;
    for (const std::uint32_t r : src.rows(code, cpf)) {
        t->go_to(r);
        fn(*t);
    }
}
// Copies every field the two rows share.
void copy_all_shared(tb::Table& from, tb::Table& to);
// A field's value, or an empty value of its kind when the row lacks it;
// a number kept as text is read (FieldMismatch when it is no number), a
// number, date or flag kept where a text is wanted is given as text.
double number_of(tb::Table& t, const char* field);
std::string text_of(tb::Table& t, const char* field);
// A date kept as a date or as text ("yyyymmdd", "dd/mm/yyyy").
rt::Value date_of(tb::Table& t, const char* field);

}  // namespace qv::converter
