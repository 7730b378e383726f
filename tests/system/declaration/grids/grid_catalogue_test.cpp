// The catalogue's other lists over real work tables: each opens on its area
// with its headings and rows, stamps its new rows, keeps its key and
// computed columns from edits, and the savings grid turns the income page's
// described lines into rows once.
#include <gtest/gtest.h>

#include <functional>

#include "declaration/grids/grid_catalogue.hpp"
#include "grid_fixture.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
using rt::Value;
using Fields = rt::table::Structure;

struct Opening {
    int code;
    int area;
    Fields fields;
    std::vector<Row> rows;
    std::vector<std::pair<const char*, Value>> globals;
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
};

class GridCatalogue : public GridTest {};

TEST_F(GridCatalogue, EachGridOpensOnItsAreaWithItsHeadingsAndRows) {
    const Fields cash = {{"CPF", 'C', 11, 0}, {"ATV_BRASIL", 'C', 1, 0}, {"DT_LC", 'D', 8, 0},
                         {"DESCR", 'C', 40, 0}, {"VALOR", 'N', 14, 2},     {"NROIMO", 'N', 2, 0},
                         {"TEMITR", 'C', 1, 0}, {"TIPOCR", 'C', 1, 0}};
    const Fields income = {{"CPF", 'C', 11, 0}, {"I1_1", 'C', 1, 0},  {"I1_11", 'C', 1, 0}, {"I1_8", 'C', 11, 0},
                           {"I1_2", 'C', 40, 0}, {"I1_4", 'N', 12, 2}, {"I1_3", 'C', 18, 0}, {"DT_LC", 'D', 8, 0},
                           {"TIPOCR", 'C', 1, 0}};
    const Fields rural_assets = {{"CPF", 'C', 11, 0}, {"ATV_BRASIL", 'C', 1, 0}, {"ITEM", 'N', 3, 0},
                                 {"I8R_0", 'N', 4, 0}, {"I8R_1", 'C', 60, 0},    {"CODIGO", 'N', 2, 0},
                                 {"I8R_2", 'N', 14, 2}, {"I8R_3", 'C', 3, 0},    {"I8R_4", 'N', 1, 0}};
    const std::vector<Opening> cases = {
        {38, 39, cash, {{{"TIPOCR", "C"}, {"DESCR", "VENDA DE MILHO"}}, {{"TIPOCR", "D"}, {"DESCR", "RACAO"}}},
         {{"TIPOCR", Value("C")}}, {"da Receita", "Nro.Imov", "VENDA DE MILHO"}, {"RACAO", "ITR"}},
        {38, 39, cash, {{{"TIPOCR", "C"}, {"DESCR", "VENDA DE MILHO"}}, {{"TIPOCR", "D"}, {"DESCR", "RACAO"}}},
         {{"TIPOCR", Value("D")}}, {"da Despesa ou Custeio", "ITR", "RACAO"}, {"VENDA DE MILHO"}},
        {17, 22, income,
         {{{"I1_1", "F"}, {"I1_11", "S"}, {"I1_2", "JOAO ALUGUEL"}}, {{"I1_1", "L"}, {"I1_11", "S"}, {"I1_2", "MEDICO"}}},
         {{"POSHORMAT", Value(2)}, {"I1_11", Value("S")}}, {"Nome da fonte pagadora", "JOAO ALUGUEL"}, {"MEDICO"}},
        {24, 22, income, {{{"I1_1", "P"}, {"I1_11", "S"}, {"I1_4", 350}}},
         {{"POSHORMAT", Value(5)}, {"I1_11", Value("S")}}, {"Total INSS"}, {"Total Leao"}},
        {35, 37, rural_assets, {{{"ITEM", 1}, {"I8R_1", "TRATOR"}}}, {{"ATV_BRASIL", Value("S")}},
         {"Cd", "TRATOR", "Valor R$"}, {}},
    };
    for (const Opening& c : cases) {
        tables::ws().close_all();
        for (const auto& [name, v] : c.globals) common::Global{name}.set(v);
        table(c.area, c.fields, c.rows);
        // The screen is recorded once the grid has drawn its rows (Enter
        // would break an amount of grids 17 and 24 down by month).
        constexpr int kLook = 500;
        std::string seen;
        rt::SETKEY(kLook, [&] { seen = term->dump(); });
        keys({kLook, key::ESC});
        EDITA(c.code);
        rt::SETKEY(kLook, {});
        for (const std::string& text : c.shown) EXPECT_NE(seen.find(text), std::string::npos) << c.code << ": " << text;
        for (const std::string& text : c.hidden) EXPECT_EQ(seen.find(text), std::string::npos) << c.code << ": " << text;
    }
}

