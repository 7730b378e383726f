#pragma once
// Option bars over the lines of an open text window.
//
// ESC_OPCAO highlights item n by re-colouring `len` characters at row
// rowoffset + n, column col of the window's last text (COR_ESCOL for the
// current item, COR_TEL1 for the others). It starts on POSVER (0 becomes
// 1); Enter chooses, Esc answers 0, Home / End go to the first / last item,
// Up / Down move by one and stop at the ends, Alt+A opens the calculator,
// and a key whose upper-case letter is the n-th character of OPCOES chooses
// item n at once. With withmsg 1 the status line shows MENSMENU[item]. At
// the end the cursor is on, window 10 is closed, and the bar's window too
// when close is 1. POSVER keeps the answer.
//
// ESC_ITEM does the same with a "*" marker at (rowoffset + item, col) and
// without hot letters; it starts on `first`.
namespace qv::common {

int ESC_OPCAO(int window, int last, int col, int len, int rowoffset = 0, int close = 0, int withmsg = 0);
int ESC_ITEM(int window, int last, int col, int rowoffset = 0, int first = 1);

}  // namespace qv::common
