// Searches and stateless navigation. Every call walks down from the root:
// an interior entry holds the last key (and record) of its child page, so
// the child to take is the first whose last entry is not in front of the
// wanted place. Sibling links are not followed; they are checked against the
// parent so that a damaged file is noticed.
#include <unordered_set>
#include "runtime/table/cdx_internal.hpp"

namespace qv::rt::table::cdx {

namespace {

template <class Before>
int first_not_before(const Node& n, Before& before) {
    int lo = 0, hi = n.size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (before(n.key(mid), n.recs[mid]))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int compare_entry(std::string_view k, std::uint32_t r, std::string_view skey, std::uint32_t rec) {
    const int c = compare_sorted(k.data(), skey.data(), k.size());
    if (c != 0) return c;
    return r < rec ? -1 : (r > rec ? 1 : 0);
}

}  // namespace

void CdxIndex::check_child(const Node& parent, int idx, const Node& child) const {
    const bool left_ok = idx == 0 || child.left == parent.childs[idx - 1];
    const bool right_ok = idx == parent.size() - 1 || child.right == parent.childs[idx + 1];
    if (!left_ok || !right_ok || child.off == parent.off) fail("broken sibling links at page " + std::to_string(child.off));
}

template <class Before>
std::optional<Hit> CdxIndex::find_first_not(const Tree& t, Before before) {
    const Node* n = &node(t, t.root);
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        const int i = first_not_before(*n, before);
        if (i == n->size()) {
            if (depth > 0) fail("keys out of order below page " + std::to_string(n->off));
            return std::nullopt;
        }
        if (n->leaf()) return Hit{n->key(i), n->recs[i]};
        const Node& child = node(t, n->childs[i]);
        check_child(*n, i, child);
        n = &child;
    }
    fail("index tree too deep (page loop)");
}

template <class Before>
std::optional<Hit> CdxIndex::find_last(const Tree& t, Before before) {
    std::optional<Hit> candidate;
    const Node* n = &node(t, t.root);
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        const int i = first_not_before(*n, before);
        if (n->leaf()) {
            if (i > 0) return Hit{n->key(i - 1), n->recs[i - 1]};
            return candidate;
        }
        if (n->size() == 0) {
            if (depth > 0) fail("empty interior page " + std::to_string(n->off));
            return std::nullopt;
        }
        const int c = i < n->size() ? i : n->size() - 1;
        if (c > 0) candidate = Hit{n->key(c - 1), n->recs[c - 1]};
        const Node& child = node(t, n->childs[c]);
        check_child(*n, c, child);
        n = &child;
    }
    fail("index tree too deep (page loop)");
}

std::optional<Hit> CdxIndex::hit_first(const Tree& t) {
    return find_first_not(t, [](std::string_view, std::uint32_t) { return false; });
}

std::optional<Hit> CdxIndex::hit_last(const Tree& t) {
    return find_last(t, [](std::string_view, std::uint32_t) { return true; });
}

// The result is checked to lie on the asked side: keys out of order in a
// damaged page would otherwise let a caller's skip loop run forever.
std::optional<Hit> CdxIndex::hit_after(const Tree& t, std::string_view skey, std::uint32_t rec) {
    auto h = find_first_not(t, [&](std::string_view k, std::uint32_t r) { return compare_entry(k, r, skey, rec) <= 0; });
    if (h && compare_entry(h->key, h->rec, skey, rec) <= 0) fail("keys out of order in tag " + t.info.name);
    return h;
}

std::optional<Hit> CdxIndex::hit_before(const Tree& t, std::string_view skey, std::uint32_t rec) {
    auto h = find_last(t, [&](std::string_view k, std::uint32_t r) { return compare_entry(k, r, skey, rec) < 0; });
    if (h && compare_entry(h->key, h->rec, skey, rec) >= 0) fail("keys out of order in tag " + t.info.name);
    return h;
}

std::optional<Hit> CdxIndex::hit_prefix_ge(const Tree& t, std::string_view p) {
    return find_first_not(t, [&](std::string_view k, std::uint32_t) {
        return compare_sorted(k.data(), p.data(), p.size()) < 0;
    });
}

std::optional<Hit> CdxIndex::hit_prefix_le(const Tree& t, std::string_view p) {
    return find_last(t, [&](std::string_view k, std::uint32_t) {
        return compare_sorted(k.data(), p.data(), p.size()) <= 0;
    });
}

std::optional<KeyPos> CdxIndex::to_pos(const Tree& t, const std::optional<Hit>& h) const {
    if (!h) return std::nullopt;
    return KeyPos{t.codec.raw_form(h->key), h->rec};
}

