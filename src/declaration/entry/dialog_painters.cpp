#include "declaration/entry/dialog_painters.hpp"

#include <algorithm>
#include <initializer_list>
#include <mutex>
#include <span>
#include <string>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_frames.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

constexpr int kTaxpayerFrame = 103;
constexpr int kTaxpayerWindow = 3;
constexpr int kPrintMenuWindow = 4;
constexpr int kPrintMenuTop = 3;
constexpr int kScreenMiddle = 40;
constexpr int kCapitalGainForm = 9;
// The kinds of capital gain (TIPO_BEM).
constexpr int kRealEstateKind = 1, kSharesKind = 3;

void record_origin(const FrameText& frame) {
    const int slot = std::max(common::Global{"NTA"}.integer(1), 1);
    set_origin("ALJA", slot, frame.top);
    set_origin("ACJA", slot, frame.left);
}

// A frame without a window of its own clears its area on the page below.
void paint(const FrameText& frame, int window) {
    if (window == 0) {
        rt::SCROLL(frame.top, frame.left, frame.bottom, frame.right);
        for (const FrameLabel& label : frame.labels)
            rt::at_say(frame.top + label.row, frame.left + label.col, rt::utf8_to_cp850(label.text));
    } else {
        paint_frame(frame, window);
    }
    record_origin(frame);
}

// A frame with the labels of some of its painter's parts added.
FrameText with_parts(const FrameText& base, std::string_view painter, std::initializer_list<int> parts) {
    FrameText frame = base;
    for (const int part : parts)
        if (const DialogFrame* d = dialog_frame(painter, part))
            frame.labels.insert(frame.labels.end(), d->frame.labels.begin(), d->frame.labels.end());
    return frame;
}

// The taxpayer box of the CPF prompt serves the look-ups as well.
void taxpayer_frame() {
    if (const FrameText* frame = frame_text(kTaxpayerFrame)) paint(*frame, kTaxpayerWindow);
}

std::string caption(const rt::Value& list, int k) {
    if (!list.is_array() || k < 1 || static_cast<std::size_t>(k) > list.len()) return {};
    const rt::Value v = list.at(static_cast<std::size_t>(k));
    return v.is_string() ? v.as_string() : std::string();
}

// The print menu: one caption a row, the box centred on the screen.
void print_menu(int count) {
    const std::string name = common::Global{"QUEMOSTRA"}.text();
    const rt::Value list = rt::variables().exists(name) ? rt::variables().get(name) : rt::Value();
    count = std::clamp(count, 0, list.is_array() ? static_cast<int>(list.len()) : 0);
    int width = 0;
    for (int k = 1; k <= count; ++k) width = std::max(width, static_cast<int>(caption(list, k).size()));
    width += 2;
    FrameText frame{2, kPrintMenuTop, kScreenMiddle - width / 2 - 1, kPrintMenuTop + count + 1,
                    kScreenMiddle - width / 2 + width, {}};
    // Captions are CP850 already: they are written into the empty frame.
    paint(frame, kPrintMenuWindow);
    std::string text;
    rt::Value messages = rt::Value::array();
    for (int k = 1; k <= count; ++k) {
        text += rt::PADR(" " + caption(list, k), width);
        messages.as_array()->push_back(rt::Value(""));
    }
    common::ESCRJAN(kPrintMenuWindow, text);
    common::Global("OPCOES").set(rt::Value(""));   // no hot letters: a stale set would choose
    common::Global("ALTUR").set(rt::Value(count + 1));
    common::Global("LARG").set(rt::Value(width));
    common::Global("MENSMENU").set(messages);
}

int number_arg(std::span<const rt::Value> a, std::size_t i, int fallback = 0) {
    return i < a.size() && a[i].is_number() ? static_cast<int>(a[i].as_number()) : fallback;
}

}  // namespace

bool paint_dialog(std::string_view painter, int number) {
    const DialogFrame* dialog = dialog_frame(painter, number);
    if (dialog == nullptr) return false;
    paint(dialog->frame, dialog->window);
    return true;
}

void close_dialog(std::string_view painter, int number) {
    if (const DialogFrame* dialog = dialog_frame(painter, number)) common::FECHAJAN(dialog->window);
}

void MTELA2(int n) { paint_dialog("MTELA2", n); }

void MTELA3(int n) {
    if (n == 3) {
        taxpayer_frame();
        return;
    }
    paint_dialog("MTELA3", n);
}

void MTELA4(int n) { paint_dialog("MTELA4", n); }

void MTELA5(int n, int kind) {
    if (n == kCapitalGainForm) {
        capital_gain_frame(kind);
        return;
    }
    paint_dialog("MTELA5", n);
}

void MTELA13(int n, int count) {
    if (n == 2) {
        print_menu(count);
        return;
    }
    if (n == 3) {
        taxpayer_frame();
        return;
    }
    paint_dialog("MTELA13", n);
}

void MTELA21(int n) { paint_dialog("MTELA21", n); }

void MOSTELA4() { paint_dialog("MOSTELA4", 0); }

void register_data_frame() { paint_dialog("MTELAVER", 4); }

void property_frame(int variant, bool registered) {
    const DialogFrame* base = dialog_frame("MTELAVER", 5);
    if (base == nullptr) return;
    const int place = variant == 1 ? kPropertyInBrazil : kPropertyAbroad;
    if (variant != 1 && variant != 3)
        paint(base->frame, base->window);
    else if (registered)
        paint(with_parts(base->frame, "MTELAVER", {kPropertyAddress, place, kPropertyRegistry}), base->window);
    else
        paint(with_parts(base->frame, "MTELAVER", {kPropertyAddress, place}), base->window);
}

void capital_gain_frame(int kind) {
    const DialogFrame* base = dialog_frame("MTELA5", kCapitalGainForm);
    if (base == nullptr) return;
    if (kind == kSharesKind)
        paint(with_parts(base->frame, "MTELA5", {kGainShares}), base->window);
    else if (kind == kRealEstateKind)
        paint(with_parts(base->frame, "MTELA5", {kGainAssets, kGainRealEstate}), base->window);
    else
        paint(with_parts(base->frame, "MTELA5", {kGainAssets}), base->window);
}

void register_dialog_painter_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto by_number = [](void (*painter)(int)) {
            return [painter](Args a) {
                painter(number_arg(a, 0));
                return rt::Value("");
            };
        };
        rt::register_function("MTELA2", by_number(MTELA2));
        rt::register_function("MTELA3", by_number(MTELA3));
        rt::register_function("MTELA4", by_number(MTELA4));
        rt::register_function("MTELA5", [](Args a) {
            MTELA5(number_arg(a, 0), number_arg(a, 1));
            return rt::Value("");
        });
        rt::register_function("MTELA21", by_number(MTELA21));
        rt::register_function("MTELA13", [](Args a) {
            MTELA13(number_arg(a, 0), number_arg(a, 1));
            return rt::Value("");
        });
        rt::register_function("MOSTELA4", [](Args) {
            MOSTELA4();
            return rt::Value("");
        });
        rt::register_function("MTELAVER", [](Args a) {
            MTELAVER(number_arg(a, 0, 1), number_arg(a, 1));
            return rt::Value("");
        });
    });
}

}  // namespace qv::declaration
