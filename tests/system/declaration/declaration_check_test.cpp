// The declaration check over worked declarations: the findings each rule
// gives, the error list it leaves (notes kept, a rule once) and the verdict.
#include "declaration/calc/declaration_check.hpp"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::declaration {
namespace {

using rt::operator""_cp;
using Cell = std::pair<const char*, rt::Value>;
namespace tb = rt::table;

constexpr const char* kCpf = "12345678909";
constexpr int kBoxProgressRow = 21;

class DeclarationCheckTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        scope_ = std::make_unique<rt::DeclarationScope>();
        std::filesystem::create_directories(root + "/work");
        set("LOCTRAB", root + "/work/");
        set("CPF", kCpf);
        // A complete declaration with nothing to find.
        for (const char* f : {"ENDERECO", "CEP", "MUNICIPIO", "UF", "TITULO", "CODMUNI", "RECIBOANT"})
            set(f, "1");
        for (const char* f : {"DECFINAL", "RETIFICA", "TEMRURAL", "DECJUDI"}) set(f, "N");
        set("CODAT", "11");
        set("OUTRDES", 1200.0);
        set("SO_REC", false);
        for (int table : {2, 3, 4, 5, 6, 7, 11, 12, 16}) {
            tb::create_table(work_file(table) + ".dbf", *tables::schema_of(table), tb::MemoKind::None);
            ASSERT_TRUE(open_work_copy(table)) << table;
        }
    }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        FoldersTest::TearDown();
    }
    static void set(const char* name, rt::Value v) { set_value(name, std::move(v)); }
    static void add(int table, std::initializer_list<Cell> cells) {
        tb::Table& t = *tables::ws().table(work_area(table));
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value(kCpf));
        for (const auto& [f, v] : cells) t.put(f, v);
        t.commit();
    }
    // The error list as (rule, text) in its order.
    static std::vector<std::pair<int, std::string>> list() {
        std::vector<std::pair<int, std::string>> rows;
        for_each_row(31, [&](tb::Table& t) {
            rows.emplace_back(static_cast<int>(field_number(t, "CODERR")), rt::TRIM(t.get("OBSERV").as_string()));
        });
        return rows;
    }
    static std::vector<int> codes() {
        std::vector<int> c;
        for (const auto& [code, text] : list()) c.push_back(code);
        return c;
    }
    static int count(const char* grade) { return static_cast<int>(amount(grade)); }
    void press_enter_for_each_message(int n) {
        for (int i = 0; i < n; ++i) keys({13});
    }

private:
    std::unique_ptr<rt::DeclarationScope> scope_;
};

TEST_F(DeclarationCheckTest, CleanDeclarationIsReadyInModeTwoAndSilentInModeThree) {
    press_enter_for_each_message(1);
    CONFERE(2);
    EXPECT_TRUE(term->showed("Declaração OK e pronta para transferir"));
    EXPECT_TRUE(list().empty());
    EXPECT_FALSE(logical("LTEMERR"));
    EXPECT_EQ(tables::ws().selected(), 31);
    term->snapshots.clear();
    CONFERE(3);
    EXPECT_FALSE(term->showed("Declaração OK e pronta para transferir"));
}

TEST_F(DeclarationCheckTest, DependantAgesAgainstTheirCodes) {
    const struct {
        int year, code;
        std::vector<int> rules;
    } cases[] = {
        {1989, 24, {57}},       // 22 years, code of those up to 21
        {1985, 25, {56}},       // 26 years, above the limit of 25
        {1995, 22, {55}},       // 16 years, code of those over 21
        {1950, 41, {56}},       // code of those up to 21
        {2000, 21, {}},         // 11 years, right code
    };
    for (const auto& c : cases) {
        tables::ws().table(23)->zap();
        add(3, {{"NOMEDEPEN", "FILHO"}, {"CODIDEPEN", c.code}, {"CPFDEPEN", "11144477735"},
                {"DATADEPEN", rt::Value(rt::Date::from_ymd(c.year, 6, 1))}});
        CONFERE(3);
        EXPECT_EQ(codes(), c.rules) << c.year << " " << c.code;
    }
    // Adult dependant without CPF; and one without birth date.
    tables::ws().table(23)->zap();
    add(3, {{"NOMEDEPEN", "MAE"}, {"CODIDEPEN", 31}, {"DATADEPEN", rt::Value(rt::Date::from_ymd(1940, 1, 1))}});
    add(3, {{"NOMEDEPEN", "FILHA"}, {"CODIDEPEN", 21}});
    CONFERE(3);
    EXPECT_EQ(codes(), (std::vector<int>{17, 46}));
}

