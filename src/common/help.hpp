#pragma once
// Help texts of the program, kept in the table HELPTXT of the program folder
// (key field NOME, memo TEXTO in HELPTXT.DBT). Without both files there is
// no help and nothing is shown. The keys: "GERAL", "TELA" + two-digit
// screen number, the name of an entry variable, "FUNCOES".
#include <string>
#include <string_view>

namespace qv::common {

inline constexpr int kHelpArea = 45;

// Shows the help of a key read-only in window 8 (an empty key: the field
// being edited). Does nothing while a help is already shown (LTOHELP).
void TXT_HELP(std::string_view key, int mode = 1);
// choice 1 general, 2 current screen, 3 current field, 4 functions; 0 lets
// the user choose in window 6.
void MOSTRA_HELP(int choice, int mode = 1);
// The help of the field being edited.
void MOS_HELP();

// The help key of each choice of MOSTRA_HELP (1-4); "" otherwise.
std::string help_key(int choice);

}  // namespace qv::common
