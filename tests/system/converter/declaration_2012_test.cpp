// A 2012 declaration file taken whole into the client tables.
#include <algorithm>

#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "system/converter/converter_fixture.hpp"
#include "system/taxpayer_holder.hpp"
#include "tables/locks.hpp"

namespace qv::test_support {
namespace {

const std::string kCpf = "12345678909";

std::vector<Record> full_2012() {
    std::vector<Record> r;
    r.push_back(header(2012, "ESPL    "));
    Record id = identification(kCpf, "JOS\xC9 DA SILVA");   // Windows-1252 letter
    id.at(228, "SP").at(348, "0011").at(352, "03334444").at(360, "15031970").at(388, "S");
    r.push_back(id);
    r.push_back(Record("21").at(14, "12345678000195").at(28, "EMPRESA").num(88, 100, 10000000).num(127, 139, 150000));
    // Income from natural persons: January and April, with social security
    // and alimony paid.
    for (const int month : {1, 4})
        r.push_back(Record("22").at(14, "N").num(26, 27, month).num(28, 40, 100000).num(67, 79, 20000)
                        .num(93, 105, 11000));
    r.push_back(Record("25").num(14, 18, 1).at(19, "21").at(21, "MARIA").at(81, "01012000").at(89, "11111111111"));
    r.push_back(Record("26").at(14, "01").at(21, "12345678000195").at(35, "ESCOLA").num(106, 118, 500000));
    r.push_back(Record("26").at(14, "30").num(16, 20, 1).at(21, "22222222222").at(35, "ANA").num(106, 118, 240000)
                    .at(133, "A"));
    r.push_back(Record("27").at(14, "11").at(16, "0").at(17, "105").at(20, "CASA").num(532, 544, 50000)
                    .num(545, 557, 60000).at(693, "RJ"));
    r.push_back(Record("35").at(14, "0").num(15, 19, 1).at(20, "ANA").at(88, "22222222222"));
    r.push_back(Record("38").at(14, "2011").at(246, "SP"));
    // Stock market, January: common item 1, items 14 and 15, day trade item
    // 14, tax withheld at source; the carried loss is 0.
    r.push_back(Record("40").num(14, 15, 1).num(16, 28, 1000).num(367, 379, 500).num(380, 392, 300)
                    .num(354, 366, 700).num(393, 405, 0).num(594, 606, 200));
    r.push_back(Record("48").at(14, "NAO ESPERADO"));
    r.push_back(Record("60").at(14, "01").at(16, "TERRENO"));
    r.push_back(Record("63").at(14, "1").at(15, "01").at(76, "10062011").num(85, 97, 9000000).num(98, 110, 4000000));
    r.push_back(Record("80").at(14, "12345678000195").at(28, "FONTE").num(88, 100, 12345));
    return r;
}

class Declaration2012 : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        ASSERT_TRUE(convert("12345678909-IRPF-2012.DEC", declaration_text(full_2012())));
    }
};

TEST_F(Declaration2012, RegisterAndDeclarationRecord) {
    const auto reg = rows(9, kCpf);
    ASSERT_EQ(reg.size(), 1u);
    EXPECT_EQ(rt::RTRIM(text(9, reg[0], "NOMECONTR")), "JOS\x90 DA SILVA");
    EXPECT_EQ(text(9, reg[0], "DDDTEL"), "  11");
    EXPECT_EQ(text(9, reg[0], "TELEFO"), " 3334444");
    EXPECT_EQ(text(9, reg[0], "UF"), "SP");
    EXPECT_EQ(text(9, reg[0], "RETIFICA"), "S");
    EXPECT_EQ(text(9, reg[0], "RECIBOATU"), "123456789091");
    EXPECT_EQ(rt::DTOC(field(9, reg[0], "NASCIMENTO").as_date()), "15/03/1970");
    const auto decl = rows(1, kCpf);
    ASSERT_EQ(decl.size(), 1u);
    EXPECT_EQ(text(1, decl[0], "DECFINAL"), "S");
    // The registry's state is blank: the court's state stays.
    EXPECT_EQ(text(1, decl[0], "UFPROCES"), "SP");
    // The unexpected record is reported; everything after it was read.
    ASSERT_EQ(report.size(), 1u);
    EXPECT_NE(report[0].find("48"), std::string::npos);
}

