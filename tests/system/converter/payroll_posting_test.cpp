// Payroll statements posted into the declaration tables.
#include <filesystem>

#include "converter/payroll_posting.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "system/converter/converter_fixture.hpp"
#include "system/other_terminal.hpp"
#include "system/taxpayer_holder.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::test_support {
namespace {

using rt::Value;
namespace tb = rt::table;
const std::string kCpf = "33333333333";

using Fields = std::vector<std::pair<const char*, Value>>;

class PayrollPosting : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    }
    // A statement of the CPF in FOLHAPG, current.
    void statement(const Fields& fields) {
        tables::ws().select(converter::kPayroll);
        auto& s = tables::ws().current(converter::kPayroll);
        ASSERT_TRUE(tables::ADD_REC(2));
        s.put("CPF", Value(kCpf));
        for (const auto& [f, v] : fields) s.put(f, v);
        s.commit();
        s.unlock();
    }
    // A row of this year's table for the CPF.
    void row(int code, const Fields& fields) {
        const converter::TablesLocked locks({code});
        auto& t = converter::new_row(code, kCpf);
        for (const auto& [f, v] : fields) t.put(f, v);
        t.commit();
    }
    // Kind, CNPJ and income of each of the CPF's income rows, in file order.
    std::vector<std::string> income_rows() {
        std::vector<std::string> out;
        for (const auto r : rows(2, kCpf))
            out.push_back(text(2, r, "I1_1") + " " + rt::RTRIM(text(2, r, "I1_3")) + " " +
                          rt::LTRIM(rt::STR(amount(2, r, "I1_4"), 10, 2)));
        return out;
    }
    // A statement of 75,00 from one payer for each CPF, in FOLHAPG.
    void statements_of(std::initializer_list<const char*> cpfs) {
        ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
        auto& s = tables::ws().current(converter::kPayroll);
        for (const char* cpf : cpfs) {
            tables::ws().select(converter::kPayroll);
            ASSERT_TRUE(tables::ADD_REC(2));
            s.put("CPF", Value(cpf));
            s.put("CNPJFONTE", Value("22.222.222/0001-91"));
            s.put("RENDIMENT", Value(75.0));
            s.commit();
            s.unlock();
        }
    }
    // One statement of the CPF, posted in `mode`.
    void post(const char* cnpj, double daily, double income, const char* mode) {
        tables::ws().select(converter::kPayroll);
        auto& s = tables::ws().current(converter::kPayroll);
        ASSERT_TRUE(tables::ADD_REC(2));
        s.put("CPF", Value(kCpf));
        s.put("NOMEFONTE", Value("EMPRESA"));
        s.put("CNPJFONTE", Value(cnpj));
        s.put("RENDIMENT", Value(income));
        s.put("DIARIAS", Value(daily));
        s.put("PENSAOPAG", Value(50.0));
        s.commit();
        const converter::TablesLocked locks({1, 2, 6});
        converter::GRAVA_VALOR(mode);
    }
};

TEST_F(PayrollPosting, DailyAllowancesAreAddedWithTheirText) {
    post("11.111.111/0001-11", 100, 1000, "A");
    post("11.111.111/0001-11", 100, 1000, "A");
    const auto d = rows(1, kCpf).at(0);
    EXPECT_DOUBLE_EQ(amount(1, d, "I3_12"), 200);
    EXPECT_EQ(rt::RTRIM(text(1, d, "I3_12D")), "DIARIAS E AJUDA DE CUSTO/DIARIAS E AJUDA DE CUSTO");
    post("11.111.111/0001-11", 100, 1000, "S");
    EXPECT_DOUBLE_EQ(amount(1, d, "I3_12"), 100);
    post("11.111.111/0001-11", 100, 1000, "N");
    EXPECT_DOUBLE_EQ(amount(1, d, "I3_12"), 100);
    // One payment of code 12, its amount replaced each time.
    const auto p = rows(6, kCpf);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_DOUBLE_EQ(amount(6, p[0], "I6_4"), 50);
}

TEST_F(PayrollPosting, EachPayerHasItsIncomeRow) {
    post("11.111.111/0001-11", 0, 1000, "A");
    post("22.222.222/0001-22", 0, 2000, "A");
    post("22.222.222/0001-22", 0, 2500, "A");
    const auto income = rows(2, kCpf);
    ASSERT_EQ(income.size(), 2u);
    double total = 0;
    for (const auto r : income) {
        EXPECT_EQ(text(2, r, "I1_1"), "J");
        total += amount(2, r, "I1_4");
    }
    EXPECT_DOUBLE_EQ(total, 3500);
}

