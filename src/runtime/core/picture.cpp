// Reading a picture and laying numbers into a template: the parts display
// and entry share.
#include "runtime/core/picture.hpp"

#include <cmath>
#include "runtime/core/text.hpp"

namespace qv::rt {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

void set_function(PictureFunctions& fn, char letter) {
    switch (letter) {
    case 'E': case 'e': fn.european = true; break;
    case 'Z': case 'z': fn.zero_blank = true; break;
    case 'R': case 'r': fn.insert_literals = true; break;
    case 'K': case 'k': fn.clear_first = true; break;
    case '!': fn.upper = true; break;
    case 'D': case 'd': fn.date = true; break;
    case 'B': case 'b': fn.left_justify = true; break;
    case 'C': case 'c': fn.credit = true; break;
    case 'X': case 'x': fn.debit = true; break;
    case '(': fn.parentheses = true; break;
    default: break;   // unknown letters (digits of a malformed mask) are ignored
    }
}

// The function letters between "@" and the first blank.
PictureFunctions read_functions(std::string_view letters) {
    PictureFunctions fn;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const char c = letters[i];
        if (c != 'S' && c != 's') {
            set_function(fn, c);
            continue;
        }
        int width = 0;
        while (i + 1 < letters.size() && is_digit(letters[i + 1]) && width < 10000) {
            width = width * 10 + (letters[++i] - '0');
        }
        fn.scroll = width;
    }
    return fn;
}

// The parts of a number as text, without sign: integer digits ("" when the
// template has no integer positions and the integer part is 0) and exactly
// `decimals` fraction digits. Nothing when the number has no finite text.
struct NumberText {
    std::string int_part;
    std::string frac_part;
    bool negative = false;
};

std::optional<NumberText> number_text(double n, int decimals, bool int_positions) {
    if (!std::isfinite(n)) return std::nullopt;
    const std::string s = ALLTRIM(STR(std::fabs(n), 60, decimals));
    if (s.empty() || s.front() == '*') return std::nullopt;
    NumberText t;
    const std::size_t point = s.find('.');
    t.int_part = s.substr(0, point);
    if (point != std::string::npos) t.frac_part = s.substr(point + 1);
    t.negative = n < 0 && s.find_first_of("123456789") != std::string::npos;
    if (t.int_part == "0" && !int_positions) t.int_part.clear();
    return t;
}

}  // namespace

Picture parse_picture(std::string_view picture) {
    Picture pic;
    if (picture.empty() || picture.front() != '@') {
        pic.mask = std::string(picture);
        return pic;
    }
    const std::size_t blank = picture.find(' ');
    pic.fn = read_functions(picture.substr(1, blank == std::string_view::npos ? std::string_view::npos
                                                                                 : blank - 1));
    if (blank != std::string_view::npos) pic.mask = std::string(picture.substr(blank + 1));
    return pic;
}

bool is_number_slot(char t) { return t == '9' || t == '#' || t == '$' || t == '*'; }

bool is_text_slot(char t) {
    switch (upper_char(t)) {
    case '9': case '#': case '!': case 'X': case 'A': case 'N': case 'L': case 'Y':
    case '$': case '*':
        return true;
    default:
        return false;
    }
}

int mask_decimals(std::string_view mask) {
    const std::size_t point = mask.find('.');
    if (point == std::string_view::npos) return 0;
    int count = 0;
    for (std::size_t i = point + 1; i < mask.size(); ++i) count += is_number_slot(mask[i]) ? 1 : 0;
    return count;
}

std::string default_number_mask(double n) {
    std::string mask = STR(n);
    for (char& c : mask) c = c == '.' ? '.' : '9';
    return mask;
}

std::string format_number(double n, std::string_view mask, bool european) {
    const std::string overflow(mask.size(), '*');
    const std::size_t point = mask.find('.');
    const std::size_t int_end = point == std::string_view::npos ? mask.size() : point;
    int int_slots = 0;
    for (std::size_t i = 0; i < int_end; ++i) int_slots += is_number_slot(mask[i]) ? 1 : 0;

    const auto text = number_text(n, mask_decimals(mask), int_slots > 0);
    if (!text || static_cast<int>(text->int_part.size()) > int_slots) return overflow;

    std::string out(mask);
    // Integer digits fill the integer positions from the right.
    std::size_t first_digit = int_end;
    std::size_t remaining = text->int_part.size();
    for (std::size_t i = int_end; i-- > 0;) {
        if (!is_number_slot(mask[i])) continue;
        if (remaining > 0) {
            out[i] = text->int_part[--remaining];
            first_digit = i;
        } else {
            out[i] = ' ';
        }
    }
    // Fraction digits fill the positions after the point from the left.
    std::size_t next_frac = 0;
    for (std::size_t i = int_end; i < mask.size(); ++i) {
        if (i == point) {
            out[i] = european ? ',' : '.';
        } else if (is_number_slot(mask[i])) {
            out[i] = next_frac < text->frac_part.size() ? text->frac_part[next_frac++] : '0';
        }
    }
    // Thousands marks show only after a digit.
    bool digit_seen = false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (is_number_slot(mask[i]) && is_digit(out[i])) digit_seen = true;
        if (mask[i] == ',') out[i] = digit_seen ? (european ? '.' : ',') : ' ';
    }
    // The sign takes the free position just left of the first digit.
    std::size_t lead_end = first_digit;
    if (text->negative) {
        std::size_t i = first_digit;
        while (i > 0 && !is_number_slot(mask[i - 1]) && mask[i - 1] != ',') --i;
        if (i == 0) return overflow;
        out[i - 1] = '-';
        lead_end = i - 1;
    }
    // "$" and "*" positions fill the blanks before the number.
    for (std::size_t i = 0; i < lead_end; ++i) {
        if ((mask[i] == '$' || mask[i] == '*') && out[i] == ' ') out[i] = mask[i];
    }
    return out;
}

}  // namespace qv::rt
