// Building a whole tag at once (INDEX ON): keys sorted by collated key and
// record number, leaves packed as full as they go, interior levels on top,
// and the pages written in a few large writes.
#include <unistd.h>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <exception>
#include <optional>
#include <thread>
#include <vector>
#include "runtime/table/cdx_internal.hpp"
#include "runtime/table/file_map.hpp"

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

namespace {

constexpr std::size_t kBuildBatchPages = 256;   // 128 KiB written at a time
constexpr std::size_t kThreadedSortKeys = 50000;

std::uint64_t head_at(const char* key, std::size_t depth, std::size_t kl) {
    if (depth + 8 <= kl) {
        std::uint64_t v;
        std::memcpy(&v, key + depth, 8);
        if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(v);
    }
    unsigned char b[8] = {};
    std::memcpy(b, key + depth, std::min<std::size_t>(8, kl - depth));
    std::uint64_t v = 0;
    for (unsigned char c : b) v = (v << 8) | c;
    return v;
}

constexpr auto by_head_then_rec = [](const BuildKey& a, const BuildKey& b) {
    return a.head != b.head ? a.head < b.head : a.rec < b.rec;
};

// Room for n elements of a trivial type, reusing the buffer when it is big
// enough (its old contents are overwritten by the caller).
template <class T>
T* room(LargeBuffer& b, std::size_t n) {
    if (b.size() < n * sizeof(T)) b = LargeBuffer(n * sizeof(T));
    return reinterpret_cast<T*>(b.data());
}

// Stable sort on the head, a byte at a time from the lowest, between the
// two halves of the scratch; bytes that are the same in every item are
// skipped. Returns the half that holds the result.
BuildKey* radix_sort(BuildKey* items, BuildKey* tmp, std::size_t n) {
    for (int shift = 0; shift < 64; shift += 8) {
        std::size_t count[257] = {};
        for (std::size_t i = 0; i < n; ++i) ++count[((items[i].head >> shift) & 0xFF) + 1];
        if (std::any_of(count + 1, count + 257, [&](std::size_t c) { return c == n; })) continue;
        for (int d = 1; d < 257; ++d) count[d] += count[d - 1];
        for (std::size_t i = 0; i < n; ++i) tmp[count[(items[i].head >> shift) & 0xFF]++] = items[i];
        std::swap(items, tmp);
    }
    return items;
}

// Runs that tie on 8 key bytes are sorted again on the next 8, so the keys
// themselves are touched only where they tie. Items come in sorted by head
// and, within equal heads, by record number, which the stable radix sort of
// a long run keeps; `tmp` is scratch room as long as the items.
void sort_ties(BuildKey* first, BuildKey* last, BuildKey* tmp, const char* flat, std::size_t kl, std::size_t depth) {
    if (depth + 8 >= kl) return;
    for (BuildKey* run = first; run != last;) {
        BuildKey* end = run + 1;
        while (end != last && end->head == run->head) ++end;
        const auto len = static_cast<std::size_t>(end - run);
        if (len > 1) {
            for (BuildKey* it = run; it != end; ++it) it->head = head_at(flat + std::size_t(it->at) * kl, depth + 8, kl);
            BuildKey* room = tmp + (run - first);
            if (len >= 256) {
                if (radix_sort(run, room, len) != run) std::memcpy(run, room, len * sizeof(BuildKey));
            } else {
                std::sort(run, end, by_head_then_rec);
            }
            sort_ties(run, end, room, flat, kl, depth + 8);
        }
        run = end;
    }
}

}  // namespace

