#include "runtime/ui/memoedit_layout.hpp"
#include <algorithm>

namespace qv::rt {

std::vector<MemoLine> wrap_memo(std::string_view text, int width) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 1));
    std::vector<MemoLine> lines;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t nl = text.find('\n', pos);
        const std::size_t para_end = nl == std::string_view::npos ? text.size() : nl;
        while (para_end - pos > w) {
            std::size_t cut = pos + w;   // hard cut unless a blank fits
            for (std::size_t j = pos + w; j > pos; --j)
                if (text[j - 1] == ' ') { cut = j; break; }
            lines.push_back({pos, cut - pos, false});
            pos = cut;
        }
        lines.push_back({pos, para_end - pos, nl != std::string_view::npos});
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return lines;
}

std::string memo_from_stored(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        const char next = i + 1 < stored.size() ? stored[i + 1] : '\0';
        if (c == '\x8D' && next == '\n') { ++i; continue; }   // soft return
        if (c == '\r') {
            out += '\n';
            if (next == '\n') ++i;
            continue;
        }
        out += c;
    }
    return out;
}

std::string memo_to_stored(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += "\r\n";
        else out += c;
    }
    return out;
}

int memo_line_count(std::string_view stored, int width) {
    if (stored.empty()) return 0;
    auto text = memo_from_stored(stored);
    auto lines = wrap_memo(text, width);
    // A final hard return opens no line of its own.
    if (!lines.empty() && lines.back().len == 0 && !lines.back().hard && lines.size() > 1) lines.pop_back();
    return static_cast<int>(lines.size());
}

std::string memo_line(std::string_view stored, int width, int n) {
    auto text = memo_from_stored(stored);
    auto lines = wrap_memo(text, width);
    std::string out;
    if (n >= 1 && n <= static_cast<int>(lines.size())) {
        const auto& l = lines[static_cast<std::size_t>(n - 1)];
        out = text.substr(l.start, l.len);
    }
    out.resize(static_cast<std::size_t>(std::max(width, 0)), ' ');
    return out;
}

std::size_t memo_find(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty() || from > text.size()) return std::string_view::npos;
    return text.find(what, from);
}

}  // namespace qv::rt
