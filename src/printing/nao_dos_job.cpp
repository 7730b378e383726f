#include "printing/nao_dos_job.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/os/process.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;
namespace fs = std::filesystem;

namespace {

std::string trimmed(const char* name) { return rt::ALLTRIM(Global{name}.text()); }

// Reads the file; a form feed just before its last byte becomes a blank so
// that the job does not end on an empty page. False when it cannot be read
// or is empty.
bool tidy_print_file(const fs::path& file) {
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) return false;
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (bytes.empty()) return false;
    if (bytes.size() >= 2 && bytes[bytes.size() - 2] == '\f') {
        bytes[bytes.size() - 2] = ' ';
        // Written aside and renamed, so that a failure leaves the old file.
        const fs::path aside = file.string() + ".tmp";
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        std::error_code ec;
        if (out) fs::rename(aside, file, ec);
        if (!out || ec) fs::remove(aside, ec);
    }
    return true;
}

// The print program: the one installed in the program folder, else the
// one the search path finds.
std::string print_program() {
    std::error_code ec;
    const fs::path in_program_folder = common::fs_path(common::to_local_path(Global{"ARQDEF"}.text())) / "qvprint";
    if (fs::is_regular_file(in_program_folder, ec)) return in_program_folder.string();
    return "qvprint";
}

// The print program's own words, one line of the alert each.
std::vector<std::string> message_lines(const std::string& utf8) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < utf8.size() && lines.size() < 6) {
        const std::size_t end = std::min(utf8.find('\n', from), utf8.size());
        if (std::string l = rt::TRIM(rt::utf8_to_cp850(utf8.substr(from, end - from))); !l.empty())
            lines.push_back(rt::LEFT(l, 70));
        from = end + 1;
    }
    return lines;
}

// Hands the file to the print program and tells the clerk when it could
// not print it.
void hand_to_print_program(const fs::path& file) {
    const std::string mostel = trimmed("MOSTEL"), mosimp = trimmed("MOSIMP");
    const bool known = (mostel == "S" || mostel == "N") && (mosimp == "S" || mosimp == "N");
    const std::string options = known ? print_program_options(mostel == "S", mosimp == "S") : "pre/sel";
    std::vector<std::string> argv{print_program(), file.string(), "80"};
    if (!options.empty()) argv.push_back(options);
    if (const std::string queue = trimmed("NOMEREDE"); !queue.empty()) {
        argv.push_back("-d");
        argv.push_back(rt::cp850_to_utf8(queue));
    }
    const auto done = rt::os::run_capture(argv, true);
    common::MENS();
    if (!done) {
        common::AVISOSN(std::vector<std::string>{"O programa de impressão qvprint não foi encontrado."_cp,
                                                 "O texto ficou em " + rt::utf8_to_cp850(file.string())},
                        0);
        return;
    }
    if (done->status == 0) return;
    std::vector<std::string> lines = message_lines(done->output);
    if (lines.empty()) lines.push_back("A impressão não foi feita."_cp);
    lines.push_back("O texto ficou em " + rt::utf8_to_cp850(file.string()));
    common::AVISOSN(lines, 0);
}

bool copy_for_taxpayer(const fs::path& file) {
    const std::string copy = Global{"LOCTRAB"}.text() + trimmed("CPF") + ".TXT";
    std::error_code ec;
    fs::copy_file(file, common::fs_path(copy), fs::copy_options::overwrite_existing, ec);
    return !ec;
}

}  // namespace

const char* print_program_options(bool preview, bool choose) {
    if (preview && choose) return "pre/sel";
    if (preview) return "pre";
    if (choose) return "sel";
    return "";
}

void IMP_TXT(int mode) {
    if (trimmed("NOMEIMP") != "NAO DOS") return;
    common::FECHAJAN(3);
    close_print_target();
    set_device(Device::Screen);
    // The reprint takes the last run's file, whose name the run's end has
    // blanked.
    const std::string target = mode == 2 ? Global{"LOCTRAB"}.text() + kNaoDosFile : Global{"ARQ_IMP"}.text();
    if (rt::ALLTRIM(target).empty()) return;
    const fs::path file = common::fs_path(common::to_local_path(target));
    if (!tidy_print_file(file)) {
        common::AVISOSN("Nada para imprimir!!", 0);
        return;
    }
    bool taxpayer_copy = false;
    if (mode == 1 && Global{"QUECON"}.integer() == 1 && trimmed("MOSCPF") == "S") taxpayer_copy = copy_for_taxpayer(file);
    common::MENS(0, "Aguarde! Preparando impressão NAO DOS....."_cp);
    hand_to_print_program(file);
    if (!taxpayer_copy || trimmed("EMAIL").empty()) return;
    if (common::AVISOSN("Envia o arquivo gerado para o email do contribuinte?", 2).as_string() != "S") return;
    Global{"CPFEMAIL"}.set(Global{"CPF"}.value());
    Global{"CEMAIL_ENV"}.set(rt::Value(trimmed("EMAIL")));
    Global{"CASSUNTO"}.set(rt::Value("Veja o arquivo anexado"));
    Global{"CANEXO"}.set(rt::Value(Global{"LOCTRAB"}.text() + trimmed("CPF") + ".TXT"));
    rt::call_routine("MANDA_EMAIL");
}

}  // namespace qv::printing
