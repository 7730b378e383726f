// A new filing year from last year's tables: the register, the balance,
// the dependants, the assets in blocks and the notes.
#include "converter/last_year_import.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "common/globals.hpp"
#include "converter/table_rows.hpp"
#include "system/converter/converter_fixture.hpp"
#include "system/taxpayer_holder.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"

namespace qv::test_support {
namespace {

using rt::Value;
using namespace std::string_literals;
namespace tb = rt::table;
using Row = std::vector<std::pair<const char*, Value>>;

const std::string kCpf = "11111111111";

class LastYear : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        for (const int code : {10, 11, 14}) ASSERT_TRUE(tables::ABERTURA(code));
        for (const int code : {9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 14, 15, 16, 17, 18}) {
            char name[16];
            std::snprintf(name, sizeof name, "imp%02d11.dbf", code);   // lower case on purpose
            tb::create_table(source + name, *tables::schema_of(code));
        }
        add(9, {{"NOMECONTR", Value("ANA")}, {"TEMRURAL", Value("N")}, {"DDDTEL", Value("11")}});
    }
    void add(int code, const Row& row) {
        char name[16];
        std::snprintf(name, sizeof name, "IMP%02d11", code);
        auto& t = tables::ws().use_in(60, source + name, exclusive());
        t.append_blank();
        t.put("CPF", Value(kCpf));
        for (const auto& [f, v] : row) t.put(f, v);
        t.commit();
        tables::ws().close(60);
    }
    void set_register(const char* field, Value v) {
        auto& t = tables::ws().use_in(60, source + "IMP0911", exclusive());
        t.go_top();
        t.put(field, v);
        t.commit();
        tables::ws().close(60);
    }
    static tb::OpenOptions exclusive() {
        tb::OpenOptions o;
        o.exclusive = true;
        return o;
    }
    void clear(std::initializer_list<int> codes) {
        const converter::TablesLocked locks(codes);
        for (const int code : codes) converter::delete_rows(code, kCpf);
    }
    void run(int sold = converter::kDropSold) {
        std::vector<std::string> missing;
        converter::SourceTables src(source, "IMP", "11", {9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 14, 15, 16, 17, 18},
                                    missing);
        ASSERT_TRUE(missing.empty());
        src.get(9)->go_top();
        ASSERT_TRUE(converter::CONV_HELPIR(src, kCpf, sold));
    }
};

TEST_F(LastYear, BalanceOfLastYearOpensThisYear) {
    struct Case {
        double balance, previous_tax, refund;
        const char* note;
    };
    for (const Case& c : {Case{-500, 0, 500, "RESTITUICAO DO QV2011"}, Case{320.5, 320.5, 0, ""}, Case{0, 0, 0, ""}}) {
        clear({1, 9});
        set_register("IMPPGRE", Value(c.balance));
        run();
        const auto d = rows(1, kCpf).at(0);
        EXPECT_DOUBLE_EQ(amount(1, d, "I3_12"), c.refund);
        EXPECT_DOUBLE_EQ(amount(1, d, "IMPOANTER"), c.previous_tax);
        EXPECT_EQ(rt::RTRIM(text(1, d, "I3_12D")), c.note);
        const auto r = rows(9, kCpf).at(0);
        EXPECT_EQ(text(9, r, "NOVO"), "S");
        EXPECT_EQ(text(9, r, "DDDTEL"), "  11");
        EXPECT_EQ(rt::RTRIM(text(9, r, "NOMECONTR")), "ANA");
    }
}

