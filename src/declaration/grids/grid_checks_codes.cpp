// Code look-ups of the grid cells: a known code shows its description under
// the cell, an unknown one opens the code table's pick list.
#include <optional>
#include <string>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/grids/grid_check_support.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "tables/opening.hpp"
#include "tables/pick_lists.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

// Where a grid's codes are looked up: the code table, its key field, the
// help topic of its pick list and the description field.
struct CodeTable {
    int table;
    const char* key;
    const char* help;
    const char* description;
};

std::optional<CodeTable> code_table(int grid) {
    switch (grid) {
        case 3: return CodeTable{47, "CODDEP", "CODIDEPEN", "DESCRICAO"};
        case 4: return CodeTable{49, "CODDES", "I6_3", "DESCDOA"};
        case 21:
        case 30: return CodeTable{49, "CODDES", "CODIGO", "DESCDOA"};
        case 5:
        case 8:
        case 22: return CodeTable{46, "CODBEM", "I7_5", "DESCBENS"};
        case 40: return CodeTable{46, "CODBEM", "nDesIni", "DESCBENS"};
        case 41: return CodeTable{46, "CODBEM", "nDesFim", "DESCBENS"};
        case 6:
        case 9:
        case 23: return CodeTable{48, "CODDIV", "I8_5", "DESCDIV"};
        case 35: return CodeTable{69, "CODBEM", "CODIGOA", "DESCBENS"};
        default: return std::nullopt;
    }
}

// The pick list over the open code table; the key of the row chosen with
// Enter, nothing when the list was left with Esc.
std::optional<Value> pick(rt::table::Table& t, const char* help, const char* key) {
    common::Global{"QUALHLP"}.set(Value(help));
    tables::GERAL2();
    if (rt::LASTKEY() != rt::key::ENTER || t.eof()) return std::nullopt;
    return t.get(key);
}

// Seeks the value in the code table opened in its own area: found, its
// description is shown and the value kept; else the pick list's choice.
// Nothing when the list is left unchosen.
std::optional<Value> look_up(const CodeTable& c, const Value& value) {
    const KeepArea keep;
    if (!tables::ABERTURA(c.table)) return value;
    rt::table::Table& t = tables::ws().current();
    // A code list shipped empty (the rural assets') has nothing to check
    // against nor to choose from: the code typed stands.
    t.go_top();
    if (t.eof()) {
        tables::ws().close(c.table);
        return value;
    }
    const bool text_key = t.get(c.key).is_string();
    const std::string typed = trimmed(value);
    const bool found = text_key ? !typed.empty() && t.seek(Value(typed)) && trimmed(t.get(c.key)) == typed
                                : t.seek(value) && t.get(c.key).as_number() == value.as_number();
    if (found) {
        const std::string description = trimmed(t.get(c.description));
        tables::ws().close(c.table);
        show_below_cell(description);
        return value;
    }
    // A code table without a pick list cannot offer a choice: the code stays.
    const std::optional<Value> chosen = tables::has_pick_list(c.help) ? pick(t, c.help, c.key) : value;
    tables::ws().close(c.table);
    return chosen;
}

double number(const Value& v) { return common::number_of(v); }

}  // namespace

Value TES_COD(const Value& code, int grid) {
    const bool print_selection = grid == 40 || grid == 41;
    if (grid == 3 && vars::OPCIR_1.integer() == 42) {
        if (number(code) > 97) return code;
        notice({"Informe com 99 se alimentando no Brasil ", "ou com 98 se alimentando  no Exterior"});
        return Value(99);
    }
    if (grid == 4) {
        const double n = number(code);
        if (n >= 30 && n <= 34 && common::Global{"DESPALIM"}.integer() == 0) {
            notice({"Para lançar a pensão precisa antes cadastrar o alimentando"_cp});
            return Value(0);
        }
        vars::JA_CALC.set(Value(false));
    }
    const std::optional<CodeTable> c = code_table(grid);
    if (!c) return code;
    const std::optional<Value> result = look_up(*c, code.is_number() ? code : Value(number(code)));
    if (print_selection) return Value(true);
    // A list left without a choice keeps the entry open for another code.
    return result ? *result : Value(false);
}

Value TES_PAIS(const Value& value, int mode) {
    if (mode == 1) {
        const std::string mark = rt::UPPER(trimmed(value));
        if (mark.empty()) return value;
        if (mark == "S") {
            notice({"Informe no Campo ao lado o Código do País"_cp});
            return Value("S");
        }
        notice({"Marque com a letra S(sim) se o bem está no exterior"_cp, "ou deixe em branco se está no Brasil.             "_cp});
        return Value(" ");
    }
    static const char* const kHelp[] = {"I7_8", "CODPAIS", "I8R_3"};
    if (mode < 2 || mode > 4) return value;
    const CodeTable countries{60, "CODPAIS", kHelp[mode - 2], "NOMPAIS"};
    const std::optional<Value> result = look_up(countries, value);
    return result ? *result : Value(false);
}

}  // namespace qv::declaration::grids
