// The shipped printer types chosen in the printer dialog and sent down every
// route from the real program: a file of the work folder, a printer queue
// (the recording lp of the repository), a port without its device, and the
// companion print program with its reprint.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "e2e/declaration_e2e.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The end of every printed declaration without receipts.
constexpr const char* kLastWords = "PROBLEMAS DE CAIXA";

class E2ePrinterRoutes : public qv::e2e::DeclarationE2eTest {
protected:
    E2ePrinterRoutes() : DeclarationE2eTest("qv_e2e_routes_") {}

    std::unique_ptr<qv::e2e::TmuxSession> start_printing(int lp_status) {
        const char* path = std::getenv("PATH");
        return std::make_unique<qv::e2e::TmuxSession>(
            std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
            std::vector<std::string>{"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string(),
                                     "PATH=" + std::string(QV_SOURCE_DIR) + "/tests/tools:" + (path ? path : ""),
                                     "QV_LP_LOG=" + (root / "lp.log").string(),
                                     "QV_LP_STATUS=" + std::to_string(lp_status)});
    }
    // A taxpayer registered with a name, the program back at its main menu.
    static void register_taxpayer(qv::e2e::TmuxSession& s) {
        open_declaration(s, true);
        s.keys("F6");
        ASSERT_TRUE(s.wait_for("IDENTIFICAÇÃO", 5s)) << s.screen_text();
        s.keys("Enter");
        s.text("MARIA DA SILVA");
        s.keys("Enter");
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("P.Jur", 5s)) << s.screen_text();
        s.keys("M-t");
        ASSERT_TRUE(s.wait_for("F1 Nome F2 CPF F3 Stat", 5s)) << s.screen_text();
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("Terminar", 5s)) << s.screen_text();
        s.keys("Right");
        s.keys("Right");
        ASSERT_TRUE(s.wait_for("5-Seleção Impressora", 5s)) << s.screen_text();
    }
    // From the selection bar: the printer type of row `row` (1-4) of the
    // grid; the marks above it are taken off.
    static void choose_type(qv::e2e::TmuxSession& s, int row) {
        s.text("5");
        ASSERT_TRUE(s.wait_for("Porta de saída", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Impressora: ", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Nome Impressora", 5s)) << s.screen_text();
        for (int r = 1; r < row; ++r) {
            s.text("N");   // one letter fills the mark and moves on
            s.keys("Left");
            s.keys("Down");
        }
        s.text("S");
        s.keys("Escape");
        ASSERT_TRUE(s.wait_gone("Nome Impressora", 5s)) << s.screen_text();
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("5-Seleção Impressora", 5s)) << s.screen_text();
    }
    // From the selection bar: the output port form, its ports typed.
    static void open_port_form(qv::e2e::TmuxSession& s, const char* where, const char* lpt) {
        s.text("5");
        ASSERT_TRUE(s.wait_for("Porta de saída", 5s)) << s.screen_text();
        s.keys("Down");
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("Nome da Impressora Padrão:  FILA1", 5s)) << s.screen_text();
        s.text(where);
        s.text(lpt);
        s.text("0");
    }
    // In the output file's field: the name typed over the one there.
    static void type_file(qv::e2e::TmuxSession& s, const std::string& file) {
        s.keys("Home");
        s.keys("C-y");
        s.text(file);
        s.keys("Enter");
    }
    // From the selection bar: the output port form; `file` empty keeps the name.
    static void set_port(qv::e2e::TmuxSession& s, const char* where, const char* lpt, const std::string& file = {}) {
        open_port_form(s, where, lpt);
        if (!file.empty()) type_file(s, file);
        close_port_form(s);
    }
    // Leaves the output port form, which keeps what it holds, back to the bar.
    static void close_port_form(qv::e2e::TmuxSession& s) {
        s.keys("Escape");
        ASSERT_TRUE(s.wait_gone("Nome da Impressora Padrão", 5s)) << s.screen_text();
        s.keys("Escape");
        ASSERT_TRUE(s.wait_for("5-Seleção Impressora", 5s)) << s.screen_text();
    }
    // From the selection bar: the print item for the taxpayer, back to the bar.
    static void print(qv::e2e::TmuxSession& s) {
        s.keys("Right");
        ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
        s.keys("Enter");
        ASSERT_TRUE(s.wait_for("F1 Ordem CPF", 5s)) << s.screen_text();
        s.text("11144477735");
    }
    static void back_to_selection(qv::e2e::TmuxSession& s) {
        ASSERT_TRUE(s.wait_gone("Separando", 20s)) << s.screen_text();
        ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
        s.keys("Left");
        ASSERT_TRUE(s.wait_for("5-Seleção Impressora", 5s)) << s.screen_text();
    }
    // The file once it holds the end of the printout.
    static std::string complete(const fs::path& file, std::chrono::seconds limit = 20s) {
        std::string text;
        for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
            text = read_all(file);
            if (text.find(kLastWords) != std::string::npos) return text;
            std::this_thread::sleep_for(100ms);
        }
        return text;
    }
};

