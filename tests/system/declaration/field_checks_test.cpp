// The checks of the identification page: yes/no marks, receipt check
// digits, automatic debit dates, departure dates, and the look-ups that
// open the pick list instead of refusing.
#include <gtest/gtest.h>

#include <span>

#include "../system_fixture.hpp"
#include "../taxpayer_holder.hpp"
#include "declaration/entry/dependant_count.hpp"
#include "declaration/entry/field_checks.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"

namespace qv::declaration {
namespace {

using rt::Value;

class FieldChecks : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        register_field_check_routines();
    }
    bool check(const char* name, std::initializer_list<Value> args) {
        const std::vector<Value> a(args);
        return rt::call_function(name, std::span<const Value>(a)).as_bool();
    }
    std::string var(const char* name) { return rt::variables().get(name).as_string(); }
};

TEST_F(FieldChecks, ReceiptGetsItsDigitsOnlyWhenTheNumberIsComplete) {
    struct Case {
        const char* typed;
        bool accepted;
        const char* kept;
    };
    const Case cases[] = {{"1234567890  ", true, "123456789091"},
                          {"123456789091", true, "123456789091"},
                          {"123456789092", false, "123456789092"},
                          {"12345       ", false, "12345       "},
                          {"            ", true, "            "}};
    for (const Case& c : cases) {
        bool accepted = false;
        EXPECT_EQ(checked_receipt(c.typed, accepted), c.kept) << c.typed;
        EXPECT_EQ(accepted, c.accepted) << c.typed;
    }
    rt::variables().set("NRORECIBO", Value("1234567890  "));
    EXPECT_TRUE(check("VENROREC", {Value("M->NRORECIBO"), Value(1)}));
    EXPECT_EQ(var("NRORECIBO"), "123456789091");
    keys({rt::key::ENTER});
    EXPECT_FALSE(check("VENROREC", {Value("123456789000"), Value(1)}));
    EXPECT_TRUE(term->showed("Número do recibo inválido"));
}

TEST_F(FieldChecks, YesNoMarksAndStates) {
    for (const char* ok : {"S", "N", " "}) EXPECT_TRUE(check("VE_LETRSN", {Value(ok)})) << ok;
    keys({rt::key::ENTER});
    EXPECT_FALSE(check("VE_LETRSN", {Value("X")}));
    EXPECT_TRUE(term->showed("Digite S de sim ou N de nao"));
    EXPECT_TRUE(check("VESIGLA", {Value("SP")}));
    EXPECT_TRUE(check("VESIGLA", {Value("EX")}));
    EXPECT_FALSE(check("VESIGLA", {Value("XX")}));
}

TEST_F(FieldChecks, AutomaticDebitOpenUntilTheQuotaDates) {
    const auto day = [](int m, int d) { return rt::Date::from_ymd(2012, m, d); };
    EXPECT_FALSE(debit_open(0, day(3, 1)));
    EXPECT_TRUE(debit_open(1, day(3, 31)));
    EXPECT_FALSE(debit_open(1, day(4, 1)));
    EXPECT_TRUE(debit_open(3, day(4, 30)));
    EXPECT_FALSE(debit_open(3, day(5, 1)));
}

TEST_F(FieldChecks, ResidenceDateMayEqualTheDeparture) {
    rt::variables().set("DATASAIDA", Value(rt::Date::from_ymd(2011, 6, 10)));
    EXPECT_TRUE(check("ANO_CERTO", {Value(rt::Date::from_ymd(2011, 6, 10)), Value(2)}));
    keys({rt::key::ENTER, rt::key::ENTER});
    EXPECT_FALSE(check("ANO_CERTO", {Value(rt::Date::from_ymd(2011, 6, 11)), Value(2)}));
    EXPECT_TRUE(term->showed("A data de residente deve ser anterior a de saída"));
    EXPECT_FALSE(check("ANO_CERTO", {Value(rt::Date::from_ymd(2012, 1, 2)), Value(1)}));
}

TEST_F(FieldChecks, AbroadSetsBrasilia) {
    rt::variables().set("MUNICIPIO", Value(rt::SPACE(30)));
    rt::variables().set("CODPAIS", Value("999"));
    rt::variables().set("CODEMB", Value(rt::SPACE(3)));
    keys({rt::key::ESC, rt::key::ESC});   // the country and embassy lists
    EXPECT_TRUE(check("VEESTADO", {Value("EX"), Value("M->MUNICIPIO"), Value(1)}));
    EXPECT_TRUE(term->showed("Nome do País"));
    EXPECT_EQ(var("CODPAIS"), "999");
    EXPECT_EQ(var("MUNICIPIO"), rt::PADR("Brasilia", 29));
    EXPECT_EQ(var("CODMUNI"), "9701");
}

