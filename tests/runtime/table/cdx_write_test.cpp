// Writing compound indexes: bulk builds laid out as the reference runtime
// lays them out, single inserts and removals against a model, and the
// directory, free list and cache behaviour.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include "cdx_test_support.hpp"

namespace qv::rt::table {
namespace {

using namespace cdx_test;

char fill_of(KeyType t) { return t == KeyType::Character ? ' ' : '\0'; }

std::vector<KeyPos> keys_of(const ListedTag& t) {
    std::vector<KeyPos> keys;
    for (const auto& k : t.keys) keys.push_back({stored_key(k.key, t.info.type, t.info.key_len), k.recno});
    // A UNIQUE tag must drop later records of the same key by itself.
    if (t.info.unique)
        for (const auto& k : t.keys) keys.push_back({stored_key(k.key, t.info.type, t.info.key_len), k.recno + 1000});
    std::reverse(keys.begin(), keys.end());
    return keys;
}

int first_difference(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) return static_cast<int>(i);
    return a.size() == b.size() ? -1 : static_cast<int>(std::min(a.size(), b.size()));
}

std::vector<KeyPos> walk(CdxFile& cdx, int tag) {
    std::vector<KeyPos> out;
    for (auto p = cdx.first(tag); p && out.size() < 1000000; p = cdx.next(tag, *p)) out.push_back(*p);
    return out;
}

// Rebuilding every tag of a bulk-built fixture from its listing gives the
// same pages: leaf bytes (but for the sibling offsets) and interior entries
// (but for the child offsets), level by level.
class CdxBulkLayout : public ::testing::TestWithParam<const char*> {};

TEST_P(CdxBulkLayout, SameLeavesAndInteriorEntriesAsTheReference) {
    TempDir dir;
    const auto listed = read_listing(std::string(GetParam()) + ".txt");
    std::map<std::string, std::unique_ptr<CdxFile>> ours;
    for (const auto& t : listed) {
        auto& cdx = ours[t.bag];
        if (!cdx) cdx = CdxFile::create(dir.file(t.bag));
        cdx->build_tag(t.info, keys_of(t));
    }
    for (const auto& t : listed) {
        const std::string theirs_file = read_file(fixture(t.bag));
        const std::string ours_file = read_file(dir.file(t.bag));
        ASSERT_NE(raw_tag_header(theirs_file, t.info.name), 0u);
        ASSERT_NE(raw_tag_header(ours_file, t.info.name), 0u);
        const auto theirs = raw_levels(theirs_file, raw_tag_header(theirs_file, t.info.name), fill_of(t.info.type));
        const auto mine = raw_levels(ours_file, raw_tag_header(ours_file, t.info.name), fill_of(t.info.type));
        ASSERT_EQ(mine.size(), theirs.size()) << t.info.name << " depth";
        for (std::size_t l = 0; l < mine.size(); ++l) {
            ASSERT_EQ(mine[l].size(), theirs[l].size()) << t.info.name << " level " << l;
            for (std::size_t i = 0; i < mine[l].size(); ++i) {
                const auto& a = mine[l][i];
                const auto& b = theirs[l][i];
                EXPECT_EQ(a.attr, b.attr);
                EXPECT_EQ(a.keys, b.keys) << t.info.name << " level " << l << " page " << i;
                EXPECT_EQ(a.recs, b.recs) << t.info.name << " level " << l << " page " << i;
                if (a.attr & 2) {
                    EXPECT_EQ(first_difference(a.bytes.substr(12), b.bytes.substr(12)), -1) << t.info.name << " leaf " << i;
                }
            }
        }
        // The tag header: everything but the root offset.
        const auto ha = raw_tag_header(ours_file, t.info.name), hb = raw_tag_header(theirs_file, t.info.name);
        EXPECT_EQ(first_difference(ours_file.substr(ha + 4, 1020), theirs_file.substr(hb + 4, 1020)), -1)
            << t.info.name << " header";
        expect_sound_tree(dir.file(t.bag), t.info.name, fill_of(t.info.type));
    }
    // With the same pages the tag headers land at the same offsets, so even
    // the directory and the compound header match (but for the writer's
    // signature bytes).
    for (const auto& [bag, cdx] : ours) {
        cdx->flush();
        std::string a = read_file(dir.file(bag)), b = read_file(fixture(bag));
        EXPECT_EQ(a.size(), b.size()) << bag;
        for (std::size_t i = 16; i < 24; ++i) b[i] = 0;
        a[8] = a[9] = a[10] = a[11] = 0;   // change counter
        EXPECT_EQ(first_difference(a.substr(0, 0x600), b.substr(0, 0x600)), -1) << bag;
    }
}

INSTANTIATE_TEST_SUITE_P(Cdx, CdxBulkLayout,
                         ::testing::Values("people", "assets", "rural", "agenda", "big", "keys", "collate"),
                         [](const auto& info) { return std::string(info.param); });

TagInfo char_tag(const std::string& name, int len) {
    TagInfo t;
    t.name = name;
    t.key_expr = name;
    t.type = KeyType::Character;
    t.key_len = len;
    return t;
}

TEST(CdxWrite, DirectorySortedByNameOrdersByCreation) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    {
        auto cdx = CdxFile::create(path);
        EXPECT_TRUE(cdx->tags().empty());
        for (const char* name : {"ZETA", "alfa", "MEIO"}) cdx->build_tag(char_tag(name, 5), {{"X", 1}});
    }
    auto cdx = CdxFile::open(path);
    ASSERT_EQ(cdx->tags().size(), 3u);
    EXPECT_EQ(cdx->tags()[0].name, "ZETA");
    EXPECT_EQ(cdx->tags()[1].name, "ALFA");
    EXPECT_EQ(cdx->tags()[2].name, "MEIO");
    const std::string file = read_file(path);
    EXPECT_EQ(static_cast<unsigned char>(file[14]), 0xE0);
    EXPECT_EQ(le(file, 12, 2), 10u);
    const RawPage d = raw_page(file, le(file, 0, 4), 10, ' ');
    EXPECT_EQ(d.keys, (std::vector<std::string>{"ALFA      ", "MEIO      ", "ZETA      "}));
    EXPECT_LT(d.recs[2], d.recs[0]);   // ZETA was created first
    EXPECT_THROW(cdx->build_tag(char_tag("TOO_LONG_NAME", 5), {}), CdxError);
}

