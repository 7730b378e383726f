#include "declaration/entry/gtela.hpp"

#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/page_support.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration {

namespace key = rt::key;

rt::Value call(std::string_view name, std::initializer_list<rt::Value> args) { return rt::call_routine(name, args); }

void edit_grid(int code) {
    call("EDITA", {rt::Value(code)});
    record_last_key();
}

bool page_changed() { return vars::flag(vars::TECLAMUDA); }
int last_key() { return rt::LASTKEY(); }

void record_last_key() {
    const int k = rt::LASTKEY();
    if (k == key::ESC) vars::ULTTECLA.set(rt::Value(27));
    else if (!page_changed() && (k == key::ENTER || k == key::PGDN || k == key::PGUP)) vars::ULTTECLA.set(rt::Value(k));
}

namespace {

// Pages 1 and 2: the income-source lists, then the totals and the tax.
void page_income(const char* list) {
    call(list);
    record_last_key();
    call("FI1_T", {rt::Value(6)});
    call("CALC", {rt::Value(7), rt::Value(0)});
}

void page_gains() {
    common::Global{"TIPO_BEM"}.set(rt::Value(vars::OPCIR_1.integer(81) - 80));
    call("GANHO3");
    record_last_key();
    common::FECHAJAN(3);
}

void page_variable_income() {
    common::Global{"QUAL_MES"}.set(rt::Value(1));
    const common::Global day_trade{"DAY_TRADE"};
    if (day_trade.text("1") > "3") day_trade.set(rt::Value("1"));
    common::Global{"TIPO_BEM"}.set(rt::Value(4));
    do {
        MRODAPE(16);
        if (last_key() == key::ESC) break;
        call("PRENCHE_MAT", {day_trade.value()});
        edit_grid(14);
        common::MENS(0, "Gravando..");
        call("GRAVA_RV");
        common::FECHAJAN(10);
        common::Global{"TAM_OLD"}.set(rt::Value(0));
    } while (!page_changed());
    call("CALC_GRV");
}

}  // namespace

void page_zoom(int page) {
    int grid = 0;
    if (page == 22) grid = vars::flag(common::Global{"ZOOM_BEM"}) ? 8 : vars::flag(common::Global{"ZOOM_DIV"}) ? 9 : 0;
    else grid = vars::flag(common::Global{"ZOOM_BEM2"}) ? 22 : vars::flag(common::Global{"ZOOM_DIV2"}) ? 23 : 0;
    if (grid != 0) edit_grid(grid);
}

void GTELA(int page) {
    vars::ULTTECLA.set(rt::Value(0));
    vars::SO_MOS.set(rt::Value(1));
    switch (page) {
        case 1: page_income("RENDPJ"); break;
        case 2: page_income("RENDPF"); break;
        case 3: page_exempt(); break;
        case 4: page_lists(); break;
        case 5: page_assets(); break;
        case 6: page_identification(); break;
        case 7: page_tax(); break;
        case 8: page_gains(); break;
        case 9: page_variable_income(); break;
        case 10: page_balance(); break;
        case 11: page_notes(); break;
        case 22: case 23: page_zoom(page); break;
        default:
            if (page >= 12 && page <= 17) page_rural(page);
            break;
    }
}

}  // namespace qv::declaration
