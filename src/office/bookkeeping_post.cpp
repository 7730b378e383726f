// Posting the bookkeeping entries into the declaration's tables: each
// account names the page and line of the declaration its amounts feed.
#include <functional>
#include <optional>
#include <string>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "office/bookkeeping.hpp"
#include "office/bookkeeping_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/declaration_protection.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

namespace {

using common::Global;
using rt::operator""_cp;
namespace tb = rt::table;

constexpr int kSummaryTable = 1, kIncomeTable = 2, kPaymentsTable = 6, kRegisterArea = 9;

struct Entry {
    std::string code, description, number, dependant;   // number: digits only
    double amount = 0;
    int first = 0, last = 0;
};

std::string trimmed(tb::Table& t, const char* field) {
    const rt::Value v = t.get(field);
    return v.is_string() ? rt::ALLTRIM(v.as_string()) : std::string();
}

int whole(tb::Table& t, const char* field) { return static_cast<int>(t.get(field).as_number()); }

Entry entry_of(tb::Table& e) {
    return {trimmed(e, "CDCONTA"),  trimmed(e, "DESCONTA"),          common::TIRA_PONTO(trimmed(e, "NROCGCCPF")),
            common::TIRA_PONTO(trimmed(e, "CPFDEPEN")), e.get("VALODESP").as_number(), whole(e, "MESINI"),
            whole(e, "MESFIM")};
}

std::string two(int n) { return rt::STRZERO(n, 2); }

bool numeric_field(tb::Table& t, const std::string& name) {
    const int i = t.field_index(name);
    return i >= 0 && t.fields()[static_cast<std::size_t>(i)].type == 'N';
}

// The months an entry covers: a last month before the first counts as the
// first; months outside the year are left out.
template <typename Visit>
void each_month(const Entry& e, Visit visit) {
    const int last = e.last < e.first ? e.first : e.last;
    for (int m = e.first; m <= last; ++m)
        if (m >= 1 && m <= 12) visit(m);
}

double months_sum(tb::Table& t, const std::string& stem) {
    double sum = 0;
    for (int m = 1; m <= 12; ++m) sum += t.get(stem + two(m)).as_number();
    return sum;
}

// Among the taxpayer's rows of the table in `area`, the first that `match`
// accepts, locked; else a new locked row with the CPF when `create`.
bool find_row(int area, const std::function<bool(tb::Table&)>& match, bool create) {
    tables::ws().select(area);
    tb::Table& t = *tables::ws().table(area);
    const std::string cpf = rt::ALLTRIM(Global{"CPF"}.text());
    for (t.go_top(); !t.eof(); t.skip()) {
        if (t.deleted() || trimmed(t, "CPF") != cpf || !match(t)) continue;
        return tables::REC_LOCK();
    }
    if (!create || !tables::ADD_REC()) return false;
    t.put("CPF", rt::Value(rt::PADR(cpf, 11)));
    return true;
}

void done(int area) {
    tb::Table& t = *tables::ws().table(area);
    t.commit();
    t.unlock();
}

bool same_number(tb::Table& t, const char* field, const std::string& digits) {
    return common::TIRA_PONTO(trimmed(t, field)) == digits;
}

// Income from legal persons: the payer's row by its CNPJ (a dependant's
// income by CPF or CNPJ).
bool post_legal_income(const Entry& e, const Account& a) {
    const std::string kind = a.both() ? "D" : "J";
    const std::string field = "I1_" + std::to_string(a.line);
    if (!numeric_field(*tables::ws().table(kIncomeTable), field)) return false;
    const bool create = a.line == 4 || a.line == 15;
    const auto payer = [&](tb::Table& t) { return trimmed(t, "I1_1") == kind && same_number(t, "I1_3", e.number); };
    if (!find_row(kIncomeTable, payer, create)) {
        if (!create) common::AVISOSN("O Lançamento código "_cp + e.code + " precisa ter Fonte Pagadora c/ mesmo CNPJ");
        return false;
    }
    tb::Table& t = *tables::ws().table(kIncomeTable);
    t.put("I1_1", rt::Value(kind));
    // The payer's name the entry was asked for reaches a row without one
    // (dividends, line 15): otherwise the row has no payer to show.
    if (a.line == 4 || (a.own_text && trimmed(t, "I1_2").empty())) t.put("I1_2", rt::Value(e.description));
    t.put("I1_3", rt::Value(common::CONTAPONTO(e.number)));
    if (kind == "D") t.put("I1_8", rt::Value(e.dependant));
    t.put(field, rt::Value(e.amount));
    done(kIncomeTable);
    return true;
}

bool post_summary_line(const Entry& e, const Account& a) {
    const char* field = a.line == 24 ? "I13_31" : a.line == 25 ? "I13_32" : nullptr;
    if (!field || !find_row(kSummaryTable, [](tb::Table&) { return true; }, true)) return false;
    tables::ws().table(kSummaryTable)->put(field, rt::Value(e.amount));
    done(kSummaryTable);
    return true;
}

// Natural-person income and expenses month by month. The row is the
// taxpayer's or the dependant's own: one person's carnê row never takes
// another's months.
bool post_monthly_income(const Entry& e, const Account& a) {
    static const char* const kinds[] = {"F", "E", "L", "P", "I"};
    if (a.line < 1 || a.line > 5) return false;
    const std::string kind = kinds[a.line - 1];
    const std::string name = a.line == 4 ? "Carne do INSS" : a.line == 5 ? "Receita Federal" : e.description;
    const bool dependant = a.has_cpf;
    const std::string holder = dependant ? "N" : "S";
    const auto same_row = [&](tb::Table& t) {
        return trimmed(t, "I1_1") == kind && rt::UPPER(trimmed(t, "I1_2")) == rt::UPPER(rt::ALLTRIM(name)) &&
               (trimmed(t, "I1_11") == holder || (!dependant && trimmed(t, "I1_11").empty())) &&
               (!dependant || same_number(t, "I1_8", e.dependant));
    };
    if (!find_row(kIncomeTable, same_row, true)) return false;
    tb::Table& t = *tables::ws().table(kIncomeTable);
    t.put("I1_1", rt::Value(kind));
    t.put("I1_2", rt::Value(name));
    t.put("I1_11", rt::Value(holder));
    if (dependant) t.put("I1_8", rt::Value(e.dependant));
    each_month(e, [&](int m) { t.put("I1_4" + two(m), rt::Value(e.amount)); });
    t.put("I1_4", rt::Value(months_sum(t, "I1_4")));
    done(kIncomeTable);
    return true;
}

// A dependant's exempt (page 3) or exclusively taxed (page 4) income adds to
// the dependant's income row.
bool post_dependant_income(const Entry& e, int page) {
    const char* field = page == 3 ? "I1_9" : "I1_10";
    const auto dependants = [&](tb::Table& t) { return trimmed(t, "I1_1") == "D" && same_number(t, "I1_8", e.dependant); };
    if (!find_row(kIncomeTable, dependants, true)) return false;
    tb::Table& t = *tables::ws().table(kIncomeTable);
    t.put("I1_1", rt::Value("D"));
    t.put("I1_8", rt::Value(e.dependant));
    t.put(field, rt::Value(t.get(field).as_number() + e.amount));
    done(kIncomeTable);
    return true;
}

bool post_line_with_text(const Entry& e, const char* field, const char* text_field) {
    if (!find_row(kSummaryTable, [](tb::Table&) { return true; }, true)) return false;
    tb::Table& t = *tables::ws().table(kSummaryTable);
    t.put(text_field, rt::Value(e.description));
    t.put(field, rt::Value(e.amount));
    done(kSummaryTable);
    return true;
}

// Exempt and exclusively taxed lines; a line already holding a value is
// added to only when the user says so.
bool post_page_line(const Entry& e, const Account& a) {
    if (a.page == 3 && a.line == 12) return post_line_with_text(e, "I3_12", "I3_12D");
    if (a.page == 4 && a.line == 5) return post_line_with_text(e, "I4_05", "I4_05D");
    if ((a.page == 3 && a.line == 13) || (a.page == 4 && a.line == 6)) return post_dependant_income(e, a.page);
    const std::string field = "I" + std::to_string(a.page) + "_" + two(a.line);
    if (!numeric_field(*tables::ws().table(kSummaryTable), field)) return false;
    if (!find_row(kSummaryTable, [](tb::Table&) { return true; }, true)) return false;
    tb::Table& t = *tables::ws().table(kSummaryTable);
    const double held = t.get(field).as_number();
    double value = e.amount;
    if (held != 0 && common::AVISOSN("No código "_cp + e.code + " já existe valor lançado nesse mês "_cp +
                                         " Soma ao valor existente ? (S/N)" + std::string(10, ' '),
                                     2)
                             .as_string() == "S")
        value += held;
    t.put(field, rt::Value(value));
    done(kSummaryTable);
    return true;
}

// Payments: a line above 16 is the non-deductible part of the payment code
// of its first digit. The table keeps months only for the amount paid: the
// non-deductible part of a monthly entry is posted as the months' sum.
bool post_payment(const Entry& e, const Account& a) {
    const bool not_deductible = a.line > 16;
    const int code = not_deductible ? a.line / 10 : a.line;
    const auto payee = [&](tb::Table& t) { return whole(t, "I6_3") == code && same_number(t, "I6_2", e.number); };
    Global{"I6_3"}.set(rt::Value(code));
    if (!find_row(kPaymentsTable, payee, true)) return false;
    tb::Table& t = *tables::ws().table(kPaymentsTable);
    t.put("I6_1", rt::Value(e.description));
    t.put("I6_2", rt::Value(common::CONTAPONTO(e.number)));
    t.put("I6_3", rt::Value(code));
    const char* field = not_deductible ? "I6_5" : "I6_4";
    if (e.first == 0) {
        t.put(field, rt::Value(e.amount));
    } else if (not_deductible) {
        int months = 0;
        each_month(e, [&](int) { ++months; });
        t.put(field, rt::Value(e.amount * months));
    } else {
        each_month(e, [&](int m) { t.put(std::string(field) + two(m), rt::Value(e.amount)); });
        t.put(field, rt::Value(months_sum(t, field)));
    }
    done(kPaymentsTable);
    return true;
}

bool post(const Entry& e, const Account& a) {
    switch (a.page) {
        case 1: return post_legal_income(e, a);
        case 2: return post_monthly_income(e, a);
        case 3:
        case 4: return post_page_line(e, a);
        case 6: return post_payment(e, a);
        case 13: return post_summary_line(e, a);
        default: return false;
    }
}

}  // namespace

