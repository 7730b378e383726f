#include "runtime/table/transfer.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "runtime/table/file_names.hpp"
#include "runtime/table/share_signal.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::rt::table {

namespace {

std::string rtrim(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

std::string trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return rtrim(s);
}

std::vector<int> chosen_fields(Table& src, const std::vector<std::string>& names) {
    std::vector<int> idx;
    if (names.empty()) {
        for (int i = 0; i < src.field_count(); ++i) idx.push_back(i);
        return idx;
    }
    for (const std::string& n : names) {
        const int i = src.field_index(n);
        if (i < 0) fail(src.path(), "no field " + n);
        idx.push_back(i);
    }
    return idx;
}

int free_area(Workspace& ws) {
    for (int a = kMaxArea; a >= 1; --a)
        if (!ws.table(a)) return a;
    throw TableError("no free work area");
}

// Walks the source's records in scope, calling `fn` for each one that the
// conditions accept; returns the count.
template <typename Fn>
long for_each_in_scope(Workspace& ws, Table& src, const TransferOptions& opt, Fn fn) {
    if (!opt.rest && !opt.while_cond && opt.next == 0) src.go_top();
    long done = 0, seen = 0;
    for (; !src.eof(); src.skip(1)) {
        if (opt.next > 0 && seen++ >= opt.next) break;
        bool take;
        {
            Workspace::Selected sel(ws, src.area());
            if (opt.while_cond && !opt.while_cond()) break;
            take = !opt.for_cond || opt.for_cond();
        }
        if (!take) continue;
        fn();
        ++done;
    }
    return done;
}

// Copies by field name; values of a field whose type differs are left blank.
struct FieldMap {
    std::vector<std::pair<int, int>> pairs;   // (source, target)
};

FieldMap map_fields(Table& src, Table& dst, const std::vector<int>& src_fields) {
    FieldMap m;
    for (int s : src_fields) {
        const Field& sf = src.fields()[static_cast<std::size_t>(s)];
        const int d = dst.field_index(sf.name);
        if (d < 0) continue;
        if (dst.fields()[static_cast<std::size_t>(d)].type != sf.type) continue;
        m.pairs.emplace_back(s, d);
    }
    return m;
}

// A number shown as asterisks in the source did not fit there: its value
// is lost, and copying it as 0 would hide that.
void check_source_number(Table& src, int index) {
    const Field& f = src.fields()[static_cast<std::size_t>(index)];
    if (f.type != 'N') return;
    const std::string raw = src.raw_record().substr(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.len));
    if (raw.find('*') != std::string::npos)
        throw DataWidthError(src.path() + ": data width error: field " + f.name + " of record " +
                             std::to_string(src.recno()) + " holds no number (" + raw + ")");
}

// Every value is checked against its target field before the record is
// added, so that a value that does not fit leaves nothing behind.
void copy_record(Table& src, Table& dst, const FieldMap& m) {
    std::vector<Value> values;
    values.reserve(m.pairs.size());
    for (const auto& [s, d] : m.pairs) {
        check_source_number(src, s);
        values.push_back(src.get(s));
        check_width(dst.fields()[static_cast<std::size_t>(d)], values.back(), dst.path());
    }
    if (!dst.append_blank()) fail(dst.path(), "cannot append: the table is locked by another user");
    for (std::size_t i = 0; i < values.size(); ++i) dst.put(m.pairs[i].second, values[i]);
    if (src.deleted()) dst.delete_record();
}

// A close guard for a helper area.
struct AreaGuard {
    Workspace& ws;
    int area;
    ~AreaGuard() { ws.close(area); }
};

std::vector<std::string> split_delimited(std::string_view line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    for (;;) {
        std::string v;
        while (i < line.size() && line[i] == ' ') ++i;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') v += line[i++];
            if (i < line.size()) ++i;
            while (i < line.size() && line[i] != ',') ++i;
        } else {
            while (i < line.size() && line[i] != ',') v += line[i++];
            v = trim(v);
        }
        out.push_back(std::move(v));
        if (i >= line.size()) break;
        ++i;   // the comma
    }
    return out;
}

Value value_from_text(const Field& f, const std::string& text) {
    switch (f.type) {
        case 'N': return Value(parse_number(text));
        case 'L': return Value(!text.empty() && std::strchr("TtYy", text[0]) != nullptr);
        case 'D': {
            std::string raw = text;
            raw.resize(8, ' ');
            return decode_field(f, raw);
        }
        default: return Value(text);
    }
}

}  // namespace