TEST_F(LastYear, RuralActivityOpensWithLastYearsClosingFigures) {
    set_register("TEMRURAL", Value("S"));
    add(16, {{"ATV_BRASIL", Value("S")}, {"I2R_01", Value("SITIO")}});
    add(15, {{"ATV_BRASIL", Value("S")}, {"I5_08", Value(40.0)}, {"I5_09", Value(9.0)}, {"I7_1B", Value(10)},
             {"I7_2B", Value(5)}, {"I7_3B", Value(1)}, {"I7_4B", Value(2)}, {"I7_5B", Value(3)}, {"I7_1V1", Value(7)}});
    add(17, {{"I8R_1", Value("TRATOR VENDIDO")}, {"I8R_4", Value(1)}, {"I8R_2", Value(50.0)}});
    add(17, {{"I8R_1", Value("ARADO")}, {"I8R_2", Value(80.0)}, {"CODIGO", Value(3)}});
    add(18, {{"I9R_1", Value("EMPRESTIMO")}, {"I9R_2", Value(500.0)}, {"I9R_3", Value(300.0)}});
    add(18, {{"I9R_1", Value("QUITADO")}, {"I9R_3", Value(0.0)}});
    run();
    EXPECT_EQ(text(9, rows(9, kCpf).at(0), "ATV_BRASIL"), "S");
    EXPECT_EQ(rt::RTRIM(text(16, rows(16, kCpf).at(0), "I2R_01")), "SITIO");
    const auto s = rows(15, kCpf).at(0);
    EXPECT_DOUBLE_EQ(amount(15, s, "I4R_04"), 40);
    EXPECT_DOUBLE_EQ(amount(15, s, "I5_10"), 9);
    EXPECT_EQ(amount(15, s, "I7_1B"), 11);
    EXPECT_EQ(amount(15, s, "I7_1V1"), 0);   // no other herd named
    const auto assets = rows(17, kCpf);
    ASSERT_EQ(assets.size(), 1u);
    EXPECT_EQ(rt::RTRIM(text(17, assets[0], "I8R_1")), "ARADO");
    EXPECT_EQ(amount(17, assets[0], "I8R_0"), 10);
    EXPECT_DOUBLE_EQ(amount(17, assets[0], "I8R_2"), 0);
    const auto debts = rows(18, kCpf);
    ASSERT_EQ(debts.size(), 1u);
    EXPECT_DOUBLE_EQ(amount(18, debts[0], "I9R_2"), 300);
    EXPECT_DOUBLE_EQ(amount(18, debts[0], "I9R_3"), 0);
}

TEST_F(LastYear, GrownDependantsAreOfferedForRemoval) {
    add(3, {{"NOMEDEPEN", Value("FILHO VELHO")}, {"CODIDEPEN", Value(21)}, {"DATADEPEN", Value(rt::STOD("19880510"))}});
    add(3, {{"NOMEDEPEN", Value("FILHO NOVO")}, {"CODIDEPEN", Value(21)}, {"DATADEPEN", Value(rt::STOD("19890101"))}});
    add(3, {{"NOMEDEPEN", Value("MENOR")}, {"CODIDEPEN", Value(41)}, {"DATADEPEN", Value(rt::STOD("19800101"))}});
    keys({'S', rt::key::ENTER});
    run();
    EXPECT_TRUE(term->showed("O dependente completou 22 anos. A menos que ele seja"));
    EXPECT_TRUE(term->showed("O menor pobre completou 22 anos e não pode ficar"));
    const auto kept = rows(3, kCpf);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(rt::RTRIM(text(3, kept[0], "NOMEDEPEN")), "FILHO NOVO");
    EXPECT_EQ(amount(3, kept[0], "NRODEPEN"), 1);
}

TEST_F(LastYear, SoldAssetsAreDroppedOrCarried) {
    // Item 1 with a continuation row, item 2 sold last year, item 3 kept.
    add(4, {{"I7_1", Value(1)}, {"I7_2", Value("CASA ")}, {"I7_5", Value(11)}});
    add(4, {{"I7_1", Value(0)}, {"I7_2", Value("NA PRAIA")}, {"I7_3", Value(100.0)}, {"I7_4", Value(150.0)}});
    add(4, {{"I7_1", Value(2)}, {"I7_2", Value("CARRO")}, {"I7_3", Value(30.0)}, {"I7_5", Value(21)}});
    add(4, {{"I7_1", Value(3)}, {"I7_2", Value("TERRENO")}, {"I7_3", Value(10.0)}, {"I7_4", Value(20.0)}});
    struct Case {
        int sold;
        std::vector<double> items;
    };
    for (const Case& c : {Case{converter::kDropSold, {1, 2}}, Case{converter::kCarrySold, {1, 2, 3}}}) {
        clear({1, 4, 9});
        run(c.sold);
        const auto carried = rows(4, kCpf);
        ASSERT_EQ(carried.size(), c.items.size());
        for (std::size_t i = 0; i < carried.size(); ++i) EXPECT_EQ(amount(4, carried[i], "I7_1"), c.items[i]);
        EXPECT_EQ(rt::RTRIM(text(4, carried[0], "I7_2")), "CASA NA PRAIA");
        EXPECT_DOUBLE_EQ(amount(4, carried[0], "I7_3"), 150);
        EXPECT_DOUBLE_EQ(amount(4, carried[0], "I7_4"), 150);
        EXPECT_DOUBLE_EQ(amount(4, carried.back(), "I7_3"), 20);
    }
}

