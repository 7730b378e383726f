#include <gtest/gtest.h>

#include <sys/stat.h>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "declaration/loop/recovery_state.hpp"
#include "declaration/loop/usage.hpp"
#include "declaration_io_fixture.hpp"
#include "runtime/core/cp850.hpp"
#include "system/declaration/grids/grid_fixture.hpp"

namespace qv::declaration::testing {
namespace {

using Rows = std::vector<std::string>;
using rt::operator""_cp;

const std::vector<std::string> kIncomeFields{"I1_2", "I1_4"};
const std::vector<std::string> kAssetFields{"I7_0", "I7_2"};
const std::vector<std::string> kHeirFields{"NOMEDEPEN"};
const std::vector<std::string> kPaymentFields{"I6_1", "I6_4"};
const std::vector<std::string> kRuralFields{"ATV_BRASIL", "I2R_01"};

class DeclarationLoadSave : public DeclarationIoTest {
protected:
    // Two taxpayers with rows in the register, the declaration record, the
    // income, assets, payments, heirs and rural tables.
    void seed() {
        for (const auto& cpf : {kCpfA, kCpfB}) {
            const std::string who = cpf == kCpfA ? "A" : "B";
            add_row(9, cpf, {{"NOMECONTR", rt::Value("Contribuinte " + who)}, {"ATV_BRASIL", rt::Value("S")},
                             {"TEMRURAL", rt::Value("S")}});
            add_row(1, cpf, {{"I3_01", rt::Value(1234.56)}, {"I13_27", rt::Value(100.0)}, {"I13_28", rt::Value(5.0)}});
            add_row(2, cpf, {{"I1_2", rt::Value("Fonte 1 " + who)}, {"I1_4", rt::Value(1000.0)}});
            add_row(2, cpf, {{"I1_1", rt::Value("J")}, {"I1_2", rt::Value("Fonte 2 " + who)}, {"I1_4", rt::Value(2000.0)},
                             {"I1_5", rt::Value(105.0)}});
            add_row(4, cpf, {{"I7_0", rt::Value(40)}, {"I7_2", rt::Value("Terreno " + who)}});
            add_row(4, cpf, {{"I7_0", rt::Value(5)}, {"I7_2", rt::Value("Casa " + who)}});
            add_row(4, cpf, {{"I7_0", rt::Value(12)}, {"I7_2", rt::Value("Carro " + who)}});
            add_row(6, cpf, {{"I6_1", rt::Value("Medico " + who)}, {"I6_4", rt::Value(300.0)}});
            add_row(20, cpf, {{"NOMEDEPEN", rt::Value("Herdeiro " + who)}});
            // The rural months kept as typed totals.
            add_row(15, cpf, {{"ATV_BRASIL", rt::Value("S")}, {"I3_01OR", rt::Value(500.0)}, {"SO_TOTAL", rt::Value(true)}});
            add_row(16, cpf, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Sitio " + who)}});
            add_row(16, cpf, {{"ATV_BRASIL", rt::Value("N")}, {"I2R_01", rt::Value("Fazenda fora " + who)}});
        }
    }
    static tb::Table& area(int n) { return tables::ws().current(n); }
};

TEST_F(DeclarationLoadSave, EditedRowsReplaceTheTaxpayersOnlyAndAssetsAreRenumbered) {
    seed();
    const Rows other_income = rows(2, kCpfB, kIncomeFields);
    const Rows other_assets = rows(4, kCpfB, kAssetFields);
    const Rows other_heirs = rows(20, kCpfB, kHeirFields);
    const Rows other_rural = rows(16, kCpfB, kRuralFields);
    choose(kCpfA);
    {
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, 1));
        EXPECT_TRUE(exists(work + "TMP_0200.dbf"));
        EXPECT_EQ(rt::TRIM(rt::variables().get("NOMECONTR").as_string()), "Contribuinte A");
        EXPECT_DOUBLE_EQ(rt::variables().get("I3_01").as_number(), 1234.56);
        EXPECT_EQ(rt::ALLTRIM(rt::variables().get("REND_RURAL").at(1).at(1).as_string()), "500,00");
        EXPECT_EQ(area(22).lastrec(), 2u);
        EXPECT_EQ(area(24).lastrec(), 3u);
        EXPECT_EQ(area(36).lastrec(), 1u);   // the rows of the current activity only

