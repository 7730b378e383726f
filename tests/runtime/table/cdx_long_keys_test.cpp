// Tags of long keys (descriptions of 160 to 240 bytes in a 240-byte key, two
// entries per interior page): the tree stays shallow however the keys arrive.
#include <gtest/gtest.h>
#include <random>
#include "cdx_test_support.hpp"

namespace qv::rt::table {
namespace {

using namespace cdx_test;

enum class Arrival { Random, Ascending, SameKey };

std::string long_key(Arrival how, std::uint32_t i, std::mt19937& rng) {
    std::string k(240, ' ');
    switch (how) {
        case Arrival::Random: {   // a description of 160 to 240 letters
            const std::size_t len = 160 + rng() % 81;
            for (std::size_t j = 0; j < len; ++j) k[j] = static_cast<char>('A' + rng() % 26);
            break;
        }
        case Arrival::Ascending: {
            const std::string digits = std::to_string(i + 1000000);
            for (std::size_t j = 0; j < k.size(); ++j) k[j] = static_cast<char>('a' + (j * 7 + i) % 26);
            k.replace(0, digits.size(), digits);
            break;
        }
        case Arrival::SameKey: k.replace(0, 12, "DESCRICAO 01"); break;
    }
    return k;
}

class CdxLongKeys : public ::testing::TestWithParam<Arrival> {};

TEST_P(CdxLongKeys, HundredThousandAppendsStayWithinTwentyLevels) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    TagInfo info;
    info.name = "DESCR";
    info.key_expr = "DESCR";
    info.type = KeyType::Character;
    info.key_len = 240;
    cdx->build_tag(info, {});
    std::mt19937 rng(11);
    constexpr std::uint32_t kKeys = 100000;
    for (std::uint32_t r = 1; r <= kKeys; ++r) {
        cdx->insert(0, long_key(GetParam(), r, rng), r);
        if (r % 64 == 0) cdx->flush();
    }
    cdx->flush();
    EXPECT_EQ(cdx->key_count(0), kKeys);
    expect_sound_tree(path, "DESCR", ' ');
    const std::string file = read_file(path);
    EXPECT_LE(raw_levels(file, raw_tag_header(file, "DESCR"), ' ').size(), 20u);
}

INSTANTIATE_TEST_SUITE_P(Cdx, CdxLongKeys,
                         ::testing::Values(Arrival::Random, Arrival::Ascending, Arrival::SameKey));

}  // namespace
}  // namespace qv::rt::table