TEST_F(PayrollPosting, PayrollExportIsAppended) {
    EXPECT_FALSE(converter::import_payroll_file(source));
    EXPECT_TRUE(term->showed("Arquivo para a importação FOLHA.TXT não localizado!"));
    write_file(source + "FOLHA.TXT",
               "\"33333333333\",\"ANA\",\"EMPRESA\",\"11.111.111/0001-91\",1234.56,10,0,0,100.5,0,100,0,0,0,0,"
               "500,\"\",\"\",\"\",0,0,\"\"\r\n"
               "\"44444444444\",\"BIA\",\"OUTRA\",\"22.222.222/0001-91\",10,0,0,0,0,0,0,0,0,0,0,0,\"\",\"\",\"\",0,0,\"N\"\r\n");
    ASSERT_TRUE(converter::import_payroll_file(source));
    auto& s = tables::ws().current(converter::kPayroll);
    s.set_order(1);
    ASSERT_TRUE(s.seek(Value(kCpf)));
    EXPECT_EQ(rt::RTRIM(s.get("CNPJFONTE").as_string()), "11.111.111/0001-91");
    EXPECT_DOUBLE_EQ(s.get("RENDIMENT").as_number(), 1234.56);
    EXPECT_DOUBLE_EQ(s.get("DIARIAS").as_number(), 100);
    EXPECT_DOUBLE_EQ(s.get("DECIMO3RO").as_number(), 500);
    ASSERT_TRUE(s.seek(Value("44444444444")));
    EXPECT_EQ(s.get("IMPRE").as_string(), "N");
}

TEST_F(PayrollPosting, MenuImportsTheExportOfTheFolderAsked) {
    write_file(source + "folha.txt",
               "\"55555555555\",\"EVA\",\"FIRMA\",\"33333333000191\",99.9,0,0,0,0,0,0,0,0,0,0,0,\"\",\"\",\"\",0,0,\"\"\r\n");
    common::Global{"ROTADOANO"}.set(Value(source));
    keys({'I', rt::key::ENTER, rt::key::ESC});
    converter::CONVFOLHA();
    EXPECT_TRUE(term->showed("Drive e pasta do Arquivo FOLHA.TXT"));
    ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    auto& s = tables::ws().current(converter::kPayroll);
    s.set_order(1);
    ASSERT_TRUE(s.seek(Value("55555555555")));
    EXPECT_DOUBLE_EQ(s.get("RENDIMENT").as_number(), 99.9);
}

TEST_F(PayrollPosting, StatementTypedInTheFormIsStoredAndASecondPayerAdded) {
    auto type = [&](std::string_view text) {
        for (const char c : text) term->feed(c);
    };
    for (int payer = 0; payer < 2; ++payer) {
        type("12345678909");   // the field is full: the form goes on by itself
        if (payer == 1) keys({'S'});   // "Outra fonte de Renda?"
        type(payer == 0 ? "FIRMA" : "OUTRA");
        keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});   // CNPJ left blank, name
        type("1500");
        keys({rt::key::PGDN, 'S'});
    }
    keys({rt::key::ESC});
    converter::PEGACOM();
    auto& s = tables::ws().current(converter::kPayroll);
    std::vector<std::pair<std::string, double>> stored;
    for (s.go_top(); !s.eof(); s.skip(1))
        if (s.get("CPF").as_string() == "12345678909")
            stored.emplace_back(rt::RTRIM(s.get("NOMEFONTE").as_string()), s.get("RENDIMENT").as_number());
    EXPECT_EQ(stored, (std::vector<std::pair<std::string, double>>{{"FIRMA", 1500}, {"OUTRA", 1500}}));
}

TEST_F(PayrollPosting, PayerNumbersAreCheckedAndKeptWithSeparators) {
    struct Case {
        const char* typed;
        const char* kept;
    };
    for (const Case& c : {Case{"11.222.333/000181 ", "11.222.333/0001-81"}, Case{"123.456.789-09    ", "123.456.789-09    "},
                          Case{"                  ", "                  "}}) {
        rt::variables().set("CNPJFONTE", Value(c.typed));
        EXPECT_TRUE(converter::CPFCNPJ("M->CNPJFONTE")) << c.typed;
        EXPECT_EQ(rt::variables().get("CNPJFONTE").as_string(), c.kept);
    }
}

