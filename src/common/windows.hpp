#pragma once
// Numbered text windows on the 25 x 80 screen. A window has three colours,
// coordinates and a frame type:
//   0 plain area; 1 single-line box one cell outside the top-left corner;
//   2 single-line box on the coordinates; 7 area with a drop shadow.
// Opening a window saves the screen under it (one saved copy per window id);
// writing lays a text out row by row inside it; closing puts the screen back.
// Window id 0 means the status line (row 24) to the writers.
//
// Codes carried inside a window text:
//   chr(1), chr(2), chr(3): switch to colour 1, 2, 3 (they print nothing);
//   chr(4) + chr(n) + c: n copies of c (REP(n) gives the first two bytes).
#include <string>
#include <string_view>

namespace qv::common {

struct TextWindow {
    int id = 0;
    std::string colour1, colour2, colour3;   // colour strings
    int top = 0, left = 0, bottom = 0, right = 0;
    int type = 0;
    std::string last_text;   // the text last written, codes expanded / removed
    bool open = false;
};

// Sets or creates a window (attributes as DOS numbers). Type 7 stores
// bottom + 2. The text is emptied; an existing window keeps its open flag.
void REDEFJAN(int id, int attr1, int attr2, int attr3, int top, int left, int bottom, int right, int type);
void DEFINEJAN(int id, int attr1, int attr2, int attr3, int top, int left, int bottom, int right, int type);
// Replaces colour `which` (1-3) of a window; id 0 means window 10.
void REDFATR(int id, int which, int attr);
// Saves the screen under the window and draws its frame.
void ABREJAN(int id, bool flag = false);
// Puts back the screen saved when the window was opened.
void FECHAJAN(int id);
// Draws an open boxed window again whole, over whatever was painted across
// it since it was opened: its frame, its inside blanked and its last text.
void redraw_window(int id);
// Writes a text with codes into the window (id 0: the status line).
void ESCRJAN(int id, std::string_view text);
// Writes a text at a row and column inside the window keeping the colours
// on screen (id 0: status line column col).
void ESCRLCOL(int id, int row, int col, std::string_view text);
// Rewrites len characters of the window's last text from (row, col) in
// another colour (a highlighted option).
void ESCRATR(int id, int row, int col, int attr, int len);
// Moves the window one cell (key 129: up / left; any other key: down /
// right) and draws it again. A window is never moved off the screen.
void MOVEVER(int id, int key);
void MOVEHOR(int id, int key);
// Fills the whole screen with a character in a colour.
void ENCHETELA(std::string_view ch, std::string_view colour);

std::string REP(int n);
std::string XREP(std::string_view text);

// ---- bookkeeping ----
// nullptr when the id is not in the window table.
const TextWindow* find_window(int id);
// True while the window has a saved screen (opened and not yet closed).
bool window_saved(int id);
// Makes what the window shows part of the screen beneath it: the screen
// saved when it was opened is dropped, so that no later window of the same
// id puts back what lay under it (a background's logo).
void keep_on_screen(int id);
// Empties the window table and drops the saved screens (tests, restart).
void reset_windows();

}  // namespace qv::common
