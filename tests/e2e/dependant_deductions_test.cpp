// Two dependants with their school fees and an alimony recipient whose
// payment's number is keyed last: the tax counts both dependants and both
// fees on the page and in the saved declaration.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "e2e/dbf_tables.hpp"
#include "e2e/declaration_e2e.hpp"

using namespace std::chrono_literals;

namespace {

using qv::e2e::TmuxSession;

class E2eDependantDeductions : public qv::e2e::DeclarationE2eTest {
protected:
    E2eDependantDeductions() : DeclarationE2eTest("qv_e2e_deductions_") {}

    // A row of the dependants or the recipients: each full cell after the
    // name goes on by itself.
    static void person(TmuxSession& s, const std::string& name, const std::string& code_and_birth,
                       const std::string& cpf, const std::string& cpf_shown) {
        enter(s, name, name);
        s.text(code_and_birth);
        s.text(cpf);
        ASSERT_TRUE(s.wait_for(cpf_shown, 5s)) << s.screen_text();
    }
    // A payment's row from its name: the code, then the person's number,
    // which the check of the number 0 asks for first.
    static void payment(TmuxSession& s, const std::string& name, const std::string& code, const std::string& number,
                        const std::string& row) {
        enter(s, name, name);
        s.text(code);
        if (code.size() < 2) s.keys("Enter");
        step(s, "Enter", "Nro do");
        s.keys("Enter");
        ASSERT_TRUE(s.wait_gone("Nro do", 5s)) << s.screen_text();
        enter(s, number, row);
    }
    static void to_menu(TmuxSession& s) {
        s.keys("Escape");
        ASSERT_TRUE(s.wait_gone("1=PJ 2=PF", 5s)) << s.screen_text();
    }
    static void complete_tax_page(TmuxSession& s) {
        step(s, "", "Dependentes                3.779,28");
        // 2,958.23 for the first child (the limit), 2,000.00 for the second.
        step(s, "", "Despesas c/ Instrução      4.958,23");
        step(s, "", "TOTAL                     14.737,51");
        step(s, "", "Base de cálculo              45.262,49");
        // 45,262.49 at 22.5 % less 6,340.47.
        step(s, "", "Imposto devido                3.843,59");
    }
    static void key_income_and_people(TmuxSession& s) {
        // The identification's pull-down of a new taxpayer closed first.
        s.keys("Escape");
        ASSERT_TRUE(s.wait_gone("Notas e Obsv.", 5s)) << s.screen_text();
        step(s, "F1", "RENDIMENTOS TRIBUTÁVEIS E ISENTOS");
        enter(s, "EMPRESA ABC LTDA", "EMPRESA ABC LTDA");
        enter(s, "60000", "Pessoa Jurídica    60.000,00");
        to_menu(s);
        step(s, "F4", "RELAÇÃO DOS DEPENDENTES");
        person(s, "JOAO DA SILVA", "2110052005", "52998224725", "529.982.247-25");
        person(s, "ANA DA SILVA", "2120032008", "12345678909", "123.456.789-09");
        step(s, "Tab", "RELAÇÃO DOS ALIMENTANDOS");
        person(s, "LUCAS PEREIRA", "9901011995", "98765432100", "987.654.321-00");
    }
    static void key_payments(TmuxSession& s) {
        step(s, "Tab", "RELAÇÃO DOS PAGAMENTOS E DOAÇÕES EFETUADAS");
        const std::tuple<const char*, const char*, const char*, const char*> fees[] = {
            {"COLEGIO ABC", "1", "3500", "3.500,00"}, {"FACULDADE XYZ", "2", "2000", "2.000,00"}};
        for (const auto& [name, number, paid, shown] : fees) {
            payment(s, name, "1", number, std::string("│ 1 │ ") + number + " │");
            s.text("11222333000181");
            s.keys("Enter");
            enter(s, paid, shown);
            s.keys("Down");
            s.keys("Home");
        }
        // The recipient's number brings the recipient's CPF.
        payment(s, "LUCAS PEREIRA", "30", "3", "987.654.321-00");
        s.keys("Right");
        enter(s, "6000", "6.000,00");
        to_menu(s);
    }
};

TEST_F(E2eDependantDeductions, AnAlimonyNumberKeyedLastKeepsTheDependantsInTheTax) {
    auto s = start();
    open_declaration(*s, true);
    ASSERT_NO_FATAL_FAILURE(key_income_and_people(*s));
    ASSERT_NO_FATAL_FAILURE(key_payments(*s));
    step(*s, "F7", "MODELO SIMPLIFICADO");
    step(*s, "S", "MODELO COMPLETO");
    ASSERT_NO_FATAL_FAILURE(complete_tax_page(*s));
    // Shown again, the page is worked out again.
    ASSERT_NO_FATAL_FAILURE(to_menu(*s));
    step(*s, "F7", "MODELO COMPLETO");
    ASSERT_NO_FATAL_FAILURE(complete_tax_page(*s));
    save_and_leave(*s);
    bool found = false;
    for (const qv::e2e::DbfRow& r : qv::e2e::read_dbf(prog / "IMP0112.dbf")) {
        if (r.at("CPF") != "11144477735") continue;
        found = true;
        EXPECT_EQ(r.at("I13_12"), "3779.28");
        EXPECT_EQ(r.at("I13_13"), "4958.23");
        EXPECT_EQ(r.at("I13_26"), "3843.59");
    }
    EXPECT_TRUE(found);
}

}  // namespace