TEST_F(GridCatalogue, NewRowsCarryTheGridsMarks) {
    common::Global{"ATV_BRASIL"}.set(Value("S"));
    common::Global{"TIPOCR"}.set(Value("D"));
    rt::table::Table& cash = table(39, {{"CPF", 'C', 11, 0}, {"ATV_BRASIL", 'C', 1, 0}, {"DT_LC", 'D', 8, 0},
                                        {"DESCR", 'C', 40, 0}, {"VALOR", 'N', 14, 2}, {"NROIMO", 'N', 2, 0},
                                        {"TEMITR", 'C', 1, 0}, {"TIPOCR", 'C', 1, 0}},
                                   {});
    keys({key::RIGHT, 'A', 'D', 'U', 'B', 'O', key::ENTER, key::ESC});
    EDITA(38);
    ASSERT_EQ(cash.lastrec(), 1u);
    cash.go_to(1);
    EXPECT_EQ(rt::TRIM(cash.get("DESCR").as_string()), "ADUBO");
    EXPECT_EQ(cash.get("TIPOCR").as_string(), "D");
    EXPECT_EQ(cash.get("ATV_BRASIL").as_string(), "S");
    EXPECT_EQ(cash.get("CPF").as_string(), "12345678909");

    const rt::Date day = rt::CTOD("15/03/2012");
    common::Global{"DATCALEN"}.set(Value(day));
    common::Global{"NOMEAG"}.set(Value("ANA"));
    rt::table::Table& agenda = table(72, {{"DATAG", 'D', 8, 0}, {"HORAG", 'C', 4, 0}, {"NOMEAG", 'C', 10, 0},
                                          {"ANOTAG", 'C', 60, 0}, {"AVISAG", 'L', 1, 0}},
                                     {});
    tables::ws().select(72);
    keys({key::RIGHT, 'D', 'E', 'N', 'T', 'I', 'S', 'T', 'A', key::ENTER, key::ESC});
    EDITA(49);
    ASSERT_EQ(agenda.lastrec(), 1u);
    agenda.go_to(1);
    EXPECT_EQ(rt::TRIM(agenda.get("ANOTAG").as_string()), "DENTISTA");
    EXPECT_EQ(agenda.get("DATAG").as_date(), day);
    EXPECT_EQ(rt::TRIM(agenda.get("NOMEAG").as_string()), "ANA");
    EXPECT_TRUE(agenda.get("AVISAG").as_bool());
    EXPECT_NE(term->all_snapshots().find("Compromissos - ANA em 15/03/2012"), std::string::npos);
}

// A row made on a list of the declaration belongs to its taxpayer: every
// list of the declaration's work tables gives its new rows the CPF.
TEST_F(GridCatalogue, EveryDeclarationListGivesItsNewRowsTheTaxpayer) {
    for (const int kind : {1, 2, 3}) {
        common::Global{"TIPO_BEM"}.set(Value(kind));
        for (int code = 1; code <= 39; ++code) {
            if (code >= 28 && code < 34) continue;
            const std::optional<GridDescription> d = grid_description(code);
            if (!d || d->area < 21 || d->area > 40) continue;
            EXPECT_TRUE(d->stamp_cpf) << "grid " << code << " (asset kind " << kind << ")";
        }
    }
}

