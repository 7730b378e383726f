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
    out.edit = Node::Edit::Clean;
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
    n.edit = n.edit == Node::Edit::Clean ? Node::Edit::Inserted : Node::Edit::Rewritten;
    n.edit_at = pos;
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
    n.edit = n.edit == Node::Edit::Clean ? Node::Edit::Erased : Node::Edit::Rewritten;
    n.edit_at = pos;
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

namespace {

void put_header_words(const Node& n, unsigned char* p) {
    put_le16(p, n.attr);
    put_le16(p + 2, static_cast<std::uint32_t>(n.size()));
    put_le32(p + 4, n.left);
    put_le32(p + 8, n.right);
}

// Moves `len` bytes from `from` to `to` within the page and zeroes what
// they leave behind outside their new place, as a fresh page has zeros
// wherever nothing is laid out.
void move_zeroing(unsigned char* p, int from, int to, int len) {
    if (len > 0 && from != to) std::memmove(p + to, p + from, static_cast<std::size_t>(len));
    if (to > from) std::memset(p + from, 0, static_cast<std::size_t>(to - from));
    else if (to < from) std::memset(p + to + len, 0, static_cast<std::size_t>(from - to));
}

std::uint64_t get_entry(const unsigned char* e, int es) {
    std::uint64_t v = 0;
    for (int b = es - 1; b >= 0; --b) v = (v << 8) | e[b];
    return v;
}

void put_entry(unsigned char* e, int es, std::uint64_t v) {
    for (int b = 0; b < es; ++b) e[b] = static_cast<unsigned char>(v >> (8 * b));
}

}  // namespace

// A leaf changed by one key: the keys before it keep their bytes and
// places; the stretch of changed keys (the one added or taken and the one
// after it, packed again against its new neighbour) is written anew; the
// entries and packed keys after the stretch move over as a block. Every
// figure read from the page is checked against the node first, so that a
// page that is not what the node was made from is laid out again instead.
bool patch_page(const Node& n, const Codec& c, unsigned char* p) {
    using Edit = Node::Edit;
    if (n.edit == Edit::Rewritten) return false;
    const int count = n.size();
    const int old_count = get_le16(p + 2);
    if ((get_le16(p) & 2) != (n.attr & 2)) return false;
    if (n.edit == Edit::Clean) {
        if (old_count != count) return false;
        put_header_words(n, p);
        return true;
    }
    if (!n.leaf() || !n.packing_known()) return false;
    const bool inserted = n.edit == Edit::Inserted;
    const int pos = n.edit_at;
    if (old_count != (inserted ? count - 1 : count + 1) || pos < 0 || pos >= std::max(count, old_count)) return false;
    const int kl = n.kl;
    const int es = leaf_entry_bytes(static_cast<std::uint32_t>(n.max_rec), kl);
    const int kb = key_bits(kl);
    const int rec_bits = es * 8 - 2 * kb;
    const std::uint32_t rec_mask = rec_bits >= 32 ? 0xFFFFFFFFu : (1u << rec_bits) - 1;
    const unsigned key_mask = (1u << kb) - 1;
    if (p[23] != es || p[20] != rec_bits || p[21] != kb || p[22] != kb || get_le32(p + 14) != rec_mask ||
        p[18] != key_mask || p[19] != key_mask)
        return false;
    auto len_of = [&](int i) { return kl - n.dups[static_cast<std::size_t>(i)] - n.trails[static_cast<std::size_t>(i)]; };
    auto old_len = [&](int i) {
        const std::uint64_t v = get_entry(p + kLeafHeader + i * es, es);
        const int dup = static_cast<int>((v >> rec_bits) & key_mask);
        const int trail = static_cast<int>((v >> (rec_bits + kb)) & key_mask);
        return kl - dup - trail;
    };
    // The stretch: old entries [pos, pos + k_old), new [pos, pos + k_new).
    const int k_new = inserted ? std::min(2, count - pos) : std::min(1, count - pos);
    const int k_old = inserted ? k_new - 1 : k_new + 1;
    int before = 0;   // packed bytes of the keys in front of the stretch
    for (int i = 0; i < pos; ++i) before += len_of(i);
    int old_stretch = 0, new_stretch = 0;
    for (int i = pos; i < pos + k_old; ++i) old_stretch += old_len(i);
    for (int i = pos; i < pos + k_new; ++i) new_stretch += len_of(i);
    const int old_floor = kLeafHeader + old_count * es;
    const int old_total = static_cast<int>(kPageSize) - old_floor - get_le16(p + 12);
    const int tail = old_total - before - old_stretch;
    const int new_total = before + new_stretch + tail;
    const int new_floor = kLeafHeader + count * es;
    if (tail < 0 || new_total != n.packed || new_floor > static_cast<int>(kPageSize) - new_total) return false;
    // Packed keys after the stretch, then the entries after it.
    move_zeroing(p, static_cast<int>(kPageSize) - old_total, static_cast<int>(kPageSize) - new_total, tail);
    move_zeroing(p, kLeafHeader + (pos + k_old) * es, kLeafHeader + (pos + k_new) * es,
                 (old_count - pos - k_old) * es);
    const auto& from = *c.from_sort;
    int key_end = static_cast<int>(kPageSize) - before;
    for (int i = pos; i < pos + k_new; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const int dup = n.dups[at], trail = n.trails[at], len = kl - dup - trail;
        key_end -= len;
        const char* in = n.keys.data() + at * static_cast<std::size_t>(kl) + dup;
        for (int j = 0; j < len; ++j) p[key_end + j] = from[static_cast<unsigned char>(in[j])];
        put_entry(p + kLeafHeader + i * es, es,
                  n.recs[at] | (static_cast<std::uint64_t>(dup) << rec_bits) |
                      (static_cast<std::uint64_t>(trail) << (rec_bits + kb)));
    }
    put_header_words(n, p);
    put_le16(p + 12, static_cast<std::uint32_t>(static_cast<int>(kPageSize) - new_total - new_floor));
    return true;
}

}  // namespace qv::rt::table::cdx