TEST_F(PayrollPosting, UnregisteredStatementsAreIncludedOrSkipped) {
    auto& s = tables::ws().current(converter::kPayroll);
    for (const char* cpf : {"55555555555", "66666666666", "77777777777"}) {
        tables::ws().select(converter::kPayroll);
        ASSERT_TRUE(tables::ADD_REC(2));
        s.put("CPF", Value(cpf));
        s.put("CNPJFONTE", Value("11.111.111/0001-11"));
        s.put("RENDIMENT", Value(10.0));
        s.commit();
    }
    // "Acrescente"; the first CPF skipped ("Salta"), the others all included ("Todos").
    keys({rt::key::ENTER, rt::key::RIGHT, rt::key::ENTER, rt::key::RIGHT, rt::key::RIGHT, rt::key::ENTER});
    converter::TRANSFERE();
    ASSERT_TRUE(converter::CRIA_BASE());
    ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    EXPECT_TRUE(rows(9, "55555555555").empty());
    EXPECT_EQ(rows(9, "66666666666").size(), 1u);
    EXPECT_EQ(rows(2, "77777777777").size(), 1u);
    auto& left = tables::ws().current(converter::kPayroll);
    int statements = 0;
    for (left.go_top(); !left.eof(); left.skip(1)) statements += !left.deleted();
    EXPECT_EQ(statements, 1);
}

TEST_F(PayrollPosting, TaxpayerOfAnotherFolderGetsTheStatementThere) {
    const std::string here = tables::client_folder(), other = folder_with("44444444444");
    ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    tables::ws().select(converter::kPayroll);
    auto& s = tables::ws().current(converter::kPayroll);
    ASSERT_TRUE(tables::ADD_REC(2));
    s.put("CPF", Value("44444444444"));
    s.put("CNPJFONTE", Value("22.222.222/0001-22"));
    s.put("RENDIMENT", Value(75.0));
    s.commit();
    keys({rt::key::ENTER});   // "Acrescente"; no question about the CPF: it is registered elsewhere
    converter::TRANSFERE();
    EXPECT_EQ(tables::client_folder(), here);
    ASSERT_TRUE(tables::ABERTURA(50));
    auto& after = tables::ws().current(50);   // the list was closed with the run
    for (after.go_top(); !after.eof(); after.skip(1))
        if (rt::RTRIM(after.get("DIRETOR").as_string()) == other) {
            EXPECT_EQ(after.get("SELEC").as_string(), "N");
        }
    tables::set_client_folder(other);
    ASSERT_TRUE(converter::CRIA_BASE());
    const auto income = rows(2, "44444444444");
    ASSERT_EQ(income.size(), 1u);
    EXPECT_DOUBLE_EQ(amount(2, income[0], "I1_4"), 75);
    tables::ws().close_all();
    tables::set_client_folder(here);
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_TRUE(rows(9, "44444444444").empty());
}

TEST_F(PayrollPosting, PayersRowIsFoundByKindAndCnpjAmongTheOtherIncome) {
    // The payer's row keeps its CNPJ without separators; a pension and a
    // self-employment income come after it.
    row(2, {{"I1_1", Value("J")}, {"I1_2", Value("FIRMA")}, {"I1_3", Value("11111111000191")}, {"I1_4", Value(500.0)}});
    row(2, {{"I1_1", Value("M")}, {"I1_2", Value("PENSAO")}, {"I1_4", Value(1200.0)}});
    row(2, {{"I1_1", Value("F")}, {"I1_2", Value("CONSULTAS")}, {"I1_4", Value(300.0)}});
    for (const char* mode : {"A", "S", "A"}) {
        statement({{"NOMEFONTE", Value("FIRMA")}, {"CNPJFONTE", Value("11.111.111/0001-91")}, {"RENDIMENT", Value(2000.0)}});
        const converter::TablesLocked locks({1, 2, 6});
        converter::GRAVA_VALOR(mode);
        EXPECT_EQ(income_rows(), (std::vector<std::string>{"J 11.111.111/0001-91 2000.00", "M  1200.00", "F  300.00"}))
            << mode;
    }
}

