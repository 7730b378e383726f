// The converter's way out: Terminar leaves at once, Sair asks first.
#include "converter/converter_program.hpp"
#include "runtime/core/cp850.hpp"
#include "system/system_fixture.hpp"

namespace qv::test_support {
namespace {

using rt::operator""_cp;

class ConverterMenu : public FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        converter::create_converter_variables();
        menu = converter::CREATEMAINMENU("N/W,W+/N,R/W,R+/N,N+/W,N/W");
    }
    bool choose(int id) {
        converter::MENUSELECT(*menu->find(id));
        return converter::converter_leaving();
    }
    std::shared_ptr<rt::TopBarMenu> menu;
};

TEST_F(ConverterMenu, TerminarLeavesWithoutAsking) {
    EXPECT_TRUE(choose(7));
    EXPECT_FALSE(term->showed("Confirma saída da conversão?"));
}

TEST_F(ConverterMenu, SairAsksAndNoKeepsTheMenu) {
    keys({'N'});
    EXPECT_FALSE(choose(11));
    EXPECT_TRUE(term->showed("Confirma saída da conversão?"));
    keys({'S'});
    EXPECT_TRUE(choose(11));
}

}  // namespace
}  // namespace qv::test_support
