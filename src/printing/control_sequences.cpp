#include "printing/control_sequences.hpp"

#include <cctype>

#include "common/globals.hpp"
#include "runtime/core/text.hpp"

namespace qv::printing {

namespace {

bool digits(std::string_view s) {
    for (const char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

std::string MONTASTRG(std::string_view text, int& laser) {
    std::string s(text);
    // The search goes on after what was just put in, so that "<060>" stands
    // for a "<" of its own instead of opening another group.
    for (std::size_t lt = s.find('<'); lt != std::string::npos;) {
        std::string code = rt::UPPER(s.substr(lt + 1, 3));
        if (code == "ESC") code = "027";
        if (code == "###") {
            laser = static_cast<int>(lt) + 1;
            s.replace(lt, 5, "###");
            lt = s.find('<', lt + 3);
        } else {
            // A malformed group still takes its five characters, as the
            // office's printer tables always did; its value reads as 0.
            const int value = digits(code) && code.size() == 3 ? std::stoi(code) : 0;
            s.replace(lt, 5, std::string(1, static_cast<char>(value & 0xFF)));
            lt = s.find('<', lt + 1);
        }
    }
    return rt::ALLTRIM(s);
}

std::string MONTASTRG(std::string_view text) {
    int laser = common::Global{"TEM_LASER"}.integer();
    std::string out = MONTASTRG(text, laser);
    common::Global{"TEM_LASER"}.set(rt::Value(laser));
    return out;
}

CompiledSequences compile_sequences(std::string_view seq0, std::string_view seq1, std::string_view seq2,
                                    std::string_view seq3) {
    CompiledSequences c;
    c.normal = MONTASTRG(rt::ALLTRIM(seq0));
    c.condensed = MONTASTRG(rt::ALLTRIM(seq1));
    c.third = MONTASTRG(rt::ALLTRIM(seq2));
    const std::string wide = rt::ALLTRIM(seq3);
    const auto split = wide.find("//");
    if (split == std::string::npos) {
        c.wide_on = MONTASTRG(wide);
    } else {
        c.wide_on = MONTASTRG(wide.substr(0, split));
        c.wide_off = MONTASTRG(wide.substr(split + 2));
    }
    return c;
}

}  // namespace qv::printing
