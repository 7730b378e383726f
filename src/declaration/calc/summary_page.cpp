#include "declaration/calc/summary_page.hpp"

#include <string>

#include "common/messages.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr const char* kAmountPicture = "@Ez 999,999,999.99";
constexpr int kTaxPage = 7;
// Places on page 7, as offsets from its origin (the entry fields of the
// page stand at the same ones): the complete model's left column holds
// lines 01-19 at their own rows, the right one lines 20-38 at row n - 18;
// the simplified model lists lines 01-22 at their own rows.
constexpr int kLeftColumn = 22;
constexpr int kRightColumn = 65;
constexpr int kRightShift = 18;
constexpr int kSimpleColumn = 49;
constexpr int kCompleteQuotaCount = 44, kSimpleQuotaCount = 24;
constexpr int kAdviceColumn = 64;

void show_amount(int row, int col, double v) { rt::at_say(row, col, rt::TRANSFORM(rt::Value(v), kAmountPicture)); }
void show_on_page(int row, int col, double v) { show_amount(page_row(kTaxPage) + row, page_col(kTaxPage) + col, v); }

std::string two_digits(int n) { return rt::STRZERO(n, 2); }

}  // namespace

void show_complete_summary() {
    for (int line = 1; line <= 19; ++line) {
        double v = amount("I13_" + two_digits(line));
        if (line == 3) v += amount("I13_49");
        if (line == 4) v += amount("I13_50");
        show_on_page(line, kLeftColumn, v);
    }
    for (const int line : {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 34, 35, 36, 38})
        show_on_page(line - kRightShift, kRightColumn, amount("I13_" + two_digits(line)));
}

void MOSTRA_SIMPLES() {
    const double lines[] = {amount("I13_01"), amount("I13_02"), amount("I13_03") + amount("I13_49"),
                            amount("I13_04") + amount("I13_50"), amount("I13_05"), amount("I13_06"),
                            amount("I13_07"), FI13_08(), amount("DESPADRAO"), amount("I13_20"),
                            amount("I13_25"), amount("I13_26"), amount("I13_27"), amount("I13_28"),
                            amount("I13_29") + amount("I13_30"), amount("I13_31"), amount("I13_33"),
                            amount("I13_34"), amount("I13_35"), amount("I13_36"), amount("I13_37"),
                            amount("I13_38")};
    for (int k = 0; k < 22; ++k) show_on_page(k + 1, kSimpleColumn, lines[k]);
}

void show_quotas(bool simplified_page) {
    const int row = page_row(kTaxPage) + (simplified_page ? 21 : 37 - kRightShift);
    const int col = page_col(kTaxPage);
    rt::at_say(row, col + (simplified_page ? kSimpleQuotaCount : kCompleteQuotaCount),
               rt::TRANSFORM(rt::Value(amount("QTD_QUOTA")), "@Z 9"));
    show_amount(row, col + (simplified_page ? kSimpleColumn : kRightColumn), amount("I13_37"));
}

void show_exempt_totals() {
    // Beside the frame's "Total..." line, in the column of the page's values.
    constexpr int kExemptTotalRow = 18, kExclusiveTotalRow = 12, kValueColumn = 65;
    const int sub_page = static_cast<int>(amount("OPCIR_1"));
    const int row = page_row(3), col = page_col(3) + kValueColumn;
    if (sub_page == 31) show_amount(row + kExemptTotalRow, col, amount("I13_44"));
    if (sub_page == 32) show_amount(row + kExclusiveTotalRow, col, amount("I13_45"));
}

void advise_simplified_model() { common::AVISO("ATENÇÃO! É mais vantajoso usar o formulário simples"_cp, 24, 28); }

void advise_complete_model() {
    const char* const lines[] = {"  ATENÇAO!!  ", " Melhor opção", "  Formulario ", "   Completo  "};
    for (int k = 0; k < 4; ++k) common::AVISO(rt::utf8_to_cp850(lines[k]), 12 + k, kAdviceColumn);
}

void show_cash_warning(bool simplified_page, bool warn) {
    if (!simplified_page) {
        // The complete page's last free line, under the deductions.
        const int row = page_row(kTaxPage) + 21, col = page_col(kTaxPage) + 2;
        if (warn) common::AVISO("ATENÇÃO!! PROBLEMA DE CAIXA"_cp, row, col);
        else rt::at_say(row, col, rt::SPACE(27));
        return;
    }
    const char* const lines[] = {"  ATENÇAO!!  ", " PROBLEMAS   ", "  NO CAIXA   "};
    for (int k = 0; k < 3; ++k) {
        if (warn) common::AVISO(rt::utf8_to_cp850(lines[k]), 17 + k, kAdviceColumn);
        else rt::at_say(17 + k, kAdviceColumn, rt::SPACE(13));
    }
}

}  // namespace qv::declaration
