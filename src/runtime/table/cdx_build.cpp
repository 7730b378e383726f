// Building a whole tag at once (INDEX ON): keys sorted by collated key and
// record number, leaves packed as full as they go, interior levels on top,
// and the pages written in a few large writes.
#include <algorithm>
#include "runtime/table/cdx_internal.hpp"

namespace qv::rt::table::cdx {

namespace {

TagInfo normalized(const TagInfo& info) {
    TagInfo t = info;
    for (char& c : t.name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    switch (t.type) {
        case KeyType::Numeric:
        case KeyType::Date: t.key_len = 8; break;
        case KeyType::Logical: t.key_len = 1; break;
        case KeyType::Character: t.key_len = std::min(t.key_len, kMaxKeyLen); break;
    }
    return t;
}

bool valid_name(std::string_view name) {
    if (name.empty() || name.size() > static_cast<std::size_t>(kDirKeyLen)) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

}  // namespace

void CdxIndex::write_tag_header(const Tree& t) {
    unsigned char h[kTagHeaderSize] = {};
    const std::string& key = t.info.key_expr;
    const std::string& cond = t.info.for_expr;
    put_le32(h, t.root);
    put_le16(h + 12, static_cast<std::uint32_t>(t.info.key_len));
    h[14] = static_cast<unsigned char>(0x60 | (t.info.unique ? 0x01 : 0) | (cond.empty() ? 0 : 0x08));
    h[15] = 0x01;
    put_le16(h + 16, kTagHeaderSize);   // header and page sizes, as other writers leave them
    put_le16(h + 18, kPageSize);
    put_le16(h + 0x1F6, t.info.descending ? 1 : 0);
    put_le16(h + 0x1F8, static_cast<std::uint32_t>(key.size() + 1));
    put_le16(h + 0x1FA, static_cast<std::uint32_t>(cond.size() + 1));
    put_le16(h + 0x1FC, 0);
    put_le16(h + 0x1FE, static_cast<std::uint32_t>(key.size() + 1));
    std::memcpy(h + 0x200, key.data(), key.size());
    std::memcpy(h + 0x200 + key.size() + 1, cond.data(), cond.size());
    write_at(t.header, h, sizeof h);
}

std::uint32_t CdxIndex::build_pages(const Tree& t, std::string sorted, std::vector<std::uint32_t> recs) {
    const int kl = t.codec.kl;
    const auto n = static_cast<int>(recs.size());
    std::vector<std::uint32_t> made;   // every page, to write at the end
    std::vector<std::uint32_t> level;

    auto key_at = [&](int i) { return sorted.data() + static_cast<std::size_t>(i) * kl; };
    int i = 0;
    do {
        const int start = i;
        std::uint32_t max_rec = 0;
        int key_bytes = 0;
        for (; i < n; ++i) {
            const int len = packed_key_len(key_at(i), i > start ? key_at(i - 1) : nullptr, kl, t.codec.sfill);
            const std::uint32_t top = std::max(max_rec, recs[i]);
            if ((i - start + 1) * leaf_entry_bytes(top, kl) + key_bytes + len > kLeafSpace) break;
            max_rec = top;
            key_bytes += len;
        }
        Node& leaf = new_node(t, 2);
        leaf.keys.assign(key_at(start), static_cast<std::size_t>(i - start) * kl);
        leaf.recs.assign(recs.begin() + start, recs.begin() + i);
        level.push_back(leaf.off);
    } while (i < n);
    made = level;

    auto link = [&](const std::vector<std::uint32_t>& pages) {
        for (std::size_t j = 0; j < pages.size(); ++j) {
            Node& p = cache_.at(pages[j]);
            p.left = j > 0 ? pages[j - 1] : kNoPage;
            p.right = j + 1 < pages.size() ? pages[j + 1] : kNoPage;
        }
    };
    link(level);
    const auto cap = static_cast<std::size_t>(interior_capacity(kl));
    while (level.size() > 1) {
        std::vector<std::uint32_t> up;
        for (std::size_t j = 0; j < level.size(); j += cap) {
            Node& p = new_node(t, 0);
            for (std::size_t c = j; c < std::min(level.size(), j + cap); ++c) {
                const Node& child = cache_.at(level[c]);
                p.insert(p.size(), child.key(child.size() - 1), child.recs.back(), child.off);
            }
            up.push_back(p.off);
        }
        link(up);
        made.insert(made.end(), up.begin(), up.end());
        level = std::move(up);
    }
    cache_.at(level[0]).attr |= 1;

    // Write runs of consecutive pages with one call each.
    std::sort(made.begin(), made.end());
    std::vector<unsigned char> run;
    std::uint32_t run_start = 0;
    for (std::size_t j = 0; j <= made.size(); ++j) {
        if (j == made.size() || (j > 0 && made[j] != made[j - 1] + kPageSize)) {
            if (!run.empty()) write_at(run_start, run.data(), run.size());
            run.clear();
            if (j == made.size()) break;
        }
        if (run.empty()) run_start = made[j];
        run.resize(run.size() + kPageSize);
        Node& page = cache_.at(made[j]);
        encode_page(page, t.codec, run.data() + run.size() - kPageSize);
        page.dirty = false;
    }
    return level[0];
}

void CdxIndex::build_tag(const TagInfo& info, std::vector<KeyPos> keys) {
    begin_call();
    need_writable();
    Tree t;
    t.info = normalized(info);
    if (!valid_name(t.info.name)) fail("bad tag name \"" + t.info.name + "\"");
    if (t.info.key_len < 1) fail("bad key length for tag " + t.info.name);
    if (t.info.key_expr.empty() || t.info.key_expr.size() + t.info.for_expr.size() + 2 > 512)
        fail("bad key expression for tag " + t.info.name);
    t.codec = make_codec(t.info.type, t.info.key_len);
    const auto kl = static_cast<std::size_t>(t.info.key_len);

    std::string flat(keys.size() * kl, '\0');
    for (std::size_t i = 0; i < keys.size(); ++i) t.codec.sort_into(keys[i].key, flat.data() + i * kl);
    // Sort on the first 8 key bytes as one number; the rest of the key and
    // the record number only break ties.
    struct Item {
        std::uint64_t head;
        std::uint32_t rec;
        std::uint32_t at;
    };
    std::vector<Item> order(keys.size());
    const std::size_t head_len = std::min<std::size_t>(kl, 8);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::uint64_t head = 0;
        const auto* k = reinterpret_cast<const unsigned char*>(flat.data() + i * kl);
        for (std::size_t b = 0; b < 8; ++b) head = (head << 8) | (b < head_len ? k[b] : 0u);
        order[i] = {head, keys[i].recno, static_cast<std::uint32_t>(i)};
    }
    std::sort(order.begin(), order.end(), [&](const Item& a, const Item& b) {
        if (a.head != b.head) return a.head < b.head;
        if (kl > 8) {
            const int c = std::memcmp(flat.data() + a.at * kl + 8, flat.data() + b.at * kl + 8, kl - 8);
            if (c != 0) return c < 0;
        }
        return a.rec < b.rec;
    });
    std::string sorted;
    sorted.reserve(flat.size());
    std::vector<std::uint32_t> recs;
    recs.reserve(keys.size());
    for (const Item& o : order) {
        const char* k = flat.data() + o.at * kl;
        if (t.info.unique && !recs.empty() && std::memcmp(sorted.data() + sorted.size() - kl, k, kl) == 0) continue;
        sorted.append(k, kl);
        recs.push_back(o.rec);
    }
    keys.clear();

    const int existing = tag_number(t.info.name);
    if (existing >= 0) {
        Tree& old = trees_[static_cast<std::size_t>(existing)];
        t.header = old.header;
        std::vector<std::uint32_t> pages;
        try {
            visit_pages(old, &pages, nullptr);
        } catch (const CdxError&) {
            pages.clear();   // a damaged tree is dropped, its pages are lost
        }
        for (auto p : pages) free_page(p);
    } else {
        t.header = static_cast<std::uint32_t>(append_area(kTagHeaderSize));
    }
    t.root = build_pages(t, std::move(sorted), std::move(recs));
    write_tag_header(t);
    if (existing < 0) insert_sorted(dir_, dir_.codec.sort_form(t.info.name), t.header);
    type_of_[t.info.name] = t.info.type;
    flush();
    read_tags();
}

}  // namespace qv::rt::table::cdx