TEST_F(PayrollPosting, ReplacingTakesEveryPayerOfTheTransfer) {
    row(9, {{"NOMECONTR", Value("ANA")}});
    row(1, {{"I3_03", Value(999.0)}, {"I4_05", Value(888.0)}, {"I4_05D", Value("ANTIGO")}});
    statement({{"CNPJFONTE", Value("11.111.111/0001-91")}, {"IDENIZA", Value(300.0)}, {"VALOUTRE", Value(50.0)},
               {"OUTROSEXC", Value("PLR")}});
    statement({{"CNPJFONTE", Value("22.222.222/0001-91")}, {"IDENIZA", Value(0.0)}, {"VALOUTRE", Value(20.0)}});
    statement({{"CNPJFONTE", Value("33.333.333/0001-91")}});
    keys({rt::key::RIGHT, rt::key::ENTER});   // "Substituia"
    converter::TRANSFERE();
    ASSERT_TRUE(converter::CRIA_BASE());
    const auto d = rows(1, kCpf).at(0);
    EXPECT_DOUBLE_EQ(amount(1, d, "I3_03"), 300);
    EXPECT_DOUBLE_EQ(amount(1, d, "I4_05"), 70);
    EXPECT_EQ(rt::RTRIM(text(1, d, "I4_05D")), "PLR");
    EXPECT_EQ(rows(2, kCpf).size(), 3u);
}

TEST_F(PayrollPosting, TextsOfTheLinesAreJoinedOnlyWithAWord) {
    struct Case {
        const char* before;
        const char* added;
        const char* after;
    };
    for (const Case& c : {Case{"EXCLUSIVOS KVB/PLR", "", "EXCLUSIVOS KVB/PLR"}, Case{"", "PLR", "PLR"},
                          Case{"EXCLUSIVOS KVB", "PLR", "EXCLUSIVOS KVB/PLR"}}) {
        {
            const converter::TablesLocked locks({1});
            converter::delete_rows(1, kCpf);
        }
        row(1, {{"I4_05D", Value(c.before)}});
        statement({{"OUTROSEXC", Value(c.added)}, {"VALOUTRE", Value(10.0)}});
        const converter::TablesLocked locks({1, 2, 6});
        converter::GRAVA_VALOR("A");
        EXPECT_EQ(rt::RTRIM(text(1, rows(1, kCpf).at(0), "I4_05D")), c.after) << c.before << "+" << c.added;
    }
}

TEST_F(PayrollPosting, StatementWithAWrongCpfIsNeitherRegisteredNorPosted) {
    auto& s = tables::ws().current(converter::kPayroll);
    tables::ws().select(converter::kPayroll);
    ASSERT_TRUE(tables::ADD_REC(2));
    s.put("CPF", Value("12345678900"));
    s.put("NOMECONTR", Value("ERRADO"));
    s.put("RENDIMENT", Value(10.0));
    s.commit();
    s.unlock();
    // "Acrescente"; should the CPF be asked about, "Todos".
    keys({rt::key::ENTER, rt::key::RIGHT, rt::key::RIGHT, rt::key::ENTER, rt::key::ENTER});
    converter::TRANSFERE();
    EXPECT_TRUE(term->showed("CPF incorreto"));
    EXPECT_FALSE(term->showed("não está cadastrado"));
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_TRUE(rows(9, "12345678900").empty());
    EXPECT_TRUE(rows(2, "12345678900").empty());
    ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    auto& left = tables::ws().current(converter::kPayroll);
    left.set_order(1);
    EXPECT_TRUE(left.seek(Value("12345678900")));
}

// The tables of both folders held by another terminal: the taxpayer here
// and the one of the other folder keep their statements, neither is made
// a taxpayer of this folder, and the clerk is told.
TEST_F(PayrollPosting, StatementsWhoseTablesAreHeldElsewhereStayAndAreSaid) {
    const std::string here = tables::client_folder(), other = folder_with("44444444444");
    ASSERT_TRUE(converter::CRIA_BASE());
    row(9, {{"NOMECONTR", Value("ANA")}});
    statements_of({"33333333333", "44444444444"});
    const auto income = [](const std::string& folder) { return folder + tb::find_in_folder(folder, "IMP0212.DBF"); };
    const auto hold = [](tb::Table& t) { return t.flock(); };
    // The other terminal is a process of its own: it starts with no table
    // of this one open.
    tables::ws().close_all();
    OtherTerminal here_held(income(here), hold), other_held(income(other), hold);
    tables::set_lock_pause([] {});
    // "Acrescente"; should a CPF be asked about, "Inclui"; then the report.
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    converter::TRANSFERE();
    EXPECT_TRUE(term->showed("333.333.333-33: tabelas em uso por outro usuário"));
    EXPECT_TRUE(term->showed("444.444.444-44: tabelas em uso por outro usuário"));
    EXPECT_FALSE(term->showed("não está cadastrado"));
    here_held.release();
    other_held.release();
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_TRUE(rows(9, "44444444444").empty());
    EXPECT_TRUE(rows(2, kCpf).empty());
    ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    auto& left = tables::ws().current(converter::kPayroll);
    int statements = 0;
    for (left.go_top(); !left.eof(); left.skip(1)) statements += !left.deleted();
    EXPECT_EQ(statements, 2);
}

