// Letters: the page-format header written only when it differs from the
// defaults, the merge fields from the register, search in the editor, and a
// letter printed for each marked taxpayer.
#include "office/letters_editor.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "office/letter_merge.hpp"
#include "printing/print_run.hpp"
#include "printing/printing_routines.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/table/table.hpp"
#include "tables/schemas.hpp"

namespace qv::office {
namespace {

using common::Global;
using rt::operator""_cp;
namespace tb = rt::table;
namespace key = rt::key;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class LettersTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        register_letter_routines();
        printing::register_printing_routines();
    }
    void TearDown() override {
        rt::os::printer().close();
        FoldersTest::TearDown();
    }
    // The register of the client folder in area 9 with one row per set of fields.
    tb::Table& register_with(const std::vector<std::map<std::string, rt::Value>>& rows) {
        const std::string path = client + "IMP0912.DBF";
        tb::create_table(path, *tables::schema_of(9), tb::MemoKind::None);
        tb::Table& t = tables::ws().use_in(9, path, {});
        for (const auto& row : rows) {
            EXPECT_TRUE(t.append_blank());
            for (const auto& [name, value] : row) t.put(name, value);
            t.commit();
        }
        t.go_top();
        return t;
    }
    void type(std::string_view text) {
        for (char c : text) term->feed(static_cast<unsigned char>(c));
    }
    test_support::TempFolder out_;
};

TEST_F(LettersTest, HeaderOnlyWhenTheFormatDiffersFromTheDefaults) {
    const struct {
        LetterFormat format;
        std::string file;
    } cases[] = {
        {LetterFormat{}, "Prezado cliente"},
        {kNewLetterFormat, "\xB2\xB3  0  0 8066 0 0\xB3\xB2Prezado cliente"},
        {{5, 7, 68, 60, 3, 2}, "\xB2\xB3  5  7 6860 3 2\xB3\xB2Prezado cliente"},
    };
    for (const auto& c : cases) {
        LetterDoc doc;
        doc.name = "carta.txt";
        doc.text = "Prezado cliente";
        doc.format = c.format;
        doc.modified = true;
        ASSERT_TRUE(EDITWRITE(doc));
        EXPECT_FALSE(doc.modified);
        EXPECT_EQ(slurp(client + "carta.txt"), c.file);
        // Reopened, the letter keeps its margins and its text.
        const LetterDoc back = ABRTXT("CARTA.TXT");
        EXPECT_EQ(back.format, c.format);
        EXPECT_EQ(back.text, "Prezado cliente");
    }
    // Nothing changed: nothing written.
    LetterDoc same = ABRTXT("carta");
    same.text = "outro";
    EXPECT_FALSE(EDITWRITE(same));
    EXPECT_TRUE(term->showed("O arquivo não foi modificado. Não será gravado."));
    EXPECT_EQ(ABRTXT("").name, "SemNome.txt");
    EXPECT_EQ(letter_file_name("../../ETC/AVISO"), "aviso.txt");
}

