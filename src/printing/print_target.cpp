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

bool nao_dos() { return trimmed("NOMEIMP") == "NAO DOS"; }

// The output file of the settings, always in the work folder: a folder
// typed with the name is dropped.
std::string output_file(const std::string& setting) {
    std::string name = rt::ALLTRIM(setting);
    if (const std::size_t cut = name.find_last_of("/\\:"); cut != std::string::npos) name.erase(0, cut + 1);
    if (name.empty() || name == "." || name == "..") return "RELATOR.TXT";
    return name + ".TXT";
}

// The spool folder of printer queues: the work folder, where a job that a
// queue refuses is kept for the clerk.
std::string spool_folder() {
    const std::string work = common::to_local_path(Global{"LOCTRAB"}.text());
    return work.empty() ? std::string() : common::fs_path(work).string();
}

// The name the operating system knows for the target.
std::string system_name(const std::string& target) {
    if (is_port(target)) return target;
    if (is_file(target)) return common::fs_path(target).string();
    return rt::cp850_to_utf8(target);
}

}  // namespace

void set_device(Device d) { current_device() = d; }
Device device() { return current_device(); }

bool valid_output_file_name(std::string_view name) {
    const std::string n = rt::ALLTRIM(name);
    return n.find_first_of("/\\:") == std::string::npos && n != "." && n != "..";
}

std::string print_target_name() {
    const std::string work = Global{"LOCTRAB"}.text();
    // The clerk's own file name (SAIDAPR) stays as it is set: the print
    // program's file is a name of its own.
    if (nao_dos()) return work + kNaoDosFile;
    const int lpt = Global{"NROLPT"}.integer(), com = Global{"NROCOM"}.integer();
    if (lpt == 0 && com == 0) return work + output_file(Global{"SAIDAPR"}.text());
    if (trimmed("LOCIMPR") == "R") return trimmed("NOMEREDE");
    return lpt > 0 ? "LPT" + std::to_string(lpt) : "COM" + std::to_string(com);
}

bool PREP_IMP() {
    // A job still open (a cash book printed again for other months) goes
    // out first, with its own report.
    if (rt::os::printer().is_open()) close_print_target();
    const std::string target = print_target_name();
    if (is_port(target) && !PRONTO()) {
        set_device(Device::Screen);
        return false;
    }
    if (!rt::os::printer().open(system_name(target), spool_folder())) {
        common::AVISOSN("Não foi possível abrir a saída da impressão: "_cp + target, 0);
        set_device(Device::Screen);
        return false;
    }
    // The print program's text gets no control sequences; a printer gets
    // its condensed pitch for the lines wider than the normal one holds.
    if (!nao_dos()) rt::os::printer().set_pitches(Global{"STRING0"}.text(), Global{"STRING1"}.text(), kNormalColumns);
    Global{"ARQ_IMP"}.set(rt::Value(target));
    set_device(Device::Printer);
    return true;
}

bool close_print_target() {
    rt::os::PrintDevice& p = rt::os::printer();
    if (!p.is_open()) return true;
    const std::string target = p.target();
    if (p.close()) return true;
    const rt::os::PrintDevice::Failure& f = p.failure();
    std::vector<std::string> lines;
    if (f.queue.empty()) {
        lines.push_back("Erro na gravação da impressão em "_cp + rt::utf8_to_cp850(target));
    } else {
        const std::string queue = rt::utf8_to_cp850(f.queue);
        if (f.no_command) {
            lines.push_back("Falta o comando lp para imprimir em "_cp + queue);
        } else {
            lines.push_back("A impressora " + queue + " não aceitou a impressão:"_cp);
            lines.push_back(rt::LEFT(rt::utf8_to_cp850(f.reason), 70));
        }
        lines.push_back("O texto ficou guardado em " + rt::utf8_to_cp850(f.kept));
    }
    common::AVISOSN(lines, 0);
    return false;
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
