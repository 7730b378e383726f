#include "runtime/core/value.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qv::rt {

namespace {

const std::string& empty_string() {
    static const std::string s;
    return s;
}

const ArrayRef& null_array() {
    static const ArrayRef a;
    return a;
}

const Value& nil_value() {
    static const Value v;
    return v;
}

// Byte order of CP850 text: the bytes compare as unsigned.
int compare_bytes(std::string_view a, std::string_view b, std::size_t n) {
    return n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
}

// Three-way string comparison with the runtime's rule: when the right side
// is shorter it only has to match the start of the left side; a longer right
// side that starts with the whole left side sorts after it.
int compare_strings(std::string_view a, std::string_view b, bool exact) {
    const std::size_t common = std::min(a.size(), b.size());
    if (int c = compare_bytes(a, b, common); c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    if (a.size() > b.size()) return exact ? 1 : 0;
    return -1;
}

template <typename T>
std::partial_ordering order_of(const T& a, const T& b) {
    if (a < b) return std::partial_ordering::less;
    if (b < a) return std::partial_ordering::greater;
    return std::partial_ordering::equivalent;
}

int whole_days(double n) {
    return static_cast<int>(std::trunc(n));
}

}  // namespace

char type_letter(Type t) {
    switch (t) {
        case Type::Nil: return 'U';
        case Type::Logical: return 'L';
        case Type::Number: return 'N';
        case Type::Character: return 'C';
        case Type::Date: return 'D';
        case Type::Array: return 'A';
    }
    return 'U';
}

bool Value::as_bool() const {
    const bool* b = std::get_if<bool>(&v_);
    return b ? *b : false;
}

double Value::as_number() const {
    const double* n = std::get_if<double>(&v_);
    return n ? *n : 0.0;
}

const std::string& Value::as_string() const {
    const std::string* s = std::get_if<std::string>(&v_);
    return s ? *s : empty_string();
}

Date Value::as_date() const {
    const Date* d = std::get_if<Date>(&v_);
    return d ? *d : Date{};
}

const ArrayRef& Value::as_array() const {
    const ArrayRef* a = std::get_if<ArrayRef>(&v_);
    return a ? *a : null_array();
}

std::string& Value::str() {
    // A value of another type becomes an empty string rather than failing.
    if (!is_string()) v_ = std::string();
    return std::get<std::string>(v_);
}

const Value& Value::at(std::size_t pos1) const {
    const ArrayRef& a = as_array();
    if (!a || pos1 == 0 || pos1 > a->size()) return nil_value();
    return (*a)[pos1 - 1];
}

std::size_t Value::len() const {
    if (is_string()) return as_string().size();
    if (is_array()) {
        const ArrayRef& a = as_array();
        return a ? a->size() : 0;
    }
    return 0;
}

bool EMPTY(const Value& v) {
    switch (v.type()) {
        case Type::Nil: return true;
        case Type::Logical: return !v.as_bool();
        case Type::Number: return v.as_number() == 0.0;
        case Type::Character:
            return v.as_string().find_first_not_of(" \t\r\n") == std::string::npos;
        case Type::Date: return v.as_date().empty();
        case Type::Array: return v.len() == 0;
    }
    return true;
}

bool equals(const Value& a, const Value& b, bool exact) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
        case Type::Nil: return true;
        case Type::Logical: return a.as_bool() == b.as_bool();
        case Type::Number: return a.as_number() == b.as_number();
        case Type::Character:
            return compare_strings(a.as_string(), b.as_string(), exact) == 0;
        case Type::Date: return a.as_date() == b.as_date();
        case Type::Array: return a.as_array() == b.as_array();   // same array
    }
    return false;
}

std::partial_ordering compare(const Value& a, const Value& b) {
    if (a.type() != b.type()) return std::partial_ordering::unordered;
    switch (a.type()) {
        case Type::Nil: return std::partial_ordering::equivalent;
        case Type::Logical: return order_of(int(a.as_bool()), int(b.as_bool()));
        case Type::Number: return a.as_number() <=> b.as_number();
        case Type::Character: {
            const int c = compare_strings(a.as_string(), b.as_string(), false);
            return order_of(c, 0);
        }
        case Type::Date: return order_of(a.as_date().julian(), b.as_date().julian());
        case Type::Array: return std::partial_ordering::unordered;
    }
    return std::partial_ordering::unordered;
}

Value add(const Value& a, const Value& b) {
    if (a.is_number() && b.is_number()) return Value(a.as_number() + b.as_number());
    if (a.is_string() && b.is_string()) return Value(a.as_string() + b.as_string());
    if (a.is_date() && b.is_number()) return Value(a.as_date() + whole_days(b.as_number()));
    if (a.is_number() && b.is_date()) return Value(b.as_date() + whole_days(a.as_number()));
    return Value();
}

Value subtract(const Value& a, const Value& b) {
    if (a.is_number() && b.is_number()) return Value(a.as_number() - b.as_number());
    if (a.is_date() && b.is_date()) return Value(a.as_date() - b.as_date());
    if (a.is_date() && b.is_number()) return Value(a.as_date() - whole_days(b.as_number()));
    if (a.is_string() && b.is_string()) {
        // The left side's trailing blanks travel to the end of the result.
        const std::string& l = a.as_string();
        const std::size_t kept = l.find_last_not_of(' ') + 1;   // npos + 1 == 0
        std::string out = l.substr(0, kept);
        out += b.as_string();
        out.append(l.size() - kept, ' ');
        return Value(std::move(out));
    }
    return Value();
}

Value multiply(const Value& a, const Value& b) {
    if (a.is_number() && b.is_number()) return Value(a.as_number() * b.as_number());
    return Value();
}

Value divide(const Value& a, const Value& b) {
    if (!a.is_number() || !b.is_number()) return Value();
    const double d = b.as_number();
    return Value(d == 0.0 ? 0.0 : a.as_number() / d);
}

Value modulo(const Value& a, const Value& b) {
    if (!a.is_number() || !b.is_number()) return Value();
    const double d = b.as_number();
    return Value(d == 0.0 ? 0.0 : std::fmod(a.as_number(), d));
}

}  // namespace qv::rt
