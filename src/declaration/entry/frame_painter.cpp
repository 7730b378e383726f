#include "declaration/entry/frame_painter.hpp"

#include <vector>

#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/frames.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
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

void paint(int page, const FrameText& frame, int window = kPageWindow) {
    common::REDEFJAN(window, common::Global{"COR_TEL1"}.integer(30), common::Global{"COR_TEL2"}.integer(31),
                     common::Global{"COR_ENCHE"}.integer(31), frame.top + 1, frame.left + 1, frame.bottom + 1,
                     frame.right + 1, kBoxOutside);
    if (common::window_saved(window)) common::FECHAJAN(window);
    common::ABREJAN(window);
    common::ESCRJAN(window, frame_layout(frame));
    for (const FrameLabel& label : frame.labels)
        if (label.row == 0) rt::at_say(frame.top, frame.left + label.col, rt::utf8_to_cp850(label.text));
    if (page == 0) return;
    set_origin("ALJ", page, frame.top);
    set_origin("ACJ", page, frame.left);
}

// The spouse of a final estate is the surviving partner.
void label_spouse(const FrameText& frame) {
    if (kDecFinal.text() == "S") rt::at_say(frame.top + 3, frame.left + 52, "CPF Meeiro ");
}

}  // namespace

void set_origin(const char* name, int index, int value) {
    const common::Global var{name};
    rt::Value array = var.value();
    if (!array.is_array()) array = rt::Value::array();
    rt::Array& cells = *array.as_array();
    if (cells.size() < kOriginSlots) cells.resize(kOriginSlots, rt::Value(0));
    cells[static_cast<std::size_t>(index - 1)] = rt::Value(value);
    var.set(array);
}

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
    // The income-source lists draw their own pages when they exist.
    const char* own = page == 1 ? "JANPJUR" : page == 2 ? "JANPFIS" : nullptr;
    if (own != nullptr && rt::has_function(own)) {
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

void MTELAVER(int n) {
    if (const FrameText* frame = frame_text(kListFrames + n)) paint(0, *frame, kListWindow);
}

void taxpayer_box() {
    if (rt::has_function("MTELA3")) {
        rt::call_function("MTELA3", std::vector<rt::Value>{rt::Value(3)});
        return;
    }
    if (const FrameText* frame = frame_text(kTaxpayerFrame)) paint(0, *frame);
}

int page_row(int page) { return origin("ALJ", page); }
int page_col(int page) { return origin("ACJ", page); }

}  // namespace qv::declaration