std::optional<KeyPos> CdxIndex::first(int tag) {
    begin_call();
    const Tree& t = tree(tag);
    return to_pos(t, t.info.descending ? hit_last(t) : hit_first(t));
}

std::optional<KeyPos> CdxIndex::last(int tag) {
    begin_call();
    const Tree& t = tree(tag);
    return to_pos(t, t.info.descending ? hit_first(t) : hit_last(t));
}

std::optional<KeyPos> CdxIndex::next(int tag, const KeyPos& from) {
    begin_call();
    const Tree& t = tree(tag);
    char sorted[kMaxKeyLen];
    t.codec.sort_into(from.key, sorted);
    const std::string_view skey(sorted, static_cast<std::size_t>(t.codec.kl));
    return to_pos(t, t.info.descending ? hit_before(t, skey, from.recno) : hit_after(t, skey, from.recno));
}

std::optional<KeyPos> CdxIndex::prev(int tag, const KeyPos& from) {
    begin_call();
    const Tree& t = tree(tag);
    char sorted[kMaxKeyLen];
    t.codec.sort_into(from.key, sorted);
    const std::string_view skey(sorted, static_cast<std::size_t>(t.codec.kl));
    return to_pos(t, t.info.descending ? hit_after(t, skey, from.recno) : hit_before(t, skey, from.recno));
}

std::optional<KeyPos> CdxIndex::seek(int tag, std::string_view key) {
    begin_call();
    const Tree& t = tree(tag);
    char sorted[kMaxKeyLen];
    const std::string_view p(sorted, t.codec.sort_prefix_into(key, sorted));
    if (t.info.descending) return to_pos(t, p.empty() ? hit_last(t) : hit_prefix_le(t, p));
    return to_pos(t, p.empty() ? hit_first(t) : hit_prefix_ge(t, p));
}

void CdxIndex::visit_pages(const Tree& t, std::vector<std::uint32_t>* pages, std::uint64_t* keys) {
    std::unordered_set<std::uint32_t> seen;
    struct Item {
        std::uint32_t off;
        int depth;
    };
    std::vector<Item> todo{{t.root, 0}};
    while (!todo.empty()) {
        const Item it = todo.back();
        todo.pop_back();
        if (it.depth >= kMaxDepth || !seen.insert(it.off).second) fail("page loop in tag " + t.info.name);
        const Node& n = node(t, it.off);
        if (pages) pages->push_back(it.off);
        if (n.leaf()) {
            if (keys) *keys += static_cast<std::uint64_t>(n.size());
            continue;
        }
        for (int i = n.size() - 1; i >= 0; --i) todo.push_back({n.childs[i], it.depth + 1});
    }
}

std::uint64_t CdxIndex::key_count(int tag) {
    begin_call();
    std::uint64_t count = 0;
    visit_pages(tree(tag), nullptr, &count);
    return count;
}

// Down the first children to the first leaf, then along the leaf chain;
// the leaves are decoded into one scratch page, not kept.
CdxFile::EntrySummary CdxIndex::summarize(int tag) {
    begin_call();
    const Tree& t = tree(tag);
    std::uint32_t off = t.root;
    for (int depth = 0;; ++depth) {
        if (depth >= kMaxDepth) fail("page loop in tag " + t.info.name);
        const Node& n = node(t, off);
        if (n.leaf()) break;
        if (n.size() == 0) fail("empty interior page in tag " + t.info.name);
        off = n.childs[0];
    }
    EntrySummary sum;
    sum.lowest = 0xFFFFFFFFu;
    Node leaf;
    unsigned char buf[kPageSize];
    for (std::uint64_t pages = 0; off != kNoPage; ++pages) {
        if (pages > size_ / kPageSize) fail("leaf chain loops in tag " + t.info.name);
        const Node* cached = cache_.find(off);
        const Node* n = nullptr;
        if (cached && cached->kl == t.codec.kl) {
            n = cached;
        } else {
            check_page(off);
            read_at(off, buf, kPageSize);
            try {
                decode_page(buf, t.codec, leaf);
            } catch (const std::runtime_error& e) {
                fail(std::string(e.what()) + " in tag " + t.info.name);
            }
            if (!leaf.leaf()) fail("interior page in the leaf chain of tag " + t.info.name);
            n = &leaf;
        }
        sum.count += static_cast<std::uint64_t>(n->size());
        for (std::uint32_t r : n->recs) {
            sum.lowest = std::min(sum.lowest, r);
            sum.highest = std::max(sum.highest, r);
        }
        off = n->right;
    }
    if (sum.count == 0) sum.lowest = 0;
    return sum;
}

}  // namespace qv::rt::table::cdx