// Orders the keys of a block by key and record number (UNIQUE: the first
// record of each key only). The block's bytes are turned into sort form in
// place when they have the key length.
SortedView sort_keys(const Codec& codec, KeyBlock& block, bool unique, BuildScratch& scratch) {
    const std::size_t n = block.recs.size();
    const auto kl = static_cast<std::size_t>(codec.kl);
    const std::size_t w = block.width;
    if (block.bytes.size() < n * w) throw CdxError("key block shorter than its record list");
    const char* flat = nullptr;
    if (w == kl) {
        const auto& to = *codec.to_sort;
        char* b = block.bytes.data();
        for (std::size_t i = 0; i < n * w; ++i) b[i] = static_cast<char>(to[static_cast<unsigned char>(b[i])]);
        flat = b;
    } else {
        char* conv = room<char>(scratch.converted, n * kl);
        for (std::size_t i = 0; i < n; ++i) codec.sort_into({block.bytes.data() + i * w, w}, conv + i * kl);
        flat = conv;
    }
    BuildKey* const scratch_keys = room<BuildKey>(scratch.order, 2 * n);   // two halves for the radix sorts
    BuildKey* order = scratch_keys;
    for (std::size_t i = 0; i < n; ++i)
        order[i] = {head_at(flat + i * kl, 0, kl), block.recs[i], static_cast<std::uint32_t>(i)};
    if (std::is_sorted(block.recs.begin(), block.recs.end()))
        order = radix_sort(order, order + n, n);   // stable: equal heads stay in record order
    else
        std::sort(order, order + n, by_head_then_rec);
    BuildKey* const other = order == scratch_keys ? scratch_keys + n : scratch_keys;
    sort_ties(order, order + n, other, flat, kl, 0);
    std::size_t kept = n;
    if (unique && n > 1) {
        kept = 1;
        for (std::size_t i = 1; i < n; ++i)
            if (std::memcmp(flat + std::size_t(order[kept - 1].at) * kl, flat + std::size_t(order[i].at) * kl, kl) != 0)
                order[kept++] = order[i];
    }
    return SortedView{flat, kl, order, kept};
}