// A taxpayer whose declaration another terminal has open, in this folder
// or in the folder it is registered in, keeps its statement and its rows,
// and the closing report names it with the terminal; a free taxpayer is
// posted as before.
TEST_F(PayrollPosting, TaxpayersOpenOnAnotherTerminalKeepTheirStatementsAndAreNamed) {
    const std::string here = tables::client_folder(), other = folder_with("55555555555");
    ASSERT_TRUE(converter::CRIA_BASE());
    row(9, {{"NOMECONTR", Value("ANA")}});
    row(2, {{"I1_1", Value("J")}, {"I1_3", Value("22.222.222/0001-91")}, {"I1_4", Value(500.0)}});
    {
        const converter::TablesLocked locks({9});
        converter::new_row(9, "44444444444").commit();
    }
    statements_of({"33333333333", "44444444444", "55555555555"});
    TaxpayerHolder held_here(here, kCpf, "05"), held_there(other, "55555555555", "06");
    // "Acrescente"; should a CPF be asked about, "Inclui"; then the report.
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    converter::TRANSFERE();
    EXPECT_TRUE(term->showed("Contribuinte 333.333.333-33 em uso no terminal 05.")) << term->all_snapshots();
    EXPECT_TRUE(term->showed("Contribuinte 555.555.555-55 em uso no terminal 06."));
    EXPECT_FALSE(term->showed("não está cadastrado"));
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_EQ(income_rows(), std::vector<std::string>{"J 22.222.222/0001-91 500.00"});
    const auto posted = rows(2, "44444444444");
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_DOUBLE_EQ(amount(2, posted[0], "I1_4"), 75);
    EXPECT_TRUE(rows(9, "55555555555").empty());
    ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    auto& left = tables::ws().current(converter::kPayroll);
    std::vector<std::string> kept;
    for (left.go_top(); !left.eof(); left.skip(1))
        if (!left.deleted()) kept.push_back(rt::RTRIM(left.get("CPF").as_string()));
    EXPECT_EQ(kept, (std::vector<std::string>{"33333333333", "55555555555"}));
    tables::ws().close_all();
    tables::set_client_folder(other);
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_TRUE(rows(2, "55555555555").empty());
    tables::ws().close_all();
    tables::set_client_folder(here);
}

TEST_F(PayrollPosting, ADeclarationProtectedAgainstChangeKeepsItsStatement) {
    rt::variables().set("STATRAVA", Value(9));
    ASSERT_TRUE(converter::CRIA_BASE());
    row(9, {{"NOMECONTR", Value("ANA")}, {"ESTATUS", Value(9)}});
    statements_of({"33333333333"});
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    converter::TRANSFERE();
    EXPECT_TRUE(term->showed("333.333.333-33: Declaração com Status de proteção")) << term->all_snapshots();
    ASSERT_TRUE(converter::CRIA_BASE());
    EXPECT_TRUE(rows(2, kCpf).empty());
}

TEST_F(PayrollPosting, TheEndOfATransferIsSaidUnlessItWasAbandoned) {
    struct Case {
        int answer;   // to the question about the CPF not registered
        bool said;
    };
    for (const Case& c : {Case{rt::key::ESC, false}, Case{rt::key::ENTER, true}}) {
        statement({{"CNPJFONTE", Value("22.222.222/0001-91")}, {"RENDIMENT", Value(10.0)}});
        common::MENS();
        term->snapshots.clear();
        keys({rt::key::ENTER, c.answer});
        converter::TRANSFERE();
        // Said while the program waits a moment; after "Abandona" not even
        // left on the screen.
        EXPECT_EQ(term->showed("Dados Transferidos"), c.said);
        if (!c.said) {
            EXPECT_EQ(term->dump().find("Dados Transferidos"), std::string::npos);
        }
        ASSERT_TRUE(converter::CRIA_BASE());
        ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    }
}

}  // namespace
}  // namespace qv::test_support
