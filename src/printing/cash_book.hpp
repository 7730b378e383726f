#pragma once
// The cash book, normal (receipts and expenses of self-employed work) or
// rural, with the month totals, the diagonal fill of a month's last page and
// the opening and closing terms.
#include <string>
#include <vector>

#include "runtime/core/date.hpp"

namespace qv::printing {

struct CashEntry {
    rt::Date date;
    std::string description;
    double value = 0.0;
    bool expense = false;
};

// The book's entries in date order for the months chosen (MES_INIC to
// MES_FINAL); rural entries carry their farm's participation.
std::vector<CashEntry> cash_entries(bool rural);
// Receipts less expenses of the book's own entries before `first_month`.
double opening_balance(bool rural, int first_month);

// `kind` is the document: 4 the rural book, 10 the normal one.
void LIVRO_CAIXA(int kind);
void LIVRO_CX(int kind);
void CABECLCX();
void SALDOS(int month, int mode);
void TRAC_SEP();
void ENCERRAMENTO();
void NOME_IDEN();
void RES_LIVR();

}  // namespace qv::printing
