// The rural, variable-income, capital-gains and foreign-currency sections
// of the declaration file, from work copies filled by hand.
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/variable_income.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "system/transfer/structure_check.hpp"
#include "system/transfer/transfer_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"
#include "transfer/declaration_hooks.hpp"
#include "transfer/section_writers.hpp"
#include "transfer/shared_file.hpp"
#include "transfer/xml_frame.hpp"
#include "transfer/xml_writer.hpp"

namespace qv::transfer {
namespace {

namespace tb = rt::table;
using Cell = std::pair<const char*, rt::Value>;
constexpr const char* kCpf = "11144477735";
using rt::operator""_cp;

class SectionsTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        std::filesystem::create_directories(root + "/work");
        set("LOCTRAB", root + "/work/");
        set("CPF", kCpf);
        set("NOMECONTR", "MARIA DA SILVA");
        set("TEMRURAL", "S");
        set("ATV_BRASIL", "S");
        set("DECSAIDA", "N");
        for (int table : {7, 8, 15, 16, 17, 18}) {
            tb::create_table(declaration::work_file(table) + ".dbf", *tables::schema_of(table), tb::MemoKind::None);
            ASSERT_TRUE(declaration::open_work_copy(table)) << table;
        }
    }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        FoldersTest::TearDown();
    }
    static void set(const char* name, rt::Value v) { declaration::set_value(name, std::move(v)); }
    static void add(int table, std::initializer_list<Cell> cells) {
        tb::Table& t = *tables::ws().table(declaration::work_area(table));
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value(kCpf));
        for (const auto& [f, v] : cells) t.put(f, v);
        t.commit();
    }
    template <typename F>
    static std::string written(F section) {
        XmlWriter w;
        section(w);
        return w.take();
    }
    std::unique_ptr<rt::DeclarationScope> scope_;
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(SectionsTest, WithoutRuralActivityBothEmptyFormsAreWritten) {
    set("TEMRURAL", "N");
    const std::string x = written(write_rural_activity);
    EXPECT_TRUE(x.starts_with(
        R"(<atividadeRural><brasil><identificacaoImovel tipoItens="serpro.ppgd.irpf.atividaderural.brasil.ImovelARBrasil"/>)"
        R"(<receitasDespesas totalDespesas="0,00" totalReceita="0,00"><janeiro despesaCusteioInvestimento="0,00" receitaBrutaMensal="0,00"/>)"))
        << x;
    EXPECT_TRUE(has(x, R"(</brasil><exterior><identificacaoImovel tipoItens="serpro.ppgd.irpf.atividaderural.ImovelAR"/>)"
                       R"(<receitasDespesas tipoItens="serpro.ppgd.irpf.atividaderural.exterior.ReceitaDespesa" totais="0,00"/>)"
                       R"(<apuracaoResultado opcaoArbitramento="0,00")"))
        << x;
    EXPECT_TRUE(x.ends_with(
        R"(<dividas tipoItens="serpro.ppgd.irpf.atividaderural.DividaAR"/></exterior></atividadeRural>)"))
        << x;
}

TEST_F(SectionsTest, RuralActivityInBrazilWritesItsRows) {
    add(15, {{"ATV_BRASIL", rt::Value("S")}, {"I7_1B", rt::Value(10.0)}, {"I7_2B", rt::Value(5.0)},
             {"I7_3B", rt::Value(2.0)}, {"I7_4B", rt::Value(1.0)}, {"I7_5B", rt::Value(4.0)},
             {"I3_03OR", rt::Value(1500.0)}, {"I4R_07", rt::Value(-300.0)}});
    add(16, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Sítio Boa Vista"_cp)}, {"I2R_02", rt::Value(12.5)},
             {"I2R_04", rt::Value(100.0)}, {"I2R_07", rt::Value(3.0)}});
    add(17, {{"ATV_BRASIL", rt::Value("S")}, {"CODIGO", rt::Value(0.0)}, {"I8R_1", rt::Value("Trator")},
             {"I8R_2", rt::Value(80000.0)}});
    const std::string x = written(write_rural_activity);
    EXPECT_TRUE(has(x, R"(<item nirf="" codigo="3" nome="Sitio Boa Vista" localizacao="" area="12,5" participacao="100,00" condicaoExploracao="0"/>)")) << x;
    EXPECT_TRUE(has(x, R"(<marco     despesaCusteioInvestimento="0,00" receitaBrutaMensal="1.500,00"/>)")) << x;
    EXPECT_TRUE(has(x, R"(<bovinos aquisicoesAno="5,00" consumo="1,00" estoqueFinal="12,00" estoqueInicial="10,00" nascidosAno="2,00" vendas="4,00"/>)")) << x;
    EXPECT_TRUE(has(x, R"(resultadoTributavel="0,00")")) << x;
    EXPECT_TRUE(has(x, R"(<item codigo="99" discriminacao="Trator" valor="80.000,00"/>)")) << x;
}