TEST_F(GridCatalogue, KeyAndComputedColumnsAreNeverEditedMarksAre) {
    rt::table::Table& reg = table(9, {{"CPF", 'C', 11, 0}, {"NOMECONTR", 'C', 40, 0}, {"ESTATUS", 'N', 2, 0},
                                      {"IMPRE", 'C', 1, 0}},
                                  {{{"CPF", "11144477735"}, {"NOMECONTR", "MARIA"}}});
    keys({key::HOME, '9', '9', key::ENTER, key::END, 's', key::ENTER, key::ESC});
    EDITA(53);
    reg.go_to(1);
    EXPECT_EQ(reg.get("CPF").as_string(), "11144477735");
    EXPECT_EQ(reg.get("IMPRE").as_string(), "S");
    common::Global{"OPCAO_1"}.set(Value(16));
    keys({key::END, key::ENTER, key::ESC, key::ESC});
    EDITA(51);
    EXPECT_TRUE(term->showed("Elim."));
    EXPECT_TRUE(term->showed("111.444.777-35"));

    common::Global{"ATV_BRASIL"}.set(Value("N"));
    Fields props = {{"CPF", 'C', 11, 0}, {"ATV_BRASIL", 'C', 1, 0}};
    for (const char* f : {"I2R_07", "I2R_04", "I2R_05", "I2R_02"}) props.push_back({f, 'N', 10, 2});
    for (const char* f : {"I2R_01", "I2R_06", "CODPAIS"}) props.push_back({f, 'C', 20, 0});
    for (const char* f : {"RECEXT", "DESEXT", "VALUSE", "RESUS", "OPC20US", "OPC20RS"}) props.push_back({f, 'N', 14, 2});
    rt::table::Table& farm = table(36, props, {{{"RESUS", 10}}});
    keys({key::CTRL_END, '5', key::ENTER, key::ENTER, key::ESC});
    EDITA(34);
    farm.go_to(1);
    EXPECT_EQ(farm.get("OPC20RS").as_number(), 0);
    EXPECT_NE(term->all_snapshots().find("Os valores aqui são calculados"), std::string::npos);
}

TEST_F(GridCatalogue, SavingsGridTurnsTheDescribedLinesIntoRowsOnce) {
    common::Global{"I4_05D"}.set(Value("RENDIMENTO DE ALUGUEL"));
    common::Global{"I4_05"}.set(Value(1200.0));
    common::Global{"I3_12D"}.set(Value(""));
    common::Global{"I4_09D"}.set(Value(""));
    Fields fields = {{"CPF", 'C', 11, 0}, {"DESCRICAO", 'C', 60, 0}};
    for (const char* f : {"POUPANCA", "APLICACAO", "PREJU", "OUTNT", "OUTTR", "OUTDP"}) fields.push_back({f, 'N', 14, 2});
    rt::table::Table& t = table(34, fields, {{{"DESCRICAO", "CADERNETA"}, {"POUPANCA", 80}}});
    for (int round = 0; round < 2; ++round) {
        keys({key::ESC});
        EDITA(13);
    }
    ASSERT_EQ(t.lastrec(), 2u);
    t.go_to(2);
    EXPECT_EQ(rt::TRIM(t.get("DESCRICAO").as_string()), "RENDIMENTO DE ALUGUEL");
    EXPECT_EQ(t.get("OUTTR").as_number(), 1200);
    EXPECT_EQ(t.get("CPF").as_string(), "12345678909");
}

TEST_F(GridCatalogue, ForeignIncomeCashBookExplainsAndOpensNoGrid) {
    table(22, {{"I1_1", 'C', 1, 0}, {"I1_2", 'C', 40, 0}}, {{{"I1_1", "E"}, {"I1_2", "EXTERIOR SA"}}});
    common::Global{"POSHORMAT"}.set(Value(3));
    common::Global{"I1_11"}.set(Value("S"));
    keys({key::ENTER});
    EDITA(18);
    const std::string seen = term->all_snapshots();
    EXPECT_NE(seen.find("Rendimentos do exterior deve ser preenchido"), std::string::npos);
    EXPECT_EQ(seen.find("EXTERIOR SA"), std::string::npos);
}

}  // namespace
}  // namespace qv::declaration::grids
