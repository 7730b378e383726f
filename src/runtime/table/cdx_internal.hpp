#pragma once
// Pieces shared by the compound index implementation: page layout, key
// codec and the file class. Not for use outside the cdx*.cpp files.
#include <algorithm>
#include <array>
#include <bit>
#include <deque>
#include <optional>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include "runtime/table/cdx.hpp"
#include "runtime/table/file_map.hpp"

namespace qv::rt::table::cdx {

inline constexpr std::uint32_t kPageSize = 512;
inline constexpr std::uint32_t kTagHeaderSize = 1024;
inline constexpr std::uint32_t kNoPage = 0xFFFFFFFFu;
inline constexpr std::uint32_t kDirRootPage = 0x400;   // root of the tag directory in a new file
inline constexpr int kLeafHeader = 24;
inline constexpr int kLeafSpace = kPageSize - kLeafHeader;        // 488
inline constexpr int kInteriorHeader = 12;
inline constexpr int kInteriorSpace = kPageSize - kInteriorHeader;  // 500
inline constexpr int kMaxKeyLen = 240;
inline constexpr int kMaxDepth = 32;
inline constexpr int kDirKeyLen = 10;
// A byte of the reserved part of the compound header, 1 while an update of
// the file is under way: set before the first page of the update is
// written and cleared after the last.
inline constexpr std::uint32_t kUpdateMarkAt = 0x1E0;

inline std::uint16_t get_le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t get_le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint32_t get_be32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
inline void put_le16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void put_le32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void put_be32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * (3 - i)));
}

// memcmp of two keys in sort form, inline: eight bytes at a time as
// big-endian words, the searches' comparisons being most of their work.
inline int compare_sorted(const char* a, const char* b, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) {
                x = __builtin_bswap64(x);
                y = __builtin_bswap64(y);
            }
            return x < y ? -1 : 1;
        }
    }
    for (; i < n; ++i)
        if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
    return 0;
}

// C keys are kept in memory in "sort form": every byte replaced by its
// collation weight, so that keys compare with memcmp. The weights are a
// permutation of 0..255, so the stored bytes come back exactly.
using ByteMap = std::array<unsigned char, 256>;
const ByteMap& collation_weights();
const ByteMap& collation_bytes();   // inverse of collation_weights
const ByteMap& identity_map();

struct Codec {
    int kl = 0;
    KeyType type = KeyType::Character;
    unsigned char fill = ' ';    // trailing fill of stored keys
    unsigned char sfill = ' ';   // the same in sort form
    const ByteMap* to_sort = nullptr;
    const ByteMap* from_sort = nullptr;

    std::string sort_form(std::string_view raw) const;   // padded or cut to kl
    void sort_into(std::string_view raw, char* out) const;   // kl bytes
    std::size_t sort_prefix_into(std::string_view raw, char* out) const;  // cut to kl, not padded; its length
    std::string raw_form(std::string_view sorted) const;
};
Codec make_codec(KeyType type, int key_len);

// One decoded page. Keys are in sort form, kl bytes each.
struct Node {
    std::uint32_t off = 0;
    std::uint16_t attr = 2;   // bit 0: root, bit 1: leaf
    std::uint32_t left = kNoPage;
    std::uint32_t right = kNoPage;
    int kl = 0;
    std::string keys;
    std::vector<std::uint32_t> recs;
    std::vector<std::uint32_t> childs;   // interior pages only
    bool dirty = false;                   // changed since last written
    // How the node stands to its page as last read or written: the same
    // but for the words of the page header (`Clean`), one key added or
    // taken at `edit_at` by leaf_insert or leaf_erase, or changed otherwise.
    // The first two let the page be brought up to date instead of being
    // laid out again (patch_page).
    enum class Edit : std::uint8_t { Clean, Inserted, Erased, Rewritten };
    Edit edit = Edit::Rewritten;
    int edit_at = 0;
    // Of a leaf, as leaf_bytes counts them: the packed key bytes and the
    // highest record number, -1 while not known, and how each key is packed
    // (bytes shared with the key before it, trailing fill bytes), empty
    // while not known. Kept up by leaf_insert and leaf_erase, known from a
    // page read, reset by every other change.
    int packed = -1;
    std::int64_t max_rec = -1;
    std::vector<std::uint8_t> dups, trails;
    bool packing_known() const { return packed >= 0 && max_rec >= 0 && dups.size() == recs.size(); }

