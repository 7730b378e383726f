#include "runtime/table/replace_records.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "runtime/core/clock.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/replace_set.hpp"
#include "runtime/table/share_signal.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::rt::table {

namespace {

constexpr std::size_t kChunk = 1u << 20;   // bytes read or written at a time

// A table file's header as read.
struct Head {
    DbfHeader header;
    std::string bytes;
};

Head read_head(int fd, const std::string& path) {
    Head h;
    char fixed[32];
    h.header = parse_fixed_header(std::string_view(fixed, read_at(fd, fixed, 32, 0, path)), path);
    h.bytes.assign(h.header.header_len, '\0');
    if (read_at(fd, h.bytes.data(), h.bytes.size(), 0, path) < h.bytes.size()) fail(path, "truncated table header");
    parse_fields(h.header, h.bytes, path);
    return h;
}

FileHandle open_read(const std::string& path) {
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) fail(path, std::string("cannot open: ") + std::strerror(errno));
    return fd;
}

// Calls `fn` with each record of the table, read a chunk at a time.
template <typename Fn>
void each_record(int fd, const Head& h, const std::string& path, Fn fn) {
    const std::size_t len = h.header.record_len;
    if (len == 0) return;
    const std::size_t per_chunk = std::max<std::size_t>(1, kChunk / len);
    std::string chunk(per_chunk * len, '\0');
    for (std::uint32_t first = 0; first < h.header.reccount;) {
        const std::size_t n = std::min<std::size_t>(per_chunk, h.header.reccount - first);
        const std::int64_t off = std::int64_t(h.header.header_len) + std::int64_t(first) * std::int64_t(len);
        if (read_at(fd, chunk.data(), n * len, off, path) < n * len) fail(path, "truncated table");
        for (std::size_t i = 0; i < n; ++i) fn(std::string_view(chunk.data() + i * len, len));
        first += static_cast<std::uint32_t>(n);
    }
}

// Records written one after the other behind the header's place.
class RecordWriter {
public:
    RecordWriter(int fd, std::int64_t at, std::string path) : fd_(fd), at_(at), path_(std::move(path)) {
        pending_.reserve(kChunk + 4096);
    }
    void add(std::string_view record) {
        pending_.append(record);
        if (pending_.size() >= kChunk) flush();
    }
    void flush() {
        write_at(fd_, pending_.data(), pending_.size(), at_, path_);
        at_ += static_cast<std::int64_t>(pending_.size());
        pending_.clear();
    }

private:
    int fd_;
    std::int64_t at_;
    std::string path_;
    std::string pending_;
};

bool same_layout(const DbfHeader& a, const DbfHeader& b) {
    if (a.record_len != b.record_len || a.fields.size() != b.fields.size()) return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i) {
        const Field& x = a.fields[i];
        const Field& y = b.fields[i];
        if (x.name != y.name || x.type != y.type || x.len != y.len || x.dec != y.dec) return false;
    }
    return true;
}

// The records of table `src` in the layout of `dst`, fields matched by name
// and type; deleted records are left out.
long add_converted(const std::string& src_path, const DbfHeader& dst, const std::string& path, RecordWriter& out) {
    const FileHandle fd = open_read(src_path);
    const Head src = read_head(fd.get(), src_path);
    const bool same = same_layout(src.header, dst);
    std::vector<std::pair<const Field*, const Field*>> pairs;
    if (!same) {
        for (const Field& d : dst.fields)
            for (const Field& s : src.header.fields)
                if (s.name == d.name && s.type == d.type) pairs.emplace_back(&s, &d);
    }
    long n = 0;
    each_record(fd.get(), src, src_path, [&](std::string_view rec) {
        if (rec[0] == '*') return;
        ++n;
        if (same) {
            out.add(rec);
            return;
        }
        std::string blank(dst.record_len, ' ');
        for (const auto& [s, d] : pairs) {
            const Value v = decode_field(*s, rec.substr(std::size_t(s->offset), std::size_t(s->len)));
            encode_field(*d, v, blank.data() + d->offset, path);
        }
        out.add(blank);
    });
    return n;
}

