#pragma once
// One table open in a work area: its DBF file, its memo file, its index bags,
// the current record and the navigation state.
//
// Shared access. Every positioning reads the record from disk; the record
// count read earlier is trusted only as a lower bound (records are never
// removed while others have the table open) and read again at the end of the
// table and whenever a lock is taken. Changes to the current record are kept
// in the record buffer and written, with the index upkeep, when the record is
// left, a lock is released, or commit() is called.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "runtime/core/expr.hpp"
#include "runtime/core/value.hpp"
#include "runtime/table/cdx.hpp"
#include "runtime/table/dbf_format.hpp"
#include "runtime/table/file_lock.hpp"
#include "runtime/table/file_map.hpp"
#include "runtime/table/memo_file.hpp"
#include "runtime/table/record_journal.hpp"
#include "runtime/table/share_signal.hpp"

namespace qv::rt::table {

class Workspace;

// A FOR or WHILE condition; an empty one always holds.
using Condition = std::function<bool()>;
Condition condition_of(const Expr& e);   // empty Expr gives an empty Condition

struct OpenOptions {
    std::string alias;          // empty: the file name without extension
    bool exclusive = false;
    bool read_only = false;
    bool structural_index = true;   // open <name>.cdx when it exists
};

struct IndexOptions {
    std::string bag;            // empty: the structural <name>.cdx
    std::string for_expr;
    bool unique = false;
    bool descending = false;
};

class Table {
public:
    // A table of work area `area` of `ws`; the workspace opens it (files are
    // opened once the table is in its area, so that its key expressions
    // reach its fields). Opening throws TableError when the file is missing
    // or corrupt, TableBusy when in use in a conflicting mode.
    Table(Workspace& ws, int area, const std::string& path, const OpenOptions& opt);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // --- structure
    const std::string& path() const { return path_; }
    const std::string& alias() const { return alias_; }
    void set_alias(std::string a) { alias_ = std::move(a); }
    int area() const { return area_; }
    bool exclusive() const { return exclusive_; }
    bool read_only() const { return read_only_; }
    const std::vector<Field>& fields() const { return header_.fields; }
    int field_count() const { return static_cast<int>(header_.fields.size()); }
    int field_index(std::string_view name) const;   // 0-based, -1 when none
    int header_len() const { return header_.header_len; }
    int record_len() const { return header_.record_len; }
    unsigned char version() const { return header_.version; }
    MemoKind memo_kind() const { return memo_ ? memo_->kind() : MemoKind::None; }

    // --- fields of the current record
    Value get(int index);
    void put(int index, const Value& v);
    Value get(std::string_view name);
    void put(std::string_view name, const Value& v);
    std::string raw_record() const { return buf_; }

    // --- position
    std::uint32_t recno() const { return recno_; }
    std::uint32_t lastrec();       // reads the header again when shared
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool found() const { return found_; }
    bool deleted() const { return !buf_.empty() && buf_[0] == '*'; }

    void go_to(std::uint32_t recno);
    void go_top();
    void go_bottom();
    // Moves n visible records (deleted ones hidden by SET DELETED and those
    // the filter rejects are passed over) in the active order.
    void skip(long n = 1);
    // Seeks in the active order: C keys may be shorter than the key (partial
    // match); soft leaves the table on the next greater key when not found.
    bool seek(const Value& key, bool soft = false, bool last = false);
    // LOCATE FOR cond [WHILE w] from the top (or from the current record
    // when `rest`), and CONTINUE.
    bool locate(Condition cond, Condition while_cond = {}, bool rest = false);
    bool continue_locate();

    // --- filter
    void set_filter(const Expr& e);
    void set_filter(Condition c, std::string text = {});
    void clear_filter();
    const std::string& filter_text() const { return filter_text_; }
    // Visible under SET DELETED and the filter (the current record).
    bool visible();