// A declaration standing on its activity abroad, none in Brazil.
TEST_F(SectionsTest, RuralActivityAbroadIsWrittenByteForByte) {
    set("ATV_BRASIL", "N");
    add(15, {{"ATV_BRASIL", rt::Value("N")}, {"I4R_02", rt::Value(1500.0)}, {"I4R_03", rt::Value(2520.0)},
             {"I4R_04", rt::Value(200.0)}, {"I4R_05", rt::Value(2320.0)}, {"I4R_07", rt::Value(464.0)},
             {"I7_1B", rt::Value(10.0)}, {"I7_2B", rt::Value(5.0)}, {"I7_3B", rt::Value(2.0)},
             {"I7_4B", rt::Value(1.0)}, {"I7_5B", rt::Value(4.0)}});
    add(16, {{"ATV_BRASIL", rt::Value("N")}, {"I2R_01", rt::Value("Estância São João"_cp)}, {"I2R_06", rt::Value("Rivera")},
             {"I2R_02", rt::Value(350.5)}, {"I2R_04", rt::Value(100.0)}, {"I2R_05", rt::Value(1.0)},
             {"CODPAIS", rt::Value("845")}, {"RECEXT", rt::Value(9000.0)}, {"DESEXT", rt::Value(2500.0)},
             {"RESUS", rt::Value(3100.0)}});
    add(16, {{"ATV_BRASIL", rt::Value("N")}, {"CODPAIS", rt::Value("249")}, {"RECEXT", rt::Value(100.0)},
             {"RESUS", rt::Value(55.0)}});
    add(17, {{"ATV_BRASIL", rt::Value("N")}, {"CODIGO", rt::Value(0.0)}, {"I8R_1", rt::Value("Trator")},
             {"I8R_3", rt::Value("845")}, {"I8R_2", rt::Value(80000.0)}});
    add(17, {{"ATV_BRASIL", rt::Value("N")}, {"CODIGO", rt::Value(12.0)}, {"I8R_1", rt::Value("Galpão"_cp)},
             {"I8R_3", rt::Value("249")}, {"I8R_2", rt::Value(1234.56)}});
    add(18, {{"ATV_BRASIL", rt::Value("N")}, {"I9R_1", rt::Value("Financiamento do trator")}, {"I9R_2", rt::Value(30000.0)},
             {"I9R_3", rt::Value(20000.0)}, {"I9R_4", rt::Value(10000.0)}});
    const std::string x = written(write_rural_activity);
    const std::vector<std::string> expected = testing::golden_fragments("rural_abroad.xml");
    ASSERT_EQ(expected.size(), 1u);
    EXPECT_EQ(x, expected[0]);
    EXPECT_EQ(testing::structure_problems(x), std::vector<std::string>{});
}

TEST_F(SectionsTest, ActivityAbroadIsReadFromTheSavedTablesWhenNotLoaded) {
    // Loaded only to be sent (one taxpayer from the transfer menu).
    rt::variables().set("OPCAO_1", rt::Value(64));
    add(15, {{"ATV_BRASIL", rt::Value("S")}});
    add(16, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Chacara")}});
    const int selected = tables::ws().selected();
    for (const auto& [table, field, value] :
         {std::tuple{15, "I4R_03", rt::Value(777.0)}, std::tuple{16, "RECEXT", rt::Value(900.0)}}) {
        ASSERT_TRUE(tables::ABERTURA(table));
        tb::Table& t = *tables::ws().table(table);
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value(kCpf));
        t.put("ATV_BRASIL", rt::Value("N"));
        t.put(field, value);
        t.commit();
        t.unlock();
        tables::ws().close(table);
    }
    tables::ws().select(selected);
    const std::string x = written(write_rural_activity);
    EXPECT_TRUE(has(x, R"(nome="Chacara")")) << x;
    EXPECT_TRUE(has(x, R"(totais="900,00")")) << x;
    EXPECT_TRUE(has(x, R"(resultadoI_EmReais="777,00")")) << x;
    EXPECT_EQ(tables::ws().table(15), nullptr);
}

