// The terminal number and the local/network test.
#include <sys/vfs.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/startup.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::common {
namespace {

using rt::operator""_cp;

std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? rt::utf8_to_cp850(v) : std::string();
}

// File-system magic numbers of the network file systems.
constexpr long kNetworkTypes[] = {
    0x6969,                    // NFS
    0x517B,                    // SMB
    static_cast<long>(0xFF534D42),  // CIFS
    static_cast<long>(0xFE534D42),  // SMB2
    0x564C,                    // NCP (NetWare)
    0x73757245,                // Coda
    0x5346414F,                // AFS
    0x6B414653,                // kAFS
    0x01021997,                // 9P
    0x00C36400,                // Ceph
    0x47504653,                // GPFS
    0x0BD00BD0,                // Lustre
};

std::function<bool(std::string_view)>& network_probe() {
    static std::function<bool(std::string_view)> probe;
    return probe;
}

bool on_network(std::string_view folder) {
    return network_probe() ? network_probe()(folder) : TA_NA_REDE(folder);
}

}  // namespace

void set_network_probe(std::function<bool(std::string_view)> probe) { network_probe() = std::move(probe); }

bool is_network_file_system(long type) {
    const long t = type & 0xFFFFFFFFL;
    for (const long n : kNetworkTypes)
        if ((n & 0xFFFFFFFFL) == t) return true;
    return false;
}

std::string GETDIR() {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string() : rt::utf8_to_cp850(cwd.string());
}

bool TA_NA_REDE(std::string_view folder) {
    const std::string name = folder.empty() ? GETDIR() : BAR_FORA(folder);
    struct statfs info {};
    if (::statfs(fs_path(name.empty() ? "." : name).c_str(), &info) != 0) return false;
    return is_network_file_system(static_cast<long>(info.f_type));
}

std::string terminal_digits(std::string_view text) {
    const std::string t = rt::ALLTRIM(text);
    if (t.empty()) return "00";
    const double n = rt::VAL(t);
    if (n < 0 || n > 99) return "00";
    return rt::STRZERO(static_cast<int>(n), 2);
}

std::optional<std::string> terminal_source(std::optional<std::string> argument,
                                           std::optional<std::string> env) {
    if (env && !rt::ALLTRIM(*env).empty()) return env;
    return argument;
}

std::string QUAL_USUR() {
    const Global program_folder{"ROTADEF"};
    if (!on_network(program_folder.text())) return "00";
    const std::string user = environment("USUAR");
    const int proposal = static_cast<int>(rt::VAL(environment("EQUIP")));
    for (const char* name : {"COR_TEL1", "COR_TEL2", "COR_TEL3"}) Global{name}.set(rt::Value(30));
    const std::string prompt =
        user + (proposal == 0 ? " Forneça"_cp : std::string(" Confirme")) + " o número do terminal."_cp;
    rt::PrivateFrame frame;
    rt::variables().declare_private("NUSU", rt::Value(proposal));
    MensArgs args;
    args.row = 20;
    args.col = rt::Value(2);
    args.lines = 1;
    args.name = "nUsu";
    args.width = 2;
    args.picture = "@z 99";
    const rt::Value answer = MENS(14, prompt, args);
    const double n = number_of(answer, 0);
    return terminal_digits(rt::STR(n, 10, 0));
}

}  // namespace qv::common