TEST(CdxWrite, ManyTagsGrowTheDirectory) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    for (int i = 0; i < 60; ++i) cdx->build_tag(char_tag("T" + std::to_string(100 + i), 4), {{"K", 1}});
    auto again = CdxFile::open(path);
    ASSERT_EQ(again->tags().size(), 60u);
    for (int i = 0; i < 60; ++i) EXPECT_EQ(again->tags()[static_cast<std::size_t>(i)].name, "T" + std::to_string(100 + i));
}

TEST(CdxWrite, BulkBuildPutsTiesInRecordOrder) {
    TempDir dir;
    auto cdx = CdxFile::create(dir.file("t.cdx"));
    std::vector<KeyPos> keys;
    for (std::uint32_t r = 1; r <= 3000; ++r) keys.push_back({std::string(1, static_cast<char>('A' + r % 7)) + "KEY", r});
    std::mt19937 rng(7);
    std::shuffle(keys.begin(), keys.end(), rng);
    cdx->build_tag(char_tag("K", 10), keys);
    const auto got = walk(*cdx, 0);
    ASSERT_EQ(got.size(), 3000u);
    for (std::size_t i = 1; i < got.size(); ++i) {
        const int c = compare_keys(got[i - 1].key, got[i].key, KeyType::Character);
        ASSERT_TRUE(c < 0 || (c == 0 && got[i - 1].recno < got[i].recno)) << i;
    }
    EXPECT_EQ(got[0].key, "AKEY      ");
    EXPECT_EQ(got[0].recno, 7u);
    EXPECT_EQ(cdx->key_count(0), 3000u);
    expect_sound_tree(dir.file("t.cdx"), "K", ' ');

    auto info = char_tag("U", 10);
    info.unique = true;
    cdx->build_tag(info, keys);
    const auto uniq = walk(*cdx, 1);
    ASSERT_EQ(uniq.size(), 7u);
    for (const auto& k : uniq) EXPECT_LE(k.recno, 7u);
}

// Keys side by side in a block, width different from the key length.
KeyBlock block_of(const std::vector<KeyPos>& keys, std::size_t width) {
    KeyBlock b;
    b.width = width;
    b.bytes = LargeBuffer(keys.size() * width);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::string k = keys[i].key;
        k.resize(width, ' ');
        std::memcpy(b.bytes.data() + i * width, k.data(), width);
        b.recs.push_back(keys[i].recno);
    }
    return b;
}

