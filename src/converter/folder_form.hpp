#pragma once
// The form that asks an import's source and destination folders and keeps
// them in the terminal's settings, and what follows an import: the index
// rebuild and the folder list.
#include <string_view>

namespace qv::converter {

// Kind 1: last year's edition and the cash-book program; kind 3: the tax
// program's files. True when the folders were accepted and stored (ARQORIG,
// ARQDEST and the data folder set), false when the user gave up.
bool PEGAOSDIR(int kind);
// After imports 1 and 2 (only when NOVIN): rebuild, folder list, and the
// question whether to stay in the destination folder.
void AJUST_DIR();
// The tables `<folder><prefix><n><suffix>.DBF` for n = 1..count (one digit
// for the prefixes "IRM" and "WZK", two otherwise): at the first missing
// one says "Não encontrado o Arquivo " + its name and answers true; false
// when all are there.
bool VEJA_ARQ(int count, std::string_view folder, std::string_view prefix, std::string_view suffix);
// Rebuilds the indexes of a folder's declaration tables; mode 1 returns
// after the start-up pass, other modes then switch to LOCARQ.
void REORG(std::string_view folder, int mode);

}  // namespace qv::converter
