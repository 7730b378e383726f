#include "console/message_box.hpp"

#include <cxxabi.h>
#include <cstdio>
#include <dlfcn.h>
#include <execinfo.h>
#include <sys/utsname.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>

#include "console/dialog.hpp"
#include "console/dialog_layout.hpp"
#include "console/edit_control.hpp"
#include "console/values.hpp"
#include "runtime/core/functions.hpp"
#include <span>
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::console {

namespace {

std::string joined_message(const rt::Value& message) {
    if (!message.is_array()) return message.as_string();
    std::string out;
    for (const auto& line : *message.as_array()) {
        if (!out.empty()) out += ';';
        out += VALUES(line);
    }
    return out;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(';', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 1;
    }
}

std::string command_line() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A routine's name as the program knows it: the demangled C++ name without
// the system's namespace and without its argument list.
std::string routine_name(const char* mangled) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && plain ? plain.get() : mangled;
    for (std::size_t tag; (tag = name.find("[abi:")) != std::string::npos;)
        name.erase(tag, name.find(']', tag) - tag + 1);
    if (name.ends_with(" const")) name.resize(name.size() - 6);
    if (!name.empty() && name.back() == ')') {
        int depth = 0;
        for (std::size_t i = name.size(); i-- > 0;) {
            if (name[i] == ')') ++depth;
            else if (name[i] == '(' && --depth == 0) {
                name.resize(i);
                break;
            }
        }
    }
    if (name.starts_with("qv::")) name.erase(0, 4);
    return name;
}

// One line per active routine of the system, the innermost first: its name,
// where in it the call stands (bytes from its start) and the program file.
// The runtime's own routines and this box's are left out; routines private
// to a source file have no name to show.
std::vector<std::string> call_lines() {
    void* frames[64];
    const int n = ::backtrace(frames, 64);
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
        Dl_info info{};
        if (::dladdr(frames[i], &info) == 0 || info.dli_sname == nullptr) continue;
        if (!std::string_view(info.dli_sname).starts_with("_ZN2qv")) continue;
        const std::string name = routine_name(info.dli_sname);
        if (name.starts_with("rt::") || name == "console::diagnostic_lines" || name == "console::LISTAFUNCAO")
            continue;
        const auto offset = static_cast<const char*>(frames[i]) - static_cast<const char*>(info.dli_saddr);
        char at[32];
        std::snprintf(at, sizeof at, "+0x%lx", static_cast<unsigned long>(offset));
        const std::string file = info.dli_fname ? std::string(info.dli_fname) : std::string();
        lines.push_back("Call => " + name + "(" + at + ")   " + file.substr(file.rfind('/') + 1));
    }
    return lines;
}

}  // namespace

PixelSize message_dialog_size(const std::vector<std::string>& lines, std::size_t buttons, bool titled) {
    std::size_t widest = 0;
    for (const auto& l : lines) widest = std::max(widest, std::min<std::size_t>(rt::ALLTRIM(l).size(), 50));
    const int breaks = std::min(5, static_cast<int>(lines.size()) - 1);
    const int width = 100 + std::max(static_cast<int>(buttons) * 90, HSAYWIDTH(static_cast<double>(widest)));
    return {width, 120 + breaks * 25 + (titled ? 50 : 0)};
}

int SHOWMSG(const rt::Value& message, const std::vector<std::string>& buttons, const std::string& title) {
    const std::string text = joined_message(message);
    const std::vector<std::string> lines = split_lines(text);
    const auto [width, height] = message_dialog_size(lines, buttons.size(), !title.empty());
    auto dialog = INITDLG(width, height, title);
    if (!text.empty()) {
        std::string shown;
        for (std::size_t i = 0; i < lines.size(); ++i) shown += (i ? "\n" : "") + lines[i];
        EditOptions o;
        o.style = ws::ES_MULTILINE | ws::ES_READONLY;
        HEdit::New(dialog.get(), std::nullopt, rt::Value(shown), {},
                   {5.0, double(dialog->nxBottom + 5), double(width - 10), double(height - 70)}, o);
    }
    dialog->BtnOpc(buttons);
    // Enter answers the first button, as the user expects of a message.
    if (!dialog->aBtnOpc.empty()) dialog->nInitFocus = dialog->aBtnOpc.front()->id;
    return dialog->Activate();
}

