// The colour editor, the text export, the autosave policy and the SELIC
// look-up.
#include <fstream>
#include <cstring>
#include <functional>
#include <iterator>

#include "office/colour_editor.hpp"
#include "office/office_settings.hpp"
#include "office/selic_rates.hpp"
#include "office/text_export.hpp"
#include "office_fixture.hpp"
#include "declaration/entry/mtela1_frames.hpp"

namespace qv::office::testing {
namespace {

using SettingsTest = OfficeTest;

TEST_F(SettingsTest, PaletteMovesStopAtTheEdges) {
    struct Case {
        int attr, key, expected;
    };
    const Case cases[] = {
        {0x10, rt::key::RIGHT, 0x11}, {0x1F, rt::key::RIGHT, 0x1F}, {0x10, rt::key::LEFT, 0x10},
        {0x75, rt::key::DOWN, 0x75},  {0x05, rt::key::UP, 0x05},    {0x35, rt::key::DOWN, 0x45},
        {0x35, 'x', 0x35},
    };
    for (const Case& c : cases) EXPECT_EQ(palette_move(c.attr, c.key), c.expected) << c.attr << " " << c.key;
}

TEST_F(SettingsTest, ChosenItemOnARedBackgroundIsStoredWithItsDerivedColour) {
    rt::variables().set("COR_ESCOL", rt::Value(63));   // white on cyan
    // Down to the red row, then Esc keeps it (there is no cancel).
    keys({rt::key::DOWN, rt::key::ESC});
    ESCOL_COR(3);
    EXPECT_EQ(rt::variables().get("COR_ESCOL").as_number(), 79);
    EXPECT_EQ(rt::variables().get("COR_ESC_CL").as_string(), "W+/R");
    EXPECT_EQ(rt::variables().get("COR_FERID").as_number(), 79);
    ASSERT_TRUE(tables::ABERTURA(56));
    tb::Table& cores = tables::ws().current(56);
    ASSERT_TRUE(cores.seek(rt::Value("01")));
    EXPECT_EQ(cores.get("COR_ESCOL").as_number(), 79);
    EXPECT_EQ(cores.get("COR_FERID").as_number(), 79);
    EXPECT_EQ(rt::TRIM(cores.get("COR_ESC_CL").as_string()), "W+/R");
    // Any other background gives light red on it.
    apply_colour(3, 0x2E);
    EXPECT_EQ(rt::variables().get("COR_FERID").as_number(), 12 + 32);
}

TEST_F(SettingsTest, ExportWritesDelimitedLines) {
    const std::string path = root + "/LIST.dbf";
    tb::create_table(path, {{"NAME", 'C', 10, 0}, {"VALUE", 'N', 8, 2}, {"DAY", 'D', 8, 0}, {"DONE", 'L', 1, 0}});
    tables::ws().select(70);
    tb::Table& t = tables::ws().use_in(70, path);
    ASSERT_TRUE(t.append_blank());
    t.put("NAME", rt::Value("ANA"));
    t.put("VALUE", rt::Value(12.5));
    t.put("DAY", rt::Value(rt::Date::from_ymd(2011, 3, 15)));
    t.put("DONE", rt::Value(true));
    ASSERT_TRUE(t.append_blank());
    t.put("NAME", rt::Value("B  C"));
    t.put("VALUE", rt::Value(1.0));
    t.put("DAY", rt::Value(rt::Date::from_ymd(2011, 12, 31)));
    t.put("DONE", rt::Value(false));
    ASSERT_TRUE(t.append_blank());
    t.put("NAME", rt::Value("O'B \"ZE\""));
    t.unlock();
    tables::ws().select(70);
    ASSERT_TRUE(ENV_ARQ("Bens.txt"));
    std::ifstream in(root + "/Bens.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    // A quote inside a quoted field is doubled, so the field stays whole.
    EXPECT_EQ(text, "\"ANA\",12.50,20110315,T\r\n\"B  C\",1.00,20111231,F\r\n"
                    "\"O'B \"\"ZE\"\"\",0.00,        ,F\r\n");
    EXPECT_FALSE(exists(root + "/~Bens.txt"));
}

// The option bars of the export and of the statuses: the highlight covers
// an item from its first letter, and the letter in capitals chooses it.
TEST_F(SettingsTest, OptionBarsLightTheirItemsAndTakeTheirHotLetters) {
    declaration::register_dialog_frame_routines();
    make_tables(client);
    tables::ABERTURA(9);
    struct Case {
        const char* name;
        std::function<void()> run;
        int row, col;          // screen cell of the first item's first letter
        const char* first;     // the first item as shown
        int hot;               // a hot letter of a later item
        const char* effect;    // what that item shows (UTF-8)
    };
    const Case cases[] = {
        {"export", [] { EXPORTA(); }, 8, 32, "Bens", 'S', "Criado arquivo Bensru.txt"},
        {"statuses", [] { MUDA_ESTATUS(); }, 7, 22, "Altera status", 'I', "Informe o status onde"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        term->snapshots.clear();
        keys({c.hot, rt::key::ENTER, rt::key::ESC});
        c.run();
        ASSERT_FALSE(term->snapshots.empty());
        const std::string& first = term->snapshots.front();
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "\n%02d |", c.row);
        const std::size_t at = first.find(prefix);
        ASSERT_NE(at, std::string::npos) << first;
        const std::size_t from = at + std::strlen(prefix);
        const std::string line = rt::utf8_to_cp850(first.substr(from, first.find('\n', from) - from));
        const auto col = static_cast<std::size_t>(c.col);
        EXPECT_EQ(line.substr(col, std::string(c.first).size()), c.first) << first;
        EXPECT_EQ(line.substr(col - 1, 1), " ") << first;
        EXPECT_NE(line.find(" 4F " + std::to_string(c.col) + "-"), std::string::npos) << first;
        EXPECT_TRUE(term->showed(c.effect)) << term->all_snapshots();
    }
}

TEST_F(SettingsTest, AutosaveIntervalOfEachMode) {
    struct Case {
        int mode, before, after;
    };
    for (const Case& c : {Case{1, 99, 15}, Case{1, 0, 15}, Case{1, 20, 20}, Case{2, 20, 0}, Case{3, 20, 99}})
        EXPECT_EQ(autosave_interval(c.mode, c.before), c.after) << c.mode << " " << c.before;
}

TEST_F(SettingsTest, AutosaveBoxMarksTheModeAndAsksTheIntervalInsideIt) {
    rt::variables().set("COMO_SAL", rt::Value(2));
    rt::variables().set("TEMP_SAL", rt::Value(0));
    keys({rt::key::UP, rt::key::ENTER, '2', '0', rt::key::ENTER});
    TIP_GRAV();
    EXPECT_TRUE(term->showed(" Manual (Alt W)  *"));   // the current mode marked first
    EXPECT_TRUE(term->showed(" Automática      *"));
    EXPECT_TRUE(term->showed("Gravar a cada 15 minutos"));
    EXPECT_EQ(rt::variables().get("COMO_SAL").as_number(), 1);
    EXPECT_EQ(rt::variables().get("TEMP_SAL").as_number(), 20);
}

TEST_F(SettingsTest, AMonthWithoutARateShowsOnePercent) {
    rt::variables().set("ANO_UFIR", rt::Value(2039));
    EXPECT_FALSE(BUSMES(13, "MULTIPL", "TJM"));
    ASSERT_TRUE(BUSMES(5, "MULTIPL", "TJM"));
    EXPECT_EQ(rt::variables().get("TJM").as_number(), 1);
    EXPECT_EQ(rt::variables().get("MULTIPL").as_number(), 0);
}

}  // namespace
}  // namespace qv::office::testing
