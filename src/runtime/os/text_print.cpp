#include "runtime/os/text_print.hpp"

#include <algorithm>
#include <cstdlib>

#include "runtime/core/cp850.hpp"

namespace qv::rt::os {

namespace {

constexpr char kEsc = 27;

bool is_number(const std::string& s) {
    return !s.empty() && s.size() <= 3 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The bytes an escape sequence takes from `at` (the ESC): the laser
// printers' parameter groups ("ESC(s16.67H", "ESC&l0E") run to their
// upper-case letter; the dot-matrix ones are ESC and one character.
std::size_t escape_length(std::string_view s, std::size_t at) {
    if (at + 1 >= s.size()) return 1;
    const char kind = s[at + 1];
    if (kind != '&' && kind != '(' && kind != ')' && kind != '*' && kind != '%') return 2;
    std::size_t i = at + 2;
    while (i < s.size() && i < at + 32 && !(s[i] >= '@' && s[i] <= 'Z')) ++i;
    return std::min(i + 1, s.size()) - at;
}

}  // namespace

std::optional<TextJob> parse_text_job(const std::vector<std::string>& args, std::string& error) {
    TextJob job;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-d") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "falta o nome da impressora depois de -d";
                return std::nullopt;
            }
            job.queue = args[++i];
        } else if (a == "pre" || a == "sel" || a == "pre/sel") {
            // The preview and the choice of printer belong to a graphical
            // desktop; the printer is the default queue or the one named.
        } else if (is_number(a) && job.file.size() > 0) {
            job.columns = std::clamp(std::atoi(a.c_str()), 1, 255);
        } else if (job.file.empty() && !a.empty() && a[0] != '-') {
            job.file = a;
        } else {
            error = "opção desconhecida: " + a;
            return std::nullopt;
        }
    }
    if (job.file.empty()) {
        error = "falta o arquivo a imprimir";
        return std::nullopt;
    }
    return job;
}

std::string printable_text(std::string_view cp850) {
    std::string plain;
    plain.reserve(cp850.size());
    for (std::size_t i = 0; i < cp850.size(); ++i) {
        const char c = cp850[i];
        if (c == kEsc) {
            i += escape_length(cp850, i) - 1;
        } else if (c == '\n' || c == '\f' || c == '\t' || static_cast<unsigned char>(c) >= 32) {
            plain += c;
        }
        // carriage returns and the other control bytes (pitch, wide print)
        // are the printer's, not the text's
    }
    return cp850_to_utf8(plain);
}

int widest_line(std::string_view utf8) {
    int widest = 0, col = 0;
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n' || c == '\f') {
            col = 0;
        } else if (c == '\t') {
            col = (col / 8 + 1) * 8;
        } else if ((c & 0xC0) != 0x80) {
            ++col;   // one character per code point, not per byte
        }
        widest = std::max(widest, col);
    }
    return widest;
}

int pitch_for(int columns) {
    if (columns <= 80) return 10;
    if (columns <= 96) return 12;
    return 17;
}

std::vector<std::string> lp_command(const TextJob& job, const std::string& text_file, int columns,
                                    const std::string& title) {
    std::vector<std::string> cmd{"lp"};
    if (!job.queue.empty()) cmd.insert(cmd.end(), {"-d", job.queue});
    cmd.insert(cmd.end(), {"-t", title, "-o", "cpi=" + std::to_string(pitch_for(columns)), "-o", "lpi=6", text_file});
    return cmd;
}

}  // namespace qv::rt::os
