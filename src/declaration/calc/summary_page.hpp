#pragma once
// What the recalculation writes on the summary pages: the lines, the
// quotas, and the advice on the model and on the cash balance.
namespace qv::declaration {

// The complete summary page: lines 01-19 on the left, 20-30, 34, 35 on the
// right (line 03 and 04 with the foreign income).
void show_complete_summary();
// The simplified page's 22 lines.
void MOSTRA_SIMPLES();
void show_quotas(bool simplified_page);
void show_exempt_totals();
// "ATENÇÃO! É mais vantajoso usar o formulário simples".
void advise_simplified_model();
// "Melhor opção: Formulario Completo" in the simplified page's column.
void advise_complete_model();
// The cash-balance warning of either page, or its place blanked.
void show_cash_warning(bool simplified_page, bool warn);

}  // namespace qv::declaration
