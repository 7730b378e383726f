// A backup of the data folder made from the main menu through the
// archiver, restored into an emptied folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A table of one character field CPF (11) holding one row.
void write_table(const fs::path& path, const std::string& cpf) {
    std::string h(32, '\0');
    h[0] = 0x03;
    h[1] = 111, h[2] = 12, h[3] = 9;
    h[4] = 1;                       // one record
    h[8] = 32 + 32 + 1;             // header length
    h[10] = 1 + 11;                 // record length
    std::string field(32, '\0');
    field.replace(0, 3, "CPF");
    field[11] = 'C';
    field[16] = 11;
    std::ofstream out(path, std::ios::binary);
    out << h << field << '\x0D' << ' ' << cpf << '\x1A';
}

std::string cpf_of(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 32) return {};
    const std::size_t header = static_cast<unsigned char>(bytes[8]) | (static_cast<unsigned char>(bytes[9]) << 8);
    // The CPF field is the first of every declaration table.
    return bytes.size() >= header + 12 ? bytes.substr(header + 1, 11) : std::string();
}

bool wait_file(const fs::path& p, std::chrono::seconds limit) {
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (fs::exists(p)) return true;
        std::this_thread::sleep_for(100ms);
    }
    return fs::exists(p);
}

std::string cpf_for(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "000000000%02d", code);
    return buf;
}

std::string table(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "IMP%02d12.dbf", code);
    return buf;
}

TEST(E2eBackup, BackupFromTheMenuIsRestoredIntoAnEmptiedFolder) {
    if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
    if (std::system("command -v 7z >/dev/null 2>&1") != 0) GTEST_SKIP() << "7z is not installed";
    const fs::path root = fs::temp_directory_path() / ("qv_e2e_backup_" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path prog = root / "prog", home = root / "home", backup = root / "bk", target = root / "target";
    for (const auto& d : {prog, home, backup, target}) fs::create_directories(d);
    for (int code = 1; code <= 20; ++code)
        if (code != 9) write_table(prog / table(code), cpf_for(code));

    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
                           {"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string()});
    ASSERT_TRUE(s.wait_for("Declaração", 20s)) << s.screen_text();
    s.keys("Left");
    s.keys("Left");
    ASSERT_TRUE(s.wait_for("Compacta uma Pasta", 5s)) << s.screen_text();
    s.keys("o");
    ASSERT_TRUE(s.wait_for("Pasta destino", 5s)) << s.screen_text();
    s.keys("Enter");
    s.text(backup.string());
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Compacta os dados da pasta", 5s)) << s.screen_text();
    s.keys("S");
    ASSERT_TRUE(wait_file(backup / "IMPZIP12.zip", 20s)) << s.screen_text();

    ASSERT_TRUE(s.wait_for("Descompacta uma Pasta", 10s)) << s.screen_text();
    s.keys("e");
    ASSERT_TRUE(s.wait_for("Pasta destino", 5s)) << s.screen_text();
    s.keys("Enter");
    s.keys("C-y");
    s.text(target.string());
    s.keys("Enter");
    ASSERT_TRUE(s.wait_for("Recupera os dados em", 5s)) << s.screen_text();
    s.keys("S");
    ASSERT_TRUE(wait_file(target / table(20), 20s)) << s.screen_text();
    for (int code = 1; code <= 20; ++code) {
        if (code == 9) continue;
        ASSERT_TRUE(wait_file(target / table(code), 5s)) << code;
        EXPECT_EQ(cpf_of(target / table(code)), cpf_for(code)) << code;
    }
    EXPECT_TRUE(fs::exists(target / table(9)));
    s.keys("Escape");
    fs::remove_all(root);
}

}  // namespace
