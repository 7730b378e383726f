#include "runtime/os/print_device.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "runtime/os/process.hpp"

namespace qv::rt::os {

namespace {

std::string& port_folder() {
    static std::string folder;
    return folder;
}

bool is_port(std::string_view target, std::string_view kind) {
    if (target.size() != kind.size() + 1) return false;
    for (std::size_t i = 0; i < kind.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(target[i])) != kind[i]) return false;
    return std::isdigit(static_cast<unsigned char>(target.back())) && target.back() != '0';
}

// A fresh file of its own for the job, named so that a clerk who finds one
// left behind knows what it is.
std::string spool_file(std::string_view folder) {
    std::error_code ec;
    const std::filesystem::path where = folder.empty() ? std::filesystem::temp_directory_path(ec) : folder;
    std::string tmpl = (where / "FILA-XXXXXX.TXT").string();
    const int fd = ::mkstemps(tmpl.data(), 4);
    if (fd < 0) return {};
    ::close(fd);
    return tmpl;
}

// A port is the device that is there: nothing is created in its place.
std::FILE* open_device(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    // Opened without waiting for a serial line's carrier; written waiting.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) ::close(fd);
    return f;
}

std::string first_line(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

}  // namespace

PrintDevice::PrintDevice() = default;

PrintDevice::~PrintDevice() { close(); }

std::string port_device(std::string_view target) {
    const char* kinds[][2] = {{"LPT", "lp"}, {"COM", "ttyS"}};
    for (const auto& [kind, device] : kinds) {
        if (!is_port(target, kind)) continue;
        const int n = target.back() - '1';
        const std::string folder = port_folder().empty() ? "/dev/" : port_folder() + "/";
        return folder + device + std::to_string(n);
    }
    return {};
}

void set_port_folder(std::string folder) { port_folder() = std::move(folder); }

std::string default_printer() {
    const auto answer = run_capture({"lpstat", "-d"});
    if (!answer || answer->status != 0) return {};
    const auto colon = answer->output.rfind(':');
    if (colon == std::string::npos) return {};
    std::string name = answer->output.substr(colon + 1);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front()))) name.erase(0, 1);
    return name;
}

bool PrintDevice::open(std::string_view target, std::string_view spool_folder) {
    close();
    std::string path = port_device(target);
    queue_.clear();
    if (!path.empty()) {
        file_ = open_device(path);
    } else {
        if (target.find('/') != std::string_view::npos) {
            path = std::string(target);
        } else {
            queue_ = std::string(target);
            path = spool_ = spool_file(spool_folder);
            if (path.empty()) return false;
        }
        file_ = std::fopen(path.c_str(), "wb");
    }
    if (!file_) {
        if (!spool_.empty()) std::filesystem::remove(spool_);
        spool_.clear();
        return false;
    }
    target_ = std::string(target);
    row_ = col_ = 0;
    normal_.clear(), condensed_.clear(), line_.clear();
    columns_ = line_width_ = 0;
    condensed_on_ = false;
    return true;
}

void PrintDevice::set_pitches(std::string normal, std::string condensed, int columns) {
    end_line();
    normal_ = std::move(normal);
    condensed_ = std::move(condensed);
    columns_ = columns;
    condensed_on_ = false;
}

bool PrintDevice::close() {
    failure_ = {};
    if (!file_) return true;
    end_line();
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!queue_.empty() && !spool_.empty()) {
        const auto sent = run_capture({"lp", "-s", "-o", "raw", "-d", queue_, spool_}, true);
        if (ok && sent && sent->status == 0) {
            std::error_code ec;
            std::filesystem::remove(spool_, ec);
        } else {
            ok = false;
            failure_.queue = queue_;
            failure_.kept = spool_;
            failure_.no_command = !sent;
            if (sent) failure_.reason = first_line(sent->output);
            if (sent && failure_.reason.empty()) failure_.reason = "lp: " + std::to_string(sent->status);
        }
    }
    spool_.clear();
    queue_.clear();
    target_.clear();
    return ok;
}

void PrintDevice::emit(std::string_view bytes) {
    if (file_) std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

bool PrintDevice::switching() const { return !condensed_.empty(); }

void PrintDevice::put(std::string_view bytes) {
    if (switching()) line_ += bytes;
    else emit(bytes);
}

// The line is complete: when it is wider than the normal pitch holds, the
// condensed sequence goes before it, and the pitch stays condensed until
// the document asks for the normal one again (its next heading).
void PrintDevice::end_line() {
    if (!switching()) return;
    if (!condensed_on_ && line_width_ > columns_) {
        emit(condensed_);
        condensed_on_ = true;
    }
    emit(line_);
    line_.clear();
    line_width_ = 0;
}

void PrintDevice::say(int row, int col, std::string_view text) {
    if (!file_) return;
    if (row < row_) eject();
    if (row > row_) {
        end_line();
        for (int r = row_; r < row; ++r) emit("\r\n");
        row_ = row;
        col_ = 0;
    }
    if (col < col_) {
        put("\r");
        col_ = 0;
    }
    if (col > col_) put(std::string(static_cast<std::size_t>(col - col_), ' '));
    put(text);
    if (const auto last = text.find_last_not_of(' '); last != std::string_view::npos)
        line_width_ = std::max(line_width_, col + static_cast<int>(last) + 1);
    col_ = col + static_cast<int>(text.size());
}

void PrintDevice::write_raw(std::string_view bytes) {
    // A pitch the document asks for is the pitch from then on; before the
    // line's text it goes out at once, ahead of the line's own choice.
    if (switching() && !bytes.empty() && (bytes == normal_ || bytes == condensed_)) condensed_on_ = bytes == condensed_;
    if (switching() && line_.empty()) emit(bytes);
    else put(bytes);
}

void PrintDevice::eject() {
    end_line();
    emit("\f");
    row_ = col_ = 0;
}

PrintDevice& printer() {
    static PrintDevice device;
    return device;
}

}  // namespace qv::rt::os