// A municipality not of the state opens the state's list; a typed letter
// jumps to the first name with it and Enter fills the field.
TEST_F(FieldChecks, WrongMunicipalityOpensTheListInsteadOfRefusing) {
    rt::variables().set("UF", Value("SP"));
    rt::variables().set("MUNICIPIO", Value(rt::SPACE(30)));
    rt::variables().set("CODMUNI", Value(rt::SPACE(4)));
    rt::at_get(5, 10, "M->MUNICIPIO").valid("VEESTADO(UF, \"M->MUNICIPIO\", 1)");
    for (char c : std::string("Xyzzy")) term->feed(c);
    keys({rt::key::ENTER, 'c', rt::key::ENTER});
    EXPECT_TRUE(rt::READ());
    EXPECT_TRUE(term->showed("Nome dos municípios"));
    EXPECT_EQ(rt::TRIM(var("MUNICIPIO")), rt::utf8_to_cp850("Cabreúva"));
    EXPECT_EQ(var("CODMUNI"), "6269");
}

// A company's city (mode 4) or a property's town (mode 3) is read on its own
// form: the identification page's town, code, country and embassy are not
// written over that form's lines.
TEST_F(FieldChecks, ATownOnAnotherFormLeavesThatFormsLinesAlone) {
    for (const int mode : {3, 4}) {
        for (int r = 0; r < 25; ++r) rt::at_say(r, 0, std::string(80, 'x'));
        const char* var = mode == 4 ? "CID_SOCIE" : "MUNICIMO";
        rt::variables().set(var, Value(rt::PADR("Xyzzy", 30)));
        const std::pair<const char*, int> page_vars[] = {{"UF", 2}, {"MUNICIPIO", 30}, {"CODMUNI", 4}, {"CODPAIS", 3}, {"CODEMB", 3}};
        for (const auto& [v, width] : page_vars) rt::variables().set(v, Value(rt::SPACE(width)));
        keys({'c', rt::key::ENTER});   // the state's list: the first town with "c"
        EXPECT_TRUE(check("VEESTADO", {Value("SP"), Value(std::string("M->") + var), Value(mode)}));
        EXPECT_EQ(rt::TRIM(this->var(var)), rt::utf8_to_cp850("Cabreúva")) << mode;
        for (int r = 0; r < 24; ++r) EXPECT_EQ(term->text(r), std::string(80, 'x')) << mode << " " << r;
    }
}

TEST_F(FieldChecks, UnknownOccupationOpensTheListAndTypingJumps) {
    rt::variables().set("CODAT", Value("11"));
    rt::variables().set("CDPRO", Value("999"));
    rt::variables().set("OCUPACAO", Value(rt::SPACE(69)));
    rt::at_get(5, 10, "M->CDPRO").valid("VERPROF()");
    keys({rt::key::ENTER, '2', rt::key::ENTER});
    EXPECT_TRUE(rt::READ());
    EXPECT_EQ(var("CDPRO"), "211");
    EXPECT_EQ(rt::TRIM(var("OCUPACAO")), rt::utf8_to_cp850("Matemático, estatístico, atuário e afins"));
}

}  // namespace
}  // namespace qv::declaration

