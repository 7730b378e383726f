// INICIOSIS: the first own step of both programs.
#include "common/startup.hpp"

#include <cstdlib>
#include <filesystem>

#include "common/entry_notices.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "console/dialog_layout.hpp"
#include "console/edit_control.hpp"
#include "console/message_box.hpp"
#include "console/setup.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/ui/get_settings.hpp"
#include "common/file_errors.hpp"

namespace qv::common {
namespace {

using rt::operator""_cp;

std::optional<std::string> environment(const char* name) {
    const char* v = std::getenv(name);
    if (!v) return std::nullopt;
    return rt::utf8_to_cp850(v);
}

// Ctrl+F12 (the code after Ctrl+F11) opens the diagnostic list of routines
// wherever the program waits in an entry or a menu, when the program has it.
constexpr int kCtrlF12 = -45;

void show_routine_list() {
    rt::call_routine("LISTAFUNCAO");
}

void console_setup() {
    console::MXBASESETUP(1);
    console::MSETFONTLARGE();
    console::HGETHEIGHT(0, 1, 86, 48);
    console::MHSETFONT("Courier New", 14, -15.5);
    console::SETCOLORINFOCUS(true);
    console::register_console_routines();
    rt::CLS();
    rt::SETKEY(kCtrlF12, show_routine_list);
}

rt::Value zeros(std::size_t n) {
    rt::Value a = rt::Value::array(n);
    for (auto& v : *a.as_array()) v = rt::Value(0);
    return a;
}

void runtime_settings() {
    rt::SET_SCOREBOARD(false);
    install_entry_notices();
    rt::table::workspace().set_deleted(true);
    console::set_epoch(1900);
}

std::optional<std::string>& folder_fault() {
    static std::optional<std::string> fault;
    return fault;
}

// The longest folder name the settings and the folder list can hold
// (ROTADOANO, DIRETOR).
constexpr std::size_t kFolderNameLimit = 80;

// What makes the program folder unusable: a name the program cannot write
// in its own characters, one longer than its records hold (it would be
// stored cut, and a cut name is another folder), or a folder it may not
// write. Checked before anything is written there.
std::optional<std::string> check_program_folder(const std::string& folder) {
    const std::string raw = rt::cp850_to_utf8(folder);
    if (folder.find('?') != std::string::npos && !std::filesystem::exists(raw))
        return "A pasta do programa "_cp + folder + " tem caracteres que o programa não aceita"_cp;
    if (folder.size() > kFolderNameLimit)
        return "A pasta do programa "_cp + folder + " passa do limite de "_cp + std::to_string(kFolderNameLimit) +
               " caracteres"_cp;
    if (std::string text = unwritable_folder_text(folder); !text.empty()) return text;
    return std::nullopt;
}

// DIRDEF, ROTADEF, ARQDEF.
void program_folder() {
    const std::string dirdef = environment("DQV2012").value_or("");
    Global{"DIRDEF"}.set(rt::Value(dirdef));
    std::string rotadef;
    // A DQV2012 the program cannot spell is refused, not traded silently
    // for the current folder.
    const char* given = std::getenv("DQV2012");
    if (given && rt::cp850_to_utf8(dirdef) != given) rotadef = BAR_FORA(dirdef);
    else if (rt::ALLTRIM(dirdef).empty() || !CONFER_DIR(dirdef)) rotadef = GETDIR();
    else rotadef = BAR_FORA(dirdef);
    Global{"ROTADEF"}.set(rt::Value(rotadef));
    Global{"ARQDEF"}.set(rt::Value(BAR_DIR(rotadef)));
    folder_fault() = check_program_folder(rotadef);
}

}  // namespace

std::string INICIOSIS(std::optional<std::string> terminal) {
    console_setup();
    terminal = terminal_source(std::move(terminal), environment("TERMINAL"));
    for (int id = 1; id <= 10; ++id) DEFINEJAN(id, 48, 112, 7, 1, 1, 25, 80, 0);
    for (const char* name : {"ALJ", "ACJ", "ALJA", "ACJA"}) Global{name}.set(zeros(23));
    runtime_settings();
    program_folder();
    const std::string nusu = terminal ? terminal_digits(*terminal) : terminal_digits(QUAL_USUR());
    Global{"NUSU"}.set(rt::Value(nusu));
    if (!folder_fault()) rt::call_routine("CRIACOR");
    return nusu;
}

std::optional<std::string> program_folder_fault() { return folder_fault(); }

}  // namespace qv::common
