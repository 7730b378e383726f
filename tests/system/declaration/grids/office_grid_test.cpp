// The office's grids: Ins in the billing slips runs the slip form and shows
// what it added; a row typed into the bookkeeping entries is the taxpayer's.
#include "grid_fixture.hpp"

#include <filesystem>

#include "declaration/grids/grid_catalogue.hpp"
#include "system/taxpayer_holder.hpp"
#include "tables/taxpayer_mark.hpp"
#include "runtime/core/text.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {
namespace {

namespace key = rt::key;
namespace tb = rt::table;

using OfficeGrids = GridTest;

TEST_F(OfficeGrids, InsInTheSlipsAddsThroughTheSlipFormAndOffersItsLastReference) {
    tb::Table& slips = table(67, *tables::schema_of(67),
                             {{{"NOSSONRO", rt::Value(10)}, {"NOMESAC", rt::Value("PRIMEIRO PAGADOR")}}});
    StandIn form("UNICO_BOL", [&slips](std::span<const rt::Value>) {
        slips.append_blank();
        slips.put("NOSSONRO", rt::Value(11));
        slips.put("NOMESAC", rt::Value("SEGUNDO PAGADOR"));
        slips.commit();
        common::Global{"NOSSONRO"}.set(rt::Value(11));
        return rt::Value();
    });
    tables::ws().select(67);
    keys({key::INS, key::ESC});
    EDITA(45);
    EXPECT_EQ(common::Global{"BOL_NOSNRO"}.number(), 11);
    EXPECT_TRUE(term->showed("SEGUNDO PAGADOR"));
}

TEST_F(OfficeGrids, AnEntryTypedIntoTheEntriesGridCarriesTheTaxpayer) {
    tb::Table& entries = table(33, *tables::schema_of(13), {});
    keys({'6', '0', '2', '1', key::ESC});
    EDITA(25);
    ASSERT_EQ(entries.lastrec(), 1u);
    entries.go_to(1);
    EXPECT_EQ(rt::TRIM(entries.get("CDCONTA").as_string()), "6021");
    EXPECT_EQ(entries.get("CPF").as_string(), "12345678909");
}

// A folder longer than the list keeps is refused naming the limit and kept
// for correction, never cut into another folder's name.
TEST_F(OfficeGrids, AFolderLongerThanTheListKeepsIsRefused) {
    tb::Table& list = table(50, *tables::schema_of(50), {{{"DIRETOR", rt::Value(root)}, {"SELEC", rt::Value("S")}}});
    std::string typed = root + "/";
    while (typed.size() < 120) typed += 'a';
    keys({key::DOWN, key::RIGHT, key::ENTER});
    term->feed_text(typed);
    keys({key::ENTER, key::ENTER, key::ESC, key::ESC});
    EDITA(40);
    EXPECT_TRUE(term->showed("O nome da pasta passa do limite de 80 caracteres.")) << term->all_snapshots();
    EXPECT_EQ(list.lastrec(), 1u) << "no folder of a cut name";
}

// "S" on the blank line below the list names no folder: refused, no row
// made, the terminal stays in its folder. "S" on another folder moves the
// mark, and the list shows at once which folder lost it.
TEST_F(OfficeGrids, OnlyANamedFolderIsSelectedAndTheMarkMovesOnScreen) {
    const std::string other = root + "/outra";
    std::filesystem::create_directories(other);
    tb::Table& list = table(50, *tables::schema_of(50), {{{"DIRETOR", rt::Value(root)}, {"SELEC", rt::Value("S")}}});
    keys({key::DOWN, 'S', key::ENTER, key::ESC, key::ESC});
    EDITA(40);
    EXPECT_TRUE(term->showed("É necessário preencher o nome do diretório")) << term->all_snapshots();
    ASSERT_EQ(list.lastrec(), 1u);
    list.go_to(1);
    EXPECT_EQ(list.get("SELEC").as_string(), "S");

    list.append_blank();
    list.put("DIRETOR", rt::Value(other));
    list.put("SELEC", rt::Value("N"));
    list.commit();
    constexpr int kLook = 500;
    std::vector<std::string> shown;   // the two rows as the grid shows them
    rt::SETKEY(kLook, [&] {
        for (int r = 0; r < 25; ++r)
            if (const std::string row = term->text(r); row.find(root + " ") != std::string::npos ||
                                                       row.find(other) != std::string::npos)
                shown.push_back(row);
    });
    keys({key::CTRL_PGUP, key::DOWN, 'S', key::ENTER, kLook, key::ESC});
    EDITA(40);
    rt::SETKEY(kLook, {});
    EXPECT_EQ(list.lastrec(), 2u);
    list.go_to(1);
    EXPECT_EQ(list.get("SELEC").as_string(), "N");
    list.go_to(2);
    EXPECT_EQ(list.get("SELEC").as_string(), "S");
    ASSERT_EQ(shown.size(), 2u) << term->all_snapshots();
    EXPECT_NE(shown[0].find(" N  │" + root + " "), std::string::npos) << shown[0];
    EXPECT_NE(shown[1].find(" S  │" + other), std::string::npos) << shown[1];
}

// A folder that is gone and is not created again is not marked as the
// current one: the mark stays on the folder in use, the only one marked.
TEST_F(OfficeGrids, AFolderNotCreatedAgainIsNotMarkedCurrent) {
    const std::string gone = root + "/gone";
    tb::Table& list = table(50, *tables::schema_of(50),
                            {{{"DIRETOR", rt::Value(root)}, {"SELEC", rt::Value("S")}},
                             {{"DIRETOR", rt::Value(gone)}, {"SELEC", rt::Value("N")}}});
    keys({key::DOWN, 'S', 'N', key::ESC, key::ESC});   // the question "Cria-o ?" answered Não
    EDITA(40);
    EXPECT_TRUE(term->showed("Cria-o ?")) << term->all_snapshots();
    list.go_to(1);
    EXPECT_EQ(list.get("SELEC").as_string(), "S");
    list.go_to(2);
    EXPECT_NE(list.get("SELEC").as_string(), "S");
    EXPECT_FALSE(exists(gone));
}

// A code changed moves its row to its place in the list: the rows shown
// are the rows the keys then move over.
TEST_F(OfficeGrids, ARowWhoseNumberChangesIsShownInItsNewPlace) {
    tb::Table& codes = table(66, {{"COD", 'N', 2, 0}, {"DESCRICAO", 'C', 30, 0}},
                             {{{"COD", rt::Value(0)}, {"DESCRICAO", rt::Value("CONFERIDA")}},
                              {{"COD", rt::Value(1)}, {"DESCRICAO", rt::Value("IMPORTADA")}},
                              {{"COD", rt::Value(7)}, {"DESCRICAO", rt::Value("TRANSMITIDA")}}});
    codes.index_on("COD", "COD");
    codes.set_order(1);
    tables::ws().select(66);
    constexpr int kLook = 500;
    std::vector<std::string> shown;
    rt::SETKEY(kLook, [&] {
        for (int r = 0; r < 25; ++r)
            for (const char* d : {"CONFERIDA", "IMPORTADA", "TRANSMITIDA"})
                if (term->text(r).find(d) != std::string::npos) shown.push_back(d);
    });
    keys({key::ENTER, '5', key::ENTER, kLook, key::HOME, key::DOWN, key::RIGHT, key::ENTER});
    term->feed_text("PRONTA");
    keys({key::ENTER, key::ESC});
    EDITA(29);
    rt::SETKEY(kLook, {});
    EXPECT_EQ(shown, (std::vector<std::string>{"IMPORTADA", "CONFERIDA", "TRANSMITIDA"}));
    codes.go_to(3);
    EXPECT_EQ(codes.get("DESCRICAO").as_string().substr(0, 6), "PRONTA");   // the row below the one changed
}

// A taxpayer whose declaration another terminal has open keeps its status
// and amounts: that terminal's save would write its own back over them.
// The rows edited stay this terminal's until the list is left.
TEST_F(OfficeGrids, TheStatusOfATaxpayerOpenElsewhereIsNotEditedInTheList) {
    tb::Table& reg = table(9, *tables::schema_of(9),
                           {{{"CPF", rt::Value("11111111111")}, {"ESTATUS", rt::Value(2)}},
                            {{"CPF", rt::Value("22222222222")}, {"ESTATUS", rt::Value(2)}}});
    test_support::TaxpayerHolder other(client, "11111111111", "05");
    keys({key::ENTER, key::ENTER, key::DOWN, key::HOME, key::ENTER, '4', key::ENTER, key::ESC});
    EDITA(52);
    EXPECT_TRUE(term->showed("Contribuinte 111.111.111-11 em uso no terminal 05.")) << term->all_snapshots();
    reg.go_to(1);
    EXPECT_EQ(reg.get("ESTATUS").as_number(), 2);
    reg.go_to(2);
    EXPECT_EQ(reg.get("ESTATUS").as_number(), 4);
    EXPECT_TRUE(tables::take_taxpayer_mark(client, "22222222222"));
    tables::release_taxpayer_mark(client, "22222222222");
}

}  // namespace
}  // namespace qv::declaration::grids
