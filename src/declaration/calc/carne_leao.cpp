#include "declaration/calc/carne_leao.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/due_dates.hpp"
#include "declaration/calc/income_totals.hpp"
#include "declaration/calc/monthly_sheet.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/tax_table.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

constexpr int kBaseYear = 2011;
constexpr int kUfirmArea = 51;
constexpr int kDependantsArea = 23;
constexpr double kFirstNonDependantCode = 98;
// Columns of the carnê-leão sheet.
enum Column { kNatural = 2, kAbroad, kCashBook, kDeductions, kPaid, kDue, kCorrected };

using Months = std::array<double, 14>;   // 1-12 and 13 the total

struct PersonMonths {
    Months natural{}, abroad{}, social{}, cash_book{}, alimony{}, paid{};
};

std::string month_field(std::string_view prefix, int month) { return std::string(prefix) + rt::STRZERO(month, 2); }

bool dependant_shown() { return is("I1_11", 'N'); }

std::string_view carne_line() { return dependant_shown() ? "I13_30" : "I13_29"; }
std::string_view social_security_total() { return dependant_shown() ? "CARNEDEPEN" : "CARNEINSS"; }

bool row_of_person_shown(rt::table::Table& t) {
    const bool dependant_row = t.field_index("I1_11") >= 0 && rt::ALLTRIM(t.get("I1_11").as_string()) == "N";
    if (dependant_row != dependant_shown()) return false;
    if (!dependant_row) return true;
    return t.field_index("I1_8") >= 0 && rt::ALLTRIM(t.get("I1_8").as_string()) == rt::ALLTRIM(text("CPFDEPEN"));
}

Months* months_of_kind(PersonMonths& p, char kind) {
    switch (kind) {
    case 'F': return &p.natural;
    case 'E': return &p.abroad;
    case 'P': return &p.social;
    case 'L': return &p.cash_book;
    case 'I': return &p.paid;
    default: return nullptr;
    }
}

void add_month(Months& m, int month, double v) {
    m[static_cast<std::size_t>(month)] += v;
    m[kTotalsRow] += v;
}

// One amount dated by the cash-book date goes into that month's field.
void add_dated_row(rt::table::Table& t, Months& target) {
    if (t.field_index("DT_LC") < 0) return;
    const rt::Value when = t.get("DT_LC");
    if (!when.is_date() || when.as_date().empty()) return;
    const int month = when.as_date().month();
    const double v = field_number(t, "I1_4");
    const std::string field = month_field("I1_4", month);
    if (t.field_index(field) >= 0) t.put(field, rt::Value(v));
    add_month(target, month, v);
}

void read_income_rows(PersonMonths& p, bool dated_rows) {
    double social_total = 0.0;
    for_each_row(kIncomeArea, [&](rt::table::Table& t) {
        if (!row_of_person_shown(t)) return;
        const std::string kind = rt::ALLTRIM(t.get("I1_1").as_string());
        Months* target = kind.empty() ? nullptr : months_of_kind(p, kind[0]);
        if (!target) return;
        if (dated_rows && (kind == "F" || kind == "L")) {
            add_dated_row(t, *target);
            return;
        }
        for (int m = 1; m <= 12; ++m) {
            const double v = field_number(t, month_field("I1_4", m));
            add_month(*target, m, v);
            if (kind == "P") social_total += v;
        }
    });
    set_amount(social_security_total(), social_total);
}

void read_alimony(PersonMonths& p) {
    for_each_row(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(field_number(t, "I6_3"));
        if (code < 30 || code > 34) return;
        for (int m = 1; m <= 12; ++m) add_month(p.alimony, m, field_number(t, month_field("I6_4", m)));
    });
    set_amount("PENSAOM", p.alimony[kTotalsRow]);
}

// Deductions of each month; the dependants' monthly amount only in a month
// whose income covers it.
void write_sheet(MonthlySheet& sheet, const PersonMonths& p) {
    const double dependants = amount("N_DEPEN");
    double given = 0.0;
    for (int m = 1; m <= 12; ++m) {
        double deductions = p.social[m] + p.alimony[m];
        if (!dependant_shown()) {
            const double monthly = dependants * element("NVALDEPEN", month_pair_index(m));
            if (monthly > 0.0 && p.natural[m] + p.abroad[m] >= monthly) {
                deductions += monthly;
                given += monthly;
            }
        }
        sheet.set(m, kNatural, p.natural[m]);
        sheet.set(m, kAbroad, p.abroad[m]);
        sheet.set(m, kCashBook, p.cash_book[m]);
        sheet.set(m, kDeductions, deductions);
        sheet.set(m, kPaid, p.paid[m]);
    }
    set_amount("NTOTDEP", given);
    sheet.set(kTotalsRow, kNatural, p.natural[kTotalsRow]);
    sheet.set(kTotalsRow, kAbroad, p.abroad[kTotalsRow]);
    sheet.set(kTotalsRow, kCashBook, p.cash_book[kTotalsRow]);
    sheet.set(kTotalsRow, kDeductions, p.social[kTotalsRow] + p.alimony[kTotalsRow] + given);
    sheet.set(kTotalsRow, kPaid, p.paid[kTotalsRow]);
}

