// The converter as an office runs it at the start of a year: last year's
// edition carried into a data folder, the program left and started again,
// then the payroll export imported and transferred into the income rows the
// folder has already.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/dbf_tables.hpp"
#include "e2e/tmux_session.hpp"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using qv::e2e::DbfField;
using qv::e2e::DbfRow;

namespace {

const std::string kAna = "12345678909", kCarla = "52998224725";
const DbfField kCpf{"CPF", 'C', 11};

// The file of a folder whatever the case the program gave its name.
fs::path in_folder(const fs::path& folder, const std::string& name) {
    std::string wanted = name;
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), ::toupper);
    for (const auto& e : fs::directory_iterator(folder)) {
        std::string n = e.path().filename().string();
        std::transform(n.begin(), n.end(), n.begin(), ::toupper);
        if (n == wanted) return e.path();
    }
    return folder / name;
}

// Last year's edition: two taxpayers, the birth date kept as text, a
// payer, a pension and a self-employment income, an asset described on two
// rows; the other tables hold no rows.
void write_last_year(const fs::path& src) {
    using qv::e2e::write_dbf;
    write_dbf(src / "IMP0911.DBF",
              {kCpf, {"NOMECONTR", 'C', 60}, {"DDDTEL", 'C', 4}, {"TEMRURAL", 'C', 1}, {"IMPPGRE", 'N', 12, 2},
               {"NASCIMENTO", 'C', 10}},
              {{{"CPF", kAna}, {"NOMECONTR", "ANA SOUZA"}, {"TEMRURAL", "N"}, {"IMPPGRE", "-500.00"},
                {"NASCIMENTO", "15/03/1970"}},
               {{"CPF", kCarla}, {"NOMECONTR", "CARLA DIAS"}, {"DDDTEL", "21"}, {"TEMRURAL", "N"},
                {"NASCIMENTO", "19800101"}}});
    write_dbf(src / "IMP0211.DBF", {kCpf, {"I1_1", 'C', 1}, {"I1_2", 'C', 60}, {"I1_3", 'C', 18}, {"I1_4", 'N', 12, 2}},
              {{{"CPF", kAna}, {"I1_1", "J"}, {"I1_2", "FIRMA X"}, {"I1_3", "11.111.111/0001-91"}, {"I1_4", "5000.00"}},
               {{"CPF", kAna}, {"I1_1", "M"}, {"I1_2", "PENSAO"}},
               {{"CPF", kCarla}, {"I1_1", "F"}, {"I1_2", "CONSULTAS"}}});
    write_dbf(src / "IMP0411.DBF",
              {kCpf, {"I7_1", 'N', 3}, {"I7_2", 'C', 200}, {"I7_3", 'N', 12, 2}, {"I7_4", 'N', 12, 2}, {"I7_5", 'N', 2}},
              {{{"CPF", kAna}, {"I7_1", "1"}, {"I7_2", "CASA"}, {"I7_5", "11"}},
               {{"CPF", kAna}, {"I7_1", "0"}, {"I7_2", "NA PRAIA"}, {"I7_3", "100.00"}, {"I7_4", "150.00"}}});
    for (const char* t : {"IMP0111", "IMP0311", "IMP0511", "IMP0611", "IMP0711", "IMP0811", "IMP1011", "IMP1111",
                          "IMP1411", "IMP1511", "IMP1611", "IMP1711", "IMP1811"})
        write_dbf(src / (std::string(t) + ".DBF"), {kCpf}, {});
}

// Ana from her usual payer and from a new one, Carla from Ana's payer, and
// a line whose CPF is wrong.
void write_payroll(const fs::path& folder) {
    const auto line = [](const std::string& cpf, const std::string& name, const std::string& payer,
                         const std::string& cnpj, const std::string& income) {
        return "\"" + cpf + "\",\"" + name + "\",\"" + payer + "\",\"" + cnpj + "\"," + income +
               ",0,0,0,100,0,0,0,0,0,0,0,\"\",\"\",\"\",0,0,\"\"\r\n";
    };
    std::ofstream(folder / "folha.txt", std::ios::binary)
        << line(kAna, "ANA SOUZA", "FIRMA X", "11.111.111/0001-91", "6000")
        << line(kAna, "ANA SOUZA", "FIRMA Y", "22222222000191", "2000")
        << line(kCarla, "CARLA DIAS", "FIRMA X", "11.111.111/0001-91", "1500")
        << line("12345678900", "ERRADO", "FIRMA X", "11.111.111/0001-91", "10");
}

std::vector<std::string> income_rows(const fs::path& folder) {
    std::vector<std::string> out;
    for (const DbfRow& r : qv::e2e::read_dbf(in_folder(folder, "IMP0212.DBF")))
        out.push_back(r.at("CPF") + " " + r.at("I1_1") + " " + r.at("I1_3") + " " + r.at("I1_4"));
    std::sort(out.begin(), out.end());
    return out;
}

class E2eConverterYear : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qv::e2e::tmux_available()) GTEST_SKIP() << "tmux is not installed";
        root = fs::temp_directory_path() / ("qv_e2e_year_" + std::to_string(getpid()));
        fs::remove_all(root);
        for (const auto& d : {prog(), root / "home", source(), data()}) fs::create_directories(d);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    fs::path prog() const { return root / "prog"; }
    fs::path source() const { return root / "qv2011"; }
    fs::path data() const { return root / "dados"; }
    std::unique_ptr<qv::e2e::TmuxSession> start() {
        return std::make_unique<qv::e2e::TmuxSession>(
            std::string(QV_BINARY_DIR) + "/qvmigrate", prog().string(),
            std::vector<std::string>{"DQV2012=" + prog().string() + "/", "TERMINAL=05", "HOME=" + (root / "home").string()});
    }
    // Terminar; a key typed during the pause after an action is taken by
    // the pause, so it is typed again until the program has ended.
    static void leave(qv::e2e::TmuxSession& s) {
        for (int attempt = 0; attempt < 4 && s.running(); ++attempt) {
            s.keys("M-t");
            s.wait_exit(3s);
        }
        EXPECT_FALSE(s.running()) << s.screen_text();
    }
    fs::path root;
};

