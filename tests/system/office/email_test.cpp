// E-mail to a taxpayer: the checks made before any connection, a message
// with accents and an attachment taken by a local SMTP server that asks for
// a login after STARTTLS, and a server offering the login without TLS,
// which gets neither the password nor the message.
#include "office/email.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
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
#include "runtime/core/text.hpp"
#include "runtime/os/mail.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

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
    SmtpSink(const std::string& folder, int port, const char* mode) : out_(folder + "/" + mode + ".jsonl") {
        const std::string ready = folder + "/" + mode + ".ready";
        const std::string script = std::string(QV_SOURCE_DIR) + "/tests/system/office/smtp_sink.py";
        std::vector<std::string> args{python(), script, std::to_string(port), "escritorio", "segredo", out_, ready, mode};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
        // a loaded machine starts python and its TLS slowly
        for (int i = 0; i < 600 && !std::filesystem::exists(ready); ++i)
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
    void TearDown() override {
        ::unsetenv("SSL_CERT_FILE");
        FoldersTest::TearDown();
    }
    // A port nobody holds now: the system's choice for a socket bound to 0.
    static int free_port() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof at;
        int port = 0;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &len) == 0)
            port = ntohs(at.sin_port);
        if (fd >= 0) ::close(fd);
        return port;
    }
    // The local servers present the test certificate of the repository.
    static void trust_the_test_server() {
        ::setenv("SSL_CERT_FILE", (std::string(QV_SOURCE_DIR) + "/tests/system/office/smtp_test_cert.pem").c_str(), 1);
    }
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

TEST_F(EmailTest, TheLetterAskedForTheBodyLeavesNoPromptBehind) {
    std::ofstream(prog + "aviso.txt", std::ios::binary) << "Prezado cliente";
    rt::at_say(22, 0, std::string(80, '.'));
    Global{"SER_SMTP"}.set(rt::Value("127.0.0.1:1"));
    Global{"CEDITEXT"}.set(rt::Value("S"));
    keys({'A', 'V', 'I', 'S', 'O', rt::key::ENTER, rt::key::ENTER});
    EXPECT_FALSE(MANDA_EMAIL());
    EXPECT_TRUE(term->showed("Nome da Carta:AVISO"));
    EXPECT_TRUE(term->showed("Error: "));
    EXPECT_EQ(term->text(22), std::string(80, '.')) << "the letter's prompt goes with its answer";
}

TEST_F(EmailTest, MessageWithAccentsAndAttachmentReachesTheServerOverTls) {
    if (!has_smtp_server()) GTEST_SKIP() << "no local SMTP server (python3-aiosmtpd)";
    const int port = free_port();
    SmtpSink sink(root, port, "starttls");
    trust_the_test_server();
    const std::string file = client + "11144477735.TXT";
    std::ofstream(file, std::ios::binary) << std::string("Declara") + '\x87' + '\xC6' + "o\r\nlinha 2\f";
    Global{"SER_SMTP"}.set(rt::Value("127.0.0.1:" + std::to_string(port)));
    Global{"CANEXO"}.set(rt::Value(file));
    keys({rt::key::ENTER});
    ASSERT_TRUE(MANDA_EMAIL());
    EXPECT_TRUE(term->showed("Email enviado"));
    const std::string got = sink.received();
    // The login went over the encrypted connection only.
    EXPECT_NE(got.find("\"tls\": true"), std::string::npos) << got;
    EXPECT_EQ(got.find("\"tls\": false"), std::string::npos) << got;
    EXPECT_NE(got.find("\"subject\": \"Declaração 2012\""), std::string::npos) << got;
    EXPECT_NE(got.find("\"message_id\": \"<"), std::string::npos) << got;
    EXPECT_NE(got.find("@escritorio.com.br>\""), std::string::npos) << got;
    EXPECT_NE(got.find("\"charset\": \"utf-8\""), std::string::npos) << got;
    EXPECT_NE(got.find("\"text\": \"Veja arquivo anexado\""), std::string::npos) << got;
    // The printed file goes as text in the system's code page, its bytes as
    // they are: "Declara", 87, C6, "o", CR LF, "linha 2", FF.
    EXPECT_NE(got.find("\"type\": \"text/plain\", \"charset\": \"ibm850\", \"filename\": \"11144477735.TXT\""),
              std::string::npos) << got;
    EXPECT_NE(got.find("\"text\": \"Declaração\\r\\nlinha 2\\f\""), std::string::npos) << got;
    EXPECT_NE(got.find("\"hex\": \"4465636c617261" "87c6" "6f0d0a6c696e68612032" "0c\""), std::string::npos) << got;

    Global{"SEN_USUA"}.set(rt::Value("errada"));
    keys({rt::key::ENTER});
    EXPECT_FALSE(MANDA_EMAIL());
    EXPECT_TRUE(term->showed("Error: "));
}

