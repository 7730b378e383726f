// The real programs, started the way a person starts them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

fs::path fresh_folder(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("qv_e2e_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// A character field of a table's record, read and written straight in the
// file (the programs must have ended).
class DbfFile {
public:
    explicit DbfFile(fs::path path) : path_(std::move(path)) {
        std::ifstream in(path_, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::uint32_t records() const { return u32(4); }
    std::optional<std::string> get(std::uint32_t recno, const std::string& field) const {
        const auto f = find(field);
        if (!f || recno == 0 || recno > records()) return std::nullopt;
        return bytes_.substr(offset(recno) + f->first, f->second);
    }
    bool put(std::uint32_t recno, const std::string& field, const std::string& value) {
        const auto f = find(field);
        if (!f || recno == 0 || recno > records()) return false;
        std::string v = value;
        v.resize(f->second, ' ');
        bytes_.replace(offset(recno) + f->first, f->second, v);
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << bytes_;
        return static_cast<bool>(out);
    }
    // The record whose field starts with `value`.
    std::uint32_t find_record(const std::string& field, const std::string& value) const {
        for (std::uint32_t r = 1; r <= records(); ++r)
            if (get(r, field).value_or("").rfind(value, 0) == 0) return r;
        return 0;
    }

private:
    std::uint32_t u32(std::size_t at) const {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes_.at(at + i));
        return v;
    }
    std::uint32_t u16(std::size_t at) const {
        return static_cast<unsigned char>(bytes_.at(at)) | (static_cast<unsigned char>(bytes_.at(at + 1)) << 8);
    }
    std::size_t offset(std::uint32_t recno) const { return u16(8) + static_cast<std::size_t>(recno - 1) * u16(10); }
    // Offset in the record (after the deletion flag) and width of a field.
    std::optional<std::pair<std::size_t, std::size_t>> find(const std::string& field) const {
        std::size_t pos = 1;
        for (std::size_t d = 32; d + 32 <= bytes_.size() && bytes_[d] != '\x0D'; d += 32) {
            std::string name = bytes_.substr(d, 11);
            name = name.substr(0, name.find('\0'));
            const std::size_t width = static_cast<unsigned char>(bytes_[d + 16]);
            if (strcasecmp(name.c_str(), field.c_str()) == 0) return std::make_pair(pos, width);
            pos += width;
        }
        return std::nullopt;
    }
    fs::path path_;
    std::string bytes_;
};

class E2eMainProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fresh_folder("main");
        prog = root / "prog";
        home = root / "home";
        fs::create_directories(prog);
        fs::create_directories(home);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    std::unique_ptr<qv::e2e::TmuxSession> start(const std::string& terminal = "01") {
        return std::make_unique<qv::e2e::TmuxSession>(
            std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
            std::vector<std::string>{"DQV2012=" + prog.string() + "/", "TERMINAL=" + terminal,
                                     "HOME=" + home.string()});
    }
    // To the last bar "Sair" (Left from the first bar the menu opens on,
    // Right from "Backup"), its one item, then "Sim".
    static void leave(qv::e2e::TmuxSession& s, const std::string& to_sair = "Left") {
        s.keys(to_sair);
        ASSERT_TRUE(s.wait_for("Sair ", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Confirma saída do programa?", 5s)) << s.screen_text();
        s.keys("Enter");
        EXPECT_TRUE(s.wait_exit(10s)) << s.screen_text();
        EXPECT_EQ(s.exit_status(), 0);
    }
    std::string config(const std::string& field) {
        DbfFile dbf(prog / "CONFIG.dbf");
        const auto rec = dbf.find_record("NRO_TERM", "01");
        return rec ? dbf.get(rec, field).value_or("") : std::string("(no record)");
    }

    fs::path root, prog, home;
};

TEST_F(E2eMainProgram, StartsOnAnEmptyFolderShowsTheMenuAndLeaves) {
    auto s = start();
    ASSERT_TRUE(s->wait_for("Declaração", 20s)) << s->screen_text();
    ASSERT_TRUE(s->wait_for("Terminar", 5s)) << s->screen_text();
    const auto rows = s->screen();
    ASSERT_FALSE(rows.empty());
    for (const char* bar : {"Declaração", "Opções", "Selecão", "Impressão", "Env Receita", "Backup", "Sair"})
        EXPECT_NE(rows[0].find(bar), std::string::npos) << bar << " on row 0: " << rows[0];
    const std::string screen = s->screen_text();
    for (const char* box : {"┌", "┐", "└", "┘", "│", "─"})
        EXPECT_NE(screen.find(box), std::string::npos) << "box character " << box << "\n" << screen;
    for (const char* file : {"CONFIG.dbf", "CORES.dbf", "DEFINE.dbf", "DIRET01.dbf", "IMP0912.dbf"})
        EXPECT_TRUE(fs::exists(prog / file)) << file;

    // A second copy on the same terminal is refused.
    auto second = start();
    ASSERT_TRUE(second->wait_for("O programa QV2012 no terminal 01 está em uso", 10s)) << second->screen_text();
    second->keys("Enter");
    EXPECT_TRUE(second->wait_exit(10s)) << second->screen_text();
    EXPECT_TRUE(s->running()) << "the first copy goes on";

    // So is the converter started on its own for that terminal.
    qv::e2e::TmuxSession converter(std::string(QV_BINARY_DIR) + "/qvmigrate", prog.string(),
                                   {"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string()});
    ASSERT_TRUE(converter.wait_for("O programa QV2012 no terminal 01 está em uso", 10s)) << converter.screen_text();
    converter.keys("Enter");
    EXPECT_TRUE(converter.wait_exit(10s)) << converter.screen_text();
    EXPECT_TRUE(s->running()) << "the first copy goes on";

    leave(*s);
    EXPECT_EQ(config("NOMEAG").substr(0, 22), "USUARIO DO TERMINAL 01");
    EXPECT_EQ(config("OPCIRPF"), "J");
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

TEST_F(E2eMainProgram, DumbTerminalEndsItBeforeAnythingIsWritten) {
    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
                           {"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string(), "TERM=dumb"});
    ASSERT_TRUE(s.wait_exit(10s)) << s.screen_text();
    EXPECT_EQ(s.exit_status(), 1);
    EXPECT_FALSE(fs::exists(prog / "CONFIG.dbf"));
}

TEST_F(E2eMainProgram, KeepsItsSettingsBetweenRuns) {
    {
        auto s = start();
        ASSERT_TRUE(s->wait_for("Declaração", 20s)) << s->screen_text();
        leave(*s);
    }
    // Settings saved by an earlier run (as the options do).
    {
        DbfFile dbf(prog / "CONFIG.dbf");
        const auto rec = dbf.find_record("NRO_TERM", "01");
        ASSERT_NE(rec, 0u);
        ASSERT_TRUE(dbf.put(rec, "ULT_CPF", "12345678909"));
        ASSERT_TRUE(dbf.put(rec, "XDRIVE", "B"));
    }
    {
        auto s = start();
        ASSERT_TRUE(s->wait_for("Declaração", 20s)) << s->screen_text();
        // The Backup bar names the drive of the settings.
        s->keys("Left");
        s->keys("Left");
        EXPECT_TRUE(s->wait_for("Compacta todos no B:", 5s)) << s->screen_text();
        leave(*s, "Right");
    }
    EXPECT_EQ(config("ULT_CPF"), "12345678909");
    EXPECT_EQ(config("XDRIVE"), "B");
}

TEST(E2eStart, ConverterStartsAndEnds) {
    if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
    fs::path dir = fresh_folder("migrate");
    qv::e2e::TmuxSession s(std::string(QV_BINARY_DIR) + "/qvmigrate", dir.string(),
                           {"DQV2012=" + dir.string() + "/", "TERMINAL=01"});
    ASSERT_TRUE(s.wait_for("Converte Ver.1.03", 10s)) << s.screen_text();
    s.keys("M-t");
    EXPECT_TRUE(s.wait_exit(10s)) << s.screen_text();
    EXPECT_EQ(s.exit_status(), 0);
    fs::remove_all(dir);
}

}  // namespace
