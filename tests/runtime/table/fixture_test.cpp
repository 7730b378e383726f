// The fixture tables written by another xBase runtime read back exactly as
// their companion listings say: header, every record in natural order, every
// tag in index order, and seeks on listed keys.
#include <cstdio>

#include "table_test_util.hpp"
#include "runtime/table/table_error.hpp"

namespace qv::rt::table::test {
namespace {

std::string date_text(const Value& v) {
    const Date d = v.as_date();
    if (d.empty()) return "        ";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year(), d.month(), d.day());
    return buf;
}

class Fixture : public WorkspaceTest, public ::testing::WithParamInterface<const char*> {
protected:
    Table& open_fixture(const std::string& name, bool with_index) {
        OpenOptions o;
        o.read_only = true;
        o.structural_index = with_index;
        return ws.use(fixture_dir() + name + ".dbf", o);
    }
};

TEST_P(Fixture, HeaderAndEveryRecordMatchTheListing) {
    const std::string name = GetParam();
    const Listing l = read_listing(fixture_dir() + name + ".txt");
    Table& t = open_fixture(name, false);
    EXPECT_EQ(t.lastrec(), std::stoul(l.facts.at("RECCOUNT")));
    EXPECT_EQ(t.record_len(), std::stoi(l.facts.at("RECLEN")));
    EXPECT_EQ(t.header_len(), std::stoi(l.facts.at("HEADERLEN")));
    EXPECT_EQ(t.version(), std::stoi(l.facts.at("VERSION"), nullptr, 16));
    ASSERT_EQ(t.field_count(), static_cast<int>(l.fields.size()));
    for (std::size_t i = 0; i < l.fields.size(); ++i) {
        const Field& f = t.fields()[i];
        EXPECT_EQ(f.name, l.fields[i][0]);
        EXPECT_EQ(std::string(1, f.type), l.fields[i][1]);
        EXPECT_EQ(f.len, std::stoi(l.fields[i][2])) << f.name;
        EXPECT_EQ(f.dec, std::stoi(l.fields[i][3])) << f.name;
    }
    ASSERT_EQ(l.records.size(), t.lastrec());
    for (std::size_t r = 0; r < l.records.size(); ++r) {
        t.go_to(l.recnos[r]);
        ASSERT_FALSE(t.eof());
        EXPECT_EQ(t.deleted(), l.deleted[r]) << "record " << l.recnos[r];
        for (int i = 0; i < t.field_count(); ++i) {
            const Field& f = t.fields()[static_cast<std::size_t>(i)];
            const std::string& want = l.records[r][static_cast<std::size_t>(i)];
            const Value v = t.get(i);
            switch (f.type) {
                case 'N': EXPECT_DOUBLE_EQ(v.as_number(), std::stod(want)) << f.name << " rec " << l.recnos[r]; break;
                case 'D': EXPECT_EQ(date_text(v), want) << f.name << " rec " << l.recnos[r]; break;
                case 'L': EXPECT_EQ(v.as_bool() ? "T" : "F", want) << f.name << " rec " << l.recnos[r]; break;
                default: EXPECT_EQ(v.as_string(), want) << f.name << " rec " << l.recnos[r]; break;
            }
        }
    }
}

TEST_P(Fixture, EveryTagListsTheRecordsInIndexOrder) {
    const std::string name = GetParam();
    const Listing l = read_listing(fixture_dir() + name + ".txt");
    if (l.tags.empty()) GTEST_SKIP() << "no index";
    Table& t = open_fixture(name, true);
    for (const ListedTag& lt : l.tags)
        if (lt.bag != name + ".cdx") t.add_bag(fixture_dir() + lt.bag);
    ASSERT_EQ(t.order_count(), static_cast<int>(l.tags.size()));
    for (std::size_t n = 0; n < l.tags.size(); ++n) {
        const ListedTag& lt = l.tags[n];
        EXPECT_EQ(t.order_name(static_cast<int>(n) + 1), lt.name);
        ASSERT_TRUE(t.set_order(lt.name));
        const TagInfo* info = t.order_info();
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->key_expr, lt.key);
        EXPECT_EQ(info->key_len, lt.key_len);
        std::vector<std::uint32_t> got;
        for (t.go_top(); !t.eof(); t.skip(1)) got.push_back(t.recno());
        std::vector<std::uint32_t> want;
        for (const auto& k : lt.keys) want.push_back(k.first);
        EXPECT_EQ(got, want) << "tag " << lt.name;
        // and backwards from the bottom
        std::vector<std::uint32_t> back;
        for (t.go_bottom(); !t.bof(); t.skip(-1)) back.push_back(t.recno());
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(back, want) << "tag " << lt.name << " backwards";
    }
}

Value key_value(const ListedTag& lt, const std::string& text) {
    if (lt.type == "N") return Value(std::stod(text));
    if (lt.type == "L") return Value(text == "T");
    if (lt.type == "D") {
        if (text.find_first_not_of(' ') == std::string::npos) return Value(Date());
        return Value(Date::from_ymd(std::stoi(text.substr(0, 4)), std::stoi(text.substr(4, 2)),
                                    std::stoi(text.substr(6, 2))));
    }
    return Value(text);
}

TEST_P(Fixture, SeekFindsTheFirstListedRecordOfEachKey) {
    const std::string name = GetParam();
    const Listing l = read_listing(fixture_dir() + name + ".txt");
    if (l.tags.empty()) GTEST_SKIP() << "no index";
    Table& t = open_fixture(name, true);
    for (const ListedTag& lt : l.tags)
        if (lt.bag != name + ".cdx") t.add_bag(fixture_dir() + lt.bag);
    for (const ListedTag& lt : l.tags) {
        ASSERT_TRUE(t.set_order(lt.name));
        const std::size_t step = lt.keys.size() > 400 ? lt.keys.size() / 150 : 1;
        for (std::size_t i = 0; i < lt.keys.size(); i += step) {
            // the first entry of this key in reading order
            std::size_t first = i;
            while (first > 0 && lt.keys[first - 1].second == lt.keys[i].second) --first;
            const Value key = key_value(lt, lt.keys[i].second);
            EXPECT_TRUE(t.seek(key)) << lt.name << " key '" << lt.keys[i].second << "'";
            EXPECT_EQ(t.recno(), lt.keys[first].first) << lt.name << " key '" << lt.keys[i].second << "'";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Xbase, Fixture,
                         ::testing::Values("people", "assets", "rural", "agenda", "memo_fpt", "memo_dbt",
                                           "keys", "collate", "incr", "big"));

}  // namespace
}  // namespace qv::rt::table::test