// A declaration loaded only to be sent (menus 63-65) is closed right after:
// its other activity is read from the saved tables rather than switched to;
// the automatic transfer of a declaration being edited switches.
TEST_F(SectionsTest, OnlyADeclarationBeingEditedSwitchesItsActivity) {
    add(15, {{"ATV_BRASIL", rt::Value("S")}});
    add(16, {{"ATV_BRASIL", rt::Value("S")}, {"I2R_01", rt::Value("Chacara")}});
    ASSERT_TRUE(tables::ABERTURA(16));
    for (const char* cpf : {"00000000191", kCpf, "99999999999"}) {
        tb::Table& t = *tables::ws().table(16);
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value(cpf));
        t.put("ATV_BRASIL", rt::Value("N"));
        t.put("I2R_01", rt::Value(std::string("Campo ") + cpf));
        t.put("RECEXT", rt::Value(10.0));
        t.commit();
        t.unlock();
    }
    tables::ws().close(16);
    ASSERT_TRUE(tables::ABERTURA(15));
    tables::ws().table(15)->append_blank();
    tables::ws().table(15)->put("CPF", rt::Value(kCpf));
    tables::ws().table(15)->put("ATV_BRASIL", rt::Value("N"));
    tables::ws().table(15)->commit();
    tables::ws().close(15);
    const rt::FunctionEntry* real = rt::find_function("MUDA_ATV");
    const rt::Function kept = real ? real->fn : rt::Function{};
    int switches = 0;
    std::string asked;
    rt::register_function("MUDA_ATV", [&switches, &asked](std::span<const rt::Value> a) {
        ++switches;
        // The activity wanted comes first, the one on screen second.
        asked = a.size() == 2 ? a[0].as_string() + a[1].as_string() : "";
        return rt::Value(false);
    });
    for (const auto& [menu, expected] : {std::pair{65, 0}, std::pair{0, 1}}) {
        switches = 0;
        set("OPCAO_1", menu);
        set("ATV_BRASIL", "S");
        const std::string x = written(write_rural_activity);
        EXPECT_EQ(switches, expected) << menu;
        if (expected) {
            EXPECT_EQ(asked, "NS");
        }
        if (menu != 65) continue;
        EXPECT_TRUE(has(x, R"(<item nirf="" codigo="0" nome="Campo 11144477735")")) << x;
        EXPECT_FALSE(has(x, "Campo 000")) << x;
        EXPECT_FALSE(has(x, "Campo 999")) << x;
    }
    rt::register_function("MUDA_ATV", kept ? kept : [](std::span<const rt::Value>) { return rt::Value(false); });
}

TEST_F(SectionsTest, EmptyMonthOfTheStatementIsAllZeros) {
    add(7, {{"TIPO_BEM", rt::Value(4.0)}, {"DAY_TRADE", rt::Value("1")}, {"RVAR_NRO", rt::Value(27.0)},
            {"REC_MES02", rt::Value(345.67)}});
    add(7, {{"TIPO_BEM", rt::Value(4.0)}, {"DAY_TRADE", rt::Value("1")}, {"RVAR_NRO", rt::Value(40.0)},
            {"REC_MES02", rt::Value(1.0)}});
    add(7, {{"TIPO_BEM", rt::Value(4.0)}, {"DAY_TRADE", rt::Value("3")}, {"RVAR_NRO", rt::Value(2.0)},
            {"REC_MES01", rt::Value(-50.0)}});
    const std::string x = written(write_variable_income);
    EXPECT_TRUE(has(x, R"(<colecaoItemImpostoPagar tipoItens="serpro.ppgd.irpf.rendavariavel.ItemImpostoPagar" total="0,00"></colecaoItemImpostoPagar></janeiro  >)")) << x;
    EXPECT_TRUE(has(x, R"(total="345,67"><item cpf="111.444.777-35" tipo="T" valor="345,67"/></colecaoItemImpostoPagar></fevereiro>)")) << x;
    EXPECT_TRUE(has(x, R"(<jan aliquotaImposto="20%" baseCalcImposto="0,00" impostoDevido="0,00" impostoPago="0,00" prejuizoCompensar="0,00" resultLiquidoMes="0,00" resultNegativoAnterior="50,00"/>)")) << x;
    EXPECT_TRUE(x.ends_with("</fundInvest></rendaVariavel>"));
}

