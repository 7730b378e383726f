#pragma once
// ACHOICE: a scrolling list of text items in a window; returns the 1-based
// item chosen, 0 when abandoned.
//
// Keys: Up/Down move by one item, PgUp/PgDn by a window, Home/Ctrl+PgUp to
// the first item, End/Ctrl+PgDn to the last, Ctrl+Home/Ctrl+End to the first
// and last item in the window; items that are not selectable are skipped.
// Without a user function Enter chooses, Esc, Left and Right answer 0, and
// any other key goes to the next item beginning with that character. With a
// user function every key the list does not handle itself (Enter and Esc
// too) is handed to it as an exception, and it is told when the list runs
// into its top or bottom and when no key is waiting; its answer decides.
#include <functional>
#include <string>
#include <vector>

namespace qv::rt {

// Why the user function is called.
enum AchoiceMode {
    AC_IDLE = 0,       // no key is waiting
    AC_HITTOP = 1,     // a move up past the first item
    AC_HITBOTTOM = 2,  // a move down past the last item
    AC_EXCEPT = 3,     // a key the list does not handle
    AC_NOITEM = 4,     // nothing can be chosen
};

// What the user function answers.
enum AchoiceReply {
    AC_ABORT = 0,      // ACHOICE returns 0
    AC_SELECT = 1,     // ACHOICE returns the current item
    AC_CONT = 2,       // go on
    AC_GOTO = 3,       // go to the next item beginning with the last key
};

// (mode, current item 1-based, its row in the window 0-based) -> reply.
using AchoiceFunction = std::function<int(int mode, int current, int window_row)>;

// items: the list ends at the first empty item. selectable: one flag per
// item (missing flags mean selectable). initial: the item highlighted first;
// window_row: the window row it is shown on.
int ACHOICE(int top, int left, int bottom, int right, const std::vector<std::string>& items,
            const std::vector<bool>& selectable = {}, const AchoiceFunction& user = {},
            int initial = 1, int window_row = 0);

}  // namespace qv::rt