    bool leaf() const { return (attr & 2) != 0; }
    bool root() const { return (attr & 1) != 0; }
    int size() const { return static_cast<int>(recs.size()); }
    std::string_view key(int i) const {
        return {keys.data() + static_cast<std::size_t>(i) * kl, static_cast<std::size_t>(kl)};
    }
    void insert(int pos, std::string_view k, std::uint32_t rec, std::uint32_t child);
    void erase(int pos);
    void set(int pos, std::string_view k, std::uint32_t rec);
    void touched() {   // after keys or recs were changed directly
        edit = Edit::Rewritten;
        packed = -1;
        max_rec = -1;
        dups.clear();
        trails.clear();
    }
};

// The decoded pages of one file, found by their offset through a table
// indexed by page number: one look-up in a small array instead of a walk
// through hash buckets, which every level of every search makes. A node
// stays where it is until it is erased or the cache cleared.
class PageCache {
public:
    Node* find(std::uint32_t off) {
        const std::size_t page = off / kPageSize;
        if (off % kPageSize != 0 || page >= slot_of_.size() || slot_of_[page] == 0) return nullptr;
        return &nodes_[slot_of_[page] - 1];
    }
    bool contains(std::uint32_t off) { return find(off) != nullptr; }
    // The node of that page, a blank one when there was none.
    Node& operator[](std::uint32_t off) {
        if (Node* n = find(off)) return *n;
        const std::size_t page = off / kPageSize;
        if (page >= slot_of_.size()) slot_of_.resize(std::max(page + 1, slot_of_.size() * 2), 0);
        std::uint32_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            nodes_.emplace_back();
            slot = static_cast<std::uint32_t>(nodes_.size());
        }
        slot_of_[page] = slot;
        ++size_;
        return nodes_[slot - 1];
    }
    void erase(std::uint32_t off) {
        const std::size_t page = off / kPageSize;
        if (page >= slot_of_.size() || slot_of_[page] == 0) return;
        nodes_[slot_of_[page] - 1] = Node{};
        free_.push_back(slot_of_[page]);
        slot_of_[page] = 0;
        --size_;
    }
    void clear() {
        nodes_.clear();
        slot_of_.clear();
        free_.clear();
        size_ = 0;
    }
    std::size_t size() const { return size_; }

private:
    std::deque<Node> nodes_;
    std::vector<std::uint32_t> slot_of_;   // by page number: slot + 1, 0 for none
    std::vector<std::uint32_t> free_;      // slots + 1 of erased nodes
    std::size_t size_ = 0;
};

// Page codec (cdx_page.cpp). decode_page throws std::runtime_error with a
// short reason; the caller adds the file name.
void decode_page(const unsigned char* page, const Codec& c, Node& out);
// Bytes the entries [from, to) of a leaf need (entries plus packed keys).
int leaf_bytes(const Node& n, int from, int to, const Codec& c);
bool leaf_fits(const Node& n, const Codec& c);
// The same for a whole leaf, from what the node keeps of it when it can.
int leaf_size(Node& n, const Codec& c);
bool leaf_fits(Node& n, const Codec& c);
// A key added to or taken from a leaf, keeping its size known.
void leaf_insert(Node& n, int pos, std::string_view k, std::uint32_t rec, const Codec& c);
void leaf_erase(Node& n, int pos, const Codec& c);
int interior_capacity(int kl);
void encode_page(const Node& n, const Codec& c, unsigned char* page);
// `page` holds the node's page as last read or written; brings it up to
// date when the node has changed from it only as its `edit` says, with the
// same bytes encode_page would lay out. False, with the page untouched,
// when it has to be laid out again.
bool patch_page(const Node& n, const Codec& c, unsigned char* page);
// The entries of a page wherever they are kept (keys in sort form, kl bytes
// each; childs only for interior pages).
struct PageView {
    const char* keys = nullptr;
    const char* const* key_at = nullptr;    // or each key where it lies
    const std::uint32_t* recs = nullptr;
    const std::uint32_t* childs = nullptr;
    const std::uint8_t* dups = nullptr;     // of a leaf, when known with trails
    const std::uint8_t* trails = nullptr;
    int count = 0;
    int kl = 0;
    std::uint16_t attr = 2;
    std::uint32_t left = kNoPage;
    std::uint32_t right = kNoPage;
};
void encode_entries(const PageView& v, const Codec& c, unsigned char* page);
int key_bits(int kl);
// Bytes of a leaf key stored in the page after compression against the
// previous key of the page (nullptr for the first); dup and trail out.
int packed_key_len(const char* key, const char* prev, int kl, unsigned char sfill, int* dup = nullptr,
                   int* trail = nullptr);
