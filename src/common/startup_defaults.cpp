// What a new terminal's CORES and CONFIG records hold.
#include "common/startup.hpp"
#include <cstdlib>

#include "common/globals.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::common {
namespace {

std::string trimmed_folder(std::string_view folder) {
    std::string f = rt::ALLTRIM(folder);
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    return f;
}

}  // namespace

FieldValues cores_defaults() {
    return {{"COR_TEL1", 30},        {"COR_TEL2", 31},         {"COR_TEL3", 63},         {"COR_MENS", 112},
            {"COR_PEGA", 15},        {"COR_HELP", 112},        {"COR_FERID", 28},        {"COR_ESCOL", 79},
            {"COR_ENCHE", 31},       {"COR_1_CLI", "GR+/B"},   {"COR_2_CLI", "W+/B"},    {"COR_INI", "W+/B"},
            {"COR_SAY", "N/W+"},     {"COR_GET", "W/N"},       {"COR_CLI_HE", "N/W"},    {"COR_ESC_CL", "W/R+"},
            {"COR_ENCH_C", "W+/B"}};
}

std::string previous_edition_folder(std::string_view rotadef) {
    const std::string f = trimmed_folder(rotadef);
    const auto slash = f.rfind('/');
    if (slash == std::string::npos) return "QV2011";
    return f.substr(0, slash) + "/QV2011";
}

std::string whole_default_folder(std::string_view stored, std::string_view default_folder) {
    constexpr std::size_t kFolderWidth = 80;
    const std::string kept = rt::TRIM(stored);
    const bool cut = kept.size() == kFolderWidth && default_folder.size() > kFolderWidth &&
                     default_folder.starts_with(kept);
    return cut ? std::string(default_folder) : std::string(stored);
}

std::string tax_program_folder(std::string_view home) {
    return trimmed_folder(home) + "/ProgramasRFB/IRPF2012/aplicacao/dados/";
}

std::string previous_tax_program_folder(std::string_view home) {
    return trimmed_folder(home) + "/ProgramasRFB/IRPF2011/transmitidas/";
}

FieldValues config_defaults(const ConfigContext& c) {
    const std::string previous = previous_edition_folder(c.rotadef);
    const std::string tax = tax_program_folder(c.home);
    return {{"NRO_TERM", c.terminal},
            {"ROTAANTER", previous},
            {"ROTADOANO", c.rotadef},
            {"ROTARECEI", tax},
            {"ROTAREANT", previous_tax_program_folder(c.home)},
            {"ROTAJAVA", tax},
            {"DIRTRAB", c.rotadef},
            {"DIRPROV", c.dirdef},
            {"DIRINST", previous},
            {"QUEIMP", 1},
            {"QUEMOD", 1},
            {"QUEPAG", 1},
            {"QUECON", 1},
            {"ENV_STAT", 2},
            {"MARESQ", 0},
            {"LINETI", 6},
            {"INIFOL", 0},
            {"NRO_LIN", 60},
            {"OPC_TRAN", 7},
            {"COMPAGA", 1},
            {"IMPBEM", "1"},
            {"IMPBAL", "1"},
            {"MOSIMP", "S"},
            {"MOSTEL", "S"},
            {"ULT_TER", 0},
            {"ULT_MOD", 1},
            {"ULT_CPF", rt::SPACE(11)},
            {"XDRIVE", "A"},
            {"SOESTE", 9},
            {"OPTTRAN", 3},
            {"ULTBACK", c.today},
            {"OPCIRPF", "J"}};
}

ConfigContext current_config_context(std::string_view terminal) {
    const char* home = std::getenv("HOME");
    ConfigContext context;
    context.terminal = std::string(terminal);
    context.rotadef = Global{"ROTADEF"}.text();
    context.dirdef = Global{"DIRDEF"}.text();
    context.home = home ? rt::utf8_to_cp850(home) : std::string();
    context.today = rt::DATE();
    return context;
}

}  // namespace qv::common
