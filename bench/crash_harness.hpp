#pragma once
// Kills a writer at random instants and checks what it leaves behind.
//
// A child process works on a table with two index bags (a structural one on
// CPF and a second bag on UPPER(NOME)) and a memo field: appends, replaces
// that rewrite every field and the memo, and, when asked, PACK, INDEX ON and
// REINDEX under exclusive use. Before each operation it writes to a journal
// what it is about to do, and after it that it is done. The parent kills it
// with SIGKILL after a random delay, opens the table and checks that every
// record the journal gives as committed is there unchanged (the one in
// flight may be old or new, never a mix), that every memo belongs to its
// record, and, when asked, that each order lists the records of a full
// scan in key order.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/core/fields.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::rt::table::crash {

struct Options {
    std::string dir;          // an empty folder of its own
    int kills = 40;
    unsigned seed = 1;
    int max_delay_us = 20000;
    bool indexes = true;      // the two bags; without them, the table and its memos alone
    bool index_work = false;  // PACK, INDEX ON and REINDEX among the operations
    bool check_orders = false;
};

struct Report {
    int kills = 0;
    std::vector<std::string> faults;
};

// The values of record `id` at version `v`.
inline std::string cpf_of(int id, int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%05d%06d", id % 100000, v % 1000000);
    return b;
}
inline std::string nome_of(int id, int v) {
    std::string n = "NOME " + std::to_string(id) + " V" + std::to_string(v);
    n.resize(30, ' ');
    return n;
}
inline std::string memo_of(int id, int v) {
    const auto len = static_cast<std::size_t>((id * 37 + v * 101) % 700);
    return std::to_string(id) + "/" + std::to_string(v) + ":" +
           std::string(len, static_cast<char>('a' + (id + v) % 26));
}

class Harness {
public:
    explicit Harness(Options o) : opt_(std::move(o)), rng_(opt_.seed) {}

    Report run() {
        Report rep;
        create();
        for (int k = 0; k < opt_.kills; ++k) {
            one_round(rep);
            ++rep.kills;
            if (rep.faults.size() > 20) break;
        }
        return rep;
    }

private:
    std::string table() const { return opt_.dir + "/CRASH.DBF"; }
    std::string bag2() const { return opt_.dir + "/CRASHB.CDX"; }
    std::string journal() const { return opt_.dir + "/journal.txt"; }

    void create() {
        Workspace ws;
        FieldResolver* saved = field_resolver();
        set_field_resolver(&ws);
        create_table(table(), {{"ID", 'N', 8, 0}, {"CPF", 'C', 11, 0}, {"NOME", 'C', 30, 0}, {"OBS", 'M', 10, 0}});
        if (opt_.indexes) {
            Table& t = ws.use(table(), OpenOptions{"", true, false, true});
            t.index_on("CPF", "CPF");
            IndexOptions io;
            io.bag = bag2();
            t.index_on("UPPER(NOME)", "NOME", io);
        }
        ws.close_all();
        set_field_resolver(saved);
    }

    Table& open(Workspace& ws, bool exclusive) const {
        Table& t = ws.use(table(), OpenOptions{"", exclusive, false, true});
        if (opt_.indexes) t.add_bag(bag2());
        return t;
    }

    static void fill(Table& t, int id, int v) {
        t.put("ID", Value(static_cast<double>(id)));
        t.put("CPF", Value(cpf_of(id, v)));
        t.put("NOME", Value(nome_of(id, v)));
        t.put("OBS", Value(memo_of(id, v)));
    }

    // The child's work, until it is killed.
    [[noreturn]] void child(int ready_fd, unsigned seed) {
        std::mt19937 rng(seed);
        const int jfd = ::open(journal().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0666);
        auto note = [&](const std::string& s) {
            if (::write(jfd, s.data(), s.size()) != static_cast<ssize_t>(s.size())) ::_exit(4);
        };
        Workspace ws;
        set_field_resolver(&ws);
        std::vector<int> version = versions_;
        try {
            Table* t = &open(ws, false);
            const char c = 'x';
            if (::write(ready_fd, &c, 1) != 1) ::_exit(5);
            for (;;) {
                const int pick = static_cast<int>(rng() % 10);
                if (opt_.index_work && pick == 0) {
                    const int what = static_cast<int>(rng() % 3);
                    note("B X\n");
                    ws.close_all();
                    Table& x = open(ws, true);
                    if (what == 0) x.pack();
                    else if (what == 1) x.reindex();
                    else {
                        IndexOptions io;
                        io.bag = bag2();
                        x.index_on("UPPER(NOME)", "NOME", io);
                    }
                    ws.close_all();
                    note("C\n");
                    t = &open(ws, false);
                } else if (pick < 5 || version.empty()) {
                    const int id = static_cast<int>(version.size()) + 1;
                    note("B " + std::to_string(id) + " 1\n");
                    if (!t->append_blank()) ::_exit(6);
                    fill(*t, id, 1);
                    t->unlock();
                    version.push_back(1);
                    note("C\n");
                } else {
                    const int id = static_cast<int>(rng() % version.size()) + 1;
                    const int v = version[static_cast<std::size_t>(id - 1)] + 1;
                    note("B " + std::to_string(id) + " " + std::to_string(v) + "\n");
                    t->go_to(static_cast<std::uint32_t>(id));
                    if (!t->rlock()) ::_exit(7);
                    fill(*t, id, v);
                    t->unlock();
                    version[static_cast<std::size_t>(id - 1)] = v;
                    note("C\n");
                }
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "crash child: %s\n", e.what());
        }
        ::_exit(3);
    }