TEST_F(LettersTest, EveryMergeFieldTakesTheRegisterValue) {
    Global{"VAL_SEG"}.set(rt::Value(2.00));
    Global{"VAL_BYTE"}.set(rt::Value(0.10));
    Global{"VAL_MIN"}.set(rt::Value(50.00));
    tb::Table& reg = register_with({{
        {"CPF", rt::Value("11144477735")}, {"NOMECONTR", rt::Value("MARIA DA SILVA")}, {"TIPOEND", rt::Value("RUA")},
        {"ENDERECO", rt::Value("DAS FLORES")}, {"NUMERO", rt::Value("120")}, {"COMPLEM", rt::Value("APTO 31")},
        {"BAIRRO", rt::Value("CENTRO")}, {"CEP", rt::Value("13010001")}, {"MUNICIPIO", rt::Value("CAMPINAS")},
        {"UF", rt::Value("SP")}, {"NOVOEND", rt::Value("S")}, {"EMAIL", rt::Value("maria@exemplo.com.br")},
        {"TELEFO", rt::Value("32345678")}, {"DDDFAX", rt::Value("19")}, {"NROFAX", rt::Value("33334444")},
        {"TELCELU", rt::Value("99887766")}, {"TELSECR", rt::Value("11112222")}, {"TITULO", rt::Value("1234567890123")},
        {"NASCIMENTO", rt::Value(rt::Date::from_ymd(1970, 5, 15))}, {"TEM_USO", rt::Value(3900)},
        {"TAM_USO", rt::Value(250000)}, {"VALOREC", rt::Value(300)}, {"IMPPGRE", rt::Value(-100)},
        {"QTD_QUOTA", rt::Value(3)}, {"RECIBOATU", rt::Value("123456789012")}, {"RECIBOANT", rt::Value("210987654321")},
        {"CPFCONJU", rt::Value("22233344405")}, {"ESTATUS", rt::Value(7)}, {"BANCO", rt::Value("001")},
        {"AGENCIA", rt::Value("12345X")}, {"CONTACO", rt::Value("98765-4")}, {"SENACESSO", rt::Value("segredo")},
        {"CODACESSO", rt::Value(123456)}, {"NOMEAG", rt::Value("JOAO")},
    }});
    const std::pair<const char*, std::string> expected[] = {
        {"CPF", "111.444.777-35"}, {"Nome", "MARIA DA SILVA"}, {"TipoEnd", "RUA"}, {"Logradouro", "DAS FLORES"},
        {"Numero", "120"}, {"Complemento", "APTO 31"}, {"Bairro", "CENTRO"}, {"CEP", "13010-001"},
        {"Municipio", "CAMPINAS"}, {"Estado", "SP"}, {"MudouEnd", "S"}, {"Email", "maria@exemplo.com.br"},
        {"Telefone", "3234-5678"},          // no area code: the number alone
        {"FAX", "1933-3344"},               // the area code takes the first two places
        {"Celular", "9988-7766"}, {"TelSecr", "1111-2222"}, {"Titulo", "12345678901-23"},
        {"Nascimento", "15/05/1970"}, {"Tempo", "   1:05"}, {"Area", "250.000"},
        {"ValorTempo", "       130,00"},    // 65 minutes at 2,00
        {"ValorArea", "        25,00"},     // 250 thousand bytes at 0,10
        {"CustoDecl", "       155,00"}, {"ValorCobrar", "       300,00"},
        {"Imposto", "Devolucao         100,00"}, {"NroQuotas", "3"}, {"NroRecibo", "123456789012"},
        {"ReciboAnt", "210987654321"}, {"CpfConjuge", "222.333.444-05"}, {"Estatus", " 7"}, {"Banco", "001"},
        {"Agen/Conta", "Ag. 12345-X CC 98765-4"}, {"Senha", "segredo        "}, {"Operador", "JOAO"},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(merge_letter("[\xAE" + std::string(name) + "\xAF]", reg), "[" + value + "]") << name;
    EXPECT_EQ(rt::ALLTRIM(merge_letter("\xAE" "Codigo\xAF", reg)), "123456");
    EXPECT_EQ(merge_placeholders().size(), 35u);
    // A placeholder the table does not know stays as it is.
    EXPECT_EQ(merge_letter("Caro \xAE" "Apelido\xAF", reg), "Caro \xAE" "Apelido\xAF");

    const struct {
        double tax;
        std::string shown;
    } taxes[] = {{1234.5, "Imposto       1.234,50"}, {0, "Isento "}};
    for (const auto& t : taxes) {
        reg.put("IMPPGRE", rt::Value(t.tax));
        EXPECT_EQ(merge_letter("\xAE" "Imposto\xAF", reg), t.shown);
    }
}

TEST_F(LettersTest, SearchAndSearchAgainMoveTheCursorToTheNextMatch) {
    LetterDoc doc;
    doc.text = "Caro cliente,\r\nsua declaracao: cliente desde 2005";
    type("cliente");
    keys({key::ENTER});
    EXPECT_TRUE(search_letter(doc, false));
    EXPECT_EQ(doc.cursor, 5u);
    EXPECT_TRUE(search_letter(doc, true));
    EXPECT_EQ(doc.cursor, 30u);   // the line end counts as one character
    EXPECT_FALSE(search_letter(doc, true));
    EXPECT_EQ(doc.cursor, 30u);
    EXPECT_TRUE(term->showed("Texto não encontrado."));
    // The search matches letter case, and an empty answer cancels.
    type("CLIENTE");
    keys({key::ENTER});
    EXPECT_FALSE(search_letter(doc, false));
    LetterDoc fresh;
    EXPECT_FALSE(search_letter(fresh, true));
}

TEST_F(LettersTest, EditorSavesTheTypedLetterAndLeaves) {
    type("Prezado ");
    keys({key::alt_letter('E')});
    type("I");                      // Insere campos
    type("2");
    keys({key::ENTER});
    keys({key::alt_letter('A')});
    type("S");                      // Salvar
    keys({key::ENTER});             // "Gravação OK"
    keys({key::ESC});               // leave: asks
    type("S");
    EDITEXT("carta");
    EXPECT_EQ(slurp(client + "carta.txt"), "Prezado  \xAE" "Nome\xAF ");
    EXPECT_TRUE(term->showed("Gravação OK"));
}

TEST_F(LettersTest, ALetterIsPrintedForEachMarkedTaxpayer) {
    std::ofstream(prog + "AVISO.TXT", std::ios::binary)
        << FORMATA({4, 0, 60, 66, 2, 0}) << "Prezado(a) \xAE" "Nome\xAF,\r\nCPF \xAE" "CPF\xAF";
    tb::Table& reg = register_with({
        {{"CPF", rt::Value("11144477735")}, {"NOMECONTR", rt::Value("ANA")}, {"IMPRE", rt::Value("S")}},
        {{"CPF", rt::Value("22233344405")}, {"NOMECONTR", rt::Value("BRUNO")}, {"IMPRE", rt::Value(" ")}},
        {{"CPF", rt::Value("33322211100")}, {"NOMECONTR", rt::Value("CARLA")}, {"IMPRE", rt::Value("S")}},
    });
    Global{"NOMCART"}.set(rt::Value("AVISO.TXT   "));
    Global{"QUEIMP"}.set(rt::Value(8));
    Global{"QLIN"}.set(rt::Value(0));
    ASSERT_TRUE(rt::os::printer().open(out_.path() + "/cartas.txt"));
    for (reg.go_top(); !reg.eof(); reg.skip(1)) {
        if (rt::TRIM(reg.get("IMPRE").as_string()) != "S") continue;
        printing::FOLHA(8);
        rt::os::printer().eject();
        Global{"QLIN"}.set(rt::Value(0));
    }
    rt::os::printer().close();
    const std::string printed = slurp(out_.path() + "/cartas.txt");
    // Two top-margin lines, then the text four columns in.
    EXPECT_NE(printed.find("\r\n\r\n    Prezado(a) ANA,\r\n    CPF 111.444.777-35"), std::string::npos) << printed;
    EXPECT_NE(printed.find("    Prezado(a) CARLA,\r\n    CPF 333.222.111-00"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("BRUNO"), std::string::npos);
}

// A letter printed from the editor is a print of its own: it starts at the
// top of its page whatever an earlier print left behind.
TEST_F(LettersTest, TheEditorsPrintStartsAtTheTopOfThePage) {
    register_with({{{"CPF", rt::Value("11144477735")}, {"NOMECONTR", rt::Value("ANA")}}});
    std::ofstream(prog + "aviso.txt", std::ios::binary) << "Prezado(a) \xAE" "Nome\xAF,";
    for (const auto& [name, value] : std::vector<std::pair<const char*, rt::Value>>{
             {"NOMEIMP", rt::Value("TEXTO SIMPLES")}, {"NROLPT", rt::Value(0)}, {"NROCOM", rt::Value(0)},
             {"SAIDAPR", rt::Value("CARTA")}, {"LOCTRAB", rt::Value(out_.path() + "/")}, {"MOSTEL", rt::Value("N")},
             {"ARQ_IMP", rt::Value(" ")}, {"QLIN", rt::Value(6)}})
        Global{name}.set(value);
    keys({key::alt_letter('I')});
    type("M");                      // Mala
    keys({key::ESC});               // leave: asks
    type("S");
    EDITEXT("aviso");
    EXPECT_EQ(slurp(out_.path() + "/CARTA.TXT").substr(0, 15), "Prezado(a) ANA,") << slurp(out_.path() + "/CARTA.TXT");
}

TEST_F(LettersTest, PageFormatDialogRefusesATooNarrowPage) {
    LetterDoc doc;
    type("5");
    keys({key::ENTER});
    type("3");
    keys({key::ENTER});
    type("5");                      // narrower than both margins: kept for correction
    keys({key::ENTER});
    type("80");
    keys({key::ENTER});
    type("2");
    keys({key::ENTER});
    type("1");
    keys({key::ENTER});
    type("60");
    keys({key::ENTER});
    ASSERT_TRUE(FORMTXT(doc));
    EXPECT_EQ(doc.format, (LetterFormat{5, 3, 72, 60, 2, 1}));
    EXPECT_TRUE(doc.modified);
}

TEST_F(LettersTest, LetterListOfTheDataFolderAndGroupListOfTheProgramFolder) {
    for (const char* f : {"b.txt", "A.TXT", "nota.doc"}) std::ofstream(client + f) << "x";
    std::ofstream(prog + "clientes.grp") << "x";
    keys({key::DOWN, key::ENTER});
    EXPECT_EQ(ESCOL_CART(), "b.txt");
    keys({key::DOWN, key::DOWN, key::ENTER});   // the blank rows cannot be chosen
    EXPECT_EQ(ESCOL_CART(), "b.txt");
    keys({key::ENTER});
    EXPECT_EQ(ESCOL_CART(true), "clientes");
    keys({key::ESC});
    EXPECT_EQ(ESCOL_CART(), "");
}

// Letters are the data folder's: the bank's remittance files of the
// program folder are never offered; a letter the editor saved there earlier
// still is, and is saved into the data folder.
TEST_F(LettersTest, TheLetterListOffersLettersOnlyAndKeepsTheOldOnesWithinReach) {
    std::ofstream(client + "aviso.txt") << "Prezado";
    std::ofstream(client + "C261211B.txt") << "1";
    std::ofstream(prog + "C261211A.txt") << "01REMESSA01COBRANCA";
    std::ofstream(prog + "NAO-DOS.TXT") << "impressao";
    std::ofstream(prog + "antiga.txt") << FORMATA(kNewLetterFormat) << "Caro cliente";
    std::ofstream(prog + "mala.txt") << "Caro \xAE" "Nome\xAF";
    keys({key::DOWN, key::DOWN, key::DOWN, key::ENTER});
    EXPECT_EQ(ESCOL_CART(), "mala.txt") << "the third and last name offered";
    for (const char* name : {"│antiga.txt  │", "│aviso.txt   │", "│mala.txt    │"})
        EXPECT_TRUE(term->showed(name)) << name << term->all_snapshots();
    for (const char* name : {"C261211", "NAO-DOS"}) EXPECT_FALSE(term->showed(name)) << name;
    EXPECT_FALSE(common::letter_exists("C261211A"));
    EXPECT_TRUE(common::letter_exists("MALA"));
    LetterDoc old = ABRTXT("antiga");
    EXPECT_EQ(old.text, "Caro cliente");
    old.text += ",";
    old.modified = true;
    ASSERT_TRUE(EDITWRITE(old));
    EXPECT_EQ(slurp(client + "antiga.txt"), FORMATA(kNewLetterFormat) + "Caro cliente,");
    EXPECT_EQ(slurp(prog + "antiga.txt"), FORMATA(kNewLetterFormat) + "Caro cliente") << "the old one as it was";
}

// A work folder is often the data folder itself: the files the printing
// leaves there are not offered as letters, whatever their case; a letter
// whose name only looks like one of them still is.
TEST_F(LettersTest, TheFilesThePrintingLeavesAreNotLetters) {
    Global{"SAIDAPR"}.set(rt::Value("meuarq  "));
    struct Case {
        const char* file;
        bool letter;
    };
    const Case cases[] = {
        {"NAO-DOS.TXT", false},     {"relator.txt", false},     {"MEUARQ.TXT", false},
        {"52998224725.TXT", false}, {"FILA-a1B2c3.TXT", false}, {"aviso.txt", true},
        {"1234567890.txt", true},   {"meuarq2.txt", true},      {"FILA-1.txt", true},
    };
    for (const Case& c : cases) std::ofstream(client + c.file) << "x";
    const std::vector<std::string> names = common::letter_names();
    for (const Case& c : cases)
        EXPECT_EQ(std::find(names.begin(), names.end(), c.file) != names.end(), c.letter) << c.file;
}

TEST_F(LettersTest, TheLetterListStandsInsideItsFrameOverWhatWasThere) {
    for (const char* f : {"b.txt", "relatorio-final.txt"}) std::ofstream(client + f) << "x";
    for (int row = 5; row <= 19; ++row) rt::at_say(row, 20, std::string(40, 'X'));
    keys({key::DOWN, key::ENTER});
    // A name wider than the list is chosen whole.
    EXPECT_EQ(ESCOL_CART(), "relatorio-final.txt");
    EXPECT_TRUE(term->showed("X┌────────────┐X")) << term->all_snapshots();
    EXPECT_TRUE(term->showed("X│b.txt       │X"));
    EXPECT_TRUE(term->showed("X│relatorio-fi│X"));
    EXPECT_TRUE(term->showed("X│            │X")) << "the rows without a name are blank";
    EXPECT_TRUE(term->showed("X└────────────┘X"));
}

TEST_F(LettersTest, PagesHoldTheLinesBetweenTheMarginsAndTheMailBodyGetsTheText) {
    ASSERT_TRUE(rt::os::printer().open(out_.path() + "/pagina.txt"));
    Global{"QLIN"}.set(rt::Value(0));
    // 6 lines a page less one at the top and one at the bottom: 4 printed lines.
    IMPR_EDT(FORMATA({0, 0, 20, 6, 1, 1}) + "L1\r\nL2\r\nL3\r\nL4\r\nL5 e uma linha longa demais");
    rt::os::printer().close();
    EXPECT_EQ(slurp(out_.path() + "/pagina.txt"), "\r\nL1\r\nL2\r\nL3\r\nL4\f\r\nL5 e uma linha\r\nlonga demais");

    register_with({{{"NOMECONTR", rt::Value("ANA")}}});
    ASSERT_TRUE(rt::os::printer().open(out_.path() + "/cCorpo"));
    Global{"CCORPO"}.set(rt::Value("Pendencias\r\n"));
    IMPR_MAIL(FORMATA(kNewLetterFormat) + "Cara \xAE" "Nome\xAF");
    EXPECT_EQ(Global{"CCORPO"}.text(), "Pendencias\r\nCara ANA");
}

TEST_F(LettersTest, AFailedSaveKeepsTheLetterModified) {
    Global{"LOCARQ"}.set(rt::Value(root + "/nao_existe/"));
    LetterDoc doc;
    doc.name = "carta.txt";
    doc.text = "texto";
    doc.modified = true;
    EXPECT_FALSE(EDITWRITE(doc));
    EXPECT_TRUE(doc.modified);
    EXPECT_TRUE(term->showed("Erro na gravação"));
}

TEST_F(LettersTest, EditorHookTurnsMenuKeysIntoCommandsAndShowsWhereTheCursorIs) {
    const struct {
        int key;
        std::string command;
    } cases[] = {
        {key::F10, "Menu"},         {key::alt_letter('A'), "MenuA"}, {key::alt_letter('E'), "MenuE"},
        {key::alt_letter('I'), "MenuI"}, {key::alt_letter('H'), "MenuH"}, {key::ESC, "Sair"},
        {key::F2, "NONE"},
    };
    for (const auto& c : cases) {
        LetterDoc doc;
        rt::MemoEditor ed("um\r\ndois", 1, 0, 23, 79);
        EXPECT_EQ(UFUNC(rt::MemoEvent::Key, c.key, ed, doc),
                  c.command == "NONE" ? rt::MemoReply::Default : rt::MemoReply::Keep) << c.key;
        EXPECT_EQ(doc.command, c.command) << c.key;
        EXPECT_EQ(doc.last_key, c.key);
    }
    LetterDoc doc;
    doc.name = "carta.txt";
    rt::MemoEditor ed("um\r\ndois", 1, 0, 23, 79);
    for (int k : {key::DOWN, key::END, static_cast<int>('!')}) ed.apply_key(k);
    UFUNC(rt::MemoEvent::Idle, 0, ed, doc);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.cursor, 8u);
    EXPECT_NE(status_line().find("Arquivo: carta.txt"), std::string::npos) << status_line();
    EXPECT_NE(status_line().find("Linha:      2  Coluna:    6"), std::string::npos) << status_line();
    EXPECT_NE(status_line().find(" F10 Menu "), std::string::npos);
}

}  // namespace
}  // namespace qv::office
