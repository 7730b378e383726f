#pragma once
// The table catalogue's tests: a program folder and a client folder of the
// test's own, the program variables pointing at them, and a headless screen
// that keeps a copy of what was shown whenever a routine waited for a key.
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"

namespace qv::tables::testing {

using Recording = qv::test_support::RecordingBackend;
using TablesTest = qv::test_support::FoldersTest;

// With the work areas at hand and rows added to the register (area 9).
class OpenTablesTest : public TablesTest {
protected:
    rt::table::Table& area(int n) {
        rt::table::Table* t = ws().table(n);
        if (!t) throw std::runtime_error("area " + std::to_string(n) + " is closed");
        return *t;
    }
    void add_register_row(const std::string& cpf, const std::string& name, int status) {
        rt::table::Table& t = area(9);
        ws().select(9);
        ASSERT_TRUE(ADD_REC(1));
        t.put("CPF", rt::Value(cpf));
        t.put("NOMECONTR", rt::Value(name));
        t.put("ESTATUS", rt::Value(status));
        t.unlock();
    }
};

}  // namespace qv::tables::testing
