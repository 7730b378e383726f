#include "declaration/calc/declaration_helpers.hpp"

#include <mutex>
#include <span>
#include <string>

#include "common/calendar_names.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/monthly_sheet.hpp"
#include "declaration/entry/mtela1_frames.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/pick_lists.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr const char* kAmount = "@Ez 999,999,999.99";
constexpr int kIncomeSourcesArea = 22;
constexpr int kDependantsArea = 23;
// Where the converter form lies (its own box, over the field's page).
constexpr int kTop = 8, kLeft = 20;

bool g_converter_running = false;   // TONACAL: Alt+U is ignored meanwhile


std::string field_name() {
    std::string name = rt::READVAR();
    return name;
}

int month_of_sale() {
    const rt::Value d = common::Global{"DATA_ALI"}.value();
    return d.is_date() && !d.as_date().empty() ? d.as_date().month() : 1;
}

// The form converts the instalments and the carnê-leão sheet of the matrix
// grids and the two amounts dated by a month; any other amount is broken
// down month by month in grid 7.
bool converts_by_form() {
    const int grid = static_cast<int>(amount("OPC"));
    const std::string field = text("EDI_CAMPO");
    return grid == 12 || grid == 16 || field == "M->VAL_ALI" || field == "M->I13_4";
}

// Grid 7 over CALC_MENS from `start_row`; its total in reais is the answer.
double month_breakdown(int start_row) {
    call_if_present("EDITA", {rt::Value(7), rt::Value(start_row)});
    set_amount("QCR", MonthlySheet("CALC_MENS", 3).total(2));
    return amount("QCR");
}

bool zoom(int list_screen, int zoom_screen, const char* assets_flag, const char* debts_flag, bool wide_codes) {
    const int screen = static_cast<int>(amount("TELA"));
    const int opc = static_cast<int>(amount("OPC"));
    if (screen == zoom_screen) {
        set_value(assets_flag, rt::Value(!logical(debts_flag)));
        QUETEL(list_screen);
        return true;
    }
    if (screen != list_screen || opc == 0) return false;
    const bool assets = opc == 5 || (wide_codes && opc == 30);
    const bool debts = opc == 6 || (wide_codes && opc == 31);
    if (!assets && !debts) return false;
    set_value(assets_flag, rt::Value(assets));
    set_value(debts_flag, rt::Value(debts));
    QUETEL(zoom_screen);
    return true;
}

}  // namespace

bool ATUAVAL(int mode, double value, int month) {
    if (month < 1 || month > 12) return false;
    const double rate = element("TAB_DOLAR", month);
    rt::at_say(kTop + 3, kLeft + 16, rt::PADR(common::TRAZ_MES(month), 10));
    if (mode == 1) {
        set_amount("QUS", rate == 0 ? 0 : value / rate);
        rt::at_say(kTop + 2, kLeft + 11, rt::TRANSFORM(rt::Value(amount("QUS")), kAmount));
    } else if (mode == 2) {
        set_amount("QCR1", value * rate);
        rt::at_say(kTop + 1, kLeft + 11, rt::TRANSFORM(rt::Value(amount("QCR1")), kAmount));
    }
    return true;
}

double MUDATEL13(int month, double value) {
    if (month == 0) month = 1;
    if (month > 12) return value;
    if (!converts_by_form()) return month_breakdown(month);
    set_amount("QCR1", value);
    set_amount("QME", month);
    ATUAVAL(1, value, month);
    const rt::KeyHandler alt_u = rt::SETKEY(rt::key::alt_letter('U'), {});
    while (true) {
        MTELA1(dialog::kCurrency);
        ATUAVAL(1, amount("QCR1"), static_cast<int>(amount("QME")));
        rt::at_get(kTop + 1, kLeft + 11, "M->QCR1", kAmount)
            .valid([] { return ATUAVAL(1, amount("QCR1"), static_cast<int>(amount("QME"))); });
        rt::at_get(kTop + 2, kLeft + 11, "M->QUS", kAmount)
            .valid([] { return ATUAVAL(2, amount("QUS"), static_cast<int>(amount("QME"))); });
        rt::at_get(kTop + 3, kLeft + 11, "M->QME", "@ 99")
            .valid([] { return ATUAVAL(1, amount("QCR1"), static_cast<int>(amount("QME"))); });
        if (!rt::READ()) break;
    }
    set_amount("QCR", amount("QCR1"));
    common::FECHAJAN(mtela1_frame(dialog::kCurrency)->window);
    rt::SETKEY(rt::key::alt_letter('U'), alt_u);
    return amount("QCR");
}

