#include "e2e/dbf_tables.hpp"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qv::e2e {

namespace {

void put16(std::string& s, std::size_t at, unsigned v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& s, std::size_t at, unsigned v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

unsigned get16(const std::string& s, std::size_t at) {
    return static_cast<unsigned char>(s.at(at)) | (static_cast<unsigned char>(s.at(at + 1)) << 8);
}

unsigned get32(const std::string& s, std::size_t at) {
    unsigned v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
    return v;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}


std::string file_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::vector<DbfField> fields_of(const std::string& bytes) {
    std::vector<DbfField> fields;
    for (std::size_t d = 32; d + 32 <= bytes.size() && bytes[d] != '\x0D'; d += 32) {
        std::string name = bytes.substr(d, 11);
        name = name.substr(0, name.find('\0'));
        // A text field longer than 255 keeps the high byte of its length
        // where a number keeps its decimals.
        const char type = bytes[d + 11];
        const int low = static_cast<unsigned char>(bytes[d + 16]), high = static_cast<unsigned char>(bytes[d + 17]);
        fields.push_back({name, type, type == 'C' ? low + 256 * high : low});
    }
    return fields;
}

// Each live row with the offset of its first field in the file.
std::vector<std::pair<std::size_t, DbfRow>> rows_of(const std::string& bytes) {
    std::vector<std::pair<std::size_t, DbfRow>> rows;
    if (bytes.size() < 32) return rows;
    const std::vector<DbfField> fields = fields_of(bytes);
    const unsigned header = get16(bytes, 8), record = get16(bytes, 10), count = get32(bytes, 4);
    for (unsigned r = 0; r < count; ++r) {
        std::size_t at = header + static_cast<std::size_t>(r) * record;
        if (at + record > bytes.size()) break;
        if (bytes[at] == '*') continue;
        const std::size_t start = ++at;
        DbfRow row;
        for (const auto& f : fields) {
            row[f.name] = trimmed(bytes.substr(at, static_cast<std::size_t>(f.len)));
            at += static_cast<std::size_t>(f.len);
        }
        rows.emplace_back(start, std::move(row));
    }
    return rows;
}

}  // namespace

void write_dbf(const std::filesystem::path& path, const std::vector<DbfField>& fields, const std::vector<DbfRow>& rows) {
    unsigned record = 1;
    for (const auto& f : fields) record += static_cast<unsigned>(f.len);
    const unsigned header = 32 + 32 * static_cast<unsigned>(fields.size()) + 1;
    std::string out(32, '\0');
    out[0] = 0x03;
    out[1] = 111, out[2] = 12, out[3] = 1;
    put32(out, 4, static_cast<unsigned>(rows.size()));
    put16(out, 8, header);
    put16(out, 10, record);
    for (const auto& f : fields) {
        std::string d(32, '\0');
        d.replace(0, f.name.size(), f.name);
        d[11] = f.type;
        d[16] = static_cast<char>(f.len);
        d[17] = static_cast<char>(f.dec);
        out += d;
    }
    out += '\x0D';
    for (const auto& row : rows) {
        out += ' ';
        for (const auto& f : fields) {
            const auto it = row.find(f.name);
            std::string v = it == row.end() ? std::string() : it->second;
            if (v.size() > static_cast<std::size_t>(f.len)) throw std::invalid_argument(f.name + " too long");
            const std::string pad(static_cast<std::size_t>(f.len) - v.size(), ' ');
            out += f.type == 'N' ? pad + v : v + pad;
        }
    }
    out += '\x1A';
    std::ofstream(path, std::ios::binary) << out;
}

std::vector<DbfRow> read_dbf(const std::filesystem::path& path) {
    std::vector<DbfRow> rows;
    for (auto& [at, row] : rows_of(file_bytes(path))) rows.push_back(std::move(row));
    return rows;
}

bool set_dbf_field(const std::filesystem::path& path, const std::function<bool(const DbfRow&)>& which,
                   const std::string& field, const std::string& text) {
    std::string bytes = file_bytes(path);
    for (const auto& [at, row] : rows_of(bytes)) {
        if (!which(row)) continue;
        std::size_t offset = at;
        for (const auto& f : fields_of(bytes)) {
            const auto len = static_cast<std::size_t>(f.len);
            if (f.name == field) {
                if (text.size() > len) return false;
                const std::string pad(len - text.size(), ' ');
                bytes.replace(offset, len, f.type == 'N' ? pad + text : text + pad);
                std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
                return true;
            }
            offset += len;
        }
        return false;
    }
    return false;
}

}  // namespace qv::e2e
