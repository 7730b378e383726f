#include "office/office_menu.hpp"

#include <algorithm>
#include <cctype>

#include "common/frame_boxes.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/achoice.hpp"

namespace qv::office {

namespace {

// The window the menus' frames open.
constexpr int kMenuWindow = 4;

}  // namespace

void office_box(int top, int left, int bottom, int right) {
    rt::DISPBOX(top, left, bottom, right, "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3 ");
}

void office_menu(int frame, int top, int left, const std::vector<std::string>& items,
                 const std::vector<std::string>& help, const std::string& hot_letters, void (*chosen)(int)) {
    std::size_t width = 0;
    for (const auto& s : items) width = std::max(width, s.size());
    const int bottom = top + static_cast<int>(items.size()) + 1, right = left + static_cast<int>(width) + 3;
    const std::string saved = rt::SAVESCREEN(top, left, bottom, right);
    bool framed = false;
    for (;;) {
        framed = frame > 0 && common::paint_dialog_frame(frame);
        if (!framed) office_box(top, left, bottom, right);
        int hot_choice = 0;
        int choice = rt::ACHOICE(top + 1, left + 2, bottom - 1, right - 2, items, {}, [&](int mode, int current, int) {
            common::MENS(0, help[static_cast<std::size_t>(current - 1)]);
            if (mode != rt::AC_EXCEPT) return static_cast<int>(rt::AC_CONT);
            const int key = rt::LASTKEY();
            if (key == rt::key::ENTER) return static_cast<int>(rt::AC_SELECT);
            if (key == rt::key::ESC) return static_cast<int>(rt::AC_ABORT);
            const auto at = hot_letters.find(static_cast<char>(std::toupper(key & 0xFF)));
            if (at == std::string::npos || key > 255) return static_cast<int>(rt::AC_CONT);
            hot_choice = static_cast<int>(at) + 1;
            return static_cast<int>(rt::AC_ABORT);
        });
        common::MENS();
        if (hot_choice) choice = hot_choice;
        if (choice == 0) break;
        chosen(choice);
    }
    if (framed) common::FECHAJAN(kMenuWindow);
    rt::RESTSCREEN(top, left, bottom, right, saved);
}

}  // namespace qv::office
