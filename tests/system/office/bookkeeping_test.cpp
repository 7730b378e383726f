// Bookkeeping entries: posting into the declaration's tables, the month
// checks, and writing the terminal's copy back into the shared table.
#include "office/bookkeeping.hpp"

#include "runtime/core/functions.hpp"

#include "office_fixture.hpp"
#include "system/taxpayer_holder.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::office::testing {
namespace {

constexpr const char* kCpf = "11144477735";
constexpr const char* kSchool = "12345678000195";

class BookkeepingTest : public OfficeTest {
protected:
    void SetUp() override {
        OfficeTest::SetUp();
        rt::variables().set("CPF", rt::Value(kCpf));
        make_tables(client);
        // The shipped chart: 1001 salary (page 1 line 4), 1002 tax withheld
        // (line 5), 2005 carnê-leão paid (page 2 line 5), 6021 the part of a
        // payment of code 2 that is not deductible (page 6 line 21).
        ASSERT_TRUE(tables::ABERTURA(62));
    }
    void entry(const char* account, double amount, const char* number = "", int first = 0, int last = 0) {
        add_row(client, 13, {{"CPF", rt::Value(kCpf)}, {"CDCONTA", rt::Value(account)},
                             {"DESCONTA", rt::Value("ESCOLA")}, {"VALODESP", rt::Value(amount)},
                             {"NROCGCCPF", rt::Value(number)}, {"MESINI", rt::Value(first)},
                             {"MESFIM", rt::Value(last)}, {"LANCADO", rt::Value(false)}});
    }
    // The entries as the entries screen holds them.
    void open_entries() {
        tb::OpenOptions own;
        own.exclusive = true;
        own.structural_index = false;
        tables::ws().use_in(33, path_of(client, 13), own);
    }
    // The taxpayer's rows of a declaration table left open by the posting.
    std::vector<Row> rows(int code, std::initializer_list<const char*> fields) {
        std::vector<Row> out;
        tb::Table& t = *tables::ws().table(code);
        for (t.go_top(); !t.eof(); t.skip()) {
            if (t.deleted() || rt::TRIM(t.get("CPF").as_string()) != kCpf) continue;
            Row r;
            for (const char* f : fields) r[f] = t.get(f);
            out.push_back(r);
        }
        return out;
    }
    bool posted(std::uint32_t recno) {
        tb::Table& t = *tables::ws().table(33);
        t.go_to(recno);
        return t.get("LANCADO").as_bool();
    }
};

TEST_F(BookkeepingTest, ANonDeductiblePaymentGoesToItsPartWithTheCodeOfTheLinesFirstDigit) {
    entry("6021", 150.0, kSchool);
    entry("6021", 40.0, "11222333000181", 2, 4);
    open_entries();
    EXPECT_EQ(LANCAVAL(), 2);
    const auto paid = rows(6, {"I6_2", "I6_3", "I6_4", "I6_5"});
    ASSERT_EQ(paid.size(), 2u);
    EXPECT_EQ(rt::TRIM(paid[0].at("I6_2").as_string()), "12.345.678/0001-95");
    EXPECT_EQ(paid[0].at("I6_3").as_number(), 2);
    EXPECT_EQ(paid[0].at("I6_5").as_number(), 150.0);
    EXPECT_EQ(paid[0].at("I6_4").as_number(), 0.0);
    // Three months of 40 with no monthly columns for the part: their sum.
    EXPECT_EQ(paid[1].at("I6_5").as_number(), 120.0);
    EXPECT_TRUE(posted(1) && posted(2));

    EXPECT_EQ(LANCAVAL(), 0);
    EXPECT_EQ(rows(6, {"I6_5"})[0].at("I6_5").as_number(), 150.0);
}

TEST_F(BookkeepingTest, ADeclarationProtectedAgainstChangeTakesNoPosting) {
    add_row(client, 9, {{"CPF", rt::Value(kCpf)}, {"ESTATUS", rt::Value(9)}});
    rt::variables().set("STATRAVA", rt::Value(9));
    entry("6021", 150.0, kSchool);
    open_entries();
    EXPECT_EQ(LANCAVAL(), -1);
    EXPECT_TRUE(screen_showed("Declaração com Status de proteção contra alteração."));
    EXPECT_EQ(count(client, 6, kCpf), 0);
    EXPECT_FALSE(posted(1));
}

TEST_F(BookkeepingTest, ACarneEntryFromMarchToJanuaryPostsMarchOnly) {
    entry("2005", 80.0, "", 3, 1);
    open_entries();
    EXPECT_EQ(LANCAVAL(), 1);
    const auto carne = rows(2, {"I1_1", "I1_2", "I1_11", "I1_4", "I1_401", "I1_402", "I1_403", "I1_404"});
    ASSERT_EQ(carne.size(), 1u);
    EXPECT_EQ(carne[0].at("I1_1").as_string(), "I");
    EXPECT_EQ(rt::TRIM(carne[0].at("I1_2").as_string()), "Receita Federal");
    EXPECT_EQ(carne[0].at("I1_11").as_string(), "S");
    for (const char* other : {"I1_401", "I1_402", "I1_404"}) EXPECT_EQ(carne[0].at(other).as_number(), 0.0) << other;
    EXPECT_EQ(carne[0].at("I1_403").as_number(), 80.0);
    EXPECT_EQ(carne[0].at("I1_4").as_number(), 80.0);
}

TEST_F(BookkeepingTest, IncomeLinesOtherThanTheSalaryNeedThePayersRow) {
    entry("1002", 100.0, kSchool);   // tax withheld before the payer exists
    entry("1001", 1000.0, kSchool);
    open_entries();
    keys({rt::key::ENTER});
    EXPECT_EQ(LANCAVAL(), 1);
    EXPECT_TRUE(term->showed("O Lançamento código 1002 precisa ter Fonte Pagadora c/ mesmo"));
    EXPECT_FALSE(posted(1));
    EXPECT_EQ(LANCAVAL(), 1);   // now the payer's row is there
    const auto payer = rows(2, {"I1_1", "I1_4", "I1_5"});
    ASSERT_EQ(payer.size(), 1u);
    EXPECT_EQ(payer[0].at("I1_1").as_string(), "J");
    EXPECT_EQ(payer[0].at("I1_4").as_number(), 1000.0);
    EXPECT_EQ(payer[0].at("I1_5").as_number(), 100.0);
}

TEST_F(BookkeepingTest, TheFormKeepsAConfirmedEntryAndRefusesOneWithoutAmount) {
    open_entries();
    const auto type = [this](const std::string& text) {
        for (char c : text) term->feed(static_cast<unsigned char>(c));
    };
    // A school's name, amount and CNPJ (a full field moves on); confirmed.
    // Then the same without amount: refused; Esc back to the account, Esc.
    type("6021ESCOLA ALFA\r150\r" + std::string(kSchool) + "\r");
    type("6021ESCOLA BETA\r\r" + std::string(kSchool) + "\r\r\x1b\x1b");
    FAZLANC();
    EXPECT_TRUE(term->showed("Falta preencher o valor"));
    tb::Table& copy = *tables::ws().table(33);
    ASSERT_EQ(copy.lastrec(), 1u);
    copy.go_to(1);
    EXPECT_EQ(rt::TRIM(copy.get("CDCONTA").as_string()), "6021");
    EXPECT_EQ(rt::TRIM(copy.get("DESCONTA").as_string()), "ESCOLA ALFA");
    EXPECT_EQ(copy.get("VALODESP").as_number(), 150.0);
    EXPECT_EQ(rt::TRIM(copy.get("NROCGCCPF").as_string()), kSchool);
    EXPECT_EQ(rt::TRIM(copy.get("CPF").as_string()), kCpf);
}

TEST_F(BookkeepingTest, MonthsMustLieInTheYear) {
    struct Case { const char* name; int page, first, last; bool ok; };
    const Case cases[] = {{"MESFIM", 2, 1, 14, false}, {"MESFIM", 2, 1, 13, true}, {"MESFIM", 2, 5, 4, false},
                          {"MESFIM", 2, 5, 0, true},   {"MESINI", 2, 0, 0, false}, {"MESINI", 6, 0, 0, true},
                          {"MESINI", 2, 13, 0, false}, {"MESINI", 2, 12, 0, true}};
    for (const Case& c : cases) {
        rt::variables().set("PAGINA", rt::Value(c.page));
        rt::variables().set("MESINI", rt::Value(c.first));
        rt::variables().set("MESFIM", rt::Value(c.last));
        EXPECT_EQ(VEDAT(c.name), c.ok) << c.name << " " << c.first << "-" << c.last << " page " << c.page;
    }
}

// A refusal says what is wrong, and leaves the status line once the field
// is answered right.
TEST_F(BookkeepingTest, ARefusalNamesTheFaultAndGoesWhenItIsMended) {
    rt::variables().set("PAGINA", rt::Value(2));
    rt::variables().set("MESINI", rt::Value(5));
    rt::variables().set("MESFIM", rt::Value(3));
    EXPECT_FALSE(VEDAT("MESFIM"));
    EXPECT_NE(status_line().find("O mês final não pode ser anterior ao mês inicial."), std::string::npos)
        << status_line();
    rt::variables().set("MESFIM", rt::Value(6));
    EXPECT_TRUE(VEDAT("MESFIM"));
    EXPECT_EQ(rt::TRIM(status_line()), "");
    rt::variables().set("CDCONTA", rt::Value("9999"));
    EXPECT_FALSE(VE_CONTA());
    EXPECT_NE(status_line().find("Conta não cadastrada."), std::string::npos) << status_line();
    rt::variables().set("CDCONTA", rt::Value("1001"));
    EXPECT_TRUE(VE_CONTA());
    EXPECT_EQ(rt::TRIM(status_line()), "");
}

// The payer's name asked with a dividends entry is the name of the payer's
// row it makes.
TEST_F(BookkeepingTest, ADividendsEntryGivesItsPayerRowTheName) {
    entry("1005", 2000.0, "33444555000181");
    open_entries();
    EXPECT_EQ(LANCAVAL(), 1);
    const auto payer = rows(2, {"I1_1", "I1_2", "I1_3", "I1_15"});
    ASSERT_EQ(payer.size(), 1u);
    EXPECT_EQ(payer[0].at("I1_1").as_string(), "J");
    EXPECT_EQ(rt::TRIM(payer[0].at("I1_2").as_string()), "ESCOLA");
    EXPECT_EQ(rt::TRIM(payer[0].at("I1_3").as_string()), "33.444.555/0001-81");
    EXPECT_EQ(payer[0].at("I1_15").as_number(), 2000.0);
}

TEST_F(BookkeepingTest, TheEntriesScreenNamesItsOwnTaxpayer) {
    add_taxpayer(client, "22233344405", "JOSE PEREIRA");
    add_taxpayer(client, kCpf, "MARIA DA SILVA");
    entry("6021", 150.0, kSchool);
    rt::variables().set("NOMECONTR", rt::Value("JOSE PEREIRA"));   // the taxpayer of the screen before
    tables::ws().close_all();
    // The grid is played by the test: what the screen's top line says when it opens.
    std::string heading;
    const rt::FunctionEntry* registered = rt::find_function("EDITA");
    const rt::Function before = registered ? registered->fn : rt::Function{};
    rt::register_function("EDITA", [&](std::span<const rt::Value>) {
        heading = term->text(0);
        return rt::Value();
    });
    keys({'V', rt::key::ESC});
    LANCAMEN();
    rt::register_function("EDITA", before ? before : [](std::span<const rt::Value>) { return rt::Value(); });
    EXPECT_EQ(rt::TRIM(heading), "111.444.777-35  MARIA DA SILVA");
}

TEST_F(BookkeepingTest, EntriesStayInTheTerminalsCopyWhileTheSharedTableIsHeld) {
    entry("6021", 150.0, kSchool);
    add_row(client, 13, {{"CPF", rt::Value("22233344405")}, {"CDCONTA", rt::Value("6021")}});
    tables::ws().close_all();
    tables::set_lock_pause([] {});
    const std::string copy = root + "/TMP_1301.dbf";
    {
        OtherTerminal other(path_of(client, 13), false, true);
        // Post (and its notice), leave, give up waiting for the lock, the notice.
        keys({'T', rt::key::ENTER, rt::key::ESC, rt::key::ESC, rt::key::ENTER});
        LANCAMEN();
        EXPECT_TRUE(term->showed("Lançamentos transferidos para o IR: 1"));
        EXPECT_TRUE(term->showed("ficam guardados neste terminal"));
        ASSERT_TRUE(exists(copy));
    }
    ASSERT_TRUE(tables::ABERTURA(13));
    EXPECT_FALSE(rows(13, {"LANCADO"}).at(0).at("LANCADO").as_bool());   // the shared table as it was
    // Next time the kept copy is the one edited and written back.
    keys({rt::key::ESC});
    LANCAMEN();
    EXPECT_FALSE(exists(copy));
    ASSERT_TRUE(tables::ABERTURA(13));
    const auto kept = rows(13, {"LANCADO"});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept[0].at("LANCADO").as_bool());
    EXPECT_EQ(count(client, 13, "22233344405"), 1);
}

// The entries of a taxpayer whose declaration another terminal has open
// are neither edited nor posted: its save would undo the postings.
TEST_F(BookkeepingTest, ATaxpayerOpenOnAnotherTerminalIsRefusedWithItsNumber) {
    entry("6021", 150.0, kSchool);
    tables::ws().close_all();
    test_support::TaxpayerHolder holder(client, kCpf, "05");
    // Post (and its notice), leave; or, refused, the notice.
    keys({'T', rt::key::ENTER, rt::key::ESC});
    LANCAMEN();
    EXPECT_TRUE(term->showed("Contribuinte 111.444.777-35 em uso no terminal 05.")) << term->all_snapshots();
    EXPECT_FALSE(term->showed("Lançamentos transferidos"));
    EXPECT_FALSE(exists(root + "/TMP_1301.dbf"));
    EXPECT_EQ(count(client, 6, kCpf), 0);
    ASSERT_TRUE(tables::ABERTURA(13));
    EXPECT_FALSE(rows(13, {"LANCADO"}).at(0).at("LANCADO").as_bool());
}

}  // namespace
}  // namespace qv::office::testing