int leaf_entry_bytes(std::uint32_t max_rec, int kl);

// Bulk building (cdx_build.cpp): a key of the block being sorted, with 8 of
// its bytes (from the depth being sorted on) as one number.
struct BuildKey {
    std::uint64_t head;
    std::uint32_t rec;
    std::uint32_t at;   // key number in the flat buffer
};
// Buffers reused from tag to tag while a file is built.
struct BuildScratch {
    LargeBuffer order;       // BuildKey, twice the key count
    LargeBuffer converted;   // keys in sort form when the block's width differs
    LargeBuffer pages;       // the encoded pages
};
// Keys in tag order: key i is at flat + keys[i].at * kl.
struct SortedView {
    const char* flat = nullptr;
    std::size_t kl = 0;
    const BuildKey* keys = nullptr;
    std::size_t count = 0;
    const char* key(std::size_t i) const { return flat + std::size_t(keys[i].at) * kl; }
};
SortedView sort_keys(const Codec& codec, KeyBlock& block, bool unique, BuildScratch& scratch);

// One B-tree of the file: a tag, or the tag directory (header at offset 0).
struct Tree {
    TagInfo info;
    std::uint32_t header = 0;
    std::uint32_t root = 0;
    Codec codec;
};

// An entry found by a search; the key is in sort form and stays valid until
// the next call that reads or changes the file.
struct Hit {
    std::string_view key;
    std::uint32_t rec = 0;
};

class CdxIndex final : public CdxFile {
public:
    CdxIndex(std::string path, int fd, bool read_only);
    ~CdxIndex() override;
    CdxIndex(const CdxIndex&) = delete;
    CdxIndex& operator=(const CdxIndex&) = delete;

    void load();            // reads the headers and the tag list
    void write_empty(std::uint32_t counter = 0);   // lays out a new file with no tags

    const std::string& path() const override { return path_; }
    int fd() const override { return fd_; }
    const std::vector<TagInfo>& tags() const override { return infos_; }
    int tag_number(std::string_view name) const override;
    void set_key_type(int tag, KeyType type) override;

    void build_tag(const TagInfo& info, std::vector<KeyPos> keys) override;
    void build_tag_from(const TagInfo& info, KeyBlock keys) override;
    void rebuild(const std::vector<TagInfo>& tags, std::vector<KeyBlock> keys) override;
    void insert(int tag, std::string_view key, std::uint32_t recno) override;
    void remove(int tag, std::string_view key, std::uint32_t recno) override;

    std::optional<KeyPos> first(int tag) override;
    std::optional<KeyPos> last(int tag) override;
    std::optional<KeyPos> next(int tag, const KeyPos& from) override;
    std::optional<KeyPos> prev(int tag, const KeyPos& from) override;
    std::optional<KeyPos> seek(int tag, std::string_view key) override;
    std::uint64_t key_count(int tag) override;
    EntrySummary summarize(int tag) override;
    bool interrupted() override;
    void mark_damaged() override;
    void begin_update() override;

    void invalidate() override;
    void flush() override;

private:
    struct Step {
        std::uint32_t off;
        int idx;   // child taken (interior) or entry position (leaf)
    };
    enum class Side { First, Last };

    [[noreturn]] void fail(const std::string& why) const;
    void begin_call();
    Tree& tree(int tag);
    void need_writable() const;

