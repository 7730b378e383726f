// PictureEdit: the picture seen from a GET.
#include <algorithm>
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::rt {

namespace {

constexpr std::string_view kDateMask = "99/99/9999";

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return ISALPHA(std::string_view(&c, 1)); }
bool is_printable(char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; }

// The template a value edits in: one character per buffer position.
std::string edit_mask(const Picture& pic, const Value& v) {
    switch (v.type()) {
    case Type::Number:
        return pic.has_mask() ? pic.mask : default_number_mask(v.as_number());
    case Type::Character:
        return pic.has_mask() ? pic.mask : std::string(v.len(), 'X');
    case Type::Date:
        return std::string(kDateMask);
    case Type::Logical:
        for (const char t : pic.mask) {
            if (is_text_slot(t)) return upper_char(t) == 'Y' ? "Y" : "L";
        }
        return "L";
    case Type::Nil:
    case Type::Array:
        break;
    }
    return {};
}

std::optional<char> accept_logical(char mask, char c) {
    const char u = upper_char(c);
    const bool yes = u == 'T' || u == 'Y';
    if (!yes && u != 'F' && u != 'N') return std::nullopt;
    if (mask == 'Y') return yes ? 'Y' : 'N';
    return yes ? 'T' : 'F';
}

std::optional<char> accept_text(char mask, char c) {
    switch (upper_char(mask)) {
    case '9': return is_digit(c) ? std::optional<char>(c) : std::nullopt;
    case '#':
        return is_digit(c) || c == ' ' || c == '-' || c == '+' ? std::optional<char>(c)
                                                                : std::nullopt;
    case 'A': return is_letter(c) ? std::optional<char>(c) : std::nullopt;
    case 'N': return is_letter(c) || is_digit(c) ? std::optional<char>(c) : std::nullopt;
    case '!': return upper_char(c);
    case 'L': {
        const char u = upper_char(c);
        return u == 'T' || u == 'F' || u == 'Y' || u == 'N' ? std::optional<char>(u) : std::nullopt;
    }
    case 'Y': {
        const char u = upper_char(c);
        return u == 'Y' || u == 'N' ? std::optional<char>(u) : std::nullopt;
    }
    default: return c;   // X, $, *
    }
}

}  // namespace

PictureEdit::PictureEdit(std::string_view picture, const Value& original)
    : pic_(parse_picture(picture)), type_(original.type()), mask_(edit_mask(pic_, original)) {
    if (type_ == Type::Character) {
        original_ = original.as_string();
        original_len_ = original_.size();
    }
}

std::string PictureEdit::buffer(const Value& v) const {
    switch (type_) {
    case Type::Number: {
        const std::string s = format_number(v.as_number(), mask_, pic_.fn.european);
        const bool zero = s.find('0') != std::string::npos &&
                          s.find_first_of("123456789") == std::string::npos;
        return pic_.fn.zero_blank && zero ? std::string(s.size(), ' ') : s;
    }
    case Type::Character: {
        const std::string& s = v.as_string();
        std::string out;
        std::size_t next = 0;
        for (const char t : mask_) {
            if (is_text_slot(t)) {
                const char c = next < s.size() ? s[next] : ' ';
                ++next;
                out += t == '!' || pic_.fn.upper ? upper_char(c) : c;
            } else {
                out += t;
                if (!pic_.fn.insert_literals) ++next;
            }
        }
        return out;
    }
    case Type::Date: return DTOC(v.as_date());
    case Type::Logical: return mask_ == "Y" ? (v.as_bool() ? "Y" : "N") : (v.as_bool() ? "T" : "F");
    case Type::Nil:
    case Type::Array: break;
    }
    return {};
}

std::string PictureEdit::blank_buffer() const {
    std::string out(mask_);
    const auto point = decimal_pos();
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (editable(i)) {
            out[i] = ' ';
        } else if (type_ == Type::Number) {
            out[i] = point && i == *point ? decimal_char() : (mask_[i] == ',' ? ' ' : mask_[i]);
        }
    }
    return out;
}

// A scroll width wider than the field shows the field only: the columns
// after it belong to whatever is beside it.
std::size_t PictureEdit::display_width() const {
    return pic_.fn.scroll > 0 ? std::min(static_cast<std::size_t>(pic_.fn.scroll), length()) : length();
}

