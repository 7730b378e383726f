#include "declaration/entry/exempt_windows.hpp"

#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/page_fields.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration {

namespace {

constexpr int kExemptGainBox = 10;   // MTELA2's exemption box, rows 8-17
constexpr int kBoxTop = 8, kBoxLeft = 4;
constexpr int kInformedCol = kBoxLeft + 40, kCalculatedCol = kBoxLeft + 56;
constexpr const char* kPicture = "@Ez 99,999,999.99";

struct ExemptRow {
    int offset;
    const char* informed;
    const char* calculated;   // nullptr: the capital-gains module computes none
};
constexpr std::array<ExemptRow, 4> kRows{{{2, "I3_04GCPV", "I3_04GCPVC"},
                                          {3, "I3_04UNIC", "I3_04UNICC"},
                                          {4, "I3_04REDU", "I3_04REDUC"},
                                          {5, "I3_04EXTR", nullptr}}};

double amount(const char* name) { return common::Global{name}.number(); }

bool names_exempt_gain(std::string_view field) {
    return rt::UPPER(rt::VarStore::normalize(field)) == "I3_04";
}

void show_amount(int row, int col, double value) { rt::at_say(row, col, rt::TRANSFORM(rt::Value(value), kPicture)); }

void show_totals() {
    double calculated = 0.0;
    for (const ExemptRow& r : kRows) {
        if (r.calculated == nullptr) continue;
        show_amount(kBoxTop + r.offset, kCalculatedCol, amount(r.calculated));
        calculated += amount(r.calculated);
    }
    show_amount(kBoxTop + 7, kInformedCol, amount("I3_04D"));
    show_amount(kBoxTop + 7, kCalculatedCol, calculated);
}

// While the gains box stands over the page, lines of the page that the
// auxiliary list (Alt+F6) refills are painted when the box goes: painted
// at once they would write over the box, and the box would then give back
// the page as it was before the list.
bool gain_box_open = false;
int lines_to_show = 0;

void show_filled_lines(int sub);

// The informed amounts, each taken into the line at once (CALC(5)).
void exempt_gain_window() {
    for (const ExemptRow& r : kRows)
        if (!rt::variables().exists(r.informed)) common::Global{r.informed}.set(rt::Value(0));
    MTELA2(kExemptGainBox);
    rt::call_routine("CALC", {rt::Value(5)});
    show_totals();
    for (const ExemptRow& r : kRows)
        rt::at_get(kBoxTop + r.offset, kInformedCol, std::string("M->") + r.informed, kPicture).valid([] {
            rt::call_routine("CALC", {rt::Value(5)});
            show_totals();
            return true;
        });
    {
        struct Open {
            Open() { gain_box_open = true; }
            ~Open() { gain_box_open = false; }
        } const open;
        rt::READ();
    }
    rt::call_routine("CALC", {rt::Value(5)});
    close_dialog("MTELA2", kExemptGainBox);
    if (lines_to_show != 0) show_filled_lines(std::exchange(lines_to_show, 0));
}

std::string current_field() {
    const rt::Get* g = rt::current_get();
    return g ? g->name() : std::string();
}

// Shows the lines the auxiliary list fills, where the sub-page shows them.
void show_filled_lines(int sub) {
    const std::vector<std::string_view> names =
        sub == 32 ? std::vector<std::string_view>{"I4_04", "I4_05D", "I4_05", "I4_09D", "I4_09"}
                  : std::vector<std::string_view>{"I3_08", "I3_12D", "I3_12"};
    std::vector<PageField> shown;
    for (const PageField& f : page_form(sub))
        for (std::string_view n : names)
            if (rt::UPPER(rt::VarStore::normalize(f.var)) == n) shown.push_back(f);
    show_fields(3, shown);
}

}  // namespace

bool MOS_CAL(std::string_view field) {
    const bool help_key = field.empty();
    const std::string on = help_key ? current_field() : std::string(field);
    if (names_exempt_gain(on)) {
        exempt_gain_window();
        if (rt::Get* g = rt::current_get()) {
            g->update_buffer();
            g->display();
        }
        // The page's total takes the line as the window leaves it.
        rt::call_routine("CALC", {rt::Value(3), rt::Value(1)});
    }
    if (help_key) {
        rt::call_routine("GERAL");
        if (names_exempt_gain(on)) rt::KEYBOARD("\r\r");
    }
    return true;
}

void PEGA_VARIOS() {
    rt::call_routine("EDITA", {rt::Value(13)});
    rt::call_routine("FCALPOUPA", {rt::Value(1)});
    const int sub = vars::OPCIR_1.integer(31) == 32 ? 32 : 31;
    if (gain_box_open) lines_to_show = sub;
    else show_filled_lines(sub);
    rt::call_routine("CALC", {rt::Value(3), rt::Value(1)});
}

void register_exempt_window_routines() {
    rt::register_function("MOS_CAL", [](std::span<const rt::Value> a) {
        return rt::Value(MOS_CAL(!a.empty() && a[0].is_string() ? a[0].as_string() : std::string()));
    });
    rt::register_function("PEGA_VARIOS", [](std::span<const rt::Value>) {
        PEGA_VARIOS();
        return rt::Value();
    });
}

}  // namespace qv::declaration
