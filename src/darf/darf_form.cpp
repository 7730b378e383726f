#include "darf/darf_form.hpp"

#include <algorithm>

#include "common/globals.hpp"
#include "darf/darf_state.hpp"
#include "declaration/entry/dialog_frames.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/achoice.hpp"

namespace qv::darf {

using rt::operator""_cp;

namespace {

// The form's frame; its labels end before the values' columns.
constexpr int kFormFrame = 1;
constexpr int kDateLabelWidth = 21;
constexpr int kRateOffset = 6, kAmountOffset = 18;

std::string picture(std::string_view name, std::string_view pic) {
    return rt::TRANSFORM(common::Global{name}.value(), pic);
}

std::string rate_text(double rate) {
    return rate == 0.0 ? std::string(6, ' ') : rt::TRANSFORM(rt::Value(rate), "@EZ 99.99") + "%";
}

void show_person() {
    const int quecon = integer("QUECON", 1);
    std::string who;
    if (quecon == 1) {
        const bool dependant = rt::TRIM(text("DARFTD")) == "N";
        const std::string cpf = dependant ? text("CPFDEPEN") : text("CPF");
        const std::string name = dependant ? text("NOMEDEPEN") : text("NOMECONTR");
        const std::string phone = rt::ALLTRIM(text("TELEFO"));
        who = rt::TRANSFORM(rt::Value(rt::PADR(cpf, 11)), "@R 999.999.999-99") + " " + rt::PADR(name, 35) + " " +
              (phone.empty() ? std::string() : rt::TRANSFORM(rt::Value(rt::PADR(phone, 8)), "@R 9999-9999"));
    } else if (quecon == 2) {
        who = "  Todos Marcados   Nomes marcados com S conforme lista";
    } else {
        who = "Todos nomes Cadastrados ";
    }
    rt::at_say(kFormTop + 2, kFormLeft + 2, rt::PADR(who, kFormRight - kFormLeft - 3));
}

}  // namespace

void open_form() { declaration::MTELA21(kFormFrame); }

void close_form() { declaration::close_dialog("MTELA21", kFormFrame); }

void show_form() {
    show_person();
    rt::at_say(kPeriodRow, kValueCol, picture("DF_PERIODO", "@D"));
    rt::at_say(kPeriodRow, kChargesCol + kDateLabelWidth, text("DF_CODIG"));
    rt::at_say(kDueRow, kValueCol, picture("DF_VCTO", "@D"));
    rt::at_say(kDueRow, kChargesCol + kDateLabelWidth, picture("DF_PGTO", "@D"));
    rt::at_say(kWorkdayRow, kValueCol, picture("DDATAUTIL", "@D"));
    show_lines();
    show_charges();
}

void show_lines() {
    for (int i = 1; i <= kSlipTextLines; ++i)
        rt::at_say(kLinesRow + i - 1, 3, rt::PADR(text("DF_OUTR" + std::to_string(i)), kSlipTextWidth));
}

void show_charges() {
    const int rate = kChargesCol + kRateOffset, amount = kChargesCol + kAmountOffset;
    rt::at_say(kLinesRow, amount, amount_text(number("IMPO_REAL")));
    rt::at_say(kLinesRow + 1, rate, rt::PADR(rate_text(number("DF_MULTA")), amount - rate));
    rt::at_say(kLinesRow + 1, amount, amount_text(number("VAL_MULTA")));
    rt::at_say(kLinesRow + 2, rate, rt::PADR(rate_text(number("DF_JURO")), amount - rate));
    rt::at_say(kLinesRow + 2, amount, amount_text(number("VAL_JURO")));
    rt::at_say(kLinesRow + 3, amount, amount_text(number("VAL_TOTAL")));
}

int pick(std::string_view painter, int number, int initial) {
    const declaration::DialogFrame* dialog = declaration::dialog_frame(painter, number);
    if (dialog == nullptr) return 0;
    const declaration::FrameText& f = dialog->frame;
    std::vector<std::string> items;
    for (const declaration::FrameLabel& label : f.labels)
        if (label.row >= 1 && label.row < f.bottom - f.top) items.push_back(rt::utf8_to_cp850(label.text));
    declaration::paint_dialog(painter, number);
    const int chosen = rt::ACHOICE(f.top + 1, f.left + 2, f.bottom - 1, f.right - 2, items, {}, {}, initial);
    declaration::close_dialog(painter, number);
    return chosen;
}

}  // namespace qv::darf
