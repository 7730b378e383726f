// The long run of the crash harness: a writer killed at random instants,
// hundreds of times, on a table with two index bags and memos.
//
//   crash_soak [kills] [seed] [--no-index] [--index-work] [--orders]
//
// --no-index leaves the bags out (the table and its memos alone);
// --index-work adds PACK, INDEX ON and REINDEX to the writer's operations;
// --orders checks every order against a full scan after each kill.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "crash_harness.hpp"

int main(int argc, char** argv) {
    namespace crash = qv::rt::table::crash;
    crash::Options o;
    o.kills = 500;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--index-work") o.index_work = true;
        else if (a == "--no-index") o.indexes = false;
        else if (a == "--orders") o.check_orders = true;
        else if (positional++ == 0) o.kills = std::atoi(a.c_str());
        else o.seed = static_cast<unsigned>(std::strtoul(a.c_str(), nullptr, 10));
    }
    std::string tmpl = (std::filesystem::temp_directory_path() / "qvcrash.XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        return 2;
    }
    o.dir = tmpl;
    const crash::Report r = crash::run(o);
    for (const std::string& f : r.faults) std::printf("%s\n", f.c_str());
    std::printf("%d kills, %zu faults\n", r.kills, r.faults.size());
    std::error_code ec;
    if (r.faults.empty()) std::filesystem::remove_all(tmpl, ec);
    else std::printf("files kept in %s\n", tmpl.c_str());
    return r.faults.empty() ? 0 : 1;
}