        tb::Table& income = area(22);
        income.go_top();
        income.delete_record();
        income.skip(1);
        income.put("I1_4", rt::Value(2500.0));
        ASSERT_TRUE(income.append_blank());
        income.put("CPF", rt::Value(kCpfA));
        income.put("I1_2", rt::Value("Fonte nova"));
        income.put("I1_4", rt::Value(10.0));
        area(40).go_top();
        area(40).put("NOMEDEPEN", rt::Value("Herdeiro novo"));
        rt::variables().set("INDGAS", rt::Value(1500.0));
        ASSERT_TRUE(SALVATUDO(1));
        EXPECT_EQ(tables::ws().table(22), nullptr);
    }
    EXPECT_EQ(rows(2, kCpfA, kIncomeFields), (Rows{"Fonte 2 A|2500.00|", "Fonte nova|10.00|"}));
    EXPECT_EQ(rows(4, kCpfA, kAssetFields), (Rows{"10.00|Casa A|", "20.00|Carro A|", "30.00|Terreno A|"}));
    EXPECT_EQ(rows(20, kCpfA, kHeirFields), (Rows{"Herdeiro novo|"}));
    EXPECT_EQ(rows(6, kCpfA, kPaymentFields), (Rows{"Medico A|300.00|"}));
    EXPECT_EQ(rows(16, kCpfA, kRuralFields), (Rows{"N|Fazenda fora A|", "S|Sitio A|"}));
    EXPECT_EQ(rows(2, kCpfB, kIncomeFields), other_income);
    EXPECT_EQ(rows(4, kCpfB, kAssetFields), other_assets);
    EXPECT_EQ(rows(20, kCpfB, kHeirFields), other_heirs);
    EXPECT_EQ(rows(16, kCpfB, kRuralFields), other_rural);
    // One register record, with the limits kept and the tax withheld of
    // the income rows that were kept.
    EXPECT_EQ(rows(9, kCpfA, {"INDGAS", "I13_27"}), (Rows{"999.00|105.00|"}));
}

// A walk that sends declarations keeps the work copies open and refills
// them: each taxpayer finds its own rows only, in index order (a taxpayer
// without rows finds empty copies), and the copies are the same open tables
// from one taxpayer to the next.
TEST_F(DeclarationLoadSave, AWalkRefillsTheOpenWorkCopiesWithEachTaxpayersRows) {
    seed();
    const std::string cpf_c = "33333333333";
    add_row(9, cpf_c, {{"NOMECONTR", rt::Value("Contribuinte C")}});
    add_row(1, cpf_c, {});
    rt::variables().set("OPCAO_1", rt::Value(65));
    struct Load {
        std::string cpf, name;
        std::uint32_t income, assets, rural;
        std::string first_asset;
    };
    const Load loads[] = {{kCpfA, "Contribuinte A", 2, 3, 1, "Casa A"},
                          {kCpfB, "Contribuinte B", 2, 3, 1, "Casa B"},
                          {cpf_c, "Contribuinte C", 0, 0, 0, ""},
                          {kCpfA, "Contribuinte A", 2, 3, 1, "Casa A"}};
    const tb::Table* kept = nullptr;
    for (const Load& l : loads) {
        SCOPED_TRACE(l.cpf);
        choose(l.cpf);
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, 1));
        EXPECT_EQ(rt::TRIM(rt::variables().get("NOMECONTR").as_string()), l.name);
        EXPECT_EQ(area(22).lastrec(), l.income);
        EXPECT_EQ(area(24).lastrec(), l.assets);
        EXPECT_EQ(area(36).lastrec(), l.rural);
        area(24).go_top();
        EXPECT_EQ(area(24).eof() ? "" : rt::TRIM(area(24).get("I7_2").as_string()), l.first_asset);
        EXPECT_EQ(area(29).lastrec(), 1u);
        EXPECT_EQ(area(29).get("CPF").as_string(), l.cpf);
        if (kept) {
            EXPECT_EQ(tables::ws().table(22), kept);
        }
        kept = tables::ws().table(22);
    }
    tables::FECHA_PROV();
}

