#pragma once
// Program-wide variables read and written by the common routines. The name
// is interned once in the variable store; reads of a variable that does not
// exist give the fallback, so the routines work before the start-up code has
// created every variable (and in tests).
#include <optional>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::common {

class Global {
public:
    explicit Global(std::string_view name) : name_(name) {}

    rt::VarHandle handle() const;
    bool exists() const;
    // The visible variable's value; nil when there is none.
    rt::Value value() const;
    // A number held as a number, or as text holding one; else the fallback.
    double number(double fallback = 0.0) const;
    int integer(int fallback = 0) const { return static_cast<int>(number(fallback)); }
    // A text value; anything else gives the fallback.
    std::string text(std::string_view fallback = {}) const;
    // Assigns the visible variable; a missing one is created for the whole
    // run of the program (these are the program's own globals).
    void set(rt::Value v) const;

private:
    std::string name_;
    mutable std::optional<rt::VarHandle> handle_;
};

// Numeric reading of a value that may be a number or digits in text.
double number_of(const rt::Value& v, double fallback = 0.0);

}  // namespace qv::common
