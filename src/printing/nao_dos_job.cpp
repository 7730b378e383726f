#include "printing/nao_dos_job.hpp"

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
#include "runtime/screen/backend.hpp"

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
    rt::os::printer().close();
    set_device(Device::Screen);
    const std::string target = Global{"ARQ_IMP"}.text();
    if (rt::ALLTRIM(target).empty()) return;
    const fs::path file = common::fs_path(target);
    if (!tidy_print_file(file)) {
        common::AVISOSN("Nada para imprimir!!", 0);
        return;
    }
    bool taxpayer_copy = false;
    if (mode == 1 && Global{"QUECON"}.integer() == 1 && trimmed("MOSCPF") == "S") taxpayer_copy = copy_for_taxpayer(file);
    common::MENS(0, "Aguarde! Preparando impressão NAO DOS....."_cp);
    const std::string mostel = trimmed("MOSTEL"), mosimp = trimmed("MOSIMP");
    const bool known = (mostel == "S" || mostel == "N") && (mosimp == "S" || mosimp == "N");
    const std::string options = known ? print_program_options(mostel == "S", mosimp == "S") : "pre/sel";
    const std::string program =
        mode == 1 ? common::fs_path(Global{"ARQDEF"}.text() + "qvprint").string() : std::string("qvprint");
    std::vector<std::string> argv{program, file.string(), "80"};
    if (!options.empty()) argv.push_back(options);
    {
        rt::ScreenSuspended hand_over;
        rt::os::run_attached(argv);   // a missing print program does nothing
    }
    common::MENS();
    if (!taxpayer_copy || trimmed("EMAIL").empty()) return;
    if (common::AVISOSN("Envia o arquivo gerado para o email do contribuinte?", 2).as_string() != "S") return;
    Global{"CPFEMAIL"}.set(Global{"CPF"}.value());
    Global{"CEMAIL_ENV"}.set(rt::Value(trimmed("EMAIL")));
    Global{"CASSUNTO"}.set(rt::Value("Veja o arquivo anexado"));
    Global{"CANEXO"}.set(rt::Value(Global{"LOCTRAB"}.text() + trimmed("CPF") + ".TXT"));
    if (rt::has_function("MANDA_EMAIL")) rt::call_function("MANDA_EMAIL", {});
}

}  // namespace qv::printing
