// Cost of a full recalculation of the summary (CALC(7)) of a declaration
// with 20 income rows, 30 payments and 5 dependants, its work copies open
// on a temporary folder.
//
//   bench_recalculation [rounds]     (default 20000)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/routine_registry.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/payment_totals.hpp"
#include "declaration/calc/income_totals.hpp"
#include "declaration/calc/recalculation.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/state.hpp"

using namespace qv;
namespace tb = qv::rt::table;

namespace {

tb::Table& make_list(const std::string& folder, int area, const std::string& name, std::vector<tb::FieldSpec> f) {
    const std::string path = folder + "/" + name + ".DBF";
    tb::create_table(path, f, tb::MemoKind::None);
    return tables::ws().use_in(area, path, {.alias = {}, .exclusive = true});
}

void fill_income(tb::Table& t) {
    for (int i = 0; i < 20; ++i) {
        t.append_blank();
        t.put("I1_1", rt::Value(i % 4 == 3 ? "D" : "J"));
        t.put("I1_4", rt::Value(3000.0 + 150.0 * i));
        t.put("I1_5", rt::Value(100.0 + i));
        t.put("I1_6", rt::Value(330.0));
    }
    t.commit();
}

void fill_payments(tb::Table& t) {
    const int codes[] = {1, 2, 10, 11, 12, 30, 36, 39, 40, 50};
    for (int i = 0; i < 30; ++i) {
        t.append_blank();
        t.put("I6_3", rt::Value(codes[i % 10]));
        t.put("I6_4", rt::Value(250.0 + 10.0 * i));
        t.put("I6_6", rt::Value(i % 6));
    }
    t.commit();
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20000;
    std::string folder = (std::filesystem::temp_directory_path() / "qvbench.XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) return 1;
    rt::use_headless();
    qv::shell::register_system_routines();
    {
        rt::DeclarationScope scope;
        declaration::set_tax_constants();
        fill_income(make_list(folder, declaration::kIncomeArea, "REND",
                              {{"I1_1", 'C', 1, 0}, {"I1_4", 'N', 12, 2}, {"I1_5", 'N', 12, 2}, {"I1_6", 'N', 12, 2}}));
        fill_payments(make_list(folder, declaration::kPaymentsArea, "PAG",
                                {{"I6_3", 'N', 2, 0}, {"I6_4", 'N', 12, 2}, {"I6_5", 'N', 12, 2}, {"I6_6", 'N', 2, 0}}));
        declaration::set_value("USAPADRAO", rt::Value("N"));
        declaration::set_value("N_DEPEN", rt::Value(5));
        declaration::set_value("QTD_QUOTA", rt::Value(0));
        declaration::FI1_T(0);
        declaration::FDE_TUDO(0);
        declaration::CALC(7, 0);
        const auto t0 = std::chrono::steady_clock::now();
        for (int r = 0; r < rounds; ++r) declaration::CALC(7, 0);
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        std::printf("CALC(7): %.1f us per recalculation (%d rounds); I13_26 %.2f, I13_36 %.2f, I13_38 %.2f\n",
                    us / rounds, rounds, declaration::amount("I13_26"), declaration::amount("I13_36"),
                    declaration::amount("I13_38"));
        tables::ws().close_all();
    }
    std::filesystem::remove_all(folder);
    return 0;
}
