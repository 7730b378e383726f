#pragma once
// What the catalogue's grid descriptions share: the common pictures, the
// amount column, the headings that follow the kind of declaration, and the
// grids of each family.
#include <optional>
#include <string>

#include "declaration/grids/grid_description.hpp"

namespace qv::declaration::grids {

inline constexpr const char* kAmount = "@Ez 99,999,999.99";
inline constexpr const char* kBigAmount = "@Ez 999,999,999.99";
inline constexpr const char* kCpfPicture = "@R 999.999.999-99";

struct YearHeadings {
    std::string start, assets_end, debts_end;
};

// The value columns are headed by the dates that the kind of declaration
// values them at.
YearHeadings year_headings();

GridColumn amount(std::string heading, std::string field, int totals = 0, std::string picture = kAmount);
// A column shown but never edited.
GridColumn shown_only(std::string heading, std::string field, std::string picture, std::string shown = {});
// A cell that refuses every edit with `message`.
GridColumn refusing(GridColumn c, std::string message);

// The families of grids; nothing for a code outside the family.
std::optional<GridDescription> office_grid(int code, int mode);
std::optional<GridDescription> rural_grid(int code, int mode);
std::optional<GridDescription> monthly_income_grid(int code, int mode);
std::optional<GridDescription> list_grid(int code, int mode);

}  // namespace qv::declaration::grids