// The carnê-leão carried to the summary: month by month the larger of due
// and paid, or only the paid amounts. The months' tax due is worked out
// first when asked.
double carried_carne_leao(MonthlySheet& sheet, bool only_paid, bool work_out_due) {
    double line = 0.0;
    for (int m = 1; m <= 12; ++m) {
        if (work_out_due) VE_LEAO(m, m == 12 ? 1 : 0);
        line += only_paid ? sheet.get(m, kPaid) : std::max(sheet.get(m, kPaid), sheet.get(m, kDue));
    }
    return line;
}

void store_number(rt::table::Table& t, const std::string& field, double v) {
    const int i = t.field_index(field);
    if (i < 0) return;
    if (t.fields()[static_cast<std::size_t>(i)].type == 'N') t.put(i, rt::Value(v));
    else t.put(i, rt::Value(rt::STR(v, 15, 2)));
}

// Whose sheet the run has in hand: one rebuilt from the income list is the
// run's person's; one typed on page 2 stays the person it was typed for,
// named by CPFDEPEN (blank: the titular), whoever the run is for. Nothing
// when the run's dependant is nobody in particular.
std::optional<std::string> sheet_owner(bool rebuilt) {
    const std::string typed_for = rt::ALLTRIM(text("CPFDEPEN"));
    if (dependant_shown() && typed_for.empty()) return std::nullopt;
    if (!rebuilt && !dependant_shown() && !typed_for.empty()) return std::nullopt;
    return dependant_shown() ? typed_for : std::string();
}

// Whether a dependant of that CPF is still on the list (the whole list,
// whatever view a grid left on it; no list open: nothing to say against).
bool on_dependants_list(const std::string& cpf) {
    rt::table::Table* t = work_table(kDependantsArea);
    if (!t || t->field_index("CPFDEPEN") < 0) return true;
    const std::uint32_t at = t->eof() ? 0 : t->recno();
    bool listed = false;
    for (std::uint32_t n = 1, last = t->lastrec(); n <= last && !listed; ++n) {
        t->go_to(n);
        listed = !t->deleted() && field_number(*t, "CODIDEPEN") < kFirstNonDependantCode &&
                 rt::ALLTRIM(t->get("CPFDEPEN").as_string()) == cpf;
    }
    t->go_to(at ? at : t->lastrec() + 1);
    return listed;
}

// The sheet is kept in its person's record so that the summary is always
// taken from every person's latest sheet; a run for the other person (the
// recalculation does both) leaves a sheet it did not make out alone.
void keep_person_sheet(MonthlySheet& sheet, bool rebuilt) {
    rt::table::Table* t = work_table(kPersonSheetArea);
    if (!t || t->field_index("CPFDEPEN") < 0) return;
    const std::optional<std::string> owner = sheet_owner(rebuilt);
    if (!owner) return;
    const std::string& person = *owner;
    // The sheet last shown may be of a dependant just deleted, whose record
    // went with them: it is not written back.
    if (!person.empty() && !on_dependants_list(person)) return;
    std::uint32_t found = 0;
    for_each_row(kPersonSheetArea, [&](rt::table::Table& r) {
        if (!found && rt::ALLTRIM(r.get("CPFDEPEN").as_string()) == person) found = r.recno();
    });
    if (found) {
        t->go_to(found);
    } else {
        if (!t->append_blank()) return;
        t->put("CPFDEPEN", rt::Value(person));
        if (t->field_index("CPF") >= 0) t->put("CPF", rt::Value(text("CPF")));
    }
    for (int m = 1; m <= kTotalsRow; ++m)
        // Every column, the late-payment correction too: the register's
        // carnê-leão summary and the payment slips read it from the record.
        for (int k = 1; k <= 7; ++k) store_number(*t, "I2_" + std::to_string(k) + rt::STRZERO(m, 2), sheet.get(m, k + 1));
    t->commit();
}

