#include "declaration/entry/mtela1_frames.hpp"

#include <mutex>
#include <span>

#include "common/globals.hpp"
#include "common/routine_wrappers.hpp"
#include "common/windows.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "runtime/core/functions.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

// The background's logo names the terminal under the block letters.
constexpr int kTerminalRow = 8, kTerminalCol = 2;

}  // namespace

void MTELA1(int number, int variant) {
    const common::FrameBox* frame = mtela1_frame(number, variant);
    if (frame == nullptr) return;
    if (common::window_saved(frame->window)) common::FECHAJAN(frame->window);
    common::open_frame(*frame);
    // The dialog's fields count from where its window lies.
    common::Global{"NTA"}.set(rt::Value(number));
    set_origin("ALJA", number, frame->top);
    set_origin("ACJA", number, frame->left);
    if (number == dialog::kBackground) {
        common::ESCRLCOL(frame->window, kTerminalRow, kTerminalCol, "Term. " + tables::terminal());
        // The logo is background: a dialog that opens the same window id
        // later (the agenda's calendar) saves and gives back the logo
        // instead of the plain screen it was painted on.
        common::keep_on_screen(frame->window);
    }
}

void register_dialog_frame_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("MTELA1", [](std::span<const rt::Value> a) {
            MTELA1(common::int_arg(a, 0), common::int_arg(a, 1));
            return rt::Value("");
        });
    });
}

}  // namespace qv::declaration