void expect_in_order(CdxFile& cdx, int tag, std::size_t count) {
    const auto got = walk(cdx, tag);
    ASSERT_EQ(got.size(), count);
    for (std::size_t i = 1; i < got.size(); ++i) {
        const int c = compare_keys(got[i - 1].key, got[i].key, KeyType::Character);
        ASSERT_TRUE(c < 0 || (c == 0 && got[i - 1].recno < got[i].recno)) << tag << " at " << i;
    }
}

// Long keys that share long beginnings and tie in long runs: the sort goes
// past the first bytes, and ties stay in record order whether the records
// come in order or not.
TEST(CdxWrite, BulkBuildOfLongKeysWithLongTies) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    std::vector<KeyPos> keys;
    for (std::uint32_t r = 1; r <= 6000; ++r)
        keys.push_back({"SAME BEGINNING OF A NAME " + std::to_string(r % 3) + " AND " + std::to_string(r % 5), r});
    cdx->build_tag_from(char_tag("INORDER", 40), block_of(keys, 40));
    std::mt19937 rng(11);
    std::shuffle(keys.begin(), keys.end(), rng);
    cdx->build_tag_from(char_tag("SHUFFLED", 40), block_of(keys, 33));
    cdx->build_tag(char_tag("FROMLIST", 40), keys);
    for (int tag = 0; tag < 3; ++tag) expect_in_order(*cdx, tag, 6000);
    const auto first = walk(*cdx, 1).front();
    EXPECT_EQ(first.key.substr(0, 32), "SAME BEGINNING OF A NAME 0 AND 0");
    EXPECT_EQ(first.recno, 15u);
    for (const char* tag : {"INORDER", "SHUFFLED", "FROMLIST"}) expect_sound_tree(path, tag, ' ');
}

// REINDEX lays the file out anew: the old trees' pages and the free list
// are gone, the change counter moved, and another handle reads the result.
TEST(CdxWrite, RebuildLaysTheWholeFileOutAgain) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    std::vector<KeyPos> keys;
    for (std::uint32_t r = 1; r <= 4000; ++r) keys.push_back({"K" + std::to_string(r * 7919 % 10007), r});
    cdx->build_tag(char_tag("A", 12), keys);
    cdx->build_tag(char_tag("B", 12), keys);
    for (std::uint32_t r = 1; r <= 4000; r += 2) cdx->remove(0, keys[r - 1].key, r);
    for (std::uint32_t r = 1; r <= 4000; ++r) cdx->insert(1, "Z" + std::to_string(r), 10000 + r);
    cdx->flush();
    const auto counter = [&] { return be32(read_file(path), 8); };
    const std::uint32_t before = counter();
    const auto grown = std::filesystem::file_size(path);

    std::vector<KeyBlock> blocks;
    blocks.push_back(block_of(keys, 12));
    blocks.push_back(block_of(keys, 12));
    cdx->rebuild({char_tag("A", 12), char_tag("B", 12)}, std::move(blocks));
    EXPECT_LT(std::filesystem::file_size(path), grown);
    EXPECT_NE(counter(), before);
    const std::string after = read_file(path);
    EXPECT_EQ(after.substr(4, 4), std::string(4, '\0'));   // empty free list
    EXPECT_EQ(cdx->tag_number("B"), 1);
    expect_in_order(*cdx, 0, 4000);
    expect_in_order(*cdx, 1, 4000);
    auto other = CdxFile::open(path);
    expect_in_order(*other, 1, 4000);
    expect_sound_tree(path, "A", ' ');
    expect_sound_tree(path, "B", ' ');
}

TEST(CdxWrite, RebuildKeepsOrderNumberAndReusesPages) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    std::vector<KeyPos> keys;
    for (std::uint32_t r = 1; r <= 5000; ++r) keys.push_back({"K" + std::to_string(r * 7919 % 10007), r});
    cdx->build_tag(char_tag("A", 12), keys);
    cdx->build_tag(char_tag("B", 12), keys);
    const auto size = std::filesystem::file_size(path);
    cdx->build_tag(char_tag("A", 12), keys);
    EXPECT_EQ(std::filesystem::file_size(path), size);
    EXPECT_EQ(cdx->tag_number("A"), 0);
    EXPECT_EQ(walk(*cdx, 0).size(), 5000u);
    expect_sound_tree(path, "A", ' ');
    auto again = CdxFile::open(path);
    EXPECT_EQ(walk(*again, 0).size(), 5000u);
    EXPECT_EQ(walk(*again, 1).size(), 5000u);
}

