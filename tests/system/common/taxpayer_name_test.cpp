// VER_NOME: the taxpayer found by name in the register.
#include "common/taxpayer_name.hpp"

#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common_fixture.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::common::testing {
namespace {

namespace tb = rt::table;

class CommonVerNomeTest : public CommonTest {
protected:
    void SetUp() override {
        CommonTest::SetUp();
        const std::string path = folder.path() + "/IMP0912.DBF";
        tb::create_table(path, {{"CPF", 'C', 11, 0}, {"NOMECONTR", 'C', 53, 0}}, tb::MemoKind::None);
        tb::OpenOptions alone;
        alone.exclusive = true;   // the indexes are built with the table alone
        tb::Table& built = tb::workspace().use_in(kRegisterArea, path, alone);
        for (const auto& [cpf, name] : {std::pair{"11144477735", "MARIA DA SILVA"}, {"12345678909", "JOAO PEREIRA"}}) {
            ASSERT_TRUE(built.append_blank());
            built.put("CPF", rt::Value(cpf));
            built.put("NOMECONTR", rt::Value(name));
        }
        built.index_on("CPF", "CPF");
        built.index_on("NOMECONTR", "NOME");
        tb::workspace().close(kRegisterArea);
        tb::Table& t = tb::workspace().use_in(kRegisterArea, path);
        t.set_order(1);
        const rt::Value rows = rt::Value::array(), cols = rt::Value::array();
        for (int i = 0; i < 3; ++i) {
            rows.as_array()->push_back(rt::Value(i == 2 ? 10 : 0));
            cols.as_array()->push_back(rt::Value(i == 2 ? 4 : 0));
        }
        Global("ALJ").set(rows);
        Global("ACJ").set(cols);
        Global("NT").set(rt::Value(3));
        Global("CPF").set(rt::Value(rt::SPACE(11)));
        rt::register_function("GERAL", [this](std::span<const rt::Value>) {
            ++pick_lists;
            tb::workspace().table(kRegisterArea)->go_bottom();   // the user picks the last name
            return rt::Value();
        });
        rt::register_function("MOSTR_PAG", [this](std::span<const rt::Value> a) {
            shown_with = static_cast<int>(a[0].as_number());
            return rt::Value();
        });
    }
    void TearDown() override {
        // The hooks capture this fixture: leave harmless ones behind.
        rt::register_function("GERAL", [](std::span<const rt::Value>) { return rt::Value(); });
        rt::register_function("MOSTR_PAG", [](std::span<const rt::Value>) { return rt::Value(); });
        tb::workspace().close_all();
        CommonTest::TearDown();
    }
    TempFolder folder;
    int pick_lists = 0;
    int shown_with = 0;
};

TEST_F(CommonVerNomeTest, FoundByTheStartOfTheName) {
    term->feed_text("JOAO");
    keys({rt::key::ENTER});
    EXPECT_TRUE(VER_NOME());
    EXPECT_EQ(Global("CPF").text(), "12345678909");
    EXPECT_EQ(rt::TRIM(Global("NOMECONTR").text()), "JOAO PEREIRA");
    EXPECT_EQ(pick_lists, 0);
    EXPECT_EQ(shown_with, 2);
    EXPECT_EQ(tb::workspace().table(kRegisterArea)->order(), 1);
    // the name was read under the window of page NT: row 10 + 1, column 4 + 18
    const std::string& asked = term->snapshots.front();
    const auto line = asked.find("\n11 |");
    ASSERT_NE(line, std::string::npos);
    EXPECT_NE(asked.substr(line, asked.find('\n', line + 1) - line).find(" 22-74"), std::string::npos) << asked;
}

TEST_F(CommonVerNomeTest, NotFoundOpensThePickList) {
    term->feed_text("ZEZINHO");
    keys({rt::key::ENTER});
    EXPECT_TRUE(VER_NOME());
    EXPECT_EQ(pick_lists, 1);
    EXPECT_EQ(Global("CPF").text(), "11144477735");
}

TEST_F(CommonVerNomeTest, RequiredEmptyCpfAsksForTheName) {
    term->feed_text("MARIA");
    keys({rt::key::ENTER});
    EXPECT_TRUE(VAL_CPF("           ", true, 1));
    EXPECT_EQ(Global("CPF").text(), "11144477735");
}

}  // namespace
}  // namespace qv::common::testing