void HQOUT(const rt::Value& lines) {
    rt::Value shown = rt::Value::array();
    if (lines.is_array())
        for (const auto& v : *lines.as_array()) shown.as_array()->push_back(rt::Value(VALUES(v)));
    SHOWMSG(shown, {"&Ok"});
}

int MHKEY(int vk, bool caps_lock) {
    switch (vk) {
        case 13: case 27: case 9: return vk;
        case 35: return 6;
        case 36: return 1;
        case 37: return 19;
        case 38: return 5;
        case 39: return 4;
        case 40: return 24;
        case 45: return 22;
        case 46: return 7;
        case 112: return 28;
        case 122: return -40;
        case 123: return -41;
        case 190: return 46;
        case 188: return 44;
        default: break;
    }
    if (vk >= 113 && vk <= 121) return -(vk - 112);
    if (vk >= 65 && vk <= 90 && !caps_lock) return vk + 32;
    return vk;
}

std::vector<std::string> diagnostic_lines() {
    std::vector<std::string> lines = call_lines();
#ifndef NDEBUG
    lines.push_back("define => __DESENV__");
#endif
    // The console window and its dialogs are this program's own layer in
    // place of those libraries; the lines say it was built with them.
    lines.push_back("define => GUI_GTWVW");
    lines.push_back("define => GUI_HWGUI");
    struct utsname u {};
    const std::string os = ::uname(&u) == 0 ? std::string(u.sysname) + " " + u.release : "Linux";
    lines.push_back("       OS => " + os);
    lines.push_back("SETCANCEL => .F.");
    lines.push_back(" SETBLINK => .F.");
    const int cursor = rt::SETCURSOR();
    lines.push_back("SETCURSOR => " + std::to_string(cursor));
    lines.push_back(" SETCOLOR => " + rt::SETCOLOR());
    lines.push_back(std::string("  Version => C++ ") + __VERSION__);
    const std::string args = command_line();
    std::size_t start = 0;
    for (int n = 0; start < args.size(); ++n) {
        const auto end = args.find('\0', start);
        const std::string arg = args.substr(start, end - start);
        if (n > 0) lines.push_back("Argumento " + std::to_string(n) + " => " + arg);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

void LISTAFUNCAO() {
    rt::Value lines = rt::Value::array();
    for (const auto& l : diagnostic_lines()) lines.as_array()->push_back(rt::Value(l));
    SHOWMSG(lines);
}

void register_console_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        auto arg = [](Args a, std::size_t i) { return i < a.size() ? a[i] : rt::Value(); };
        rt::register_function("SHOWMSG", [arg](Args a) {
            std::vector<std::string> buttons;
            if (arg(a, 1).is_array())
                for (const auto& b : *arg(a, 1).as_array()) buttons.push_back(b.as_string());
            if (buttons.empty()) buttons = {"&Fechar"};
            return rt::Value(SHOWMSG(arg(a, 0), buttons, arg(a, 3).as_string()));
        });
        rt::register_function("HQOUT", [arg](Args a) {
            HQOUT(arg(a, 0));
            return rt::Value();
        });
        rt::register_function("MHKEY", [arg](Args a) { return rt::Value(MHKEY(static_cast<int>(arg(a, 0).as_number()))); });
        rt::register_function("SETCOLORINFOCUS", [arg](Args a) {
            std::optional<bool> on;
            if (arg(a, 0).type() == rt::Type::Logical) on = arg(a, 0).as_bool();
            if (arg(a, 0).is_string()) on = rt::UPPER(rt::ALLTRIM(arg(a, 0).as_string())) == "ON";
            auto number = [&](std::size_t i) -> std::optional<long> {
                if (arg(a, i).type() != rt::Type::Number) return std::nullopt;
                return static_cast<long>(arg(a, i).as_number());
            };
            std::optional<bool> fixed;
            if (arg(a, 3).type() == rt::Type::Logical) fixed = arg(a, 3).as_bool();
            return rt::Value(SETCOLORINFOCUS(on, number(1), number(2), fixed));
        });
        rt::register_function("LISTAFUNCAO", [](Args) {
            LISTAFUNCAO();
            return rt::Value();
        });
    });
}

}  // namespace qv::console