// The model: (key, recno) pairs in collation order.
struct ModelLess {
    bool operator()(const std::pair<std::string, std::uint32_t>& a, const std::pair<std::string, std::uint32_t>& b) const {
        const int c = compare_keys(a.first, b.first, KeyType::Character);
        return c != 0 ? c < 0 : a.second < b.second;
    }
};
using Model = std::set<std::pair<std::string, std::uint32_t>, ModelLess>;

void expect_matches(CdxFile& cdx, int tag, const Model& model, const std::string& when) {
    const auto got = walk(cdx, tag);
    ASSERT_EQ(got.size(), model.size()) << when;
    auto it = model.begin();
    for (std::size_t i = 0; i < got.size(); ++i, ++it) {
        ASSERT_EQ(got[i].key, it->first) << when << " entry " << i;
        ASSERT_EQ(got[i].recno, it->second) << when << " entry " << i;
    }
    EXPECT_EQ(cdx.key_count(tag), model.size()) << when;
}

// Every leaf of the tag as a page laid out whole would have it: nothing
// but zeros between its entries and its packed keys.
void expect_clean_free_space(const std::string& path, const std::string& tag, const std::string& when) {
    const std::string file = read_file(path);
    const auto levels = raw_levels(file, raw_tag_header(file, tag), ' ');
    for (const auto& p : levels.back()) {
        const std::size_t entries = 24 + le(p.bytes, 2, 2) * static_cast<unsigned char>(p.bytes[23]);
        const std::string gap = p.bytes.substr(entries, le(p.bytes, 12, 2));
        EXPECT_EQ(gap, std::string(gap.size(), '\0')) << "leaf " << p.off << " " << when;
    }
}

// Changes written in batches, and each written on its own as a run of
// appends writes them (the page brought up to date key by key).
class CdxRandomChanges : public ::testing::TestWithParam<int> {};

TEST_P(CdxRandomChanges, MatchTheModel) {
    const int flush_every = GetParam();
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    cdx->build_tag(char_tag("R", 20), {});
    std::mt19937 rng(20240531);
    const std::string letters = "AB\x90\x80" "CEabc \x87";
    Model model;
    std::vector<std::pair<std::string, std::uint32_t>> present;
    for (int op = 1; op <= 10000; ++op) {
        const bool growing = op <= 6000;
        const bool do_insert = present.empty() || (rng() % 10) < (growing ? 7u : 3u);
        if (do_insert) {
            std::string key;
            const std::size_t len = 1 + rng() % 20;
            for (std::size_t i = 0; i < len; ++i) key += letters[rng() % letters.size()];
            key = encode_key(Value(key), KeyType::Character, 20);
            const std::uint32_t rec = 1 + rng() % 100000;
            if (model.insert({key, rec}).second) present.emplace_back(key, rec);
            cdx->insert(0, key, rec);
        } else {
            const std::size_t at = rng() % present.size();
            const auto victim = present[at];
            present[at] = present.back();
            present.pop_back();
            model.erase(victim);
            cdx->remove(0, victim.first, victim.second);
        }
        if (op % flush_every == 0) cdx->flush();
        if (op % 500 == 0) {
            cdx->flush();
            const std::string when = "after op " + std::to_string(op);
            expect_matches(*cdx, 0, model, when);
            auto fresh = CdxFile::open(path, true);
            expect_matches(*fresh, 0, model, when + " (reopened)");
            expect_sound_tree(path, "R", ' ');
            expect_clean_free_space(path, "R", when);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
    // Removing a key that is not there changes nothing.
    cdx->remove(0, encode_key(Value("ZZZ"), KeyType::Character, 20), 1);
    expect_matches(*cdx, 0, model, "end");
}

INSTANTIATE_TEST_SUITE_P(CdxWrite, CdxRandomChanges, ::testing::Values(500, 1));

TEST(CdxWrite, AppendsGrowTheTreeWithFullPages) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    TagInfo info;
    info.name = "N";
    info.key_expr = "N";
    info.type = KeyType::Numeric;
    info.key_len = 8;
    cdx->build_tag(info, {});
    for (std::uint32_t r = 1; r <= 20000; ++r) cdx->insert(0, encode_key(Value(static_cast<double>(r) * 3.5), KeyType::Numeric, 8), r);
    cdx->flush();
    expect_sound_tree(path, "N", '\0');
    const std::string file = read_file(path);
    const auto levels = raw_levels(file, raw_tag_header(file, "N"), '\0');
    EXPECT_GE(levels.size(), 3u);
    // Every leaf but the last is (nearly) full.
    for (std::size_t i = 0; i + 1 < levels.back().size(); ++i) EXPECT_LT(le(levels.back()[i].bytes, 12, 2), 16u) << i;
    auto p = cdx->seek(0, encode_key(Value(35.0), KeyType::Numeric, 8));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 10u);
    EXPECT_EQ(cdx->last(0)->recno, 20000u);
    // Remove everything, then the empty tag takes keys again.
    for (std::uint32_t r = 1; r <= 20000; ++r) cdx->remove(0, encode_key(Value(static_cast<double>(r) * 3.5), KeyType::Numeric, 8), r);
    EXPECT_FALSE(cdx->first(0));
    EXPECT_EQ(cdx->key_count(0), 0u);
    cdx->flush();
    {
        // The freed pages form a chain from the header: each holds the next
        // page's offset in its first 4 bytes and zeros after it.
        const std::string file = read_file(path);
        std::uint32_t page = le(file, 4, 4);
        int pages = 0;
        for (; page != 0 && pages < 10000; page = le(file, page, 4), ++pages)
            EXPECT_EQ(file.substr(page + 4, 508), std::string(508, '\0'));
        EXPECT_GT(pages, 50);
        EXPECT_EQ(page, 0u);
    }
    cdx->insert(0, encode_key(Value(1), KeyType::Numeric, 8), 1);
    EXPECT_EQ(cdx->first(0)->recno, 1u);
    cdx->flush();
    // The freed pages are reused instead of growing the file.
    const auto size = std::filesystem::file_size(path);
    for (std::uint32_t r = 2; r <= 5000; ++r) cdx->insert(0, encode_key(Value(static_cast<double>(r)), KeyType::Numeric, 8), r);
    cdx->flush();
    EXPECT_EQ(std::filesystem::file_size(path), size);
    expect_sound_tree(path, "N", '\0');
}

