// Every item of the main menu opened on a folder with taxpayers and left
// again the way a clerk leaves it: each gives back the screen it found.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A register of the older layout with two taxpayers (fields CPF C 11 and
// NOMECONTR C 53): the first start upgrades it to the current one.
void write_register(const fs::path& path) {
    const std::vector<std::pair<std::string, std::string>> rows{{"11144477735", "JOSE ALVES"},
                                                                {"12345678909", "MARIA SOUZA"}};
    std::string h(32, '\0');
    h[0] = 0x03;
    h[1] = 111, h[2] = 12, h[3] = 9;
    h[4] = static_cast<char>(rows.size());
    const int header = 32 + 2 * 32 + 1, record = 1 + 11 + 53;
    h[8] = static_cast<char>(header & 0xFF), h[9] = static_cast<char>(header >> 8);
    h[10] = static_cast<char>(record & 0xFF), h[11] = static_cast<char>(record >> 8);
    const auto field = [](const std::string& name, int len) {
        std::string f(32, '\0');
        f.replace(0, name.size(), name);
        f[11] = 'C';
        f[16] = static_cast<char>(len);
        return f;
    };
    std::ofstream out(path, std::ios::binary);
    out << h << field("CPF", 11) << field("NOMECONTR", 53) << '\x0D';
    for (const auto& [cpf, name] : rows) out << ' ' << cpf << name << std::string(53 - name.size(), ' ');
    out << '\x1A';
}

// One menu item: its bar (Alt + the bar's letter), its hot letter, a text
// its screen shows (empty: one the pop-up shows too), and the keys that leave it, each followed by a text to
// wait for (empty: none).
struct Step {
    std::string keys;
    std::string then;
    bool gone = false;   // wait for `then` to leave the screen instead
};
struct Item {
    const char* name;
    std::string hot;
    std::string shown;
    std::vector<Step> leave;
};
struct Bar {
    std::string alt;
    std::string popup;   // a caption only its pop-up shows
    std::vector<Item> items;
};

class E2eMainMenu : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_menu_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        prog = root / "prog";
        home = root / "home";
        fs::create_directories(prog);
        fs::create_directories(home);
        write_register(prog / "IMP0912.dbf");
        s = std::make_unique<qv::e2e::TmuxSession>(
            std::string(QV_BINARY_DIR) + "/qv2012v", prog.string(),
            std::vector<std::string>{"DQV2012=" + prog.string() + "/", "TERMINAL=01", "HOME=" + home.string()});
        ASSERT_TRUE(s->wait_for("Lancamentos", 20s)) << s->screen_text();
        s->keys("Escape");
        ASSERT_TRUE(s->wait_gone("Lancamentos", 5s)) << s->screen_text();
        ASSERT_TRUE(s->wait_for("Term. 01", 5s)) << s->screen_text();
        found = rows();
        status = s->screen().at(24);
    }
    void TearDown() override {
        s.reset();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // The screen without its status line, which says what the bar points at.
    std::vector<std::string> rows() const {
        std::vector<std::string> r = s->screen();
        r.resize(24);
        return r;
    }
    void walk(const Bar& bar) {
        for (const Item& item : bar.items) {
            SCOPED_TRACE(item.name);
            s->keys(bar.alt);
            ASSERT_TRUE(s->wait_for(bar.popup, 5s)) << s->screen_text();
            s->keys(item.hot);
            // A screen whose texts the pop-up shares: the pop-up going says it opened.
            if (item.shown.empty()) {
                ASSERT_TRUE(s->wait_gone(bar.popup, 5s)) << s->screen_text();
            } else {
                ASSERT_TRUE(s->wait_for(item.shown, 10s)) << s->screen_text();
            }
            for (const Step& step : item.leave) {
                s->keys(step.keys);
                if (!step.then.empty()) {
                    ASSERT_TRUE(step.gone ? s->wait_gone(step.then, 10s) : s->wait_for(step.then, 10s))
                        << s->screen_text();
                }
            }
            // The menu opens again on the item's bar; closed, it shows the
            // screen the item found.
            ASSERT_TRUE(s->wait_for(bar.popup, 10s)) << s->screen_text();
            expect_status_line_given_back();
            s->keys("Escape");
            ASSERT_TRUE(s->wait_gone("Lancamentos", 5s)) << s->screen_text();
            EXPECT_EQ(rows(), found) << s->screen_text();
        }
    }
    // While the menu is open its status line shows the item pointed at;
    // what an item left there shows again inside the next item chosen. The
    // question of "Sair", which writes no status text, shows it.
    void expect_status_line_given_back() {
        s->keys("M-r");
        ASSERT_TRUE(s->wait_for("Confirma saída do programa?", 5s)) << s->screen_text();
        EXPECT_EQ(s->screen().at(24), status) << s->screen_text();
        s->keys("Escape");
        ASSERT_TRUE(s->wait_for("Lancamentos", 5s)) << s->screen_text();
    }
    void leave_program() {
        s->keys("M-s");
        ASSERT_TRUE(s->wait_for("Sair ", 5s)) << s->screen_text();
        s->keys("r");
        ASSERT_TRUE(s->wait_for("Confirma saída do programa?", 5s)) << s->screen_text();
        s->keys("Enter");
        EXPECT_TRUE(s->wait_exit(10s)) << s->screen_text();
        EXPECT_EQ(s->exit_status(), 0);
    }

    fs::path root, prog, home;
    std::unique_ptr<qv::e2e::TmuxSession> s;
    std::vector<std::string> found;
    std::string status;
};

const std::vector<Step> kEsc{{"Escape", ""}};

