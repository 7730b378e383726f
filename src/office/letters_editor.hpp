#pragma once
// The letters editor: a full-screen text editor with a pull-down menu over
// the letters of the data folder, their page format, search, the merge
// fields and printing.
#include <string>
#include <string_view>

#include "office/letter_document.hpp"
#include "runtime/ui/memoedit.hpp"

namespace qv::office {

// Edits the named letter (no name: "SemNome.txt") until the user leaves.
void EDITEXT(std::string_view name = {});
// The editor hook: status line, modified flag, the menu keys.
rt::MemoReply UFUNC(rt::MemoEvent event, int key, rt::MemoEditor& ed, LetterDoc& doc);
// The bar of the pull-downs on the top row.
void paint_editor_bar();
// The pull-down menu for the command the hook left in the document.
void MENUED(LetterDoc& doc);
// The page-format dialog; true when the format was confirmed.
bool FORMTXT(LetterDoc& doc);
// The list of letters (the data folder's "*.txt" and the letters kept in
// the program folder) or, with `groups`, of saved groups ("*.grp" of the
// program folder, given back without the extension); "" on Esc.
std::string ESCOL_CART(bool groups = false);

// Busca (again: busca Novamente): moves the cursor to the next match of the
// search text, with its message; false when there was nothing to find.
bool search_letter(LetterDoc& doc, bool again);
// The placeholder inserted at the cursor, a blank on each side.
void insert_placeholder(LetterDoc& doc, int number);

void register_letter_routines();

}  // namespace qv::office
