// Declarations imported from the tax program's files, never opened, sent by
// the walk of "Todos os CPFs da pasta atual" or printed: every figure
// computed as if the declaration had been opened, each payment with its own
// person.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/avisosn.hpp"
#include "converter/destination_tables.hpp"
#include "converter/file_conversion.hpp"
#include "converter/last_year_import.hpp"
#include "declaration/loop/declara_variables.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "printing/print_run.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "shell/routine_registry.hpp"
#include "shell/startup_steps.hpp"
#include "system/converter/declaration_writer.hpp"
#include "system/transfer/transfer_fixture.hpp"
#include "tables/opening.hpp"

namespace qv::transfer {
namespace {

namespace fs = std::filesystem;
using rt::operator""_cp;
using test_support::Record;

class ImportedDeclaration : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        // The converter's own age check of a dependant, as the converter has it.
        rt::register_function("VE_IDADE", [](std::span<const rt::Value>) { return rt::Value(converter::VE_IDADE()); });
        source = root + "/source/";
        work = root + "/work/";
        irpf = root + "/irpf/";
        for (const auto& d : {source, work, irpf}) fs::create_directories(d);
        // The main program's variables as its start-up makes them, then
        // this terminal's folders.
        const std::vector<std::string> folders{prog, client};
        shell::startup::create_program_variables();
        auto& v = rt::variables();
        v.set("ARQDEF", rt::Value(folders[0]));
        v.set("LOCARQ", rt::Value(folders[1]));
        v.set("NUSU", rt::Value("00"));
        v.set("MOS_MENS", rt::Value(false));
        v.set("REFAZ_IND", rt::Value(false));
        v.set("APELIDO", rt::Value(""));
        v.set("LOCTRAB", rt::Value(work));
        v.set("LOCIRPF", rt::Value(irpf));
        v.set("NUSU", rt::Value("00"));
        v.set("LRECUPERA", rt::Value(false));
        v.set("OPTTRAN", rt::Value(0));
        v.set("ENV_STAT", rt::Value(2));
        tables::ws().set_deleted(true);
        shell::register_system_routines();
        rt::set_clock(rt::Date::from_ymd(2012, 4, 10), 14 * 3600 + 30 * 60);
    }
    void TearDown() override {
        rt::reset_clock();
        FoldersTest::TearDown();
    }