// Changing a tree another runtime grew by appends (half-full pages out of
// key order, three pages on the free list), its pages written after all
// the changes or after each (then brought up to date from their bytes as
// the other runtime laid them out).
class CdxReferenceChanges : public ::testing::TestWithParam<bool> {};

TEST_P(CdxReferenceChanges, KeepTheTreeSound) {
    const bool each = GetParam();
    TempDir dir;
    const auto path = dir.file("incr.cdx");
    std::filesystem::copy_file(fixture("incr.cdx"), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ListedTag cpf;
    for (const auto& t : read_listing("incr.txt"))
        if (t.info.name == "CPF") cpf = t;
    Model model;
    for (const auto& k : cpf.keys) model.insert({k.key, k.recno});
    auto cdx = CdxFile::open(path);
    const int tag = cdx->tag_number("CPF");
    for (std::size_t i = 0; i < cpf.keys.size(); i += 3) {
        cdx->remove(tag, cpf.keys[i].key, cpf.keys[i].recno);
        model.erase({cpf.keys[i].key, cpf.keys[i].recno});
        if (each) cdx->flush();
    }
    for (std::uint32_t r = 3001; r <= 4500; ++r) {
        const std::string key = std::to_string(50000000000ull + r * 7777777ull % 49999999999ull);
        cdx->insert(tag, key, r);
        model.insert({key, r});
        if (each) cdx->flush();
    }
    cdx->flush();
    expect_matches(*cdx, tag, model, "changed");
    auto fresh = CdxFile::open(path, true);
    expect_matches(*fresh, tag, model, "reopened");
    expect_sound_tree(path, "CPF", ' ');
    EXPECT_NE(le(read_file(path), 4, 4), 0x14000u);   // the free pages were taken
    // The other tags are untouched.
    EXPECT_EQ(fresh->key_count(fresh->tag_number("NOME")), 3000u);
}

INSTANTIATE_TEST_SUITE_P(CdxWrite, CdxReferenceChanges, ::testing::Bool());

TEST(CdxWrite, ThinnedOutLeavesAreMerged) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    std::vector<KeyPos> keys;
    for (std::uint32_t r = 1; r <= 4000; ++r) keys.push_back({"K" + std::to_string(100000 + r), r});
    cdx->build_tag(char_tag("K", 10), keys);
    auto leaves = [&] {
        cdx->flush();
        const std::string file = read_file(path);
        return raw_levels(file, raw_tag_header(file, "K"), ' ').back().size();
    };
    const auto full = leaves();
    Model model;
    for (const auto& k : keys) model.insert({encode_key(Value(k.key), KeyType::Character, 10), k.recno});
    std::mt19937 rng(3);
    std::shuffle(keys.begin(), keys.end(), rng);
    for (std::size_t i = 0; i < 3600; ++i) {
        cdx->remove(0, keys[i].key, keys[i].recno);
        model.erase({encode_key(Value(keys[i].key), KeyType::Character, 10), keys[i].recno});
    }
    expect_matches(*cdx, 0, model, "thinned");
    cdx->flush();
    expect_sound_tree(path, "K", ' ');
    EXPECT_LT(leaves(), full / 3);   // 10% of the keys left
}