bool PictureEdit::editable(std::size_t pos) const {
    if (pos >= mask_.size()) return false;
    switch (type_) {
    case Type::Number: return is_number_slot(mask_[pos]);
    case Type::Character: return is_text_slot(mask_[pos]);
    case Type::Date: return mask_[pos] == '9';
    case Type::Logical: return true;
    case Type::Nil:
    case Type::Array: break;
    }
    return false;
}

std::optional<std::size_t> PictureEdit::first_editable() const {
    return editable(0) ? std::optional<std::size_t>(0) : next_editable(0);
}

std::optional<std::size_t> PictureEdit::last_editable() const {
    return editable(length() - 1) ? std::optional<std::size_t>(length() - 1) : prev_editable(length() - 1);
}

std::optional<std::size_t> PictureEdit::next_editable(std::size_t pos) const {
    for (std::size_t i = pos + 1; i < length(); ++i) {
        if (editable(i)) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> PictureEdit::prev_editable(std::size_t pos) const {
    for (std::size_t i = std::min(pos, length()); i-- > 0;) {
        if (editable(i)) return i;
    }
    return std::nullopt;
}

std::optional<char> PictureEdit::accept(std::size_t pos, char c) const {
    if (!editable(pos) || !is_printable(c)) return std::nullopt;
    const char t = mask_[pos];
    switch (type_) {
    case Type::Number:
        if (is_digit(c) || c == '-' || (t == '#' && (c == ' ' || c == '+'))) return c;
        return std::nullopt;
    case Type::Date:
        return is_digit(c) ? std::optional<char>(c) : std::nullopt;
    case Type::Logical:
        return accept_logical(t, c);
    case Type::Character: {
        const auto r = accept_text(t, c);
        if (r && pic_.fn.upper) return upper_char(*r);
        return r;
    }
    case Type::Nil:
    case Type::Array: break;
    }
    return std::nullopt;
}

std::optional<std::size_t> PictureEdit::decimal_pos() const {
    if (type_ != Type::Number || mask_decimals(mask_) == 0) return std::nullopt;
    return mask_.find('.');
}

std::size_t PictureEdit::integer_end() const { return decimal_pos().value_or(length()); }

std::size_t PictureEdit::integer_capacity() const {
    std::size_t slots = 0;
    for (std::size_t i = 0; i < integer_end(); ++i)
        if (editable(i)) ++slots;
    return slots;
}

std::string PictureEdit::integer_layout(std::string_view digits, bool negative) const {
    const std::size_t end = integer_end();
    std::string out(mask_.substr(0, end));
    std::size_t left = digits.size();
    bool sign = negative;
    for (std::size_t i = end; i-- > 0;) {
        if (editable(i)) {
            if (left > 0) {
                out[i] = digits[--left];
            } else if (sign) {
                out[i] = '-';
                sign = false;
            } else {
                out[i] = ' ';
            }
        } else if (mask_[i] == ',') {
            // A separator stands between digits only; before the first
            // digit its place takes the sign, as the number is shown.
            if (left > 0) {
                out[i] = pic_.fn.european ? '.' : ',';
            } else if (sign) {
                out[i] = '-';
                sign = false;
            } else {
                out[i] = ' ';
            }
        }
    }
    return out;
}

Value PictureEdit::value(std::string_view buf) const {
    const std::size_t n = std::min(buf.size(), length());
    switch (type_) {
    case Type::Number: {
        const auto point = decimal_pos();
        std::string digits;
        bool negative = false;
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buf[i];
            if (point && i == *point) {
                digits += '.';
            } else if (is_number_slot(mask_[i]) || mask_[i] == ',') {
                if (is_digit(c)) digits += c;
                negative = negative || c == '-' || c == '(';
            }
        }
        const double x = VAL(digits);
        return Value(negative && x != 0.0 ? -x : x);
    }
    case Type::Character: {
        std::string out;
        for (std::size_t i = 0; i < n; ++i) {
            if (!pic_.fn.insert_literals || is_text_slot(mask_[i])) out += buf[i];
        }
        if (out.size() < original_len_) out += original_.substr(out.size());
        return Value(std::move(out));
    }
    case Type::Date: return Value(CTOD(buf));
    case Type::Logical: {
        const char u = n > 0 ? upper_char(buf[0]) : ' ';
        return Value(u == 'T' || u == 'Y');
    }
    case Type::Nil:
    case Type::Array: break;
    }
    return {};
}

bool PictureEdit::acceptable(std::string_view buf) const {
    if (type_ != Type::Date) return true;
    if (buf.find_first_not_of(" /") == std::string_view::npos) return true;
    return !CTOD(buf).empty();
}

}  // namespace qv::rt