TEST_F(EmailTest, AServerOfferingTheLoginWithoutTlsGetsNoPassword) {
    if (!has_smtp_server()) GTEST_SKIP() << "no local SMTP server (python3-aiosmtpd)";
    const int port = free_port();
    SmtpSink sink(root, port, "plain");
    const std::string server = "127.0.0.1:" + std::to_string(port);
    Global{"SER_SMTP"}.set(rt::Value(server));
    Global{"CASSUNTO"}.set(rt::Value("Pendencias"));
    Global{"CANEXO"}.set(rt::Value(client + "x.txt"));
    std::ofstream(client + "x.txt") << "x";
    keys({rt::key::ENTER});
    EXPECT_FALSE(MANDA_EMAIL());
    EXPECT_TRUE(term->showed("O servidor " + server + " não oferece conexão segura (TLS)."));
    EXPECT_TRUE(term->showed("Sem ela a senha não vai pela rede: o email não foi enviado."));
    EXPECT_EQ(sink.received(), "") << "no login tried, no message";
}

TEST_F(EmailTest, AMemorisedPasswordIsKeptFromOtherUsers) {
    ASSERT_TRUE(tables::ABERTURA(43));
    const std::string define = tables::ws().table(43)->path();
    // The settings as an older version created them: readable by everyone.
    namespace fs = std::filesystem;
    fs::permissions(define, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    Global{"SER_SMTP"}.set(rt::Value("smtp.exemplo.com.br:587"));
    Global{"MEMORIZ"}.set(rt::Value("S"));
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::ENTER});
    for (const char c : std::string("segredo")) term->feed(c);
    keys({rt::key::ENTER, rt::key::ENTER});   // the password, "Sim"
    CONF_EMAIL();
    ASSERT_TRUE(tables::ABERTURA(43));
    tables::ws().table(43)->go_top();
    EXPECT_EQ(rt::TRIM(tables::ws().table(43)->get("SEN_USUA").as_string()), "segredo");
    EXPECT_EQ(fs::status(define).permissions() & fs::perms::others_all, fs::perms::none);
}

// A yes/no field of the account and of the draft refuses anything else
// with the system's words.
TEST_F(EmailTest, AYesNoFieldRefusesOtherLettersWithItsMessage) {
    struct Case {
        const char* field;
        void (*form)();
        int enters;   // the fields before it
    };
    const Case cases[] = {{"MEMORIZ", CONF_EMAIL, 3}, {"CENVPEND", PREP_EMAIL, 4}, {"CEDITEXT", PREP_EMAIL, 5}};
    ASSERT_TRUE(tables::ABERTURA(9));
    rt::table::Table& reg = *tables::ws().table(9);
    ASSERT_TRUE(reg.append_blank());
    reg.put("CPF", rt::Value("11144477735"));
    reg.put("EMAIL", rt::Value("maria@exemplo.com.br"));
    reg.commit();
    reg.unlock();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        Global{"SER_SMTP"}.set(rt::Value("smtp.exemplo.com.br:587"));
        for (const char* f : {"MEMORIZ", "CENVPEND", "CEDITEXT"}) Global{f}.set(rt::Value("N"));
        term->snapshots.clear();
        for (int i = 0; i < c.enters; ++i) keys({rt::key::ENTER});
        term->feed('X');
        keys({rt::key::ENTER, rt::key::ESC});   // the message's Ok, then leave the form
        c.form();
        EXPECT_TRUE(term->showed("Digite S de sim ou N de nao")) << term->all_snapshots();
    }
}

TEST(MailAttachments, TextGoesAsTextWithTheCharsetItsBytesShow) {
    const std::pair<std::string, const char*> cases[] = {
        {"linha 1\r\nlinha 2\f", "text/plain; charset=us-ascii"},
        {"Declara\x87\xC6o\r\n", "text/plain; charset=IBM850"},
        {"Declara\xC3\xA7\xC3\xA3o\n", "text/plain; charset=utf-8"},
        {"\x12" "Nome\x1B" "&l0E " + std::string(40, 'x'), "text/plain; charset=us-ascii"},
        {std::string("PK\x03\x04\0\0", 6), "application/octet-stream"},
        {std::string(10, '\x01') + "abc", "application/octet-stream"},
    };
    for (const auto& [bytes, type] : cases) EXPECT_EQ(rt::os::attachment_type(bytes), type) << bytes;
}

}  // namespace
}  // namespace qv::office
