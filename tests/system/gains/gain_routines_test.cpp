// The gain routines on the declaration's variables and rows: the exemption
// questions and the totals carried into the declaration.
#include "gains/gain_routines.hpp"

#include "common/globals.hpp"
#include "gains/gain_rows.hpp"
#include "gains/gain_totals.hpp"
#include "runtime/table/table.hpp"
#include "gains_fixture.hpp"
#include "tables/schemas.hpp"

namespace qv::gains {
namespace {

namespace tb = rt::table;
using common::Global;

rt::Date ymd(int y, int m, int d) { return rt::Date::from_ymd(y, m, d); }

class GainRoutinesTest : public testing::GainsTest {
protected:
    static void gain(std::initializer_list<std::pair<const char*, rt::Value>> vars) {
        for (const auto& [name, v] : vars) Global{name}.set(v);
    }
    static double var(const char* name) { return Global{name}.number(); }
};

TEST_F(GainRoutinesTest, SmallValueQuestionUsesTheLimitOfTheKind) {
    struct Case {
        int kind, part;
        double sale;
        const char* limit;
    } cases[] = {{Participations, 1, 19000.00, "R$ 20.000,00"}, {Participations, 2, 30000.00, "R$ 35.000,00"}};
    for (const auto& c : cases) {
        term->snapshots.clear();
        gain({{"TIPO_BEM", rt::Value(c.kind)}, {"TIPOPART", rt::Value(c.part)}, {"VAL_ALI", rt::Value(c.sale)},
              {"PEQ_VALOR", rt::Value("N")}});
        keys({rt::key::ENTER});
        CHECK_VAL();
        EXPECT_TRUE(term->showed(c.limit)) << c.sale;
        EXPECT_EQ(Global{"PEQ_VALOR"}.text(), "S");
        EXPECT_DOUBLE_EQ(var("GAN_TRIV"), 0);
    }
}

TEST_F(GainRoutinesTest, SingleHomeQuestionOnlyWithAtMostTwoRealEstateAssets) {
    for (int assets = 2; assets <= 3; ++assets) {
        tb::Table& list = *tables::ws().table(24);
        while (list.lastrec() < static_cast<std::uint32_t>(assets)) row(24, {{"I7_5", rt::Value(11)}});
        term->snapshots.clear();
        gain({{"TIPO_BEM", rt::Value(RealEstate)}, {"VAL_ALI", rt::Value(400000.00)},
              {"VALOR_CUST", rt::Value(200000.00)}, {"DATA_ADQ", rt::Value(ymd(2000, 3, 10))},
              {"DATA_ALI", rt::Value(ymd(2011, 5, 20))}, {"PEQ_VALOR", rt::Value("N")}, {"ART31", rt::Value("N")}});
        keys({rt::key::ESC, rt::key::ESC});
        CHECK_VAL();
        EXPECT_EQ(term->showed("único imóvel"), assets == 2) << assets;
        EXPECT_TRUE(term->showed("Vai ser usado ?")) << assets;   // the reinvestment question follows
    }
}

TEST_F(GainRoutinesTest, ReinvestmentRefusedWithinFiveYearsOfTheLastOne) {
    gain({{"TIPO_BEM", rt::Value(RealEstate)}, {"DATA_ALI", rt::Value(ymd(2011, 5, 20))},
          {"RESUL_I", rt::Value(1000.0)}, {"ULTRESI", rt::Value(ymd(2008, 2, 1))}, {"ART31", rt::Value("S")},
          {"PERART31", rt::Value(50.0)}});
    keys({rt::key::ENTER});
    AVISO_ART31();
    EXPECT_TRUE(term->showed("Só podera ser usado novamente no ano de 2013"));
    EXPECT_EQ(Global{"ART31"}.text(), "N");
    EXPECT_DOUBLE_EQ(var("PERART31"), 0);

    term->snapshots.clear();
    gain({{"ULTRESI", rt::Value(ymd(2005, 2, 1))}});   // five years have passed: the question is asked
    keys({rt::key::ENTER});
    AVISO_ART31();
    EXPECT_TRUE(term->showed("Vai ser usado ?"));
    EXPECT_EQ(Global{"ART31"}.text(), "S");
}

TEST_F(GainRoutinesTest, ReinvestedValueAboveTheSaleIsRefused) {
    gain({{"TIPO_BEM", rt::Value(RealEstate)}, {"VAL_ALI", rt::Value(300000.00)},
          {"VALOR_CUST", rt::Value(200000.00)}, {"DATA_ADQ", rt::Value(ymd(2000, 3, 10))},
          {"DATA_ALI", rt::Value(ymd(2011, 5, 20))}, {"BEM_NRO", rt::Value(1)}});
    keys({rt::key::ENTER});
    EXPECT_FALSE(CHECK_PARTE(300000.01));
    EXPECT_TRUE(CHECK_PARTE(150000.00));
    EXPECT_DOUBLE_EQ(var("PERART31"), 50);
    EXPECT_DOUBLE_EQ(var("GAN_TRIV"), 26276.20);
    // the single acquisition's parcel row was written with its factors
    tb::Table& parcels = *tables::ws().table(kParcelsArea);
    ASSERT_EQ(parcels.lastrec(), 1u);
    parcels.go_to(1);
    EXPECT_DOUBLE_EQ(parcels.get("PER_RED1").as_number(), 0.33818085);
    EXPECT_DOUBLE_EQ(parcels.get("VALOR_CUST").as_number(), 200000.00);
}

TEST_F(GainRoutinesTest, TotalsCarriedIntoTheDeclaration) {
    // 1: taxed real estate, tax paid; 2: exempt small sale; 3: shares in cash
    // with tax withheld; 4: instalments still to receive; variable-income line 24.
    row(kGainsArea, {{"BEM_NRO", rt::Value(1)}, {"TIPO_BEM", rt::Value(1)}, {"DATA_ALI", rt::Value(ymd(2011, 5, 20))},
                     {"VAL_ALI", rt::Value(300000.0)}, {"GAN_TRIV", rt::Value(52552.40)},
                     {"VAL_NAOTRI", rt::Value(47447.60)}, {"IMPPAGO", rt::Value(7882.86)},
                     {"VAL_RECOL", rt::Value(300000.0)}, {"PEQ_VALOR", rt::Value("N")}});
    row(kGainsArea, {{"BEM_NRO", rt::Value(2)}, {"TIPO_BEM", rt::Value(2)}, {"DATA_ALI", rt::Value(ymd(2011, 2, 1))},
                     {"VAL_ALI", rt::Value(30000.0)}, {"VAL_NAOTRI", rt::Value(5000.0)},
                     {"VAL_RECOL", rt::Value(30000.0)}, {"PEQ_VALOR", rt::Value("S")}});
    row(kGainsArea, {{"BEM_NRO", rt::Value(3)}, {"TIPO_BEM", rt::Value(3)}, {"TIPOPART", rt::Value(1)},
                     {"DATA_ALI", rt::Value(ymd(2011, 7, 1))}, {"VAL_ALI", rt::Value(15000.0)},
                     {"GAN_TRIV", rt::Value(7800.0)}, {"IMPPAGO", rt::Value(1000.0)}, {"VAL_PARTE", rt::Value(170.0)},
                     {"VAL_RECOL", rt::Value(15000.0)}, {"PEQ_VALOR", rt::Value("N")}});
    row(kGainsArea, {{"BEM_NRO", rt::Value(4)}, {"TIPO_BEM", rt::Value(2)}, {"DATA_ALI", rt::Value(ymd(2011, 3, 1))},
                     {"VAL_ALI", rt::Value(100000.0)}, {"VEN_PRAZO", rt::Value("S")},
                     {"VAL_RECOL", rt::Value(40000.0)}, {"GAN_TRIV", rt::Value(1000.0)}});
    row(kGainsArea, {{"BEM_NRO", rt::Value(0)}, {"RVAR_NRO", rt::Value(24)}, {"TIPO_BEM", rt::Value(4)},
                     {"DAY_TRADE", rt::Value("1")}, {"REC_MES03", rt::Value(12.5)}, {"REC_MES11", rt::Value(7.5)}});
    row(kParcelsArea, {{"BEM_NRO", rt::Value(1)}, {"RVAR_NRO", rt::Value(0)}, {"DATA_CUST", rt::Value(ymd(2000, 3, 10))},
                       {"VALOR_CUST", rt::Value(200000.0)}});
    row(kParcelsArea, {{"BEM_NRO", rt::Value(2)}, {"RVAR_NRO", rt::Value(0)}, {"DATA_CUST", rt::Value(ymd(2011, 1, 5))},
                       {"VALOR_CUST", rt::Value(25000.0)}});
    gain({{"I3_04GCPV", rt::Value(1.0)}, {"BEM_NRO", rt::Value(9)}});

    SOMA_NTRIB();
    EXPECT_DOUBLE_EQ(var("I3_04GCPVC"), 5000.0);
    EXPECT_DOUBLE_EQ(var("I3_04REDUC"), 47447.60);
    EXPECT_DOUBLE_EQ(var("I4_02"), 52552.40 - 7882.86 + 7800.0 - 1170.0 + 1000.0);
    EXPECT_DOUBLE_EQ(var("I13_46"), 7882.86 + 1170.0);
    EXPECT_DOUBLE_EQ(var("I13_48"), 20.0);
    EXPECT_DOUBLE_EQ(var("VALFUTUR"), 60000.0);
    EXPECT_DOUBLE_EQ(var("CUSTOANO"), 25000.0);
    EXPECT_DOUBLE_EQ(var("CUSTOANT"), 200000.0);
    EXPECT_DOUBLE_EQ(var("ENTRADGP"), 385000.0);
    EXPECT_DOUBLE_EQ(var("I3_04C"), 52447.60);
    EXPECT_DOUBLE_EQ(var("I3_04"), 52448.60);
}

}  // namespace
}  // namespace qv::gains