    void one_round(Report& rep) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        const unsigned seed = static_cast<unsigned>(rng_());
        const pid_t pid = ::fork();
        if (pid < 0) {
            ::close(ready[0]);
            ::close(ready[1]);
            rep.faults.push_back("round " + std::to_string(rep.kills) + ": cannot start the writer");
            return;
        }
        if (pid == 0) {
            ::close(ready[0]);
            child(ready[1], seed);
        }
        ::close(ready[1]);
        char c;
        const bool started = ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
        if (started) ::usleep(static_cast<useconds_t>(rng_() % static_cast<unsigned>(opt_.max_delay_us + 1)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!started || !(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
            rep.faults.push_back("round " + std::to_string(rep.kills) + ": the writer stopped by itself");
            return;
        }
        check(rep);
    }

    // Brings the committed versions up to the journal and returns the
    // operation in flight when the writer died: record id and version (0, 0
    // when none, -1 for work on the indexes).
    std::pair<int, int> replay() {
        std::ifstream in(journal());
        std::string line;
        std::pair<int, int> open{0, 0};
        while (std::getline(in, line)) {
            if (line == "C") {
                if (open.first > 0) {
                    const auto i = static_cast<std::size_t>(open.first - 1);
                    if (i >= versions_.size()) versions_.resize(i + 1, 0);
                    versions_[i] = open.second;
                }
                open = {0, 0};
            } else if (line == "B X") {
                open = {-1, 0};
            } else if (line.size() > 2 && line[0] == 'B') {
                std::istringstream ls(line.substr(2));
                ls >> open.first >> open.second;
            }
        }
        return open;
    }

    void check(Report& rep) {
        const std::string at = "round " + std::to_string(rep.kills) + ": ";
        auto fault = [&](const std::string& s) { rep.faults.push_back(at + s); };
        const auto [pid, pv] = replay();
        Workspace ws;
        FieldResolver* saved = field_resolver();
        set_field_resolver(&ws);
        try {
            Table& t = open(ws, false);
            const auto committed = static_cast<std::uint32_t>(versions_.size());
            const std::uint32_t n = t.lastrec();
            const bool append_in_flight = pid == static_cast<int>(committed) + 1;
            if (n != committed && !(append_in_flight && n == committed + 1))
                fault("record count " + std::to_string(n) + ", committed " + std::to_string(committed));
            std::vector<int> seen;
            t.set_order(0);
            for (std::uint32_t r = 1; r <= n; ++r) {
                t.go_to(r);
                const int id = static_cast<int>(r);
                const int old_v = r <= committed ? versions_[r - 1] : 0;
                const std::string cpf = t.get("CPF").as_string();
                int v = -1;
                for (int cand : {old_v, id == pid ? pv : -1})
                    if (cand >= 0 && cpf == (cand == 0 ? std::string(11, ' ') : cpf_of(id, cand))) v = cand;
                if (v < 0) {
                    fault("record " + std::to_string(r) + " holds CPF '" + cpf + "'");
                    seen.push_back(old_v);
                    continue;
                }
                if (v == 0) {   // a new record not filled in yet
                    seen.push_back(0);
                    continue;
                }
                if (t.get("NOME").as_string() != nome_of(id, v) || t.get("OBS").as_string() != memo_of(id, v))
                    fault("record " + std::to_string(r) + " is a mix of two versions");
                seen.push_back(v);
            }
            if (opt_.check_orders) check_orders(t, n, fault);
            ws.close_all();
            versions_.assign(seen.begin(), seen.end());
            while (!versions_.empty() && versions_.back() == 0) versions_.pop_back();
            if (std::find(versions_.begin(), versions_.end(), 0) != versions_.end()) {
                fault("a blank record before the last one");
            }
            if (versions_.size() < n) {   // a blank last record: fill it in
                Table& u = open(ws, true);
                for (std::uint32_t r = static_cast<std::uint32_t>(versions_.size()) + 1; r <= n; ++r) {
                    u.go_to(r);
                    fill(u, static_cast<int>(r), 1);
                    versions_.push_back(1);
                }
                ws.close_all();
            }
        } catch (const std::exception& e) {
            fault(std::string("cannot be opened or read: ") + e.what());
        }
        set_field_resolver(saved);
    }

    template <typename Fault>
    static void check_orders(Table& t, std::uint32_t n, Fault fault) {
        for (int order = 1; order <= t.order_count(); ++order) {
            std::vector<std::pair<std::string, std::uint32_t>> scan;
            t.set_order(0);
            for (std::uint32_t r = 1; r <= n; ++r) {
                t.go_to(r);
                std::string key = order == 1 ? t.get("CPF").as_string() : t.get("NOME").as_string();
                for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                scan.emplace_back(key, r);
            }
            std::sort(scan.begin(), scan.end());
            std::vector<std::uint32_t> walked;
            t.set_order(order);
            for (t.go_top(); !t.eof() && walked.size() <= n; t.skip()) walked.push_back(t.recno());
            std::vector<std::uint32_t> expected;
            for (const auto& s : scan) expected.push_back(s.second);
            if (walked != expected)
                fault("order " + t.order_name(order) + " lists " + std::to_string(walked.size()) +
                      " records that disagree with the table's " + std::to_string(n));
        }
    }

    Options opt_;
    std::mt19937 rng_;
    std::vector<int> versions_;   // committed version of each record
};

inline Report run(const Options& o) { return Harness(o).run(); }

}  // namespace qv::rt::table::crash
