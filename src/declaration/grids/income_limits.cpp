#include "declaration/grids/income_limits.hpp"

#include <string>

#include "common/globals.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration::grids {

namespace {

constexpr const char* kLimitPicture = "@Ez 999,999,999.99";
constexpr int kAged65Row = 13, kIllnessRow = 12;
constexpr int kFieldColumn = 40;

// "M->I1_17" and "I1_17" name the same variable.
std::string bare_name(std::string_view name) {
    std::string upper = rt::UPPER(rt::ALLTRIM(name));
    return upper.rfind("M->", 0) == 0 ? upper.substr(3) : upper;
}

}  // namespace

bool VEJALIM(std::string_view name, int mode) {
    if (mode != 1 && mode != 2) return true;
    const std::string variable = bare_name(name);
    const common::Global held{variable};
    rt::Value value(held.number());
    if (mode == 1) replaces("LIMIT3", {rt::Value(2)})(value);
    else replaces("LIMIT2")(value);
    held.set(value);
    // The field being left shows the value kept; otherwise it is written on
    // the form's row of that limit.
    if (rt::Get* get = rt::current_get(); get && bare_name(get->name()) == variable) {
        get->update_buffer();
        get->display();
    } else {
        const int col = rt::current_get() ? rt::current_get()->col() : kFieldColumn;
        rt::at_say(mode == 1 ? kAged65Row : kIllnessRow, col, rt::TRANSFORM(value, kLimitPicture));
    }
    return true;
}

}  // namespace qv::declaration::grids
