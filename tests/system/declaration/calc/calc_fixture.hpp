#pragma once
// The tax calculation's tests: an open declaration with the year's
// constants, and the work copies of its lists made in a temporary folder.
#include "system/system_fixture.hpp"

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/dbf_format.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::declaration::testing {

namespace tb = rt::table;

using Cell = std::pair<const char*, rt::Value>;

class CalcTest : public qv::test_support::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        // These declarations give their dependants as a count (N_DEPEN)
        // rather than as rows of the dependants' list.
        rt::register_function("NRODP", [](std::span<const rt::Value>) { return common::Global{"N_DEPEN"}.value(); });
        scope_ = std::make_unique<rt::DeclarationScope>();
        set_tax_constants();
        set("USAPADRAO", "N");
        set("CAL_AUTO", 2);
        set("QTD_QUOTA", 0);
    }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        ScreenTest::TearDown();
    }

    static void set(const char* name, rt::Value v) { set_value(name, std::move(v)); }
    static double get(const char* name) { return amount(name); }

    // A work copy of a list in its work area.
    tb::Table& make_list(int area, const std::string& name, std::vector<tb::FieldSpec> fields) {
        const std::string path = folder_.path() + "/" + name + ".DBF";
        tb::create_table(path, fields, tb::MemoKind::None);
        // Work copies are the terminal's own: opened exclusively, as loading does.
        tb::OpenOptions own;
        own.exclusive = true;
        return tables::ws().use_in(area, path, own);
    }
    // The payments list: code, amount, non-deductible part, person, and
    // the monthly amounts.
    tb::Table& payments() {
        std::vector<tb::FieldSpec> f{{"I6_3", 'N', 2, 0}, {"I6_4", 'N', 12, 2}, {"I6_5", 'N', 12, 2}, {"I6_6", 'N', 2, 0}};
        for (int m = 1; m <= 12; ++m) f.push_back({"I6_4" + two(m), 'N', 12, 2});
        return make_list(kPaymentsArea, "PAG", f);
    }
    static void add_row(tb::Table& t, std::initializer_list<Cell> cells) {
        ASSERT_TRUE(t.append_blank());
        for (const auto& [field, value] : cells) t.put(field, value);
        t.commit();
    }
    void add_payment(int code, double paid, int person = 0, double not_deductible = 0.0) {
        add_row(*tables::ws().table(kPaymentsArea),
                {{"I6_3", code}, {"I6_4", paid}, {"I6_5", not_deductible}, {"I6_6", person}});
    }
    static std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

private:
    std::unique_ptr<rt::DeclarationScope> scope_;
    qv::test_support::TempFolder folder_{"qvcalc"};
};

}  // namespace qv::declaration::testing
