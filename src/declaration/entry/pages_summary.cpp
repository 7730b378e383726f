// Pages 6 (identification), 7 (tax summary), 10 (balance), 11 (status and
// notes) and the rural pages 12-17.
#include <string>

#include "common/colours.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/times.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/page_support.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/usage.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;
namespace key = rt::key;

namespace {

constexpr int kCtrlS = 19;
constexpr int kNoticeRow = 1, kNoticeCol = 54, kNoticeWidth = 22;
constexpr int kRuralActivityArea = 36;

const common::Global kUsaPadrao{"USAPADRAO"};

double number(const char* name) { return common::Global{name}.number(); }
void set_value(const char* name, rt::Value v) { common::Global{name}.set(std::move(v)); }

// Binds a key to a routine by name while a page runs.
void bind(int code, const char* routine) {
    rt::SETKEY(code, [routine] { call(routine); });
}

void show_at(int page, int row, int col, const std::string& text) {
    rt::at_say(page_row(page) + row, page_col(page) + col, text);
}

void simplified_model() {
    set_value("NUSACOMP", rt::Value("N"));
    if (number("I4R_04") > 0 || number("I4R_07") < 0) {
        common::MENS(1, "Com prejuízo a compensar na Atividade Rural NÃO é vantajoso utilizar o desconto padrão."_cp);
        common::AVISO("ATENÇÃO! É mais vantajoso usar o formulário completo"_cp, 24, 28);
    }
    call("FI13_08");
    call("CSIMPLES", {rt::Value(1), rt::Value(1)});
    call("MOSTRA_SIMPLES");
    run_form(7, page_form(70));
}

void complete_model() {
    call("CALC", {rt::Value(7), rt::Value(1)});
    run_form(7, page_form(71));
}

// Shows the time, the data size and the fee of the declaration.
void show_usage() {
    const long seconds = VETEMPO(0);
    const long size = VETAMHO(0);
    set_value("TAM_USO", rt::Value(size));
    double fee = static_cast<double>(size) / 1000.0 * number("VAL_BYTE") +
                 static_cast<double>(seconds) / 60.0 * number("VAL_SEG");
    if (fee < number("VAL_MIN")) fee = number("VAL_MIN");
    show_at(10, 19, 13, common::SEG_HOR_2(seconds));
    show_at(10, 19, 29, rt::TRANSFORM(rt::Value(size), "@Ez 999,999"));
    show_at(10, 19, 61, rt::TRANSFORM(rt::Value(fee), "@Ez 99,999,999.99"));
}

void balance_keys(bool on) {
    if (on) {
        bind(key::CTRL_ENTER, "POEDESP");
        static const char* details[] = {"B_DETAL_1", "B_DETAL_2", "B_DETAL_3", "B_DETAL_4", "B_DETAL_5",
                                        "B_DETAL_6", "B_DETAL_7", "B_DETAL_8", "B_DETAL_9"};
        for (int i = 0; i < 9; ++i) bind(key::ALT_F1 - i, details[i]);
        return;
    }
    rt::SETKEY(key::CTRL_ENTER, {});
    for (int i = 0; i < 9; ++i) rt::SETKEY(key::ALT_F1 - i, {});
}

}  // namespace

void page_identification() {
    MRODAPE(11);
    show_fields(6, page_display(6));
    call("DIZANOS", {common::Global{"NASCIMENTO"}.value()});
    set_value("ATV_ANTES", vars::ATV_BRASIL.value());
    run_form(6, page_form(6));
    record_last_key();
    // The birthday notice stands above the page's frame: it goes with it.
    rt::at_say(kNoticeRow, kNoticeCol, rt::SPACE(kNoticeWidth),
               rt::parse_colour(common::ACHACOR(common::Global{"COR_ENCHE"}.integer(31))));
}

