// The arithmetic of a capital gain, on worked cases of the law's tables.
#include "gains/gain_chain.hpp"

#include <gtest/gtest.h>

#include "gains/gain_factors.hpp"

namespace qv::gains {
namespace {

rt::Date ymd(int y, int m, int d) { return rt::Date::from_ymd(y, m, d); }

TEST(GainFactors, ReductionPercentByYearOfAcquisition) {
    const std::pair<int, int> cases[] = {{1969, 100}, {1970, 95}, {1975, 70}, {1988, 5}, {1989, 0}, {2000, 0}};
    for (const auto& [year, percent] : cases) EXPECT_EQ(reduction_percent(year), percent) << year;
}

TEST(GainFactors, MonthsCountBothEndsAndStartIn1996) {
    EXPECT_EQ(DIF_MESES(ymd(2005, 11, 30), ymd(2000, 3, 10)), 69);
    EXPECT_EQ(DIF_MESES(ymd(2011, 5, 20), ymd(2005, 12, 1)), 66);
    EXPECT_EQ(DIF_MESES(ymd(2005, 11, 30), ymd(1975, 3, 10)), 119);
    EXPECT_EQ(DIF_MESES(ymd(2011, 5, 20), ymd(2011, 1, 10)), 5);
}

TEST(GainFactors, FactorsFollowTheSaleDate) {
    struct Case {
        rt::Date acquired, sold;
        double fr1, fr2;
        bool invalid;
    } cases[] = {
        {ymd(2000, 3, 10), ymd(2011, 5, 20), 0.33818085, 0.20594035, false},
        {ymd(2000, 3, 10), ymd(2005, 6, 15), 0, 0, false},
        {ymd(2000, 3, 10), ymd(2005, 8, 1), 0, 0.205940, false},   // cut to 6 decimals
        {ymd(2000, 3, 10), ymd(2005, 11, 1), 0.338180, 0, false},
        {ymd(2008, 1, 10), ymd(2011, 5, 20), 0, 0.13346212, false},
        {ymd(2011, 8, 10), ymd(2011, 5, 20), 0, 0, true},
    };
    for (const auto& c : cases) {
        const ReductionFactors f = reduction_factors(c.acquired, c.sold);
        EXPECT_DOUBLE_EQ(f.fr1, c.fr1) << rt::DTOC(c.sold);
        EXPECT_DOUBLE_EQ(f.fr2, c.fr2) << rt::DTOC(c.sold);
        EXPECT_EQ(f.invalid, c.invalid) << rt::DTOC(c.sold);
    }
}

Gain real_estate(rt::Date acquired, double cost, double sale) {
    Gain g;
    g.kind = RealEstate;
    g.acquired = acquired;
    g.sold = ymd(2011, 5, 20);
    g.typed_cost = cost;
    g.sale = sale;
    return g;
}

Gain computed(Gain g, std::vector<Parcel> parcels = {}) {
    FCALGAN(g, parcels);
    compute_gain(g, parcels);
    return g;
}

TEST(GainChain, RealEstateSoldWithBothFactors) {
    const Gain g = computed(real_estate(ymd(2000, 3, 10), 200000.00, 300000.00));
    EXPECT_DOUBLE_EQ(g.result_i, 100000.00);
    EXPECT_DOUBLE_EQ(g.fator1, 33818.08);
    EXPECT_DOUBLE_EQ(g.fator2, 13629.52);
    EXPECT_DOUBLE_EQ(g.taxable, 52552.40);
    EXPECT_DOUBLE_EQ(g.tax_cash, 7882.86);
    EXPECT_DOUBLE_EQ(g.exempt_part, 47447.60);
}

TEST(GainChain, PercentageReductionBefore1989) {
    const Gain g = computed(real_estate(ymd(1975, 3, 10), 100000.00, 300000.00));
    EXPECT_DOUBLE_EQ(g.reduction, 140000.00);
    EXPECT_DOUBLE_EQ(g.fator1, 30556.35);
    EXPECT_DOUBLE_EQ(g.fator2, 6063.63);
    EXPECT_DOUBLE_EQ(g.taxable, 23380.02);
    EXPECT_DOUBLE_EQ(g.tax_cash, 3507.00);
    EXPECT_DOUBLE_EQ(g.exempt_part, 176619.98);

    const Gain old = computed(real_estate(ymd(1969, 3, 10), 100000.00, 300000.00));
    EXPECT_DOUBLE_EQ(old.tax_cash, 0);
    EXPECT_DOUBLE_EQ(old.taxable, 0);
    EXPECT_DOUBLE_EQ(old.exempt_part, 200000.00);
}

TEST(GainChain, ExchangeWithPaymentTaxesOnlyThePayment) {
    Gain g = real_estate(ymd(2011, 1, 10), 100000.00, 50000.00);
    g.nature = "Permuta com torna  ";
    g = computed(g);
    EXPECT_DOUBLE_EQ(g.result_i, 16666.67);
    EXPECT_DOUBLE_EQ(g.fator2, 288.62);
    EXPECT_DOUBLE_EQ(g.taxable, 16378.05);
    EXPECT_DOUBLE_EQ(g.tax_cash, 2456.70);
}

TEST(GainChain, ExemptGainKeepsNoReductionAndPaysNothing) {
    Gain g = real_estate(ymd(2000, 3, 10), 200000.00, 300000.00);
    g.exempt = true;
    g = computed(g);
    EXPECT_DOUBLE_EQ(g.taxable, 0);
    EXPECT_DOUBLE_EQ(g.tax_cash, 0);
    EXPECT_DOUBLE_EQ(g.fator1 + g.fator2 + g.reduction, 0);
    EXPECT_DOUBLE_EQ(g.exempt_part, 100000.00);
}

TEST(GainChain, ReinvestmentInAHomeExemptsItsShare) {
    Gain g = real_estate(ymd(2000, 3, 10), 200000.00, 300000.00);
    g.reinvested_percent = 50;
    g = computed(g);
    EXPECT_DOUBLE_EQ(g.reinvestment, 26276.20);
    EXPECT_DOUBLE_EQ(g.taxable, 26276.20);
    EXPECT_DOUBLE_EQ(g.tax_cash, 3941.43);
}

TEST(GainChain, ParcelsShareTheCostAndTheirOwnFactors) {
    Gain g = real_estate(ymd(2000, 3, 10), 0, 300000.00);
    g.in_parcels = true;
    std::vector<Parcel> parcels(3);
    parcels[0].date = ymd(2000, 3, 10), parcels[0].value = 150000.00;
    parcels[1].date = ymd(2000, 3, 10), parcels[1].value = 50000.00;
    parcels[2].date = ymd(1999, 1, 1), parcels[2].value = 10.00, parcels[2].deleted = true;
    EXPECT_FALSE(FCALGAN(g, parcels).dated_before_acquisition);   // only a deleted one
    EXPECT_DOUBLE_EQ(parcels[0].per_cust, 75.0);
    EXPECT_DOUBLE_EQ(parcels[1].per_cust, 25.0);
    compute_gain(g, parcels);
    EXPECT_DOUBLE_EQ(g.cost, 200000.00);
    EXPECT_DOUBLE_EQ(parcels[0].fr1_value, 25363.56);   // 75 000,00 x FR1
    EXPECT_DOUBLE_EQ(parcels[1].fr1_value, 8454.52);
    EXPECT_DOUBLE_EQ(g.fator1, 33818.08);

    parcels[1].date = ymd(1999, 12, 31);
    EXPECT_TRUE(FCALGAN(g, parcels).dated_before_acquisition);
    EXPECT_EQ(parcels[1].per_red, 0);
}

TEST(GainChain, SharesSoldAtTheirAverageCost) {
    Gain g;
    g.kind = Participations;
    g.participation = 1;
    g.sold = ymd(2011, 7, 1);
    g.sale = 15000.00;
    std::vector<Parcel> moves(3);
    moves[0].operation = Balance, moves[0].quantity = 1000, moves[0].value = 10000.00;
    moves[1].operation = Acquisition, moves[1].quantity = 500, moves[1].value = 8000.00;
    moves[2].operation = Sale, moves[2].quantity = 600;
    FCALGAN(g, moves);
    EXPECT_DOUBLE_EQ(moves[0].average_cost, 10.0);
    EXPECT_DOUBLE_EQ(moves[2].average_cost, 12.0);
    EXPECT_DOUBLE_EQ(moves[2].running_quantity, 1500);
    compute_gain(g, moves);
    EXPECT_EQ(moves[2].date, g.sold);
    EXPECT_DOUBLE_EQ(g.cost, 7200.00);
    EXPECT_DOUBLE_EQ(g.taxable, 7800.00);
    EXPECT_DOUBLE_EQ(g.tax_cash, 1170.00);
    g.participation = 3;   // real-estate fund: 20 %
    compute_gain(g, moves);
    EXPECT_DOUBLE_EQ(g.tax_cash, 1560.00);
}

TEST(GainChain, EarlierYearSaleTaxesTheTaxableShareReceived) {
    Gain g = real_estate(ymd(2000, 3, 10), 0, 0);
    g.sold = ymd(2009, 4, 1);
    g.earlier_sale = g.instalments = true;
    g.per_tri = 40;
    g.received = 10000.00;
    g.earlier_value = 100000.00;
    g.deferred_value = 60000.00;
    g.tax_due[3] = 600.00;
    g = computed(g);
    EXPECT_DOUBLE_EQ(g.sale, 10000.00);
    EXPECT_DOUBLE_EQ(g.cost, 6000.00);
    EXPECT_DOUBLE_EQ(g.taxable, 4000.00);
    EXPECT_DOUBLE_EQ(g.tax_cash, 600.00);
    EXPECT_DOUBLE_EQ(g.per_tri, 40);
    const Deferral d = SOMADIFE(g);
    EXPECT_DOUBLE_EQ(g.earlier_tax, 6000.00);
    EXPECT_DOUBLE_EQ(g.deferred_tax, 3600.00);
    EXPECT_DOUBLE_EQ(d.to_receive, 50000.00);
    EXPECT_DOUBLE_EQ(d.tax_deferred, 3000.00);
}

TEST(GainChain, InstalmentSaleKeepsItsTaxableShare) {
    Gain g = real_estate(ymd(2008, 1, 10), 100000.00, 300000.00);
    g.instalments = true;
    g.tax_due[5] = 1000.00;
    g.tax_due[6] = 500.00;
    g = computed(g);
    EXPECT_DOUBLE_EQ(g.taxable, 173307.58);
    EXPECT_DOUBLE_EQ(g.per_tri, 57.76919333);
    EXPECT_DOUBLE_EQ(g.tax_instalments, 1500.00);
}

}  // namespace
}  // namespace qv::gains