TEST_F(Declaration2012, MonthlyDeductionsAndPayments) {
    const auto months = rows(12, kCpf);
    ASSERT_EQ(months.size(), 1u);
    // Social security 110,00 + alimony 200,00 + one dependant.
    EXPECT_NEAR(amount(12, months[0], "I2_401"), 460.69, 0.001);
    EXPECT_NEAR(amount(12, months[0], "I2_404"), 467.47, 0.001);
    EXPECT_EQ(amount(12, months[0], "I2_402"), 0);
    const auto pays = rows(6, kCpf);
    ASSERT_EQ(pays.size(), 2u);
    EXPECT_NEAR(amount(6, pays[0], "I6_5"), 2041.77, 0.001);   // education above its limit
    EXPECT_EQ(amount(6, pays[1], "I6_6"), 2);                 // the recipient after the dependant
    EXPECT_NEAR(amount(6, pays[1], "I6_401"), 200, 0.001);
    EXPECT_NEAR(amount(6, pays[1], "I6_404"), 200, 0.001);
    EXPECT_EQ(amount(6, pays[1], "I6_402"), 0);
}

TEST_F(Declaration2012, IncomeAssetsAndStockMarket) {
    int titular_rows = 0;
    for (const auto r : rows(2, kCpf)) {
        const std::string who = text(2, r, "I1_1");
        if (who == "J" && amount(2, r, "I1_4") == 100000) {
            EXPECT_NEAR(amount(2, r, "I1_5"), 1500, 0.001);
        }
        if (who == "F") {
            ++titular_rows;
            EXPECT_NEAR(amount(2, r, "I1_4"), 2000, 0.001);
        }
        if (who == "J" && rt::RTRIM(text(2, r, "I1_2")) == "FONTE") {
            EXPECT_NEAR(amount(2, r, "I1_19"), 123.45, 0.001);
        }
    }
    EXPECT_EQ(titular_rows, 1);
    const auto assets = rows(4, kCpf);
    ASSERT_EQ(assets.size(), 1u);
    EXPECT_EQ(amount(4, assets[0], "I7_3"), 500);
    EXPECT_EQ(amount(4, assets[0], "I7_4"), 600);
    EXPECT_EQ(text(4, assets[0], "I7_8"), "105");
    EXPECT_EQ(text(4, assets[0], "UFIMO"), "RJ");

    struct Expected {
        int line;
        const char* operations;
        double january;
    };
    const Expected market[] = {{1, "1", 10}, {28, "1", 5}, {24, "1", 3}, {22, "2", 7}, {25, "1", 2}};
    std::vector<std::string> seen;
    for (const auto r : rows(7, kCpf))
        if (amount(7, r, "TIPO_BEM") == 4) seen.push_back(std::to_string(int(amount(7, r, "RVAR_NRO"))) +
                                                          text(7, r, "DAY_TRADE") + "=" +
                                                          std::to_string(int(amount(7, r, "REC_MES01") * 100)));
    ASSERT_EQ(seen.size(), std::size(market)) << "no row for a carried loss of 0";
    for (const auto& e : market)
        EXPECT_NE(std::find(seen.begin(), seen.end(), std::to_string(e.line) + e.operations + "=" +
                                                          std::to_string(int(e.january * 100))),
                  seen.end())
            << e.line;
}

TEST_F(Declaration2012, SecondImportReplacesGainsAndTheirCosts) {
    auto gains = [&] {
        std::vector<std::uint32_t> found;
        for (const auto r : rows(7, kCpf))
            if (amount(7, r, "TIPO_BEM") == 1) found.push_back(r);
        return found;
    };
    ASSERT_EQ(gains().size(), 1u);
    EXPECT_NEAR(amount(7, gains()[0], "VAL_ALI"), 90000, 0.001);
    EXPECT_EQ(text(7, gains()[0], "VENDAANT"), "N");
    ASSERT_EQ(rows(8, kCpf).size(), 1u);
    // The same taxpayer again without gains: the old gain and its cost go.
    auto again = full_2012();
    again.erase(again.end() - 3, again.end());
    ASSERT_TRUE(convert("again.DEC", declaration_text(again)));
    EXPECT_TRUE(gains().empty());
    EXPECT_TRUE(rows(8, kCpf).empty());
    EXPECT_EQ(rows(9, kCpf).size(), 1u);
    EXPECT_EQ(rows(4, kCpf).size(), 1u);
}

}  // namespace
}  // namespace qv::test_support

