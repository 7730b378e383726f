#include "darf/darf_principal.hpp"

#include <algorithm>
#include <string>

#include "common/messages.hpp"
#include "common/globals.hpp"
#include "darf/darf_charges.hpp"
#include "darf/darf_dates.hpp"
#include "darf/darf_form.hpp"
#include "darf/darf_state.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/due_dates.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::darf {

using rt::operator""_cp;

namespace {

constexpr int kBaseYear = 2011;
constexpr int kGainsArea = 27;
constexpr int kVariableIncomeKind = 4;
constexpr int kBaseRow = 16, kToPayRow = 27, kPaidRow = 28;
constexpr const char* kCommonKind = "1";
constexpr const char* kFundsKind = "3";

std::string month_field(const char* prefix, int month) { return prefix + rt::STRZERO(month, 2); }

rt::Date quota_due_date(int n) {
    const rt::Value dates = common::Global{"DAT_VENC"}.value();
    if (!dates.is_array() || n < 1 || n > static_cast<int>(dates.as_array()->size())) return {};
    const rt::Value& d = (*dates.as_array())[static_cast<std::size_t>(n - 1)];
    return d.is_date() ? d.as_date() : rt::Date{};
}

void set_due(rt::Date due) {
    set("DF_VCTO", rt::Value(due));
    set("DDATAUTIL", rt::Value(declaration::PROX_DIA(due)));
}

void set_figures(double income, double cash_book, double deductions, double paid, double due) {
    set("REND_REAL", rt::Value(income));
    set("LCAX_REAL", rt::Value(cash_book));
    set("DEDU_REAL", rt::Value(deductions));
    set("IMPREC_REAL", rt::Value(paid));
    set("IMPDEV_REAL", rt::Value(due));
    set("IMPAPAG", rt::Value(due - paid));
    set("IMPO_REAL", rt::Value(std::max(due - paid, 0.0)));
}

bool titular_slip() { return rt::TRIM(text("DARFTD")) != "N"; }

// The person's monthly record in the work copy; nullptr when there is none.
rt::table::Table* person_sheet() {
    rt::table::Table* t = declaration::work_table(declaration::kPersonSheetArea);
    if (!t) return nullptr;
    const std::string wanted = titular_slip() ? std::string() : rt::ALLTRIM(text("CPFDEPEN"));
    std::uint32_t found = 0;
    declaration::for_each_row(declaration::kPersonSheetArea, [&](rt::table::Table& r) {
        const std::string person = r.field_index("CPFDEPEN") < 0 ? std::string() : rt::ALLTRIM(r.get("CPFDEPEN").as_string());
        if (!found && person == wanted) found = r.recno();
    });
    if (!found) return nullptr;
    t->go_to(found);
    return t;
}

double carne_leao_due(rt::table::Table& t, int month) {
    return declaration::field_number(t, month_field("I2_6", month));
}

// With several months asked in the dialog, the run starts at the first
// month with carnê-leão due.
int first_month_due(rt::table::Table& t, int n) {
    const int last = integer("MES_FINAL", n);
    for (int m = std::max(n, 1); m <= last; ++m) {
        if (carne_leao_due(t, m) == 0.0) continue;
        if (m != n) {
            set("MES_PGTO", rt::Value(m));
            set("QTD_DARF", rt::Value(last - m + 1));
        }
        return m;
    }
    return n;
}

bool load_carne_leao(int& n, int nMode) {
    rt::table::Table* t = person_sheet();
    if (!t) return false;
    if (nMode == kInteractive && !one_taxpayer()) return true;
    if (nMode == kInteractive && integer("QUANTDARF", 1) == 2) n = first_month_due(*t, n);
    if (carne_leao_due(*t, n) == 0.0) return false;
    const auto f = [&](const char* prefix) { return declaration::field_number(*t, month_field(prefix, n)); };
    set_due(ULTIMO_DIA(n, kBaseYear));
    set_figures(f("I2_1") + f("I2_2"), f("I2_3"), f("I2_4"), f("I2_5"), f("I2_6"));
    return true;
}

void load_capital_gain(int n) {
    double base = 0.0, due = 0.0, paid = 0.0;
    declaration::for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (declaration::field_number(t, "TIPO_BEM") == kVariableIncomeKind) return;
        base += declaration::field_number(t, month_field("VAL_TRI", n));
        due += declaration::field_number(t, month_field("IMP_DEV", n));
        paid += declaration::field_number(t, month_field("IMP_PAG", n));
    });
    set_due(ULTIMO_DIA(n, kBaseYear));
    set_figures(base, 0.0, 0.0, paid, due);
}

void load_variable_income(int n) {
    double base = 0.0, due = 0.0, paid = 0.0;
    declaration::for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (declaration::field_number(t, "TIPO_BEM") != kVariableIncomeKind) return;
        const std::string kind = t.field_index("DAY_TRADE") < 0 ? std::string() : rt::ALLTRIM(t.get("DAY_TRADE").as_string());
        // The funds' statement has rows of its own numbers; the tax to pay
        // and the tax paid are those of the common operations ("1").
        if (kind == kFundsKind) return;
        const bool common_operations = kind.empty() || kind == kCommonKind;
        const double v = declaration::field_number(t, month_field("REC_MES", n));
        switch (static_cast<int>(declaration::field_number(t, "RVAR_NRO"))) {
            case kBaseRow: base += v; break;
            case kToPayRow:
                if (common_operations) due += v;
                break;
            case kPaidRow:
                if (common_operations) paid += v;
                break;
            default: break;
        }
    });
    set_due(ULTIMO_DIA(n, kBaseYear));
    set_figures(base, 0.0, 0.0, paid, due);
}

bool load_late_filing(int nMode) {
    set_due(quota_due_date(1));
    late_filing_figures();
    if (nMode == kInteractive) show_charges();
    return true;
}

bool load_quota(int n, int nMode) {
    set("IMPO_REAL", rt::Value(declaration::amount("I13_37")));
    set("DF_PERIODO", rt::Value(rt::Date::from_ymd(kBaseYear, 12, 31)));
    set_due(quota_due_date(n));
    if (n <= integer("QTD_QUOTA")) return true;
    if (!one_taxpayer()) return nMode == kInteractive;
    if (nMode == kInteractive) common::MENS(11, "Essa quota não existe !!"_cp);
    return false;
}

}  // namespace

void late_filing_figures() {
    const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO"), first_day = date("DDATAUTIL");
    const int months = months_late(due, paid, paid - first_day);
    const double fine = late_filing_fine(declaration::amount("I13_23"), months);
    set("IMPO_REAL", rt::Value(fine));
    set("VAL_MULTA", rt::Value(0.0));
    set("VAL_JURO", rt::Value(0.0));
    set("VAL_TOTAL", rt::Value(fine));
}

bool BUS_IMPO(int n, int nKind, int nMode) {
    set_slip_number(n);
    bool loaded = false;
    switch (nKind) {
        case kQuota: loaded = load_quota(n, nMode); break;
        case kCarneLeao:
            loaded = load_carne_leao(n, nMode);
            set_slip_number(n);
            break;
        case kCapitalGain: load_capital_gain(n); loaded = true; break;
        case kVariableIncome: load_variable_income(n); loaded = true; break;
        case kLateFiling: return load_late_filing(nMode);
        default: return true;
    }
    if (!loaded) return false;
    if (nKind == kQuota && one_taxpayer()) return true;
    CALCJU(kInteractive, 1);
    return !one_taxpayer() || number("IMPO_REAL") != 0.0;
}

}  // namespace qv::darf
