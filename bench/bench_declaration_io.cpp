// Loading and saving one declaration (20 assets, 10 payments, 5 income rows,
// 2 dependants) in client folders of 500, 2,000 and 10,000 such taxpayers;
// each save follows the edit of one payment.
// The folders are written straight as table files from one taxpayer's rows
// with the CPF changed; the indexes are built by the first opening.
//
// Measured on the development machine (a virtual machine of 8 cores shared
// with other builds, load average 3 to 8), medians (and the fastest) of 12
// runs, this code run in turn with the code before it, in ms:
//
//   taxpayers   load          save       (before: load, save)
//   500          9.9 (7.9)    11.8        12.4 (10.5), 11.1
//   2,000       10.8 (7.8)    23.6        11.6 (10.4), 19.3
//   10,000      10.8 (8.2)    58.2        12.4 (10.9), 52.5
//
// (The saves make the same instructions in both, 280 million for the five
// of 2,000 under callgrind: their difference is the disk.) The load no
// longer opens every table of the folder a second time, after the copies
// are refilled, for the sum of the taxpayer's rows a recovery compares:
// each table's rows are summed while the refill has it open.
//
// The save of 10,000 spends 23 ms of processor time; the rest is the disk,
// which the rewritten 29 MB table must reach before it takes the old one's
// name.
//
// Loading seeks each table by CPF and copies a few rows into the work
// copies the last declaration left on the disk, refilled in place: it stays
// flat with the folder's size. An index left in step by the one user who
// held its table alone (as a save leaves the tables it rewrote), or found
// in step at an opening, is not counted again while neither file moved. A
// save only rewrites the tables whose rows of the taxpayer changed, but such
// a table is written again whole, beside itself, and indexed anew while it
// goes to the disk: the save grows with the size of the edited tables (here
// the payments table: 1.4, 5.8 and 29 MB).
//
//   bench_declaration_io [folder [taxpayers]]   (default: a new temporary folder,
//   removed after, and the three sizes)
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "shell/routine_registry.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "declaration/loop/work_tables.hpp"
#include "bench_folder.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace fs = std::filesystem;
namespace tb = qv::rt::table;
using qv::rt::Value;

using qv::bench::cpf_of;
using qv::bench::replicate;

namespace {

constexpr int kRepeats = 5;

double ms_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Processor time of this thread, in ms (the time waited for the disk is
// not in it).
double cpu_ms() {
    timespec ts {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct Times {
    double load = 0, save = 0, load_cpu = 0, save_cpu = 0;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

Times measure(const std::string& cpf) {
    std::vector<double> loads, saves, load_cpus, save_cpus;
    for (int r = 0; r < kRepeats; ++r) {
        qv::rt::variables().set("CPF", Value(cpf));
        qv::tables::ABERTURA(9);
        qv::tables::ws().current(9).seek(Value(cpf));
        qv::rt::DeclarationScope scope;
        auto t0 = std::chrono::steady_clock::now();
        double c0 = cpu_ms();
        if (!qv::declaration::INIC_VAR(1, 1)) std::fprintf(stderr, "load failed\n");
        loads.push_back(ms_since(t0));
        load_cpus.push_back(cpu_ms() - c0);
        // One payment edited: its table is rewritten, the others are not.
        tb::Table& payments = qv::tables::ws().current(qv::declaration::work_area(6));
        payments.go_top();
        payments.put("I6_4", Value(payments.get("I6_4").as_number() + 1));
        payments.commit();
        t0 = std::chrono::steady_clock::now();
        c0 = cpu_ms();
        if (!qv::declaration::SALVATUDO(1)) std::fprintf(stderr, "save failed\n");
        saves.push_back(ms_since(t0));
        save_cpus.push_back(cpu_ms() - c0);
    }
    return {median(loads), median(saves), median(load_cpus), median(save_cpus)};
}

}  // namespace

int main(int argc, char** argv) {
    qv::rt::use_headless();
    qv::shell::register_system_routines();
    qv::rt::set_backend(std::make_unique<qv::rt::HeadlessBackend>());
    const bool own_dir = argc < 2;
    std::string base;
    if (own_dir) {
        std::string tmpl = (fs::temp_directory_path() / "bench_declaration_io.XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) return 1;
        base = tmpl;
    } else {
        base = argv[1];
    }
    std::printf("%-10s %12s %12s %14s %14s\n", "taxpayers", "load (ms)", "save (ms)", "load (proc.)", "save (proc.)");
    std::vector<int> sizes{500, 2000, 10000};
    if (argc > 2) sizes = {std::atoi(argv[2])};
    for (const int taxpayers : sizes) {
        const std::string root = base + "/f" + std::to_string(taxpayers);
        fs::remove_all(root);
        for (const char* sub : {"/prog", "/client", "/work"}) fs::create_directories(root + sub);
        qv::bench::set_up_variables(root, 11);
        qv::bench::write_plain_declaration(cpf_of(0));
        qv::tables::ws().close_all();
        for (int table = 1; table <= 20; ++table) replicate(root + "/client/", table, taxpayers);
        for (const auto& e : fs::directory_iterator(root + "/client"))
            if (e.path().extension() == ".cdx") fs::remove(e.path());
        const Times t = measure(cpf_of(taxpayers / 2));
        std::printf("%-10d %12.1f %12.1f %14.1f %14.1f\n", taxpayers, t.load, t.save, t.load_cpu, t.save_cpu);
        qv::tables::ws().close_all();
    }
    if (own_dir) fs::remove_all(base);
    return 0;
}
