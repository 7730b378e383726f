#include "gains/gain_totals.hpp"

#include <set>
#include <string>

#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "gains/gain_chain.hpp"
#include "gains/gain_rows.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::gains {

namespace {

constexpr int kBaseYear = 2011;
constexpr double kSmallValueLimit = 35000.00;

const char* const kTotals[] = {"I3_04GCPVC", "I3_04UNICC", "I3_04REDUC", "I4_02",    "I13_46",
                               "I13_48",     "INDIPAGO",   "PREJVEN",    "VALFUTUR", "CUSTOANO",
                               "CUSTOANT",   "ENTRADGP",   "ISENTNAO"};

// One table row read by field name.
struct Row {
    rt::table::Table& t;
    double n(const std::string& name) const { return declaration::field_number(t, name); }
    std::string c(const char* name) const { return rt::ALLTRIM(t.get(name).as_string()); }
    bool yes(const char* name) const { return rt::UPPER(c(name)) == "S"; }
    rt::Date d(const char* name) const {
        const rt::Value v = t.get(name);
        return v.is_date() ? v.as_date() : rt::Date{};
    }
    double months(const char* prefix) const {
        double sum = 0;
        for (int m = 1; m <= 12; ++m) sum += n(month_field(prefix, m));
        return sum;
    }
};

// Running totals, written into the variables at the end.
struct Totals {
    double exempt_small = 0, single_home = 0, exempt_reduction = 0, net_gain = 0, tax_paid = 0,
           variable_tax = 0, future = 0, cost_year = 0, cost_before = 0, received = 0, exempt_or_taxed = 0;
};

template <class Fn>
void each_live_row(rt::table::Table& t, Fn fn) {
    const std::uint32_t saved = t.recno();
    for (t.go_top(); !t.eof(); t.skip())
        if (!t.deleted()) fn(Row{t});
    if (saved) t.go_to(saved);
}

bool sold_this_year(const Row& r) { return !r.yes("VENDAANT") && r.d("DATA_ALI").year() == kBaseYear; }

void add_gain(const Row& r, int real_estate_gains, Totals& s) {
    const int kind = static_cast<int>(r.n("TIPO_BEM"));
    if (kind == VariableIncome) {
        if (static_cast<int>(r.n("RVAR_NRO")) == 24 && r.c("DAY_TRADE") != "2") s.variable_tax += r.months("REC_MES");
        return;
    }
    const bool shares = kind == Participations && static_cast<int>(r.n("TIPOPART")) == 1;
    const bool instalments = r.yes("VEN_PRAZO");
    if (shares && instalments) s.variable_tax += r.months("IMP_LEI");
    const double exempt_part = r.n("VAL_NAOTRI"), sale = r.n("VAL_ALI");
    if (r.yes("PEQ_VALOR")) {
        if (exempt_part > 0) {
            if (kind == RealEstate && sale > kSmallValueLimit && real_estate_gains == 1) {
                s.single_home = exempt_part;
            } else {
                s.exempt_small += exempt_part;
            }
        }
    } else if (exempt_part > 0) {
        s.exempt_reduction += exempt_part;
    }
    s.received += r.n("VAL_RECOL");
    const double taxable = r.n("GAN_TRIV"), paid = r.n("IMPPAGO");
    if (shares && !instalments) {
        const double withheld = r.n("VAL_PARTE");
        if (taxable - paid > 0) s.net_gain += taxable - (paid + withheld);
        s.tax_paid += paid + withheld;
    } else {
        if (taxable - paid > 0) s.net_gain += taxable - paid;
        s.tax_paid += paid;
    }
    s.exempt_or_taxed += exempt_part + taxable;
    if (r.yes("VENDAANT")) {
        s.future += r.n("VAL_DIFE") - r.n("VAL_RECOL");
    } else if (instalments && r.n("VAL_RECOL") < sale) {
        s.future += sale - r.n("VAL_RECOL");
    }
}

double number(const char* name) { return common::Global{name}.number(); }
void set(const char* name, double v) { common::Global{name}.set(rt::Value(v)); }

// The register's dates of the last reinvested sale and the last exempt
// single home follow the real-estate gain just saved, once five years have
// passed since the date they hold.
void update_register_dates(bool gain_in_hand_kept) {
    if (!gain_in_hand_kept) return;
    const Gain g = gain_from_variables();
    if (g.kind != RealEstate || g.sold.empty()) return;
    const auto follows = [&](const char* name, bool applies) {
        const rt::Date held = date_variable(name);
        if (applies && (held.empty() || g.sold.year() - held.year() > 5))
            common::Global{name}.set(rt::Value(g.sold));
    };
    follows("ULTRESI", rt::ALLTRIM(common::Global{"ART31"}.text()) == "S" || g.reinvested_percent > 0);
    follows("ULTIMOV", g.exempt);
}

}  // namespace

void SOMA_NTRIB() {
    for (const char* name : kTotals) set(name, 0);
    Totals s;
    bool gain_in_hand_kept = false;
    if (rt::table::Table* gains = tables::ws().table(kGainsArea)) {
        std::set<int> sold_now;
        int real_estate_gains = 0;
        const int in_hand = common::Global{"BEM_NRO"}.integer();
        each_live_row(*gains, [&](const Row& r) {
            const int kind = static_cast<int>(r.n("TIPO_BEM"));
            if (kind == VariableIncome) return;
            if (kind == RealEstate) ++real_estate_gains;
            if (sold_this_year(r)) sold_now.insert(static_cast<int>(r.n("BEM_NRO")));
            if (static_cast<int>(r.n("BEM_NRO")) == in_hand) gain_in_hand_kept = true;
        });
        if (rt::table::Table* parcels = tables::ws().table(kParcelsArea)) {
            each_live_row(*parcels, [&](const Row& r) {
                if (static_cast<int>(r.n("RVAR_NRO")) != 0) return;
                if (r.d("DATA_CUST").year() == kBaseYear) {
                    s.cost_year += r.n("VALOR_CUST");
                } else if (sold_now.count(static_cast<int>(r.n("BEM_NRO")))) {
                    s.cost_before += r.n("VALOR_CUST");
                }
            });
        }
        each_live_row(*gains, [&](const Row& r) { add_gain(r, real_estate_gains, s); });
    }
    set("I3_04GCPVC", s.exempt_small);
    set("I3_04UNICC", s.single_home);
    set("I3_04REDUC", s.exempt_reduction);
    set("I4_02", s.net_gain);
    set("I13_46", s.tax_paid);
    set("I13_48", s.variable_tax);
    set("VALFUTUR", s.future);
    set("CUSTOANO", s.cost_year);
    set("CUSTOANT", s.cost_before);
    set("ENTRADGP", s.received);
    set("ISENTNAO", s.exempt_or_taxed);
    rt::call_routine("FI10_1");
    set("I3_04C", number("I3_04GCPVC") + number("I3_04UNICC") + number("I3_04REDUC"));
    set("I3_04D", number("I3_04GCPV") + number("I3_04UNIC") + number("I3_04REDU"));
    set("I3_04", number("I3_04D") + number("I3_04C"));
    update_register_dates(gain_in_hand_kept);
}

}  // namespace qv::gains