TEST_F(DeclarationCheckTest, PaymentNumbersAndDomesticEmployee) {
    // A clinic paid with a CNPJ cut short, a dentist without CPF formatting,
    // and two domestic employees without their registration.
    add(6, {{"I6_1", "CLINICA"}, {"I6_2", "12.345.678/0001"}, {"I6_3", 21}, {"I6_4", 500.0}});
    add(6, {{"I6_1", "DENTISTA"}, {"I6_2", "111.444.777-35"}, {"I6_3", 10}, {"I6_4", 800.0}});
    add(6, {{"I6_1", "MARIA"}, {"I6_2", "111.444.777-35"}, {"I6_3", 50}, {"I6_4", 900.0}});
    add(6, {{"I6_1", "JOANA"}, {"I6_2", "111.444.777-35"}, {"I6_3", 50}, {"I6_4", 900.0}});
    CONFERE(3);
    const auto rows = list();
    ASSERT_EQ(codes(), (std::vector<int>{59, 61}));
    EXPECT_EQ(rows[1].second, "CNPJ inválido no pagamento cod. 21"_cp);
    // Each firing counts though the list shows the rule once: 59 twice, 61 once.
    EXPECT_EQ(count("NQTDERR"), 3);
}

TEST_F(DeclarationCheckTest, MedicalAndIncomeRules) {
    add(6, {{"I6_1", "HOSPITAL"}, {"I6_2", "12.345.678/0001-95"}, {"I6_3", 21}, {"I6_4", 19000.0}, {"I6_5", 500.0}});
    add(2, {{"I1_1", "J"}, {"I1_4", 1000.0}, {"I1_5", 1200.0}});
    add(2, {{"I1_1", "D"}, {"I1_2", "EMPRESA"}, {"I1_3", "12.345.678/0001-95"}, {"I1_4", 100.0}});
    CONFERE(3);
    // 18 500 net of medical expenses; the first income row has neither payer
    // nor number and more withheld than earned; the dependant's lacks its CPF.
    EXPECT_EQ(codes(), (std::vector<int>{12, 13, 14, 45, 49}));
}

// Without personal expenses in the balance the check speaks of them in the
// complete model only, whatever standard discount a load or another page
// left: the simplified model's discount stands for them.
TEST_F(DeclarationCheckTest, PersonalExpensesFollowTheDeclarationsModel) {
    set("OUTRDES", 0.0);
    set("NDESCPRAD", 13916.36);
    set("I13_08", 60000.0);
    const struct {
        const char* model;
        double discount_left;
        std::vector<int> rules;
    } cases[] = {{"N", 12000.0, {25}}, {"S", 0.0, {}}};
    for (const auto& c : cases) {
        set("USAPADRAO", c.model);
        set("DESPADRAO", c.discount_left);
        CONFERE(3);
        EXPECT_EQ(codes(), c.rules) << c.model;
    }
}

TEST_F(DeclarationCheckTest, TwoGradesGiveTheGeneralMessageAndNotesSurvive) {
    set("TITULO", "");      // an error
    set("RECIBOANT", "");   // a warning
    add(11, {{"OBSERV", "Cliente traz recibo"}, {"CODERR", 0}});
    press_enter_for_each_message(1);
    CONFERE(2);
    EXPECT_TRUE(term->showed("Atenção! O programa localizou alguns erros que devem"));
    EXPECT_EQ(count("NQTDERR"), 1);
    EXPECT_EQ(count("NQTDATEN"), 1);
    const auto first = list();
    ASSERT_EQ(first.size(), 4u);   // note, the two findings, the separator
    EXPECT_EQ(first[0], std::make_pair(0, std::string("Cliente traz recibo")));
    EXPECT_EQ(first[3].first, 99);
    EXPECT_EQ(first[3].second, "+" + std::string(58, '-') + "+");
    press_enter_for_each_message(1);
    CONFERE(2);
    EXPECT_EQ(list(), first);
}

