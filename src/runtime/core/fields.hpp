#pragma once
// How the core reaches table fields without knowing the table engine: the
// table layer installs a FieldResolver at start-up. Expressions and the
// variable store resolve an undeclared name to the field of that name in the
// selected work area, and "ALIAS->NAME" to the field in that alias's area.
#include <cstdint>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::rt {

class FieldResolver {
public:
    virtual ~FieldResolver() = default;
    // The selected work area's number, 0 when none is selected.
    virtual int selected_area() const = 0;
    // The work area of an alias (or of its number written as text); 0 if none.
    virtual int area_of_alias(std::string_view alias) const = 0;
    // 0-based position of a field of the table open in `area`, -1 when the
    // area is empty or has no such field (names are case-insensitive).
    virtual int field_index(int area, std::string_view name) const = 0;
    // Changes whenever another table is opened in (or closed from) the area,
    // so callers may cache field positions per (area, generation).
    virtual std::uint64_t generation(int area) const = 0;
    virtual Value get_field(int area, int index) const = 0;
    virtual void put_field(int area, int index, const Value& v) = 0;
};

// The resolver in force; nullptr means no tables (names are variables only).
FieldResolver* field_resolver();
void set_field_resolver(FieldResolver* r);

}  // namespace qv::rt
