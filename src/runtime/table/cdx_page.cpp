// Encoding and decoding of one 512-byte index page. Leaves are compressed:
// fixed-size entries (record number, bytes shared with the previous key,
// trailing fill bytes) from byte 24 up, and the remaining key bytes packed
// from the end of the page down.
#include <algorithm>
#include <bit>
#include <stdexcept>
#include "runtime/table/cdx_internal.hpp"

namespace qv::rt::table::cdx {

void Node::insert(int pos, std::string_view k, std::uint32_t rec, std::uint32_t child) {
    touched();
    keys.insert(static_cast<std::size_t>(pos) * kl, k.data(), static_cast<std::size_t>(kl));
    recs.insert(recs.begin() + pos, rec);
    if (!leaf()) childs.insert(childs.begin() + pos, child);
}

void Node::erase(int pos) {
    touched();
    keys.erase(static_cast<std::size_t>(pos) * kl, static_cast<std::size_t>(kl));
    recs.erase(recs.begin() + pos);
    if (!leaf()) childs.erase(childs.begin() + pos);
}

void Node::set(int pos, std::string_view k, std::uint32_t rec) {
    touched();
    keys.replace(static_cast<std::size_t>(pos) * kl, static_cast<std::size_t>(kl), k.data(), static_cast<std::size_t>(kl));
    recs[pos] = rec;
}

int key_bits(int kl) { return std::bit_width(static_cast<unsigned>(kl)); }

int leaf_entry_bytes(std::uint32_t max_rec, int kl) {
    const int rec_bits = std::max(1, static_cast<int>(std::bit_width(max_rec)));
    return std::max(3, (2 * key_bits(kl) + rec_bits + 7) / 8);
}

namespace {

// Bytes at the start of a and b that are the same, at most `limit`; eight
// bytes at a time, then byte by byte.
inline int common_prefix(const char* a, const char* b, int limit) {
    int d = 0;
    for (; d + 8 <= limit; d += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + d, 8);
        std::memcpy(&y, b + d, 8);
        if (x == y) continue;
        if constexpr (std::endian::native == std::endian::little) return d + std::countr_zero(x ^ y) / 8;
        break;
    }
    while (d < limit && a[d] == b[d]) ++d;
    return d;
}

// Trailing bytes of key equal to fill: eight at a time from the end, the
// last word that differs told apart by its highest differing byte.
inline int trailing_fill(const char* key, int kl, unsigned char fill) {
    std::uint64_t fill8;
    std::memset(&fill8, fill, 8);
    int t = 0;
    for (; t + 8 <= kl; t += 8) {
        std::uint64_t w;
        std::memcpy(&w, key + kl - t - 8, 8);
        if (w == fill8) continue;
        if constexpr (std::endian::native == std::endian::little) return t + std::countl_zero(w ^ fill8) / 8;
        break;
    }
    while (t < kl && static_cast<unsigned char>(key[kl - 1 - t]) == fill) ++t;
    return t;
}

inline int packed_len(const char* key, const char* prev, int kl, unsigned char sfill, int& dup, int& trail) {
    trail = trailing_fill(key, kl, sfill);
    dup = prev ? common_prefix(key, prev, kl - trail) : 0;
    return kl - dup - trail;
}

}  // namespace

int packed_key_len(const char* key, const char* prev, int kl, unsigned char sfill, int* dup, int* trail) {
    int d = 0, t = 0;
    const int len = packed_len(key, prev, kl, sfill, d, t);
    if (dup) *dup = d;
    if (trail) *trail = t;
    return len;
}

int interior_capacity(int kl) { return kInteriorSpace / (kl + 8); }

