#include "system/transfer/transfer_fixture.hpp"

#include <array>
#include <regex>

#include "runtime/core/cp850.hpp"
#include "system/transfer/structure_check.hpp"

namespace qv::transfer::testing {
namespace {

using rt::operator""_cp;

using DeclarationFileTest = TransferTest;

TEST_F(DeclarationFileTest, SimpleDeclarationIsWrittenByteForByte) {
    simple_declaration();
    const std::string doc = document();
    EXPECT_EQ(doc, golden("simple.xml"));
    EXPECT_TRUE(well_formed(doc));
    EXPECT_EQ(structure_problems(doc, false), std::vector<std::string>{});
    EXPECT_NE(doc.back(), '\n');
}

TEST_F(DeclarationFileTest, SectionsStandInTheirFixedOrder) {
    simple_declaration();
    std::vector<std::string> sections;
    for (const Tag& t : start_tags(document()))
        if (t.depth == 1) sections.push_back(t.name);
    // 22-25 are written by the writers registered for them, when there are.
    const std::vector<std::string> expected = {
        "contribuinte", "conjuge", "rendPJ", "rendPJComExigibilidade", "rendPFTitular", "rendPFDependente", "rendAcm",
        "rendIsentos", "rendTributacaoExclusiva", "impostoPago", "dependentes", "alimentandos", "herdeiros",
        "pagamentos", "bens", "dividas", "espolio", "resumo", "comparativo", "doacoes", "saida", "copiaIdentificador"};
    EXPECT_EQ(sections, expected);
}

TEST_F(DeclarationFileTest, RegisteredSectionWritersRunInTheirPlace) {
    simple_declaration();
    register_section_writer("atividadeRural", [](Generation& g) {
        g.out.open("atividadeRural");
        g.out.close_empty();
    });
    const std::string doc = document();
    register_section_writer("atividadeRural", nullptr);
    EXPECT_NE(doc.find("nomeProcurador=\"\"/><atividadeRural/><copiaIdentificador"), std::string::npos);
}

TEST_F(DeclarationFileTest, TaxpayerAbroadFillsTheAddressAbroad) {
    simple_declaration();
    set_all({{"UF", "EX"}, {"CODPAIS", "249"}, {"CODEMB", "12"}});
    const std::vector<Tag> tags = start_tags(document());
    const Tag& c = tags[1];
    ASSERT_EQ(c.name, "contribuinte");
    EXPECT_EQ(c.value("exterior"), "1");
    EXPECT_EQ(c.value("uf"), "DF");
    EXPECT_EQ(c.value("pais"), "249");
    EXPECT_EQ(c.value("bairroExt"), "Centro");
    EXPECT_EQ(c.value("logradouroExt"), "das Flores");
    EXPECT_EQ(c.value("codigoExterior"), "12");
}

TEST_F(DeclarationFileTest, DirtyTextsStillGiveAWellFormedFile) {
    simple_declaration();
    set_all({{"NOMECONTR", "Ação & Cia <SA> \"å\x01\""_cp}, {"TELEFO", "3333<44&"}, {"NUMERO", "Muñoz"_cp}});
    add_row(22, {{"I1_1", "D"}, {"I1_2", "Fonte \x7f"}, {"I1_3", "1<2"}, {"I1_4", 1.0}});
    const std::string doc = document();
    EXPECT_TRUE(well_formed(doc));
    for (unsigned char c : doc.substr(doc.find('\n') + 1)) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << int(c);
    const std::vector<Tag> tags = start_tags(doc);
    EXPECT_EQ(tags.back().value("nome"), "Acao e Cia -SA-  a");
    EXPECT_EQ(tags[1].value("numero"), "Mu oz");
    EXPECT_EQ(tags[1].value("telefone"), "3333-44e");
}

TEST_F(DeclarationFileTest, HalfIdentifiedSourcesAreAskedAbout) {
    simple_declaration();
    add_row(22, {{"I1_1", "J"}, {"I1_2", "Sem CNPJ"}, {"I1_4", 700.0}});
    add_row(22, {{"I1_1", "J"}, {"I1_3", "99888777000166"}, {"I1_4", 300.0}});
    add_row(22, {{"I1_1", "J"}, {"I1_4", 5.0}});
    keys({rt::key::ESC, rt::key::ENTER});   // "Nao" to the first, "Sim" to the second
    const std::vector<Tag> tags = start_tags(document());
    std::vector<std::string> sources;
    std::string total;
    for (const Tag& t : tags) {
        if (t.name == "colecaoRendPJTitular") total = t.value("totaisRendRecebidoPJ");
        if (t.name == "item" && t.value("rendRecebidoPJ") != "<missing>") sources.push_back(t.value("NIFontePagadora"));
    }
    EXPECT_EQ(sources, (std::vector<std::string>{"11222333000181", "99888777000166"}));
    EXPECT_EQ(total, "51.005,00");
    EXPECT_TRUE(term->showed("sem o CNPJ preenchido"));
    EXPECT_TRUE(term->showed("sem o Nome preenchido"));
}

// The comparison's simplified pair is that model's own refund and balance:
// on an income of 100.000,00 the discount is its cap of 13.916,36, the base
// 86.083,64 and the tax 86.083,64 x 27,5 % - 8.687,45 = 14.985,55 (with the
// tax on cumulative income added); everything paid but the tax paid abroad
// goes against it.
TEST_F(DeclarationFileTest, ComparisonTakesEachSimplifiedFigureFromItsOwnLine) {
    struct Case {
        const char* what;
        double complementary, withheld, cumulative_tax, abroad;
        const char* refund;
        const char* balance;
    };
    const Case cases[] = {
        {"complementary tax above the tax", 45000.0, 0, 0, 0, "30.014,45", "0,00"},
        {"withheld below the tax", 0, 10000.0, 0, 0, "0,00", "4.985,55"},
        {"cumulative income's tax added", 0, 10000.0, 100.0, 0, "0,00", "5.085,55"},
        {"tax abroad left out", 0, 10000.0, 0, 2000.0, "0,00", "4.985,55"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        simple_declaration();
        set_all({{"I13_08", 100000.0}, {"I13_31", c.complementary}, {"I13_27", c.withheld}, {"I13_29", 0.0},
                 {"I13_25", c.cumulative_tax}, {"I13_32", c.abroad}});
        std::string refund, balance;
        for (const Tag& t : start_tags(document()))
            if (t.name == "comparativo") {
                refund = t.value("impRestituirSimplificada");
                balance = t.value("saldoPagarSimplificada");
            }
        EXPECT_EQ(refund, c.refund);
        EXPECT_EQ(balance, c.balance);
    }
}

TEST_F(DeclarationFileTest, IdentifierSetFollowsResultRectificationAndDeparture) {
    simple_declaration();
    set_all({{"I13_38", 0.0}, {"I13_36", 0.0}, {"RETIFICA", "S"}, {"NOVOEND", "S"}, {"DECSAIDA", "S"},
             {"USAPADRAO", "S"}, {"NRORECIBO", "1234567890"}});
    XmlWriter item;
    Generation g(item, rt::DATE(), "10/04/2012 14:30:00");
    prepare_generation(g);
    item.open("item");
    IDENTIF(item, g);
    EXPECT_EQ(item.take(),
              "<item cpf=\"123.456.789-09\" dataUltimoAcesso=\"10/04/2012 14:30:00\" declaracaoRetificadora=\"1\" "
              "enderecoDiferente=\"1\" exercicio=\"2012\" nome=\"Jose da Silva\" numReciboDecRetif=\"1234567890\" "
              "numeroReciboDecAnterior=\"\" resultadoDeclaracao=\"SSI\" tipoDeclaracao=\"1\" tipoDeclaracaoAES=\"S\" "
              "transmitida=\"0\"/>");
}

TEST_F(DeclarationFileTest, TheFileIsTheDocumentAndAMissingFolderFailsCleanly) {
    simple_declaration();
    set_all({{"LOCTRAB", folder()}, {"NUSU", "07"}});
    const std::string path = work_file_name();
    EXPECT_EQ(path, folder() + "/Decla07.XML");
    ASSERT_TRUE(write_declaration_file(path, rt::Date::from_ymd(2012, 4, 10), "14:30:00"));
    std::ifstream in(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, golden("simple.xml"));
    EXPECT_FALSE(write_declaration_file(folder() + "/none/Decla07.XML", rt::DATE(), "14:30:00"));
}

}  // namespace
}  // namespace qv::transfer::testing