namespace qv::test_support {
namespace {

// A sale made in 2009 whose instalments come in now: marked as a sale of an
// earlier year, its value kept as the earlier sale's.
TEST_F(Declaration2012, EarlierYearSaleIsMarkedSo) {
    ASSERT_TRUE(convert("earlier.DEC",
                        declaration_text({header(2012), identification(kCpf, "JOSE"), Record("60").at(14, "01").at(16, "CASA"),
                                          Record("63").at(14, "1").at(15, "01").at(76, "10062009").num(85, 97, 9000000)
                                              .at(230, "S")}),
                        converter::kGainsOnly));
    int sales = 0;
    for (const auto r : rows(7, kCpf)) {
        if (amount(7, r, "TIPO_BEM") != 1) continue;
        ++sales;
        EXPECT_EQ(text(7, r, "VENDAANT"), "S");
        EXPECT_NEAR(amount(7, r, "VAL_ANTE"), 90000, 0.001);
        EXPECT_EQ(amount(7, r, "VAL_ALI"), 0);
    }
    EXPECT_EQ(sales, 1);
}

TEST_F(Declaration2012, GainsOnlyImportReplacesEveryEarlierGain) {
    // A file with fewer gains, of another kind: the earlier gain goes anyway.
    ASSERT_TRUE(convert("gains.DEC",
                        declaration_text({header(2012), identification(kCpf, "JOSE"), Record("61").at(14, "01").at(16, "CARRO")}),
                        converter::kGainsOnly));
    std::vector<int> kinds;
    for (const auto r : rows(7, kCpf))
        if (amount(7, r, "TIPO_BEM") != 4) kinds.push_back(static_cast<int>(amount(7, r, "TIPO_BEM")));
    EXPECT_EQ(kinds, std::vector<int>{2});
    EXPECT_TRUE(rows(8, kCpf).empty());
    // The rest of the declaration stays.
    EXPECT_EQ(rows(4, kCpf).size(), 1u);
    EXPECT_EQ(rows(6, kCpf).size(), 2u);
}

}  // namespace
}  // namespace qv::test_support

namespace qv::test_support {
namespace {

// A file of a taxpayer whose declaration another terminal has open changes
// none of its rows, whichever import it is, and is named in the report with
// the terminal; once the terminal lets go, the file is taken as before.
TEST_F(Declaration2012, ATaxpayerOpenOnAnotherTerminalIsLeftToItAndNamed) {
    const auto counts = [&] {
        std::vector<std::size_t> n;
        for (const int code : {1, 2, 3, 4, 5, 6, 7, 8}) n.push_back(rows(code, kCpf).size());
        return n;
    };
    const auto before = counts();
    const std::string file = declaration_text(
        {header(2012, "IRPF    ", "9999999999"), identification(kCpf, "JOSE"), Record("61").at(14, "01").at(16, "CARRO")});
    auto holder = std::make_unique<TaxpayerHolder>(client, kCpf, "05");
    for (const int kind : {converter::kFullImport, converter::kGainsOnly, converter::kReceiptsOnly}) {
        report.clear();
        EXPECT_FALSE(convert("open.DEC", file, kind)) << kind;
        ASSERT_EQ(report.size(), 1u) << kind;
        EXPECT_EQ(rt::cp850_to_utf8(report[0]), "open.DEC: Contribuinte 123.456.789-09 em uso no terminal 05.");
        EXPECT_EQ(counts(), before) << kind;
        EXPECT_EQ(text(9, rows(9, kCpf).at(0), "RECIBOATU"), "123456789091") << kind;
    }
    holder.reset();
    EXPECT_TRUE(convert("open.DEC", file, converter::kReceiptsOnly));
    EXPECT_EQ(text(9, rows(9, kCpf).at(0), "RECIBOATU").substr(0, 10), "9999999999");
}

// A declaration the office protected against change takes no import; the
// receipt numbers still reach its register.
TEST_F(Declaration2012, AProtectedDeclarationTakesOnlyTheReceiptNumbers) {
    rt::variables().set("STATRAVA", rt::Value(9));
    tables::ws().select(9);
    tables::ws().current(9).go_to(rows(9, kCpf).at(0));
    ASSERT_TRUE(tables::REC_LOCK(1));
    tables::ws().current(9).put("ESTATUS", rt::Value(9));
    tables::ws().current(9).unlock();
    const std::size_t assets = rows(4, kCpf).size();
    const std::string file =
        declaration_text({header(2012, "IRPF    ", "9999999999"), identification(kCpf, "JOSE"),
                          Record("27").at(14, "11").at(16, "0").at(17, "105").at(20, "CARRO")});
    for (const int kind : {converter::kFullImport, converter::kGainsOnly}) {
        report.clear();
        EXPECT_FALSE(convert("locked.DEC", file, kind)) << kind;
        ASSERT_EQ(report.size(), 1u) << kind;
        EXPECT_EQ(rt::cp850_to_utf8(report[0]), "locked.DEC: 123.456.789-09: Declaração com Status de "
                                                 "proteção contra alteração.Logo não é "
                                                 "permitido salvar qualquer modificação!");
        EXPECT_EQ(rows(4, kCpf).size(), assets) << kind;
    }
    EXPECT_TRUE(convert("locked.DEC", file, converter::kReceiptsOnly));
    EXPECT_EQ(text(9, rows(9, kCpf).at(0), "RECIBOATU").substr(0, 10), "9999999999");
}

}  // namespace
}  // namespace qv::test_support