void page_tax() {
    bool first = true;
    for (;;) {
        // A final estate or a departure is a complete declaration: a page
        // painted for the simplified model is painted again.
        const bool forced = (vars::yes(vars::DECFINAL) || vars::yes(vars::DECSAIDA)) && kUsaPadrao.text() != "N";
        if (forced) kUsaPadrao.set(rt::Value("N"));
        if (!first || forced) MTELA(7);
        first = false;
        bind(kCtrlS, "MUDA");
        set_value("CCALCINV", rt::Value("S"));
        for (const char* name : {"NSRECEITA", "NSDEDUCAO", "NSIMPOSTO"}) set_value(name, rt::Value(0));
        set_value("TROCOU", rt::Value(false));
        set_value("LINVER", rt::Value(false));
        while (!common::Global{"TROCOU"}.value().as_bool()) {
            if (kUsaPadrao.text("S") == "S") simplified_model();
            else complete_model();
            if (page_changed()) break;
            if (last_key() == key::ESC) {
                if (!common::Global{"LINVER"}.value().as_bool()) break;
                set_value("LINVER", rt::Value(false));
            }
        }
        if (page_changed() || last_key() == key::ESC) break;
    }
    rt::SETKEY(key::CTRL_ENTER, {});
    rt::SETKEY(kCtrlS, {});
    record_last_key();
}

void page_balance() {
    call("FI10_1");
    vars::JA_CALC.set(rt::Value(false));
    for (const char* name : {"NADVOGADO", "NALUGUEL", "NOUTROS", "NAJUSTE", "NTOTEMPREG", "NDOABENS", "NPARTIDO"})
        set_value(name, rt::Value(0));
    call("FDE_TUDO");
    balance_keys(true);
    call("MOS_BALAN");
    if (common::Global{"CCONFERE"}.text() == "A") call("CONFERE", {rt::Value(3)});
    show_usage();
    for (;;) {
        run_form(10, page_form(10));
        const int k = last_key();
        if (k == key::ESC) {
            vars::ULTTECLA.set(rt::Value(27));
            break;
        }
        if (k == key::TAB || k == key::SHIFT_TAB) {
            vars::TELANT.set(vars::TELA.value());
            vars::ULTTECLA.set(rt::Value(k));
            break;
        }
        if (page_changed()) break;
    }
    balance_keys(false);
}

void page_notes() {
    MRODAPE(20);
    vars::SO_MOS.set(rt::Value(0));
    edit_grid(11);
    vars::SO_MOS.set(rt::Value(1));
    call("VE_STAT", {vars::ESTATUS.value(), rt::Value(2)});
    for (;;) {
        run_form(11, page_form(11));
        const int k = last_key();
        if (k == key::ENTER || k == key::TAB) {
            vars::TECLAMUDA.set(rt::Value(false));
            MRODAPE(18);
            vars::SO_MOS.set(rt::Value(1));
            if (k == key::ENTER) vars::ULTTECLA.set(rt::Value(k));
            edit_grid(11);
            return;
        }
        if (page_changed() || k == key::ESC) break;
    }
    record_last_key();
}

void page_rural(int page) {
    switch (page) {
        case 12:
            call("CALCRUR", {rt::Value(12), rt::Value(0)});
            call("MRODAPER", {rt::Value(1)});
            tables::ws().select(kRuralActivityArea);
            edit_grid(34);
            while (last_key() == key::SHIFT_TAB && !page_changed()) edit_grid(34);
            break;
        case 13:
            vars::TECLAMUDA.set(rt::Value(false));
            call("CALCRUR", {rt::Value(13), rt::Value(0)});
            edit_grid(37);
            set_value("I4R_03", rt::Value(number("I4R_01") - number("I4R_02")));
            set_value("I4R_05", rt::Value(number("I4R_03") - number("I4R_04")));
            call("FI4R_06", {rt::Value(0)});
            call("FI4R_07");
            call("CALC_PREJU");
            break;
        case 14:
            call("CALCRUR", {rt::Value(14), rt::Value(0)});
            call("FI4R_04", {rt::Value(0)});
            call("FI4R_06", {rt::Value(0)});
            call("MRODAPER", {rt::Value(3)});
            vars::TECLAMUDA.set(rt::Value(false));
            do {
                call("FI4R_06", {rt::Value(1)});
                run_form(14, page_form(14));
            } while (last_key() != key::ESC && !page_changed());
            record_last_key();
            break;
        case 15:
            call("CALCRUR", {rt::Value(15), rt::Value(0)});
            call("MRODAPER", {rt::Value(4)});
            run_form(15, page_form(15));
            record_last_key();
            break;
        case 16:
            call("MRODAPER", {rt::Value(5)});
            edit_grid(35);
            break;
        default:
            call("SOMA_DIV", {rt::Value(1)});
            call("MRODAPER", {rt::Value(6)});
            edit_grid(36);
            break;
    }
}

}  // namespace qv::declaration
