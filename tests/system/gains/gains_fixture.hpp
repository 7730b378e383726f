#pragma once
// The capital gains' tests: the gains, their parcels and the assets list
// as work copies in a temporary folder, on a headless screen; the program
// folder (with its lists of states' towns and street types) is the test's
// own too.
#include <initializer_list>
#include <string>
#include <utility>

#include "common/globals.hpp"
#include "gains/gain_rows.hpp"
#include "runtime/table/table.hpp"
#include "system/system_fixture.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::gains::testing {

namespace tb = rt::table;

class GainsTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        open(kGainsArea, 7, "IMP0712");
        open(kParcelsArea, 8, "IMP0812");
        open(24, 4, "IMP0412");
    }
    void open(int area, int code, const std::string& name) {
        const std::string path = folder.path() + "/" + name + ".DBF";
        tb::create_table(path, *tables::schema_of(code), tb::MemoKind::None);
        tb::OpenOptions exclusive;
        exclusive.exclusive = true;
        tables::ws().use_in(area, path, exclusive);
    }
    static void row(int area, std::initializer_list<std::pair<const char*, rt::Value>> fields) {
        tb::Table& t = *tables::ws().table(area);
        ASSERT_TRUE(t.append_blank());
        for (const auto& [name, v] : fields) t.put(name, v);
        t.commit();
    }

    test_support::TempFolder folder;
};

}  // namespace qv::gains::testing