// The copies a saved declaration leaves on the disk are refilled in place
// for the next one: its own rows only, and a new taxpayer's register copy
// names it, so that a recovery after a kill knows whose copies they are.
TEST_F(DeclarationLoadSave, TheNextDeclarationRefillsTheCopiesTheLastOneLeft) {
    seed();
    const std::string cpf_c = "33333333333";
    struct Load {
        std::string cpf;
        int existing;
        std::uint32_t income, assets;
    };
    const Load loads[] = {{kCpfA, 1, 2, 3}, {kCpfB, 1, 2, 3}, {cpf_c, 0, 0, 0}, {kCpfA, 1, 2, 3}};
    const auto inode = [this](const char* file) {
        struct stat st {};
        return ::stat((work + file).c_str(), &st) == 0 ? st.st_ino : ino_t{0};
    };
    ino_t income_copy = 0;
    for (const Load& l : loads) {
        SCOPED_TRACE(l.cpf);
        choose(l.cpf);
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, l.existing));
        EXPECT_EQ(area(22).lastrec(), l.income);
        EXPECT_EQ(area(24).lastrec(), l.assets);
        for (const int a : {22, 24})
            for (area(a).go_top(); !area(a).eof(); area(a).skip(1)) EXPECT_EQ(area(a).get("CPF").as_string(), l.cpf);
        ASSERT_EQ(area(29).lastrec(), 1u);
        EXPECT_EQ(area(29).get("CPF").as_string(), l.cpf);
        if (income_copy != 0) {
            EXPECT_EQ(inode("TMP_0200.dbf"), income_copy) << "refilled, not made again";
        }
        income_copy = inode("TMP_0200.dbf");
        rt::variables().set("NOMECONTR", rt::Value("Salvo " + l.cpf));
        ASSERT_TRUE(SALVATUDO(1));
        EXPECT_EQ(tables::ws().table(22), nullptr);
    }
    EXPECT_EQ(rows(9, cpf_c, {"NOMECONTR"}), (Rows{"Salvo " + cpf_c + "|"}));
    EXPECT_EQ(rows(2, kCpfB, kIncomeFields).size(), 2u);
}

// The sum of the folder's rows a load leaves for a recovery is taken
// while the copies are refilled: it must be the sum of the rows as the
// folder holds them, every rural activity and the register included.
TEST_F(DeclarationLoadSave, ALoadLeavesTheSumOfTheFolderRowsItCopied) {
    seed();
    add_row(16, kCpfA, {{"ATV_BRASIL", rt::Value("N")}, {"I2R_01", rt::Value("Outra fora A")}});
    add_row(20, kCpfB, {{"NOMEDEPEN", rt::Value("Segundo herdeiro B")}});
    const std::string cpf_c = "33333333333";
    struct Load {
        std::string cpf;
        int existing;
        bool refilled;   // the copies of the load before were kept open
    };
    const Load loads[] = {{kCpfA, 1, false}, {kCpfB, 1, true}, {cpf_c, 0, true}, {kCpfA, 1, true}};
    std::string sum_before;
    for (const Load& l : loads) {
        SCOPED_TRACE(l.cpf);
        choose(l.cpf);
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, l.existing));
        const std::optional<RecoveryState> state = recovery_state();
        ASSERT_TRUE(state.has_value());
        EXPECT_TRUE(state->editing);
        EXPECT_EQ(state->cpf, l.cpf);
        EXPECT_EQ(state->contents.size(), 16u);
        EXPECT_EQ(state->contents, folder_contents(l.cpf)) << (l.refilled ? "refilled" : "copied");
        EXPECT_NE(state->contents, sum_before);
        sum_before = state->contents;
        ASSERT_TRUE(SALVATUDO(1));
    }
}

