// Adding and removing single keys: a page that overflows is split in two
// (the parent gets an entry for the new right half; a root split grows the
// tree), an emptied page is unlinked and goes to the free list, and the
// parent entries, which hold the last key of each child, follow every change
// of a last key. Only the pages that change are written.
#include "runtime/table/cdx_internal.hpp"

namespace qv::rt::table::cdx {

namespace {

int lower_bound_entry(const Node& n, std::string_view skey, std::uint32_t rec) {
    int lo = 0, hi = n.size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int c = compare_sorted(n.key(mid).data(), skey.data(), skey.size());
        if (c < 0 || (c == 0 && n.recs[mid] < rec))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool node_fits(Node& n, const Codec& c) {
    return n.leaf() ? leaf_fits(n, c) : n.size() <= interior_capacity(n.kl);
}

}  // namespace

std::vector<CdxIndex::Step> CdxIndex::path_to(const Tree& t, std::string_view skey, std::uint32_t rec) {
    std::vector<Step> path;
    path.reserve(8);   // deeper trees are rare
    const Node* n = &node(t, t.root);
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        int i = lower_bound_entry(*n, skey, rec);
        if (n->leaf()) {
            path.push_back({n->off, i});
            return path;
        }
        if (n->size() == 0) fail("empty interior page " + std::to_string(n->off));
        if (i == n->size()) i = n->size() - 1;
        path.push_back({n->off, i});
        const Node& child = node(t, n->childs[i]);
        check_child(*n, i, child);
        n = &child;
    }
    fail("index tree too deep (page loop)");
}

bool CdxIndex::insert_sorted(Tree& t, std::string_view skey, std::uint32_t rec) {
    auto path = path_to(t, skey, rec);
    // Refused before anything changes when a split reaching the root could
    // take the tree past the depth readers accept.
    if (path.size() >= static_cast<std::size_t>(kMaxDepth)) fail("index tree too deep for another key");
    Node& leaf = node(t, path.back().off);
    const int pos = path.back().idx;
    if (pos < leaf.size() && leaf.key(pos) == skey && leaf.recs[pos] == rec) return false;
    leaf_insert(leaf, pos, skey, rec, t.codec);
    settle(t, path, static_cast<int>(path.size()) - 1, pos == leaf.size() - 1);
    return true;
}

bool CdxIndex::remove_sorted(Tree& t, std::string_view skey, std::uint32_t rec) {
    auto path = path_to(t, skey, rec);
    Node& leaf = node(t, path.back().off);
    const int pos = path.back().idx;
    if (pos >= leaf.size() || leaf.key(pos) != skey || leaf.recs[pos] != rec) return false;
    leaf_erase(leaf, pos, t.codec);
    const int level = static_cast<int>(path.size()) - 1;
    if (level > 0 && leaf.size() > 0) merge_into_left(t, path, level);
    if (leaf.size() == 0 && level > 0)
        unlink_empty(t, path, level);
    else
        settle(t, path, level, pos == leaf.size());
    // A root left with a single child hands the root over to it.
    for (int guard = 0; guard < kMaxDepth; ++guard) {
        Node& root = node(t, t.root);
        if (root.leaf() || root.size() != 1) break;
        Node& child = node(t, root.childs[0]);
        child.attr |= 1;
        child.left = child.right = kNoPage;
        store(t, child);
        const std::uint32_t old = root.off;
        t.root = child.off;
        write_root(t);
        free_page(old);
    }
    return true;
}

// Writes the page at `level` of the path, splitting it when it no longer
// fits, and carries a changed last key up to the parents.
void CdxIndex::settle(Tree& t, std::vector<Step>& path, int level, bool last_changed) {
    for (;;) {
        Node& n = node(t, path[static_cast<std::size_t>(level)].off);
        if (!node_fits(n, t.codec)) {
            split(t, path, level);
            return;
        }
        store(t, n);
        if (!last_changed || level == 0 || n.size() == 0) return;
        const Step& up = path[static_cast<std::size_t>(level) - 1];
        Node& parent = node(t, up.off);
        parent.set(up.idx, n.key(n.size() - 1), n.recs.back());
        last_changed = up.idx == parent.size() - 1;
        --level;
    }
}

int CdxIndex::split_point(const Tree& t, const Node& n, bool appending) const {
    const int size = n.size();
    if (!n.leaf()) return appending ? size - 1 : size / 2;
    auto fits = [&](int k) {
        return leaf_bytes(n, 0, k, t.codec) <= kLeafSpace && leaf_bytes(n, k, size, t.codec) <= kLeafSpace;
    };
    // Keys added at the end of the tag (appended records) leave full pages
    // behind them.
    if (appending)
        for (int k = size - 1; k > size / 2; --k)
            if (fits(k)) return k;
    for (int d = 0; d <= size / 2; ++d) {
        if (size / 2 - d > 0 && fits(size / 2 - d)) return size / 2 - d;
        if (size / 2 + d < size && fits(size / 2 + d)) return size / 2 + d;
    }
    fail("key does not fit in a page");
}

// Moves entries of the overfull interior page at `level` into its left or
// right neighbour on the same level while that neighbour has room, so that
// pages fill up before the tree grows: with long keys an interior page holds
// two entries, and splitting alone would leave chains of one-entry pages.
// (Leaves split: a leaf filled to the brim by its neighbour would pass
// entries on again at nearly every key that reaches it.) True when the
// page fits afterwards.
bool CdxIndex::shift_to_neighbour(Tree& t, std::vector<Step>& path, int level) {
    if (level == 0) return false;
    Node& n = node(t, path[static_cast<std::size_t>(level)].off);
    if (n.leaf()) return false;
    auto try_side = [&](std::uint32_t side, bool to_left) {
        if (side == kNoPage) return false;
        Node& s = node(t, side);
        if (s.leaf() || (to_left ? s.right != n.off : s.left != n.off)) return false;
        Node from = n, to = s;
        while (!node_fits(from, t.codec) && from.size() > 1) {
            const int i = to_left ? 0 : from.size() - 1;
            to.insert(to_left ? to.size() : 0, from.key(i), from.recs[static_cast<std::size_t>(i)],
                      from.childs[static_cast<std::size_t>(i)]);
            from.erase(i);
            if (!node_fits(to, t.codec)) return false;
        }
        if (!node_fits(from, t.codec)) return false;
        // The way down to the left page, found by its present last key
        // before it changes (it may hang under another parent).
        std::vector<Step> side_path;
        if (to_left) {
            side_path = path_to(t, s.key(s.size() - 1), s.recs.back());
            if (side_path.size() <= static_cast<std::size_t>(level) ||
                side_path[static_cast<std::size_t>(level)].off != s.off)
                return false;
            side_path.resize(static_cast<std::size_t>(level) + 1);
        }
        n.keys = std::move(from.keys);
        n.recs = std::move(from.recs);
        n.childs = std::move(from.childs);
        n.touched();
        s.keys = std::move(to.keys);
        s.recs = std::move(to.recs);
        s.childs = std::move(to.childs);
        s.touched();
        // Parents hold the last key of each child: the left page of the two
        // has a new one, carried up as far as it is a last key.
        if (to_left) settle(t, side_path, level, true);
        else store(t, s);
        settle(t, path, level, true);
        return true;
    };
    return try_side(n.left, true) || try_side(n.right, false);
}

void CdxIndex::split(Tree& t, std::vector<Step>& path, int level) {
    const Step step = path[static_cast<std::size_t>(level)];
    Node& n = node(t, step.off);
    const bool appending = n.right == kNoPage && step.idx >= n.size() - 2;
    if (!appending && shift_to_neighbour(t, path, level)) return;
    const int k = split_point(t, n, appending);
    Node& m = new_node(t, n.leaf() ? 2 : 0);
    const auto kl = static_cast<std::size_t>(n.kl);
    m.keys = n.keys.substr(static_cast<std::size_t>(k) * kl);
    m.recs.assign(n.recs.begin() + k, n.recs.end());
    n.keys.resize(static_cast<std::size_t>(k) * kl);
    n.recs.resize(static_cast<std::size_t>(k));
    if (!n.leaf()) {
        m.childs.assign(n.childs.begin() + k, n.childs.end());
        n.childs.resize(static_cast<std::size_t>(k));
    }
    n.touched();
    m.touched();
    const bool was_root = n.root();
    n.attr &= static_cast<std::uint16_t>(~1u);
    m.left = n.off;
    m.right = n.right;
    if (n.right != kNoPage) {
        Node& r = node(t, n.right);
        r.left = m.off;
        store(t, r);
    }
    n.right = m.off;
    store(t, m);
    store(t, n);
    if (was_root) {
        Node& root = new_node(t, 1);
        root.insert(0, n.key(n.size() - 1), n.recs.back(), n.off);
        root.insert(1, m.key(m.size() - 1), m.recs.back(), m.off);
        store(t, root);
        t.root = root.off;
        write_root(t);
        return;
    }
    Step& up = path[static_cast<std::size_t>(level) - 1];
    Node& parent = node(t, up.off);
    parent.set(up.idx, n.key(n.size() - 1), n.recs.back());
    parent.insert(up.idx + 1, m.key(m.size() - 1), m.recs.back(), m.off);
    settle(t, path, level - 1, up.idx + 1 == parent.size() - 1);
}

// A leaf that has shrunk moves its keys into its left neighbour under the
// same parent when both fit in three quarters of a page (the slack keeps a
// key going in and out at the edge from splitting and merging every time).
// The leaf is left empty for unlink_empty.
void CdxIndex::merge_into_left(Tree& t, std::vector<Step>& path, int level) {
    const Step up = path[static_cast<std::size_t>(level) - 1];
    if (up.idx == 0) return;
    Node& parent = node(t, up.off);
    Node& leaf = node(t, path[static_cast<std::size_t>(level)].off);
    if (leaf_size(leaf, t.codec) > kLeafSpace / 2) return;
    Node& left = node(t, parent.childs[static_cast<std::size_t>(up.idx) - 1]);
    if (!left.leaf() || left.right != leaf.off) return;
    Node joined = left;
    joined.keys += leaf.keys;
    joined.recs.insert(joined.recs.end(), leaf.recs.begin(), leaf.recs.end());
    joined.touched();
    if (leaf_size(joined, t.codec) > kLeafSpace * 3 / 4) return;
    left.keys = std::move(joined.keys);
    left.recs = std::move(joined.recs);
    left.packed = joined.packed;
    left.max_rec = joined.max_rec;
    left.dups = std::move(joined.dups);
    left.trails = std::move(joined.trails);
    left.edit = Node::Edit::Rewritten;
    store(t, left);
    parent.set(up.idx - 1, left.key(left.size() - 1), left.recs.back());
    leaf.keys.clear();
    leaf.recs.clear();
    leaf.touched();
}

// Removes the emptied page at `level` from its level's chain and from its
// parent, which may empty in turn.
void CdxIndex::unlink_empty(Tree& t, std::vector<Step>& path, int level) {
    Node& n = node(t, path[static_cast<std::size_t>(level)].off);
    const std::uint32_t left = n.left, right = n.right, off = n.off;
    if (left != kNoPage) {
        Node& l = node(t, left);
        l.right = right;
        store(t, l);
    }
    if (right != kNoPage) {
        Node& r = node(t, right);
        r.left = left;
        store(t, r);
    }
    free_page(off);
    const Step up = path[static_cast<std::size_t>(level) - 1];
    Node& parent = node(t, up.off);
    parent.erase(up.idx);
    if (parent.size() > 0) {
        settle(t, path, level - 1, up.idx == parent.size());
        return;
    }
    if (level - 1 > 0) {
        unlink_empty(t, path, level - 1);
        return;
    }
    parent.attr = 3;   // the root of an emptied tag is an empty leaf
    parent.childs.clear();
    store(t, parent);
}

void CdxIndex::insert(int tag, std::string_view key, std::uint32_t recno) {
    begin_call();
    need_writable();
    Tree& t = tree(tag);
    char sorted[kMaxKeyLen];
    t.codec.sort_into(key, sorted);
    const std::string_view skey(sorted, static_cast<std::size_t>(t.codec.kl));
    if (t.info.unique) {
        const auto h = hit_prefix_ge(t, skey);
        if (h && h->key == skey) return;   // a UNIQUE tag keeps the first record of a key
    }
    insert_sorted(t, skey, recno);
}

void CdxIndex::remove(int tag, std::string_view key, std::uint32_t recno) {
    begin_call();
    need_writable();
    Tree& t = tree(tag);
    char sorted[kMaxKeyLen];
    t.codec.sort_into(key, sorted);
    remove_sorted(t, std::string_view(sorted, static_cast<std::size_t>(t.codec.kl)), recno);
}

}  // namespace qv::rt::table::cdx