// The pages, leaves first and the levels above after them, are encoded
// straight from the sorted keys into one buffer. They take the pages of
// `reuse` (the old tree of a tag built again) in file order, then one new
// area at the end of the file; reused pages left over go to the free list.
// Runs of adjacent pages are written with one call each.
std::uint32_t CdxIndex::build_pages(const Tree& t, const SortedView& sorted, std::vector<std::uint32_t> reuse,
                                    BuildScratch& scratch) {
    const int kl = t.codec.kl;
    const auto n = static_cast<int>(sorted.count);
    auto key_at = [&](int i) { return sorted.key(static_cast<std::size_t>(i)); };
    auto rec_at = [&](int i) { return sorted.keys[static_cast<std::size_t>(i)].rec; };

    // How each key packs against the one before it in its leaf, found while
    // the leaves are cut and used again to write them.
    std::vector<int> starts;   // first key of each leaf, then n
    std::vector<std::uint8_t> dups(static_cast<std::size_t>(n)), trails(static_cast<std::size_t>(n));
    int i = 0;
    do {
        const int start = i;
        starts.push_back(start);
        std::uint32_t max_rec = 0;
        int key_bytes = 0;
        for (; i < n; ++i) {
            if (i + 16 < n) __builtin_prefetch(key_at(i + 16));
            int dup = 0, trail = 0;
            const int len = packed_key_len(key_at(i), i > start ? key_at(i - 1) : nullptr, kl, t.codec.sfill, &dup, &trail);
            const std::uint32_t top = std::max(max_rec, rec_at(i));
            if ((i - start + 1) * leaf_entry_bytes(top, kl) + key_bytes + len > kLeafSpace) break;
            max_rec = top;
            key_bytes += len;
            dups[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(dup);
            trails[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(trail);
        }
        if (i == start && i < n) fail("key does not fit in a page");
    } while (i < n);
    starts.push_back(n);

    const int cap = interior_capacity(kl);
    std::vector<int> sizes{static_cast<int>(starts.size()) - 1};   // pages per level, leaves first
    while (sizes.back() > 1) sizes.push_back((sizes.back() + cap - 1) / cap);
    std::vector<int> first_page{0};
    for (int sz : sizes) first_page.push_back(first_page.back() + sz);
    const auto total = static_cast<std::size_t>(first_page.back());
    std::sort(reuse.begin(), reuse.end());
    reuse.erase(std::unique(reuse.begin(), reuse.end()), reuse.end());
    std::vector<std::uint32_t> offs(reuse.begin(), reuse.begin() + static_cast<std::ptrdiff_t>(std::min(total, reuse.size())));
    if (offs.size() < total) {
        const auto more = static_cast<std::uint32_t>(total - offs.size());
        const auto base = static_cast<std::uint32_t>(append_area(more * kPageSize));
        for (std::uint32_t p = 0; p < more; ++p) offs.push_back(base + p * kPageSize);
    }
    for (auto off : offs) cache_.erase(off);
    auto page_off = [&](std::size_t level, int j) { return offs[static_cast<std::size_t>(first_page[level] + j)]; };
    const std::size_t top = sizes.size() - 1;

    // Pages are encoded in file order into a small buffer that is written
    // out whenever it fills or the next page is not adjacent to it.
    const std::size_t room_pages = std::min<std::size_t>(total, kBuildBatchPages);
    auto* out = room<unsigned char>(scratch.pages, room_pages * kPageSize);
    std::size_t batch_first = 0, batch_count = 0;
    auto write_batch = [&] {
        if (batch_count > 0) write_at(offs[batch_first], out, batch_count * kPageSize);
        batch_first += batch_count;
        batch_count = 0;
    };
    auto encode = [&](std::size_t level, int j, PageView v) {
        v.kl = kl;
        v.attr = static_cast<std::uint16_t>((level == 0 ? 2 : 0) | (level == top ? 1 : 0));
        v.left = j > 0 ? page_off(level, j - 1) : kNoPage;
        v.right = j + 1 < sizes[level] ? page_off(level, j + 1) : kNoPage;
        const auto index = static_cast<std::size_t>(first_page[level] + j);   // pages come in this order
        if (batch_count == room_pages ||
            (batch_count > 0 && offs[index] != offs[index - 1] + kPageSize))
            write_batch();
        encode_entries(v, t.codec, out + batch_count * kPageSize);
        ++batch_count;
    };
    std::string keys;
    std::vector<const char*> leaf_keys;
    std::vector<std::uint32_t> entry_recs, childs;
    std::vector<int> last;   // last key of each page of the level below
    for (int j = 0; j < sizes[0]; ++j) {
        const int a = starts[static_cast<std::size_t>(j)], b = starts[static_cast<std::size_t>(j) + 1];
        leaf_keys.clear();
        entry_recs.clear();
        for (int k = a; k < b; ++k) {
            leaf_keys.push_back(key_at(k));
            entry_recs.push_back(rec_at(k));
        }
        PageView v;
        v.key_at = leaf_keys.data();
        v.recs = entry_recs.data();
        v.dups = dups.data() + a;
        v.trails = trails.data() + a;
        v.count = b - a;
        encode(0, j, v);
        last.push_back(b - 1);
    }
    for (std::size_t level = 1; level < sizes.size(); ++level) {
        std::vector<int> up;
        const int below = sizes[level - 1];
        for (int j = 0; j < sizes[level]; ++j) {
            keys.clear();
            entry_recs.clear();
            childs.clear();
            for (int c = j * cap; c < std::min(below, (j + 1) * cap); ++c) {
                const int k = last[static_cast<std::size_t>(c)];
                keys.append(key_at(k), static_cast<std::size_t>(kl));
                entry_recs.push_back(rec_at(k));
                childs.push_back(page_off(level - 1, c));
            }
            PageView v;
            v.keys = keys.data();
            v.recs = entry_recs.data();
            v.childs = childs.data();
            v.count = static_cast<int>(childs.size());
            encode(level, j, v);
            up.push_back(last[static_cast<std::size_t>(std::min(below, (j + 1) * cap) - 1)]);
        }
        last = std::move(up);
    }
    write_batch();
    if (reuse.size() > total)
        free_pages(std::vector<std::uint32_t>(reuse.begin() + static_cast<std::ptrdiff_t>(total), reuse.end()));
    return page_off(top, 0);
}

Tree CdxIndex::new_tree(const TagInfo& info) const {
    Tree t;
    t.info = normalized(info);
    if (!valid_name(t.info.name)) fail("bad tag name \"" + t.info.name + "\"");
    if (t.info.key_len < 1) fail("bad key length for tag " + t.info.name);
    if (t.info.key_expr.empty() || t.info.key_expr.size() + t.info.for_expr.size() + 2 > 512)
        fail("bad key expression for tag " + t.info.name);
    t.codec = make_codec(t.info.type, t.info.key_len);
    return t;
}

void CdxIndex::build_tag(const TagInfo& info, std::vector<KeyPos> keys) {
    const Tree t = new_tree(info);
    const auto kl = static_cast<std::size_t>(t.codec.kl);
    KeyBlock block;
    block.width = kl;
    block.bytes = LargeBuffer(keys.size() * kl);
    block.recs.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        char* k = block.bytes.data() + i * kl;
        const std::size_t len = std::min(kl, keys[i].key.size());
        std::memcpy(k, keys[i].key.data(), len);
        std::memset(k + len, t.codec.fill, kl - len);
        block.recs.push_back(keys[i].recno);
    }
    keys.clear();
    build_tag_from(info, std::move(block));
}

void CdxIndex::build_tag_from(const TagInfo& info, KeyBlock keys) {
    begin_call();
    need_writable();
    Tree t = new_tree(info);
    BuildScratch scratch;
    const SortedView sorted = sort_keys(t.codec, keys, t.info.unique, scratch);

    // A tag built again replaces the old tree and takes over its pages.
    const int existing = tag_number(t.info.name);
    std::vector<std::uint32_t> old_pages;
    if (existing >= 0) {
        const Tree& old = trees_[static_cast<std::size_t>(existing)];
        t.header = old.header;
        try {
            visit_pages(old, &old_pages, nullptr);
        } catch (const CdxError&) {
            old_pages.clear();   // a damaged tree is dropped, its pages are lost
        }
    } else {
        t.header = static_cast<std::uint32_t>(append_area(kTagHeaderSize));
    }
    t.root = build_pages(t, sorted, std::move(old_pages), scratch);
    write_tag_header(t);
    if (existing < 0) insert_sorted(dir_, dir_.codec.sort_form(t.info.name), t.header);
    type_of_[t.info.name] = t.info.type;
    flush();
    read_tags();
}

// A whole new layout in place of the old file: header, tag directory, then
// each tag's header and pages. The change counter moves with the first
// write, so that anyone reading without the lock notices, and the file is
// cut to its new length at the end.
void CdxIndex::rebuild(const std::vector<TagInfo>& tags, std::vector<KeyBlock> keys) {
    // Whatever happens, the rebuild ends here; after a failure the file is
    // read again, and the update mark left in it tells it is damaged.
    rebuilding_ = true;
    struct Done {
        CdxIndex& self;
        int exceptions = std::uncaught_exceptions();
        ~Done() {
            self.rebuilding_ = false;
            if (std::uncaught_exceptions() > exceptions) {
                self.drop_unwritten();
                self.wrote_ = false;
            }
        }
    } done{*this};
    begin_call();
    need_writable();
    if (keys.size() != tags.size()) fail("rebuild: one key block per tag is needed");
    std::vector<Tree> ts;
    for (const TagInfo& info : tags) ts.push_back(new_tree(info));
    BuildScratch scratch;   // shared by the tags, so its pages are touched once
    std::uint32_t free_head = 0, counter = 0;
    read_change_marks(free_head, counter);
    const std::uint64_t old_size = size_;
    write_dirty();
    stale_ = true;   // until the new layout has been read back
    cache_.clear();
    trees_.clear();
    infos_.clear();
    size_ = 0;
    seen_counter_ = counter + 1;   // the new header carries the moved counter
    wrote_ = true;
    seen_free_ = 0;
    write_empty(seen_counter_);
    set_update_mark(true);   // until the last tag is in
    dir_.root = kDirRootPage;
    // On a large table the tags after the first are sorted on threads of
    // their own (each with its own scratch) while the first is sorted and
    // written; the pages still go out one tag after another.
    std::size_t total = 0;
    for (const KeyBlock& k : keys) total += k.recs.size();
    const bool threaded = ts.size() > 1 && total >= kThreadedSortKeys && std::thread::hardware_concurrency() > 1;
    std::vector<BuildScratch> own(threaded ? ts.size() : 0);
    std::vector<std::optional<SortedView>> presorted(ts.size());
    std::vector<std::exception_ptr> errors(ts.size());
    std::vector<std::jthread> sorters;
    for (std::size_t i = 1; threaded && i < ts.size(); ++i)
        sorters.emplace_back([&, i] {
            try {
                presorted[i] = sort_keys(ts[i].codec, keys[i], ts[i].info.unique, own[i]);
            } catch (...) {
                errors[i] = std::current_exception();
            }
        });
    for (std::size_t i = 0; i < ts.size(); ++i) {
        Tree& t = ts[i];
        if (i > 0 && threaded) {
            sorters[i - 1].join();
            if (errors[i]) std::rethrow_exception(errors[i]);
        }
        const SortedView sorted = presorted[i] ? *presorted[i] : sort_keys(t.codec, keys[i], t.info.unique, scratch);
        t.header = static_cast<std::uint32_t>(append_area(kTagHeaderSize));
        t.root = build_pages(t, sorted, {}, scratch);
        keys[i] = KeyBlock{};
        write_tag_header(t);
        insert_sorted(dir_, dir_.codec.sort_form(t.info.name), t.header);
        type_of_[t.info.name] = t.info.type;
    }
    flush();
    if (old_size > size_) {
        wmap_.reset();
        if (::ftruncate(fd_, static_cast<off_t>(size_)) != 0)
            fail(std::string("cannot truncate: ") + std::strerror(errno));
        disk_size_ = size_;
    }
    read_tags();
    stale_ = false;
    interrupted_ = false;
}

}  // namespace qv::rt::table::cdx
