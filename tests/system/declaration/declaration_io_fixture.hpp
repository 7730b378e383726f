#pragma once
// A client folder with two taxpayers' declarations and a work folder, for
// loading and saving declarations: rows are written straight into the
// client tables, read back as "field=value" lines, and compared per CPF.
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "declaration/loop/declaration_io_routines.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/opening.hpp"

namespace qv::declaration::testing {

namespace tb = rt::table;
using Fields = std::vector<std::pair<std::string, rt::Value>>;

inline const std::string kCpfA = "11111111111";
inline const std::string kCpfB = "22222222222";

class DeclarationIoTest : public qv::test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        work = root + "/work/";
        std::filesystem::create_directories(work);
        auto& v = rt::variables();
        v.set("LOCTRAB", rt::Value(work));
        v.set("NUSU", rt::Value("00"));
        v.set("LRECUPERA", rt::Value(false));
        v.set("OPCAO_1", rt::Value(11));
        v.set("OPTTRAN", rt::Value(0));
        v.set("NOMEAG", rt::Value(std::string(10, ' ')));   // the user, as start-up names it
        tables::ws().set_deleted(true);
        set_exclusive_wait([](std::string_view m) { ADD_FAILURE() << "waited: " << m; });
    }
    void TearDown() override {
        set_exclusive_wait({});
        FoldersTest::TearDown();
    }

    static void add_row(int table, const std::string& cpf, const Fields& fields) {
        ASSERT_TRUE(tables::ABERTURA(table));
        tb::Table& t = tables::ws().current(table);
        ASSERT_TRUE(t.append_blank());
        t.put("CPF", rt::Value(cpf));
        for (const auto& [name, value] : fields) t.put(name, value);
        t.unlock();
        tables::ws().close(table);
    }

    // The rows of `cpf` in a client table as "v1|v2|..." of the named
    // fields, sorted (file order is no part of the outcome).
    static std::vector<std::string> rows(int table, const std::string& cpf, const std::vector<std::string>& fields) {
        std::vector<std::string> out;
        EXPECT_TRUE(tables::ABERTURA(table));
        tb::Table& t = tables::ws().current(table);
        t.set_order(0);
        for (t.go_top(); !t.eof(); t.skip(1)) {
            if (rt::TRIM(t.get("CPF").as_string()) != cpf) continue;
            std::string line;
            for (const auto& f : fields) {
                const rt::Value v = t.get(f);
                line += (v.is_number() ? rt::ALLTRIM(rt::STR(v.as_number(), 12, 2)) : rt::TRIM(v.as_string())) + "|";
            }
            out.push_back(line);
        }
        // The index finds the same rows.
        t.set_order(1);
        std::size_t indexed = 0;
        for (t.seek(rt::Value(cpf)); !t.eof() && rt::TRIM(t.get("CPF").as_string()) == cpf; t.skip(1)) ++indexed;
        EXPECT_EQ(indexed, out.size()) << "table " << table;
        tables::ws().close(table);
        std::sort(out.begin(), out.end());
        return out;
    }

    // Places the register on the taxpayer, as the CPF prompt leaves it.
    static void choose(const std::string& cpf) {
        rt::variables().set("CPF", rt::Value(cpf));
        ASSERT_TRUE(tables::ABERTURA(9));
        tables::ws().current(9).seek(rt::Value(cpf));
    }

    std::string work;
};

}  // namespace qv::declaration::testing