void sum_person_sheets(bool only_paid) {
    for (const char* line : {"I13_03", "I13_04", "I13_49", "I13_50", "I13_18", "I13_29", "I13_30"}) set_amount(line, 0);
    for_each_row(kPersonSheetArea, [&](rt::table::Table& t) {
        const bool titular = t.field_index("CPFDEPEN") < 0 || rt::ALLTRIM(t.get("CPFDEPEN").as_string()).empty();
        double carne = 0.0;
        if (only_paid) {
            carne = field_number(t, "I2_513");
        } else {
            for (int m = 1; m <= 12; ++m)
                carne += std::max(field_number(t, month_field("I2_5", m)), field_number(t, month_field("I2_6", m)));
        }
        const auto add = [](std::string_view line, double v) { set_amount(line, amount(line) + v); };
        add(titular ? "I13_03" : "I13_04", field_number(t, "I2_113"));
        add(titular ? "I13_49" : "I13_50", field_number(t, "I2_213"));
        add(titular ? "I13_29" : "I13_30", carne);
        add("I13_18", field_number(t, "I2_313"));
    });
}

int year_month(rt::Date d) { return d.year() * 100 + d.month(); }

int next_year_month(int ym) { return ym % 100 == 12 ? (ym / 100 + 1) * 100 + 1 : ym + 1; }

std::map<int, double> selic_rates() {
    std::map<int, double> rates;
    for_each_row(kUfirmArea, [&](rt::table::Table& t) {
        const int key = static_cast<int>(common::number_of(t.get("ANOMES")));
        rates[key] = field_number(t, "TJM");
    });
    return rates;
}

// SELIC interest in percent from the due month to the payment month; the
// months in between that the table lacks (or holds without a rate) add
// nothing and are gathered into `missing`.
double selic_interest(const std::map<int, double>& rates, int due, int payment, std::set<int>* missing = nullptr) {
    if (!rates.count(due)) return 1.0;
    if (due > payment) return 0.0;
    double interest = 1.0;
    for (int ym = next_year_month(due); ym < payment; ym = next_year_month(ym)) {
        const auto it = rates.find(ym);
        if (it != rates.end() && it->second != 0.0) interest += it->second;
        else if (missing) missing->insert(ym);
    }
    return interest;
}

// Inverse mode: the income that yields the tax paid of the month.
void inverse_month(MonthlySheet& sheet, int month) {
    const double paid = sheet.get(month, kPaid);
    const double deductions = sheet.get(month, kCashBook) + sheet.get(month, kDeductions);
    const int col = month_pair_index(month);
    static constexpr double kRates[4] = {0.275, 0.225, 0.15, 0.075};
    double base = 0.0, tax = 0.0;
    bool matched = false;
    for (int k = 0; k < 4 && !matched; ++k) {
        const double deduction = element("NDEDUME" + std::to_string(4 - k), col);
        base = (paid + deduction + deductions * kRates[k]) / kRates[k];
        tax = CALC_IMPOS(kMonthlyTable, base - deductions, "nLeao", month);
        matched = rt::ROUND(tax, 0) == rt::ROUND(paid, 0);
    }
    if (!matched) sheet.set(month, kPaid, tax);
    sheet.set(month, kNatural, std::max(base - sheet.get(month, kAbroad), 0.0));
    for (int c = kNatural; c <= kDue; ++c) sheet.total(c);
}

bool payment_of_domestic_employee() {
    if (tables::ws().selected() != kPaymentsArea) return false;
    auto* t = work_table(kPaymentsArea);
    return t && !t->eof() && static_cast<int>(field_number(*t, "I6_3")) == 50;
}

// The month-by-month matrix with a dollar column: column 2 in reais,
// column 3 in dollars; the domestic employee's column 3 is the salary
// behind the contribution.
bool convert_dollars(int col) {
    MonthlySheet sheet("CALC_MENS", 3);
    const bool domestic = payment_of_domestic_employee();
    if (col == 3 && domestic) {
        common::MENS(0, "Digite o valor na outra coluna GPS");
        return true;
    }
    for (int m = 1; m <= 12 && (col == 2 || col == 3); ++m) {
        const double rate = element("TAB_DOLAR", m);
        if (col == 2) sheet.set(m, 3, common::DESPREZA(domestic ? sheet.get(m, 2) / 0.2 * 0.12 : divide(sheet.get(m, 2), rate)));
        else sheet.set(m, 2, common::DESPREZA(sheet.get(m, 3) * rate));
    }
    sheet.total(2);
    sheet.total(3);
    return true;
}

bool inverse_mode() {
    return static_cast<int>(amount("OPC")) == 16 && static_cast<int>(amount("CAL_AUTO")) == 4 &&
           static_cast<int>(amount("PONTEIRO")) > 3;
}

}  // namespace