// The new table reaches the disk on a thread of its own while its index is
// built; wait() says whether it got there, error() why not.
class SyncAside {
public:
    explicit SyncAside(int fd)
        : fd_(::dup(fd)), error_(fd_ < 0 ? errno : 0), thread_([this] {
              if (error_ == 0 && ::fsync(fd_) != 0) error_ = errno;
          }) {}
    ~SyncAside() {
        wait();
        if (fd_ >= 0) ::close(fd_);
    }
    SyncAside(const SyncAside&) = delete;
    SyncAside& operator=(const SyncAside&) = delete;
    bool wait() {
        if (thread_.joinable()) thread_.join();
        return error_ == 0;
    }
    int error() const { return error_; }

private:
    int fd_;
    int error_;
    std::thread thread_;
};

void sync_file(const std::string& path) {
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd) ::fsync(fd.get());
}

void rename_or_fail(const std::string& from, const std::string& to) {
    keep_permissions(from, to);
    if (::rename(from.c_str(), to.c_str()) != 0)
        fail(to, std::string("cannot replace the file: ") + std::strerror(errno));
}

int free_area(Workspace& ws, int other = 0) {
    for (int a = kMaxArea; a >= 1; --a)
        if (!ws.table(a) && a != other) return a;
    throw TableError("no free work area");
}

struct IndexTag {
    std::string key, name;
    IndexOptions options;
};

std::vector<IndexTag> structural_tags(Table& t) {
    const std::string structural = resolve_path(with_extension(t.path(), ".cdx"));
    std::vector<IndexTag> tags;
    for (int n = 1; n <= t.order_count(); ++n) {
        if (resolve_path(t.bag_of_order(n)) != structural)
            fail(t.path(), "orders outside the structural index cannot be rewritten");
        const TagInfo* info = t.order_info(n);
        if (!info) continue;
        IndexTag tag{info->key_expr, info->name, {}};
        tag.options.for_expr = info->for_expr;
        tag.options.unique = info->unique;
        tag.options.descending = info->descending;
        tags.push_back(std::move(tag));
    }
    return tags;
}

// Closes a work area however the block ends.
struct AreaCloser {
    Workspace& ws;
    int area;
    ~AreaCloser() {
        try {
            ws.close(area);
        } catch (...) {
        }
    }
};

// Removes the files of a rewrite that did not reach the renames.
struct TempFiles {
    std::string dbf, cdx;
    bool keep = false;
    ~TempFiles() {
        if (keep) return;
        ::unlink(dbf.c_str());
        ::unlink(cdx.c_str());
    }
};

}  // namespace

