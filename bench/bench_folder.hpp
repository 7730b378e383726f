#pragma once
// A client folder of many taxpayers for the benchmarks that load
// declarations: the variables of a terminal pointed at a folder, one
// taxpayer's rows written through the table layer, and those rows repeated
// byte for byte under other CPFs (the indexes are built again at first use).
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/core/varstore.hpp"
#include "runtime/table/table.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::bench {

inline std::string cpf_of(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%011d", 10000000 + n);
    return buf;
}

// Program, client, work and tax-program folders under `root`, run as menu
// `opcao_1`; the other variables are cleared first unless `keep_others`.
inline void set_up_variables(const std::string& root, int opcao_1, bool keep_others = false) {
    using rt::Value;
    auto& v = rt::variables();
    if (!keep_others) v.clear();
    v.set("ARQDEF", Value(root + "/prog/"));
    v.set("LOCARQ", Value(root + "/client/"));
    v.set("LOCTRAB", Value(root + "/work/"));
    v.set("LOCIRPF", Value(root + "/irpf/"));
    v.set("NUSU", Value("00"));
    v.set("NOMEAG", Value("OPERADOR"));
    v.set("MOS_MENS", Value(false));
    v.set("REFAZ_IND", Value(false));
    v.set("APELIDO", Value(""));
    v.set("LRECUPERA", Value(false));
    v.set("OPCAO_1", Value(opcao_1));
    v.set("OPTTRAN", Value(0));
    v.set("ENV_STAT", Value(2));
    tables::ws().set_deleted(true);
}

// `count` rows of client table `table` for `cpf`, each filled by fill(table, i).
template <class Fill>
void add_rows(const std::string& cpf, int table, int count, Fill fill) {
    tables::ABERTURA(table);
    rt::table::Table& t = tables::ws().current(table);
    for (int i = 1; i <= count; ++i) {
        t.append_blank();
        t.put("CPF", rt::Value(cpf));
        fill(t, i);
        t.unlock();
    }
    tables::ws().close(table);
}

// One taxpayer's declaration (5 income rows, 2 dependants, 20 assets, 10
// payments), written through the table layer.
inline void write_plain_declaration(const std::string& cpf) {
    using rt::Value;
    using rt::table::Table;
    auto add = [&](int table, int count, auto fill) { add_rows(cpf, table, count, fill); };
    add(9, 1, [](Table& t, int) { t.put("NOMECONTR", Value("Contribuinte de teste")); });
    add(1, 1, [](Table& t, int) { t.put("I3_01", Value(45000.0)); });
    add(2, 5, [](Table& t, int i) {
        t.put("I1_2", Value("Fonte pagadora " + std::to_string(i)));
        t.put("I1_4", Value(1000.0 * i));
    });
    add(3, 2, [](Table& t, int i) { t.put("NOMEDEPEN", Value("Dependente " + std::to_string(i))); });
    add(4, 20, [](Table& t, int i) {
        t.put("I7_0", Value(i * 10));
        t.put("I7_2", Value("Bem numero " + std::to_string(i) + " descrito por extenso"));
        t.put("I7_4", Value(5000.0 * i));
    });
    add(6, 10, [](Table& t, int i) {
        t.put("I6_1", Value("Pagamento " + std::to_string(i)));
        t.put("I6_4", Value(150.0 * i));
    });
}

// Table `table` of the client folder with the template's rows repeated for
// `taxpayers` CPFs.
inline void replicate(const std::string& client, int table, int taxpayers) {
    char name[16];
    std::snprintf(name, sizeof name, "IMP%02d12", table);
    const std::string dbf = client + name + ".dbf";
    if (!std::filesystem::exists(dbf)) return;
    std::ifstream in(dbf, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const auto u16 = [&](std::size_t at) {
        return std::size_t((unsigned char)bytes[at]) | std::size_t((unsigned char)bytes[at + 1]) << 8;
    };
    const std::size_t header = u16(8), reclen = u16(10);
    const std::size_t count = (bytes.size() - header) / reclen;
    const std::string rows = bytes.substr(header, count * reclen);
    std::string out = bytes.substr(0, header);
    out.reserve(header + rows.size() * std::size_t(taxpayers) + 1);
    for (int n = 0; n < taxpayers; ++n) {
        std::string copy = rows;
        const std::string cpf = cpf_of(n);
        for (std::size_t r = 0; r < count; ++r) copy.replace(r * reclen + 1, 11, cpf);
        out += copy;
    }
    out += '\x1A';
    const std::uint32_t total = std::uint32_t(count) * std::uint32_t(taxpayers);
    for (int i = 0; i < 4; ++i) out[4 + std::size_t(i)] = char((total >> (8 * i)) & 0xFF);
    std::ofstream(dbf, std::ios::binary | std::ios::trunc) << out;
}

// The client folder as an office has it: every declaration table with its
// indexes, none written in the last hour (a table opened again and again
// is then trusted to match its index without counting every key).
inline void settle_client_folder(const std::string& client) {
    for (int table = 1; table <= 20; ++table) {
        if (table == 13) continue;
        tables::ABERTURA(table);
        tables::ws().close(table);
    }
    timespec times[2] {};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    for (const auto& e : std::filesystem::directory_iterator(client))
        ::utimensat(AT_FDCWD, e.path().c_str(), times, 0);
}

}  // namespace qv::bench
