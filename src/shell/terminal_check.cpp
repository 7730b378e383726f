#include "shell/terminal_check.hpp"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

namespace qv::shell {

std::optional<std::string> terminal_unfit(std::string_view term, int rows, int columns) {
    if (term.empty() || term == "dumb" || term == "unknown")
        return "Terminal TERM=" + std::string(term) + " sem telas: use, por exemplo, TERM=xterm-256color.";
    if (rows > 0 && columns > 0 && (rows < kScreenRows || columns < kScreenColumns))
        return "Janela de " + std::to_string(columns) + " colunas e " + std::to_string(rows) + " linhas: aumente-a para " +
               std::to_string(kScreenColumns) + "x" + std::to_string(kScreenRows) + " e inicie de novo.";
    return std::nullopt;
}

std::optional<std::string> current_terminal_unfit() {
    const char* term = std::getenv("TERM");
    winsize size{};
    int rows = 0;
    int columns = 0;
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) {
        rows = size.ws_row;
        columns = size.ws_col;
    }
    return terminal_unfit(term ? term : "", rows, columns);
}

}  // namespace qv::shell
