#pragma once
// Index keys computed straight from the record bytes when the expression is
// a simple one: fields joined by '+', each bare, inside UPPER() or DTOS(),
// or an N field inside STR() or STRZERO() with its width and decimals
// ("CPF", "UPPER(NOMECONTR)", "CPF+ATV_BRASIL+DTOS(DT_LC)", "CPF+STR(I7_0,4)",
// "STRZERO(BEM_NRO,2)+DAY_TRADE"), or one bare N, D or L field. Gives the same bytes as evaluating the expression, without
// going through values and name look-ups; anything else is left to the
// expression evaluator.
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "runtime/table/cdx.hpp"
#include "runtime/table/dbf_format.hpp"

namespace qv::rt::table {

class FastKey {
public:
    static std::optional<FastKey> compile(std::string_view expr, const std::vector<Field>& fields);
    // The key as the tag stores it (padded or cut to key_len).
    std::string eval(const char* record, KeyType type, int key_len) const;
    // The same written to `out` (key_len bytes), for C keys of this type.
    void eval_into(const char* record, int key_len, char* out) const;
    KeyType natural_type() const { return type_; }

private:
    enum class Kind { Raw, Upper, Dtos, Str, StrZero, Number, Date, Logical };
    struct Part {
        Kind kind;
        Field field;
        int width = 0;       // STR(), STRZERO()
        int decimals = -1;   // not given
    };
    static std::string number_text(const Part& p, const char* raw);
    std::vector<Part> parts_;
    KeyType type_ = KeyType::Character;
};

}  // namespace qv::rt::table
