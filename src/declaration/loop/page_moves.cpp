#include "declaration/loop/page_moves.hpp"

#include "runtime/screen/keys.hpp"

namespace qv::declaration {

namespace {

namespace key = rt::key;

bool zoom_page(int page) { return page == 22 || page == 23; }
bool gains_page(int page) { return page == 8 || page == 9; }

void move_back(PageState& s) {
    const int page = s.tela;
    if (zoom_page(page)) s.tela = 5;
    else if (page == 10 || gains_page(page)) s.tela = 7;
    else if (page == 11) s.tela = 10;
    else if (page > 1 && page < s.telamax()) {
        s.tela = page - 1;
        if (s.tela == 13 && s.rural_abroad) s.tela = 12;
    }
    s.opcir = s.tela * 10 + 1;
}

void move_forward(PageState& s) {
    const int page = s.tela;
    if (s.pvez && page == 6) {
        s.pvez = false;
        s.tela = 1;
        s.opcir = 11;
    } else if (page == 4 && s.opcir == 41) {
        s.opcir = 42;
        s.telant = 5;
    } else if (page == 7) {
        s.tela = 10;
    } else if (page == 10) {
        s.tela = 11;
    } else if (page == s.telamax()) {
        if (page == 17) {
            s.tela = 12;
        } else {
            s.tela = 1;
            s.opcir = 11;
        }
    } else if (gains_page(page)) {
        s.tela = 7;
        s.opcir = 71;
    } else if (zoom_page(page)) {
        s.tela = 4;
        s.opcir = 41;
    } else {
        s.tela = page + 1;
        s.opcir = s.tela * 10 + 1;   // before the skip of page 13
        if (s.tela == 13 && s.rural_abroad) s.tela = 14;
    }
}

void move_on_other_key(PageState& s) {
    const int page = s.tela;
    if (s.pvez && page == 6) {
        s.tela = 1;
        s.opcir = 11;
        s.pvez = false;
    } else if (page < 7 || page > 10) {
        s.tela = page + 1;
        if (s.tela == 12 && !s.rural) s.tela = 10;
    } else {
        s.tela = 10;
    }
}

}  // namespace

int clamp_page(const PageState& s) {
    if (s.tela <= s.telamax() || s.tela > 21) return s.tela;
    if (s.tela == 18) return 12;
    return s.telant;
}

bool move_by_key(PageState& s, int key, bool changed) {
    switch (key) {
        case key::PGDN: return true;
        case key::PGUP:
        case key::SHIFT_TAB: move_back(s); return true;
        case key::TAB: move_forward(s); return true;
        case key::ESC: return false;
        case key::ENTER:
            if (s.pvez && s.tela == 6) {
                s.pvez = false;
                s.tela = 1;
            } else {
                ++s.tela;
            }
            return true;
        default:
            if (!changed) move_on_other_key(s);
            return true;
    }
}

}  // namespace qv::declaration
