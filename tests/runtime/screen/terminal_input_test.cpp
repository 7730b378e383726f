// Key reading over a pipe standing in for the terminal.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "runtime/screen/keys.hpp"
#include "runtime/screen/terminal_input.hpp"

namespace qv::rt {
namespace {

class TerminalInputTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(pipe(fds_), 0); }
    void TearDown() override {
        close(fds_[0]);
        close(fds_[1]);
    }
    void type(const std::string& bytes) { ASSERT_EQ(write(fds_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    int fds_[2] = {-1, -1};
};

TEST_F(TerminalInputTest, NothingTypedGivesZeroAtOnce) {
    TerminalInput in(fds_[0]);
    EXPECT_EQ(in.read_key(0), 0);
}

TEST_F(TerminalInputTest, KeysComeOutOneByOne) {
    TerminalInput in(fds_[0]);
    type("a\x1b[B\r");
    EXPECT_EQ(in.read_key(0), 'a');
    EXPECT_EQ(in.read_key(0), key::DOWN);
    EXPECT_EQ(in.read_key(-1), key::ENTER);
    EXPECT_EQ(in.read_key(0), 0);
}

TEST_F(TerminalInputTest, LoneEscIsEscOnceTheLineIsQuiet) {
    TerminalInput in(fds_[0]);
    type("\x1b");
    EXPECT_EQ(in.read_key(-1), key::ESC);
}

TEST_F(TerminalInputTest, DiscardDropsWhatWasTyped) {
    TerminalInput in(fds_[0]);
    type("abc\x1b[A");
    EXPECT_EQ(in.read_key(0), 'a');
    in.discard();
    EXPECT_EQ(in.read_key(0), 0);
    type("z");
    EXPECT_EQ(in.read_key(0), 'z');
}

}  // namespace
}  // namespace qv::rt
