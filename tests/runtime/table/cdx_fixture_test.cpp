// Reading the compound indexes written by another xBase runtime: every tag
// of every fixture walked in order must match its listing.
#include <gtest/gtest.h>
#include "cdx_test_support.hpp"

namespace qv::rt::table {
namespace {

using namespace cdx_test;

class CdxFixture : public ::testing::TestWithParam<const char*> {};

// Walks a tag with first()/next() and compares with the listing; then
// backwards with last()/prev().
void expect_tag_matches(CdxFile& cdx, const ListedTag& want) {
    const int tag = cdx.tag_number(want.info.name);
    ASSERT_GE(tag, 0) << want.info.name;
    cdx.set_key_type(tag, want.info.type);
    const TagInfo& got = cdx.tags()[static_cast<std::size_t>(tag)];
    EXPECT_EQ(got.key_expr, want.info.key_expr);
    EXPECT_EQ(got.for_expr, want.info.for_expr);
    EXPECT_EQ(got.key_len, want.info.key_len);
    EXPECT_EQ(got.unique, want.info.unique);
    EXPECT_EQ(got.descending, want.info.descending);

    std::vector<ListedKey> walked;
    for (auto p = cdx.first(tag); p && walked.size() <= want.keys.size(); p = cdx.next(tag, *p))
        walked.push_back({p->recno, show_key(p->key, want.info.type)});
    ASSERT_EQ(walked.size(), want.keys.size()) << want.info.name;
    for (std::size_t i = 0; i < walked.size(); ++i) {
        ASSERT_EQ(walked[i].recno, want.keys[i].recno) << want.info.name << " entry " << i;
        ASSERT_EQ(walked[i].key, want.keys[i].key) << want.info.name << " entry " << i;
    }
    std::size_t i = want.keys.size();
    for (auto p = cdx.last(tag); p; p = cdx.prev(tag, *p)) {
        ASSERT_GT(i, 0u);
        --i;
        ASSERT_EQ(p->recno, want.keys[i].recno) << want.info.name << " backwards " << i;
    }
    EXPECT_EQ(i, 0u);
    EXPECT_EQ(cdx.key_count(tag), want.keys.size());
}

TEST_P(CdxFixture, EveryTagWalksAsListed) {
    const std::string txt = std::string(GetParam()) + ".txt";
    const auto listed = read_listing(txt);
    ASSERT_FALSE(listed.empty());
    std::map<std::string, std::unique_ptr<CdxFile>> bags;
    for (const auto& want : listed) {
        auto& bag = bags[want.bag];
        if (!bag) bag = CdxFile::open(fixture(want.bag), true);
        expect_tag_matches(*bag, want);
    }
}

INSTANTIATE_TEST_SUITE_P(Cdx, CdxFixture,
                         ::testing::Values("people", "assets", "rural", "agenda", "big", "incr", "keys", "collate"),
                         [](const auto& info) { return std::string(info.param); });

TEST(CdxFixtureTags, OrdersFollowCreationNotNames) {
    auto cdx = CdxFile::open(fixture("keys.cdx"), true);
    std::vector<std::string> names;
    for (const auto& t : cdx->tags()) names.push_back(t.name);
    EXPECT_EQ(names, (std::vector<std::string>{"ID", "DT", "VAL", "FLAG", "VALDESC", "POSVAL", "UNAME", "DTNAME"}));
    EXPECT_EQ(cdx->tag_number("valdesc"), 4);
    EXPECT_EQ(cdx->tag_number("NOPE"), -1);
    const auto& t = cdx->tags();
    EXPECT_TRUE(t[4].descending);
    EXPECT_EQ(t[5].for_expr, "VAL > 0");
    EXPECT_TRUE(t[6].unique);
}

TEST(CdxFixtureTags, KeyTypeGuessedFromExpression) {
    auto cdx = CdxFile::open(fixture("keys.cdx"), true);
    const auto& t = cdx->tags();
    EXPECT_EQ(t[0].type, KeyType::Numeric);     // ID
    EXPECT_EQ(t[2].type, KeyType::Numeric);     // VAL
    EXPECT_EQ(t[6].type, KeyType::Character);   // UPPER(NAME)
    EXPECT_EQ(t[7].type, KeyType::Character);   // DTOS(DT)+NAME
    EXPECT_EQ(infer_key_type("DTOS(DT)", 8), KeyType::Character);
    EXPECT_EQ(infer_key_type("CTOD(X)", 8), KeyType::Date);
    EXPECT_EQ(infer_key_type("CPF", 11), KeyType::Character);
}

// Seeks against what the listings say.
class CdxSeek : public ::testing::Test {
protected:
    void SetUp() override {
        people = CdxFile::open(fixture("people.cdx"), true);
        for (const auto& t : read_listing("people.txt")) listing[t.info.name] = t;
        people->set_key_type(people->tag_number("EST"), KeyType::Numeric);
    }
    std::unique_ptr<CdxFile> people;
    std::map<std::string, ListedTag> listing;
};

TEST_F(CdxSeek, ExactKeyGivesLowestRecordOfTies) {
    const int cpf = people->tag_number("CPF");
    // 4, 18 and 151 share one CPF; the seek lands on 4, then 18, 151.
    const auto& keys = listing["CPF"].keys;
    std::string shared;
    for (const auto& k : keys)
        if (k.recno == 18) shared = k.key;
    auto p = people->seek(cpf, shared);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 4u);
    EXPECT_EQ(p->key, shared);
    p = people->next(cpf, *p);
    EXPECT_EQ(p->recno, 18u);
    p = people->next(cpf, *p);
    EXPECT_EQ(p->recno, 151u);
}

TEST_F(CdxSeek, EveryListedKeyIsFound) {
    for (const char* name : {"CPF", "NOME", "EST"}) {
        const auto& want = listing[name];
        const int tag = people->tag_number(name);
        for (std::size_t i = 0; i < want.keys.size(); ++i) {
            if (i > 0 && want.keys[i - 1].key == want.keys[i].key) continue;
            const auto p = people->seek(tag, stored_key(want.keys[i].key, want.info.type, want.info.key_len));
            ASSERT_TRUE(p) << name << " " << i;
            EXPECT_EQ(p->recno, want.keys[i].recno) << name << " " << i;
        }
    }
}

TEST_F(CdxSeek, PartialAndSoftSeek) {
    const int nome = people->tag_number("NOME");
    const auto& keys = listing["NOME"].keys;
    // The first name starting with "MARIA" in listing order.
    std::size_t first_maria = 0;
    while (keys[first_maria].key.rfind("MARIA", 0) != 0) ++first_maria;
    auto p = people->seek(nome, "MARIA");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, keys[first_maria].recno);
    // A prefix between keys: soft seek gives the next key in order.
    p = people->seek(nome, "MARIA DA CONCEI\x80\xC7OZ");
    ASSERT_TRUE(p);
    std::size_t after = first_maria;
    while (compare_keys(keys[after].key, "MARIA DA CONCEI\x80\xC7OZ", KeyType::Character, true) < 0) ++after;
    EXPECT_EQ(p->recno, keys[after].recno);
    // Past the end: nothing.
    EXPECT_FALSE(people->seek(nome, "\xFF\xFF"));
    // 31, 32 (MARIA DA CONCEIÇÃO) and 33 (lower case) share the UPPER key, in record order.
    p = people->seek(nome, "MARIA DA CONCEI\x80\xC7O ");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 31u);
    EXPECT_EQ(people->next(nome, *p)->recno, 32u);
    EXPECT_EQ(people->next(nome, *people->next(nome, *p))->recno, 33u);
}