namespace qv::declaration {
namespace {

class SpouseFetch : public FieldChecks {
protected:
    void SetUp() override {
        FieldChecks::SetUp();
        ASSERT_TRUE(tables::ABERTURA(9));
        add("11111111111", "N", 0, "N");
        rt::variables().set("CPFCONJU", Value("22222222222"));
        rt::variables().set("I9_4", Value("S"));
        rt::variables().set("I9_5", Value("N"));
        rt::variables().set("CONJUNTA", Value("N"));
        rt::variables().set("DIRCONJU", Value(rt::SPACE(80)));
    }
    void add(const char* cpf, const char* model, double taxable, const char* mark) {
        rt::table::Table& t = *tables::ws().table(9);
        tables::ws().select(9);
        ASSERT_TRUE(tables::ADD_REC(1));
        t.put("CPF", Value(cpf));
        t.put("USAPADRAO", Value(model));
        t.put("I9_4", Value(mark));
        t.put("SALDO", Value(100.0));
        const std::pair<const char*, double> amounts[] = {{"I13_20", taxable}, {"I13_35", 300.0}, {"I13_24", 100.0},
                                                          {"I13_27", 40.0},    {"I13_28", 2.0},   {"I13_44", 50.0},
                                                          {"I13_45", 20.0},    {"EXGSUSP", 5.0}};
        for (const auto& [f, v] : amounts) t.put(f, Value(v));
        t.commit();
        t.unlock();
    }
    double n(const char* name) { return rt::variables().get(name).as_number(); }
};

TEST_F(SpouseFetch, CompleteModelCopiesTheSpouseResults) {
    add("22222222222", "N", 1000.0, "N");
    EXPECT_TRUE(check("INFO_CONJU", {Value(2)}));
    EXPECT_EQ(n("I13_1C"), 1000.0);
    EXPECT_EQ(n("I13_4C"), 200.0);   // tax 300 less 100 withheld
    EXPECT_EQ(n("I13_2C"), 50.0);
    EXPECT_EQ(n("I13_3C"), 20.0);
    EXPECT_EQ(n("I13_5C"), 5.0);
    EXPECT_EQ(n("I9_2"), 875.0);
    EXPECT_EQ(n("I9_3"), 100.0);
    EXPECT_EQ(var("CONJPAD"), "N");
    EXPECT_EQ(var("I9_4"), "S");
}

TEST_F(SpouseFetch, SimplifiedModelTakesBothTaxLines) {
    add("22222222222", "S", 1000.0, "N");
    EXPECT_TRUE(check("INFO_CONJU", {Value(2)}));
    EXPECT_EQ(n("I13_4C"), 42.0);
    EXPECT_EQ(n("I9_2"), 1033.0);
}

TEST_F(SpouseFetch, MarkOnBothSpousesIsTakenOffTheOther) {
    add("22222222222", "N", 1000.0, "S");
    keys({rt::key::ENTER});   // "Sim"
    EXPECT_TRUE(check("INFO_CONJU", {Value(2)}));
    rt::table::Table& reg = *tables::ws().table(9);
    reg.set_order(1);
    ASSERT_TRUE(reg.seek(Value("22222222222")));
    EXPECT_EQ(reg.get("I9_4").as_string(), "N");
    EXPECT_EQ(n("I13_1C"), 1000.0);
}

// The spouse's declaration open on another terminal: its mark is not
// taken off (that terminal's save would put it back), it is said, and
// nothing is fetched.
TEST_F(SpouseFetch, TheMarkOfASpouseOpenOnAnotherTerminalStaysAndItIsSaid) {
    add("22222222222", "N", 1000.0, "S");
    test_support::TaxpayerHolder holder(client, "22222222222", "05");
    keys({rt::key::ENTER, rt::key::ENTER});   // "Sim"; the notice
    check("INFO_CONJU", {Value(2)});
    EXPECT_TRUE(term->showed("Contribuinte 222.222.222-22 em uso no terminal 05.")) << term->all_snapshots();
    rt::table::Table& reg = *tables::ws().table(9);
    reg.set_order(1);
    ASSERT_TRUE(reg.seek(Value("22222222222")));
    EXPECT_EQ(reg.get("I9_4").as_string(), "S");
    EXPECT_EQ(n("I13_1C"), 0.0);
}

TEST_F(SpouseFetch, SpouseNotFoundKeepsNothing) {
    keys({rt::key::ENTER});
    EXPECT_TRUE(check("INFO_CONJU", {Value(2)}));
    EXPECT_TRUE(term->showed("CPF do conjuge não localizado"));
    EXPECT_EQ(var("I9_4"), "N");
}

}  // namespace
}  // namespace qv::declaration

namespace qv::declaration {
namespace {

// The whole list is counted even under the view the payee check of an
// alimony payment leaves on it; an heir (100) is neither counted nor numbered.
TEST_F(FieldChecks, DependantsAndAlimonyCountedAndNumbered) {
    ASSERT_TRUE(tables::ABERTURA(3));
    rt::table::Table& t = *tables::ws().table(3);
    const std::pair<int, int> rows[] = {{11, 1}, {98, 2}, {100, 0}, {21, 3}, {99, 4}, {31, 5}};
    for (const auto& [code, number] : rows) {
        ASSERT_TRUE(tables::ADD_REC(1));
        t.put("CODIDEPEN", Value(code));
        t.commit();
        t.unlock();
    }
    t.set_filter([&t] { return t.get("CODIDEPEN").as_number() == 99; }, "codidepen==99");
    const DependantCount count = count_dependants(t);
    EXPECT_EQ(count.dependants, 3);
    EXPECT_EQ(count.alimony, 2);
    t.go_top();
    for (const auto& [code, number] : rows) {
        EXPECT_EQ(t.get("NRODEPEN").as_number(), number) << "code " << code;
        t.skip();
    }
}

}  // namespace
}  // namespace qv::declaration
