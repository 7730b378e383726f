#pragma once
// The one dynamic value of the system: what variables, fields, expressions and
// arrays hold. Character values are CP850 bytes, one byte per character.
#include <compare>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>
#include "runtime/core/date.hpp"

// GCC 12 reports the moved-from std::string of a variant holding another
// alternative as "maybe uninitialized" wherever a temporary Value is moved
// into a vector; the warning is false and would show in every caller.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace qv::rt {

class Value;
using Array = std::vector<Value>;
using ArrayRef = std::shared_ptr<Array>;   // arrays are shared by reference

enum class Type { Nil, Logical, Number, Character, Date, Array };

// The letter VALTYPE() gives: U L N C D A.
char type_letter(Type t);

class Value {
public:
    Value() = default;
    Value(bool b) : v_(b) {}
    Value(double n) : v_(n) {}
    Value(int n) : v_(static_cast<double>(n)) {}
    Value(long n) : v_(static_cast<double>(n)) {}
    Value(long long n) : v_(static_cast<double>(n)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(Date d) : v_(d) {}
    Value(ArrayRef a) : v_(std::move(a)) {}

    static Value array(std::size_t n = 0) { return Value(std::make_shared<Array>(n)); }

    Type type() const { return static_cast<Type>(v_.index()); }
    bool is_nil() const { return type() == Type::Nil; }
    bool is_logical() const { return type() == Type::Logical; }
    bool is_number() const { return type() == Type::Number; }
    bool is_string() const { return type() == Type::Character; }
    bool is_date() const { return type() == Type::Date; }
    bool is_array() const { return type() == Type::Array; }

    // Typed access; a value of another type gives the type's empty value
    // (false, 0, "", empty date, no array), never an exception.
    bool as_bool() const;
    double as_number() const;
    const std::string& as_string() const;
    Date as_date() const;
    const ArrayRef& as_array() const;

    // Mutable access to the string held (the value must be a string).
    std::string& str();

    // Array element, 1-based as the system counts; out of range gives nil.
    const Value& at(std::size_t pos1) const;
    std::size_t len() const;   // LEN(): string bytes or array elements

private:
    std::variant<std::monostate, bool, double, std::string, Date, ArrayRef> v_;
};

// EMPTY(): nil, false, 0, blank text, empty date, empty array.
bool EMPTY(const Value& v);

// Comparison with the runtime's rules. `=` (exact=false): a right-hand
// string shorter than the left compares as a prefix ("ABC" = "AB" is true,
// "" matches anything); `==` (exact=true) needs the same bytes and length.
// Values of different types are never equal.
bool equals(const Value& a, const Value& b, bool exact);
// Ordering for < > <= >=: strings by CP850 byte order with the shorter right
// side compared as a prefix (as `=` does), numbers, dates, logicals (F < T).
std::partial_ordering compare(const Value& a, const Value& b);

// Arithmetic of the runtime: + joins strings and adds numbers or days to a
// date; - subtracts (date - date gives days; string - string moves the left
// string's trailing blanks to the end); / and % with a zero divisor give 0.
// Operands of types that do not combine give nil.
Value add(const Value& a, const Value& b);
Value subtract(const Value& a, const Value& b);
Value multiply(const Value& a, const Value& b);
Value divide(const Value& a, const Value& b);
Value modulo(const Value& a, const Value& b);

}  // namespace qv::rt

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
