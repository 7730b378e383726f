// The converter's pick-list grid: marking every row, copying a cell.
#include "converter/converter_program.hpp"
#include "converter/name_grid.hpp"
#include "runtime/core/text.hpp"
#include "system/system_fixture.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"

namespace qv::test_support {
namespace {

class NameGrid : public FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        converter::create_converter_variables();
        ASSERT_TRUE(tables::ABERTURA(70));
        for (const char* name : {"ANA", "BRUNO"}) {
            ASSERT_TRUE(tables::ADD_REC(1));
            list().put("NOMECONTR", rt::Value(name));
            list().put("CPF", rt::Value(std::string(name) == "ANA" ? "11111111111" : "22222222222"));
            list().commit();
        }
    }
    rt::table::Table& list() { return tables::ws().current(70); }
    std::vector<std::string> column(const char* field) {
        std::vector<std::string> out;
        list().set_order(1);
        for (list().go_top(); !list().eof(); list().skip(1)) out.push_back(rt::RTRIM(list().get(field).as_string()));
        return out;
    }
};

TEST_F(NameGrid, MarksAndUnmarksEveryRow) {
    keys({387, rt::key::ESC});   // Alt+=
    converter::EDITA(1);
    EXPECT_EQ(column("IMPRE"), (std::vector<std::string>{"S", "S"}));
    EXPECT_TRUE(term->showed("Marque [S] nos nomes"));
    keys({386, rt::key::ESC});   // Alt+-
    converter::EDITA(1);
    EXPECT_EQ(column("IMPRE"), (std::vector<std::string>{"", ""}));
}

TEST_F(NameGrid, CopiesACellIntoAnotherRowAndTypesAMark) {
    // On ANA's CPF: copy, down, paste; then to the mark column and type S.
    keys({rt::key::alt_letter('M'), rt::key::DOWN, rt::key::alt_letter('C'), rt::key::END, 'S', rt::key::ENTER,
          rt::key::ESC});
    converter::EDITA(2);
    EXPECT_EQ(column("CPF"), (std::vector<std::string>{"11111111111", "11111111111"}));
    EXPECT_EQ(column("IMPRE"), (std::vector<std::string>{"", "S"}));
}

TEST_F(NameGrid, BelowTheLastRowAValueStartsANewRow) {
    keys({rt::key::END, rt::key::CTRL_PGDN, rt::key::DOWN, rt::key::ESC});   // Esc: nothing added
    converter::EDITA(2);
    EXPECT_EQ(column("IMPRE").size(), 2u);
    keys({rt::key::END, rt::key::CTRL_PGDN, rt::key::DOWN, 'S', rt::key::ENTER, rt::key::ESC});
    converter::EDITA(2);
    EXPECT_EQ(column("IMPRE"), (std::vector<std::string>{"S", "", ""}));   // the new row has no name: first
}

TEST_F(NameGrid, BlankLineShowsOnlyOnceTheCursorGoesBelowTheLastRow) {
    keys({rt::key::DOWN, rt::key::DOWN, rt::key::UP, rt::key::ESC});
    converter::EDITA(2);
    // The screens while waiting: on ANA, on BRUNO, below BRUNO, back on BRUNO.
    ASSERT_EQ(term->snapshots.size(), 4u);
    const std::string blank_cpf = "   .   .   -";
    for (const std::size_t at : {0u, 1u, 3u})
        EXPECT_EQ(term->snapshots[at].find(blank_cpf), std::string::npos) << at << "\n" << term->snapshots[at];
    EXPECT_NE(term->snapshots[2].find(blank_cpf), std::string::npos) << term->snapshots[2];
    EXPECT_EQ(column("IMPRE").size(), 2u);
}

TEST_F(NameGrid, PayerDocumentGetsItsSeparators) {
    ASSERT_TRUE(tables::ABERTURA(63));
    ASSERT_TRUE(tables::ADD_REC(1));
    auto& t = tables::ws().current(63);
    t.put("CPF", rt::Value("11111111111"));
    t.commit();
    keys({rt::key::RIGHT, rt::key::RIGHT, rt::key::RIGHT, rt::key::RIGHT});
    for (const char c : std::string("12345678000195")) keys({c});
    keys({rt::key::ENTER, rt::key::ESC});
    converter::EDITA(3);
    t.go_top();
    EXPECT_EQ(rt::RTRIM(t.get("CNPJFONTE").as_string()), "12.345.678/0001-95");
}

}  // namespace
}  // namespace qv::test_support
