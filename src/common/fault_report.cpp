#include "common/fault_report.hpp"

#include <algorithm>
#include <fstream>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/startup.hpp"
#include "common/text_helpers.hpp"
#include "console/message_box.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/value.hpp"

namespace qv::common {
namespace {

using rt::operator""_cp;

constexpr std::size_t kFaultWidth = 60;

std::string text_of(const char* name) { return rt::ALLTRIM(Global{name}.text()); }

}  // namespace

ErrorLog write_error_log(std::string_view what) {
    std::string folder = text_of("ARQDEF");
    if (folder.empty()) folder = BAR_DIR(GETDIR());
    const std::string name = BAR_DIR(folder) + "Error.log";
    std::ofstream log(fs_path(name), std::ios::app);
    if (log) {
        log << "Erro em " << rt::cp850_to_utf8(rt::DTOC(rt::DATE())) << " " << rt::TIME() << "\n"
            << "Terminal " << rt::cp850_to_utf8(text_of("NUSU")) << "\n"
            << what << "\n\n";
    }
    return {name, log && log.flush()};
}

std::vector<std::string> fault_box_lines(const std::string& log_name, std::string_view what, bool logged) {
    std::vector<std::string> lines{"Erro interno do programa:"};
    // The cause's own line breaks stay; each line is wrapped to the box.
    std::size_t start = 0;
    while (start <= what.size()) {
        const std::size_t end = std::min(what.find('\n', start), what.size());
        for (std::string& l : wrapped(what.substr(start, end - start), kFaultWidth)) lines.push_back(std::move(l));
        start = end + 1;
    }
    const std::string where = (logged ? "Detalhes em " : "Não foi possível gravar "_cp) + log_name;
    for (std::string& l : wrapped(where, kFaultWidth)) lines.push_back(std::move(l));
    return lines;
}

void report_fault(std::string_view what) {
    const ErrorLog log = write_error_log(what);
    try {
        rt::Value lines = rt::Value::array();
        for (const std::string& line : fault_box_lines(log.name, what, log.written))
            lines.as_array()->push_back(rt::Value(line));
        console::SHOWMSG(lines, {"&Fechar"}, "Erro");
    } catch (...) {
        // Nothing more can be shown.
    }
}

}  // namespace qv::common
