// The console layer: palette names, the font table, the argument checker.
#include <gtest/gtest.h>

#include "console/dialog_layout.hpp"
#include "console/palette.hpp"
#include "console/setup.hpp"
#include "console/values.hpp"
#include "system/startup/startup_fixture.hpp"

namespace qv::console {
namespace {

using startup_testing::StartupTest;

TEST(StartupConsolePalette, NamesFindTheirEntries) {
    EXPECT_EQ(palette_index("N"), 1);
    EXPECT_EQ(palette_index("w"), 8);
    EXPECT_EQ(palette_index("BR"), 6);
    EXPECT_EQ(palette_index("GR"), 7);
    EXPECT_EQ(palette_index("N$"), 9);
    EXPECT_EQ(palette_index("B*"), 10);
    EXPECT_EQ(palette_index(" w + "), 16);
    EXPECT_EQ(palette_index("RB"), 0);
    EXPECT_EQ(palette_index("X"), 0);
    EXPECT_EQ(palette_index(""), 0);
}

TEST(StartupConsolePalette, RgbPacksRedGreenBlue) {
    EXPECT_EQ(RGB(239, 235, 222), 239 + 235 * 256 + 222 * 65536);
    EXPECT_EQ(RGB(), 0);
    EXPECT_EQ(RGB(0, 0, 1), 65536);
}

TEST(StartupConsolePalette, ReplacesAndReturnsTheOldValue) {
    reset_palette();
    const long before = MPALETTE("G+");
    EXPECT_EQ(MPALETTE("G+", RGB(1, 2, 3)), before);
    EXPECT_EQ(MPALETTE("g*"), RGB(1, 2, 3));
    EXPECT_EQ(MPALETTE("G"), palette_entry(3)) << "the dark form is another entry";
    EXPECT_EQ(MPALETTE("nonsense", 5), -1);
    EXPECT_EQ(MPALETTE("G+", -1), RGB(1, 2, 3)) << "a negative value only reads";
    reset_palette();
}

TEST_F(StartupTest, ConsoleSetupGivesPaletteDialogFontAndFactors) {
    MXBASESETUP(1);
    EXPECT_EQ(MPALETTE("W"), RGB(239, 235, 222));
    EXPECT_EQ(MPALETTE("B"), RGB(57, 109, 165));
    EXPECT_EQ(MPALETTE("B*"), RGB(57, 109, 165));
    EXPECT_EQ(dialog_font(), (DialogFont{"Courier New", 0, -12}));
    // label width: int(8 + (10 - 1) * 7); field top: int(2 + 3 * 20)
    EXPECT_EQ(HSAYWIDTH(10), 71);
    EXPECT_EQ(HGETTOP(3), 62);
    EXPECT_EQ(HGETHEIGHT(1), 20);
    EXPECT_TRUE(tables::ws().deleted_hidden());
    EXPECT_EQ(epoch(), 2012 - 20);
}

TEST(StartupConsoleFont, TableOfScreenSizes) {
    using F = std::optional<FontSize>;
    EXPECT_EQ(font_for_screen(1920, 1080, true), (F{FontSize{28, 18}}));
    EXPECT_EQ(font_for_screen(1280, 1024, true), (F{FontSize{31, 15}}));
    EXPECT_EQ(font_for_screen(1280, 800, true), (F{FontSize{27, 15}}));
    EXPECT_EQ(font_for_screen(1280, 720, true), (F{FontSize{22, 15}}));
    EXPECT_EQ(font_for_screen(1280, 600, true), (F{FontSize{20, 16}}));
    EXPECT_EQ(font_for_screen(1024, 768, true), (F{FontSize{24, 12}}));
    EXPECT_EQ(font_for_screen(1024, 600, true), (F{FontSize{22, 12.5}}));
    EXPECT_EQ(font_for_screen(800, 600, true), F{});
    EXPECT_EQ(font_for_screen(800, 600, false), (F{FontSize{18, 9}}));
    EXPECT_EQ(font_for_screen(640, 480, true), (F{FontSize{14, 8}}));
    EXPECT_TRUE(MSETFONTLARGE(1024, 768));
    EXPECT_EQ(console_font(), (F{FontSize{24, 12}}));
    EXPECT_TRUE(WINFULLSCREEN());
}

TEST(StartupConsoleDefaultValue, MissingTakesTheDefaultOrTheEmptyValue) {
    EXPECT_EQ(DEFAULTVALUE({}, rt::Value(5), "N", "nCount", "5").as_number(), 5);
    EXPECT_EQ(DEFAULTVALUE({}, {}, "C", "cText").as_string(), "          ");
    EXPECT_FALSE(DEFAULTVALUE({}, {}, "L", "lFlag").as_bool());
    EXPECT_TRUE(DEFAULTVALUE({}, {}, "D", "dDay").as_date().empty());
    EXPECT_EQ(DEFAULTVALUE({}, {}, "A", "aList").len(), 0u);
    EXPECT_EQ(DEFAULTVALUE(rt::Value("x"), rt::Value(5), "NC", "xAny", "5").as_string(), "x");
    EXPECT_EQ(DEFAULTVALUE(rt::Value(7), {}, "U", "xAny").as_number(), 7);
}

std::string raised(const rt::Value& v, const rt::Value& def, std::string_view types, std::string_view name,
                   std::string_view text) {
    try {
        DEFAULTVALUE(v, def, types, name, text, "TESTE(12)");
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.subsystem(), "BASE");
        EXPECT_EQ(e.code(), 1127);
        EXPECT_EQ(e.operation(), "TESTE(12)");
        return e.description();
    }
    return "(nothing raised)";
}

TEST(StartupConsoleDefaultValue, WrongTypesRaiseBase1127) {
    EXPECT_EQ(raised(rt::Value("abc"), {}, "N", "nCount", ""), "<nCount> Value type error <C> Required Type <N> ");
    EXPECT_EQ(raised({}, rt::Value("x"), "N", "nCount", "'x'"),
              "<nCount:='x'> Value type error <C> Required Type <N> ");
    EXPECT_EQ(raised({}, {}, "U", "xAny", ""), "<xAny> Value type error <U> Required Type <Any Value> ");
    EXPECT_EQ(raised({}, {}, "X", "xOdd", "NIL"), "<xOdd and NIL> Value type error <U> Required Type <X> ");
}

TEST(StartupConsoleValues, TextOfSimpleTypesOnly) {
    EXPECT_EQ(VALUES(rt::Value("abc")), "abc");
    EXPECT_EQ(VALUES(rt::Value(rt::Date::from_ymd(2012, 4, 30))), "30/04/2012");
    EXPECT_EQ(VALUES(rt::Value(true)), "T");
    EXPECT_EQ(VALUES(rt::Value(12.5), "@E 999.99"), " 12,50");
    EXPECT_EQ(VALUES(rt::Value::array()), "");
    EXPECT_EQ(LENU(rt::Value("abcd")), 4u);
}

}  // namespace
}  // namespace qv::console
