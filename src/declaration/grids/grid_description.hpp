#pragma once
// A grid of the declaration's lists as data: which work area it shows, which
// rows, which columns (shown expression, edited field, picture, heading),
// how its cells are checked, and what runs before and after it. The grid
// engine (grid_engine.hpp) runs any of them.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/value.hpp"

namespace qv::rt::table {
class Table;
}

namespace qv::declaration::grids {

// How the value typed into a cell is checked before it is written.
enum class CellCheck {
    None,
    Document,       // CPF or CNPJ, punctuation added
    PayeeDocument,  // by the row's payment code: a domestic employee's NIT, else CPF or CNPJ
    Cpf,            // a CPF
    Code,           // TES_COD(value, grid)
    Country1,       // TES_PAIS(value, 1)
    Country2,       // TES_PAIS(value, 2)
    PaymentCode,    // alimony codes need a registered recipient; then TES_COD
    PaymentAmount,  // value := FDOAPAG(value)
    NotDeductible,  // value := FCONFNDEDU(value)
};

// A check of one grid's column beyond the common ones: false keeps the entry
// open; it may replace the typed value.
using CellHook = std::function<bool(rt::Value&)>;

struct GridColumn {
    std::string heading{};
    std::string field{};      // the field the cell edits
    std::string picture{};
    std::string shown{};      // display expression; empty: the field itself
    CellCheck check = CellCheck::None;
    int totals = 0;           // after a write: the grid's totals routine with this argument
    bool description = false; // a long description: shown in a box when Enter starts the edit
    CellHook hook{};          // the grid's own check, after `check`
    std::string refusal{};    // not empty: the cell is never edited, this is shown instead
    bool read_only = false;   // shown, never edited (a computed or key column)
    std::function<void()> after_write{};   // after a write, beside the totals
    // > 0: the entry takes this many characters, more than the field keeps,
    // so that the hook sees a value too long whole and refuses it
    int entry_width = 0;
    std::function<bool()> when{};          // false: the cell is not edited (nothing shown)
    bool negative = false;                 // a number column that takes values below zero
    std::function<bool()> skips_next{};    // true after an edit: Enter also passes the next column
};

struct GridDescription {
    int code = 0;
    int area = 0;
    std::string filter;                 // condition on the rows shown; empty: all
    std::vector<std::pair<std::string, std::string>> filter_vars;   // M-> variables the filter reads
    std::vector<GridColumn> columns;
    int ult_pos = 1;                    // Enter wraps to the next row after this column
    int top = 0, left = 0, bottom = 0, right = 0;
    int window = 0;                     // MOSTRA's window mode
    int footer = 0;                     // footer line of the screen painter (0: none)
    int freeze = 0;
    int start_col = 1;
    bool footing_sep = false;
    std::string item_field;             // renumbered by Alt+R
    std::string order_field;            // order kept by Ins and by new rows
    std::string totals_routine;         // "FI7_T", "FI8_T", "FI1_T"; run before the grid
    int totals_before = 0;              // its argument before the grid (0: not run)
    int totals_after = 0;               // and after it
    std::vector<std::pair<std::string, std::string>> stamps;   // field := text of a new row
    bool stamp_cpf = false;             // new rows carry the taxpayer's CPF
    bool stamp_rural = false;           // new rows carry ATV_BRASIL
    bool caller_area = false;           // the area selected when the grid is asked for
    bool natural_order = false;         // the area's orders are cleared first
    bool keep_filter = false;           // the filter stays for the caller
    int rural_footer = 0;               // footer of the rural screens (MRODAPER)
    std::string status;                 // a status line of its own
    std::function<void(rt::table::Table&)> stamp{};   // the grid's own marks on a new row
    std::function<bool()> before{};     // false: no grid
    std::function<void()> after{};      // once the grid is left
    // Footings under the columns, in column order; worked out again after
    // each change of a row.
    std::function<std::vector<std::string>()> footings{};
    // What the page shows of the rows outside the grid, painted again after
    // each change of a row (a write or a deletion) and when the grid opens.
    std::function<void()> rows_changed{};
};

}  // namespace qv::declaration::grids
