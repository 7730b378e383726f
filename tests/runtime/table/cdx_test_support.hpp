#pragma once
// Helpers of the compound index tests: the fixture listings and temporary
// folders.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include "listing_text.hpp"
#include "runtime/core/date.hpp"
#include "runtime/table/cdx.hpp"

namespace qv::rt::table::cdx_test {

inline std::string fixture(const std::string& name) { return std::string(QV_FIXTURE_DIR) + name; }

struct ListedKey {
    std::uint32_t recno = 0;
    std::string key;   // as the listing shows it
};

struct ListedTag {
    std::string bag;
    TagInfo info;
    std::vector<ListedKey> keys;
};

using listing::unescape;
using listing::split_tabs;

// The TAG blocks of a fixture listing, in order.
inline std::vector<ListedTag> read_listing(const std::string& txt) {
    std::ifstream in(fixture(txt), std::ios::binary);
    std::vector<ListedTag> tags;
    std::string line, bag;
    while (std::getline(in, line)) {
        const auto f = split_tabs(line);
        if (f[0] == "INDEX") bag = f.at(1);
        if (f[0] != "TAG") continue;
        ListedTag t;
        t.bag = bag;
        t.info.name = f.at(1);
        std::size_t count = 0;
        while (std::getline(in, line) && line != "ENDTAG") {
            const auto g = split_tabs(line);
            if (g[0] == "KEY") t.info.key_expr = g.at(1);
            else if (g[0] == "FOR") t.info.for_expr = g.size() > 1 ? g[1] : "";
            else if (g[0] == "KEYTYPE") {
                t.info.type = static_cast<KeyType>(g.at(1).at(0));
                t.info.key_len = std::stoi(g.at(3));
            } else if (g[0] == "UNIQUE") {
                t.info.unique = g.at(1) == "T";
                t.info.descending = g.at(3) == "T";
            } else if (g[0] == "KEYS") {
                count = std::stoul(g.at(1));
            } else if (g.size() == 3) {
                t.keys.push_back({static_cast<std::uint32_t>(std::stoul(g[0])), unescape(g[1])});
            }
        }
        EXPECT_EQ(count, t.keys.size()) << txt << " " << t.info.name;
        tags.push_back(std::move(t));
    }
    return tags;
}

// A stored key as the listings write it.
inline std::string show_key(const std::string& key, KeyType type) {
    switch (type) {
        case KeyType::Character: return key;
        case KeyType::Logical: return key;
        case KeyType::Date: return DTOS(decode_key(key, type).as_date());
        case KeyType::Numeric: {
            char buf[64];
            auto r = std::to_chars(buf, buf + sizeof buf, decode_key(key, type).as_number(), std::chars_format::fixed);
            return std::string(buf, r.ptr);
        }
    }
    return key;
}

// The stored key for a listing's text (the inverse of show_key).
inline std::string stored_key(const std::string& shown, KeyType type, int key_len) {
    switch (type) {
        case KeyType::Character: return encode_key(Value(shown), type, key_len);
        case KeyType::Logical: return shown;
        case KeyType::Date: return encode_key(Value(STOD(shown)), type, key_len);
        case KeyType::Numeric: return encode_key(Value(std::stod(shown)), type, key_len);
    }
    return shown;
}

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "cdxtest.XXXXXX").string();
        path_ = mkdtemp(tmpl.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace qv::rt::table::cdx_test

namespace qv::rt::table::cdx_test {

// An independent reading of the pages of one tag, for structural checks of
// files this engine writes.
struct RawPage {
    std::uint32_t off = 0;
    int attr = 0;
    std::uint32_t left = 0, right = 0;
    std::vector<std::string> keys;        // raw stored bytes, full length
    std::vector<std::uint32_t> recs;
    std::vector<std::uint32_t> childs;
    std::string bytes;                    // the whole page
};

inline std::uint32_t le(const std::string& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}
inline std::uint32_t be32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline RawPage raw_page(const std::string& file, std::uint32_t off, int kl, char fill) {
    RawPage p;
    p.off = off;
    p.bytes = file.substr(off, 512);
    const std::string& b = p.bytes;
    p.attr = static_cast<int>(le(b, 0, 2));
    const int n = static_cast<int>(le(b, 2, 2));
    p.left = le(b, 4, 4);
    p.right = le(b, 8, 4);
    if (p.attr & 2) {
        const std::uint32_t rmask = le(b, 14, 4);
        const int rb = static_cast<unsigned char>(b[20]), db = static_cast<unsigned char>(b[21]);
        const int es = static_cast<unsigned char>(b[23]);
        int pos = 512;
        std::string prev;
        for (int i = 0; i < n; ++i) {
            std::uint64_t v = 0;
            for (int j = es - 1; j >= 0; --j) v = (v << 8) | static_cast<unsigned char>(b[24 + i * es + j]);
            const int dup = static_cast<int>((v >> rb) & static_cast<unsigned char>(b[18]));
            const int trail = static_cast<int>((v >> (rb + db)) & static_cast<unsigned char>(b[19]));
            const int len = kl - dup - trail;
            pos -= len;
            std::string key = prev.substr(0, static_cast<std::size_t>(dup)) + b.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(len)) +
                              std::string(static_cast<std::size_t>(trail), fill);
            p.keys.push_back(key);
            p.recs.push_back(static_cast<std::uint32_t>(v & rmask));
            prev = key;
        }
        EXPECT_EQ(static_cast<int>(le(b, 12, 2)), pos - 24 - n * es) << "free bytes of page " << off;
    } else {
        for (int i = 0; i < n; ++i) {
            const std::size_t at = 12 + static_cast<std::size_t>(i) * (kl + 8);
            p.keys.push_back(b.substr(at, static_cast<std::size_t>(kl)));
            p.recs.push_back(be32(b, at + kl));
            p.childs.push_back(be32(b, at + kl + 4));
        }
    }
    return p;
}

// The pages of a tag level by level (root first), each level in sibling order.
inline std::vector<std::vector<RawPage>> raw_levels(const std::string& file, std::uint32_t header, char fill) {
    const int kl = static_cast<int>(le(file, header + 12, 2));
    std::vector<std::vector<RawPage>> levels;
    std::uint32_t first = le(file, header, 4);
    for (int depth = 0; depth < 32; ++depth) {
        std::vector<RawPage> level;
        for (std::uint32_t off = first; off != 0xFFFFFFFFu && level.size() < 100000;) {
            level.push_back(raw_page(file, off, kl, fill));
            off = level.back().right;
        }
        levels.push_back(level);
        if (level.empty() || (level[0].attr & 2) || level[0].childs.empty()) break;
        first = level[0].childs[0];
    }
    return levels;
}

// Offset of a tag's header, from the directory page at 0x400 (one leaf).
inline std::uint32_t raw_tag_header(const std::string& file, const std::string& name) {
    const RawPage dir = raw_page(file, le(file, 0, 4), 10, ' ');
    for (std::size_t i = 0; i < dir.keys.size(); ++i) {
        std::string k = dir.keys[i];
        while (!k.empty() && k.back() == ' ') k.pop_back();
        if (k == name) return dir.recs[i];
    }
    return 0;
}

// Sibling links, root and leaf attributes, and parent entries holding the
// last key of each child, over the whole tag.
inline void expect_sound_tree(const std::string& path, const std::string& tag, char fill) {
    const std::string file = read_file(path);
    const std::uint32_t header = raw_tag_header(file, tag);
    ASSERT_NE(header, 0u) << tag;
    const auto levels = raw_levels(file, header, fill);
    for (std::size_t l = 0; l < levels.size(); ++l) {
        const auto& level = levels[l];
        ASSERT_FALSE(level.empty());
        const bool leaf = l + 1 == levels.size();
        for (std::size_t i = 0; i < level.size(); ++i) {
            const auto& p = level[i];
            EXPECT_EQ(p.attr, (leaf ? 2 : 0) | (l == 0 ? 1 : 0)) << "page " << p.off;
            EXPECT_EQ(p.left, i == 0 ? 0xFFFFFFFFu : level[i - 1].off) << "page " << p.off;
            if (!leaf || levels.size() > 1) {
                EXPECT_FALSE(p.keys.empty()) << "empty page " << p.off;
            }
        }
        if (leaf) break;
        // Children of the level, in order, are exactly the next level.
        std::vector<std::uint32_t> childs;
        std::vector<std::pair<std::string, std::uint32_t>> lasts;
        for (const auto& p : level)
            for (std::size_t i = 0; i < p.childs.size(); ++i) {
                childs.push_back(p.childs[i]);
                lasts.emplace_back(p.keys[i], p.recs[i]);
            }
        const auto& below = levels[l + 1];
        ASSERT_EQ(childs.size(), below.size()) << "level " << l;
        for (std::size_t i = 0; i < below.size(); ++i) {
            EXPECT_EQ(childs[i], below[i].off);
            ASSERT_FALSE(below[i].keys.empty());
            EXPECT_EQ(lasts[i].first, below[i].keys.back()) << "parent key of page " << below[i].off;
            EXPECT_EQ(lasts[i].second, below[i].recs.back()) << "parent record of page " << below[i].off;
        }
    }
}

}  // namespace qv::rt::table::cdx_test