std::string delimited_line(Table& t, const std::vector<int>& fields) {
    std::string line;
    bool first = true;
    for (int i : fields) {
        const Field& f = t.fields()[static_cast<std::size_t>(i)];
        if (f.type == 'M') continue;   // memos are not exported as text
        if (!first) line += ',';
        first = false;
        const Value v = t.get(i);
        switch (f.type) {
            case 'C': line += '"'; line += rtrim(v.as_string()); line += '"'; break;
            case 'N': line += trim(format_number(v.as_number(), f.len, f.dec)); break;
            case 'L': line += v.as_bool() ? 'T' : 'F'; break;
            case 'D': {
                const Date d = v.as_date();
                if (d.empty()) { line += "        "; break; }
                char buf[16];
                std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year(), d.month(), d.day());
                line += buf;
                break;
            }
            default: break;
        }
    }
    return line;
}

long copy_to(Workspace& ws, Table& src, const std::string& file, const TransferOptions& opt) {
    src.commit();
    const std::vector<int> idx = chosen_fields(src, opt.fields);
    Structure s;
    for (int i : idx) {
        const Field& f = src.fields()[static_cast<std::size_t>(i)];
        s.push_back(FieldSpec{f.name, f.type, f.len, f.dec});
    }
    const std::string path = resolve_path(with_default_extension(file, ".dbf"));
    create_table(path, s, src.memo_kind() == MemoKind::Dbt ? MemoKind::Dbt : MemoKind::Fpt);
    const int area = free_area(ws);
    OpenOptions oo;
    oo.exclusive = true;
    oo.structural_index = false;
    oo.alias = "__COPY" + std::to_string(area);
    Table& dst = ws.use_in(area, path, oo);
    AreaGuard guard{ws, area};
    const FieldMap m = map_fields(src, dst, idx);
    return for_each_in_scope(ws, src, opt, [&] { copy_record(src, dst, m); });
}

long copy_to_delimited(Workspace& ws, Table& src, const std::string& file, const TransferOptions& opt) {
    src.commit();
    const std::vector<int> idx = chosen_fields(src, opt.fields);
    const std::string path = resolve_path(with_default_extension(file, ".txt"));
    FileHandle fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd) fail(path, std::string("cannot create: ") + std::strerror(errno));
    std::string out;
    std::int64_t at = 0;
    const long n = for_each_in_scope(ws, src, opt, [&] {
        out += delimited_line(src, idx);
        out += "\r\n";
        if (out.size() > (1u << 16)) {
            write_at(fd.get(), out.data(), out.size(), at, path);
            at += static_cast<std::int64_t>(out.size());
            out.clear();
        }
    });
    write_at(fd.get(), out.data(), out.size(), at, path);
    return n;
}

long append_from(Workspace& ws, Table& dst, const std::string& file, const TransferOptions& opt) {
    dst.commit();
    const std::string path = resolve_path(with_default_extension(file, ".dbf"));
    if (same_file(path, dst.path())) fail(path, "APPEND FROM the table itself");
    const int area = free_area(ws);
    OpenOptions oo;
    oo.read_only = true;
    oo.structural_index = false;
    oo.alias = "__APPEND" + std::to_string(area);
    Table& src = ws.use_in(area, path, oo);
    AreaGuard guard{ws, area};
    std::vector<int> idx;
    for (int i = 0; i < src.field_count(); ++i) idx.push_back(i);
    const FieldMap m = map_fields(src, dst, idx);
    const long n = for_each_in_scope(ws, src, opt, [&] { copy_record(src, dst, m); });
    dst.commit();
    return n;
}

long append_from_delimited(Workspace& ws, Table& dst, const std::string& file, const TransferOptions& opt) {
    (void)ws;
    (void)opt;   // a text file has no fields to test FOR/WHILE against
    dst.commit();
    const std::string path = resolve_path(with_default_extension(file, ".txt"));
    std::ifstream in(path, std::ios::binary);
    if (!in) fail(path, "cannot open");
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    long n = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() == '\x1A') break;
        if (line.empty()) continue;
        const std::vector<std::string> vals = split_delimited(line);
        std::vector<Value> values;
        for (std::size_t i = 0; i < vals.size() && i < dst.fields().size(); ++i) {
            const Field& f = dst.fields()[i];
            values.push_back(f.type == 'M' ? Value() : value_from_text(f, vals[i]));
            if (f.type != 'M') check_width(f, values.back(), dst.path());
        }
        if (!dst.append_blank()) fail(dst.path(), "cannot append: the table is locked by another user");
        for (std::size_t i = 0; i < values.size(); ++i)
            if (dst.fields()[i].type != 'M') dst.put(static_cast<int>(i), values[i]);
        ++n;
    }
    dst.commit();
    return n;
}

}  // namespace qv::rt::table
