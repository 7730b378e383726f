// The bank remittance file, column by column, and its generation from the
// waiting slips.
#include "office/billing.hpp"

#include <filesystem>
#include <fstream>

#include "../system_fixture.hpp"
#include "common/globals.hpp"
#include "office/remittance.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"

namespace qv::office {
namespace {

using common::Global;
namespace tb = rt::table;

rt::Date ymd(int y, int m, int d) { return rt::Date::from_ymd(y, m, d); }

// Columns `from`..`to` (1-based) of a record.
std::string cols(const std::string& record, std::size_t from, std::size_t to) { return record.substr(from - 1, to - from + 1); }

const Issuer kCompany{"0123", "456789", "ESCRITORIO CONTABIL", "12345678000195", "", "109"};

TEST(Remittance, RecordsAreLaidOutColumnByColumn) {
    Slip slip{77, 1234, ymd(2012, 3, 31), 1234.56, "MARIA DA SILVA", "11144477735",
              {"RUA", "DAS FLORES DO CAMPO VERDE E AZUL", "123", "JARDIM BOTANICO DE BAIXO", "01234567",
               "SAO JOSE DOS CAMPOS DO NORTE", "SP"}};
    const std::string file = remittance_file(kCompany, {slip}, ymd(2012, 3, 15));
    ASSERT_EQ(file.size(), 3u * 402);
    const std::string header = file.substr(0, 400), detail = file.substr(402, 400), trailer = file.substr(804, 400);
    for (std::size_t at : {400u, 802u, 1204u}) EXPECT_EQ(file.substr(at, 2), "\r\n");
    EXPECT_EQ(cols(header, 1, 46), "01REMESSA01COBRANCA       012300456789        ");
    EXPECT_EQ(cols(header, 77, 100), "341BANCO ITAU SA  150312");
    EXPECT_EQ(cols(header, 395, 400), "000001");
    EXPECT_EQ(cols(detail, 1, 29), "10212345678000195012300456789");
    EXPECT_EQ(cols(detail, 63, 86), "00001234" + std::string(13, '0') + "109");
    EXPECT_EQ(cols(detail, 108, 156), "I0100077     3103120000000123456" "3410000017N150312");
    EXPECT_EQ(cols(detail, 219, 264), "0100011144477735MARIA DA SILVA                ");
    EXPECT_EQ(cols(detail, 275, 314), "RUA DAS FLORES DO CAMPO VERDE E 123     ");
    EXPECT_EQ(cols(detail, 315, 351), "JARDIM BOTAN01234567SAO JOSE DOS CASP");
    EXPECT_EQ(cols(detail, 386, 400), "00000000 000002");
    EXPECT_EQ(trailer, "9" + std::string(393, ' ') + "000003");

    Issuer person = kCompany;
    person.cnpj = "";
    person.cpf = "11144477735";
    EXPECT_EQ(cols(remittance_detail(person, slip, ymd(2012, 3, 15), 2), 1, 17), "10100011144477735");
}

// The bank reads plain ASCII: names and addresses stored in CP850 go
// transliterated, as in the tax program's file.
TEST(Remittance, TextsGoInPlainAscii) {
    Issuer office = kCompany;
    office.name = "ESCRIT\xE0RIO S\xC7O JO\xC7O";   // ESCRITÓRIO SÃO JOÃO
    Slip slip{1, 2, ymd(2012, 3, 31), 10.0, "JOS\x90 DA CONCEI\x80\xC7O", "11144477735",
              {"AV.", "S\xC7O JO\xC7O & FILHOS", "7", "CORA\x80\xC7O", "01234567", "S\xC7O PAULO", "SP"}};
    const std::string file = remittance_file(office, {slip}, ymd(2012, 3, 15));
    for (const char c : file) ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << file;
    const std::string header = file.substr(0, 400), detail = file.substr(402, 400);
    EXPECT_EQ(cols(header, 47, 76), "ESCRITORIO SAO JOAO           ");
    EXPECT_EQ(cols(detail, 235, 264), "JOSE DA CONCEICAO             ");
    EXPECT_EQ(cols(detail, 275, 314), "AV. SAO JOAO e FILHOS 7                 ");
    EXPECT_EQ(cols(detail, 315, 349), "CORACAO     01234567SAO PAULO      ");
}

class BillingTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        rt::set_clock(ymd(2012, 3, 15));
    }
    void TearDown() override {
        rt::reset_clock();
        FoldersTest::TearDown();
    }
    void slip(const char* cpf, double amount) {
        ASSERT_TRUE(tables::ABERTURA(67));
        tb::Table& t = *tables::ws().table(67);
        ASSERT_TRUE(t.append_blank());
        t.put("CPFSAC", rt::Value(cpf));
        t.put("VALORDOC", rt::Value(amount));
        t.put("NOSSONRO", rt::Value(1));
        t.commit();
        t.unlock();
    }
};

TEST_F(BillingTest, RemittanceTakesTheNextFreeLetterAndEmptiesTheSlips) {
    keys({rt::key::ENTER});
    EXPECT_FALSE(GERA_BOLETO());
    EXPECT_TRUE(term->showed("=Não existe boleto cadastrado para ser gerado o arquivo."));

    for (const char* letter : {"A", "B"}) std::ofstream(prog + "C120315" + letter + ".txt") << "x";
    slip("11144477735", 100.0);
    keys({rt::key::ENTER, rt::key::ENTER});   // the payer is nowhere; then the success notice
    ASSERT_TRUE(GERA_BOLETO());
    EXPECT_TRUE(term->showed("O contribuinte não foi localizado"));
    std::ifstream in(prog + "C120315C.txt", std::ios::binary);
    const std::string file(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(file.size(), 3u * 402);
    EXPECT_EQ(file.substr(402 + 274, 40), std::string(2, ' ') + std::string(38, ' '));   // no address of anyone else
    EXPECT_EQ(tables::ws().table(67)->lastrec(), 0u);
}

TEST_F(BillingTest, TheSlipFormNamesThePayerAfterTheCpf) {
    ASSERT_TRUE(tables::ABERTURA(9));
    tb::Table& reg = *tables::ws().table(9);
    ASSERT_TRUE(reg.append_blank());
    reg.put("CPF", rt::Value("11144477735"));
    reg.put("NOMECONTR", rt::Value("MARIA DA SILVA"));
    reg.commit();
    reg.unlock();
    Global{"NOMESAC"}.set(rt::Value(std::string(30, ' ')));
    Global{"CPFSAC"}.set(rt::Value(std::string(11, ' ')));
    Global{"DATADOC"}.set(rt::Value(rt::DATE()));
    for (const char* n : {"VALORDOC", "NRODOCUM", "NOSSONRO"}) Global{n}.set(rt::Value(0.0));
    for (const char c : std::string("11144477735")) term->feed(c);
    keys({rt::key::ESC});
    UNICO_BOL();
    EXPECT_TRUE(term->showed("CPF do sacado       111.444.777-35 MARIA DA SILVA"));
}

TEST_F(BillingTest, AWrongOrUnknownCpfIsRefused) {
    keys({rt::key::ENTER});
    EXPECT_FALSE(LOCALI_CPF("11144477700", 1));
    keys({rt::key::ENTER});
    EXPECT_FALSE(LOCALI_CPF("11144477735", 1));
    EXPECT_TRUE(term->showed("indicado. Confira o código ou os diretórios digitados"));
}

}  // namespace
}  // namespace qv::office
