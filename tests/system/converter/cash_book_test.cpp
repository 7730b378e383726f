// Taxpayers from the cash-book program: its own field names, year totals,
// pension payments turned into income, gains and the rural activity.
#include <map>

#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "system/converter/converter_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"

namespace qv::test_support {
namespace {

using rt::Value;
namespace tb = rt::table;
using Row = std::vector<std::pair<std::string, Value>>;

const std::string kCpf = "22222222222";

tb::Structure cash_book_fields(int code) {
    tb::Structure f{{"CPF", 'C', 11, 0}};
    auto add = [&](std::string name, char type = 'N', int len = 14, int dec = 2) {
        f.push_back({std::move(name), type, len, type == 'N' ? dec : 0});
    };
    auto months = [&](const std::string& base) {
        for (int mm = 1; mm <= 12; ++mm) add(base + (mm < 10 ? "0" : "") + std::to_string(mm));
    };
    switch (code) {
        case 9:
            for (const char* n : {"NOMECONTR", "TITULO", "CONJPAD", "TEMRURAL"}) add(n, 'C', 40);
            break;
        case 1:
            for (const char* n : {"I3_01T", "I3_06T", "I3_07T", "I3_12T", "I4_01T", "DESPNAO", "VALOR_FUT"}) add(n);
            break;
        case 2:
            add("I1_1", 'C', 1);
            add("I1_2", 'C', 60);
            add("I1_3", 'C', 18);
            add("TIPOCR", 'C', 1);
            add("DT_LC", 'D', 8);
            for (const char* n : {"I1_413", "I1_513", "I1_613", "I1_713"}) add(n);
            months("I1_4");
            months("I1_5");
            break;
        case 6:
            add("I6_1", 'C', 50);
            add("I6_2", 'C', 18);
            add("I6_3", 'N', 2, 0);
            months("I6_4");
            break;
        case 7:
            add("ESPC_BEM1", 'C', 76);
            add("ESPC_BEM2", 'C', 76);
            add("PER_TRI", 'N', 10, 6);
            for (const char* n : {"VAL_IMPOS", "GAN_TRI1", "PREJU_ANT", "VAL_ALI"}) add(n);
            break;
        case 10:
            for (const char* n : {"I4_04", "I4_07", "I5_09", "I3_01OR"}) add(n);
            break;
        case 11:
            add("CODDESP", 'C', 3);
            add("DESCDESP", 'C', 30);
            add("VALODESP");
            break;
        case 12:
            add("ITEM", 'N', 3, 0);
            add("CODIGO", 'N', 3, 0);
            add("I8_1", 'C', 60);
            add("I8_2");
            break;
        case 15:
            add("I2_01", 'C', 60);
            add("I2_02", 'N', 9, 2);
            break;
        default: break;
    }
    return f;
}

class CashBook : public ConverterTest {
protected:
    static constexpr int kCodes[] = {9, 1, 2, 6, 7, 10, 11, 12, 15};
    void SetUp() override {
        ConverterTest::SetUp();
        for (const int code : {10, 11, 14, 15, 16, 17, 18, 19}) ASSERT_TRUE(tables::ABERTURA(code));
        for (const int code : kCodes) tb::create_table(source + "IRM" + std::to_string(code) + ".DBF", cash_book_fields(code));
        add(9, {{"NOMECONTR", Value("BIA")}, {"TITULO", Value("123")}, {"CONJPAD", Value("S")}});
    }
    void add(int code, const Row& row) {
        tb::OpenOptions o;
        o.exclusive = true;
        auto& t = tables::ws().use_in(60, source + "IRM" + std::to_string(code), o);
        t.append_blank();
        t.put("CPF", Value(kCpf));
        for (const auto& [f, v] : row) t.put(f, v);
        t.commit();
        tables::ws().close(60);
    }
    void run() {
        std::vector<std::string> missing;
        converter::SourceTables src(source, "IRM", "", {9, 1, 2, 6, 7, 10, 11, 12, 15}, missing);
        ASSERT_TRUE(missing.empty());
        src.get(9)->go_top();
        ASSERT_TRUE(converter::CONV_HELPIR(src, kCpf, converter::kCarrySold, converter::kCashBook));
    }
    static Row monthly(const std::string& base, double each) {
        Row r;
        for (int mm = 1; mm <= 12; ++mm) r.emplace_back(base + (mm < 10 ? "0" : "") + std::to_string(mm), Value(each));
        return r;
    }
};

TEST_F(CashBook, RegisterAndDeclarationRecordTakeTheCashBookNames) {
    add(1, {{"I3_01T", Value(10.0)}, {"I3_06T", Value(60.0)}, {"I3_07T", Value(70.0)}, {"VALOR_FUT", Value(5.5)}});
    add(2, {{"I1_1", Value("F")}, {"DT_LC", Value(rt::STOD("20110301"))}, {"I1_413", Value(900.0)}});
    run();
    const auto r = rows(9, kCpf).at(0);
    EXPECT_EQ(amount(9, r, "ESTATUS"), 4);
    EXPECT_EQ(text(9, r, "USAPADRAO"), "N");
    EXPECT_EQ(rt::RTRIM(text(9, r, "CONJPAD")), "");
    const auto d = rows(1, kCpf).at(0);
    struct Case {
        const char* field;
        double value;
    };
    for (const Case& c : {Case{"I3_01", 10}, Case{"I3_11", 60}, Case{"I3_06", 70}, Case{"VALFUTUR", 5.5},
                          Case{"INDALERTA", 10}, Case{"CAL_AUTO", 3}})
        EXPECT_DOUBLE_EQ(amount(1, d, c.field), c.value) << c.field;
}

TEST_F(CashBook, PensionPaymentsBecomeIncomeAndMonthsAreSummed) {
    Row pension = monthly("I6_4", 100.0);
    pension.emplace_back("I6_3", Value(69));
    pension.emplace_back("I6_1", Value("FUNDO"));
    add(6, pension);
    Row doctor = monthly("I6_4", 10.1);
    doctor.emplace_back("I6_3", Value(10));
    add(6, doctor);
    Row other = monthly("I1_4", 0.1);
    other.emplace_back("I1_1", Value("T"));
    add(2, other);
    add(2, {{"I1_1", Value("R")}, {"I1_413", Value(50.0)}});
    add(2, {{"I1_1", Value("J")}, {"I1_413", Value(700.0)}, {"I1_513", Value(70.0)}});
    run();
    std::map<std::string, double> income;
    for (const auto r : rows(2, kCpf)) {
        income[text(2, r, "I1_1")] = amount(2, r, "I1_4");
        if (text(2, r, "I1_1") != "M") {
            EXPECT_EQ(text(2, r, "I1_11"), "S");
        }
    }
    EXPECT_EQ(income, (std::map<std::string, double>{{"J", 700}, {"M", 1200}, {"T", 1.2}}));
    EXPECT_DOUBLE_EQ(amount(1, rows(1, kCpf).at(0), "I13_31"), 1200);
    const auto paid = rows(6, kCpf);
    ASSERT_EQ(paid.size(), 1u);
    EXPECT_DOUBLE_EQ(amount(6, paid[0], "I6_4"), 121.2);
}

TEST_F(CashBook, GainsAndExpensesKeepThisYearsFields) {
    add(7, {{"ESPC_BEM1", Value("CASA")}, {"ESPC_BEM2", Value("NA PRAIA")}, {"PER_TRI", Value(0.5)},
            {"VAL_IMPOS", Value(30.0)}, {"GAN_TRI1", Value(200.0)}, {"VAL_ALI", Value(1000.0)}});
    add(11, {{"CODDESP", Value(" 12")}, {"DESCDESP", Value("LUZ")}, {"VALODESP", Value(80.25)}});
    run();
    const auto g = rows(7, kCpf).at(0);
    EXPECT_EQ(rt::RTRIM(text(7, g, "ESPC_BEM")), std::string("CASA") + std::string(72, ' ') + "NA PRAIA");
    EXPECT_DOUBLE_EQ(amount(7, g, "PER_TRI"), 50);
    EXPECT_DOUBLE_EQ(amount(7, g, "VAL_IMPOSV"), 30);
    EXPECT_DOUBLE_EQ(amount(7, g, "GAN_TRIV"), 200);
    EXPECT_DOUBLE_EQ(amount(7, g, "VAL_ALI"), 1000);
    const auto e = rows(10, kCpf).at(0);
    EXPECT_EQ(amount(10, e, "CODDESP"), 12);
    EXPECT_DOUBLE_EQ(amount(1, rows(1, kCpf).at(0), "DESPNAO"), 963);
}

TEST_F(CashBook, RuralActivityOnlyWithProperties) {
    add(10, {{"I4_04", Value(40.0)}, {"I5_09", Value(9.0)}});
    add(2, {{"I1_1", Value("R")}, {"I1_2", Value("VENDA DE GADO")}, {"I1_413", Value(500.0)},
            {"DT_LC", Value(rt::STOD("20110510"))}});
    add(12, {{"ITEM", Value(1)}, {"I8_1", Value("TRATOR")}, {"I8_2", Value(9000.0)}});
    add(12, {{"ITEM", Value(2)}, {"I8_1", Value("ARADO")}});
    run();
    EXPECT_TRUE(rows(15, kCpf).empty());
    EXPECT_TRUE(rows(16, kCpf).empty());
    EXPECT_TRUE(rows(17, kCpf).empty());

    {
        const converter::TablesLocked locks({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 15, 16, 17, 18, 19});
        for (const int code : {1, 2, 6, 7, 9, 10}) converter::delete_rows(code, kCpf);
    }
    add(15, {{"I2_01", Value("FAZENDA")}, {"I2_02", Value(12.5)}});
    run();
    EXPECT_EQ(text(9, rows(9, kCpf).at(0), "TEMRURAL"), "S");
    EXPECT_EQ(rt::RTRIM(text(16, rows(16, kCpf).at(0), "I2R_01")), "FAZENDA");
    const auto res = rows(15, kCpf).at(0);
    EXPECT_DOUBLE_EQ(amount(15, res, "I4R_04"), 40);
    EXPECT_DOUBLE_EQ(amount(15, res, "I5_09"), 9);
    EXPECT_FALSE(field(15, res, "SO_TOTAL").as_bool());
    const auto entry = rows(19, kCpf).at(0);
    EXPECT_DOUBLE_EQ(amount(19, entry, "VALOR"), 500);
    EXPECT_EQ(rt::RTRIM(text(19, entry, "DESCR")), "VENDA DE GADO");
    const auto assets = rows(17, kCpf);
    ASSERT_EQ(assets.size(), 2u);
    EXPECT_EQ(amount(17, assets[0], "I8R_0") + amount(17, assets[1], "I8R_0"), 10);
    EXPECT_EQ(text(17, assets[0], "ATV_BRASIL"), "S");
}

}  // namespace
}  // namespace qv::test_support