TEST_F(LastYear, InstalmentSaleIsCarriedWithItsNote) {
    add(7, {{"BEM_NRO", Value(1)}, {"TIPO_BEM", Value(1)}, {"VEN_PRAZO", Value("S")}, {"VAL_ALI", Value(1000.0)},
            {"VAL_RECOL", Value(400.0)}, {"PER_TRI", Value(0.5)}, {"DATA_ALI", Value(rt::STOD("20110301"))}});
    add(11, {{"OBSERV", Value("NOTA ANTIGA")}});
    add(11, {{"OBSERV", Value("ERRO")}, {"CODERR", Value(3)}});
    run();
    const auto sale = rows(7, kCpf).at(0);
    EXPECT_DOUBLE_EQ(amount(7, sale, "VAL_DIFE"), 600);
    EXPECT_DOUBLE_EQ(amount(7, sale, "PER_TRI"), 50);
    EXPECT_DOUBLE_EQ(amount(7, sale, "IMP_ANTE"), 75);
    EXPECT_EQ(text(7, sale, "VENDAANT"), "S");
    const auto notes = rows(11, kCpf);
    ASSERT_EQ(notes.size(), 3u);
    // The note's field holds 60 characters: the sentence goes on below.
    EXPECT_EQ(rt::RTRIM(text(11, notes[1], "OBSERV")), "Existe ganho de capital a receber com data anterior ao ano");
    EXPECT_EQ(rt::RTRIM(text(11, notes[2], "OBSERV")), "base");
    EXPECT_EQ(field(9, rows(9, kCpf).at(0), "ULTIMOV").as_date(), rt::STOD("20110301"));
}

TEST_F(LastYear, MarkedTaxpayersAreConvertedAndPresentOnesKept) {
    // A second taxpayer of last year is already in this year's folder.
    {
        auto& t = tables::ws().use_in(60, source + "IMP0911", exclusive());
        t.append_blank();
        t.put("CPF", Value("22222222222"));
        t.put("NOMECONTR", Value("BRUNO"));
        t.commit();
        tables::ws().close(60);
        const converter::TablesLocked locks({9});
        auto& reg = converter::new_row(9, "22222222222");
        reg.put("NOMECONTR", Value("BRUNO DESTE ANO"));
        reg.commit();
    }
    auto& v = rt::variables();
    v.set("OPCAO_1", Value(1));
    v.set("ROTAANTER", Value(source));
    v.set("DIRINST", Value(prog));
    v.set("NOVIN", Value(false));
    // The form as proposed; Alt+= marks every row; "Não" to the sold assets.
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ESC, 387, rt::key::ESC, rt::key::ENTER});
    converter::CONVIRHELP(1);
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_EQ(rows(9, kCpf).size(), 1u);
    const auto kept = rows(9, "22222222222");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(rt::RTRIM(text(9, kept[0], "NOMECONTR")), "BRUNO DESTE ANO");
    EXPECT_EQ(text(9, kept[0], "NOVO"), "S");
    EXPECT_TRUE(rows(1, "22222222222").empty());
    EXPECT_TRUE(common::Global("NOVIN").value().as_bool());
    EXPECT_EQ(status_line().find("Convertendo"), std::string::npos) << term->dump();
}

// Taxpayers whose declaration another terminal has open (one already here,
// one registered there and not saved yet) are left to it and named with
// the terminal; a free one is converted as before.
TEST_F(LastYear, TaxpayersOpenOnAnotherTerminalAreLeftAndNamed) {
    for (const char* cpf : {"22222222222", "33333333333"}) {
        auto& t = tables::ws().use_in(60, source + "IMP0911", exclusive());
        t.append_blank();
        t.put("CPF", Value(cpf));
        t.put("NOMECONTR", Value("OUTRO"));
        t.commit();
        tables::ws().close(60);
    }
    {
        const converter::TablesLocked locks({9});
        converter::new_row(9, "22222222222").commit();
    }
    auto& v = rt::variables();
    v.set("OPCAO_1", Value(1));
    v.set("ROTAANTER", Value(source));
    v.set("DIRINST", Value(prog));
    TaxpayerHolder present(client, "22222222222", "05"), registering(client, "33333333333", "06");
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ESC, 387, rt::key::ESC, rt::key::ENTER});
    converter::CONVIRHELP(1);
    EXPECT_TRUE(term->showed("Contribuinte 222.222.222-22 em uso no terminal 05.")) << term->all_snapshots();
    EXPECT_TRUE(term->showed("Contribuinte 333.333.333-33 em uso no terminal 06."));
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_EQ(rows(9, kCpf).size(), 1u);
    EXPECT_TRUE(rows(9, "33333333333").empty());
    EXPECT_TRUE(rows(1, "33333333333").empty());
    EXPECT_NE(text(9, rows(9, "22222222222").at(0), "NOVO"), "S");
}