TEST_F(DeclarationLoadSave, AutosaveKeepsTheWorkCopiesOpenOnTheirRecords) {
    seed();
    choose(kCpfA);
    rt::DeclarationScope scope;
    ASSERT_TRUE(INIC_VAR(1, 1));
    area(22).go_top();
    area(22).skip(1);
    const auto at = area(22).recno();
    ASSERT_TRUE(SALVATUDO(0));
    ASSERT_NE(tables::ws().table(22), nullptr);
    EXPECT_EQ(area(22).recno(), at);
    EXPECT_EQ(rows(2, kCpfA, kIncomeFields).size(), 2u);
}

// Alt+W saves with its progress on the status line: the page gets its own
// line back. A save ending the declaration and followed by the transfer
// takes its last table caption away before the transfer speaks.
TEST_F(DeclarationLoadSave, TheSavesProgressLeavesNothingBehind) {
    seed();
    choose(kCpfA);
    rt::DeclarationScope scope;
    ASSERT_TRUE(INIC_VAR(1, 1));
    common::Global{"TEMP_SAL"}.set(rt::Value(10));
    common::MENS(0, "Alt H=Help Alt I=Índice TAB=Próxima página"_cp);
    const std::string page_line = status_line();
    SAL_DEC();
    EXPECT_EQ(status_line(), page_line);

    common::Global{"OPTTRAN"}.set(rt::Value(1));
    taxpayer_box();
    std::string box_when_sent;
    const grids::StandIn transfer("PREPARA", [&](std::span<const rt::Value>) {
        for (int row = 16; row <= 22; ++row) box_when_sent += term->text(row) + "\n";
        return rt::Value(true);
    });
    ASSERT_TRUE(SALVATUDO(1));
    EXPECT_NE(box_when_sent.find("Transferindo os dados para o programa da Receita...."), std::string::npos) << box_when_sent;
    EXPECT_EQ(box_when_sent.find("Livro Caixa Rural"), std::string::npos) << box_when_sent;
}

TEST_F(DeclarationLoadSave, ANewTaxpayersFirstSaveCreatesItsRecords) {
    seed();
    const std::string cpf = "33333333333";
    choose(cpf);
    {
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, 0));
        EXPECT_EQ(rt::variables().get("ESTATUS").as_number(), 2);
        EXPECT_EQ(rt::variables().get("USAPADRAO").as_string(), "S");
        EXPECT_EQ(rt::variables().get("NOMECONTR").as_string(), rt::SPACE(53));
        rt::variables().set("NOMECONTR", rt::Value("Novo"));
        ASSERT_TRUE(SALVATUDO(1));
    }
    EXPECT_EQ(rows(9, cpf, {"NOMECONTR", "ESTATUS"}), (Rows{"Novo|2.00|"}));
    EXPECT_EQ(rows(1, cpf, {"CPF"}).size(), 1u);
    EXPECT_EQ(rows(9, kCpfA, {"NOMECONTR"}), (Rows{"Contribuinte A|"}));
}

TEST_F(DeclarationLoadSave, TheWorkCopiesOfAnInterruptedSessionAreRecovered) {
    seed();
    choose(kCpfA);
    {
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, 1));
        area(26).go_top();
        area(26).put("I6_4", rt::Value(777.0));
        area(26).commit();
    }
    tables::ws().close_all();   // the session ends without saving
    rt::variables().set("CPF", rt::Value(kCpfB));
    ASSERT_TRUE(tables::ABERTURA(9));
    ASSERT_TRUE(DIRETO());
    EXPECT_EQ(rt::variables().get("CPF").as_string(), kCpfA);
    EXPECT_TRUE(rt::variables().get("LRECUPERA").as_bool());
    {
        rt::DeclarationScope scope;
        ASSERT_TRUE(INIC_VAR(1, 1));
        EXPECT_EQ(rt::TRIM(rt::variables().get("NOMECONTR").as_string()), "Contribuinte A");
        ASSERT_TRUE(SALVATUDO(1));
    }
    EXPECT_EQ(rows(6, kCpfA, kPaymentFields), (Rows{"Medico A|777.00|"}));
}

