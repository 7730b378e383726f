#include "runtime/table/replace_records.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/core/clock.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::rt::table {

namespace {

// A whole table file as read: the parsed header, the header bytes and the
// records.
struct RawTable {
    DbfHeader header;
    std::string header_bytes;
    std::string records;
};

RawTable read_raw(const std::string& path) {
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) fail(path, std::string("cannot open: ") + std::strerror(errno));
    RawTable t;
    char fixed[32];
    t.header = parse_fixed_header(std::string_view(fixed, read_at(fd.get(), fixed, 32, 0, path)), path);
    t.header_bytes.assign(t.header.header_len, '\0');
    if (read_at(fd.get(), t.header_bytes.data(), t.header_bytes.size(), 0, path) < t.header_bytes.size())
        fail(path, "truncated table header");
    parse_fields(t.header, t.header_bytes, path);
    t.records.assign(std::size_t(t.header.reccount) * t.header.record_len, '\0');
    if (read_at(fd.get(), t.records.data(), t.records.size(), t.header.header_len, path) < t.records.size())
        fail(path, "truncated table");
    return t;
}

bool same_layout(const DbfHeader& a, const DbfHeader& b) {
    if (a.record_len != b.record_len || a.fields.size() != b.fields.size()) return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i) {
        const Field& x = a.fields[i];
        const Field& y = b.fields[i];
        if (x.name != y.name || x.type != y.type || x.len != y.len || x.dec != y.dec) return false;
    }
    return true;
}

// The records of `src` in the layout of `dst`, fields matched by name and
// type; deleted records are left out.
long convert_records(const RawTable& src, const DbfHeader& dst, const std::string& path, std::string& out) {
    const bool same = same_layout(src.header, dst);
    std::vector<std::pair<const Field*, const Field*>> pairs;
    if (!same) {
        for (const Field& d : dst.fields)
            for (const Field& s : src.header.fields)
                if (s.name == d.name && s.type == d.type) pairs.emplace_back(&s, &d);
    }
    long n = 0;
    const std::size_t len = src.header.record_len;
    for (std::size_t at = 0; at + len <= src.records.size(); at += len) {
        const std::string_view rec(src.records.data() + at, len);
        if (rec[0] == '*') continue;
        ++n;
        if (same) {
            out.append(rec);
            continue;
        }
        std::string blank(dst.record_len, ' ');
        for (const auto& [s, d] : pairs) {
            const Value v = decode_field(*s, rec.substr(std::size_t(s->offset), std::size_t(s->len)));
            encode_field(*d, v, blank.data() + d->offset, path);
        }
        out += blank;
    }
    return n;
}

void write_file(const std::string& path, const std::string& bytes) {
    FileHandle fd(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd) fail(path, std::string("cannot create: ") + std::strerror(errno));
    write_at(fd.get(), bytes.data(), bytes.size(), 0, path);
    if (::fsync(fd.get()) != 0) fail(path, std::string("cannot sync: ") + std::strerror(errno));
}

void sync_file(const std::string& path) {
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd) ::fsync(fd.get());
}

void rename_or_fail(const std::string& from, const std::string& to) {
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

ReplaceCount replace_records(Workspace& ws, int area, const std::function<bool(std::string_view record)>& drop,
                             const std::string& from) {
    Table& t = ws.current(area);
    if (!t.exclusive()) fail(t.path(), "rewriting needs the table opened exclusively");
    t.commit();
    const std::string path = t.path();
    const std::vector<IndexTag> tags = structural_tags(t);

    RawTable old = read_raw(path);
    if (has_memo_fields(old.header)) fail(path, "tables with memo fields cannot be rewritten");
    ReplaceCount count;
    std::string records;
    records.reserve(old.records.size());
    const std::size_t len = old.header.record_len;
    for (std::size_t at = 0; at + len <= old.records.size(); at += len) {
        const std::string_view rec(old.records.data() + at, len);
        if (rec[0] == '*' || drop(rec)) continue;
        records.append(rec);
        ++count.kept;
    }
    count.added = convert_records(read_raw(resolve_path(with_default_extension(from, ".dbf"))), old.header, path,
                                  records);
    old.records.clear();

    DbfHeader h = old.header;
    h.reccount = static_cast<std::uint32_t>(count.kept + count.added);
    h.flags = 0;   // the index is built below, and marks it again
    const Date today = DATE();
    h.year = today.year();
    h.month = today.month();
    h.day = today.day();
    std::string bytes = old.header_bytes;
    bytes.replace(0, 32, serialise_fixed_header(h));
    bytes += records;
    bytes += kEndOfFile;
    records.clear();

    TempFiles temp;
    temp.dbf = folder_of(path) + stem_of(path) + "_" + std::to_string(::getpid()) + ".rw~";
    temp.cdx = with_extension(temp.dbf, ".cdx");
    ::unlink(temp.cdx.c_str());
    write_file(temp.dbf, bytes);
    bytes.clear();

    OpenOptions opt;
    opt.exclusive = true;
    opt.structural_index = false;
    opt.alias = "__REWRITE";
    const int work = free_area(ws);
    {
        Table& fresh = ws.use_in(work, temp.dbf, opt);
        for (const IndexTag& tag : tags) fresh.index_on(tag.key, tag.name, tag.options);
        ws.close(work);
    }
    if (!tags.empty()) sync_file(temp.cdx);
    // The new file stays held while it takes the old one's name, so that
    // nobody opens it before its index is there too.
    opt.structural_index = false;
    ws.use_in(work, temp.dbf, opt);
    const std::string old_cdx = resolve_path(with_extension(path, ".cdx"));
    ::unlink(old_cdx.c_str());
    temp.keep = true;
    rename_or_fail(temp.dbf, path);
    if (!tags.empty()) rename_or_fail(temp.cdx, old_cdx);
    sync_file(folder_of(path).empty() ? "." : folder_of(path));
    ws.close(area);
    ws.close(work);
    return count;
}

}  // namespace qv::rt::table
