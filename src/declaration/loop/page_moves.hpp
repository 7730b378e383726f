#pragma once
// Where the screen loop goes after a page: the page numbers and the menu id
// (page x 10 + sub-page) it leaves behind, decided from the key that ended
// the page. Kept apart from the loop so that the rules can be followed
// without a screen.
namespace qv::declaration {

struct PageState {
    int tela = 1;          // TELA: the page shown
    int telant = 0;        // TELANT: the page before (10 is never recorded)
    int opcir = 11;        // OPCIR_1: page x 10 + sub-page
    bool pvez = false;     // PVEZ: a new taxpayer still on its first page
    bool rural = false;    // TEMRURAL is "S"
    bool rural_abroad = false;  // ATV_BRASIL is "N": page 13 is skipped
    int telamax() const { return rural ? 17 : 11; }
};

// A page number above the highest ordinary page: the zoom pages stay, 18
// becomes the first rural page, anything else the page shown before.
int clamp_page(const PageState& s);

// Applies the key that ended the page (ULTTECLA); `changed` is TECLAMUDA (a
// key handler already chose the page). False for Esc: the loop ends.
bool move_by_key(PageState& s, int key, bool changed);

}  // namespace qv::declaration
