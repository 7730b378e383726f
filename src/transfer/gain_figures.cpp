#include "transfer/gain_figures.hpp"

#include <algorithm>

#include "common/amounts.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {
namespace {

namespace dc = qv::declaration;

bool yes(rt::table::Table& t, const char* name) { return rt::UPPER(rt::ALLTRIM(t.get(name).as_string())) == "S"; }

double month_value(rt::table::Table& t, const char* prefix, int m) {
    return field_amount(t, std::string(prefix) + rt::STRZERO(m, 2));
}

bool exchange_with_payment(const std::string& nature) {
    return rt::UPPER(rt::ALLTRIM(nature)).starts_with("PERMUTA COM TORNA");
}

}  // namespace

GainRow gain_row(rt::table::Table& t) {
    GainRow r;
    r.kind = static_cast<int>(field_amount(t, "TIPO_BEM"));
    r.number = static_cast<int>(field_amount(t, "BEM_NRO"));
    r.sale = field_amount(t, "VAL_ALI");
    r.cost = field_amount(t, "CUS_ATUAL");
    r.earlier_sale = field_amount(t, "VAL_ANTE");
    r.to_receive = field_amount(t, "VAL_DIFE");
    r.cash_tax = field_amount(t, "VAL_IMPOSV");
    r.instalment_tax = field_amount(t, "VAL_IMPOSP");
    r.reinvested_or_withheld = field_amount(t, "VAL_PARTE");
    r.reinvested_percent = field_amount(t, "PERART31");
    r.sold_before = yes(t, "VENDAANT");
    r.instalments = yes(t, "VEN_PRAZO");
    r.nature = t.get("NATUOPER").as_string();
    for (int m = 1; m <= 12; ++m) {
        r.month_received[m - 1] = month_value(t, "REC_MES", m);
        r.month_taxable[m - 1] = month_value(t, "VAL_TRI", m);
        r.month_due[m - 1] = month_value(t, "IMP_DEV", m);
        r.month_paid[m - 1] = month_value(t, "IMP_PAG", m);
        r.month_withheld[m - 1] = month_value(t, "IMP_LEI", m);
    }
    return r;
}

GainFigures gain_figures(const GainRow& r, double reduction, double fr1, double fr2) {
    GainFigures f;
    f.gain = std::max(r.sale - r.cost, 0.0);
    f.result1 = r.sale - r.cost;
    if (r.kind == 1 && exchange_with_payment(r.nature)) {
        const double share = common::DESPREZA(dc::divide(r.sale, r.cost + r.sale), 15, 4);
        f.exchange_cost = r.cost * share;
        f.gain = std::max(r.sale - f.exchange_cost, 0.0);
        f.result1 = r.sale - f.exchange_cost;
    }
    f.reduction = reduction;
    f.fr1 = fr1;
    f.fr2 = fr2;
    if (r.sold_before) {
        f.result2 = f.result3 = f.result4 = r.earlier_sale;
        f.cost = 0;
    } else {
        f.result2 = f.result1 - reduction;
        f.result3 = f.result2 - fr1;
        f.result4 = f.result3 - fr2;
        f.cost = r.cost;
    }
    f.reinvested = common::DESPREZA(f.result4 * r.reinvested_percent / 100);
    f.result5 = f.result4 - f.reinvested;

    for (int m = 0; m < 12; ++m) {
        f.received += r.month_received[m];
        f.taxable += r.month_taxable[m];
        f.due += r.month_due[m];
        f.paid += r.month_paid[m];
        f.withheld += r.month_withheld[m];
        if (r.month_received[m] > 0) f.last_month = m + 1;
    }
    if (!r.instalments) {
        f.due = r.cash_tax;
        f.withheld = r.reinvested_or_withheld;
    } else {
        f.due = r.instalment_tax;
    }
    f.due_of_year = r.sold_before ? 0 : f.due;
    return f;
}

std::string last_receipt_date(int last_month, rt::Date sale) {
    const int month = last_month > 0 ? last_month : (sale.empty() ? 12 : sale.month());
    return "28/" + rt::STRZERO(month, 2) + "/2011";
}

}  // namespace qv::transfer
