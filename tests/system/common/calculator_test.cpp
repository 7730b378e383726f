// The pop-up calculator driven from the keyboard, and the small helpers.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/calculator.hpp"
#include "common/globals.hpp"
#include "common/system_helpers.hpp"
#include "common/windows.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "system/system_fixture.hpp"

namespace qv::common {
namespace {

class Calculator : public ::testing::Test {
protected:
    void SetUp() override {
        screen_ = &rt::use_headless();
        reset_windows();
        Global{"RESULT"}.set(rt::Value(0));
    }
    bool run(std::string_view typed, int last_key) {
        for (char c : typed) screen_->feed(c);
        screen_->feed(last_key);
        return CALCULADORA(9, 5, 40);
    }
    double result() const { return Global{"RESULT"}.number(); }
    rt::HeadlessBackend* screen_ = nullptr;
};

TEST_F(Calculator, EndsWithCtrlEnterOrEsc) {
    struct Case { std::string_view typed; int last; bool answer; double result; };
    const Case cases[] = {
        {"7+5=", rt::key::CTRL_ENTER, true, 12},
        {"7+5", rt::key::CTRL_ENTER, true, 7},        // the pending addition is not applied
        {"1/0+", rt::key::CTRL_ENTER, false, 0},      // division by zero
        {"7+5=", rt::key::ESC, false, 12},
        {"2*3-1=", rt::key::CTRL_ENTER, true, 5},
        {"10/4=", rt::key::CTRL_ENTER, true, 2.5},
        {"5I+2=", rt::key::CTRL_ENTER, true, -3},     // sign change
        {"1,5+1=", rt::key::CTRL_ENTER, true, 2.5},   // "," is the decimal point
        {"9=M+C4+MR=", rt::key::CTRL_ENTER, true, 13}, // the memory takes the result, 9
        {"12=*3=", rt::key::CTRL_ENTER, true, 36},    // the result of "=" is the next operand
        {"12==", rt::key::CTRL_ENTER, true, 12},
        {"12=5+1=", rt::key::CTRL_ENTER, true, 6},    // a number typed after "=" starts anew
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.typed, c.last), c.answer) << c.typed;
        EXPECT_DOUBLE_EQ(result(), c.result) << c.typed;
    }
}

TEST_F(Calculator, RefusesDigitsPastTheLimits) {
    EXPECT_TRUE(run("12345678901=", rt::key::CTRL_ENTER));
    EXPECT_DOUBLE_EQ(result(), 1234567890);
    EXPECT_TRUE(run("1.23456=", rt::key::CTRL_ENTER));
    EXPECT_DOUBLE_EQ(result(), 1.2345);
}

// The keypad stays inside its frame (columns 1 and 26 of the window) and
// the calculator's own place leaves the status line free.
TEST_F(Calculator, KeysInsideTheFrameAndTheStatusLineFree) {
    auto backend = std::make_unique<qv::test_support::RecordingBackend>();
    qv::test_support::RecordingBackend* seen = backend.get();
    rt::set_backend(std::move(backend));
    reset_windows();
    seen->feed(rt::key::ESC);
    CALCULADORA(9, 5, 40);
    ASSERT_FALSE(seen->snapshots.empty());
    const std::string& shown = seen->snapshots.front();
    for (int row = 9; row <= 17; row += 2) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "\n%02d |", row);
        const std::size_t at = shown.find(prefix);
        ASSERT_NE(at, std::string::npos);
        const std::string line = rt::utf8_to_cp850(shown.substr(at + 5, 80 * 3));
        EXPECT_EQ(line.substr(65, 1), "\xB3") << row << "\n" << shown;
        EXPECT_EQ(line.substr(40, 1), "\xB3") << row << "\n" << shown;
    }
    EXPECT_NE(shown.find("(C)lear \xE2\x94\x82"), std::string::npos) << shown;
    seen->feed(rt::key::ESC);
    seen->snapshots.clear();
    CALCULADORA();
    const TextWindow* w = find_window(9);
    ASSERT_NE(w, nullptr);
    EXPECT_LE(w->bottom, 23);
    ASSERT_FALSE(seen->snapshots.empty());
    const std::string& placed = seen->snapshots.front();
    const std::string status = placed.substr(placed.find("\n24 |") + 5, 80);
    EXPECT_EQ(status.find_first_not_of(' '), std::string::npos) << placed;
}

