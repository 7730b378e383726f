#include "declaration/calc/rural_results.hpp"

#include <algorithm>
#include <array>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"

namespace qv::declaration {

namespace {

constexpr int kPropertiesArea = 36;
constexpr int kDebtsArea = 38;
constexpr int kCashBookArea = 39;
constexpr const char* kCellPicture = "@Ez 999,999,999.99";

using Months = std::array<double, 12>;

std::string suffix() { return is("ATV_BRASIL", 'N') ? "_EX" : "_BR"; }

// The activity's taxable result less what it compensated, as a loss; 0 when positive.
double loss_of(double taxable, double compensated) { return std::max(0.0, -taxable - compensated); }

// Shares of the properties in list order, in percent.
std::vector<double> property_shares() {
    std::vector<double> shares;
    for_each_row(kPropertiesArea, [&](rt::table::Table& t) { shares.push_back(field_number(t, "I2R_04")); });
    return shares;
}

void write_rural_matrix(const Months& receipts, const Months& expenses) {
    rt::Value m = rt::Value::array(12);
    for (std::size_t i = 0; i < 12; ++i) {
        rt::Value row = rt::Value::array(2);
        (*row.as_array())[0] = rt::Value(rt::TRANSFORM(rt::Value(receipts[i]), kCellPicture));
        (*row.as_array())[1] = rt::Value(rt::TRANSFORM(rt::Value(expenses[i]), kCellPicture));
        (*m.as_array())[i] = row;
    }
    set_value("REND_RURAL", m);
}

double cell_number(const rt::Value& v) {
    if (v.is_number()) return v.as_number();
    return v.is_string() ? common::CAR_TO_VAL(rt::ALLTRIM(v.as_string())) : 0;
}

double rural_cell(std::size_t month, std::size_t column) {
    const rt::Value m = common::Global{"REND_RURAL"}.value();
    if (!m.is_array() || month >= m.as_array()->size()) return 0;
    const rt::Value& row = (*m.as_array())[month];
    if (!row.is_array() || column >= row.as_array()->size()) return 0;
    return cell_number((*row.as_array())[column]);
}

}  // namespace

void CALC_PREJU() {
    const std::string own = suffix();
    set_amount("NTRIB" + own, amount("I6_10"));
    set_amount("TRIB" + own, amount("I4R_07"));
    set_amount("PREJU" + own, amount("I4R_04"));
    set_amount("DIVAN" + own, amount("NTOTANT"));
    set_amount("DIVAD" + own, amount("NTOTBASE"));
    const double brazil = amount("TRIB_BR"), abroad = amount("TRIB_EX");
    const double brazil_loss = loss_of(brazil, amount("PREJU_BR"));
    const double abroad_loss = loss_of(abroad, amount("PREJU_EX"));
    if (brazil >= 0 && abroad >= 0) {
        set_amount("I13_07", brazil + abroad);
        set_amount("PREJRUR", 0);
    } else if (abroad >= 0) {
        set_amount("I13_07", abroad);
        set_amount("PREJRUR", brazil_loss);
    } else if (brazil >= 0) {
        set_amount("I13_07", brazil);
        set_amount("PREJRUR", abroad_loss);
    } else {
        set_amount("I13_07", 0);
        set_amount("PREJRUR", brazil_loss + abroad_loss);
    }
    set_amount("I3_11", amount("NTRIB_EX") + amount("NTRIB_BR"));
    const double variation = amount("DIVAN_BR") + amount("DIVAN_EX") - amount("DIVAD_BR") - amount("DIVAD_EX");
    set_amount("AMORUR", variation > 0 ? variation : 0);
    set_amount("EMPRUR", variation < 0 ? -variation : 0);
}

void SOMA_RUR(int mode) {
    const std::vector<double> shares = property_shares();
    std::vector<double> land_tax(shares.size(), 0.0);
    Months receipts{}, expenses{};
    for_each_row(kCashBookArea, [&](rt::table::Table& t) {
        if (t.deleted()) return;
        const rt::Value d = t.get("DT_LC");
        if (!d.is_date() || d.as_date().empty()) return;
        const int property = static_cast<int>(field_number(t, "NROIMO"));
        const bool listed = property >= 1 && property <= static_cast<int>(shares.size());
        const double value = field_number(t, "VALOR") * (listed ? shares[static_cast<std::size_t>(property - 1)] / 100 : 1);
        const std::size_t month = static_cast<std::size_t>(d.as_date().month() - 1);
        const std::string kind = rt::UPPER(rt::ALLTRIM(t.get("TIPOCR").as_string()));
        if (kind == "C") receipts[month] += value;
        if (kind != "D") return;
        expenses[month] += value;
        if (listed && rt::UPPER(rt::ALLTRIM(t.get("TEMITR").as_string())) == "S")
            land_tax[static_cast<std::size_t>(property - 1)] += value;
    });
    if (mode == 2) write_rural_matrix(receipts, expenses);
    std::size_t index = 0;
    for_each_row(kPropertiesArea, [&](rt::table::Table& t) {
        if (index < land_tax.size()) {
            t.put("VALITR", rt::Value(land_tax[index++]));
            t.commit();
        }
    });
}

void SOMA_DIV(int show) {
    double before = 0, base = 0, paid = 0;
    for_each_row(kDebtsArea, [&](rt::table::Table& t) {
        if (t.deleted()) return;
        before += field_number(t, "I9R_2");
        base += field_number(t, "I9R_3");
        paid += field_number(t, "I9R_4");
    });
    set_amount("NTOTANT", before);
    set_amount("NTOTBASE", base);
    set_amount("TOT_AD", before);
    set_amount("TOT_PG", paid);
    if (show == 1) {
        // Under the list's columns of the two years, on the line below it.
        constexpr int kTotalsRow = 21, kBeforeCol = 48, kBaseCol = 63;
        rt::at_say(kTotalsRow, kBeforeCol, rt::TRANSFORM(rt::Value(before), kCellPicture));
        rt::at_say(kTotalsRow, kBaseCol, rt::TRANSFORM(rt::Value(base), kCellPicture));
    }
}

bool VE_DESPESAS() {
    rt::Value marks = rt::Value::array(12);
    bool any = false;
    for (std::size_t m = 0; m < 12; ++m) {
        // December is marked like every other month: its expenses above its
        // receipts are as much a warning.
        const bool negative = rural_cell(m, 0) < rural_cell(m, 1);
        (*marks.as_array())[m] = rt::Value(negative ? "*" : " ");
        any = any || negative;
    }
    set_value("MES_NEG", marks);
    return any;
}

void register_rural_result_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto num = [](Args a) { return a.empty() ? 0 : static_cast<int>(common::number_of(a[0])); };
        rt::register_function("CALC_PREJU", [](Args) { CALC_PREJU(); return rt::Value(true); });
        rt::register_function("SOMA_RUR", [num](Args a) { SOMA_RUR(num(a)); return rt::Value(); });
        rt::register_function("SOMA_DIV", [num](Args a) { SOMA_DIV(num(a)); return rt::Value(true); });
        rt::register_function("VE_DESPESAS", [](Args) { return rt::Value(VE_DESPESAS()); });
    });
}

}  // namespace qv::declaration
