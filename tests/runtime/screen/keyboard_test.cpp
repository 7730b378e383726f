#include <gtest/gtest.h>

#include <stdexcept>

#include "screen_fixture.hpp"

namespace qv::rt::testing {
namespace {

using Keyboard = ScreenTest;

TEST_F(Keyboard, StuffedBytesAreKeyCodes) {
    KEYBOARD("AB\r\x1b");
    EXPECT_EQ(INKEY(), 'A');
    EXPECT_EQ(INKEY(), 'B');
    EXPECT_EQ(INKEY(), key::ENTER);
    EXPECT_EQ(INKEY(), key::ESC);
    EXPECT_EQ(INKEY(), 0);
}

TEST_F(Keyboard, Cp850BytesAreUnsignedCodes) {
    KEYBOARD("\x87\x80");
    EXPECT_EQ(INKEY(), 0x87);
    EXPECT_EQ(INKEY(), 0x80);
}

TEST_F(Keyboard, KeyboardReplacesWhatWasWaiting) {
    push_key(key::F2);
    KEYBOARD("x");
    EXPECT_EQ(INKEY(), 'x');
    EXPECT_EQ(INKEY(), 0);
}

TEST_F(Keyboard, PushKeyAppends) {
    KEYBOARD("a");
    push_key(key::ALT_W);
    push_key(key::F10);
    EXPECT_EQ(INKEY(), 'a');
    EXPECT_EQ(INKEY(), 273);
    EXPECT_EQ(INKEY(), -9);
}

TEST_F(Keyboard, KeysPushedInFrontComeBeforeThoseTypedAhead) {
    KEYBOARD("0");   // typed ahead, already taken from the terminal by a peek
    push_keys_front({key::ENTER, '1'});
    EXPECT_EQ(INKEY(), key::ENTER);
    EXPECT_EQ(INKEY(), '1');
    EXPECT_EQ(INKEY(), '0');
}

TEST_F(Keyboard, LastKeyIsTheLastOneRead) {
    EXPECT_EQ(LASTKEY(), 0);
    KEYBOARD("\r");
    INKEY();
    EXPECT_EQ(LASTKEY(), 13);
    EXPECT_EQ(INKEY(), 0);
    EXPECT_EQ(LASTKEY(), 13);   // "no key" does not count
}

TEST_F(Keyboard, NextKeyPeeks) {
    KEYBOARD("Z");
    EXPECT_EQ(NEXTKEY(), 'Z');
    EXPECT_EQ(NEXTKEY(), 'Z');
    EXPECT_EQ(LASTKEY(), 0);
    EXPECT_EQ(INKEY(), 'Z');
    EXPECT_EQ(NEXTKEY(), 0);
}

TEST_F(Keyboard, NextKeyLooksAtTheBackendToo) {
    term->feed(key::F2);
    EXPECT_EQ(NEXTKEY(), key::F2);
    EXPECT_EQ(term->pending(), 0u);
    EXPECT_EQ(INKEY(), key::F2);
}

TEST_F(Keyboard, EachKeyReadIsKnownAsTypedOrPutByTheProgram) {
    term->feed('t');
    term->feed('u');
    EXPECT_EQ(NEXTKEY(), 't');   // peeked: waits in the buffer, still typed
    push_keys_front({key::RIGHT});
    push_key('p');
    const std::pair<int, bool> expected[] = {{key::RIGHT, false}, {'t', true}, {'p', false}, {'u', true}};
    for (const auto& [code, typed] : expected) {
        EXPECT_EQ(INKEY(), code);
        EXPECT_EQ(LASTKEY_TYPED(), typed) << code;
    }
}

TEST_F(Keyboard, StuffedKeysComeBeforeTypedOnes) {
    term->feed('b');
    push_key('a');
    EXPECT_EQ(INKEY(), 'a');
    EXPECT_EQ(INKEY(), 'b');
}

TEST_F(Keyboard, HeadlessAnswersAWaitWithEscWhenDry) {
    EXPECT_EQ(INKEY(0), 0);
    EXPECT_EQ(term->starved_reads(), 0);
    EXPECT_EQ(INKEY(-1), key::ESC);
    EXPECT_EQ(INKEY(0.5), key::ESC);
    EXPECT_EQ(term->starved_reads(), 2);
}

TEST_F(Keyboard, FedTextIsCp850Codes) {
    term->feed_text("s\x87");
    EXPECT_EQ(term->pending(), 2u);
    EXPECT_EQ(INKEY(-1), 's');
    EXPECT_EQ(INKEY(-1), 0x87);
}

TEST_F(Keyboard, EndlessWaitingOnADryQueueFails) {
    at_say(0, 0, "Digite S ou N");
    bool threw = false;
    try {
        for (int i = 0; i <= HeadlessBackend::STARVED_LIMIT; ++i) INKEY(-1);
    } catch (const std::runtime_error& e) {
        threw = true;
        EXPECT_NE(std::string(e.what()).find("Digite S ou N"), std::string::npos);
    }
    EXPECT_TRUE(threw);
}

TEST_F(Keyboard, ClearTypeaheadEmptiesTheBuffer) {
    KEYBOARD("abc");
    CLEAR_TYPEAHEAD();
    EXPECT_EQ(INKEY(), 0);
}

TEST_F(Keyboard, SetKeyInstallsReplacesAndRemoves) {
    int calls = 0;
    EXPECT_FALSE(SETKEY(key::F1, [&] { ++calls; }));
    const KeyHandler* h = key_handler(key::F1);
    ASSERT_NE(h, nullptr);
    (*h)();
    EXPECT_EQ(calls, 1);

    KeyHandler old = SETKEY(key::F1, [&] { calls += 10; });
    ASSERT_TRUE(old);
    old();
    EXPECT_EQ(calls, 2);
    (*key_handler(key::F1))();
    EXPECT_EQ(calls, 12);

    EXPECT_TRUE(SETKEY(key::F1, {}));
    EXPECT_EQ(key_handler(key::F1), nullptr);
    EXPECT_EQ(key_handler(key::ALT_A), nullptr);
}

TEST_F(Keyboard, InkeyDoesNotRunHandlers) {
    bool ran = false;
    SETKEY(key::F1, [&] { ran = true; });
    push_key(key::F1);
    EXPECT_EQ(INKEY(), 28);
    EXPECT_FALSE(ran);
}

TEST(KeyboardStart, FreshHeadlessForgetsHandlersAndLastKey) {
    use_headless();
    SETKEY(key::F10, [] {});
    KEYBOARD("q");
    INKEY();
    SETCOLOR("W+/B");
    use_headless();
    EXPECT_EQ(key_handler(key::F10), nullptr);
    EXPECT_EQ(LASTKEY(), 0);
    EXPECT_EQ(SETCOLOR(), "W/N,N/W,N/N,N/N,N/W");
}

TEST(AltLetter, ScanCodesOfTheLetterKeys) {
    const struct {
        char letter;
        int code;
    } cases[] = {{'Q', 272}, {'W', 273}, {'E', 274}, {'R', 275}, {'T', 276}, {'Y', 277}, {'U', 278},
                 {'I', 279}, {'O', 280}, {'P', 281}, {'A', 286}, {'S', 287}, {'D', 288}, {'F', 289},
                 {'G', 290}, {'H', 291}, {'J', 292}, {'K', 293}, {'L', 294}, {'Z', 300}, {'X', 301},
                 {'C', 302}, {'V', 303}, {'B', 304}, {'N', 305}, {'M', 306}, {'a', 286}, {'w', 273}};
    for (const auto& c : cases) EXPECT_EQ(key::alt_letter(c.letter), c.code) << c.letter;
    EXPECT_EQ(key::alt_letter('1'), 0);
    EXPECT_EQ(key::alt_letter('\x87'), 0);
}

}  // namespace
}  // namespace qv::rt::testing
