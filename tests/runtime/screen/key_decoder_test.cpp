#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/screen/key_decoder.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::rt {
namespace {

using Keys = std::vector<int>;

// Everything the terminal sent in one read, then a quiet line.
Keys decode(std::string_view bytes) {
    KeyDecoder d;
    Keys out = d.feed(bytes);
    const Keys rest = d.flush();
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

struct Case {
    const char* bytes;
    int code;
};

TEST(KeyDecoder, XtermSequences) {
    const Case cases[] = {
        {"\x1b[A", 5},       {"\x1b[B", 24},      {"\x1b[C", 4},       {"\x1b[D", 19},
        {"\x1b[H", 1},       {"\x1b[F", 6},       {"\x1bOA", 5},       {"\x1bOD", 19},
        {"\x1bOH", 1},       {"\x1bOF", 6},       {"\x1b[1~", 1},      {"\x1b[4~", 6},
        {"\x1b[7~", 1},      {"\x1b[8~", 6},      {"\x1b[2~", 22},     {"\x1b[3~", 7},
        {"\x1b[5~", 18},     {"\x1b[6~", 3},      {"\x1b[1;5C", 2},    {"\x1b[1;5D", 26},
        {"\x1b[1;5H", 29},   {"\x1b[1;5F", 23},   {"\x1b[5;5~", 31},   {"\x1b[6;5~", 30},
        {"\x1b[1;2C", 4},    {"\x1b[1;5A", 397},  {"\x1b[1;3B", 416},  {"\x1b[Z", 271},
        {"\x1bOM", 13},
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c.bytes), Keys{c.code}) << c.bytes + 1;
}

TEST(KeyDecoder, FunctionKeys) {
    const Case cases[] = {
        {"\x1bOP", 28},      {"\x1bOQ", -1},      {"\x1bOR", -2},      {"\x1bOS", -3},
        {"\x1b[11~", 28},    {"\x1b[15~", -4},    {"\x1b[17~", -5},    {"\x1b[18~", -6},
        {"\x1b[19~", -7},    {"\x1b[20~", -8},    {"\x1b[21~", -9},    {"\x1b[23~", -40},
        {"\x1b[24~", -41},   {"\x1b[1;3P", -30},  {"\x1b[1;2P", -10},  {"\x1b[1;5P", -20},
        {"\x1b[1;3S", -33},  {"\x1b[15;2~", -14}, {"\x1b[21;2~", -19}, {"\x1b[21;5~", -29},
        {"\x1b[20;3~", -38}, {"\x1b[17;3~", -35}, {"\x1bO2Q", -11},    {"\x1b[24;3~", -47},
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c.bytes), Keys{c.code}) << c.bytes + 1;
}

TEST(KeyDecoder, LinuxConsoleAndRxvt) {
    const Case cases[] = {
        {"\x1b[[A", 28},  {"\x1b[[B", -1},  {"\x1b[[E", -4},  {"\x1b[25~", -12},
        {"\x1b[34~", -19}, {"\x1bOd", 26},  {"\x1bOc", 2},    {"\x1b[11^", -20},
    };
    for (const auto& c : cases) EXPECT_EQ(decode(c.bytes), Keys{c.code}) << c.bytes + 1;
}

TEST(KeyDecoder, ControlBytes) {
    EXPECT_EQ(decode("\r"), Keys{key::ENTER});
    EXPECT_EQ(decode("\n"), Keys{key::CTRL_ENTER});
    EXPECT_EQ(decode("\t"), Keys{key::TAB});
    EXPECT_EQ(decode("\x7f"), Keys{key::BS});
    EXPECT_EQ(decode("\x08"), Keys{key::BS});
    EXPECT_EQ(decode("\x03"), Keys{key::PGDN});   // Ctrl+C
    EXPECT_EQ(decode("\x19"), Keys{key::CTRL_Y});
    EXPECT_EQ(decode(std::string_view("\0", 1)), Keys{});
}

TEST(KeyDecoder, ModifiedCharacterReports) {
    EXPECT_EQ(decode("\x1b[13;5u"), Keys{key::CTRL_ENTER});
    EXPECT_EQ(decode("\x1b[27;5;13~"), Keys{key::CTRL_ENTER});
    EXPECT_EQ(decode("\x1b[9;2u"), Keys{key::SHIFT_TAB});
    EXPECT_EQ(decode("\x1b[97;3u"), Keys{key::ALT_A});
    EXPECT_EQ(decode("\x1b[119;5u"), Keys{key::CTRL_W});
    EXPECT_EQ(decode("\x1b[231u"), Keys{0x87});
}