// Moved with the arrows, the window keeps the number it shows.
TEST_F(Calculator, MovedWindowKeepsTheNumberShown) {
    auto backend = std::make_unique<qv::test_support::RecordingBackend>();
    qv::test_support::RecordingBackend* seen = backend.get();
    rt::set_backend(std::move(backend));
    reset_windows();
    for (int k : {int{'1'}, int{'2'}, rt::key::DOWN, rt::key::RIGHT, rt::key::ESC}) seen->feed(k);
    CALCULADORA(9, 5, 40);
    ASSERT_GE(seen->snapshots.size(), 5u);
    // The display line: screen row 7 before the move, row 8 after it, one
    // column further right.
    const auto row = [](const std::string& dump, int r) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "\n%02d |", r);
        return rt::utf8_to_cp850(dump.substr(dump.find(prefix) + 5, 80 * 3)).substr(0, 80);
    };
    EXPECT_EQ(rt::ALLTRIM(row(seen->snapshots[2], 7).substr(44, 20)), "12") << seen->snapshots[2];
    EXPECT_EQ(rt::ALLTRIM(row(seen->snapshots[4], 8).substr(45, 20)), "12") << seen->snapshots[4];
}

TEST_F(Calculator, PutsTheScreenBack) {
    const std::string before = screen_->dump();
    run("7", rt::key::ESC);
    EXPECT_EQ(screen_->dump(), before);
}

TEST(SystemHelpers, ArraysAndPorts) {
    auto numbers = [](std::initializer_list<double> v) {
        rt::Value a = rt::Value::array();
        for (double d : v) a.as_array()->push_back(rt::Value(d));
        return a;
    };
    EXPECT_EQ(AMAX(numbers({3, 7, 7})).as_number(), 2);
    EXPECT_EQ(AMIN(numbers({3, 1, 1})).as_number(), 2);
    EXPECT_EQ(AMAX(rt::Value::array()).as_number(), 0);
    EXPECT_TRUE(AMAX(rt::Value(3)).is_nil());
    rt::Value nested = rt::Value::array();
    nested.as_array()->push_back(numbers({1, 2, 3}));
    nested.as_array()->push_back(numbers({4, 5, 6}));
    const rt::Value dims = DIMENSIONS(nested);
    ASSERT_EQ(dims.len(), 2u);
    EXPECT_EQ(dims.at(1).as_number(), 2);
    EXPECT_EQ(dims.at(2).as_number(), 3);
    EXPECT_FALSE(LPT_OK(0));
    EXPECT_FALSE(LPT_OK(10));
    Global{"NOMEREDE"}.set(rt::Value("C:\\SAIDA.TXT"));
    EXPECT_TRUE(LPT_OK(1));
    Global{"LISTA"}.set(numbers({1, 2}));
    auto second = ABLOCK("LISTA", 2);
    second(rt::Value(9));
    EXPECT_EQ(Global{"LISTA"}.value().at(2).as_number(), 9);
    EXPECT_TRUE(ABLOCK("LISTA", 3)(std::nullopt).is_nil());
}

TEST(SystemHelpers, FilesAndFolders) {
    const auto base = std::filesystem::temp_directory_path() / ("qvhelp" + std::to_string(::getpid()));
    const std::string folder = base.string();
    EXPECT_TRUE(CRIADIR(folder));
    EXPECT_FALSE(CRIADIR(folder)) << "already there";
    EXPECT_TRUE(LF_ISFILE(folder, true));
    EXPECT_FALSE(LF_ISFILE(folder));
    const std::string file = folder + "/A.TXT";
    EXPECT_LT(LF_FOPEN(file), 0);
    EXPECT_NE(LF_FERROR(), 0);
    const int fd = LF_FCREATE(file);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_TRUE(LF_ISFILE(file));
    EXPECT_TRUE(LF_FERASE(file));
    EXPECT_FALSE(LF_FERASE(file));
    std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace qv::common