    // --- editing
    // Appends a blank record and locks it (frees other record locks); false
    // when the new record cannot be locked (another process holds the table).
    bool append_blank();
    void delete_record();
    void recall();
    void commit();                  // writes the record buffer now
    // Forgets what was put in the current record since it was read (a
    // record just appended stays, blank).
    void discard();
    void zap();                     // exclusive only
    void pack();                    // exclusive only
    // Exclusive use, no memo fields: the records become `records` (raw
    // records of this table's length, the deleted flag first) and every
    // index bag is rebuilt in place. Meant for a private scratch copy filled
    // again and again, where writing each bag aside and renaming it would
    // cost more than the data; a bag cut short carries its update mark and
    // is rebuilt at the next open.
    void refill(const std::vector<std::string>& records);

    // --- locks (always granted on an exclusive table)
    bool rlock(std::uint32_t recno = 0);   // 0 = current record
    bool flock();
    void unlock();
    bool is_locked(std::uint32_t recno = 0) const;
    bool file_locked() const { return file_locked_; }

    // --- orders
    int order_count() const;
    int order() const { return order_; }            // 0 = natural order
    void set_order(int n);
    bool set_order(std::string_view tag);           // false when no such tag
    std::string order_key(int n = 0) const;         // key text; n = 0 active
    std::string order_name(int n = 0) const;
    const TagInfo* order_info(int n = 0) const;
    std::string bag_of_order(int n = 0) const;
    // Opens another compound index file (SET INDEX TO / ordListAdd).
    void add_bag(const std::string& path);
    void clear_bags();                               // keeps the structural bag
    void index_on(const std::string& key, const std::string& tag, const IndexOptions& opt = {});
    void reindex();
    bool has_structural_index() const;

private:
    friend class Workspace;
    struct Tag;
    struct Bag;
    class SelectArea;
    class BagLock;
    bool sync_bag(Bag& bag);      // drops the bag's cache when another user wrote it
    // Runs a reading index operation on a shared table without the index
    // lock, and again under it when a writer got in the way.
    template <typename Op>
    auto index_read(Bag& bag, Op op) -> decltype(op());
    bool marks_equal(Bag& bag, const char* before);
    void lock_bag_for_read(Bag& bag);
    void unlock_bag(Bag& bag);

    // files
    void open(const OpenOptions& opt);
    void open_files(const OpenOptions& opt);
    void open_memo();
    void open_structural();
    void attach_bag(const std::string& path, bool structural);
    std::unique_ptr<CdxFile> open_locked(const std::string& path);
    void correct_key_types(Bag& bag);
    void rebuild_bag_from(Bag& bag, const std::vector<TagInfo>& tags);
    // Index files written beside the old ones and renamed over them
    // (table_bag_files.cpp).
    enum class BagStep { InStep, Unknown, OutOfStep };
    BagStep bag_step(Bag& bag);
    bool records_locked_elsewhere(const Bag& bag) const;
    static bool read_marks(Bag& bag, char* out);
    void known_in_step(Bag& bag);
    void repair_bag_if_needed(Bag& bag);
    void remember_bags_in_step() noexcept;
    void build_bag_aside(Bag& bag, const std::vector<TagInfo>& infos, std::vector<KeyBlock> keys);
    void add_tag_aside(Bag& bag, const TagInfo& info, KeyBlock keys);
    void install_bag(Bag& bag, const std::string& built);
    void reopen_bag(Bag& bag);
    void rebuild_bags(bool aside);
    std::string aside_name(const std::string& path, const char* ext) const;
    void set_structural_flag(bool on);
    void refresh_header();                 // record count from disk
    void write_count(std::uint32_t n);
    void touch_date();
    void write_header_bytes(const void* bytes, std::size_t len, std::size_t off);
    std::int64_t record_offset(std::uint32_t recno) const;
    void recover_torn_records();
    // `bytes` at `off`, its first `in_place` bytes over a record already there.
    void write_records(std::int64_t off, std::string_view bytes, std::size_t in_place);

    // record buffer
    void read_record(std::uint32_t recno);
    void blank_buffer();
    void to_phantom();
    void flush();
    void give_up_keys() noexcept;
    void undo_partial_append(std::uint32_t n, bool carried) noexcept;
    void update_indexes(const std::function<void()>& write_record = {});
    void prepare_change();
    std::uint32_t memo_block(const Field& f) const;
    void store_memo_pointer(const Field& f, std::uint32_t block);

