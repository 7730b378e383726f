// The report of a run: entries wrapped at the box's width and spread over
// as many boxes as they need.
#include "common/report_box.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "common_fixture.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::common {
namespace {

using Lines = std::vector<std::string>;

TEST(ReportBox, LongLinesAreWrappedAtBlanks) {
    struct Case {
        const char* text;
        std::size_t width;
        Lines lines;
    };
    const Case cases[] = {
        {"curta", 58, {"curta"}},
        {"12345678909-IRPF-2012-2011-ORIGI.DEC: arquivo incompleto, nada convertido", 58,
         {"12345678909-IRPF-2012-2011-ORIGI.DEC: arquivo incompleto,", "  nada convertido"}},
        {"aaaa bbbb cccc dddd", 9, {"aaaa bbbb", "  cccc", "  dddd"}},
        {"umapalavramuitolonga fim", 8, {"umapalav", "  ramuit", "  olonga", "  fim"}},
        {"", 10, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(wrap_text(c.text, c.width), c.lines) << c.text;
}

TEST(ReportBox, ALongReportGoesInSeveralBoxes) {
    EXPECT_TRUE(report_boxes("Titulo", {}).empty());
    const auto one = report_boxes("Titulo", {"a", "b"}, 58, 4);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (Lines{"Titulo", "a", "b"}));
    // Eight lines, four to a box under the title: three and "(continua)",
    // three and "(continua)", then the last two.
    const auto boxes = report_boxes("Titulo", {"1", "2", "3", "4", "5", "6", "7", "8"}, 58, 4);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], (Lines{"Titulo", "1", "2", "3", "(continua)"}));
    EXPECT_EQ(boxes[1], (Lines{"Titulo", "4", "5", "6", "(continua)"}));
    EXPECT_EQ(boxes[2], (Lines{"Titulo", "7", "8"}));
}

// Where `text` starts on the line of the screen shown that holds it.
std::size_t column_of(const std::string& screen, const std::string& text) {
    std::istringstream lines(screen);
    for (std::string line; std::getline(lines, line);)
        if (const std::size_t at = line.find(text); at != std::string::npos) return at;
    return std::string::npos;
}

using ReportBoxScreen = testing::CommonTest;

TEST_F(ReportBoxScreen, AnEntryRunsOnUnderItsStart) {
    keys({rt::key::ENTER});
    show_report("Arquivos:", {rt::utf8_to_cp850("A.DEC: registro do tipo 57 de uma linha que não cabe, ignorado")});
    ASSERT_EQ(term->snapshots.size(), 1u);
    const std::string& shown = term->snapshots[0];
    // Cut after "cabe,"; the rest, two blanks in, starts where the entry does.
    const std::size_t entry = column_of(shown, "A.DEC: registro");
    ASSERT_NE(entry, std::string::npos) << shown;
    EXPECT_EQ(column_of(shown, "ignorado"), entry + 2) << shown;
    EXPECT_EQ(column_of(shown, "Arquivos:"), entry) << shown;
}

}  // namespace
}  // namespace qv::common