double VE_LEAO(int nMonth, int nTotal) {
    MonthlySheet sheet = MonthlySheet::carne_leao();
    if (nMonth < 1 || nMonth > 12) return 0.0;
    if (inverse_mode()) inverse_month(sheet, nMonth);
    const double base = sheet.get(nMonth, kNatural) + sheet.get(nMonth, kAbroad) - sheet.get(nMonth, kCashBook) -
                        sheet.get(nMonth, kDeductions);
    set_amount("LEAO_DEV", 0.0);
    const double due = CALC_IMPOS(kMonthlyTable, base, "M->LEAO_DEV", nMonth);
    sheet.set(nMonth, kDue, due);
    if (nTotal == 1) sheet.total(kDue);
    // A month worked out alone (the sheet's grid after a cell) brings the
    // late-payment column up to date with it, as the whole year's run does
    // on its last month.
    if (nMonth == 12 || nTotal == 1) CORR_DARF();
    return due;
}

double corrected_shortfall(int nMonth, double shortfall) {
    const rt::Date payment = date("DF_PAGTO");
    const rt::Date due_date = ULT_DIA(nMonth, kBaseYear, 2);
    const double interest = selic_interest(selic_rates(), year_month(due_date), year_month(payment));
    const int days = interest > 0.0 && !payment.empty() ? payment - PROX_DIA(due_date) : 0;
    if (days <= 0) return shortfall;
    const double fine = days > 60 ? 20.0 : days * 0.33;
    // Unrounded: the amount is cut only where it is shown or stored.
    return shortfall + shortfall * fine / 100.0 + shortfall * interest / 100.0;
}

void CORR_DARF() {
    MonthlySheet sheet = MonthlySheet::carne_leao();
    for (int m = 1; m <= 12; ++m) {
        const double due = sheet.get(m, kDue), paid = sheet.get(m, kPaid);
        sheet.set(m, kCorrected, due > paid ? corrected_shortfall(m, due - paid) : 0.0);
    }
    sheet.total(kCorrected);
}

std::vector<std::string> missing_correction_months() {
    const MonthlySheet sheet = MonthlySheet::carne_leao();
    const rt::Date payment = date("DF_PAGTO");
    const std::map<int, double> rates = selic_rates();
    std::set<int> missing;
    for (int m = 1; m <= 12 && !payment.empty(); ++m) {
        const rt::Date due_date = ULT_DIA(m, kBaseYear, 2);
        if (sheet.get(m, kDue) > sheet.get(m, kPaid) && payment - PROX_DIA(due_date) > 0)
            selic_interest(rates, year_month(due_date), year_month(payment), &missing);
    }
    std::vector<std::string> months;
    for (const int ym : missing) months.push_back(std::to_string(ym));
    return months;
}

bool FDE_LEAO(int nShow) {
    (void)nShow;   // the sheet is shown by its grid; it is always rebuilt whole
    if (logical("LEAO_CAL")) return true;
    set_amount(carne_line(), 0.0);
    const int mode = static_cast<int>(amount("CAL_AUTO"));
    const bool only_paid = logical("SO_REC");
    MonthlySheet sheet = MonthlySheet::carne_leao();
    double line = 0.0;
    if (mode == 1 || mode == 3) {
        for (const char* l : {"I13_03", "I13_04", "I13_49", "I13_50"}) set_amount(l, 0.0);
        PersonMonths person;
        read_income_rows(person, mode == 3);
        if (!dependant_shown()) read_alimony(person);
        write_sheet(sheet, person);
        line = carried_carne_leao(sheet, only_paid, true);
    } else {
        const bool paid_only = only_paid || mode == 4;
        line = carried_carne_leao(sheet, paid_only, !paid_only);
    }
    set_amount(carne_line(), line);
    keep_person_sheet(sheet, mode == 1 || mode == 3);
    FI1_T(0);
    sum_person_sheets(only_paid || mode == 4);
    // The total income follows the lines just taken from the sheets.
    FI13_08();
    set_value("LEAO_CAL", rt::Value(true));
    return true;
}

bool FX_RT(std::string_view cMatrix, int nRow, int nCol) {
    (void)nRow;
    const std::string name = rt::UPPER(rt::ALLTRIM(cMatrix));
    if (name == "REND_RURAL") {
        call_if_present("CALCRUR", {rt::Value(13), rt::Value(0)});
        return true;
    }
    if (name == "CALC_MENS") return convert_dollars(nCol);
    MonthlySheet sheet(name, std::max(nCol, 2));
    if (nCol >= 2) sheet.total(nCol);
    else
        for (int c = 2; c <= sheet.columns(); ++c) sheet.total(c);
    set_value("LEAO_CAL", rt::Value(false));
    return true;
}

}  // namespace qv::declaration