TEST_F(E2ePrinterRoutes, EveryShippedTypeReachesItsRoute) {
    auto session = start_printing(0);
    qv::e2e::TmuxSession& s = *session;
    register_taxpayer(s);

    // The dot-matrix type into the clerk's file, then to the queue.
    choose_type(s, 3);
    set_port(s, "L", "0", "RELAT");
    print(s);
    const std::string file = complete(prog / "RELAT.TXT");
    ASSERT_NE(file.find(kLastWords), std::string::npos) << s.screen_text();
    EXPECT_NE(file.find("\x0F"), std::string::npos) << "condensed for the wide tables";
    back_to_selection(s);
    set_port(s, "R", "1");
    print(s);
    const std::string queued = complete(root / "lp.log.1");
    EXPECT_EQ(queued, file) << "the queue's job, byte for byte";
    EXPECT_NE(read_all(root / "lp.log").find("-o\nraw\n-d\nFILA1\n"), std::string::npos);
    back_to_selection(s);

    // A port whose device is not there is told, and nothing is created.
    set_port(s, "L", "9");
    print(s);
    ASSERT_TRUE(s.wait_for("Não foi possível abrir a saída da impressão: LPT9", 10s)) << s.screen_text();
    s.keys("Enter");
    EXPECT_FALSE(fs::exists("/dev/lp8"));
    back_to_selection(s);

    // The office's own type: the print program hands the text to lp, and
    // the reprint item prints the same file again.
    choose_type(s, 1);
    print(s);
    const std::string text = complete(root / "lp.log.2");
    ASSERT_NE(text.find("Nome: MARIA DA SILVA"), std::string::npos) << s.screen_text();
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(read_all(root / "lp.log").find("-d\nFILA1\n-t\nNAO-DOS.TXT\n"), std::string::npos);
    ASSERT_TRUE(s.wait_gone("Separando", 20s)) << s.screen_text();
    ASSERT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
    s.keys("Down");
    s.keys("Enter");
    EXPECT_EQ(complete(root / "lp.log.3", 10s), text);

    // The plain text type into the clerk's file, whose name the runs of the
    // office's own type left as it was; a name with a folder is refused.
    s.keys("Left");
    ASSERT_TRUE(s.wait_for("5-Seleção Impressora", 5s)) << s.screen_text();
    choose_type(s, 2);
    open_port_form(s, "L", "0");
    ASSERT_TRUE(s.wait_for("Arquivo de saída  RELAT", 5s)) << s.screen_text();
    type_file(s, "../EVIL");
    ASSERT_TRUE(s.wait_for("Informe só o nome do arquivo: ele fica na pasta de trabalho", 5s)) << s.screen_text();
    s.keys("Enter");
    type_file(s, "RELAT");
    close_port_form(s);
    fs::remove(prog / "RELAT.TXT");
    print(s);
    const std::string plain = complete(prog / "RELAT.TXT");
    ASSERT_NE(plain.find("Nome: MARIA DA SILVA"), std::string::npos) << s.screen_text();
    for (const char c : plain)
        ASSERT_TRUE(static_cast<unsigned char>(c) >= 32 || c == '\r' || c == '\n' || c == '\f')
            << "no printer sequence in plain text: " << static_cast<int>(c);
    EXPECT_FALSE(fs::exists(root / "EVIL.TXT"));
    back_to_selection(s);
    EXPECT_FALSE(fs::exists(prog / "Error.log"));
}

TEST_F(E2ePrinterRoutes, AQueueThatRefusesTheJobIsToldAndTheTextKept) {
    auto session = start_printing(1);
    qv::e2e::TmuxSession& s = *session;
    register_taxpayer(s);
    choose_type(s, 4);   // the laser printer
    set_port(s, "R", "1");
    print(s);
    ASSERT_TRUE(s.wait_for("A impressora FILA1 não aceitou a impressão:", 20s)) << s.screen_text();
    EXPECT_TRUE(s.wait_for("O texto ficou guardado em", 1s)) << s.screen_text();
    std::string kept;
    for (const auto& e : fs::directory_iterator(prog))
        if (e.path().filename().string().rfind("FILA-", 0) == 0) kept = read_all(e.path());
    EXPECT_NE(kept.find(kLastWords), std::string::npos);
    EXPECT_NE(kept.find("\x1B(s16.67H"), std::string::npos) << "the laser's condensed pitch";
    EXPECT_EQ(read_all(root / "lp.log.1"), kept);
    s.keys("Enter");
    EXPECT_TRUE(s.wait_for("imp Não Dos", 5s)) << s.screen_text();
}

}  // namespace
