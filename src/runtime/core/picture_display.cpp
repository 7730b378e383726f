// TRANSFORM(): values shown under a picture.
#include <algorithm>
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::rt {

namespace {

bool shows_zero(std::string_view shown) {
    return shown.find('0') != std::string_view::npos &&
           shown.find_first_of("123456789") == std::string_view::npos;
}

std::string european_marks(std::string s) {
    for (char& c : s) c = c == '.' ? ',' : (c == ',' ? '.' : c);
    return s;
}

std::string show_number(double n, const Picture& pic) {
    std::string s = pic.has_mask() ? format_number(n, pic.mask, pic.fn.european)
                                   : (pic.fn.european ? european_marks(STR(n)) : STR(n));
    if (pic.fn.zero_blank && shows_zero(s)) return std::string(s.size(), ' ');
    const bool negative = s.find('-') != std::string::npos && n < 0;
    if (pic.fn.parentheses && negative) {
        std::replace(s.begin(), s.end(), '-', '(');
        s += ')';
    }
    if (pic.fn.left_justify) s = PADR(LTRIM(s), static_cast<long>(s.size()));
    if (pic.fn.credit && n > 0 && !shows_zero(s)) s += " CR";
    if (pic.fn.debit && negative) s += " DB";
    return s;
}

// Template positions take the value's characters in turn; a literal either
// replaces the character at its place or (@R) is inserted between them.
std::string show_text(std::string_view v, const Picture& pic) {
    std::string out;
    if (!pic.has_mask()) {
        out = std::string(v);
    } else {
        std::size_t next = 0;
        for (const char t : pic.mask) {
            if (is_text_slot(t)) {
                const char c = next < v.size() ? v[next] : ' ';
                ++next;
                out += t == '!' ? upper_char(c) : c;
            } else {
                out += t;
                if (!pic.fn.insert_literals) ++next;
            }
        }
    }
    if (pic.fn.upper) out = UPPER(out);
    if (pic.fn.scroll > 0 && out.size() > static_cast<std::size_t>(pic.fn.scroll)) {
        out.resize(static_cast<std::size_t>(pic.fn.scroll));
    }
    return out;
}

// "T"/"F", or "Y"/"N" when the template asks for Y.
std::string show_logical(bool b, const Picture& pic) {
    bool yes_no = false;
    for (const char t : pic.mask) {
        if (is_text_slot(t)) {
            yes_no = upper_char(t) == 'Y';
            break;
        }
    }
    return std::string(1, yes_no ? (b ? 'Y' : 'N') : (b ? 'T' : 'F'));
}

}  // namespace

std::string TRANSFORM(const Value& v, std::string_view picture) {
    const Picture pic = parse_picture(picture);
    switch (v.type()) {
    case Type::Number: return show_number(v.as_number(), pic);
    case Type::Character: return show_text(v.as_string(), pic);
    case Type::Date: return DTOC(v.as_date());
    case Type::Logical: return show_logical(v.as_bool(), pic);
    case Type::Nil:
    case Type::Array: break;
    }
    return {};
}

}  // namespace qv::rt
