// ALERT: the box as drawn, choosing by arrows, letters and Esc.
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include "runtime/core/cp850.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/alert.hpp"

namespace qv::rt {
namespace {

// Keeps the screen as it was when the first key was asked for.
class SnapshotBackend : public HeadlessBackend {
public:
    int read_key(int timeout_ms) override {
        if (!first_) first_ = cells();
        return HeadlessBackend::read_key(timeout_ms);
    }
    const CellGrid& first_wait() const { return *first_; }
    std::string first_text(int row, int col, int len) const {
        std::string out;
        for (int c = col; c < col + len; ++c) out += static_cast<char>((*first_)[row][c].ch);
        return out;
    }

private:
    std::optional<CellGrid> first_;
};

class AlertTest : public ::testing::Test {
protected:
    void SetUp() override {
        use_headless();
        auto b = std::make_unique<SnapshotBackend>();
        sb_ = b.get();
        set_backend(std::move(b));
    }
    SnapshotBackend* sb_ = nullptr;
    const std::vector<std::string> sim_nao{"Sim", "Não"_cp};
};

TEST_F(AlertTest, BoxIsCentredWithLinesAndButtons) {
    sb_->feed(key::ENTER);
    EXPECT_EQ(ALERT("Confirma;a gravação?"_cp, sim_nao), 1);
    // 2 lines: 6 rows from row 9; 12 columns inside (the buttons' width),
    // 16 with the frame and margins, from column 32.
    const auto& g = sb_->first_wait();
    EXPECT_EQ(g[9][32].ch, 0xDA);
    EXPECT_EQ(g[9][47].ch, 0xBF);
    EXPECT_EQ(g[14][32].ch, 0xC0);
    EXPECT_EQ(g[14][47].ch, 0xD9);
    EXPECT_EQ(sb_->first_text(10, 34, 12), "  Confirma  ");
    EXPECT_EQ(sb_->first_text(11, 34, 12), "a gravação? "_cp);
    EXPECT_EQ(sb_->first_text(13, 34, 12), " Sim    Não "_cp);
    EXPECT_EQ(g[13][35].attr, parse_colour("W+/B"));   // the first button is highlighted
    EXPECT_EQ(g[13][42].attr, parse_colour("W+/R"));
    EXPECT_EQ(g[10][36].attr, parse_colour("W+/R"));
}

TEST_F(AlertTest, TheBoxCanOpenOnAnotherButtonWhichEnterChooses) {
    sb_->feed(key::ENTER);
    EXPECT_EQ(ALERT("Confirma?", sim_nao, {}, 2), 2);
    EXPECT_EQ(sb_->first_wait()[13][42].attr, parse_colour("W+/B"));   // "Não" highlighted
    sb_->feed(key::LEFT);
    sb_->feed(key::ENTER);
    EXPECT_EQ(ALERT("Confirma?", sim_nao, {}, 2), 1);
}

TEST_F(AlertTest, ArrowsMoveAndWrap) {
    sb_->feed(key::RIGHT);
    sb_->feed(key::ENTER);
    EXPECT_EQ(ALERT("x", sim_nao), 2);
    sb_->feed(key::RIGHT);
    sb_->feed(key::RIGHT);
    sb_->feed(key::ENTER);
    EXPECT_EQ(ALERT("x", sim_nao), 1);
    sb_->feed(key::LEFT);
    sb_->feed(key::ENTER);
    EXPECT_EQ(ALERT("x", {"1", "2", "3"}), 3);
}

TEST_F(AlertTest, FirstLetterChoosesAtOnce) {
    sb_->feed('n');
    EXPECT_EQ(ALERT("x", sim_nao), 2);
    sb_->feed('I');
    EXPECT_EQ(ALERT("x", {"Sim", "Não"_cp, "Ignore"}), 3);
    sb_->feed('q');   // no button: ignored
    sb_->feed('3');
    EXPECT_EQ(ALERT("x", {"1", "2", "3"}), 3);
}

TEST_F(AlertTest, EscAnswersZero) {
    sb_->feed(key::RIGHT);
    sb_->feed(key::ESC);
    EXPECT_EQ(ALERT("x", sim_nao), 0);
}

TEST_F(AlertTest, DefaultButtonIsOk) {
    sb_->feed(key::ENTER);
    EXPECT_EQ(ALERT("Aviso"), 1);
    // One line: 5 rows from row 10; "Aviso" is wider than " Ok ".
    EXPECT_EQ(sb_->first_text(11, 37, 5), "Aviso");
    EXPECT_EQ(sb_->first_text(13, 37, 4), " Ok ");
}

TEST_F(AlertTest, ScreenUnderTheBoxComesBack) {
    at_say(11, 30, "a line under the box");
    sb_->feed(key::ENTER);
    ALERT("one;two;three", sim_nao);
    EXPECT_EQ(row_text(11).substr(30, 20), "a line under the box");
}

TEST_F(AlertTest, LinesGivenAsAListKeepTheirSemicolons) {
    sb_->feed(key::ENTER);
    ALERT(std::vector<std::string>{"a;b", "c"}, {"Ok"});
    // Two lines: 6 rows from row 9; 4 columns inside, from column 38.
    EXPECT_EQ(sb_->first_text(10, 38, 3), "a;b");
    EXPECT_EQ(sb_->first_text(11, 39, 1), "c");
}

TEST_F(AlertTest, LongLinesAreWrapped) {
    const std::string longer(50, 'a');
    sb_->feed(key::ENTER);
    ALERT(longer + " " + std::string(30, 'b'), sim_nao);
    // Two lines of 50 and 30: 6 rows from row 9, 54 columns from 13.
    EXPECT_EQ(sb_->first_text(10, 15, 50), longer);
    EXPECT_EQ(sb_->first_text(11, 15, 50), std::string(10, ' ') + std::string(30, 'b') + std::string(10, ' '));
}

// A line that fits inside the screen's box stays whole: its last word is
// not left alone on a row of its own.
TEST_F(AlertTest, ALineThatFitsTheScreenIsNotBroken) {
    const std::string first = std::string(57, 'a') + " ele", second = "Vai ser usado ?";
    sb_->feed(key::ENTER);
    ALERT(std::vector<std::string>{first, second}, sim_nao);
    // Two lines of 61 and 15: 6 rows from row 9, 65 columns from 7.
    EXPECT_EQ(sb_->first_text(10, 9, 61), first);
    EXPECT_EQ(sb_->first_text(11, 9, 61), std::string(23, ' ') + second + std::string(23, ' '));
}

TEST_F(AlertTest, ButtonsTooWideForTheScreenLoseTheirTrailingBlanks) {
    // Three buttons padded to 24 columns do not fit inside 80 columns with
    // their margins; without the padding they stand inside the box.
    const std::vector<std::string> padded{"Sim, salve tudo        ", "Não, volte p/declaração."_cp,
                                          "Ignore as alterações    "_cp};
    sb_->feed(key::ESC);
    EXPECT_EQ(ALERT(" Termina  a  Declaração ?"_cp, padded), 0);
    // One line: 5 rows from row 10, the buttons on row 13.
    const auto& g = sb_->first_wait();
    int right = -1;
    for (int c = 0; c < 80; ++c)
        if (g[10][c].ch == 0xBF) right = c;
    ASSERT_GT(right, 0);
    EXPECT_EQ(g[13][right].ch, 0xB3);   // the buttons' row keeps its right edge
    const std::string row = sb_->first_text(13, 0, right);
    EXPECT_NE(row.find(" Ignore as alterações "_cp), std::string::npos) << cp850_to_utf8(row);
}

}  // namespace
}  // namespace qv::rt
