// The payroll export read into the statements table, and the statement
// form's confirmation.
#include <memory>

#include "converter/payroll_posting.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "system/converter/converter_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::test_support {
namespace {

using rt::Value;

// One line of the export: CPF, names, CNPJ, the twelve amounts, the texts,
// the two other amounts and the mark.
std::string line(const std::string& cpf, const std::string& amounts = "1000,10,0,0,100.5,0,0,0,0,0,0,500") {
    return "\"" + cpf + "\",\"ANA\",\"FIRMA\",\"11.111.111/0001-91\"," + amounts + ",\"\",\"\",\"\",0,0,\"\"\r\n";
}

class PayrollImport : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        ASSERT_TRUE(tables::ABERTURA(converter::kPayroll));
    }
    int statements() {
        auto& s = tables::ws().current(converter::kPayroll);
        int n = 0;
        for (s.go_top(); !s.eof(); s.skip(1)) n += !s.deleted();
        return n;
    }
};

TEST_F(PayrollImport, WrongLinesAreRefusedAndSaid) {
    struct Case {
        std::string line;
        const char* said;
    };
    const Case cases[] = {
        {line("12345678900"), "Linha 2: CPF 12345678900 incorreto"},
        {line("98765432100", "1000,10,0,0,1234.5,abc,0,0,0,0,0,0"), "Linha 3: valor inválido em ISENTOAPO (abc)"},
        {line("98765432100", "1000,10,0,0,1234.5,0,0,0,0,0,0"), "Linha 4: 21 campos em vez de 22"},
        {"\"98765432100\",\"ANA,\"FIRMA\r\n", "Linha 5: aspas fora do lugar"},
        {"\"98765432100\",\"ANA\",\"FIRMA\",\"11.111.111/0001-11\",0,0,0,0,0,0,0,0,0,0,0,0,\"\",\"\",\"\",0,0,\"\"\r\n",
         "Linha 6: CNPJ 11.111.111/0001-11 incorreto"},
        {line("98765432100", "1000,10,0,0,1234.5,0,0,0,0,0,0,1e3"), "Linha 7: valor inválido em DECIMO3RO (1e3)"},
        {line("98765432100", "1.234,10,0,0,1234.5,0,0,0,0,0,0,0"), "Linha 8: valor inválido em RENDIMENT (1.234)"},
    };
    std::string file = line("12345678909");
    for (const Case& c : cases) file += c.line;
    write_file(source + "folha.txt", file);
    keys({rt::key::ENTER});
    ASSERT_TRUE(converter::import_payroll_file(source));
    for (const Case& c : cases) EXPECT_TRUE(term->showed(c.said)) << c.said;
    EXPECT_EQ(statements(), 1);
    auto& s = tables::ws().current(converter::kPayroll);
    s.set_order(1);
    ASSERT_TRUE(s.seek(Value("12345678909")));
    EXPECT_DOUBLE_EQ(s.get("IRRETIDO").as_number(), 100.5);
}

TEST_F(PayrollImport, TheSameFileTwiceIsAskedAbout) {
    write_file(source + "folha.txt", line("12345678909") + line("98765432100"));
    ASSERT_TRUE(converter::import_payroll_file(source));
    EXPECT_EQ(statements(), 2);
    struct Case {
        int answer;
        int after;
    };
    for (const Case& c : {Case{'N', 2}, Case{'S', 4}}) {
        keys({c.answer});
        ASSERT_TRUE(converter::import_payroll_file(source));
        EXPECT_TRUE(term->showed("2 de 2 comprovantes iguais aos já gravados.")) << char(c.answer);
        EXPECT_EQ(statements(), c.after) << char(c.answer);
    }
    // A new statement beside those imported before goes in; only the
    // repeated ones wait for the answer.
    write_file(source + "folha.txt", line("12345678909") + line("52998224725"));
    keys({'N'});
    ASSERT_TRUE(converter::import_payroll_file(source));
    EXPECT_EQ(statements(), 5);
}

// Keys typed only once the program waits for one: a glance at the
// keyboard finds nothing, as when the clerk reads the question first.
class Typist : public RecordingBackend {
public:
    int read_key(int timeout_ms) override { return timeout_ms == 0 ? 0 : RecordingBackend::read_key(timeout_ms); }
};

TEST_F(PayrollImport, ConfirmationWaitsForItsAnswer) {
    auto typist = std::make_unique<Typist>();
    term = typist.get();
    rt::set_backend(std::move(typist));
    for (const char c : std::string("12345678909FIRMA")) term->feed(c);
    keys({rt::key::ENTER, rt::key::ENTER, rt::key::ENTER, rt::key::PGDN, 'S', rt::key::ESC});
    converter::PEGACOM();
    EXPECT_TRUE(term->showed("Confirma os dados?"));
    auto& s = tables::ws().current(converter::kPayroll);
    s.set_order(1);
    ASSERT_TRUE(s.seek(Value("12345678909")));
    EXPECT_EQ(rt::RTRIM(s.get("NOMEFONTE").as_string()), "FIRMA");
}

TEST_F(PayrollImport, StoredStatementLeavesItsPayerOnTheFormForTheNext) {
    for (const char c : std::string("12345678909FIRMA")) term->feed(c);
    keys({rt::key::ENTER});
    for (const char c : std::string("11.222.333/0001-81")) term->feed(c);
    keys({rt::key::PGDN, 'S', rt::key::ESC});
    converter::PEGACOM();
    // The screen that asks the next CPF.
    ASSERT_FALSE(term->snapshots.empty());
    const std::string& next = term->snapshots.back();
    EXPECT_NE(next.find("Empresa: FIRMA"), std::string::npos) << next;
    EXPECT_NE(next.find("CNPJ: 11.222.333/0001-81"), std::string::npos) << next;
}

}  // namespace
}  // namespace qv::test_support
