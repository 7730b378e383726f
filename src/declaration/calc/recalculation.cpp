#include "declaration/calc/recalculation.hpp"

#include <algorithm>

#include "declaration/calc/carne_leao.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/payment_totals.hpp"
#include "declaration/calc/quotas.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/calc/summary_page.hpp"
#include "declaration/calc/tax_table.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

// The automatic debit of a single quota ends with the first quota's date.
void drop_late_automatic_debit() {
    if (static_cast<int>(amount("QTD_QUOTA")) == 1 && rt::DATE() > rt::Date::from_ymd(2012, 4, 1))
        set_value("DEBITAUT", rt::Value(" "));
}

// INDGAS, the expense index of the cash balance; true when it warns.
bool cash_problem() {
    set_amount("INDGAS", divide(amount("SALDO"), amount("RECEITA")) * 100.0);
    call_if_present("VE_LIM_NEG");
    return amount("SALDO") <= 0.0 || amount("INDGAS") < amount("INDALERTA");
}

void carne_leao_both_ways(int nShow) {
    const rt::Value saved = rt::Value(text("I1_11"));
    set_value("I1_11", rt::Value(is("I1_11", 'S') ? "N" : "S"));
    set_value("LEAO_CAL", rt::Value(false));
    FDE_LEAO(nShow);
    set_value("I1_11", saved);
    set_value("LEAO_CAL", rt::Value(false));
    FDE_LEAO(nShow);
}

void exempt_capital_gain() {
    const double informed = amount("I3_04GCPV") + amount("I3_04UNIC") + amount("I3_04REDU") + amount("I3_04EXTR");
    const double calculated = amount("I3_04GCPVC") + amount("I3_04UNICC") + amount("I3_04REDUC");
    set_amount("I3_04D", informed);
    set_amount("I3_04C", calculated);
    set_amount("I3_04", amount("I3_04D") + amount("I3_04C"));
}

class HiddenCursor {
public:
    HiddenCursor() : shape_(rt::SETCURSOR(0)) {}
    ~HiddenCursor() { rt::SETCURSOR(shape_); }
    HiddenCursor(const HiddenCursor&) = delete;
    HiddenCursor& operator=(const HiddenCursor&) = delete;

private:
    int shape_;
};

}  // namespace

void complete_chain(int nShow) {
    FI13_08();
    FI13_11();
    FI13_12();
    FI13_13();
    FI13_19();
    FI13_20(1);
    set_amount("I13_21", CALC_IMPOS(kAnnualTable, amount("I13_20"), "M->I13_21", 12));
    FI13_22();
    FI13_23();
    FI13_24();
    FI13_26();
    FI13_32(amount("I13_32"));
    FI13_35(nShow);
    FI13_3526(nShow);
    FQTD_QUOTA(nShow);
    SOMA_TRIBENAO(0);
    FI13_46();
    call_if_present("VE_SALDO");
    if (nShow != 1) return;
    set_amount("DESPADRAO", 0.0);
    set_value("LTEMPRAD", rt::Value(false));
    show_complete_summary();
    show_cash_warning(false, cash_problem());
}

void simplified_chain(int nShow) {
    // The total income first: the pages may have changed its lines (the
    // rural result among them) since it was last added up.
    FI13_08();
    set_amount("DESPADRAO", standard_discount());
    set_value("LTEMPRAD", rt::Value(true));
    FI13_20(nShow);
    set_amount("I13_21", CALC_IMPOS(kAnnualTable, amount("I13_20"), "M->I13_21", 12));
    FI13_23();
    FI13_24();
    FI13_26();
    FI13_35(nShow);
    FI13_3526(nShow);
    FQTD_QUOTA(nShow);
    SOMA_TRIBENAO(0);
    if (nShow == 1) MOSTRA_SIMPLES();
    call_if_present("VE_SALDO");
    const bool warn = cash_problem();
    if (nShow == 1) show_cash_warning(true, warn);
}

bool CSIMPLES(int nMode, int nShow) {
    if (nMode == 2) return FPARCELA(nShow);
    if (nMode != 1) return true;
    // The page may have changed the income: the total, the tax and the tax
    // due are brought up to date before the balance and the quotas.
    FI13_08();
    const double discount = standard_discount();
    set_amount("DESPADRAO", discount);
    set_amount("I13_20", std::max(amount("I13_08") - discount, 0.0));
    set_amount("I13_21", CALC_IMPOS(kAnnualTable, amount("I13_20"), "M->I13_21", 12));
    set_amount("I13_23", amount("I13_21"));
    FI13_26();
    FI13_35(1);
    FI13_3526(1);
    if (nShow == 1) MOSTRA_SIMPLES();
    FPARCELA(nShow);
    FI13_20(2);
    return true;
}

bool CALC(int nMode, int nShow) {
    const HiddenCursor hidden;
    call_if_present("VE_AGEN");
    switch (nMode) {
    case 1: carne_leao_both_ways(nShow); break;
    case 2: FDE_LEAO(nShow); break;
    case 3: SOMA_TRIBENAO(nShow); break;
    case 4: FDE_TUDO(nShow); break;
    case 5: exempt_capital_gain(); break;
    case 6: set_amount("I13_09", amount("CARNEINSS") + amount("CARNEDEPEN") + amount("PREVIDENC")); break;
    case 7:
        drop_late_automatic_debit();
        if (simplified_model()) simplified_chain(nShow);
        else complete_chain(nShow);
        break;
    default: break;
    }
    return true;
}

}  // namespace qv::declaration
