#pragma once
// Compound index files (.cdx) in the compact format other xBase tools use:
// a tag directory and one B-tree per tag. This layer knows keys as bytes;
// the work-area layer evaluates the key expressions and calls it.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "runtime/core/value.hpp"
#include "runtime/table/file_map.hpp"

namespace qv::rt::table {

struct CdxError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class KeyType : char { Character = 'C', Numeric = 'N', Date = 'D', Logical = 'L' };

struct TagInfo {
    std::string name;        // upper case, at most 10 characters
    std::string key_expr;    // as stored
    std::string for_expr;    // empty when none
    KeyType type = KeyType::Character;
    int key_len = 0;         // C: from the key on a blank record, at most 240; N, D: 8; L: 1
    bool unique = false;
    bool descending = false;
};

// Key bytes as the format stores them: C padded with blanks or cut to
// key_len; N and D as the 8-byte ordered double (D = Julian day); L 'T'/'F'.
std::string encode_key(const Value& v, KeyType type, int key_len);
// Order of two keys of a tag: C keys by the CP850 collation (accented letters
// beside their plain letters), others byte by byte. Only the first
// min(a.size(), b.size()) bytes take part when `partial` (seek on a prefix).
int compare_keys(std::string_view a, std::string_view b, KeyType type, bool partial = false);
// The value a stored key stands for (C: the bytes; N: the number; D: the
// date, 0 = empty; L: true for 'T').
Value decode_key(std::string_view key, KeyType type);
// The file does not record a tag's key type; when only the file is known it
// is guessed from the expression and key length (8 bytes without string
// functions: N, or D for date functions; otherwise C). The work-area layer,
// which evaluates the expression, corrects it with CdxFile::set_key_type.
KeyType infer_key_type(std::string_view key_expr, int key_len);

struct KeyPos {
    std::string key;
    std::uint32_t recno = 0;
};

// All keys of one tag side by side, for building the tag at once: key i is
// the `width` bytes at bytes.data() + i * width (cut or padded to the tag's
// key length when that differs), recs[i] its record number. `bytes` holds
// room for at least recs.size() keys.
struct KeyBlock {
    std::size_t width = 0;
    LargeBuffer bytes;
    std::vector<std::uint32_t> recs;
};

class CdxFile {
public:
    virtual ~CdxFile() = default;
    // Opens an existing file; throws CdxError naming the file when it is
    // corrupt or not understood (the caller then rebuilds it).
    static std::unique_ptr<CdxFile> open(const std::string& path, bool read_only = false);
    // Creates an empty compound file (replacing any file of that name).
    static std::unique_ptr<CdxFile> create(const std::string& path);
    // A new file at `path` holding these tags, each built from its keys,
    // written whole; for building a bag aside and renaming it over the old
    // one. (Not synced: the rename is what a killed process could not leave
    // half done; whoever needs the files on the disk itself syncs them.)
    static void write_new(const std::string& path, const std::vector<TagInfo>& tags, std::vector<KeyBlock> keys);

    virtual const std::string& path() const = 0;
    virtual int fd() const = 0;   // for the index lock of the work-area layer
    // Tags in creation order (the order numbers of the runtime).
    virtual const std::vector<TagInfo>& tags() const = 0;
    virtual int tag_number(std::string_view name) const = 0;   // 0-based, -1 if none
    // Sets the key type of a tag read from the file (see infer_key_type); it
    // decides the collation and the fill byte of compressed keys.
    virtual void set_key_type(int tag, KeyType type) = 0;

    // Adds (or replaces) a tag built from all its keys at once. Keys need not
    // be sorted; ties end up in record order; UNIQUE keeps the lowest recno.
    virtual void build_tag(const TagInfo& info, std::vector<KeyPos> keys) = 0;
    virtual void build_tag_from(const TagInfo& info, KeyBlock keys) = 0;
    // REINDEX: lays the whole file out anew with these tags (in this order),
    // each built from its keys; pages of the old trees are not kept.
    virtual void rebuild(const std::vector<TagInfo>& tags, std::vector<KeyBlock> keys) = 0;
    virtual void insert(int tag, std::string_view key, std::uint32_t recno) = 0;
    virtual void remove(int tag, std::string_view key, std::uint32_t recno) = 0;

    // Navigation in index order (a DESCEND tag is read backwards by these, so
    // first() of a descending tag is its highest key). Stateless: the caller
    // keeps its KeyPos and asks for the one after or before it, so changes
    // made in between by anyone are seen.
    virtual std::optional<KeyPos> first(int tag) = 0;
    virtual std::optional<KeyPos> last(int tag) = 0;
    virtual std::optional<KeyPos> next(int tag, const KeyPos& from) = 0;
    virtual std::optional<KeyPos> prev(int tag, const KeyPos& from) = 0;
    // The first entry whose key, compared on the first key.size() bytes, is
    // >= key (in the tag's reading order); exact match is the caller's test.
    virtual std::optional<KeyPos> seek(int tag, std::string_view key) = 0;
    virtual std::uint64_t key_count(int tag) = 0;
    // Every entry of a tag read once (the leaves are not kept in the cache):
    // how many there are and the lowest and highest record numbers.
    struct EntrySummary {
        std::uint64_t count = 0;
        std::uint32_t lowest = 0;
        std::uint32_t highest = 0;
    };
    virtual EntrySummary summarize(int tag) = 0;
    // An update of the file was under way when the last writer stopped (it
    // died or a write failed): the mark stays in the header until the file
    // is rebuilt, and the trees are not to be trusted.
    virtual bool interrupted() = 0;
    // Leaves the update mark in the header, so that whoever opens the file
    // next rebuilds it: for a change of the table whose keys could not all
    // be written.
    virtual void mark_damaged() = 0;
    // Moves the change counter and sets the update mark now, before the
    // first page of an update: for a change whose record reaches the table
    // before its keys reach the index.
    virtual void begin_update() = 0;

    // Called after taking the index lock: when anyone else has written the
    // file since this handle last read or wrote it (seen by the change
    // counter and free-list head of the header; every update moves the
    // counter before it writes anything else), whatever was read is dropped
    // and read again.
    virtual void invalidate() = 0;
    // Writes the changed pages and ends the update; call it before letting
    // go of the index lock. Inserts and removals stay in memory
    // until then (build_tag flushes by itself; closing flushes too).
    virtual void flush() = 0;
};

}  // namespace qv::rt::table