// Two stored rows of day-trade line 22: January's withholding carried in
// from earlier years, then the month values of the same line. Each month
// of the file has both; neither row overwrites the other.
TEST_F(SectionsTest, TwoDayTradeRowsOfOneLineAddUp) {
    add(7, {{"TIPO_BEM", rt::Value(4.0)}, {"DAY_TRADE", rt::Value("2")}, {"RVAR_NRO", rt::Value(22.0)},
            {"REC_MES01", rt::Value(30.0)}});
    add(7, {{"TIPO_BEM", rt::Value(4.0)}, {"DAY_TRADE", rt::Value("2")}, {"RVAR_NRO", rt::Value(22.0)},
            {"REC_MES01", rt::Value(0.0)}, {"REC_MES03", rt::Value(10.0)}});
    const std::string x = written(write_variable_income);
    for (const auto& [month, value] : {std::pair{"janeiro  ", "30,00"}, {"fevereiro", "0,00"}, {"marco    ", "10,00"}}) {
        const auto at = x.find(std::string("<") + month + " ");
        ASSERT_NE(at, std::string::npos) << month;
        const auto tag = x.substr(at, x.find('>', at) - at);
        EXPECT_TRUE(has(tag, std::string("irFonteDayTradeMesesAnteriores=\"") + value + "\"")) << tag;
    }
    // The statement's screen takes both rows too (January's line 22 is
    // typed; the later months carry what is left to compensate).
    declaration::PRENCHE_MAT("2");
    EXPECT_EQ(rt::ALLTRIM(rt::variables().get("MRENVAR").at(22).at(2).as_string()), "30,00");
}

TEST_F(SectionsTest, GainsWithoutRowsAreTheFixedEmptyForm) {
    EXPECT_EQ(written(write_capital_gains),
              R"(<ganhosDeCapital totalImpostoPagoSobreGanhosCapital="0,00" totalImpostoRetidoFonteSobreGanhosCapital="0,00">)"
              R"(<bensImoveis tipoItens="serpro.ppgd.irpf.ganhosdecapital.bensimoveis.ItemDadosBemImovel"/>)"
              R"(<bensMoveis tipoItens="serpro.ppgd.irpf.ganhosdecapital.bensmoveis.ItemDadosBemMovel"/>)"
              R"(<participacoesSocietarias tipoItens="serpro.ppgd.irpf.ganhosdecapital.psocietarias.ItemDadosPSocietarias"/>)"
              R"(<declarantes tipoItens="serpro.ppgd.irpf.ganhosdecapital.IdentificacaoDeclaranteGCAP"/></ganhosDeCapital>)");
    add(7, {{"TIPO_BEM", rt::Value(4.0)}, {"DAY_TRADE", rt::Value("1")}, {"RVAR_NRO", rt::Value(1.0)}});
    const std::string x = written(write_capital_gains);
    EXPECT_TRUE(has(x, R"(<bensImoveis tipoItens="serpro.ppgd.irpf.ganhosdecapital.bensimoveis.ItemDadosBemImovel"></bensImoveis>)")) << x;
    EXPECT_TRUE(has(x, R"(<declarantes tipoItens="serpro.ppgd.irpf.ganhosdecapital.IdentificacaoDeclaranteGCAP"><item cpf="11144477735" nome="MARIA DA SILVA")")) << x;
}

TEST_F(SectionsTest, RealEstateGainWritesItsFiguresAndFlags) {
    struct Case {
        double percent;
        const char* flag;
    };
    for (const Case c : {Case{100, "I"}, Case{0, "N"}, Case{40, "P"}}) {
        tables::ws().table(declaration::work_area(7))->zap();
        add(7, {{"TIPO_BEM", rt::Value(1.0)}, {"BEM_NRO", rt::Value(1.0)}, {"VAL_ALI", rt::Value(50000.0)},
                {"CUS_ATUAL", rt::Value(100000.0)}, {"NATUOPER", rt::Value("Permuta com torna")},
                {"VEN_PRAZO", rt::Value("N")}, {"VENDAANT", rt::Value("N")}, {"PERART31", rt::Value(c.percent)},
                {"DATA_ALI", rt::Value(rt::Date::from_ymd(2011, 6, 15))}});
        const std::string x = written(write_capital_gains);
        EXPECT_TRUE(has(x, std::string("indMP252=\"") + c.flag + "\"")) << x;
        EXPECT_TRUE(has(x, R"(custoPermuta="33.330,00")")) << x;
        EXPECT_TRUE(has(x, R"(resultado1="16.670,00")")) << x;
        EXPECT_TRUE(has(x, R"(dataRecebimentoUltimaParcela="28/06/2011")")) << x;
        EXPECT_FALSE(has(x, "/00/")) << x;
    }
}

