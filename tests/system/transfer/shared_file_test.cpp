// Holding a file shared with other terminals: a busy file is waited for,
// and a rewrite replaces it whole.
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "system/system_fixture.hpp"
#include "transfer/shared_file.hpp"

namespace qv::transfer {
namespace {

class SharedFileTest : public test_support::ScreenTest {
protected:
    void TearDown() override {
        set_busy_pause({});
        ScreenTest::TearDown();
    }
    test_support::TempFolder folder{"qvshared"};
    std::string path = folder.path() + "/iddeclaracoes.xml";
};

TEST_F(SharedFileTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    int error = 0;
    auto first = HeldFile::try_hold(path, true, error);
    ASSERT_TRUE(first);
    EXPECT_FALSE(HeldFile::try_hold(path, true, error));
    EXPECT_TRUE(error == EAGAIN || error == EACCES);
    first.reset();
    EXPECT_TRUE(HeldFile::try_hold(path, true, error));
}

TEST_F(SharedFileTest, WaitsWhileBusyAndTakesTheFileWhenFreed) {
    int error = 0;
    std::optional<HeldFile> other = HeldFile::try_hold(path, true, error);
    int pauses = 0;
    set_busy_pause([&] {
        if (++pauses == 3) other.reset();
    });
    auto held = wait_and_hold(path, true, error);
    EXPECT_TRUE(held);
    EXPECT_EQ(pauses, 3);
    EXPECT_NE(status_line().find("Aguardando registro do programa receita"), std::string::npos) << status_line();
}

TEST_F(SharedFileTest, GivesUpAfterTenSecondsOrEsc) {
    int error = 0;
    auto other = HeldFile::try_hold(path, true, error);
    int pauses = 0;
    set_busy_pause([&] { ++pauses; });
    EXPECT_FALSE(wait_and_hold(path, true, error));
    EXPECT_EQ(pauses, 20);
    pauses = 0;
    keys({rt::key::ESC});
    EXPECT_FALSE(wait_and_hold(path, true, error));
    EXPECT_EQ(pauses, 0);
}

TEST_F(SharedFileTest, RewriteReplacesTheWholeTextAndAWaiterSeesTheNewFile) {
    std::ofstream(path) << "a much longer old text than the new one";
    int error = 0;
    auto held = HeldFile::try_hold(path, false, error);
    ASSERT_TRUE(held);
    // Opened before the rewrite: it must not lock the replaced file.
    EXPECT_EQ(held->replace("new"), 0);
    held.reset();
    auto again = HeldFile::try_hold(path, false, error);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->content().value_or(""), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

// One buffer read over and over, as a walk reads the index of each
// declaration: each reading holds exactly the file as it is now.
TEST_F(SharedFileTest, ABufferReadAgainHoldsOnlyTheFileOfNow) {
    std::string text = "left over from before";
    for (const std::string& content :
         std::vector<std::string>{"a much longer text than the others", "", "short", std::string(70000, 'x')}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        int error = 0;
        ASSERT_TRUE(read_whole_file(path, text, &error));
        EXPECT_EQ(text, content);
        auto held = HeldFile::try_hold(path, false, error);
        ASSERT_TRUE(held);
        text = "stale";
        ASSERT_TRUE(held->read_content(text));
        EXPECT_EQ(text, content);
    }
    int error = 0;
    EXPECT_FALSE(read_whole_file(folder.path() + "/none.xml", text, &error));
    EXPECT_EQ(error, ENOENT);
}

}  // namespace
}  // namespace qv::transfer
