#include "tables/help_texts.hpp"

#include <fstream>
#include <sstream>
#include <vector>

#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::tables {

namespace {

constexpr std::size_t kTopicWidth = 10;

// The topics and texts of the list: RFC 4180 fields, a text in quotes may
// hold line ends; the header row is left out.
std::vector<std::pair<std::string, std::string>> read_topics(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    std::vector<std::pair<std::string, std::string>> rows;
    std::vector<std::string> row(1);
    bool quoted = false;
    const auto end_row = [&rows, &row] {
        if (row.size() >= 2) rows.emplace_back(row[0], row[1]);
        row.assign(1, std::string());
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') row.back() += text[++i];
            else if (c == '"') quoted = false;
            else if (c != '\r') row.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.emplace_back();
        } else if (c == '\n') {
            end_row();
        } else if (c != '\r') {
            row.back() += c;
        }
    }
    end_row();
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
}

}  // namespace

Structure help_text_schema() { return Structure({{"NOME", 'C', kTopicWidth, 0}, {"TEXTO", 'M', 10, 0}}); }

void fill_help_texts(rt::table::Table& t, const std::string& data_folder) {
    for (const auto& [topic, text] : read_topics(data_folder + "ajuda.csv")) {
        const std::string key = rt::UPPER(rt::ALLTRIM(topic));
        if (key.empty() || key.size() > kTopicWidth) continue;
        t.append_blank();
        t.put("NOME", rt::Value(key));
        // The memo's lines end the way the text viewer breaks them.
        t.put("TEXTO", rt::Value(rt::STRTRAN(rt::utf8_to_cp850(text), "\n", "\r\n")));
    }
}

}  // namespace qv::tables