PreparedReplace prepare_replace(Workspace& ws, int area, const std::function<bool(std::string_view record)>& drop,
                                const std::string& from) {
    Table& t = ws.current(area);
    if (!t.exclusive()) fail(t.path(), "rewriting needs the table opened exclusively");
    t.commit();
    const std::string path = t.path();
    const std::vector<IndexTag> tags = structural_tags(t);
    ReplaceCount count;
    const FileHandle in = open_read(path);
    const Head old = read_head(in.get(), path);
    if (has_memo_fields(old.header)) fail(path, "tables with memo fields cannot be rewritten");

    TempFiles temp;
    temp.dbf = folder_of(path) + stem_of(path) + "_" + std::to_string(::getpid()) + ".rw~";
    temp.cdx = with_extension(temp.dbf, ".cdx");
    ::unlink(temp.cdx.c_str());
    std::optional<SyncAside> data_sync;
    {
        FileHandle out(::open(temp.dbf.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (!out) fail(temp.dbf, std::string("cannot create: ") + std::strerror(errno));
        RecordWriter records(out.get(), old.header.header_len, temp.dbf);
        each_record(in.get(), old, path, [&](std::string_view rec) {
            if (rec[0] == '*' || drop(rec)) return;
            records.add(rec);
            ++count.kept;
        });
        count.added = add_converted(resolve_path(with_default_extension(from, ".dbf")), old.header, path, records);
        records.add(std::string_view(&kEndOfFile, 1));
        records.flush();

        DbfHeader h = old.header;
        h.reccount = static_cast<std::uint32_t>(count.kept + count.added);
        h.flags = 0;   // the index is built below, and marks it again
        const Date today = DATE();
        h.year = today.year();
        h.month = today.month();
        h.day = today.day();
        std::string head = old.bytes;
        head.replace(0, 32, serialise_fixed_header(h));
        write_at(out.get(), head.data(), head.size(), 0, temp.dbf);
        data_sync.emplace(out.get());
    }

    OpenOptions opt;
    opt.exclusive = true;
    opt.structural_index = false;
    opt.alias = "__REWRITE";
    const int work = free_area(ws);
    {
        Table& fresh = ws.use_in(work, temp.dbf, opt);
        AreaCloser closer{ws, work};
        for (const IndexTag& tag : tags) fresh.index_on(tag.key, tag.name, tag.options);
    }
    if (!data_sync->wait()) fail(temp.dbf, std::string("cannot sync: ") + std::strerror(data_sync->error()));
    if (!tags.empty()) sync_file(temp.cdx);
    // The new file stays held while it takes the old one's name, so that
    // nobody opens it before its index is there too.
    FileHandle held(::open(temp.dbf.c_str(), O_RDWR | O_CLOEXEC));
    if (!held || !take_share_signal(held.get(), true)) fail(temp.dbf, "cannot hold the rewritten table");

    PreparedReplace p;
    p.ws_ = &ws;
    p.area_ = area;
    p.path_ = path;
    p.temp_dbf_ = temp.dbf;
    p.temp_cdx_ = temp.cdx;
    p.indexed_ = !tags.empty();
    p.held_ = std::move(held);
    p.count_ = count;
    temp.keep = true;
    return p;
}

PreparedReplace::PreparedReplace(PreparedReplace&& o) noexcept { *this = std::move(o); }

PreparedReplace& PreparedReplace::operator=(PreparedReplace&& o) noexcept {
    if (this == &o) return *this;
    drop();
    ws_ = std::exchange(o.ws_, nullptr);
    area_ = o.area_;
    path_ = std::move(o.path_);
    temp_dbf_ = std::move(o.temp_dbf_);
    temp_cdx_ = std::move(o.temp_cdx_);
    indexed_ = o.indexed_;
    held_ = std::move(o.held_);
    count_ = o.count_;
    return *this;
}

PreparedReplace::~PreparedReplace() { drop(); }

void PreparedReplace::drop() noexcept {
    if (!ws_) return;
    ws_ = nullptr;
    held_.reset();
    ::unlink(temp_dbf_.c_str());
    ::unlink(temp_cdx_.c_str());
}

void PreparedReplace::install() {
    if (!ws_) fail(path_, "no rewrite to put in place");
    Workspace& ws = *ws_;
    ws_ = nullptr;   // from here on the files are the table's, not scratch
    const std::string old_cdx = resolve_path(with_extension(path_, ".cdx"));
    ::unlink(old_cdx.c_str());
    struct Release {
        Workspace& ws;
        int area;
        FileHandle& held;
        ~Release() {
            try {
                ws.close(area);
            } catch (...) {
            }
            held.reset();
        }
    } release{ws, area_, held_};
    rename_or_fail(temp_dbf_, path_);
    if (indexed_) rename_or_fail(temp_cdx_, old_cdx);
    sync_file(folder_of(path_).empty() ? "." : folder_of(path_));
}

ReplaceCount replace_records(Workspace& ws, int area, const std::function<bool(std::string_view record)>& drop,
                             const std::string& from) {
    PreparedReplace p = prepare_replace(ws, area, drop, from);
    const ReplaceCount count = p.count();
    p.install();
    return count;
}

}  // namespace qv::rt::table
