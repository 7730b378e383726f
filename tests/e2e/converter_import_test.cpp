// The converter started from the main menu imports a folder of the tax
// program's declaration files, and the main menu comes back with the
// taxpayers in the register.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "e2e/converter_steps.hpp"
#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A 2012 declaration: header, identification, one income source, trailer.
std::string declaration(const std::string& cpf, const std::string& name) {
    auto at = [](std::string line, int from, const std::string& value) {
        if (line.size() < from - 1 + value.size()) line.resize(from - 1 + value.size(), ' ');
        line.replace(from - 1, value.size(), value);
        return line;
    };
    const std::string header = at(at("IRPF    ", 9, "2012"), 165, "1234567890");
    const std::string id = at(at("16", 3, cpf), 14, name);
    const std::string income = at(at(at("21", 14, "12345678000195"), 28, "EMPRESA"), 88, "0000005000000");
    return header + "\r\n" + id + "\r\n" + income + "\r\nT9\r\n";
}

// The number of records in a table's header.
std::uint32_t record_count(const fs::path& dbf) {
    std::ifstream in(dbf, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 8) return 0;
    std::uint32_t v = 0;
    for (int i = 7; i >= 4; --i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return v;
}

TEST(E2eConverter, ImportsAFolderFromTheMainMenu) {
    if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
    const fs::path root = fs::temp_directory_path() / ("qv_e2e_convert_" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path prog = root / "prog", home = root / "home", source = root / "receita";
    for (const auto& d : {prog, home, source}) fs::create_directories(d);
    const char* files[][3] = {{"a.DEC", "11111111111", "ANA"}, {"b.dbk", "22222222222", "BRUNO"},
                              {"c.Bak", "33333333333", "CARLA"}};
    for (const auto& f : files) std::ofstream(source / f[0], std::ios::binary) << declaration(f[1], f[2]);

    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
                           {"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string()});
    qv::e2e::import_declarations(s, source.string(), prog.string(), "CARLA");
    if (HasFatalFailure()) return;
    EXPECT_EQ(record_count(prog / "IMP0912.dbf"), 3u);
    fs::remove_all(root);
}

}  // namespace
