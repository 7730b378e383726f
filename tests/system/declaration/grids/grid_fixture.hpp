#pragma once
// Grids over real work tables in a temporary client folder, the taxpayer's
// CPF set, the screen recorded.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "../../system_fixture.hpp"
#include "common/globals.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

using Row = std::vector<std::pair<std::string, rt::Value>>;

// A routine of another subsystem played by the test while it lives; the one
// registered before comes back after (one that was not there answers nil).
class StandIn {
public:
    StandIn(std::string name, rt::Function fn) : name_(std::move(name)) {
        if (const rt::FunctionEntry* e = rt::find_function(name_)) before_ = e->fn;
        rt::register_function(name_, std::move(fn));
    }
    ~StandIn() {
        rt::register_function(name_, before_ ? before_ : [](std::span<const rt::Value>) { return rt::Value(); });
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

private:
    std::string name_;
    rt::Function before_;
};

class GridTest : public test_support::FoldersTest {
protected:
    void SetUp() override {
        FoldersTest::SetUp();
        common::Global{"CPF"}.set(rt::Value("12345678909"));
    }
    rt::table::Table& table(int area, const rt::table::Structure& s, const std::vector<Row>& rows) {
        const std::string path = client + "work" + std::to_string(area) + ".dbf";
        rt::table::create_table(path, s);
        rt::table::OpenOptions own;   // work copies are opened exclusively, as loading does
        own.exclusive = true;
        rt::table::Table& t = tables::ws().use_in(area, path, own);
        for (const auto& row : rows) {
            EXPECT_TRUE(t.append_blank());
            for (const auto& [field, v] : row) t.put(field, v);
        }
        t.commit();
        return t;
    }
    static std::vector<double> column(rt::table::Table& t, const char* field) {
        std::vector<double> out;
        for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
            t.go_to(r);
            out.push_back(t.get(field).as_number());
        }
        return out;
    }
    bool screen_has(std::string_view text) const {
        for (int r = 0; r < 25; ++r)
            if (term->text(r).find(text) != std::string::npos) return true;
        return false;
    }
};

}  // namespace qv::declaration::grids
