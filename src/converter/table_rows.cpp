#include "converter/table_rows.hpp"

#include <string>

#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/declaration_protection.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

bool same_cpf(tb::Table& t, std::string_view cpf) {
    return !t.eof() && rt::RTRIM(t.get("CPF").as_string()) == cpf;
}

std::vector<std::uint32_t> rows_of(tb::Table& t, std::string_view cpf) {
    std::vector<std::uint32_t> rows;
    t.set_order(1);
    if (!t.seek(rt::Value(std::string(cpf)))) return rows;
    for (; same_cpf(t, cpf); t.skip(1))
        if (!t.deleted()) rows.push_back(t.recno());
    return rows;
}

// Every field of the current row blank but the CPF, as a new row has them.
void blank_fields(tb::Table& t) {
    const std::vector<tb::Field>& fields = t.fields();
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        const tb::Field& f = fields[static_cast<std::size_t>(i)];
        if (f.name == "CPF") continue;
        switch (f.type) {
            case 'N': t.put(i, rt::Value(0.0)); break;
            case 'D': t.put(i, rt::Value(rt::Date{})); break;
            case 'L': t.put(i, rt::Value(false)); break;
            default: t.put(i, rt::Value(std::string())); break;
        }
    }
}

}  // namespace

tb::Table& table(int code) { return tables::ws().current(code); }

void delete_rows(int code, std::string_view cpf, const std::function<bool(tb::Table&)>& which) {
    tb::Table& t = table(code);
    for (const std::uint32_t r : rows_of(t, cpf)) {
        t.go_to(r);
        if (!which || which(t)) t.delete_record();
    }
    t.commit();
}

tb::Table& new_row(int code, std::string_view cpf) {
    tables::ws().select(code);
    tb::Table& t = table(code);
    if (!tables::ADD_REC(2)) tb::fail(t.path(), "record not available");
    t.put("CPF", rt::Value(std::string(cpf)));
    return t;
}

void for_each_row(int code, std::string_view cpf, const std::function<void(tb::Table&)>& fn) {
    tb::Table& t = table(code);
    for (const std::uint32_t r : rows_of(t, cpf)) {
        t.go_to(r);
        fn(t);
    }
    t.commit();
}

RowReuse::RowReuse(int code, std::string_view cpf) : code_(code), cpf_(cpf), rows_(rows_of(table(code), cpf)) {}

tb::Table& RowReuse::next() {
    if (used_ < rows_.size()) {
        // A row taken again holds nothing of what it held: a field the new
        // record leaves empty is empty, as in a new row.
        tb::Table& t = table(code_);
        t.go_to(rows_[used_++]);
        blank_fields(t);
        return t;
    }
    return new_row(code_, cpf_);
}

void RowReuse::finish() {
    tb::Table& t = table(code_);
    for (; used_ < rows_.size(); ++used_) {
        t.go_to(rows_[used_]);
        t.delete_record();
    }
    t.commit();
}

}  // namespace qv::converter

namespace qv::converter {

tb::Table& declaration_row(std::string_view cpf) {
    tb::Table& t = table(1);
    t.set_order(1);
    if (!same_cpf(t, cpf) && !t.seek(rt::Value(std::string(cpf)))) tb::fail(t.path(), "no declaration record");
    return t;
}

}  // namespace qv::converter

namespace qv::converter {

TablesLocked::TablesLocked(const std::vector<int>& codes) {
    constexpr double kLockSeconds = 2;
    for (const int code : codes) {
        tables::ws().select(code);
        if (!tables::FIL_LOCK(kLockSeconds)) {
            ok_ = false;
            return;
        }
        locked_.push_back(code);
    }
}

std::string taxpayer_taken(tables::TaxpayerMarks& marks, std::string_view cpf, std::string_view folder) {
    const tables::MarkClaim claim = marks.take(folder.empty() ? tables::client_folder() : std::string(folder), cpf);
    if (claim.outcome != tables::MarkOutcome::Unavailable) return tables::refusal_text(claim, cpf);
    return rt::TRANSFORM(rt::Value(std::string(cpf)), "@R 999.999.999-99") + ": " + claim.problem;
}

std::string declaration_taken(tables::TaxpayerMarks& marks, std::string_view cpf, std::string_view folder) {
    if (std::string why = taxpayer_taken(marks, cpf, folder); !why.empty()) return why;
    tb::Table* reg = tables::ws().table(9);
    return reg == nullptr ? std::string() : protection_refusal(*reg, cpf);
}

std::string protection_refusal(tb::Table& reg, std::string_view cpf) {
    if (!tables::register_protects(reg, cpf)) return {};
    return rt::TRANSFORM(rt::Value(std::string(cpf)), "@R 999.999.999-99") + ": " + tables::protection_text();
}

TablesLocked::~TablesLocked() {
    for (const int code : locked_)
        if (tb::Table* t = tables::ws().table(code)) {
            t->commit();
            t->unlock();
        }
}

}  // namespace qv::converter
