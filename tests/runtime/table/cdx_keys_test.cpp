// Key bytes: the ordered encodings and the CP850 collation.
#include <gtest/gtest.h>
#include <algorithm>
#include "cdx_test_support.hpp"

namespace qv::rt::table {
namespace {

using namespace cdx_test;

std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s += static_cast<char>(c);
    return s;
}

TEST(CdxKeyEncoding, NumbersAsOrderedDoubles) {
    EXPECT_EQ(encode_key(Value(0), KeyType::Numeric, 8), bytes({0x80, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encode_key(Value(1), KeyType::Numeric, 8), bytes({0xBF, 0xF0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encode_key(Value(2), KeyType::Numeric, 8), bytes({0xC0, 0x00, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encode_key(Value(10), KeyType::Numeric, 8), bytes({0xC0, 0x24, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encode_key(Value(-1), KeyType::Numeric, 8), bytes({0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(encode_key(Value(-0.0), KeyType::Numeric, 8), encode_key(Value(0), KeyType::Numeric, 8));
    // The key length of the tag does not matter for numbers.
    EXPECT_EQ(encode_key(Value(1), KeyType::Numeric, 4).size(), 8u);
}

TEST(CdxKeyEncoding, NumbersSortAsBytes) {
    const double values[] = {-99999.999, -847.5, -1, -0.001, 0, 0.001, 1, 2, 10, 12.5, 999999.999};
    for (std::size_t i = 1; i < std::size(values); ++i) {
        const auto a = encode_key(Value(values[i - 1]), KeyType::Numeric, 8);
        const auto b = encode_key(Value(values[i]), KeyType::Numeric, 8);
        EXPECT_LT(compare_keys(a, b, KeyType::Numeric), 0) << values[i - 1] << " " << values[i];
        EXPECT_EQ(decode_key(b, KeyType::Numeric).as_number(), values[i]);
    }
}

TEST(CdxKeyEncoding, DatesAsJulianDays) {
    const Date d = Date::from_ymd(1980, 1, 31);
    EXPECT_EQ(encode_key(Value(d), KeyType::Date, 8), bytes({0xC1, 0x42, 0xA5, 0xF7, 0, 0, 0, 0}));
    EXPECT_EQ(encode_key(Value(Date()), KeyType::Date, 8), bytes({0x80, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(decode_key(bytes({0xC1, 0x42, 0xA5, 0xF7, 0, 0, 0, 0}), KeyType::Date).as_date(), d);
    EXPECT_TRUE(decode_key(bytes({0x80, 0, 0, 0, 0, 0, 0, 0}), KeyType::Date).as_date().empty());
}

TEST(CdxKeyEncoding, LogicalsAndCharacters) {
    EXPECT_EQ(encode_key(Value(true), KeyType::Logical, 1), "T");
    EXPECT_EQ(encode_key(Value(false), KeyType::Logical, 1), "F");
    EXPECT_EQ(encode_key(Value("AB"), KeyType::Character, 5), "AB   ");
    EXPECT_EQ(encode_key(Value("ABCDEF"), KeyType::Character, 3), "ABC");
    EXPECT_EQ(encode_key(Value(std::string(300, 'x')), KeyType::Character, 300).size(), 240u);
}

TEST(CdxCollation, AccentedLettersBesideTheirPlainLetters) {
    const auto C = KeyType::Character;
    // É (0x90) between E and F; ç (0x87) between c and d; plain byte order
    // would put both after every letter.
    EXPECT_LT(compare_keys("E", "\x90", C), 0);
    EXPECT_LT(compare_keys("\x90", "F", C), 0);
    EXPECT_LT(compare_keys("c", "\x87", C), 0);
    EXPECT_LT(compare_keys("\x87", "d", C), 0);
    EXPECT_LT(compare_keys("Z", "[", C), 0);
    EXPECT_LT(compare_keys("`", "a", C), 0);
    EXPECT_LT(compare_keys("z", "{", C), 0);
    EXPECT_LT(compare_keys("\x80RICA", "\x90RICA", C), 0);   // Ç < É
    EXPECT_GT(compare_keys("\x90RICA", "EZ", C), 0);
}

TEST(CdxCollation, PartialComparesThePrefixOnly) {
    const auto C = KeyType::Character;
    EXPECT_EQ(compare_keys("ABC", "AB", C, true), 0);
    EXPECT_GT(compare_keys("ABC", "AB", C, false), 0);
    EXPECT_LT(compare_keys("AB", "ABC", C, false), 0);
    EXPECT_EQ(compare_keys("", "XYZ", C, true), 0);
}

TEST(CdxCollation, WholeOrderMatchesTheCollateFixture) {
    std::vector<std::string> listed;
    for (const auto& t : read_listing("collate.txt"))
        if (t.info.name == "CH")
            for (const auto& k : t.keys) listed.push_back(k.key);
    ASSERT_EQ(listed.size(), 256u);
    std::vector<std::string> all;
    for (int b = 0; b < 256; ++b) all.push_back(std::string(1, static_cast<char>(b)));
    std::sort(all.begin(), all.end(),
              [](const std::string& a, const std::string& b) { return compare_keys(a, b, KeyType::Character) < 0; });
    EXPECT_EQ(all, listed);
}

}  // namespace
}  // namespace qv::rt::table