// A taxpayer here whose declaration the office protected takes no sale
// dates from last year, and is named.
TEST_F(LastYear, AProtectedDeclarationTakesNoSaleDates) {
    {
        auto& t = tables::ws().use_in(60, source + "IMP0911", exclusive());
        t.append_blank();
        t.put("CPF", Value("22222222222"));
        t.commit();
        tables::ws().close(60);
        const converter::TablesLocked locks({9});
        tb::Table& reg = converter::new_row(9, "22222222222");
        reg.put("ESTATUS", Value(9));
        reg.commit();
    }
    auto& v = rt::variables();
    v.set("STATRAVA", Value(9));
    v.set("OPCAO_1", Value(1));
    v.set("ROTAANTER", Value(source));
    v.set("DIRINST", Value(prog));
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ESC, 387, rt::key::ESC, rt::key::ENTER});
    converter::CONVIRHELP(1);
    EXPECT_TRUE(term->showed("222.222.222-22: Declaração com Status de proteção")) << term->all_snapshots();
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_EQ(rows(9, kCpf).size(), 1u) << "the others are converted";
}

TEST_F(LastYear, AMissingSourceTableIsReportedByName) {
    std::filesystem::remove(source + "imp0611.dbf");
    std::vector<std::string> missing;
    converter::SourceTables src(source, "IMP", "11", {9, 6}, missing);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0], "IMP0611: "s + rt::utf8_to_cp850("não pôde ser aberto"));
    EXPECT_EQ(src.get(6), nullptr);
    EXPECT_NE(src.get(9), nullptr);
}

TEST_F(LastYear, AreaCodesKeepTheirDigitsAndBlanksStayBlank) {
    struct Case {
        const char* before;
        const char* after;
    };
    for (const Case& c : {Case{"11", "  11"}, Case{"011", "  11"}, Case{"", "    "}}) {
        clear({1, 9});
        set_register("DDDTEL", Value(c.before));
        run();
        EXPECT_EQ(text(9, rows(9, kCpf).at(0), "DDDTEL"), c.after) << c.before;
    }
}

// Last year's register with its birth date kept as text.
class LastYearOtherTypes : public LastYear {
protected:
    void SetUp() override {
        LastYear::SetUp();
        tables::ws().set_deleted(true);
        tb::Structure reg = *tables::schema_of(9);
        for (auto& f : reg)
            if (f.name == "NASCIMENTO") f = {"NASCIMENTO", 'C', 10, 0};
        tables::ws().close_all();
        std::filesystem::remove(source + "imp0911.dbf");
        tb::create_table(source + "imp0911.dbf", reg);
        ASSERT_TRUE(converter::CRIA_BASE());
        for (const int code : {10, 11, 14}) ASSERT_TRUE(tables::ABERTURA(code));
        add(9, {{"NOMECONTR", Value("ANA")}, {"TEMRURAL", Value("N")}});
        add(2, {{"I1_1", Value("J")}, {"I1_2", Value("FIRMA")}});
    }
    bool convert(std::vector<std::string>& report) {
        std::vector<std::string> missing;
        converter::SourceTables src(source, "IMP", "11", {9, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 14, 15, 16, 17, 18},
                                    missing);
        src.get(9)->go_top();
        return converter::CONV_HELPIR(src, kCpf, converter::kDropSold, converter::kLastYear, &report);
    }
};

TEST_F(LastYearOtherTypes, ValuesAreConvertedOrTheTaxpayerLeftOutWhole) {
    struct Case {
        const char* born;
        bool converted;
        const char* date;   // yyyymmdd kept this year
    };
    for (const Case& c : {Case{"ABC", false, ""}, Case{"15/03/1970", true, "19700315"}, Case{"19700316", true, "19700316"},
                          Case{"", true, ""}, Case{"31/02/1970", false, ""}}) {
        clear({1, 2, 9});
        set_register("NASCIMENTO", Value(c.born));
        std::vector<std::string> report;
        EXPECT_EQ(convert(report), c.converted) << c.born;
        if (!c.converted) {
            ASSERT_EQ(report.size(), 1u) << c.born;
            EXPECT_EQ(report[0], "111.111.111-11 ANA: NASCIMENTO "s + rt::utf8_to_cp850("não é uma data")) << c.born;
            EXPECT_TRUE(rows(9, kCpf).empty()) << c.born;
            EXPECT_TRUE(rows(1, kCpf).empty()) << c.born;
            EXPECT_TRUE(rows(2, kCpf).empty()) << c.born;
            continue;
        }
        const auto r = rows(9, kCpf);
        ASSERT_EQ(r.size(), 1u) << c.born;
        EXPECT_EQ(rt::DTOS(field(9, r[0], "NASCIMENTO").as_date()), rt::PADR(c.date, 8)) << c.born;
        EXPECT_EQ(rows(2, kCpf).size(), 1u) << c.born;
    }
}

}  // namespace
}  // namespace qv::test_support