TEST(KeyDecoder, AltAsEscPrefix) {
    EXPECT_EQ(decode("\x1b" "a"), Keys{286});
    EXPECT_EQ(decode("\x1bw"), Keys{273});
    EXPECT_EQ(decode("\x1bW"), Keys{273});
    EXPECT_EQ(decode("\x1bm"), Keys{306});
    EXPECT_EQ(decode("\x1b" "1"), Keys{376});
    EXPECT_EQ(decode("\x1b" "9"), Keys{384});
    EXPECT_EQ(decode("\x1b" "0"), Keys{385});
    EXPECT_EQ(decode("\x1b\r"), Keys{284});
    EXPECT_EQ(decode("\x1b\x1bOP"), Keys{-30});
    EXPECT_EQ(decode("\x1b\x1b[D"), Keys{411});
}

TEST(KeyDecoder, LoneEscWaitsForTheQuietLine) {
    KeyDecoder d;
    EXPECT_EQ(d.feed("\x1b"), Keys{});
    EXPECT_TRUE(d.holding());
    EXPECT_EQ(d.flush(), Keys{key::ESC});
    EXPECT_FALSE(d.holding());
}

TEST(KeyDecoder, EscThenKeysThatAreNoSequence) {
    EXPECT_EQ(decode("\x1b\x1b"), (Keys{27, 27}));
    EXPECT_EQ(decode("\x1b["), (Keys{27, '['}));
    EXPECT_EQ(decode("\x1bO"), Keys{280});   // Alt+O typed by hand
    EXPECT_EQ(decode("\x1b\xc3\xa7"), (Keys{27, 0x87}));
    EXPECT_EQ(decode("\x1b."), (Keys{27, '.'}));
}

TEST(KeyDecoder, SequenceSplitOverTwoReads) {
    KeyDecoder d;
    EXPECT_EQ(d.feed("\x1b[1;"), Keys{});
    EXPECT_EQ(d.feed("5C"), Keys{key::CTRL_RIGHT});
    EXPECT_EQ(d.feed("\x1b"), Keys{});
    EXPECT_EQ(d.feed("[5~x"), (Keys{key::PGUP, 'x'}));
    EXPECT_EQ(d.feed("\x1bO"), Keys{});
    EXPECT_EQ(d.feed("P"), Keys{key::F1});
    EXPECT_FALSE(d.holding());
}

TEST(KeyDecoder, SeveralKeysInOneRead) {
    EXPECT_EQ(decode("ab\x1b[Bc\r"), (Keys{'a', 'b', 24, 'c', 13}));
    EXPECT_EQ(decode("\x1b[A\x1b[A\x1b"), (Keys{5, 5, 27}));
}

TEST(KeyDecoder, Utf8BecomesCp850) {
    EXPECT_EQ(decode("\xc3\xa7"), Keys{0x87});   // ç
    EXPECT_EQ(decode("\xc3\x87"), Keys{0x80});   // Ç
    EXPECT_EQ(decode("\xc3\xa3"), Keys{0xC6});   // ã
    EXPECT_EQ(decode("\xc3\xa9"), Keys{0x82});   // é
    EXPECT_EQ(decode("\xc2\xba"), Keys{0xA7});   // º
    EXPECT_EQ(decode("\xe2\x82\xac"), Keys{});   // € has no CP850 code
    EXPECT_EQ(decode("a\xc3\xa1z"), (Keys{'a', 0xA0, 'z'}));
}

TEST(KeyDecoder, Utf8SplitOverTwoReads) {
    KeyDecoder d;
    EXPECT_EQ(d.feed("\xc3"), Keys{});
    EXPECT_EQ(d.feed("\xa7"), Keys{0x87});
}

TEST(KeyDecoder, Latin1BytesAreTakenAsLatin1) {
    EXPECT_EQ(decode("\xe7"), Keys{0x87});
    EXPECT_EQ(decode("\xe7" "a"), (Keys{0x87, 'a'}));
}

TEST(KeyDecoder, ReportsAndUnknownSequencesAreDropped) {
    EXPECT_EQ(decode("\x1b[?1;2c"), Keys{});
    EXPECT_EQ(decode("\x1b[99~"), Keys{});
    EXPECT_EQ(decode("\x1b[I"), Keys{});
    EXPECT_EQ(decode("\x1b[1;5"), Keys{});   // cut short for good
    EXPECT_EQ(decode("\x1b[99~q"), Keys{'q'});
}

}  // namespace
}  // namespace qv::rt
