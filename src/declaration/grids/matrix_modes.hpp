#pragma once
// The carnê-leão sheet's switches (how the sheet is filled and which value
// is carried to the tax) and the lists opened from a month's cell.
#include <string>
#include <vector>

namespace qv::declaration::grids {

// The title and explanation of fill mode n (1-4) of the carnê-leão sheet.
struct CarneLeaoMode {
    std::string title;
    std::vector<std::string> explanation;
};
const CarneLeaoMode& carne_leao_mode(int n);

// Alt+A on the carnê-leão page: the next fill mode, its title and its
// explanation; the inverse mode recomputes the declaration first.
void show_next_carne_leao_mode();
// Alt+N: the carnê-leão carried becomes the amounts paid only, or the
// larger of paid and due; the declaration is recomputed.
void flip_carne_leao_carried();

// Enter on a month of the carnê-leão sheet filled from lists: the list of
// payers, expenses or payments behind column `col`.
void open_month_rows(int col, int mode);
// Enter on a month of the rural sheet fed by the cash book: that month's
// entries.
void open_rural_cash_book(int row, int col);

}  // namespace qv::declaration::grids