    // File access (cdx_file.cpp).
    void read_at(std::uint64_t off, void* buf, std::size_t len);
    void write_at(std::uint64_t off, const void* buf, std::size_t len);
    void check_page(std::uint32_t off) const;
    Node& node(const Tree& t, std::uint32_t off);
    Node& new_node(const Tree& t, std::uint16_t attr);
    void store(const Tree& t, Node& n);             // written at the next flush
    void write_page(const Tree& t, const Node& n);  // written now
    void write_dirty();
    std::uint32_t alloc_page();
    void free_page(std::uint32_t off);
    void free_pages(std::vector<std::uint32_t> offs);   // in a few writes
    void write_root(const Tree& t);
    Tree read_tree(std::uint32_t header, const std::string& name);
    void read_tags();
    std::uint64_t append_area(std::uint32_t bytes);

    // Searches (cdx_nav.cpp), on keys in sort form, in stored order.
    std::optional<Hit> hit_first(const Tree& t);
    std::optional<Hit> hit_last(const Tree& t);
    std::optional<Hit> hit_after(const Tree& t, std::string_view skey, std::uint32_t rec);
    std::optional<Hit> hit_before(const Tree& t, std::string_view skey, std::uint32_t rec);
    std::optional<Hit> hit_prefix_ge(const Tree& t, std::string_view sprefix);   // first >= prefix
    std::optional<Hit> hit_prefix_le(const Tree& t, std::string_view sprefix);   // last <= prefix
    template <class Before>
    std::optional<Hit> find_first_not(const Tree& t, Before before);
    template <class Before>
    std::optional<Hit> find_last(const Tree& t, Before before);
    void check_child(const Node& parent, int idx, const Node& child) const;
    std::optional<KeyPos> to_pos(const Tree& t, const std::optional<Hit>& h) const;
    void visit_pages(const Tree& t, std::vector<std::uint32_t>* pages, std::uint64_t* keys);

    // Changes (cdx_update.cpp).
    std::vector<Step> path_to(const Tree& t, std::string_view skey, std::uint32_t rec);
    bool insert_sorted(Tree& t, std::string_view skey, std::uint32_t rec);
    bool remove_sorted(Tree& t, std::string_view skey, std::uint32_t rec);
    void settle(Tree& t, std::vector<Step>& path, int level, bool last_changed);
    void split(Tree& t, std::vector<Step>& path, int level);
    bool shift_to_neighbour(Tree& t, std::vector<Step>& path, int level);
    void unlink_empty(Tree& t, std::vector<Step>& path, int level);
    void merge_into_left(Tree& t, std::vector<Step>& path, int level);
    int split_point(const Tree& t, const Node& n, bool appending) const;

    // Bulk building (cdx_build.cpp).
    Tree new_tree(const TagInfo& info) const;   // checked and normalised
    std::uint32_t build_pages(const Tree& t, const SortedView& sorted, std::vector<std::uint32_t> reuse,
                              BuildScratch& scratch);
    void write_tag_header(const Tree& t);

    std::string path_;
    int fd_ = -1;
    bool read_only_ = false;
    bool stale_ = false;
    std::uint64_t size_ = 0;        // end of the file as laid out (areas handed out included)
    std::uint64_t disk_size_ = 0;   // bytes known to be in the file
    WritableMap wmap_;
    Tree dir_;
    std::vector<Tree> trees_;
    std::vector<TagInfo> infos_;
    std::unordered_map<std::string, KeyType> type_of_;   // set_key_type by tag name
    PageCache cache_;
    std::vector<std::pair<std::uint32_t, Codec>> dirty_;
    struct Run {
        std::uint32_t off;
        std::size_t at, len;   // bytes of out_
    };
    std::vector<unsigned char> out_;   // the pages write_dirty writes
    std::vector<Run> runs_;
    // Change detection between processes: the free-list head and the change
    // counter of the compound header as last seen or written. Every update
    // bumps the counter before its first write.
    std::uint32_t seen_free_ = 0;
    std::uint32_t seen_counter_ = 0;
    bool wrote_ = false;   // the counter has moved for the update under way
    bool interrupted_ = false;   // the header carried the update mark when read
    bool rebuilding_ = false;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> roots_;   // tag header, new root: written last
    void write_pending();
    void set_update_mark(bool on);
    void drop_unwritten();
    void bump_counter();
    void read_change_marks(std::uint32_t& free_head, std::uint32_t& counter);
};

}  // namespace qv::rt::table::cdx
