#include "declaration/calc/rural_page.hpp"

#include <algorithm>
#include <mutex>
#include <span>
#include <string>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/rural_results.hpp"
#include "declaration/entry/form_runner.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr const char* kAmount = "@Ez 999,999,999.99";
// The herd form's rows are the species (the fields' letter codes), its
// columns the stock and the movements (the digit): initial stock,
// purchases, births, consumption and losses, sales.
constexpr const char* kSpecies[] = {"B", "S", "C", "A", "V1"};

bool abroad() { return is("ATV_BRASIL", 'N'); }

void show(int page, int row, const char* var, const char* picture = kAmount, int col = 63) {
    const PageField f{row, col, var, picture};
    show_fields(page, std::span<const PageField>(&f, 1));
}

double rural_column(std::size_t column) {
    double sum = 0;
    const rt::Value m = common::Global{"REND_RURAL"}.value();
    if (!m.is_array()) return 0;
    for (const rt::Value& row : *m.as_array()) {
        if (!row.is_array() || column >= row.as_array()->size()) continue;
        const rt::Value& cell = (*row.as_array())[column];
        sum += cell.is_number() ? cell.as_number() : cell.is_string() ? common::CAR_TO_VAL(rt::ALLTRIM(cell.as_string())) : 0;
    }
    return sum;
}

std::string herd_field(int column, const char* species) { return "I7_" + std::to_string(column) + species; }

double final_stock(const char* species) {
    return amount(herd_field(1, species)) + amount(herd_field(2, species)) + amount(herd_field(3, species)) -
           amount(herd_field(4, species)) - amount(herd_field(5, species));
}

void month_totals(int mode) {
    if (mode <= 2) {
        set_amount("I4R_01", rural_column(0));
        set_amount("I4R_02", rural_column(1));
    }
    if (mode == 0 || mode == 3) {
        // Under the two columns of the month grid.
        rt::at_say(19, 32, rt::TRANSFORM(rt::Value(amount("I4R_01")), kAmount));
        rt::at_say(19, 47, rt::TRANSFORM(rt::Value(amount("I4R_02")), kAmount));
    }
}

void result_page(int mode) {
    const bool shown = mode != 3;
    if (abroad()) {
        // The properties' totals as the list now holds them, also when its
        // grid was not opened since the declaration was loaded.
        call_if_present("SOMAREC", {rt::Value(0)});
        set_amount("I4R_03", amount("NTOTUS") * amount("NVALDOLAR"));
        set_amount("I4R_01", amount("NTOTUS"));
    } else {
        set_amount("I4R_03", amount("I4R_01") - amount("I4R_02"));
    }
    if (shown)
        for (const auto& [row, var] : {std::pair{1, "I4R_01"}, {2, "I4R_02"}, {3, "I4R_03"}}) show(14, row, var);
    FI4R_04(2);
    FI4R_05();
    FI4R_06(2);
    FI4R_07();
    FI5_08();
    if (shown)
        for (const auto& [row, var] : {std::pair{5, "I4R_05"}, {7, "I4R_07"}, {8, "I5_08"}}) show(14, row, var);
    FI6_10(shown ? 2 : 3);
    set_value("JA_CALC", rt::Value(true));
}

// The herd's final stocks, each at the end of its species' row; false when
// the field just left (a consumption or a sale) made its species' negative.
constexpr int kHerdFirstRow = 5, kFinalStockCol = 71;

bool herd(int mode) {
    std::string left = rt::READVAR();
    if (left.starts_with("M->")) left = left.substr(3);
    // Heads of cattle are counted, never below zero.
    if (left.starts_with("I7_") && amount(left) < 0) {
        common::AVISOSN("Não é permitido valor negativo nesse campo."_cp, 0);
        return false;
    }
    bool refused = false;
    for (int k = 0; k < 5; ++k) {
        const char* species = kSpecies[k];
        const double stock = final_stock(species);
        const std::string total = "I7_T" + std::to_string(k + 1);
        set_amount(total, stock);
        if (mode != 3) show(15, kHerdFirstRow + 2 * k, total.c_str(), "@Ez 999,999", kFinalStockCol);
        const bool moved_out = left == herd_field(4, species) || left == herd_field(5, species);
        if (stock < 0 && moved_out) refused = true;
    }
    return refused ? ERRO() : true;
}

}  // namespace

bool CALCRUR(int page, int mode) {
    const int cursor = rt::SETCURSOR(0);
    bool ok = true;
    if (page == 13) month_totals(mode);
    else if (page == 14) result_page(mode);
    else if (page == 15) ok = herd(mode);
    rt::SETCURSOR(cursor);
    return ok;
}

bool FI4R_04(int mode) {
    if (mode == 1) CALCRUR(14, 0);
    return true;
}

void FI4R_05() { set_amount("I4R_05", amount("I4R_03") - amount("I4R_04")); }

void FI4R_06(int mode) {
    set_amount("I4R_06", abroad() ? amount("NTOT20RS") : common::DESPREZA(amount("I4R_01") * 0.20, 20));
    if (mode == 1) show(14, 6, "I4R_06");
}

void FI4R_07() { set_amount("I4R_07", std::min(amount("I4R_05"), amount("I4R_06"))); }

void FI5_08() { set_amount("I5_08", amount("I4R_07") < 0 ? -amount("I4R_07") : 0); }

void FI6_10(int mode) {
    const double exempt = amount("I4R_03") + amount("I5_09") - (amount("I5_10") + amount("I4R_07") + amount("I5_08"));
    set_amount("I6_10", std::max(0.0, exempt));
    if (mode != 3) show(14, 13, "I6_10");
    if (mode != 2 && mode != 3) CALCRUR(14, 0);
    CALC_PREJU();
}

bool ERRO(bool assumed_zero) {
    common::AVISOSN(assumed_zero ? "Assumindo ZERO em virtude do VALOR NEGATIVO"_cp : "Atenção !!! Estoque Final negativo"_cp, 0);
    return false;
}

void register_rural_page_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto num = [](Args a, std::size_t i) {
            return i < a.size() ? static_cast<int>(common::number_of(a[i])) : 0;
        };
        rt::register_function("CALCRUR", [num](Args a) { return rt::Value(CALCRUR(num(a, 0), num(a, 1))); });
        rt::register_function("FI4R_04", [num](Args a) { return rt::Value(FI4R_04(num(a, 0))); });
        rt::register_function("FI4R_05", [](Args) { FI4R_05(); return rt::Value(true); });
        rt::register_function("FI4R_06", [num](Args a) { FI4R_06(num(a, 0)); return rt::Value(true); });
        rt::register_function("FI4R_07", [](Args) { FI4R_07(); return rt::Value(true); });
        rt::register_function("FI5_08", [](Args) { FI5_08(); return rt::Value(true); });
        rt::register_function("FI6_10", [num](Args a) { FI6_10(num(a, 0)); return rt::Value(true); });
        rt::register_function("ERRO", [](Args a) { return rt::Value(ERRO(a.size() > 1)); });
    });
}

}  // namespace qv::declaration
