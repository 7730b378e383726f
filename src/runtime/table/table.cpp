#include "runtime/table/table.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/core/clock.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/replace_set.hpp"
#include "runtime/table/scratch_files.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/table_impl.hpp"

namespace qv::rt::table {

namespace {

// Field names are ASCII: folded here without the locale, for a look-up by
// name runs for every field a record is copied through.
constexpr char fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::string upper_ascii(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

bool still_named(int fd, const std::string& path) {
    struct stat open_file {}, named {};
    if (::fstat(fd, &open_file) != 0 || ::stat(path.c_str(), &named) != 0) return false;
    return open_file.st_ino == named.st_ino && open_file.st_dev == named.st_dev;
}

}  // namespace

Condition condition_of(const Expr& e) {
    if (e.empty()) return {};
    return [e]() { return e.eval().as_bool(); };
}

// Gives the file written aside at `temp` the name `path` when nobody has
// it; false when the name is taken. A user who holds the table of that name
// alone takes a file written aside for it as a leftover and removes it:
// the name is then taken too. Where the file system has no links, rename()
// gives the name anyway.
static bool link_into_place(const std::string& temp, const std::string& path) {
    if (::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return true;
    }
    const int err = errno;
    if (err == EEXIST || (err == ENOENT && ::access(path.c_str(), F_OK) == 0)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) == 0) return true;
    const int rename_err = errno;
    ::unlink(temp.c_str());
    if (rename_err == ENOENT && ::access(path.c_str(), F_OK) == 0) return false;
    fail(path, std::string("cannot create: ") + std::strerror(rename_err));
}

// Writes `bytes` under a name of this process and gives the file the name
// `path` only when nobody has it: false when the name is taken.
static bool place_new_file(const std::string& path, const std::string& bytes) {
    const std::string temp = folder_of(path) + stem_of(path) + "." + std::to_string(::getpid()) + ".cr~";
    {
        FileHandle fd(::open(temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (!fd) fail(path, std::string("cannot create: ") + std::strerror(errno));
        try {
            write_at(fd.get(), bytes.data(), bytes.size(), 0, temp);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
    }
    return link_into_place(temp, path);
}

static std::string memo_path_of(const std::string& path, MemoKind kind) {
    return resolve_path(with_extension(path, kind == MemoKind::Dbt ? ".dbt" : ".fpt"));
}

// A new table appears whole: its file is written under another name and
// then given its own, so that a kill never leaves a table file without its
// header (an empty file is then always a damaged table, never a creation
// cut short). Its memo file is made first, so that nobody finds the table
// without it. When another user may be creating the same table at once
// (`beside_others`), a memo file already there is left as it is: it may be
// the memo of the table just made. False when the table's name was taken
// meanwhile: that table is left untouched.
static bool create_new_table(const std::string& path, const std::string& bytes, const DbfHeader& h, MemoKind kind,
                             bool beside_others) {
    if (has_memo_fields(h)) {
        const std::string memo_path = memo_path_of(path, kind);
        if (!beside_others) {
            FileHandle memo_fd = open_for_replace(memo_path);
            MemoFile::create(memo_fd.get(), memo_path, kind);
        } else if (::access(memo_path.c_str(), F_OK) != 0) {
            const std::string memo_temp =
                folder_of(memo_path) + stem_of(memo_path) + "." + std::to_string(::getpid()) + ".pm~";
            {
                FileHandle memo_fd(::open(memo_temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
                if (!memo_fd) fail(memo_path, std::string("cannot create: ") + std::strerror(errno));
                try {
                    MemoFile::create(memo_fd.get(), memo_temp, kind);
                } catch (...) {
                    ::unlink(memo_temp.c_str());
                    throw;
                }
            }
            link_into_place(memo_temp, memo_path);
        }
    }
    return place_new_file(path, bytes);
}

static std::string header_bytes(const DbfHeader& h) {
    std::string bytes = serialise_header(h);
    bytes += kEndOfFile;
    return bytes;
}

bool create_table_if_missing(const std::string& given, const Structure& s, MemoKind memo) {
    const std::string path = resolve_path(with_default_extension(given, ".dbf"));
    validate_structure(s, path);
    const Date today = DATE();
    const DbfHeader h = make_header(s, memo, today.year(), today.month(), today.day());
    if (::access(path.c_str(), F_OK) == 0) return false;
    return create_new_table(path, header_bytes(h), h, memo == MemoKind::Dbt ? MemoKind::Dbt : MemoKind::Fpt, true);
}

// A table (or memo file) open here or elsewhere is not cut away under its
// users: both files are claimed before either is emptied.
void create_table(const std::string& given, const Structure& s, MemoKind memo) {
    const std::string path = resolve_path(with_default_extension(given, ".dbf"));
    validate_structure(s, path);
    const Date today = DATE();
    DbfHeader h = make_header(s, memo, today.year(), today.month(), today.day());
    const std::string bytes = header_bytes(h);
    const MemoKind kind = memo == MemoKind::Dbt ? MemoKind::Dbt : MemoKind::Fpt;
    const bool existed = ::access(path.c_str(), F_OK) == 0;
    if (!existed && create_new_table(path, bytes, h, kind, false)) return;
    FileHandle fd;
    try {
        fd = open_for_replace(path);
    } catch (const TableBusy&) {
        // The open made the file, and another user took it first (opening
        // it, or creating it too): an empty file left here would be taken
        // for a table that cannot be read, by every user, for ever.
        struct stat st;
        if (!existed && ::stat(path.c_str(), &st) == 0 && st.st_size == 0) ::unlink(path.c_str());
        throw;
    }
    const std::string memo_path = resolve_path(with_extension(path, kind == MemoKind::Dbt ? ".dbt" : ".fpt"));
    FileHandle memo_fd;
    try {
        if (has_memo_fields(h)) memo_fd = open_for_replace(memo_path);
    } catch (...) {
        if (!existed) ::unlink(path.c_str());
        throw;
    }
    if (::ftruncate(fd.get(), 0) != 0) fail(path, std::string("cannot truncate: ") + std::strerror(errno));
    write_at(fd.get(), bytes.data(), bytes.size(), 0, path);
    if (memo_fd) MemoFile::create(memo_fd.get(), memo_path, kind);
}

Table::Table(Workspace& ws, int area, const std::string& path, const OpenOptions& opt)
    : ws_(ws), area_(area), path_(path), exclusive_(opt.exclusive), read_only_(opt.read_only) {
    alias_ = opt.alias.empty() ? upper_ascii(stem_of(path)) : upper_ascii(opt.alias);
}

void Table::open(const OpenOptions& opt) {
    open_files(opt);
    go_top();
}

Table::~Table() {
    try {
        if (fd_) unlock();
        give_back_kept_locks();
        for (auto& b : bags_) b->cdx->flush();
        remember_bags_in_step();
        // nothing left for anyone to repair: no file is left beside the table
        if (exclusive_ && journal_) journal_->remove_if_unused();
    } catch (...) {
        // the workspace commits before closing; nothing is left to report to
    }
    if (fd_) map_.keep(fd_.get(), path_);
}

void Table::open_files(const OpenOptions& opt) {
    if (!read_only_) finish_replacing(path_);   // a PACK that stopped half way
    fd_.reset(::open(path_.c_str(), (read_only_ ? O_RDONLY : O_RDWR) | O_CLOEXEC));
    if (!fd_) fail(path_, std::string("cannot open: ") + std::strerror(errno));
    if (!take_share_signal(fd_.get(), exclusive_))
        throw TableBusy(path_ + ": in use by another user");
    // A table rewritten beside itself takes the old name while this open
    // waited for the lock: the file locked is then no longer the table.
    if (!still_named(fd_.get(), path_)) throw TableBusy(path_ + ": replaced while opening");
    // Held alone: whatever a rewrite of it left beside it, its writer is gone.
    if (exclusive_ && !read_only_) remove_dead_scratch(path_);
    if (on_network_mount(fd_.get())) {
        // other machines' writes do not reach a mapping: read every time
        map_.disable();
        wmap_.disable();
    }
    // One read brings the whole header of most tables.
    std::string hbytes(4096, '\0');
    hbytes.resize(read_at(fd_.get(), hbytes.data(), hbytes.size(), 0, path_));
    header_ = parse_fixed_header(std::string_view(hbytes).substr(0, 32), path_);
    const std::size_t have = hbytes.size();
    hbytes.resize(header_.header_len, '\0');
    if (have < hbytes.size() &&
        read_at(fd_.get(), hbytes.data() + have, hbytes.size() - have, std::int64_t(have), path_) < hbytes.size() - have)
        fail(path_, "truncated table header");
    parse_fields(header_, hbytes, path_);
    reccount_ = header_.reccount;
    const std::int64_t size = file_size(fd_.get(), path_);
    const std::int64_t need = std::int64_t(header_.header_len) + std::int64_t(reccount_) * header_.record_len;
    if (size < need)
        fail(path_, "truncated: the header counts " + std::to_string(reccount_) +
                        " records but the file holds " +
                        std::to_string((size - header_.header_len) / header_.record_len));
    // before the index bags are checked, so that a bag rebuilt at this open
    // takes the records as repaired
    if (!read_only_) recover_torn_records();
    open_memo();
    if (opt.structural_index) open_structural();
}

// The locks of either lock scheme are taken, as a writer of the record may
// use either; a file lock of another user makes one of them fail.
void Table::recover_torn_records() {
    journal_.emplace(path_, header_.header_len, header_.record_len);
    auto plain = [this](std::uint32_t r) { return kPlainRecordBase + record_offset(r); };
    RecordJournal::RecordLocks locks;
    locks.take = [&](std::uint32_t r) {
        if (exclusive_) return true;
        if (!lock_range(fd_.get(), plain(r), 1, true, false)) return false;
        if (lock_range(fd_.get(), kCdxRecordBase - r, 1, true, false)) return true;
        unlock_range(fd_.get(), plain(r), 1);
        return false;
    };
    locks.release = [&](std::uint32_t r) {
        if (exclusive_) return;
        unlock_range(fd_.get(), plain(r), 1);
        unlock_range(fd_.get(), kCdxRecordBase - r, 1);
    };
    journal_->recover(fd_.get(), reccount_, locks);
}

void Table::write_records(std::int64_t off, std::string_view bytes, std::size_t in_place) {
    if (journal_) journal_->write(fd_.get(), off, bytes, in_place);
    else write_at(fd_.get(), bytes.data(), bytes.size(), off, path_);
}

void Table::open_memo() {
    if (!has_memo_fields(header_)) return;
    MemoKind kind = memo_kind_of_version(header_.version);
    std::string p;
    auto try_kind = [&](MemoKind k) {
        const std::string cand = resolve_path(with_extension(path_, k == MemoKind::Dbt ? ".dbt" : ".fpt"));
        if (::access(cand.c_str(), F_OK) == 0) { p = cand; kind = k; }
    };
    if (kind != MemoKind::None) try_kind(kind);
    if (p.empty()) try_kind(MemoKind::Fpt);
    if (p.empty()) try_kind(MemoKind::Dbt);
    if (p.empty()) fail(path_, "memo file missing");
    memo_ = MemoFile::open(p, kind, read_only_);
    if (!take_share_signal(memo_->fd(), exclusive_)) throw TableBusy(p + ": in use by another user");
}

void Table::open_structural() {
    const std::string p = resolve_path(with_extension(path_, ".cdx"));
    if (::access(p.c_str(), F_OK) != 0) return;
    attach_bag(p, true);
    cdx_lock_scheme_ = true;
}

int Table::field_index(std::string_view name) const {
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    for (std::size_t i = 0; i < header_.fields.size(); ++i)
        if (same_name(header_.fields[i].name, name)) return static_cast<int>(i);
    return -1;
}

std::uint32_t Table::memo_block(const Field& f) const {
    const std::string_view raw(buf_.data() + f.offset, static_cast<std::size_t>(f.len));
    if (f.len == 4) {   // binary pointer of later FoxPro versions
        std::uint32_t v = 0;
        std::memcpy(&v, raw.data(), 4);
        return v;
    }
    std::uint64_t v = 0;
    for (char c : raw) {
        if (c == ' ') continue;
        if (c < '0' || c > '9') fail(path_, "bad memo pointer in field " + f.name);
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > UINT32_MAX) fail(path_, "memo pointer out of range in field " + f.name);
    return static_cast<std::uint32_t>(v);
}

Value Table::get(int index) {
    if (index < 0 || index >= field_count()) fail(path_, "field number out of range");
    const Field& f = header_.fields[static_cast<std::size_t>(index)];
    if (f.type == 'M') {
        if (!memo_) return Value(std::string());
        return Value(memo_->read(memo_block(f)));
    }
    return decode_field(f, std::string_view(buf_.data() + f.offset, static_cast<std::size_t>(f.len)));
}

Value Table::get(std::string_view name) {
    const int i = field_index(name);
    if (i < 0) fail(path_, "no field " + std::string(name));
    return get(i);
}

void Table::put(std::string_view name, const Value& v) {
    const int i = field_index(name);
    if (i < 0) fail(path_, "no field " + std::string(name));
    put(i, v);
}

void Table::prepare_change() {
    if (read_only_) fail(path_, "table opened read-only");
    if (eof_) return;   // writes to the phantom record go nowhere
    if (!is_locked(recno_))
        fail(path_, "record " + std::to_string(recno_) + " changed without a record or file lock");
    if (!dirty_) {
        orig_ = buf_;
        dirty_ = true;
    }
}

void Table::put(int index, const Value& v) {
    if (index < 0 || index >= field_count()) fail(path_, "field number out of range");
    const Field& f = header_.fields[static_cast<std::size_t>(index)];
    prepare_change();
    if (eof_) return;
    if (f.type == 'M') {
        if (!v.is_string()) fail(path_, "data type mismatch for field " + f.name);
        if (!memo_) fail(path_, "memo file missing");
        const std::uint32_t block = memo_->write(v.as_string(), memo_block(f));
        store_memo_pointer(f, block);
        return;
    }
    encode_field(f, v, buf_.data() + f.offset, path_);
}

// The pointer as the field holds it: 10 digits right-aligned (blank for
// no memo), or a binary number in a 4-byte field.
void Table::store_memo_pointer(const Field& f, std::uint32_t block) {
    char* out = buf_.data() + f.offset;
    if (f.len == 4) {
        std::memcpy(out, &block, 4);
        return;
    }
    std::string ptr = block == 0 ? std::string() : std::to_string(block);
    ptr.insert(0, static_cast<std::size_t>(f.len) - ptr.size(), ' ');
    std::memcpy(out, ptr.data(), static_cast<std::size_t>(f.len));
}

std::int64_t Table::record_offset(std::uint32_t recno) const {
    return std::int64_t(header_.header_len) + std::int64_t(recno - 1) * header_.record_len;
}

void Table::refresh_header() {
    if (exclusive_) return;
    unsigned char b[4];
    if (!map_.read(fd_.get(), 4, b, 4) && read_at(fd_.get(), b, 4, 4, path_) < 4)
        fail_damaged(path_, "truncated table header");
    const std::uint32_t n = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                            std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    reccount_ = n;
}

std::uint32_t Table::lastrec() {
    refresh_header();
    return reccount_;
}

// The date of the last change goes with the first count written while the
// table is open, as touch_date() writes it with the first change of a
// record; later counts are written alone.
void Table::write_count(std::uint32_t n) {
    unsigned char b[7];
    for (int i = 0; i < 4; ++i) b[3 + i] = static_cast<unsigned char>((n >> (8 * i)) & 0xFF);
    if (date_touched_) {
        write_header_bytes(b + 3, 4, 4);
    } else {
        const Date today = DATE();
        b[0] = static_cast<unsigned char>((today.year() - 1900) & 0xFF);
        b[1] = static_cast<unsigned char>(today.month());
        b[2] = static_cast<unsigned char>(today.day());
        write_header_bytes(b, sizeof b, 1);
        date_touched_ = true;
    }
    reccount_ = n;
    header_.reccount = n;
}

// The header is in the file as long as the table is open, so a few bytes of
// it are written through the shared mapping (no system call); pwrite when
// that fails. Writes made before, by pwrite, are already in the shared page
// cache, so the order of the two kinds of write is kept.
void Table::write_header_bytes(const void* bytes, std::size_t len, std::size_t off) {
    if (wmap_.write(fd_.get(), header_.header_len, off, bytes, len)) return;
    write_at(fd_.get(), bytes, len, static_cast<std::int64_t>(off), path_);
}

void Table::touch_date() {
    if (date_touched_) return;
    const Date today = DATE();
    unsigned char b[3] = {static_cast<unsigned char>((today.year() - 1900) & 0xFF),
                          static_cast<unsigned char>(today.month()),
                          static_cast<unsigned char>(today.day())};
    write_header_bytes(b, sizeof b, 1);
    date_touched_ = true;
}

void Table::blank_buffer() {
    buf_.assign(header_.record_len, ' ');
}

void Table::to_phantom() {
    blank_buffer();
    recno_ = reccount_ + 1;
    eof_ = true;
    cur_key_.reset();
}

void Table::read_record(std::uint32_t recno) {
    buf_.resize(header_.record_len);
    const auto off = static_cast<std::size_t>(record_offset(recno));
    if (!map_.read(fd_.get(), off, buf_.data(), buf_.size()) &&
        read_at(fd_.get(), buf_.data(), buf_.size(), record_offset(recno), path_) < buf_.size())
        fail_damaged(path_, "truncated: record " + std::to_string(recno) + " is cut short");
    recno_ = recno;
    eof_ = false;
    cur_key_.reset();
}

void Table::flush() {
    if (!dirty_) return;
    if (!eof_) {
        touch_date();
        bool written = false;
        auto write_record = [&] {
            write_records(record_offset(recno_), buf_, buf_.size());
            written = true;
        };
        try {
            update_indexes(write_record);
        } catch (...) {
            // The record is written (here, when the keys failed before it
            // went out) but its keys may not all be: the bags are marked for
            // a rebuild at the next open, and the change is not tried again.
            struct GiveUp {
                Table& t;
                ~GiveUp() { t.give_up_keys(); }
            } give_up{*this};
            if (!written) write_record();
            throw;
        }
    }
    dirty_ = false;
    is_new_ = false;
    orig_.clear();
}

// The record is written but its keys may not all be: the bags are marked
// for a rebuild at the next open, and the change is not tried again.
void Table::give_up_keys() noexcept {
    for (auto& b : bags_) {
        b->in_step = false;
        try {
            b->cdx->mark_damaged();
        } catch (...) {
        }
    }
    dirty_ = false;
    is_new_ = false;
    orig_.clear();
}

void Table::commit() { flush(); }

// A record just appended keeps its pending keys: the blank record is in
// the file, and its keys go in when it is next written.
void Table::discard() {
    if (!dirty_) return;
    buf_ = orig_;
    if (!is_new_) {
        dirty_ = false;
        orig_.clear();
    }
}

void Table::delete_record() {
    prepare_change();
    if (!eof_) buf_[0] = '*';
}

void Table::recall() {
    prepare_change();
    if (!eof_) buf_[0] = ' ';
}

// Appends are serialised by the header lock; the new record is locked
// before anything is written (it fails while another user holds the file
// lock). A new record still being filled in that is still the last one is
// written in one go with the blank record after it; its index keys are added
// while its record lock and the header lock are still held. The record left
// is given back then; those locked ahead stay with the header lock.
bool Table::append_blank() {
    if (read_only_) fail(path_, "table opened read-only");
    const bool carry = dirty_ && is_new_ && !eof_;
    if (!carry) flush();
    if (!lock_header()) return false;
    const bool lock_records = !exclusive_ && !file_locked_;
    std::uint32_t n = 0;
    bool writing = false;
    try {
        refresh_header();
        n = reccount_;
        if (lock_records) {
            if (!lock_appended(n + 1)) {
                unlock_header();
                if (carry) flush();
                return false;
            }
            // until it is written, the new record goes with the header lock
            hold_run_along(locked_.size() == 1 ? locked_.front() : 0);
        }
        writing = true;
        std::string bytes;
        bytes.reserve(2 * buf_.size() + 1);
        std::int64_t at = record_offset(n + 1);
        std::size_t in_place = 0;
        if (carry && recno_ == n) {
            bytes = buf_;
            at = record_offset(n);
            in_place = buf_.size();
        } else if (carry) {
            write_records(record_offset(recno_), buf_, buf_.size());
        }
        bytes.append(header_.record_len, ' ');
        bytes += kEndOfFile;
        // The record (and the end mark) first, then the count: a crash in
        // between leaves a table that simply does not show the new record.
        write_records(at, bytes, in_place);
        write_count(n + 1);
    } catch (...) {
        if (writing) undo_partial_append(n, carry);
        unlock_header();
        throw;
    }
    try {
        if (carry) {
            update_indexes();
            dirty_ = false;
            is_new_ = false;
            orig_.clear();
        }
    } catch (...) {
        if (carry) give_up_keys();   // the record went out with the new one
        if (lock_records) {
            release_record_locks();
            locked_.push_back(n + 1);
            run_first_ = n + 1;
            hold_run_along(n + 1);
        }
        unlock_header();
        throw;
    }
    keep_header_release_records(lock_records ? n + 1 : 0);
    ++own_appends_;
    blank_buffer();
    recno_ = n + 1;
    eof_ = bof_ = found_ = false;
    cur_key_.reset();
    dirty_ = true;
    is_new_ = true;
    orig_ = buf_;
    return true;
}

// A write of an append that failed (disk full, quota): the count was not
// raised, so the new record is not there; what reached the file past the
// last record is cut away and the end mark put back. A record being filled
// in that went out with it is written and its keys kept, as a flush would.
void Table::undo_partial_append(std::uint32_t n, bool carried) noexcept {
    try {
        const std::int64_t end = record_offset(n + 1);
        if (file_size(fd_.get(), path_) > end + 1 && ::ftruncate(fd_.get(), end + 1) != 0) return;
        const char eof = kEndOfFile;
        write_at(fd_.get(), &eof, 1, end, path_);
        if (carried) flush();
    } catch (...) {
        // the error that led here is the one reported
    }
}

}  // namespace qv::rt::table
