// qvprint: prints a text file of the system on a printer of this computer,
// the default one or the one named with -d. main() only reads the command
// line and tells what went wrong; the text is prepared by the runtime.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/os/process.hpp"
#include "runtime/os/text_print.hpp"

namespace {

namespace os = qv::rt::os;

int fail(int code, const std::string& text) {
    std::fprintf(stderr, "qvprint: %s\n", text.c_str());
    return code;
}

// The prepared text in a file of its own, removed when the job is handed over.
class TextFile {
public:
    explicit TextFile(const std::string& text) {
        std::error_code ec;
        std::string tmpl = (std::filesystem::temp_directory_path(ec) / "qvprint-XXXXXX.txt").string();
        const int fd = ::mkstemps(tmpl.data(), 4);
        if (fd < 0) return;
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::close(fd);
        if (written) path_ = tmpl;
        else std::filesystem::remove(tmpl, ec);
    }
    ~TextFile() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove(path_, ec);
    }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto job = os::parse_text_job(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!job) return fail(2, error + "\nuso: qvprint ARQUIVO [80|132] [pre|sel|pre/sel] [-d IMPRESSORA]");
    std::ifstream in(job->file, std::ios::binary);
    if (!in) return fail(2, "arquivo " + job->file + " não encontrado");
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::string text = os::printable_text(bytes);
    if (text.find_first_not_of(" \n\f\t") == std::string::npos) return fail(2, "nada para imprimir em " + job->file);
    const TextFile prepared(text);
    if (prepared.path().empty()) return fail(1, "não foi possível preparar o texto para a impressão");
    const int columns = std::max(job->columns, os::widest_line(text));
    const std::string title = std::filesystem::path(job->file).filename().string();
    const auto sent = os::run_capture(os::lp_command(*job, prepared.path(), columns, title), true);
    const std::string printer = job->queue.empty() ? std::string("padrão") : job->queue;
    if (!sent) return fail(1, "o comando lp não foi encontrado: instale o sistema de impressão");
    if (sent->status != 0) {
        std::string why = sent->output;
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        return fail(1, "a impressora " + printer + " não aceitou a impressão" + (why.empty() ? "" : ":\n" + why));
    }
    return 0;
}