// Parcels stored out of order: each gain still finds its own parcels, in
// parcel order, with the table left in its natural order (as a grid's
// sort can leave it) and with the work copy's index gone.
TEST_F(SectionsTest, ParcelsAreFoundInParcelOrderWhateverTheTableOrder) {
    for (const auto& [gain, sale, cost] : {std::tuple{1.0, 50000.0, 30000.0}, std::tuple{2.0, 15000.0, 12000.0}})
        add(7, {{"TIPO_BEM", rt::Value(1.0)}, {"BEM_NRO", rt::Value(gain)}, {"VAL_ALI", rt::Value(sale)},
                {"CUS_ATUAL", rt::Value(cost)}, {"PARCOMPRA", rt::Value("S")}, {"VEN_PRAZO", rt::Value("N")},
                {"VENDAANT", rt::Value("N")}});
    for (const auto& [gain, parcel, value, fr1] : {std::tuple{2.0, 1.0, 7000.0, 0.0}, std::tuple{1.0, 1.0, 20000.0, 200.0},
                                                   std::tuple{1.0, 0.0, 10000.0, 100.0}, std::tuple{2.0, 0.0, 5000.0, 50.0}})
        add(8, {{"BEM_NRO", rt::Value(gain)}, {"RVAR_NRO", rt::Value(parcel)}, {"VALOR_CUST", rt::Value(value)},
                {"RESUL_2", rt::Value(fr1)}});
    const std::string copy = declaration::work_file(8);
    for (const bool index_gone : {false, true}) {
        if (index_gone) {
            tables::ws().close(declaration::work_area(8));
            std::filesystem::remove(copy + ".cdx");
            tb::OpenOptions own;
            own.exclusive = true;
            own.structural_index = false;
            tables::ws().use_in(declaration::work_area(8), copy + ".dbf", own);
        } else {
            tables::ws().table(declaration::work_area(8))->set_order(0);
        }
        const std::string x = written(write_capital_gains);
        std::vector<std::string> parcels;
        for (std::size_t at = x.find("valorParcela=\""); at != std::string::npos; at = x.find("valorParcela=\"", at + 1))
            parcels.push_back(x.substr(at + 14, x.find('"', at + 14) - at - 14));
        EXPECT_EQ(parcels, (std::vector<std::string>{"10.000,00", "20.000,00", "5.000,00", "7.000,00"})) << x;
        EXPECT_TRUE(has(x, R"(resultado3="19.700,00")")) << x;
        EXPECT_TRUE(has(x, R"(resultado3="2.950,00")")) << x;
    }
    EXPECT_TRUE(std::filesystem::exists(copy + ".cdx"));
}

TEST_F(SectionsTest, ForeignCurrencyIsAlwaysEmpty) {
    const std::string x = written(write_foreign_currency);
    EXPECT_TRUE(x.starts_with(R"(<moedaEstrangeira totalImpostoPagoSobreGanhosCapital="0,00"><rendAuferidosReais tipoItens=")")) << x;
    EXPECT_TRUE(x.ends_with(R"(DadoConsolidadoGeral"/></moedaEstrangeira>)")) << x;
}

}  // namespace
}  // namespace qv::transfer

