#include "declaration/entry/frame_painter.hpp"

#include <algorithm>
#include <vector>

#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/entry/frames.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr int kPageWindow = 3;
constexpr std::size_t kOriginSlots = 23;
constexpr int kTaxpayerFrame = 103;
constexpr int kListFrames = 200;
constexpr int kListWindow = 10;
// The window's text starts inside a box drawn one cell up and left of it.
constexpr int kBoxOutside = 1;

const common::Global kOpcir1{"OPCIR_1"};
const common::Global kUsaPadrao{"USAPADRAO"};
const common::Global kDecFinal{"DECFINAL"};

}  // namespace

// Sets element `page` of the origin array `name`, making it whole first.
void set_origin(const char* name, int page, int value) {
    const common::Global var{name};
    rt::Value array = var.value();
    if (!array.is_array()) array = rt::Value::array();
    if (page < 1) return;
    rt::Array& cells = *array.as_array();
    cells.resize(std::max(cells.size(), std::max(kOriginSlots, static_cast<std::size_t>(page))), rt::Value(0));
    cells[static_cast<std::size_t>(page - 1)] = rt::Value(value);
    var.set(array);
}

namespace {

int origin(const char* name, int page) {
    const rt::Value v = common::Global{name}.value();
    if (!v.is_array() || page < 1 || static_cast<std::size_t>(page) > v.len()) return 0;
    return static_cast<int>(common::number_of(v.at(static_cast<std::size_t>(page))));
}

int sub_page(int first, std::initializer_list<int> known) {
    const int id = kOpcir1.integer(first);
    for (const int k : known)
        if (id == k) return id;
    return first;
}

}  // namespace

void paint_frame(const FrameText& frame, int window) {
    common::REDEFJAN(window, common::Global{"COR_TEL1"}.integer(30), common::Global{"COR_TEL2"}.integer(31),
                     common::Global{"COR_ENCHE"}.integer(31), frame.top + 1, frame.left + 1, frame.bottom + 1,
                     frame.right + 1, kBoxOutside);
    if (common::window_saved(window)) common::FECHAJAN(window);
    common::ABREJAN(window);
    common::ESCRJAN(window, frame_layout(frame));
    for (const FrameLabel& label : frame.labels)
        if (label.row == 0 || label.row == frame.bottom - frame.top)
            rt::at_say(frame.top + label.row, frame.left + label.col, rt::utf8_to_cp850(label.text));
}

namespace {

void paint(int page, const FrameText& frame, int window = kPageWindow) {
    paint_frame(frame, window);
    if (page == 0) return;
    set_origin("ALJ", page, frame.top);
    set_origin("ACJ", page, frame.left);
}

// The spouse of a final estate is the surviving partner.
void label_spouse(const FrameText& frame) {
    if (kDecFinal.text() == "S") rt::at_say(frame.top + 3, frame.left + 52, "CPF Meeiro ");
}

}  // namespace

int frame_number(int page) {
    switch (page) {
        case 3: return sub_page(31, {31, 32});
        case 4: return sub_page(41, {41, 42, 43, 44});
        case 5: return sub_page(51, {51, 56, 57, 58});
        case 7: return kUsaPadrao.text("S") == "S" ? 70 : 71;
        default: return page;
    }
}

void MTELA(int page) {
    if (page >= 6) {
        MOSTEL(page);
        return;
    }
    // The income-source lists draw their own pages.
    const char* own = page == 1 ? "JANPJUR" : page == 2 ? "JANPFIS" : nullptr;
    if (own != nullptr) {
        rt::call_function(own, {});
        return;
    }
    if (const FrameText* frame = frame_text(frame_number(page))) paint(page, *frame);
}

void MOSTEL(int page) {
    const FrameText* frame = frame_text(frame_number(page));
    if (frame == nullptr) return;
    paint(page, *frame);
    if (page == 6) label_spouse(*frame);
}

void MTELAVER(int n, int variant) {
    if (n == 4) {
        register_data_frame();
        return;
    }
    if (n == 5) {
        property_frame(variant, rt::UPPER(rt::TRIM(common::Global{"REGISTRO"}.text())) == "S");
        return;
    }
    if (const FrameText* frame = frame_text(kListFrames + n)) paint(0, *frame, kListWindow);
}

void taxpayer_box() { rt::call_routine("MTELA3", {rt::Value(3)}); }

int page_row(int page) { return origin("ALJ", page); }
int page_col(int page) { return origin("ACJ", page); }

}  // namespace qv::declaration
