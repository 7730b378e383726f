#include "declaration/calc/cash_balance.hpp"

#include <initializer_list>

#include "declaration/calc/carne_leao.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/income_totals.hpp"
#include "declaration/calc/patrimonial_variation.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/tax_table.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

double sum(std::initializer_list<const char*> names) {
    double total = 0.0;
    for (const char* n : names) total += amount(n);
    return total;
}

}  // namespace

double VE_SALDO() {
    const double spouse_extra = amount("I9_3") - amount("I9_2");
    FI13_08();
    const double future_gains = is("SOMAG", 'N') ? 0.0 : amount("VALFUTUR");
    const double income = amount("I9_2") + spouse_extra +
        sum({"I10_2", "EMPREST", "EMPRUR", "OUTREC", "ENTRADGP"}) - amount("ISENTNAO") +
        sum({"NEXIGI", "I13_08", "I13_44", "I13_45", "I13_46"}) - amount("I4_03") + amount("LUCRRVA") + future_gains;
    double spent = sum({"IMPOANTER", "I13_35", "I13_46", "I13_47", "I13_48", "I10_1", "AMORUR", "PREJRVA",
                        "PREJVEN1", "PREJRUR", "DESPNAO", "OUTRDES", "CUSTOANO", "CUSTOANT"});
    if (is("USAPADRAO", 'S'))
        spent += is("SO_SIMPLES", 'S') ? sum({"DESPADRAO", "DESPSIMP"}) : sum({"DESPDECLA", "I13_09", "I13_18"});
    else
        spent += sum({"DESPDECLA", "I13_09", "I13_12", "I13_18"});
    set_amount("RECEITA", income);
    set_amount("DESPESA", spent);
    set_amount("SALDO", income - spent);
    return amount("SALDO");
}

double TOTALDESP() {
    constexpr int kCostsArea = 30;
    double monthly = 0.0;
    for_each_row(kCostsArea, [&](rt::table::Table& r) { monthly += field_number(r, "VALODESP"); });
    set_amount("DESPNAO", monthly * 12.0);
    return amount("DESPNAO");
}

void BALANCO() {
    auto& ws = tables::ws();
    if (rt::table::Table* incomes = ws.table(kIncomeArea)) {
        ws.select(kIncomeArea);
        incomes->go_top();
    }
    set_value("LEAO_CAL", rt::Value(false));
    set_value("JA_CALC", rt::Value(false));
    call_if_present("NRODP");
    CALC(1, 2);
    CALC(3, 0);
    CALC(4, 2);
    FI1_T(0);
    // The list totals of assets and debts belong to the pages that show
    // them: run when they are there.
    call_if_present("FI7_T", {rt::Value(0)});
    call_if_present("FI8_T", {rt::Value(0)});
    FI10_1();
    VE_LEAO(1, 1);
    FI13_08();
    FI13_12();
    FI13_13();
    FI13_19();
    FI13_20(0);
    CALC_IMPOS(1, amount("I13_20"), "M->I13_23 ", 12);
    FI13_22();
    FI13_23();
    FI13_24();
    FI13_26();
    FI13_35(0);
    FI13_3526(0);
    FINFO_CONJ();
    VE_SALDO();
    set_value("JA_CALC", rt::Value(true));
}

}  // namespace qv::declaration