TEST_F(DeclarationLoadSave, TheSaveLeavesTheMarkAnotherTerminalClearedMeanwhile) {
    seed();
    choose(kCpfA);
    tables::ws().select(9);
    ASSERT_TRUE(tables::REC_LOCK(1));
    area(9).put("IMPRE", rt::Value("S"));
    area(9).unlock();
    rt::DeclarationScope scope;
    ASSERT_TRUE(INIC_VAR(1, 1));
    // the deletion clears every mark while the declaration is open
    ASSERT_TRUE(tables::ABERTURA(9));
    tables::ws().select(9);
    ASSERT_TRUE(area(9).seek(rt::Value(kCpfA)) && tables::REC_LOCK(1));
    area(9).put("IMPRE", rt::Value(" "));
    area(9).unlock();
    tables::ws().close(9);
    ASSERT_TRUE(SALVATUDO(1));
    EXPECT_EQ(rows(9, kCpfA, {"IMPRE", "NOMECONTR"}), (Rows{"|Contribuinte A|"}));
}

TEST_F(DeclarationLoadSave, RecoveryWithoutWorkCopiesSaysSo) {
    rt::variables().set("CPF", rt::Value(kCpfA));
    EXPECT_FALSE(DIRETO());
    EXPECT_EQ(rt::TRIM(rt::variables().get("CPF").as_string()), "");
    EXPECT_TRUE(term->showed("Impossível recuperar o último CPF."));
}

TEST_F(DeclarationLoadSave, NumbersFrom1000OnAreKeptWithoutTheFactorTen) {
    seed();
    choose(kCpfA);
    rt::DeclarationScope scope;
    ASSERT_TRUE(INIC_VAR(1, 1));
    tb::Table& assets = area(24);
    for (int i = 0; i < 998; ++i) {
        ASSERT_TRUE(assets.append_blank());
        assets.put("CPF", rt::Value(kCpfA));
        assets.put("I7_0", rt::Value(50 + i));
    }
    SALVA_PARC(4, 0);
    std::vector<long> numbers;
    tb::Table& saved = area(24);
    saved.set_order(0);
    for (saved.go_top(); !saved.eof(); saved.skip(1))
        numbers.push_back(static_cast<long>(saved.get("I7_0").as_number()));
    std::sort(numbers.begin(), numbers.end());
    ASSERT_EQ(numbers.size(), 1001u);
    // Items 1-999 become 10-9990; items 1000 and 1001 keep their numbers.
    EXPECT_EQ(numbers.front(), 10);
    EXPECT_EQ(numbers.back(), 9990);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), 1000), 2);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), 1001), 1);
    EXPECT_EQ(std::count_if(numbers.begin(), numbers.end(), [](long n) { return n % 10 != 0; }), 1);
}

TEST(VeLimNeg, KeepsIndgasAndSaldoInsideTheirFields) {
    struct Case {
        double indgas, saldo, indgas_after, saldo_after;
    };
    const Case cases[] = {
        {1500, 0, 999, 0},
        {-150, -100000000, -99.99, -99999999.99},
        {1000, -99999999.99, 999, -99999999.99},   // 1000.00 would not fit six places
        {999.99, 5, 999.99, 5},
        {-99.99, 0, -99.99, 0},
    };
    for (const auto& c : cases) {
        rt::variables().clear();
        rt::variables().set("INDGAS", rt::Value(c.indgas));
        rt::variables().set("SALDO", rt::Value(c.saldo));
        VE_LIM_NEG();
        EXPECT_DOUBLE_EQ(rt::variables().get("INDGAS").as_number(), c.indgas_after) << c.indgas;
        EXPECT_DOUBLE_EQ(rt::variables().get("SALDO").as_number(), c.saldo_after) << c.saldo;
    }
    rt::variables().clear();
}

}  // namespace
}  // namespace qv::declaration::testing
