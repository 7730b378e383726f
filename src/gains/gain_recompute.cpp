#include "gains/gain_recompute.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "gains/gain_checks.hpp"
#include "gains/gain_instalments.hpp"
#include "gains/gain_routines.hpp"
#include "gains/gain_rows.hpp"
#include "gains/gain_table.hpp"
#include "gains/gain_totals.hpp"
#include "runtime/core/text.hpp"

namespace qv::gains {

namespace {

double number(const char* name) { return common::Global{name}.number(); }
void set(const char* name, double v) { common::Global{name}.set(rt::Value(v)); }
bool yes(const char* name) { return rt::UPPER(rt::ALLTRIM(common::Global{name}.text())) == "S"; }

double month_sum(const char* prefix) {
    double sum = 0;
    for (int m = 1; m <= 12; ++m) sum += number(month_field(prefix, m).c_str());
    return sum;
}

// The form's opening: the typed cost is the single parcel's value.
void open_gain(int gain) {
    const std::vector<Parcel> parcels = read_parcels(gain);
    const bool single = !yes("PARCOMPRA") && !parcels.empty();
    set("VALOR_CUST", single ? parcels.front().value : number("CUS_ATUAL"));
    if (common::Global{"NRO_ITEM"}.integer() == 0 && parcel_count(gain) == 0) add_parcel(gain);
}

// The instalments as their grid takes them back: the months stand as
// stored (the tax program's own figures for an imported gain).
void instalment_totals() {
    set("VAL_TRIBU", month_sum("VAL_TRI"));
    set("VAL_IMPOSP", month_sum("IMP_DEV"));
    set("VAL_RECOL", month_sum("REC_MES"));
    set("IMPPAGO", month_sum("IMP_PAG"));
    const bool shares = common::Global{"TIPO_BEM"}.integer() == Participations && common::Global{"TIPOPART"}.integer() == 1;
    if (shares) set("VAL_PARTE", month_sum("IMP_LEI"));
}

void recompute(rt::table::Table& t, std::uint32_t record) {
    const int gain = static_cast<int>(t.get("BEM_NRO").as_number());
    row_to_variables(t);
    open_gain(gain);
    FCALGAN();
    ESCR_TELA();
    if (yes("VEN_PRAZO")) {
        instalment_totals();
        CALC_LUCRO();
    } else {
        cash_sale_months();
        set("VAL_TRIBU", yes("PEQ_VALOR") ? 0.0 : std::max(0.0, number("GAN_TRIV")));
    }
    if (yes("VENDAANT")) {
        set("FR1", 0);
        set("FR2", 0);
    }
    t.go_to(record);
    variables_to_row(t);
}

}  // namespace

void recompute_gains() {
    rt::table::Table* t = gains_table();
    if (t == nullptr) return;
    const common::Global kind{"TIPO_BEM"}, number{"BEM_NRO"};
    const rt::Value kind_before = kind.value(), number_before = number.value();
    std::vector<std::uint32_t> records;
    for (t->go_top(); !t->eof(); t->skip()) {
        const int k = static_cast<int>(t->get("TIPO_BEM").as_number());
        if (!t->deleted() && k >= RealEstate && k <= Participations) records.push_back(t->recno());
    }
    for (const std::uint32_t record : records) {
        t->go_to(record);
        recompute(*t, record);
    }
    kind.set(kind_before);
    number.set(number_before);
    SOMA_NTRIB();
    t->go_top();
}

}  // namespace qv::gains