namespace {

// Bytes of key i stored in the page, given the previous key of the page.
int stored_len(const Node& n, int i, bool first, const Codec& c, int* dup_out = nullptr, int* trail_out = nullptr) {
    const char* k = n.keys.data() + static_cast<std::size_t>(i) * n.kl;
    return packed_key_len(k, first ? nullptr : k - n.kl, n.kl, c.sfill, dup_out, trail_out);
}

void decode_leaf(const unsigned char* p, const Codec& c, Node& out) {
    const int count = get_le16(p + 2);
    const std::uint32_t rec_mask = get_le32(p + 14);
    const unsigned dup_mask = p[18], trail_mask = p[19];
    const int rec_bits = p[20], dup_bits = p[21], trail_bits = p[22], es = p[23];
    if (es < 1 || es > 8 || dup_bits < 1 || trail_bits < 1 || rec_bits + dup_bits + trail_bits > es * 8)
        throw std::runtime_error("bad leaf entry layout");
    if (count * es > kLeafSpace) throw std::runtime_error("too many keys in a leaf page");
    const int kl = c.kl;
    out.keys.assign(static_cast<std::size_t>(count) * kl, '\0');
    out.recs.resize(count);
    out.childs.clear();
    out.dups.resize(static_cast<std::size_t>(count));
    out.trails.resize(static_cast<std::size_t>(count));
    std::uint32_t max_rec = 0;
    int key_pos = kPageSize;
    const int key_floor = kLeafHeader + count * es;
    const auto& to = *c.to_sort;
    for (int i = 0; i < count; ++i) {
        std::uint64_t v = 0;
        const unsigned char* e = p + kLeafHeader + i * es;
        for (int b = es - 1; b >= 0; --b) v = (v << 8) | e[b];
        const auto rec = static_cast<std::uint32_t>(v & rec_mask);
        const int dup = static_cast<int>((v >> rec_bits) & dup_mask);
        const int trail = static_cast<int>((v >> (rec_bits + dup_bits)) & trail_mask);
        if ((i == 0 && dup != 0) || dup + trail > kl) throw std::runtime_error("bad compressed key");
        const int len = kl - dup - trail;
        key_pos -= len;
        if (key_pos < key_floor) throw std::runtime_error("leaf keys overflow the page");
        char* k = out.keys.data() + static_cast<std::size_t>(i) * kl;
        if (dup) std::memcpy(k, k - kl, static_cast<std::size_t>(dup));
        for (int j = 0; j < len; ++j) k[dup + j] = static_cast<char>(to[p[key_pos + j]]);
        std::memset(k + dup + len, c.sfill, static_cast<std::size_t>(trail));
        out.recs[i] = rec;
        out.dups[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(dup);
        out.trails[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(trail);
        max_rec = std::max(max_rec, rec);
    }
    out.packed = kPageSize - key_pos;
    out.max_rec = max_rec;
}

void decode_interior(const unsigned char* p, const Codec& c, Node& out) {
    const int count = get_le16(p + 2);
    const int kl = c.kl;
    if (count * (kl + 8) > kInteriorSpace) throw std::runtime_error("too many keys in an interior page");
    out.keys.assign(static_cast<std::size_t>(count) * kl, '\0');
    out.recs.resize(count);
    out.childs.resize(count);
    const auto& to = *c.to_sort;
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = p + kInteriorHeader + i * (kl + 8);
        char* k = out.keys.data() + static_cast<std::size_t>(i) * kl;
        for (int j = 0; j < kl; ++j) k[j] = static_cast<char>(to[e[j]]);
        out.recs[i] = get_be32(e + kl);
        out.childs[i] = get_be32(e + kl + 4);
    }
}

}  // namespace

void decode_page(const unsigned char* page, const Codec& c, Node& out) {
    out.attr = get_le16(page);
    if (out.attr > 3) throw std::runtime_error("bad page attribute");
    out.left = get_le32(page + 4);
    out.right = get_le32(page + 8);
    out.kl = c.kl;
    out.touched();
    if (out.leaf())
        decode_leaf(page, c, out);
    else
        decode_interior(page, c, out);
}

int leaf_bytes(const Node& n, int from, int to, const Codec& c) {
    std::uint32_t max_rec = 0;
    int keys = 0;
    for (int i = from; i < to; ++i) {
        max_rec = std::max(max_rec, n.recs[i]);
        keys += stored_len(n, i, i == from, c);
    }
    return (to - from) * leaf_entry_bytes(max_rec, n.kl) + keys;
}

bool leaf_fits(const Node& n, const Codec& c) { return leaf_bytes(n, 0, n.size(), c) <= kLeafSpace; }

namespace {

void learn_size(Node& n, const Codec& c) {
    if (n.packing_known()) return;
    const auto count = static_cast<std::size_t>(n.size());
    n.dups.resize(count);
    n.trails.resize(count);
    std::uint32_t max_rec = 0;
    int keys = 0;
    for (std::size_t i = 0; i < count; ++i) {
        max_rec = std::max(max_rec, n.recs[i]);
        const char* k = n.keys.data() + i * static_cast<std::size_t>(n.kl);
        int dup = 0, trail = 0;
        keys += packed_len(k, i == 0 ? nullptr : k - n.kl, n.kl, c.sfill, dup, trail);
        n.dups[i] = static_cast<std::uint8_t>(dup);
        n.trails[i] = static_cast<std::uint8_t>(trail);
    }
    n.packed = keys;
    n.max_rec = max_rec;
}

// Packs key i of a leaf again after the key before it changed (its
// trailing fill stays what it was); returns the change of packed bytes.
int repack_after_previous(Node& n, int i) {
    const auto at = static_cast<std::size_t>(i);
    const int trail = n.trails[at];
    const int before = n.dups[at];
    const char* k = n.keys.data() + at * static_cast<std::size_t>(n.kl);
    const int dup = i == 0 ? 0 : common_prefix(k, k - n.kl, n.kl - trail);
    n.dups[at] = static_cast<std::uint8_t>(dup);
    return before - dup;
}

}  // namespace

int leaf_size(Node& n, const Codec& c) {
    learn_size(n, c);
    return n.size() * leaf_entry_bytes(static_cast<std::uint32_t>(n.max_rec), n.kl) + n.packed;
}

bool leaf_fits(Node& n, const Codec& c) { return leaf_size(n, c) <= kLeafSpace; }

// Only the new key and the one after it change how they pack.
void leaf_insert(Node& n, int pos, std::string_view k, std::uint32_t rec, const Codec& c) {
    learn_size(n, c);
    const auto at = static_cast<std::size_t>(pos);
    const auto kl = static_cast<std::size_t>(n.kl);
    n.keys.insert(at * kl, k.data(), kl);
    n.recs.insert(n.recs.begin() + pos, rec);
    const char* key = n.keys.data() + at * kl;
    int dup = 0, trail = 0;
    n.packed += packed_len(key, pos == 0 ? nullptr : key - kl, n.kl, c.sfill, dup, trail);
    n.dups.insert(n.dups.begin() + pos, static_cast<std::uint8_t>(dup));
    n.trails.insert(n.trails.begin() + pos, static_cast<std::uint8_t>(trail));
    if (pos + 1 < n.size()) n.packed += repack_after_previous(n, pos + 1);
    n.max_rec = std::max<std::int64_t>(n.max_rec, rec);
}

void leaf_erase(Node& n, int pos, const Codec& c) {
    learn_size(n, c);
    const auto at = static_cast<std::size_t>(pos);
    n.packed -= n.kl - n.dups[at] - n.trails[at];
    const bool was_max = n.recs[at] == n.max_rec;
    n.keys.erase(at * static_cast<std::size_t>(n.kl), static_cast<std::size_t>(n.kl));
    n.recs.erase(n.recs.begin() + pos);
    n.dups.erase(n.dups.begin() + pos);
    n.trails.erase(n.trails.begin() + pos);
    if (pos < n.size()) n.packed += repack_after_previous(n, pos);
    if (was_max) {   // the highest record left, looked for again
        std::uint32_t m = 0;
        for (std::uint32_t r : n.recs) m = std::max(m, r);
        n.max_rec = m;
    }
}

void encode_page(const Node& n, const Codec& c, unsigned char* p) {
    PageView v;
    v.keys = n.keys.data();
    v.recs = n.recs.data();
    v.childs = n.childs.data();
    if (n.leaf() && n.packing_known()) {
        v.dups = n.dups.data();
        v.trails = n.trails.data();
    }
    v.count = n.size();
    v.kl = n.kl;
    v.attr = n.attr;
    v.left = n.left;
    v.right = n.right;
    encode_entries(v, c, p);
}

void encode_entries(const PageView& v, const Codec& c, unsigned char* p) {
    std::memset(p, 0, kPageSize);
    put_le16(p, v.attr);
    put_le16(p + 2, static_cast<std::uint32_t>(v.count));
    put_le32(p + 4, v.left);
    put_le32(p + 8, v.right);
    const auto& from = *c.from_sort;
    const int kl = v.kl;
    auto key = [&v, kl](int i) { return v.key_at ? v.key_at[i] : v.keys + static_cast<std::size_t>(i) * kl; };
    if ((v.attr & 2) == 0) {
        if (v.count * (kl + 8) > kInteriorSpace) throw std::logic_error("interior page overflow");
        for (int i = 0; i < v.count; ++i) {
            unsigned char* e = p + kInteriorHeader + i * (kl + 8);
            const char* k = key(i);
            for (int j = 0; j < kl; ++j) e[j] = from[static_cast<unsigned char>(k[j])];
            put_be32(e + kl, v.recs[i]);
            put_be32(e + kl + 4, v.childs[i]);
        }
        return;
    }
    std::uint32_t max_rec = 0;
    for (int i = 0; i < v.count; ++i) max_rec = std::max(max_rec, v.recs[i]);
    const int es = leaf_entry_bytes(max_rec, kl);
    const int kb = key_bits(kl);
    const int rec_bits = es * 8 - 2 * kb;
    int key_pos = kPageSize;
    const int key_floor = kLeafHeader + v.count * es;
    if (key_floor > static_cast<int>(kPageSize)) throw std::logic_error("leaf page overflow");
    // The entries are laid out eight bytes at a time beside the page and
    // copied in at the end, each over the spare bytes of the one before.
    unsigned char entries[kPageSize + 8];
    const bool plain = c.from_sort == &identity_map();
    for (int i = 0; i < v.count; ++i) {
        int dup = 0, trail = 0;
        const char* k = key(i);
        int len = 0;
        if (v.dups) {
            dup = v.dups[i];
            trail = v.trails[i];
            len = kl - dup - trail;
        } else {
            len = packed_len(k, i == 0 ? nullptr : key(i - 1), kl, c.sfill, dup, trail);
        }
        key_pos -= len;
        if (key_pos < key_floor) throw std::logic_error("leaf page overflow");
        unsigned char* out = p + key_pos;
        const char* in = k + dup;
        if (plain) std::memcpy(out, in, static_cast<std::size_t>(len));
        else
            for (int j = 0; j < len; ++j) out[j] = from[static_cast<unsigned char>(in[j])];
        std::uint64_t e_val = v.recs[i] | (static_cast<std::uint64_t>(dup) << rec_bits) |
                              (static_cast<std::uint64_t>(trail) << (rec_bits + kb));
        unsigned char* e = entries + i * es;
        if constexpr (std::endian::native == std::endian::little) std::memcpy(e, &e_val, 8);
        else
            for (int b = 0; b < es; ++b) e[b] = static_cast<unsigned char>(e_val >> (8 * b));
    }
    std::memcpy(p + kLeafHeader, entries, static_cast<std::size_t>(v.count * es));
    put_le16(p + 12, static_cast<std::uint32_t>(key_pos - key_floor));
    put_le32(p + 14, rec_bits >= 32 ? 0xFFFFFFFFu : (1u << rec_bits) - 1);
    p[18] = static_cast<unsigned char>((1u << kb) - 1);
    p[19] = p[18];
    p[20] = static_cast<unsigned char>(rec_bits);
    p[21] = static_cast<unsigned char>(kb);
    p[22] = static_cast<unsigned char>(kb);
    p[23] = static_cast<unsigned char>(es);
}

}  // namespace qv::rt::table::cdx
