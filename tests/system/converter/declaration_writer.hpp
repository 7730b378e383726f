#pragma once
// Writes synthetic tax-program declaration files for the tests: each record
// is a line of blanks with values placed at their 1-based columns.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace qv::test_support {

class Record {
public:
    explicit Record(std::string_view type) : text_(type) {}
    // Text placed from column `from`.
    Record& at(int from, std::string_view value) {
        const auto start = static_cast<std::size_t>(from - 1);
        if (text_.size() < start + value.size()) text_.resize(start + value.size(), ' ');
        text_.replace(start, value.size(), value);
        return *this;
    }
    // A number of cents (or tenths...) as digits filling columns from..to.
    Record& num(int from, int to, long long value) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%0*lld", to - from + 1, value);
        return at(from, buf);
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

inline Record header(int year, std::string_view kind = "IRPF    ", std::string_view receipt = "1234567890") {
    Record h(kind);
    h.at(9, std::to_string(year)).at(165, receipt);
    return h;
}

inline Record identification(std::string_view cpf, std::string_view name) {
    Record r("16");
    r.at(3, cpf).at(14, name);
    return r;
}

// The file's lines, each ended by CR LF, and the "T9" trailer.
inline std::string declaration_text(const std::vector<Record>& records, bool trailer = true) {
    std::string out;
    for (const auto& r : records) out += r.text() + "\r\n";
    if (trailer) out += "T9\r\n";
    return out;
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace qv::test_support
