// A billing slip for a registered taxpayer entered from the main menu, and
// the bank remittance file generated from it.
#include <ctime>
#include <utility>
#include <fstream>
#include <iterator>

#include "e2e/declaration_e2e.hpp"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class E2eBilling : public qv::e2e::DeclarationE2eTest {
protected:
    E2eBilling() : DeclarationE2eTest("qv_e2e_billing_") {}
};

// "C" + YYMMDD + "A.txt" of today.
std::string first_file_of_today() {
    const std::time_t now = std::time(nullptr);
    char buf[32];
    std::strftime(buf, sizeof buf, "C%y%m%dA.txt", std::localtime(&now));
    return buf;
}

TEST_F(E2eBilling, ASlipEnteredFromTheMenuEndsInTheRemittanceFile) {
    auto s = start();
    open_declaration(*s, true);   // the taxpayer enters the register
    // Back to the main menu, the options bar, the slips; one slip of 150,00,
    // document 1, reference 5, due today; no other; the file.
    const std::pair<const char*, const char*> steps[] = {
        {"Escape", "P.Jur"}, {"M-t", "F1 Nome F2 CPF F3 Stat"}, {"Escape", "Terminar"}, {"Right", "Boletos"},
        {"b", "Config. emitente"}, {"p", "CPF do sacado"}};
    for (const auto& [key, shown] : steps) {
        s->keys(key);
        ASSERT_TRUE(s->wait_for(shown, 20s)) << s->screen_text();
    }
    s->text("11144477735");
    for (const char* typed : {"", "150", "1", "5"}) {
        if (*typed) s->text(typed);
        s->keys("Enter");
    }
    ASSERT_TRUE(s->wait_for("Confirma os dados ?", 20s)) << s->screen_text();
    s->keys("Enter");
    ASSERT_TRUE(s->wait_for("Outro boleto ?", 20s)) << s->screen_text();
    s->keys("Right");
    s->keys("Enter");
    ASSERT_TRUE(s->wait_for("Gera o Arquivo", 20s)) << s->screen_text();
    s->keys("g");
    // The message wraps where the folder's length puts it; its last word stands alone.
    ASSERT_TRUE(s->wait_for("sucesso.", 20s)) << s->screen_text();

    const fs::path file = prog / first_file_of_today();
    ASSERT_TRUE(fs::exists(file)) << s->screen_text();
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), 3u * 402);
    const std::string detail = bytes.substr(402, 400);
    EXPECT_EQ(detail.substr(62, 8), "00000005");                   // the bank's reference
    EXPECT_EQ(detail.substr(110, 5), "00001");                     // the office's document
    EXPECT_EQ(detail.substr(126, 13), "0000000015000");            // 150,00 in cents
    EXPECT_EQ(detail.substr(218, 16), "0100011144477735");         // the payer's CPF
    s->keys("Enter");
    s->keys("Escape");
}

}  // namespace