TEST_F(CdxSeek, NumericKeys) {
    const int est = people->tag_number("EST");
    auto p = people->seek(est, encode_key(Value(99), KeyType::Numeric, 8));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 6u);
    EXPECT_FALSE(people->seek(est, encode_key(Value(100), KeyType::Numeric, 8)));
    p = people->seek(est, encode_key(Value(-5), KeyType::Numeric, 8));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 7u);   // blank ESTATUS is 0, the lowest key, record 7 first
}

TEST(CdxSeekTypes, DatesLogicalsAndCompoundKeys) {
    auto keys = CdxFile::open(fixture("keys.cdx"), true);
    const int dt = keys->tag_number("DT");
    keys->set_key_type(dt, KeyType::Date);
    auto p = keys->seek(dt, encode_key(Value(Date::from_ymd(1900, 1, 1)), KeyType::Date, 8));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 6u);
    p = keys->seek(dt, encode_key(Value(Date()), KeyType::Date, 8));   // empty dates first
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 4u);
    const int flag = keys->tag_number("FLAG");
    keys->set_key_type(flag, KeyType::Logical);
    p = keys->seek(flag, "T");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->key, "T");
    EXPECT_EQ(keys->prev(flag, *p)->key, "F");

    auto agenda = CdxFile::open(fixture("agendab.cdx"), true);
    p = agenda->seek(0, "09:0005/01/2024");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 21u);
    EXPECT_EQ(agenda->prev(0, *p)->recno, 24u);   // 01/05/2023 sorts day first
    EXPECT_EQ(agenda->next(0, *agenda->next(0, *p))->recno, 23u);
}

TEST(CdxSeekDescending, ReadingOrderIsReversed) {
    auto keys = CdxFile::open(fixture("keys.cdx"), true);
    const int desc = keys->tag_number("VALDESC");
    // 12 and 13 both hold 12.5: descending reading gives 13 first.
    auto p = keys->seek(desc, encode_key(Value(12.5), KeyType::Numeric, 8));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 13u);
    EXPECT_EQ(keys->next(desc, *p)->recno, 12u);
    // Soft: 12.6 is missing; the next in reading order is the largest below it.
    p = keys->seek(desc, encode_key(Value(12.6), KeyType::Numeric, 8));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->recno, 13u);
    EXPECT_EQ(keys->first(desc)->recno, 10u);   // 999999.999
    EXPECT_EQ(keys->last(desc)->recno, 11u);    // -99999.999
}

}  // namespace
}  // namespace qv::rt::table