    // The file converted into the client folder, as the converter writes it.
    void import(const std::string& cpf, std::vector<Record> records) {
        records.insert(records.begin(), test_support::identification(cpf, "CONTRIBUINTE " + cpf).at(228, "SP")
                                            .at(360, "15031970").at(387, "S"));
        records.insert(records.begin(), test_support::header(2012, "IRPF    ", ""));
        const std::string path = source + cpf + ".DEC";
        test_support::write_file(path, test_support::declaration_text(records));
        ASSERT_TRUE(converter::CRIA_BASE());
        std::vector<std::string> report;
        ASSERT_TRUE(converter::FAZCONV(converter::kFullImport, path, report)) << ::testing::PrintToString(report);
        tables::ws().close_all();
    }
    static void choose(const std::string& cpf) {
        rt::variables().set("CPF", rt::Value(cpf));
        ASSERT_TRUE(tables::ABERTURA(9));
        tables::ws().current(9).seek(rt::Value(cpf));
        rt::variables().set("NOMECONTR", tables::ws().current(9).get("NOMECONTR"));
    }
    // One taxpayer of the walk "Todos os CPFs da pasta atual": the file it
    // placed in the tax program's folder.
    std::string send(const std::string& cpf) {
        rt::variables().set("OPCAO_1", rt::Value(65));
        choose(cpf);
        rt::call_function("DECLARA", std::vector<rt::Value>{});
        tables::FECHA_PROV();
        tables::ws().close_all();
        std::ifstream in(irpf + cpf + "/" + cpf + ".XML", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The declaration opened for editing and saved at once.
    void open_and_save(const std::string& cpf) {
        rt::variables().set("OPCAO_1", rt::Value(11));
        choose(cpf);
        rt::DeclarationScope scope;
        declaration::create_declaration_variables();
        declaration::set_tax_constants();
        ASSERT_TRUE(declaration::INIC_VAR(1, 1));
        ASSERT_TRUE(declaration::SALVATUDO(1));
        tables::ws().close_all();
    }
    // The whole declaration printed from the print item of the declaration
    // menu (pages 1 to 6 and each gain's statement) into a file: the one
    // taxpayer `cpf`, or every taxpayer of the folder when `cpf` is empty.
    std::string print(const std::string& cpf) {
        auto& v = rt::variables();
        for (const auto& [name, value] : std::initializer_list<std::pair<const char*, rt::Value>>{
                 {"NOMEIMP", rt::Value("GENERICA")}, {"NROLPT", rt::Value(0)}, {"NROCOM", rt::Value(0)},
                 {"SAIDAPR", rt::Value("DECLARA")}, {"LOCIMPR", rt::Value("L")}, {"ARQ_IMP", rt::Value(" ")},
                 {"QUECON", rt::Value(cpf.empty() ? 3 : 1)}, {"QUEIMP", rt::Value(1)}, {"QUEPAG", rt::Value(1)},
                 {"QUEMOD", rt::Value(1)}, {"NRO_VIAS", rt::Value(1)}, {"TEM_LASER", rt::Value(0)},
                 {"STRING0", rt::Value("")}, {"OPCAO_1", rt::Value(51)}})
            v.set(name, value);
        {
            rt::DeclarationScope scope;
            declaration::create_declaration_variables();
            declaration::set_tax_constants();
            if (cpf.empty()) EXPECT_TRUE(tables::ABERTURA(9));
            else choose(cpf);
            printing::FAZIMP();
            rt::os::printer().close();
            printing::set_device(printing::Device::Screen);
        }
        tables::FECHA_PROV();
        tables::ws().close_all();
        std::ifstream in(work + "DECLARA.TXT", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The amount printed after a label on its line, from `from` on.
    static std::string beside(const std::string& out, std::string_view label, std::size_t from = 0) {
        const std::size_t at = out.find(label, from);
        if (at == std::string::npos) return "<no line " + std::string(label) + ">";
        const std::size_t first = out.find_first_not_of(' ', at + label.size());
        std::size_t last = first;
        while (last < out.size() && std::string_view("0123456789.,-").find(out[last]) != std::string_view::npos) ++last;
        return out.substr(first, last - first);
    }
    // The last amount on the line of a label, from `from` on.
    static std::string line_end(const std::string& out, std::string_view label, std::size_t from = 0) {
        const std::size_t at = out.find(label, from);
        if (at == std::string::npos) return "<no line " + std::string(label) + ">";
        std::size_t last = out.find_last_not_of(' ', out.find("\r\n", at) - 1) + 1;
        std::size_t first = last;
        while (first > at && std::string_view("0123456789.,").find(out[first - 1]) != std::string_view::npos) --first;
        return out.substr(first, last - first);
    }
    // The bytes of the client folder's tables (their rows and memos; an
    // index may be built again on opening).
    std::map<std::string, std::string> folder_tables() const {
        std::map<std::string, std::string> bytes;
        for (const auto& e : fs::directory_iterator(client)) {
            const std::string ext = rt::UPPER(e.path().extension().string());
            if (ext != ".DBF" && ext != ".FPT") continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            bytes[e.path().filename().string()] = s.str();
        }
        return bytes;
    }
    static std::vector<testing::Tag> tags_named(const std::string& doc, const std::string& name) {
        std::vector<testing::Tag> out;
        for (auto& t : testing::start_tags(doc))
            if (t.name == name) out.push_back(std::move(t));
        return out;
    }
    // The attribute of the nth element of that name that has it.
    static std::string value(const std::string& doc, const std::string& element, const std::string& attribute,
                             std::size_t nth = 0) {
        std::vector<testing::Tag> tags;
        for (auto& t : tags_named(doc, element))
            if (t.value(attribute) != "<missing>") tags.push_back(std::move(t));
        return nth < tags.size() ? tags[nth].value(attribute) : "<no " + element + ">";
    }
    // A field of the CPF's rows of a client table, in file order (numbers
    // with two decimals, texts without their trailing blanks).
    std::vector<std::string> column(int table, const std::string& cpf, const char* field) {
        std::vector<std::string> out;
        EXPECT_TRUE(tables::ABERTURA(table));
        auto& t = tables::ws().current(table);
        t.set_order(0);
        for (t.go_top(); !t.eof(); t.skip(1)) {
            if (t.get("CPF").as_string() != cpf) continue;
            const rt::Value v = t.get(field);
            out.push_back(v.is_number() ? rt::ALLTRIM(rt::STR(v.as_number(), 12, 2)) : rt::RTRIM(v.as_string()));
        }
        tables::ws().close(table);
        return out;
    }
    using Texts = std::vector<std::string>;

    std::string source, work, irpf;   // under the test's own folder
};

// One employer: 63.180,00 with 9.000,00 withheld; complete model, nothing
// to deduct. The table gives 63.180,00 x 27,5 % - 8.687,45 = 8.687,05.
Record employer() {
    return Record("21").at(14, "12345678000195").at(28, "EMPRESA").num(88, 100, 6318000).num(127, 139, 900000);
}

TEST_F(ImportedDeclaration, SentWithoutOpeningAsAfterOpeningAndSaving) {
    const std::string cpf = "11144477735";
    import(cpf, {employer()});
    const std::string unopened = send(cpf);
    EXPECT_EQ(value(unopened, "calculoImposto", "baseCalculo"), "63.180,00");
    EXPECT_EQ(value(unopened, "calculoImposto", "imposto"), "8.687,05");
    EXPECT_EQ(value(unopened, "calculoImposto", "impostoDevido"), "8.687,05");
    EXPECT_EQ(value(unopened, "calculoImposto", "totalImpostoPago"), "9.000,00");
    EXPECT_EQ(value(unopened, "calculoImposto", "impostoRestituir"), "312,95");
    EXPECT_EQ(value(unopened, "identificadorDec", "resultadoDeclaracao"), "IAR");

    open_and_save(cpf);
    EXPECT_EQ(send(cpf), unopened);
}

// A flat bought on 10/03/2000 for 300.000,00 and sold in cash on 20/05/2011
// for 500.000,00, beside the employer's income.
Record flat_sold() {
    return Record("63").at(14, "1").at(15, "01").at(76, "20052011").num(85, 97, 50000000).num(98, 110, 30000000)
        .at(230, "N").at(231, "N").at(233, "S");
}
Record flat() { return Record("60").at(14, "01").at(16, "APARTAMENTO").at(168, "10032000"); }

// Printed without being opened, the declaration shows what its pages and
// its file show, and once opened and saved it prints the same.
// The gain of 200.000,00 held 69 months to 30/11/2005 and 66 months from
// 01/12/2005: FR1 = 1 - 1/1,006^69 = 0,33818085, 67.636,17 of the gain;
// FR2 = 1 - 1/1,0035^66 = 0,20594035 of the 132.363,83 left, 27.259,05;
// 15 % of the 105.104,78 taxable is 15.765,71 (not 15 % of 200.000,00).
TEST_F(ImportedDeclaration, PrintedWithoutOpeningAsItsPagesShowIt) {
    const std::string cpf = "12345678909";
    import(cpf, {employer(), flat(), flat_sold()});
    const auto stored = folder_tables();
    const std::string unopened = print(cpf);
    // (the tables the import did not make are made empty on opening)
    auto after = folder_tables();
    for (const auto& [name, bytes] : stored) EXPECT_TRUE(bytes == after[name]) << name << " written by the print";

    const std::size_t summary = unopened.find("RESUMO");
    ASSERT_NE(summary, std::string::npos) << unopened;
    // The balance: the reductions are exempt, the rest taxed apart; the
    // flat's price came in, its cost went out.
    struct Figure {
        const char* label;
        const char* value;
    };
    for (const Figure& f : {Figure{"Rec.P.Juridica Titular", "63.180,00"}, {"Base de calculo", "63.180,00"},
                            {"Imposto devido ", "8.687,05"}, {"TOTAL IMPOSTO PAGO..", "9.000,00"},
                            {"IMPOSTO A RESTITUIR", "312,95"}, {"Rendimentos isentos", "94.895,22"},
                            {"Rend. trib. exclusiva", "105.104,78"}, {"Total das RECEITAS......", "563.180,00"},
                            {"Saldo  .......", "254.180,00"}})
        EXPECT_EQ(beside(unopened, f.label, summary), f.value) << f.label;
    EXPECT_EQ(line_end(unopened, "Total das RECEITAS......", summary), "309.000,00");
    EXPECT_EQ(unopened.find("PROBLEMAS DE CAIXA"), std::string::npos) << unopened;

    const std::size_t gain = unopened.find("APURACAO DO GANHO DE CAPITAL");
    ASSERT_NE(gain, std::string::npos) << unopened;
    for (const Figure& f : {Figure{"Ganho de capital - Resultado 1", "200.000,00"},
                            {"Fator de Reducao 1   (FR1)", "67.636,17"}, {"Ganho de capital - Resultado 3", "132.363,83"},
                            {"Fator de Reducao 2   (FR2)", "27.259,05"}, {"Ganho de capital - Resultado 4", "105.104,78"},
                            {"Imposto devido ", "15.765,71"}})
        EXPECT_EQ(line_end(unopened, f.label, gain), f.value) << f.label;
    EXPECT_EQ(beside(unopened, "Rendimento isento e nao-tributavel", gain), "94.895,22");
    EXPECT_EQ(unopened.find("30.000,00"), std::string::npos) << unopened;

    open_and_save(cpf);
    EXPECT_EQ(print(cpf), unopened);
}

// "Todos": the walk over the register prints every taxpayer, one after the
// other, each with its own figures.
TEST_F(ImportedDeclaration, EveryTaxpayerOfTheFolderPrintedWithoutOpening) {
    import("12345678909", {employer(), flat(), flat_sold()});
    import("11144477735", {employer()});
    const std::string out = print("");
    const std::size_t first = out.find("CONTRIBUINTE 11144477735");
    const std::size_t second = out.find("CONTRIBUINTE 12345678909");
    ASSERT_NE(first, std::string::npos) << out;
    ASSERT_NE(second, std::string::npos) << out;
    ASSERT_LT(first, second);
    EXPECT_EQ(beside(out, "IMPOSTO A RESTITUIR", first), "312,95");
    EXPECT_EQ(beside(out, "Rend. trib. exclusiva", first), "");
    EXPECT_EQ(beside(out, "IMPOSTO A RESTITUIR", second), "312,95");
    EXPECT_EQ(beside(out, "Rend. trib. exclusiva", second), "105.104,78");
    EXPECT_EQ(line_end(out, "Fator de Reducao 1   (FR1)", second), "67.636,17");
    EXPECT_EQ(line_end(out, "Imposto devido ", out.find("APURACAO DO GANHO DE CAPITAL", second)), "15.765,71");
}

// Each kind of content the tax program's files bring, in a declaration of
// its own: never opened, its file is the one it has once opened and saved.
TEST_F(ImportedDeclaration, EveryKindSentWithoutOpeningAsAfterOpeningAndSaving) {
    const Record farm = Record("50").at(14, "0").at(15, "12345678").at(23, "SITIO").num(138, 147, 1250)
                            .num(148, 152, 10000).at(153, "1").at(154, "01");
    const struct {
        const char* what;
        const char* cpf;
        std::vector<Record> records;
    } cases[] = {
        {"dependants and payments", "52998224725",
         {Record("25").num(14, 18, 1).at(19, "21").at(21, "ANA").at(81, "01012000").at(89, "11111111111"),
          Record("26").at(14, "01").num(16, 20, 1).at(21, "12345678000195").at(35, "ESCOLA").num(106, 118, 400000)
              .at(133, "D"),
          Record("26").at(14, "10").at(21, "98765432000198").at(35, "HOSPITAL").num(106, 118, 50000)
              .num(119, 131, 10000)}},
        {"assets and debts", "71428793860",
         {Record("27").at(14, "11").at(16, "0").at(17, "000").at(20, "CASA").num(532, 544, 20000000)
              .num(545, 557, 20000000),
          Record("28").at(14, "11").at(16, "EMPRESTIMO").num(528, 540, 500000).num(541, 553, 300000)}},
        {"rural activity", "39053344705",
         {farm, Record("51").at(14, "0").num(15, 16, 7).num(17, 29, 100000).num(30, 42, 200000),
          Record("53").at(14, "0").at(15, "1").num(16, 25, 1000).num(26, 35, 500).num(56, 65, 400),
          Record("55").at(14, "0").at(15, "FINANCIAMENTO").num(527, 539, 2000000).num(540, 552, 1500000)}},
        {"variable income", "98765432100",
         {Record("40").num(14, 15, 1).num(419, 431, 3000),
          Record("40").num(14, 15, 4).num(16, 28, 100000).num(185, 197, 15000).num(354, 366, 1000),
          Record("42").num(14, 15, 5).num(16, 28, 50000).num(84, 96, 500)}},
        {"capital gains", "12345678909",
         {Record("61").at(14, "01").at(16, "AUTOMOVEL").at(168, "10032008"),
          Record("60").at(14, "02").at(16, "APARTAMENTO").at(168, "10032000"),
          Record("63").at(14, "2").at(15, "01").at(76, "20052011").num(85, 97, 9000000).num(98, 110, 4000000)
              .at(230, "N").at(231, "N").at(233, "S"),
          Record("63").at(14, "1").at(15, "02").at(76, "20052011").num(85, 97, 50000000).num(98, 110, 30000000)
              .at(230, "N").at(231, "N").at(233, "S")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Record> records{employer()};
        records.insert(records.end(), c.records.begin(), c.records.end());
        import(c.cpf, records);
        const std::string unopened = send(c.cpf);
        ASSERT_FALSE(unopened.empty());
        open_and_save(c.cpf);
        EXPECT_EQ(send(c.cpf), unopened);
    }
    // The flat sold in cash is money in hand: the walk, which checks the
    // cash of what it sends, had nothing to ask.
    EXPECT_FALSE(term->showed("PROBLEMAS de CAIXA")) << term->all_snapshots();
}

// The file numbers the dependants 1 and 3 and the recipient 1: the school
// of dependant 3 and the alimony of recipient 1 each reach their person.
TEST_F(ImportedDeclaration, PaymentsReachTheirPersons) {
    const std::string cpf = "52998224725";
    import(cpf, {employer(),
                 Record("25").num(14, 18, 1).at(19, "21").at(21, "ANA").at(81, "01012000").at(89, "11111111111"),
                 Record("25").num(14, 18, 3).at(19, "21").at(21, "BETO").at(81, "01012003").at(89, "22222222222"),
                 Record("26").at(14, "01").num(16, 20, 3).at(21, "12345678000195").at(35, "ESCOLA")
                     .num(106, 118, 100000).at(133, "D"),
                 Record("26").at(14, "30").num(16, 20, 1).at(21, "33333333333").at(35, "CARLA")
                     .num(106, 118, 240000).at(133, "A"),
                 Record("35").at(14, "0").num(15, 19, 1).at(20, "CARLA").at(80, "01011990").at(88, "33333333333")});
    // The people numbered as the program numbers them; each payment names its person's number.
    EXPECT_EQ(column(3, cpf, "NRODEPEN"), (Texts{"1.00", "2.00", "3.00"}));
    EXPECT_EQ(column(6, cpf, "I6_6"), (Texts{"2.00", "3.00"}));

    const std::string doc = send(cpf);
    struct Expected {
        const char* code;
        const char* type;
        const char* name;
        const char* cpf_dependant;
        const char* cpf_recipient;
    };
    const Expected expected[] = {{"01", "D", "BETO", "222.222.222-22", ""}, {"30", "A", "CARLA", "", ""}};
    const auto items = tags_named(doc, "item");
    std::vector<testing::Tag> payments;
    for (const auto& t : items)
        if (t.value("valorPago") != "<missing>") payments.push_back(t);
    ASSERT_EQ(payments.size(), std::size(expected));
    for (std::size_t i = 0; i < payments.size(); ++i) {
        SCOPED_TRACE(expected[i].code);
        EXPECT_EQ(payments[i].value("codigo"), expected[i].code);
        EXPECT_EQ(payments[i].value("tipo"), expected[i].type);
        EXPECT_EQ(payments[i].value("dependenteOuAlimentando"), expected[i].name);
        EXPECT_EQ(payments[i].value("cpfDependente"), expected[i].cpf_dependant);
        EXPECT_EQ(payments[i].value("cpfAlimentando"), expected[i].cpf_recipient);
    }
}

// A day trade netting 150,00 in April, 30,00 of withholding carried in from
// earlier years; a movable sold for cash: 90.000,00 against a cost of
// 40.000,00, a gain of 50.000,00 and a tax of 15 %.
TEST_F(ImportedDeclaration, StatementsAndGainsCarryTheirComputedLines) {
    const std::string cpf = "39053344705";
    import(cpf, {employer(), Record("40").num(14, 15, 1).num(419, 431, 3000),
                 Record("40").num(14, 15, 4).num(185, 197, 15000),
                 Record("61").at(14, "01").at(16, "AUTOMOVEL").at(168, "10032008"),
                 Record("63").at(14, "2").at(15, "01").at(76, "20052011").num(85, 97, 9000000)
                     .num(98, 110, 4000000).at(230, "N").at(231, "N").at(233, "S")});
    const std::string doc = send(cpf);
    EXPECT_EQ(value(doc, "operacoesDayTrade", "resultadoLiquidoMes", 3), "150,00");
    EXPECT_EQ(value(doc, "operacoesDayTrade", "baseCalculoImposto", 3), "150,00");
    EXPECT_EQ(value(doc, "operacoesDayTrade", "impostoDevido", 3), "30,00");
    EXPECT_EQ(value(doc, "abril", "irFonteDayTradeMesesAnteriores"), "30,00");
    EXPECT_EQ(value(doc, "janeiro", "irFonteDayTradeMesesAnteriores"), "30,00");
    EXPECT_EQ(value(doc, "rendTributacaoExclusiva", "ganhosRendaVariavel"), "150,00");

    EXPECT_EQ(value(doc, "colCPGC", "totalGanhoCapital"), "50.000,00");
    EXPECT_EQ(value(doc, "colCPGC", "totalImpostoDevido"), "7.500,00");
    EXPECT_EQ(value(doc, "colCPGC", "totalValorRecebido"), "90.000,00");
    EXPECT_EQ(value(doc, "consolidacao", "impPagarRefExercicio"), "7.500,00");
    EXPECT_EQ(value(doc, "consolidacao", "impPagarTotal"), "7.500,00");
    EXPECT_EQ(value(doc, "consolidacao", "rendTribExclusivaTotal"), "50.000,00");
    EXPECT_EQ(value(doc, "rendTributacaoExclusiva", "ganhosCapital"), "50.000,00");
}

// A farm in Brazil: receipts of 8.000,00 and expenses of 500,00 in March.
Record farm(char where) {
    return Record("50").at(14, std::string(1, where)).at(15, "12345678").at(23, "SITIO BOA VISTA").at(83, "ESTRADA 1")
        .num(138, 147, 1250).num(148, 152, 10000).at(153, "1").at(154, "01");
}

TEST_F(ImportedDeclaration, RuralMonthsSurviveOpeningAndSavingAndGiveTheResult) {
    const std::string cpf = "71428793860";
    import(cpf, {employer(), farm('0'), Record("51").at(14, "0").num(15, 16, 3).num(17, 29, 50000).num(30, 42, 800000)});
    open_and_save(cpf);
    EXPECT_EQ(column(15, cpf, "I3_03OR"), Texts{"8000.00"});
    EXPECT_EQ(column(15, cpf, "I3_03OD"), Texts{"500.00"});
    // Opened, the declaration has the rural result its pages would give it.
    EXPECT_EQ(column(1, cpf, "I13_07"), Texts{"1600.00"});
    EXPECT_EQ(column(1, cpf, "I13_08"), Texts{"64780.00"});

    // 20 % of the receipts (1.600,00) is less than the result (7.500,00).
    const std::string doc = send(cpf);
    EXPECT_EQ(value(doc, "receitasDespesas", "totalReceita"), "8.000,00");
    EXPECT_EQ(value(doc, "apuracaoResultado", "resultadoI"), "7.500,00");
    EXPECT_EQ(value(doc, "apuracaoResultado", "opcaoArbitramento"), "1.600,00");
    EXPECT_EQ(value(doc, "apuracaoResultado", "resultadoTributavel"), "1.600,00");
    EXPECT_EQ(value(doc, "apuracaoResultado", "resultadoNaoTributavel"), "5.900,00");
    EXPECT_EQ(value(doc, "calculoImposto", "rendTributavelAR"), "1.600,00");
    EXPECT_EQ(value(doc, "calculoImposto", "totalResultadosTributaveis"), "64.780,00");
}

// The farm was abroad last time and is in Brazil now: the row taken again
// keeps nothing of the abroad one.
TEST_F(ImportedDeclaration, ReimportedFarmTakesEveryFieldFromTheNewRecord) {
    const std::string cpf = "71428793860";
    import(cpf, {farm('1'), Record("56").at(14, "586").num(17, 29, 1000000).num(30, 42, 100000)});
    EXPECT_EQ(column(16, cpf, "CODPAIS"), Texts{"586"});
    EXPECT_EQ(column(16, cpf, "RECEXT"), Texts{"10000.00"});
    import(cpf, {farm('0')});
    EXPECT_EQ(column(16, cpf, "ATV_BRASIL"), Texts{"S"});
    EXPECT_EQ(column(16, cpf, "CODPAIS"), Texts{""});
    EXPECT_EQ(column(16, cpf, "RECEXT"), Texts{"0.00"});
}

// A farm abroad with its receipts and no summary record in the file.
TEST_F(ImportedDeclaration, FarmAbroadWithoutSummaryRecordsIsSent) {
    const std::string cpf = "71428793860";
    import(cpf, {farm('1'), Record("56").at(14, "586").num(17, 29, 1200000).num(30, 42, 200000)});
    const std::string doc = send(cpf);
    const auto properties = tags_named(doc, "identificacaoImovel");
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(value(doc, "receitasDespesas", "totais"), "12.000,00");
    bool listed = false;
    for (const auto& t : tags_named(doc, "item")) listed = listed || t.value("receitaBruta") == "12.000,00";
    EXPECT_TRUE(listed) << doc;
}

// The converter's own exempt rows (no CNPJ, no income from legal persons)
// and a source without its CNPJ: a walk asks nothing and names the source.
TEST_F(ImportedDeclaration, WalkAsksNothingAndNamesWhatItSentAsItWas) {
    const std::string cpf = "11144477735";
    import(cpf, {employer(), Record("21").at(28, "SEM CNPJ").num(88, 100, 100000),
                 Record("23").num(92, 104, 500000).num(131, 143, 200000)});
    std::vector<std::string> notices;
    std::string doc;
    {
        common::NoticesKept kept(notices);
        kept.about("111.444.777-35");
        doc = send(cpf);
    }
    EXPECT_FALSE(term->showed("Há uma PJ")) << term->all_snapshots();
    ASSERT_EQ(notices.size(), 1u) << ::testing::PrintToString(notices);
    EXPECT_EQ(notices[0], "111.444.777-35: Há uma PJ do titular sem o CNPJ preenchido (SEM CNPJ), transferida assim mesmo"_cp);
    EXPECT_EQ(value(doc, "rendPJ", "totalRendRecebPessoaJuridica"), "64.180,00");
}

// A house bought in 2011 for 500.000,00 out of an income of 63.180,00: the
// walk asks about the cash; the clerk says no, and the walk names at its
// end the declaration it did not send.
TEST_F(ImportedDeclaration, WalkNamesTheDeclarationTheClerkKeptBack) {
    const std::string cpf = "11144477735";
    import(cpf, {employer(), Record("27").at(14, "11").at(16, "0").at(17, "000").at(20, "CASA")
                                 .num(532, 544, 0).num(545, 557, 50000000)});
    keys({'N'});
    std::vector<std::string> notices;
    {
        common::NoticesKept kept(notices);
        kept.about("111.444.777-35");
        EXPECT_EQ(send(cpf), "");
    }
    EXPECT_TRUE(term->showed("PROBLEMAS de CAIXA")) << term->all_snapshots();
    EXPECT_EQ(notices, Texts{"111.444.777-35: A declaração NÃO foi transferida para o programa da receita!"_cp});
}

}  // namespace
}  // namespace qv::transfer