TEST_F(DeclarationCheckTest, ErrorOnlyAndWarningOnlyMessages) {
    set("TITULO", "");
    press_enter_for_each_message(1);
    CONFERE(2);
    EXPECT_TRUE(term->showed("Atenção! Essa declaração tem erro que não irá passar no"));
    set("TITULO", "1");
    set("RECIBOANT", "");
    press_enter_for_each_message(1);
    CONFERE(2);
    EXPECT_TRUE(term->showed("Atenção! Há algum item que pode ser erro de digitação."));
    EXPECT_EQ(codes(), std::vector<int>{54});
}

TEST_F(DeclarationCheckTest, MainMenuRunWritesTheFolderListAndLeavesOtherTaxpayers) {
    // The folder's list holds another taxpayer's finding.
    ASSERT_TRUE(tables::ABERTURA(11));
    tb::Table& folder = *tables::ws().table(11);
    folder.append_blank();
    folder.put("CPF", rt::Value("98765432100"));
    folder.put("OBSERV", rt::Value("outro"));
    folder.put("CODERR", rt::Value(8));
    folder.commit();
    tables::ws().close(11);
    set("CODMUNI", "");
    taxpayer_box();   // as the main menu's check finds the screen
    CONFERE(1);
    ASSERT_TRUE(tables::ABERTURA(11));
    std::vector<std::pair<std::string, int>> rows;
    tb::Table& after = *tables::ws().table(11);
    after.set_order(0);
    for (after.go_top(); !after.eof(); after.skip())
        rows.emplace_back(rt::TRIM(after.get("CPF").as_string()), static_cast<int>(field_number(after, "CODERR")));
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, int>>{{"98765432100", 8}, {kCpf, 99}, {kCpf, 34}}));
    // On the taxpayer box's progress line, which the list of findings
    // (rows 1 to 15) leaves in sight.
    const std::string result = term->text(kBoxProgressRow);
    EXPECT_NE(result.find("Conferido.  Resultado =======>"), std::string::npos) << result;
    EXPECT_EQ(result.find("rigo"), std::string::npos) << result;   // no label left under a count
    EXPECT_EQ(count("NQTDERR"), 1);
}

// The run from the main menu shows the taxpayer's findings, also when the
// folder's list holds another taxpayer who comes first.
TEST_F(DeclarationCheckTest, MainMenuRunShowsTheTaxpayersFindingsWhoeverComesFirst) {
    ASSERT_TRUE(tables::ABERTURA(11));
    tb::Table& folder = *tables::ws().table(11);
    folder.append_blank();
    folder.put("CPF", rt::Value("11144477735"));
    folder.put("OBSERV", rt::Value("outro"));
    folder.put("CODERR", rt::Value(8));
    folder.commit();
    tables::ws().close(11);
    set("CODMUNI", "");
    std::vector<std::string> shown;
    const rt::FunctionEntry* before = rt::find_function("EDITA");
    const rt::Function kept = before ? before->fn : rt::Function{};
    rt::register_function("EDITA", [&shown](std::span<const rt::Value>) {
        for_each_row(31, [&](tb::Table& t) {
            shown.push_back(rt::TRIM(t.get("CPF").as_string()) + " " + rt::TRIM(t.get("OBSERV").as_string()).substr(0, 5));
        });
        return rt::Value();
    });
    press_enter_for_each_message(1);
    CONFERE(1);
    rt::register_function("EDITA", kept ? kept : [](std::span<const rt::Value>) { return rt::Value(); });
    ASSERT_FALSE(shown.empty());
    for (const std::string& row : shown) EXPECT_EQ(row.substr(0, 11), kCpf) << row;
}

}  // namespace
}  // namespace qv::declaration
