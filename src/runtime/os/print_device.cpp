#include "runtime/os/print_device.hpp"

#include <unistd.h>

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

std::string spool_file() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qvprint.XXXXXX").string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return {};
    ::close(fd);
    return tmpl;
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

bool PrintDevice::open(std::string_view target) {
    close();
    std::string path = port_device(target);
    queue_.clear();
    if (path.empty()) {
        if (target.find('/') != std::string_view::npos) {
            path = std::string(target);
        } else {
            queue_ = std::string(target);
            path = spool_ = spool_file();
            if (path.empty()) return false;
        }
    }
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        if (!spool_.empty()) std::filesystem::remove(spool_);
        spool_.clear();
        return false;
    }
    target_ = std::string(target);
    row_ = col_ = 0;
    return true;
}

bool PrintDevice::close() {
    if (!file_) return true;
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!queue_.empty() && !spool_.empty()) {
        const auto sent = run_capture({"lp", "-s", "-d", queue_, spool_}, true);
        ok = ok && sent && sent->status == 0;
        std::error_code ec;
        std::filesystem::remove(spool_, ec);
    }
    spool_.clear();
    queue_.clear();
    target_.clear();
    return ok;
}

void PrintDevice::put(std::string_view bytes) {
    if (file_) std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

void PrintDevice::say(int row, int col, std::string_view text) {
    if (!file_) return;
    if (row < row_) eject();
    if (row > row_) {
        for (int r = row_; r < row; ++r) put("\r\n");
        row_ = row;
        col_ = 0;
    }
    if (col < col_) {
        put("\r");
        col_ = 0;
    }
    if (col > col_) put(std::string(static_cast<std::size_t>(col - col_), ' '));
    put(text);
    col_ = col + static_cast<int>(text.size());
}

void PrintDevice::write_raw(std::string_view bytes) { put(bytes); }

void PrintDevice::eject() {
    put("\f");
    row_ = col_ = 0;
}

PrintDevice& printer() {
    static PrintDevice device;
    return device;
}

}  // namespace qv::rt::os
