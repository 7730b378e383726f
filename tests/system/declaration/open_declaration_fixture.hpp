#pragma once
// A taxpayer's declaration opened as the declaration menu opens it: every
// routine of the program registered, the declaration's variables and the
// year's constants made, the client tables copied into the terminal's work
// tables, on the headless screen.
#include <memory>
#include <string>

#include "declaration/loop/declara_variables.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "declaration_io_fixture.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/date.hpp"
#include "shell/routine_registry.hpp"

namespace qv::declaration::testing {

class OpenDeclarationTest : public DeclarationIoTest {
protected:
    void SetUp() override {
        DeclarationIoTest::SetUp();
        shell::register_system_routines();
        // A day before the first quota's date: the automatic debit is open.
        rt::set_clock(rt::CTOD("15/03/2012"));
        auto& v = rt::variables();
        v.set("TEMP_SAL", rt::Value(0));
        v.set("COMO_SAL", rt::Value(2));
        v.set("STATRAVA", rt::Value(0));
        v.set("CAL_AUTO", rt::Value(2));
        v.set("NOMEAG", rt::Value("USUARIO"));
    }
    void TearDown() override {
        tables::FECHA_PROV();
        scope_.reset();
        rt::reset_clock();
        DeclarationIoTest::TearDown();
    }
    // The register and declaration records of `cpf`, as the CPF prompt
    // leaves them, then the load into the work tables.
    void open(const std::string& cpf = kCpfA) {
        scope_ = std::make_unique<rt::DeclarationScope>();
        create_declaration_variables();
        set_tax_constants();
        rt::variables().set("DF_PAGTO", rt::Value(rt::CTOD("30/04/2012")));
        choose(cpf);
        ASSERT_TRUE(INIC_VAR(1, 1));
    }
    // The declaration's end: saved back into the client tables.
    void close() {
        ASSERT_TRUE(SALVATUDO(1));
        scope_.reset();
    }
    static void set(const char* name, rt::Value v) { rt::variables().set(name, std::move(v)); }
    static rt::Value get(const char* name) { return rt::variables().get(name); }

private:
    std::unique_ptr<rt::DeclarationScope> scope_;
};

}  // namespace qv::declaration::testing
