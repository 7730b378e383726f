#pragma once
// The 25 x 80 text screen: cells of one CP850 byte and one colour attribute,
// drawn through a backend (the terminal for people, headless for tests).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qv::rt {

constexpr int SCREEN_ROWS = 25;
constexpr int SCREEN_COLS = 80;

// Attribute byte: foreground in the low nibble (8 = bright), background in
// the high nibble (8 = bright background, as "W+/B*" would be).
using Attr = std::uint8_t;

struct Cell {
    unsigned char ch = ' ';
    Attr attr = 0x07;
    bool operator==(const Cell&) const = default;
};

// "W+/B" -> attribute; letters N B G BG R RB GR W in any order and case (or
// numbers 0-15), "+" brightens its side ("N/W+" is a bright background), "*"
// bright background, "U" underline shows as blue, "I" inverse is N/W, "X"
// blank paints the foreground in the background colour. Spaces and double
// quotes are ignored; of a list only the first slot is read. A malformed
// colour gives 0x07.
Attr parse_colour(std::string_view spec);
std::string colour_name(Attr a);   // the inverse: 0x1F -> "W+/B"

// SETCOLOR(): the current colour string of up to 8 comma-separated slots
// (standard, enhanced, border, background, unselected ...). Returns the old
// string, spelt as colour_name() spells it ("W/N,N/W,N/N,N/N,N/W" at start);
// an empty argument leaves it as it is, and slots left empty or not named
// keep their colour.
std::string SETCOLOR(std::string_view spec = {});
Attr colour_slot(int slot);   // 0 = standard, 1 = enhanced, ... of the current string

// Output at the current colour (standard slot) unless an attribute is given.
void DEVPOS(int row, int col);
void DEVOUT(std::string_view text);
void DEVOUT(std::string_view text, Attr attr);
void at_say(int row, int col, std::string_view text);              // @ row,col SAY text
void at_say(int row, int col, std::string_view text, Attr attr);
void DISPBOX(int top, int left, int bottom, int right, std::string_view frame, Attr attr);
void DISPBOX(int top, int left, int bottom, int right, std::string_view frame);
void SCROLL(int top, int left, int bottom, int right, int rows = 0);  // rows 0: clear
// rows > 0 moves the contents up, cols > 0 moves them left; both 0 clears.
void SCROLL(int top, int left, int bottom, int right, int rows, int cols);
void CLS();
std::string SAVESCREEN(int top = 0, int left = 0, int bottom = SCREEN_ROWS - 1, int right = SCREEN_COLS - 1);
void RESTSCREEN(int top, int left, int bottom, int right, std::string_view saved);
void RESTSCREEN(std::string_view saved);   // the whole screen
// Changes the attribute of a region, keeping the characters (shadows).
void set_region_attr(int top, int left, int bottom, int right, Attr attr);

// DISPBOX frames in CP850: top-left, top, top-right, right, bottom-right,
// bottom, bottom-left, left; a 9th character fills the inside.
inline constexpr std::string_view B_SINGLE = "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3";
inline constexpr std::string_view B_DOUBLE = "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA";

int MAXROW();   // 24
int MAXCOL();   // 79

void SETPOS(int row, int col);
int ROW();
int COL();
// 0 none, 1 normal, 2 insert (half block), 3 full, 4 upper half. Returns old.
int SETCURSOR(int shape = -1);

Cell cell_at(int row, int col);
std::string row_text(int row);      // the CP850 characters of a row
void DISPBEGIN();                   // group output: the backend is not
void DISPEND();                     // refreshed until the matching DISPEND
void refresh_screen();              // push pending changes to the backend

}  // namespace qv::rt