    // navigation helpers
    bool load_visible(std::uint32_t recno);
    void natural_forward(std::uint32_t from);
    void natural_backward(std::uint32_t from);
    bool ordered_walk(std::optional<KeyPos> from, bool forward);
    void ordered_forward(std::optional<KeyPos> from);
    void ordered_backward(std::optional<KeyPos> from);
    bool active_order_tag(Bag*& bag, int& tag);
    KeyPos current_keypos();
    std::string eval_key(const Tag& t);
    bool eval_for(const Tag& t);
    std::vector<KeyBlock> collect_keys(const std::vector<Tag*>& tags);
    void add_keys(std::vector<KeyBlock>& blocks, const std::vector<Tag*>& tags, std::uint32_t r);
    bool collect_keys_in_parallel(std::vector<KeyBlock>& blocks, const std::vector<Tag*>& tags);
    // Runs `fn` with each record in turn as the current one, read in chunks.
    void scan_all(const std::function<void(std::uint32_t)>& fn);
    Tag make_tag(const TagInfo& info);

    // locks
    std::int64_t record_lock_offset(std::uint32_t recno) const;
    void after_lock();
    void release_record_locks();
    bool lock_now(std::int64_t start, std::int64_t len);
    bool lock_header();
    void unlock_header();
    void keep_header_release_records(std::uint32_t appended);
    void give_back_kept_locks() noexcept;
    LockSpan record_span(std::uint32_t first, std::uint32_t last) const;
    bool lock_appended(std::uint32_t recno);
    void hold_run_along(std::uint32_t held);
    void end_append_run() noexcept;

    Workspace& ws_;
    int area_;
    std::string path_;
    std::string alias_;
    bool exclusive_ = false;
    bool read_only_ = false;
    FileHandle fd_;
    OpenFileClaim claim_{fd_};   // known open by identity while it lives
    FileMap map_;                // the DBF, for reading records and the count
    WritableMap wmap_;           // the DBF, for writing the count
    DbfHeader header_;
    std::uint32_t reccount_ = 0;
    std::uint64_t own_appends_ = 0;   // records this user appended
    std::unique_ptr<MemoFile> memo_;
    std::optional<RecordJournal> journal_;   // record rewrites a kill cannot tear
    bool date_touched_ = false;

    std::string buf_;            // current record (or the blank phantom)
    std::string orig_;           // the record as read, for the index upkeep
    std::uint32_t recno_ = 0;
    bool eof_ = true, bof_ = true, found_ = false;
    bool dirty_ = false, is_new_ = false;

    Condition filter_;
    std::string filter_text_;
    Condition locate_for_, locate_while_;

    KeptLock header_lock_;                // appends, kept between the appends of a run
    // Records run_first_..run_last_ are locked by a run of appends: the one
    // it appended last, and some locked ahead for its next appends. They go
    // with the append lock, while it has not been given back since run_epoch_.
    std::uint32_t run_first_ = 0, run_last_ = 0;
    std::uint64_t run_epoch_ = 0;
    std::vector<std::uint32_t> locked_;   // record locks held
    bool file_locked_ = false;
    bool cdx_lock_scheme_ = false;        // lock offsets of a table with a structural CDX

    std::vector<std::unique_ptr<Bag>> bags_;
    int order_ = 0;
    std::optional<KeyPos> cur_key_;
};

// Called with the path of an index file found damaged or out of step with
// its table when the table is opened, just before it is rebuilt, so that the
// application can say so on the screen. None by default.
void set_index_rebuild_notice(std::function<void(const std::string& bag_path)> notice);

// DBCREATE: a new empty table (and its memo file when it has memo fields).
void create_table(const std::string& path, const Structure& s, MemoKind memo = MemoKind::Fpt);
// The same, for a table that may be created by several users at once: a
// table already there (made meanwhile by another) is left as it is. True
// when this call made it.
bool create_table_if_missing(const std::string& path, const Structure& s, MemoKind memo = MemoKind::Fpt);

}  // namespace qv::rt::table