TEST(CdxWrite, UniqueAndDescendingTagsOnInsert) {
    TempDir dir;
    auto cdx = CdxFile::create(dir.file("t.cdx"));
    auto u = char_tag("U", 4);
    u.unique = true;
    cdx->build_tag(u, {});
    auto d = char_tag("D", 4);
    d.descending = true;
    cdx->build_tag(d, {});
    for (std::uint32_t r = 1; r <= 6; ++r) {
        const std::string key = r % 2 ? "ODD " : "EVEN";
        cdx->insert(0, key, r);
        cdx->insert(1, key, r);
    }
    const auto uw = walk(*cdx, 0);
    ASSERT_EQ(uw.size(), 2u);
    EXPECT_EQ(uw[0].recno, 2u);
    EXPECT_EQ(uw[1].recno, 1u);
    std::vector<std::uint32_t> order;
    for (const auto& k : walk(*cdx, 1)) order.push_back(k.recno);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{5, 3, 1, 6, 4, 2}));
    EXPECT_EQ(cdx->seek(1, "EV")->recno, 6u);
    EXPECT_EQ(cdx->prev(1, {"EVEN", 6})->recno, 1u);
}

TEST(CdxWrite, InvalidateSeesChangesOfAnotherHandle) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto writer = CdxFile::create(path);
    writer->build_tag(char_tag("K", 6), {{"AAA", 1}, {"CCC", 3}});
    auto reader = CdxFile::open(path);
    EXPECT_EQ(reader->seek(0, "B")->recno, 3u);
    writer->insert(0, "BBB", 2);
    writer->flush();   // what the work-area layer does before unlocking
    reader->invalidate();
    EXPECT_EQ(reader->seek(0, "B")->recno, 2u);
    writer->build_tag(char_tag("NEW", 6), {});
    reader->invalidate();
    reader->first(0);
    EXPECT_EQ(reader->tag_number("NEW"), 1);
}

TEST(CdxWrite, FlushBumpsTheChangeCounterOnlyAfterChanges) {
    TempDir dir;
    const auto path = dir.file("t.cdx");
    auto cdx = CdxFile::create(path);
    cdx->build_tag(char_tag("K", 6), {{"AAA", 1}});
    cdx->flush();
    const auto counter = [&] { return be32(read_file(path), 8); };
    const std::uint32_t before = counter();
    cdx->flush();
    cdx->seek(0, "A");
    cdx->invalidate();
    EXPECT_EQ(counter(), before);
    cdx->insert(0, "BBB", 2);
    cdx->flush();
    EXPECT_EQ(counter(), before + 1);
    // A change made and flushed by another handle is seen after invalidate,
    // and not lost by this handle's own cache.
    auto other = CdxFile::open(path);
    other->remove(0, "AAA", 1);
    other->flush();
    cdx->invalidate();
    EXPECT_EQ(cdx->first(0)->recno, 2u);
    EXPECT_EQ(cdx->key_count(0), 1u);
}

TEST(CdxWrite, ReadOnlyRefusesChanges) {
    auto cdx = CdxFile::open(fixture("people.cdx"), true);
    EXPECT_THROW(cdx->insert(0, "00000000000", 999), CdxError);
    EXPECT_THROW(cdx->build_tag(char_tag("X", 3), {}), CdxError);
}

}  // namespace
}  // namespace qv::rt::table
