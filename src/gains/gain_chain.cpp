#include "gains/gain_chain.hpp"

#include <algorithm>

#include "common/amounts.hpp"
#include "gains/gain_factors.hpp"
#include "runtime/core/text.hpp"

namespace qv::gains {

namespace {

double cut2(double v) { return common::DESPREZA(v, 20); }
double cut6(double v) { return common::DESPREZA(v, 20, 6); }
double round8(double v) { return common::DESPREZA(v, 20, 6, 1); }
double ratio(double a, double b) { return b == 0 ? 0 : a / b; }

double tax_rate(const Gain& g) {
    return g.kind == Participations && g.participation == 3 ? 0.20 : 0.15;
}

double tax_on(const Gain& g, double taxable) { return taxable > 0 ? cut2(taxable * tax_rate(g)) : 0; }

bool live(const Parcel& p) { return !p.deleted; }

double live_total(const std::vector<Parcel>& parcels) {
    double total = 0;
    for (const auto& p : parcels)
        if (live(p)) total += p.value;
    return total;
}

void real_estate_parcels(Gain& g, std::vector<Parcel>& parcels, ParcelNotes& notes) {
    const double total = live_total(parcels);
    for (auto& p : parcels) {
        if (!live(p)) continue;
        const rt::Date date = g.in_parcels ? p.date : g.acquired;
        p.per_red = FPER_RED(g, date, notes);
        const ReductionFactors f = reduction_factors(date, g.sold);
        if (f.invalid) notes.dated_after_sale = true;
        p.fr1 = f.fr1;
        p.fr2 = f.fr2;
        p.per_cust = cut6(ratio(p.value, total) * 100);
    }
    if (!g.in_parcels && !parcels.empty()) {
        g.fr1 = parcels.front().fr1;
        g.fr2 = parcels.front().fr2;
    }
}

void share_movements(std::vector<Parcel>& parcels) {
    double quantity = 0, cost = 0, average = 0;
    for (auto& p : parcels) {
        if (!live(p)) continue;
        if (p.operation != Sale) {
            quantity += p.quantity;
            cost += p.value;
            average = ratio(cost, quantity);
        }
        p.running_quantity = quantity;
        p.running_cost = cost;
        p.average_cost = average;
    }
}

// Cost of the shares sold at the average cost of every other movement.
double cost_of_shares_sold(const Gain& g, std::vector<Parcel>& parcels) {
    double bought = 0, bought_quantity = 0, sold_quantity = 0;
    for (auto& p : parcels) {
        if (!live(p)) continue;
        if (p.operation == Sale) {
            sold_quantity += p.quantity;
            if (!g.sold.empty()) p.date = g.sold;
        } else {
            bought += p.value;
            bought_quantity += p.quantity;
        }
    }
    return cut2(ratio(bought, bought_quantity) * sold_quantity);
}

void clear_reductions(Gain& g, std::vector<Parcel>& parcels) {
    g.reduction = g.fator1 = g.fator2 = g.reinvestment = 0;
    for (auto& p : parcels) p.reduction = p.fr1_value = p.fr2_value = 0;
}

// An exempt gain pays nothing and the whole positive result is exempt.
void exempt_result(Gain& g) {
    g.taxable = 0;
    g.tax_cash = 0;
    g.exempt_part = std::max(0.0, g.sale - g.cost);
}

// Instalments received in an earlier year's sale: the taxable share of what
// came in this year is taxed, the reinvested part is exempt.
void earlier_sale(Gain& g) {
    g.sale = g.received;
    g.cost = cut2((1 - g.per_tri / 100) * g.received);
    g.result_i = g.taxable = g.sale - g.cost;
    g.reinvestment = g.kind == RealEstate ? cut2(g.taxable * g.reinvested_percent / 100) : 0;
    g.tax_cash = tax_on(g, g.taxable - g.reinvestment);
    g.exempt_part = g.reinvestment;
}

void real_estate_chain(Gain& g, std::vector<Parcel>& parcels) {
    const double total = live_total(parcels);
    g.cost = g.in_parcels ? total : g.typed_cost;
    g.result_i = g.sale - g.cost;
    if (is_exchange_with_payment(g.nature)) {
        const double share = round8(ratio(g.sale, g.cost + g.sale));
        g.result_i = g.sale - cut2(g.cost * share);
    }
    clear_reductions(g, parcels);
    if (g.exempt) {
        exempt_result(g);
        return;
    }
    for (auto& p : parcels) {
        if (!live(p)) continue;
        if (p.per_red > 0) p.reduction = cut2((p.per_cust / 100) * g.result_i * (p.per_red / 100.0));
        p.gross = ratio(p.value, total) * g.result_i;
        if (p.gross >= 0) {
            const double keep = (100 - p.per_red) / 100.0;
            p.fr1_value = cut2(p.gross * p.fr1);
            p.fr2_value = cut2((p.gross - p.fr1_value) * p.fr2);
            p.fr1_value = cut2(p.fr1_value * keep);
            p.fr2_value = cut2(p.fr2_value * keep);
        }
        g.reduction += p.reduction;
        g.fator1 += p.fr1_value;
        g.fator2 += p.fr2_value;
    }
    const double result3 = g.result_i - g.reduction - g.fator1;
    if (!g.in_parcels) g.fator2 = cut2(result3 * g.fr2);
    const double result4 = result3 - g.fator2;
    if (g.reinvested_percent > 0) g.reinvestment = cut2(result4 * g.reinvested_percent / 100);
    g.taxable = g.result_i > 0 ? result4 - g.reinvestment : 0;
    g.exempt_part = std::max(0.0, g.reduction + g.fator1 + g.fator2 + g.reinvestment);
    g.tax_cash = tax_on(g, g.taxable);
    const bool before_1970 = !g.in_parcels && !parcels.empty() && parcels.front().per_red == 100;
    if (before_1970) exempt_result(g);
}

void other_chain(Gain& g, std::vector<Parcel>& parcels) {
    if (g.kind == Participations) {
        g.cost = cost_of_shares_sold(g, parcels);
    } else {
        g.cost = g.in_parcels ? live_total(parcels) : g.typed_cost;
    }
    g.result_i = g.sale - g.cost;
    clear_reductions(g, parcels);
    if (g.exempt) {
        exempt_result(g);
        return;
    }
    g.taxable = std::max(0.0, g.result_i);
    g.exempt_part = 0;
    g.tax_cash = tax_on(g, g.taxable);
}

}  // namespace

bool is_exchange_with_payment(const std::string& nature) {
    return rt::UPPER(rt::ALLTRIM(nature)) == "PERMUTA COM TORNA";
}

int FPER_RED(const Gain& g, rt::Date parcel_date, ParcelNotes& notes) {
    if (g.in_parcels && !parcel_date.empty() && !g.acquired.empty() && parcel_date < g.acquired) {
        notes.dated_before_acquisition = true;
        return 0;
    }
    if (g.earlier_sale || parcel_date.empty()) return 0;
    return reduction_percent(parcel_date.year());
}

ParcelNotes FCALGAN(Gain& g, std::vector<Parcel>& parcels) {
    ParcelNotes notes;
    if (!g.in_parcels && g.kind != Participations) {
        if (parcels.empty()) parcels.emplace_back();
        parcels.front().value = g.typed_cost;
        parcels.front().date = g.acquired;
    }
    if (g.kind == RealEstate) {
        real_estate_parcels(g, parcels, notes);
    } else if (g.kind == Participations) {
        share_movements(parcels);
    }
    return notes;
}

void compute_gain(Gain& g, std::vector<Parcel>& parcels) {
    if (g.earlier_sale) {
        clear_reductions(g, parcels);
        earlier_sale(g);
    } else if (g.kind == RealEstate) {
        real_estate_chain(g, parcels);
    } else {
        other_chain(g, parcels);
    }
    if (g.instalments) {
        g.tax_instalments = 0;
        for (const double t : g.tax_due) g.tax_instalments += t;
        if (!g.earlier_sale) g.per_tri = round8(ratio(g.taxable, g.sale) * 100);
    }
}

Deferral SOMADIFE(Gain& g) {
    Deferral d;
    d.cash_tax_shown = g.tax_cash - (g.kind == Participations ? g.withheld : 0);
    if (g.earlier_sale) {
        g.earlier_tax = cut2(g.earlier_value * g.per_tri / 100 * 0.15);
        g.deferred_tax = cut2(g.deferred_value * g.per_tri / 100 * 0.15);
        d.to_receive = g.deferred_value - g.received;
        d.tax_deferred = g.deferred_tax - g.tax_instalments;
        return d;
    }
    g.earlier_value = g.sale;
    g.earlier_tax = g.tax_cash;
    g.deferred_value = g.deferred_tax = 0;
    d.to_receive = g.sale - g.received;
    d.tax_deferred = g.earlier_tax - (g.instalments ? g.tax_instalments : g.tax_cash);
    return d;
}

}  // namespace qv::gains
