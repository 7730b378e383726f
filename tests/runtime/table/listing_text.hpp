#pragma once
// Reading the fixtures' companion listings: tab-separated facts whose text
// carries the escapes \\ \t \n \r \xHH.
#include <string>
#include <vector>

namespace qv::rt::table::listing {

inline std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        if (c == 't') out += '\t';
        else if (c == 'n') out += '\n';
        else if (c == 'r') out += '\r';
        else if (c == 'x' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else out += c;
    }
    return out;
}

inline std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return out;
        start = tab + 1;
    }
}

}  // namespace qv::rt::table::listing