void CALC_UFIR() {
    if (g_converter_running) return;
    g_converter_running = true;
    call_if_present("ZERADOR", {});
    const std::string field = field_name();
    set_value("QUALHLP", rt::Value(field));
    set_value("EDI_CAMPO", rt::Value(field));
    rt::Get* get = rt::current_get();
    const rt::Value current = get ? get->var_get() : rt::Value();
    const bool wide_number = current.is_number() && get && rt::TRANSFORM(current, get->picture()).size() >= 10;
    if (!get || field == "MGETVAR" || !wide_number) {
        g_converter_running = false;
        return;
    }
    if (amount("TELA") == 7 && field == "M->I13_31") {
        common::MENS(0, "Tecle antes CTRL ENTER para acionar o conversor mensal do DOLAR        ");
    } else if (field == "M->VAL_ALI" || field == "M->I13_4") {
        const double converted = MUDATEL13(month_of_sale(), current.as_number());
        if (converted > 0) {
            get->var_put(rt::Value(converted));
            get->update_buffer();
        }
    } else {
        set_amount("QCR", 0);
        call_if_present("EDITA", {rt::Value(7)});
        if (amount("QCR") > 0) {
            get->var_put(rt::Value(amount("QCR")));
            get->update_buffer();
        }
    }
    g_converter_running = false;
}

bool MUDATEL12() { return zoom(5, 22, "ZOOM_BEM", "ZOOM_DIV", true); }
bool MUDATEL14() { return zoom(5, 23, "ZOOM_BEM2", "ZOOM_DIV2", false); }

bool VE_RELDEP(std::string_view cpf, std::string_view help, int mode) {
    auto& ws = tables::ws();
    rt::table::Table* people = ws.table(kDependantsArea);
    bool found = false;
    if (people) {
        ws.select(kDependantsArea);
        people->set_filter(
            [people, mode] {
                const double code = field_number(*people, "CODIDEPEN");
                return mode == 2 ? code >= 98 && code <= 99 : code < 98;
            },
            mode == 2 ? "CODIDEPEN>=98" : "CODIDEPEN<98");
        people->go_top();
        set_value("QUALHLP", rt::Value(std::string(help)));
        const std::string wanted = rt::ALLTRIM(std::string(cpf));
        if (wanted.empty()) {
            tables::GERAL2();
        } else {
            for (people->go_top(); !people->eof(); people->skip())
                if (rt::ALLTRIM(people->get("CPFDEPEN").as_string()) == wanted) {
                    found = true;
                    break;
                }
            if (found) {
                set_value("M_CPFDEPEN", rt::Value(std::string(cpf)));
            } else {
                common::MENS(11, "CPF digitado não consta na relação dos "_cp +
                                     (mode == 2 ? "alimentandos" : "dependentes"));
                tables::GERAL2();
            }
        }
        people->clear_filter();
    }
    if (rt::table::Table* sources = ws.table(kIncomeSourcesArea)) {
        ws.select(kIncomeSourcesArea);
        const std::string kind = text("I1_1");
        sources->set_filter([sources, kind] { return rt::ALLTRIM(sources->get("I1_1").as_string()) == kind; },
                            "I1_1==M->I1_1");
    }
    return true;
}

bool VERCPFDEPE(std::string_view cpf) {
    if (!common::VAL_CPF(cpf)) return false;
    VE_RELDEP(cpf, "CPFDEPEN", 1);
    tables::ws().select(kIncomeSourcesArea);
    return true;
}

void register_declaration_helper_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto num = [](Args a, std::size_t i) { return i < a.size() ? common::number_of(a[i]) : 0.0; };
        const auto str = [](Args a, std::size_t i) {
            return i < a.size() && a[i].is_string() ? a[i].as_string() : std::string();
        };
        rt::register_function("ATUAVAL", [num](Args a) {
            return rt::Value(ATUAVAL(static_cast<int>(num(a, 0)), num(a, 1), static_cast<int>(num(a, 2))));
        });
        rt::register_function("MUDATEL13", [num](Args a) {
            return rt::Value(MUDATEL13(static_cast<int>(num(a, 0)), num(a, 1)));
        });
        rt::register_function("CALC_UFIR", [](Args) { CALC_UFIR(); return rt::Value(); });
        rt::register_function("MUDATEL12", [](Args) { return rt::Value(MUDATEL12()); });
        rt::register_function("MUDATEL14", [](Args) { return rt::Value(MUDATEL14()); });
        rt::register_function("VE_RELDEP", [num, str](Args a) {
            return rt::Value(VE_RELDEP(str(a, 0), str(a, 1), static_cast<int>(num(a, 2))));
        });
        rt::register_function("VERCPFDEPE", [str](Args a) { return rt::Value(VERCPFDEPE(str(a, 0))); });
    });
}

}  // namespace qv::declaration
