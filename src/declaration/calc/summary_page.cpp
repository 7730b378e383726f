#include "declaration/calc/summary_page.hpp"

#include <string>

#include "common/messages.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr const char* kAmountPicture = "@Ez 999,999,999.99";
// Columns of the values on the pages.
constexpr int kLeftColumn = 22;
constexpr int kRightColumn = 62;
constexpr int kSimpleColumn = 44;
constexpr int kFirstRow = 2;
constexpr int kAdviceColumn = 64;

void show_amount(int row, int col, double v) { rt::at_say(row, col, rt::TRANSFORM(rt::Value(v), kAmountPicture)); }

std::string two_digits(int n) { return rt::STRZERO(n, 2); }

void show_lines(int first_row, int col, const char* const* lines, int count) {
    for (int k = 0; k < count; ++k) show_amount(first_row + k, col, amount(lines[k]));
}

}  // namespace

void show_complete_summary() {
    for (int line = 1; line <= 19; ++line) {
        double v = amount("I13_" + two_digits(line));
        if (line == 3) v += amount("I13_49");
        if (line == 4) v += amount("I13_50");
        show_amount(kFirstRow + line - 1, kLeftColumn, v);
    }
    static const char* const right[] = {"I13_20", "I13_21", "I13_22", "I13_23", "I13_24", "I13_25", "I13_26",
                                        "I13_27", "I13_28", "I13_29", "I13_30", "I13_34", "I13_35"};
    show_lines(kFirstRow, kRightColumn, right, 13);
}

void MOSTRA_SIMPLES() {
    const double lines[] = {amount("I13_01"), amount("I13_02"), amount("I13_03") + amount("I13_49"),
                            amount("I13_04") + amount("I13_50"), amount("I13_05"), amount("I13_06"),
                            amount("I13_07"), FI13_08(), amount("DESPADRAO"), amount("I13_20"),
                            amount("I13_25"), amount("I13_26"), amount("I13_27"), amount("I13_28"),
                            amount("I13_29") + amount("I13_30"), amount("I13_31"), amount("I13_33"),
                            amount("I13_34"), amount("I13_35"), amount("I13_36"), amount("I13_37"),
                            amount("I13_38")};
    for (int k = 0; k < 22; ++k) show_amount(kFirstRow + k, kSimpleColumn, lines[k]);
}

void show_quotas(bool simplified_page) {
    const int row = simplified_page ? kFirstRow + 20 : kFirstRow + 15;
    const int col = simplified_page ? kSimpleColumn : kRightColumn;
    rt::at_say(row, col - 3, rt::TRANSFORM(rt::Value(amount("QTD_QUOTA")), "@Z 9"));
    show_amount(row, col, amount("I13_37"));
}

void show_exempt_totals() {
    const int page = static_cast<int>(amount("OPCIR_1"));
    if (page == 31) show_amount(kFirstRow + 17, kRightColumn, amount("I13_44"));
    if (page == 32) show_amount(kFirstRow + 10, kRightColumn, amount("I13_45"));
}

void advise_simplified_model() { common::AVISO("ATENÇÃO! É mais vantajoso usar o formulário simples"_cp, 24, 28); }

void advise_complete_model() {
    const char* const lines[] = {"  ATENÇAO!!  ", " Melhor opção", "  Formulario ", "   Completo  "};
    for (int k = 0; k < 4; ++k) common::AVISO(rt::utf8_to_cp850(lines[k]), 12 + k, kAdviceColumn);
}

void show_cash_warning(bool simplified_page, bool warn) {
    if (!simplified_page) {
        if (warn) common::AVISO("ATENÇÃO!! PROBLEMA DE CAIXA"_cp, 23, 2);
        else rt::at_say(23, 2, rt::SPACE(26));
        return;
    }
    const char* const lines[] = {"  ATENÇAO!!  ", " PROBLEMAS   ", "  NO CAIXA   "};
    for (int k = 0; k < 3; ++k) {
        if (warn) common::AVISO(rt::utf8_to_cp850(lines[k]), 17 + k, kAdviceColumn);
        else rt::at_say(17 + k, kAdviceColumn, rt::SPACE(13));
    }
}

}  // namespace qv::declaration