TEST_F(E2eConverterYear, LastYearThenPayrollIntoTheIncomeRowsOfTheFolder) {
    write_last_year(source());
    {
        auto s = start();
        ASSERT_TRUE(s->wait_for("Conversao", 20s)) << s->screen_text();
        s->keys("Enter");   // QV2011
        ASSERT_TRUE(s->wait_for("Drive e a pasta   QV2011", 10s)) << s->screen_text();
        s->keys("C-y");
        s->text(source().string());
        s->keys("Enter");
        s->keys("C-y");
        s->text(data().string());
        s->keys("Enter");
        s->keys("Enter");
        // The form is read again after the checks; Esc accepts it.
        s->keys("Escape");
        ASSERT_TRUE(s->wait_for("CARLA DIAS", 10s)) << s->screen_text();
        s->keys("M-=");
        s->keys("Escape");
        ASSERT_TRUE(s->wait_for("a providência a tomar", 10s)) << s->screen_text();
        s->keys("Enter");
        ASSERT_TRUE(s->wait_for("Permanece no diretório", 20s)) << s->screen_text();
        EXPECT_NE(s->screen_text().find("Convertidos        2"), std::string::npos) << s->screen_text();
        s->keys("S");
        ASSERT_TRUE(s->wait_gone("Permanece no diretório", 10s)) << s->screen_text();
        leave(*s);
    }
    const auto reg = qv::e2e::read_dbf(in_folder(data(), "IMP0912.DBF"));
    ASSERT_EQ(reg.size(), 2u);
    EXPECT_EQ(reg[0].at("NASCIMENTO"), "19700315");
    EXPECT_EQ(reg[0].at("DDDTEL"), "");
    const auto assets = qv::e2e::read_dbf(in_folder(data(), "IMP0412.DBF"));
    ASSERT_EQ(assets.size(), 1u);
    EXPECT_EQ(assets[0].at("I7_2"), "CASA NA PRAIA");
    // The pension of the folder has its amount when the statements come.
    ASSERT_TRUE(qv::e2e::set_dbf_field(
        in_folder(data(), "IMP0212.DBF"), [](const DbfRow& r) { return r.at("CPF") == kAna && r.at("I1_1") == "M"; },
        "I1_4", "1200.00"));
    write_payroll(data());
    {
        auto s = start();
        ASSERT_TRUE(s->wait_for("Conversao", 20s)) << s->screen_text();
        s->keys("c");   // Comprovante
        ASSERT_TRUE(s->wait_for("Importar dados", 10s)) << s->screen_text();
        s->keys("i");
        // The folder stored by the last run is proposed.
        ASSERT_TRUE(s->wait_for("Drive e pasta do Arquivo FOLHA.TXT", 10s)) << s->screen_text();
        ASSERT_TRUE(s->wait_for(data().string(), 5s)) << s->screen_text();
        s->keys("Enter");
        ASSERT_TRUE(s->wait_for("Linha 4: CPF 12345678900 incorreto", 10s)) << s->screen_text();
        s->keys("Enter");
        // The same file again: said, and not added.
        ASSERT_TRUE(s->wait_gone("Linha 4: CPF", 5s)) << s->screen_text();
        s->keys("i");
        ASSERT_TRUE(s->wait_for("Drive e pasta do Arquivo FOLHA.TXT", 10s)) << s->screen_text();
        s->keys("Enter");
        ASSERT_TRUE(s->wait_for("Linha 4: CPF 12345678900 incorreto", 10s)) << s->screen_text();
        s->keys("Enter");
        ASSERT_TRUE(s->wait_for("3 de 3 comprovantes iguais", 10s)) << s->screen_text();
        s->keys("N");
        ASSERT_TRUE(s->wait_gone("3 de 3 comprovantes iguais", 5s)) << s->screen_text();
        s->keys("t");
        ASSERT_TRUE(s->wait_for("Acrescente", 10s)) << s->screen_text();
        s->keys("Enter");
        ASSERT_TRUE(s->wait_gone("Acrescente", 10s)) << s->screen_text();
        // The end is said for a moment, which a key would cut short: the
        // menu is used again once it has gone (a glance that misses it on a
        // busy machine has waited longer than the moment all the same).
        s->wait_for("Dados Transferidos", 5s);
        ASSERT_TRUE(s->wait_gone("Dados Transferidos", 10s)) << s->screen_text();
        ASSERT_TRUE(s->wait_for("Importar dados", 10s)) << s->screen_text();
        s->keys("Escape");
        leave(*s);
    }
    // Ana keeps her pension; her usual payer's row is brought up to date and
    // the new payer gets a row; Carla's payer is added beside her own work.
    EXPECT_EQ(income_rows(data()), (std::vector<std::string>{
                                       kAna + " J 11.111.111/0001-91 6000.00",
                                       kAna + " J 22.222.222/0001-91 2000.00",
                                       kAna + " M  1200.00",
                                       kCarla + " F  0.00",
                                       kCarla + " J 11.111.111/0001-91 1500.00",
                                   }));
    EXPECT_TRUE(qv::e2e::read_dbf(in_folder(prog(), "FOLHAPG.DBF")).empty());
}

}  // namespace
