// Income received in 2011 for several earlier months (RRA): the choice
// between the annual adjustment and exclusive taxation, and the tax of the
// exclusive taxation by the monthly table times the months.
#include <string>

#include "common/amounts.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/grids/grid_check_support.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr int kFormTop = 1;   // the RRA form's first row on the screen

double row_amount(rt::table::Table* t, std::string_view field) { return t ? field_number(*t, field) : 0.0; }

void store_tax(rt::table::Table* t, double tax, int mode) {
    if (t) put_row(*t, {{"I1_20", Value(tax)}});
    if (mode == 1) rt::at_say(kFormTop + 10, 17, rt::TRANSFORM(Value(tax), "@Ez 999,999,999.99"));
}

struct Band {
    double rate;
    int index;   // 1-4; 0 for the exempt band
};

Band band_of(double monthly_base, int table) {
    static constexpr double kRates[] = {0.075, 0.15, 0.225, 0.275};
    int index = 0;
    for (int k = 1; k <= 4; ++k)
        if (monthly_base > element("NBASEME" + std::to_string(k), table)) index = k;
    return {index == 0 ? 0.0 : kRates[index - 1], index};
}

// Months times the band's monthly deduction: from January to March the
// monthly table's, afterwards the annual deduction spread over twelve.
double abatement(const Band& b, int table, double months) {
    if (b.index == 0) return 0.0;
    const std::string k = std::to_string(b.index);
    return table == 1 ? months * element("NDEDUME" + k, 1) : months * (amount("NDEDUAN" + k) / 12.0);
}

}  // namespace

bool CALC_RAA(int mode, int check, rt::Date received) {
    rt::table::Table* row = tables::ws().table(kIncomeArea);
    if (row && row->eof()) row = nullptr;
    const std::string answer = row ? rt::UPPER(rt::TRIM(row->get("TIPOCR").as_string())) : std::string();
    if (answer != "N") {
        store_tax(row, 0.0, mode);
        return true;
    }
    const double months = row_amount(row, "I1_21");
    if (months == 0) {
        if (check == 0) return true;
        notice({"É necessário informar a quantidade de meses"_cp});
        return false;
    }
    if (received.empty()) {
        notice({"É necessário informar a data do recebimento"_cp});
        return false;
    }
    if (received.year() != 2011) {
        notice({"O ano do recebimento deve ser 2011"});
        return false;
    }
    const int table = month_pair_index(received.month());
    const double base = row_amount(row, "I1_4") - row_amount(row, "I1_6") - row_amount(row, "I1_12");
    const Band b = band_of(base / months, table);
    const double tax = common::DESPREZA(base * b.rate - abatement(b, table, months));
    store_tax(row, tax, mode);
    return true;
}

bool VERAA(const Value& answer, int mode) {
    const std::string typed = rt::UPPER(trimmed(answer));
    if (typed != "S" && typed != "N") {
        notice({"Informe com S (sim) se deseja lançar os rendimentos no Ajuste Anual"_cp,
                "ou N (Não) se deseja lançar os rendimentos no Tributado na Fonte  "_cp});
        return false;
    }
    if (mode == 1) rt::at_say(kFormTop + 8, 30, typed == "S" ? "N" : "S");
    rt::table::Table* row = tables::ws().table(kIncomeArea);
    rt::Date received = date("DT_LC");   // the form's date when the row has none
    if (row && !row->eof()) {
        // The answer decides the tax below: it is the row's before that.
        put_row(*row, {{"TIPOCR", Value(typed)}});
        const Value d = row->get("DT_LC");
        if (d.is_date() && !d.as_date().empty()) received = d.as_date();
    }
    CALC_RAA(mode, 0, received);
    return true;
}

}  // namespace qv::declaration::grids
