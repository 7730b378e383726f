#pragma once
// GIRO, the declaration's screen loop, and the key handlers that move it:
// a page is painted, its entry form run, and the key that ended it chooses
// the next page (page_moves.hpp), until the user leaves a page with Esc.
#include <string_view>

namespace qv::declaration {

void GIRO();
// Goes to page n: ends the entry form and marks the page change. With
// `show` the loop shows page n again as on PgDn.
void QUETEL(int n, bool show = false);
// F2..F10, F11 / Alt+F1, F12 / Alt+F2: the page of the key.
void MUDATEL();
// F1: page 1, income from legal persons.
void MUDATEL1();
// Tab, Shift+Tab: end the entry form and let the loop move on or back.
void MUDATAB();
// The screen index (row 0 lets the user choose; 13 ends the declaration).
void MOSTRA_INDICE(int n);
// Alt+I (index) and Alt+H (help).
void ESC_HORIZ(int item);
// The three-way question that ends the declaration, into INI.
void SAIR();
// The answer "S", "N" or "I" to the end-of-declaration question.
std::string end_question(bool index_wording);
// The page index line on row 0.
void MOS_IND();
// The editing background.
void paint_background();
// True while GIRO runs (key handlers act on the page, not on the menu).
bool in_screen_loop();

}  // namespace qv::declaration