TEST_F(E2eMainMenu, DeclarationBar) {
    walk({"M-l",
          "Lancamentos",
          // The register, of an older layout, was upgraded at the first
          // start: the list of F1 shows its taxpayers.
          {{"declaration", "d", "F1 Nome F2 CPF", {{"F1", "MARIA SOUZA"}, {"Escape", "MARIA SOUZA", true}, {"Escape", ""}}},
           {"bookkeeping", "l", "F1 Nome F2 CPF", kEsc},
           // A taxpayer checked: the check's lines go with it.
           {"check", "c", "F1 Nome F2 CPF", {{"11144477735", "Notas e observa"}, {"Escape", ""}}},
           // A day's list, and the calendar its F1 opens over the logo.
           {"agenda",
            "a",
            "Marca um evento",
            {{"m", "mostra calendario"}, {"F1", "Data de Hoje"}, {"Escape", "Data de Hoje", true}, {"Escape", ""}}},
           {"folders", "p", "Pastas de dados", kEsc},
           {"deletion", "e", "Elim.", kEsc},
           {"converter", "i", "Conversao", {{"t", ""}}}}});
    // "Terminar" leaves without a question.
    s->keys("M-l");
    ASSERT_TRUE(s->wait_for("Lancamentos", 5s)) << s->screen_text();
    s->keys("t");
    EXPECT_TRUE(s->wait_exit(10s)) << s->screen_text();
    EXPECT_EQ(s->exit_status(), 0);
}

TEST_F(E2eMainMenu, OptionsBar) {
    walk({"M-p",
          "Valores a Cobrar",
          {{"work folder", "a", "Pasta atual:", kEsc},
           {"folder copy", "t", "Pasta origem", kEsc},
           {"colours", "m", "Contorno", kEsc},
           {"prices", "v", "Valor por minuto", kEsc},
           {"autosave", "g", "Só no final", kEsc},
           {"statuses", "d", "Altera status", kEsc},
           {"SELIC", "s", "Taxa SELIC", kEsc},
           {"reindex", "r", "refará todos", kEsc},
           {"CPF change", "p", "CPF original", kEsc},
           {"part copy", "c", "CPF destino", kEsc},
           {"export", "x", "imóVeis rurais", kEsc},
           {"billing", "b", "Config. emitente", kEsc},
           {"e-mail", "e", "Configura Email", kEsc}}});
    leave_program();
}

TEST_F(E2eMainMenu, SelectionAndPrintingBars) {
    walk({"M-o",
          "Configura NAO DOS",
          {{"what", "1", "Declaração própria", kEsc},
           {"paper", "2", "", kEsc},
           {"pages", "3", "Tudo menos Balanço", kEsc},
           {"whom", "4", "Grupo selec.", kEsc},
           {"printer", "5", "Porta de saída", kEsc},
           {"NAO DOS",
            "6",
            "Impressoras Existentes",
            {{"Escape", "no video"}, {"Escape", "copia do arquivo TXT"}, {"Escape", ""}}},
           {"copies", "7", "nro vias", kEsc}}});
    walk({"M-i",
          "imp Não Dos",
          {{"print", "i", "F1 Ordem CPF", kEsc},
           {"NAO DOS file", "n", "Gere antes o arquivo NAO DOS", {{"Enter", ""}}},
           {"letters", "c", "F10 Menu", {{"Escape", "Sair do Editor"}, {"Enter", ""}}}}});
    leave_program();
}

TEST_F(E2eMainMenu, TransferBar) {
    walk({"M-e",
          "Recupera Declaração do IRPF",
          {{"one", "s", "Evite o envio", {{"Enter", "F1 Nome F2 CPF"}, {"Escape", ""}}},
           {"marked", "c", "Marque [S]", {{"Escape", "Evite enviar"}, {"Enter", ""}}},
           {"all", "t", "Evite enviar", {{"Enter", ""}}},
           {"automatic", "a", "ao salvar a declaração?", kEsc},
           {"status", "u", "Estatus:", {{"Escape", "somente as declarações com o"}, {"Escape", ""}}},
           {"status after", "m", "passe para transmitidas", kEsc},
           {"tax program folder", "l", "Pasta atual:", kEsc},
           {"lost declarations", "r", "recuperar a lista dos CPFs", kEsc}}});
    leave_program();
}

TEST_F(E2eMainMenu, BackupAndLeavingBars) {
    walk({"M-b",
          "Informa o processador",
          {{"direct copy", "f", "cópia direta", {{"Enter", "Pasta origem"}, {"Escape", ""}}},
           {"all folders", "c", "letra do Drive", kEsc},
           {"one folder", "o", "Pasta origem", kEsc},
           {"copy back", "r", "Pasta origem", kEsc},
           {"all folders back", "d", "letra do Drive", kEsc},
           {"one folder back", "e", "Pasta origem", kEsc},
           {"archiver", "n", "Troca para o", kEsc},
           {"processor", "i", "bits", kEsc}}});
    // "Não" to leaving comes back to the menu on its first bar.
    s->keys("M-s");
    ASSERT_TRUE(s->wait_for("Sair ", 5s)) << s->screen_text();
    s->keys("r");
    ASSERT_TRUE(s->wait_for("Confirma saída do programa?", 5s)) << s->screen_text();
    s->keys("Escape");
    ASSERT_TRUE(s->wait_for("Lancamentos", 5s)) << s->screen_text();
    s->keys("Escape");
    ASSERT_TRUE(s->wait_gone("Lancamentos", 5s)) << s->screen_text();
    EXPECT_EQ(rows(), found) << s->screen_text();
    leave_program();
}

}  // namespace
