#include "declaration/entry/income_screen_routines.hpp"

#include <mutex>
#include <span>

#include "common/globals.hpp"
#include "declaration/entry/income_frames.hpp"
#include "declaration/entry/income_screens.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration {

namespace {

using Args = std::span<const rt::Value>;

// A frame asked for without its kind shows the one of the current sub-page.
int frame_kind(Args a, std::initializer_list<int> dependants_pages) {
    if (!a.empty() && a[0].is_number()) return static_cast<int>(a[0].as_number());
    const int sub_page = common::Global{"OPCIR_1"}.integer();
    for (const int p : dependants_pages)
        if (sub_page == p) return 2;
    return 1;
}

}  // namespace

void register_income_screen_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("RENDPJ", [](Args) {
            RENDPJ();
            return rt::Value();
        });
        rt::register_function("RENDPF", [](Args) {
            RENDPF();
            return rt::Value();
        });
        rt::register_function("JANPJUR", [](Args a) {
            JANPJUR(frame_kind(a, {12, 14}));
            return rt::Value();
        });
        rt::register_function("JANPFIS", [](Args a) {
            JANPFIS(frame_kind(a, {22}));
            return rt::Value();
        });
    });
}

}  // namespace qv::declaration
