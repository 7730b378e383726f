#include "printing/print_target.hpp"

#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/system_helpers.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/alert.hpp"
#include "common/messages.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;

namespace {

Device& current_device() {
    static Device d = Device::Screen;
    return d;
}

std::string trimmed(const char* name) { return rt::ALLTRIM(Global{name}.text()); }

bool is_port(const std::string& target) { return !rt::os::port_device(target).empty(); }

bool is_file(const std::string& target) { return target.find('/') != std::string::npos || target.find('\\') != std::string::npos; }

// The name the operating system knows for the target.
std::string system_name(const std::string& target) {
    if (is_port(target)) return target;
    if (is_file(target)) return common::fs_path(target).string();
    return rt::cp850_to_utf8(target);
}

}  // namespace

void set_device(Device d) { current_device() = d; }
Device device() { return current_device(); }

std::string print_target_name() {
    const std::string work = Global{"LOCTRAB"}.text();
    if (trimmed("NOMEIMP") == "NAO DOS") {
        Global{"SAIDAPR"}.set(rt::Value("NAO-DOS.TXT"));
        return work + "NAO-DOS.TXT";
    }
    const int lpt = Global{"NROLPT"}.integer(), com = Global{"NROCOM"}.integer();
    if (lpt == 0 && com == 0) {
        const std::string file = trimmed("SAIDAPR");
        return work + (file.empty() ? std::string("RELATOR.TXT") : file + ".TXT");
    }
    if (trimmed("LOCIMPR") == "R") return trimmed("NOMEREDE");
    return lpt > 0 ? "LPT" + std::to_string(lpt) : "COM" + std::to_string(com);
}

bool PREP_IMP() {
    const std::string target = print_target_name();
    if (is_port(target) && !PRONTO()) {
        set_device(Device::Screen);
        return false;
    }
    if (!rt::os::printer().open(system_name(target))) {
        common::AVISOSN("Não foi possível abrir a saída da impressão: "_cp + target, 0);
        set_device(Device::Screen);
        return false;
    }
    Global{"ARQ_IMP"}.set(rt::Value(target));
    set_device(Device::Printer);
    return true;
}

bool PRONTO() {
    const int lpt = Global{"NROLPT"}.integer();
    if (lpt <= 0) return true;
    const std::vector<std::string> lines{"Impressora  desligada ou sem papel", "      Verifique e tecle:          "};
    while (!common::LPT_OK(lpt)) {
        switch (rt::ALERT(lines, {"Abandona", "Pronto", "Ignore"})) {
            case 1:
                set_device(Device::Screen);
                return false;
            case 3:
                return true;
            default:
                break;   // test again
        }
    }
    return true;
}

bool PAREIMP() {
    for (int key = rt::INKEY(0); key != 0; key = rt::INKEY(0)) {
        if (key != rt::key::ESC) continue;
        rt::SETCURSOR(0);
        const bool abandon = common::AVISOSN("Abandona a impressão ???"_cp, 2).as_string() == "S";
        if (abandon) set_device(Device::Screen);
        Global{"CAN_IMP"}.set(rt::Value(abandon));
        break;
    }
    const rt::Value can = Global{"CAN_IMP"}.value();
    return can.is_logical() && can.as_bool();
}

void AJUS_FIN() {
    if (trimmed("FEZ_TES") != "S") return;
    rt::os::PrintDevice& p = rt::os::printer();
    p.say(p.row(), 0, " ");
    common::TONE(880, 1);
    const rt::Value answer = common::AVISOSN(std::vector<std::string>{"Pausa p/ um ajuste fino. ", "Tecle Sim para mais pausa"}, 2);
    Global{"FEZ_TES"}.set(answer);
}

void MUDAIMP(int n) {
    rt::os::printer().write_raw(Global{"STRING" + std::to_string(n)}.text());
}

}  // namespace qv::printing
