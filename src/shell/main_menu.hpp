#pragma once
// The main top-bar menu of qv2012v: its bars and items, the handler every
// item runs, the print-selection items and the print-selection lists.
#include <memory>
#include <string>
#include <string_view>
#include "runtime/ui/menu.hpp"

namespace qv::shell {

// Builds the seven bars (Declaração .. Sair) with every item, in the menu
// colours `colours` (CORMENU). The menu lives for the whole run.
std::shared_ptr<rt::TopBarMenu> CREATEMAINMENU(std::string_view colours);

// The menu built last by CREATEMAINMENU (nullptr before); MENUSELECT changes
// captions through it.
rt::TopBarMenu* main_menu();

// Handler of every item: OPCAO_1 := id, NPOSMENU := its bar, then the
// action of the id. May change the item's caption (ids 41-44, 47, 62, 73, 74).
void MENUSELECT(rt::MenuItem& item);
// The same for an id (finds the item in the main menu, or a stand-in).
void MENUSELECT(int id);

// One print-selection item (ids 41-47): the new caption text for 41-44,
// the copies text for 47, empty text otherwise (or after Esc).
std::string SELITEMIMP(int id);

// Waits for one key.
void VOLTA();

// Recomputes ITEM1..ITEM7 and brings QUEMOD/QUEPAG into the range QUEIMP
// allows.
void MONTA_ITENS();

// Creates the print-selection lists (ALISTIMP, MODO1OP, MODOETI, MODOUNI,
// NOMCONT, MODETID, NOMEPAGR, NOMEPRUR, NOMEPAGS, NOMEPAGCV, NOMECON,
// AQUEIT2, AQUEIT3) as program-wide variables.
void CREATE_PRINT_LISTS();

}  // namespace qv::shell