namespace qv::transfer {
namespace {

// The whole file of a declaration with rural activity abroad, gains and a
// stock-market line: well-formed, 7-bit, sections in their order.
TEST_F(SectionsTest, WholeFileWithActivityAbroadIsWellFormed) {
    set("ATV_BRASIL", "N");
    add(15, {{"ATV_BRASIL", rt::Value("N")}, {"I4R_02", rt::Value(1000.0)}, {"I4R_03", rt::Value(5200.0)}});
    add(16, {{"ATV_BRASIL", rt::Value("N")}, {"I2R_01", rt::Value("Fazenda & Cia <Ltda>")}, {"CODPAIS", rt::Value("249")},
             {"RECEXT", rt::Value(9000.0)}, {"DESEXT", rt::Value(2500.0)}, {"RESUS", rt::Value(3100.0)}});
    add(16, {{"ATV_BRASIL", rt::Value("N")}, {"CODPAIS", rt::Value("249")}, {"RECEXT", rt::Value(100.0)}});
    add(17, {{"ATV_BRASIL", rt::Value("N")}, {"CODIGO", rt::Value(12.0)}, {"I8R_1", rt::Value("Galpão"_cp)},
             {"I8R_3", rt::Value("249")}, {"I8R_2", rt::Value(1234.56)}});
    add(7, {{"TIPO_BEM", rt::Value(3.0)}, {"BEM_NRO", rt::Value(2.0)}, {"TIPOPART", rt::Value(1.0)},
            {"VAL_ALI", rt::Value(1000.0)}, {"CUS_ATUAL", rt::Value(400.0)}, {"VEN_PRAZO", rt::Value("S")},
            {"VENDAANT", rt::Value("N")}, {"DATA_ALI", rt::Value(rt::Date::from_ymd(2010, 5, 2))},
            {"REC_MES04", rt::Value(500.0)}, {"IMP_DEV04", rt::Value(30.0)}, {"IMP_LEI04", rt::Value(5.0)}});
    add(7, {{"TIPO_BEM", rt::Value(4.0)}, {"DAY_TRADE", rt::Value("2")}, {"RVAR_NRO", rt::Value(21.0)},
            {"REC_MES05", rt::Value(12.5)}});
    const std::string path = root + "/work/Decla01.XML";
    ASSERT_TRUE(write_declaration(path, Moment{rt::Date::from_ymd(2012, 4, 10), "09:15:00"}));
    const std::string text = read_whole_file(path).value_or("");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(std::system(("xmllint --noout " + path + " 2>/dev/null").c_str()), 0) << text;
    for (const char c : text) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << text;
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);   // one line break, after the XML declaration
    EXPECT_EQ(text.find('\n', text.find('\n') + 1), std::string::npos);
    // The root's children stand in the fixed order.
    std::size_t at = 0;
    for (const std::string_view section : section_order()) {
        const std::size_t found = text.find("<" + std::string(section) + (section == "rendPJComExigibilidade" ? ">" : ""), at);
        ASSERT_NE(found, std::string::npos) << section;
        at = found;
    }
    EXPECT_TRUE(has(text, R"(<exterior><identificacaoImovel tipoItens="serpro.ppgd.irpf.atividaderural.ImovelAR"><item nirf="" codigo="0" nome="Fazenda e Cia -Ltda-")")) << text;
    EXPECT_TRUE(has(text, R"(totais="9.000,00"><item descricaoPais=)")) << text;
    EXPECT_TRUE(has(text, R"(despesaCusteio="2.500,00" pais="249" receitaBruta="9.000,00" resultadoIMoedaOriginal="6.500,00" resultadoI_EmDolar="3.100,00"/>)")) << text;
    EXPECT_TRUE(has(text, R"(<apuracaoResultado opcaoArbitramento="0,00" prejuizoCompensar="0,00" prejuizoExercicioAnterior="0,00" receitaRecebidaContaVenda="0,00" resultadoAposCompensacaoPrejuizo="0,00" resultadoI_EmDolar="1.000,00" resultadoI_EmReais="5.200,00")")) << text;
    EXPECT_TRUE(has(text, R"(discriminacao="Galpao" pais="249" valor="1.234,56"/>)")) << text;
    EXPECT_TRUE(has(text, R"(irFonteDayTradeMesAtual="12,50")")) << text;
    // The participation sold before 2011: no share sales, receipt in April.
    EXPECT_TRUE(has(text, R"(<colGCapQuota tipoItens="serpro.ppgd.irpf.ganhosdecapital.ItemDadosGCapQuota"></colGCapQuota>)")) << text;
    EXPECT_TRUE(has(text, R"(dataRecebimentoUltimaParcela="28/04/2011")")) << text;
    EXPECT_TRUE(has(text, R"(<item codNatureza="3" ganhoCapital="0,00" impostoAposComp="25,00" impostoDevido="30,00" impostoPago="0,00" impostoRendaFonte="5,00" mesRecebimento="4")")) << text;
    EXPECT_TRUE(text.ends_with("/></classe>"));
    EXPECT_EQ(testing::structure_problems(text), std::vector<std::string>{});
}

}  // namespace
}  // namespace qv::transfer