bool ACHA_ITEM(const std::string& field, const std::string& value, bool create, const std::string& kind_field) {
    tb::Table* t = tables::ws().table(0);
    if (!t) return false;
    const std::string wanted = rt::UPPER(rt::ALLTRIM(value));
    const rt::Value kind = Global{kind_field}.value();
    const auto same = [&](tb::Table& row) {
        const rt::Value held = kind_field.empty() ? rt::Value() : row.get(kind_field);
        const bool same_kind = kind_field.empty() ? true
                               : held.is_string() && kind.is_string()
                                   ? rt::ALLTRIM(held.as_string()) == rt::ALLTRIM(kind.as_string())
                                   : held.as_number() == kind.as_number();
        return same_kind && rt::UPPER(trimmed(row, field.c_str())) == wanted;
    };
    return find_row(tables::ws().selected(), same, create);
}

int LANCAVAL() {
    // Postings change the declaration: one the office protected takes none.
    const bool registered = tables::ws().table(kRegisterArea) || tables::ABERTURA(kRegisterArea);
    if (registered && tables::register_protects(*tables::ws().table(kRegisterArea), Global{"CPF"}.text())) {
        common::AVISOSN(tables::protection_text());
        return -1;
    }
    for (int code : {kSummaryTable, kIncomeTable, kPaymentsTable})
        if (!tables::ABERTURA(code)) return 0;
    tb::Table* entries = tables::ws().table(kEntriesArea);
    if (!entries || !open_chart()) return 0;
    int posted = 0;
    for (entries->go_top(); !entries->eof(); entries->skip()) {
        if (entries->deleted() || entries->get("LANCADO").as_bool()) continue;
        const Entry e = entry_of(*entries);
        const std::optional<Account> a = account(e.code);
        // An entry on an account that cannot be posted is set aside for good.
        const bool effect = a && a->detailed;
        if (effect && !post(e, *a)) continue;
        entries->put("LANCADO", rt::Value(true));
        entries->commit();
        if (effect) ++posted;
    }
    tables::ws().select(kEntriesArea);
    return posted;
}

}  // namespace qv::office
