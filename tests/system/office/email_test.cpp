// E-mail to a taxpayer: the checks made before any connection, and a message
// with accents and an attachment taken by a local SMTP server that asks for
// a login.
#include "office/email.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "runtime/core/cp850.hpp"

extern char** environ;

namespace qv::office {
namespace {

using common::Global;
using rt::operator""_cp;

std::string python() { return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

bool has_smtp_server() {
    const std::string cmd = python() + " -c 'import aiosmtpd' 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
}

// The local server for the life of the test.
class SmtpSink {
public:
    SmtpSink(const std::string& folder, int port) : out_(folder + "/mail.jsonl") {
        const std::string ready = folder + "/ready";
        const std::string script = std::string(QV_SOURCE_DIR) + "/tests/system/office/smtp_sink.py";
        std::vector<std::string> args{python(), script, std::to_string(port), "escritorio", "segredo", out_, ready};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
        for (int i = 0; i < 100 && !std::filesystem::exists(ready); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~SmtpSink() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    std::string received() const {
        std::ifstream in(out_);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    pid_t pid_ = 0;
    std::string out_;
};

class EmailTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        const std::pair<const char*, const char*> draft[] = {
            {"NOM_USUA", "escritorio"}, {"SER_SMTP", ""},      {"SEN_USUA", "segredo"},
            {"EMA_USUA", "irpf@escritorio.com.br"}, {"CEMAIL_ENV", "maria@exemplo.com.br"},
            {"CPFEMAIL", "11144477735"}, {"CENVPEND", "N"}, {"CEDITEXT", "N"}, {"CANEXO", ""}};
        for (const auto& [name, value] : draft) Global{name}.set(rt::Value(value));
        Global{"CASSUNTO"}.set(rt::Value("Declaração 2012"_cp));
    }
    static int free_port() { return 20000 + static_cast<int>(::getpid() % 20000); }
};

TEST_F(EmailTest, MissingSettingsStopBeforeAnyConnection) {
    struct Case {
        const char* variable;
        const char* value;
        const char* message;
    } cases[] = {
        {"NOM_USUA", " ", "Falta configurar o nome do usuário do email"},
        {"SER_SMTP", "", "Falta configurar o servidor SMTP do email"},
        {"CEMAIL_ENV", "", "Preencha antes o endereço para enviar"},
        {"CANEXO", "/nao/existe.txt", "Arquivo /nao/existe.txt não encontrado"},
    };
    for (const auto& c : cases) {
        SetUp();
        Global{"SER_SMTP"}.set(rt::Value("127.0.0.1:1"));
        Global{c.variable}.set(rt::Value(c.value));
        term->snapshots.clear();
        keys({rt::key::ENTER});
        EXPECT_FALSE(MANDA_EMAIL()) << c.variable;
        EXPECT_TRUE(term->showed(c.message)) << c.variable;
    }
}

TEST_F(EmailTest, UnreachableServerShowsTheClientError) {
    Global{"SER_SMTP"}.set(rt::Value("127.0.0.1:1"));
    Global{"CANEXO"}.set(rt::Value(client + "x.txt"));
    std::ofstream(client + "x.txt") << "x";
    keys({rt::key::ENTER});
    EXPECT_FALSE(MANDA_EMAIL());
    EXPECT_TRUE(term->showed("Error: "));
}

TEST_F(EmailTest, MessageWithAccentsAndAttachmentReachesTheServer) {
    if (!has_smtp_server()) GTEST_SKIP() << "no local SMTP server (python3-aiosmtpd)";
    const int port = free_port();
    SmtpSink sink(root, port);
    const std::string file = client + "11144477735.TXT";
    std::ofstream(file, std::ios::binary) << std::string("Declara") + '\x87' + '\xC6' + "o\r\nlinha 2\f";
    Global{"SER_SMTP"}.set(rt::Value("127.0.0.1:" + std::to_string(port)));
    Global{"CANEXO"}.set(rt::Value(file));
    keys({rt::key::ENTER});
    ASSERT_TRUE(MANDA_EMAIL());
    EXPECT_TRUE(term->showed("Email enviado"));
    const std::string got = sink.received();
    EXPECT_NE(got.find("\"subject\": \"Declaração 2012\""), std::string::npos) << got;
    EXPECT_NE(got.find("\"charset\": \"utf-8\""), std::string::npos) << got;
    EXPECT_NE(got.find("\"text\": \"Veja arquivo anexado\""), std::string::npos) << got;
    EXPECT_NE(got.find("\"filename\": \"11144477735.TXT\""), std::string::npos) << got;
    // the file's bytes as they are: "Declara", 87, C6, "o", CR LF, "linha 2", FF
    EXPECT_NE(got.find("\"hex\": \"4465636c617261" "87c6" "6f0d0a6c696e68612032" "0c\""), std::string::npos) << got;

    Global{"SEN_USUA"}.set(rt::Value("errada"));
    keys({rt::key::ENTER});
    EXPECT_FALSE(MANDA_EMAIL());
    EXPECT_TRUE(term->showed("Error: "));
}

}  // namespace
}  // namespace qv::office
