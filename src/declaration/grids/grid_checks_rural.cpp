// Checks and totals of the rural grids: the property's exploration code and
// condition, the participation, the result of a property abroad, the asset
// situation and the months whose expenses passed the receipts.
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_check_support.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr int kPropertiesArea = 36;
constexpr const char* kTotalPicture = "@Ez 999,999,999.99";

rt::table::Table* properties_row() {
    rt::table::Table* t = tables::ws().table(kPropertiesArea);
    return t && !t->eof() ? t : nullptr;
}

// An option bar of numbered lines in a framed box; answers the digit typed.
int choose_digit(const std::vector<std::string>& items, const char* keys, int row, int col) {
    return static_cast<int>(rt::VAL(common::choose_from_lines(items, keys, row, Value(col))));
}

int condition_code(int value) {
    const int row = editing_row();
    while (value == 0 || value > 6) {
        value = choose_digit({"1 - P.Único/Posseiro"_cp, "2 - Condomino", "3 - Parceiro", "4 - Arrendatário"_cp,
                              "5 - Prop.Comum Casal", "6 - Outros", "DIGITE UM DOS NROS."},
                             "123456", row > 18 ? row - 6 : row + 1, 20);
    }
    return value;
}

bool valid_exploration(int code) { return (code >= 10 && code <= 17) || code == 19; }

int exploration_code(int value) {
    while (!valid_exploration(value)) {
        value = 10 + choose_digit({"0 - Agricultura - Cultivo do solo", "1 - Pecuária    - Criação/Engorda animais"_cp,
                                   "2 - Ext./exploração vegetal e animal"_cp,
                                   "3 - Exploração (api,avi,cuni,pisci)cultura"_cp, "4 - Cultura de pequenos animais",
                                   "5 - Captura e venda in natura do pescado",
                                   "6 - Transformação de prod. agricula/pecuar"_cp, "7 - Cultivo de Florestas",
                                   "9 - Outras", "DIGITE UM DOS NUMEROS ACIMA"},
                                  "012345679", 10, 12);
    }
    return value;
}

const char* situation_name(int s) {
    static const char* const kNames[] = {"Alienação a vista", "Aquisição a vista", "Alienação a prazo",
                                         "Aquisição a prazo"};
    return kNames[s - 1];
}

// The rural cash book of the row's month, as receipts or expenses, and the
// rural assets grid put back afterwards.
void cash_book_for(int situation) {
    const common::Global opc{"OPC"}, ponteiro{"PONTEIRO"};
    const Value opc_before = opc.value(), ponteiro_before = ponteiro.value();
    common::Global{"TIPOCR"}.set(Value(situation == 1 || situation == 3 ? "C" : "D"));
    EDITA(38, 1);
    common::FECHAJAN(4);
    opc.set(opc_before);
    ponteiro.set(ponteiro_before);
    call_if_present("MASCBENS");
}

std::string mark_of(const Value& v) {
    if (v.is_logical()) return v.as_bool() ? "*" : " ";
    if (v.is_string()) return rt::LEFT(v.as_string(), 1);
    return " ";
}

}  // namespace

int VAL_COD(int value, int column) {
    rt::table::Table* row = properties_row();
    if (column == 3) {
        value = condition_code(value);
        if (row) put_row(*row, {{"I2R_05", Value(value)}});
    } else if (column == 1) {
        value = exploration_code(value);
        if (row) put_row(*row, {{"I2R_07", Value(value)}});
    }
    return value;
}

bool VAL_PART(double participation) {
    if (participation <= 100) return true;
    notice({"Confira a participação digitada. Essa não pode!"_cp});
    return false;
}

double CALUCRO(double value, int column) {
    static const char* const kTyped[] = {"RECEXT", "DESEXT", "VALUSE"};
    rt::table::Table* row = properties_row();
    if (!row || column < 8 || column > 10) return value;
    put_row(*row, {{kTyped[column - 8], Value(value)}});
    const double receipts = field_number(*row, "RECEXT");
    const double expenses = field_number(*row, "DESEXT");
    const double dollar = field_number(*row, "VALUSE");
    const double result = divide(receipts - expenses, dollar);
    const double option = divide(receipts, dollar) * 0.2;
    put_row(*row, {{"RESUS", Value(result)},
                   {"OPC20US", Value(option)},
                   {"OPC20RS", Value(option * common::Global{"NVALDOLAR"}.number())}});
    SOMAREC(1);
    return value;
}

void SOMAREC(int mode) {
    double result = 0, option_us = 0, option_rs = 0;
    for_each_row(kPropertiesArea, [&](rt::table::Table& t) {
        result += field_number(t, "RESUS");
        option_us += field_number(t, "OPC20US");
        option_rs += field_number(t, "OPC20RS");
    });
    // The activity's result abroad and its 20 % option, as the result page
    // takes them.
    set_amount("NTOTUS", result);
    set_amount("NTOT20RS", option_rs);
    if (mode != 1) return;
    // Lines 18 and 19 of the page's window, below the list.
    constexpr int kRuralPage = 12;
    const int top = page_row(kRuralPage), left = page_col(kRuralPage);
    rt::at_say(top + 18, left + 23, rt::TRANSFORM(Value(result), kTotalPicture));
    rt::at_say(top + 18, left + 63, rt::TRANSFORM(Value(option_us), kTotalPicture));
    rt::at_say(top + 19, left + 63, rt::TRANSFORM(Value(option_rs), kTotalPicture));
}

int TES_SIT(int situation, int /*grid*/) {
    if (situation > 4) {
        notice({" Informe os Codigos  ", "0 - Bem inalterado   ", "1 - Alienação a vista"_cp,
                "2 - Aquisição a vista"_cp, "3 - Alienação a prazo"_cp, "4 - Aquisição a prazo"_cp});
        return 0;
    }
    const Value fed_by_totals = common::Global{"SO_TOTAL"}.value();
    const bool from_cash_book = fed_by_totals.is_logical() && !fed_by_totals.as_bool();
    if (from_cash_book && situation >= 1) {
        const std::string question = "Lança essa "_cp + rt::utf8_to_cp850(situation_name(situation)) + " no livro caixa?";
        if (common::asks_yes_default_no(question)) cash_book_for(situation);
    }
    return situation;
}

void MARCA_NEG() {
    call_if_present("VE_DESPESAS");
    const Value marks = common::Global{"MES_NEG"}.value();
    if (!marks.is_array()) return;
    bool any = false;
    for (std::size_t m = 1; m <= marks.len(); ++m) any = any || mark_of(marks.at(m)) == "*";
    if (any) common::ESCRLCOL(3, 22, 2, "* indica despesa maior que receita");
    // One mark per month beside its row, December included.
    for (std::size_t m = 1; m <= 12 && m <= marks.len(); ++m)
        common::ESCRLCOL(3, static_cast<int>(m) + 4, 10, mark_of(marks.at(m)));
}

}  // namespace qv::declaration::grids
