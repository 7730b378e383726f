#include "common/option_bar.hpp"

#include <algorithm>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::common {

namespace {

const Global kPosver{"POSVER"};
const Global kOpcoes{"OPCOES"};
const Global kMensMenu{"MENSMENU"};
const Global kCorEscol{"COR_ESCOL"};
const Global kCorTel1{"COR_TEL1"};
const Global kQualHlp{"QUALHLP"};

constexpr int kDefaultEscol = 79, kDefaultTel1 = 30;
constexpr int kMessageWindow = 10;

// The pop-up calculator, opened with no help topic of its own.
void open_calculator() {
    const rt::Value help = kQualHlp.value();
    kQualHlp.set(rt::Value("NADA"));
    rt::call_function("CALCULADORA", {});
    kQualHlp.set(help);
}

void show_item_message(int item, int withmsg) {
    if (withmsg != 1) {
        MENS();
        return;
    }
    const rt::Value list = kMensMenu.value();
    const rt::Value& text = list.at(static_cast<std::size_t>(item));
    MensArgs centred;
    centred.col = rt::Value("C");
    MENS(0, text.is_string() ? text.as_string() : std::string(), centred);
}

// The item whose hot letter is the key's, 0 when none.
int hot_item(int key, int last) {
    if (key <= 0 || key > 255) return 0;
    const std::string letters = rt::UPPER(kOpcoes.text());
    const auto at = letters.find(rt::upper_char(static_cast<char>(key)));
    if (at == std::string::npos || static_cast<int>(at) >= last) return 0;
    return static_cast<int>(at) + 1;
}

// Moves of the two bars: the new item, or nothing for a key they ignore.
int moved(int key, int item, int last) {
    switch (key) {
    case rt::key::HOME: return 1;
    case rt::key::END: return last;
    case rt::key::DOWN: return std::min(item + 1, last);
    case rt::key::UP: return std::max(item - 1, 1);
    default: return item;
    }
}

}  // namespace

int ESC_OPCAO(int window, int last, int col, int len, int rowoffset, int close, int withmsg) {
    const int selected = kCorEscol.integer(kDefaultEscol), normal = kCorTel1.integer(kDefaultTel1);
    int item = std::clamp(kPosver.integer(), 1, std::max(last, 1));
    const auto paint = [&](int n, int attr) { ESCRATR(window, rowoffset + n, col, attr, len); };
    for (int n = 1; n <= last; ++n) paint(n, n == item ? selected : normal);

    int chosen = -1;
    while (chosen < 0) {
        kPosver.set(rt::Value(item));
        show_item_message(item, withmsg);
        const int key = rt::INKEY(-1);
        int next = item;
        if (key == rt::key::ENTER) {
            chosen = item;
        } else if (key == rt::key::ESC) {
            chosen = 0;
        } else if (key == rt::key::ALT_A) {
            open_calculator();
        } else if (const int hot = hot_item(key, last); hot > 0) {
            // The status line tells what was chosen while it runs.
            next = chosen = hot;
            show_item_message(hot, withmsg);
        } else {
            next = moved(key, item, last);
        }
        if (next != item) {
            paint(item, normal);
            paint(next, selected);
            item = next;
        }
    }
    rt::SETCURSOR(1);
    FECHAJAN(kMessageWindow);
    if (close == 1) FECHAJAN(window);
    kPosver.set(rt::Value(chosen));
    return chosen;
}

int ESC_ITEM(int window, int last, int col, int rowoffset, int first) {
    int item = std::clamp(first, 1, std::max(last, 1));
    ESCRLCOL(window, rowoffset + item, col, "*");
    for (;;) {
        const int key = rt::INKEY(-1);
        if (key == rt::key::ENTER) return item;
        if (key == rt::key::ESC) return 0;
        const int next = moved(key, item, last);
        if (next != item) {
            ESCRLCOL(window, rowoffset + item, col, " ");
            ESCRLCOL(window, rowoffset + next, col, "*");
            item = next;
        }
    }
}

}  // namespace qv::common
