// Sending every declaration of a client folder of 1,000 taxpayers to the
// tax program's folder, as menu 65 does: each declaration is loaded into
// the work copies, its XML file generated, copied into its CPF folder and
// entered into the program's declaration index.
//
// Measured on the development machine (a virtual machine shared with other
// builds, load average 2 to 4), 1,000 declarations of 5 income rows, 2
// dependants, 20 assets, 10 payments, one real-estate gain and a rural
// activity in Brazil each, in a settled folder (every table indexed, nothing
// written in the last hour):
//
//                                  folders on disk       folders in memory
//   earlier (quiet machine)         37.1 s               -
//     of which the transfer          6.2 s
//   now                             6.0 to 7.4 s         4.6 to 6.0 s
//     of which the transfer          1.7 to 2.9 s         1.1 to 1.4 s
//
// Loading: the walk keeps the work copies open and refills each one in
// place for the next taxpayer (its records replaced, its index rebuilt in
// the same file) instead of removing, creating and indexing 19 files per
// declaration; a table opened for a few records is read without mapping it
// (unmapping cost more than the reads); an index unchanged since this
// process last found it in step with its table is not counted again. What
// remains is opening each of the 19 client tables exclusively per
// declaration, which keeps a load from reading another terminal's save half
// done.
//
// The transfer: the declaration's copy and the index are written aside and
// renamed without being forced to disk, the index is rewritten in one pass,
// reference lists and the saved rural tables are kept in memory while their
// files are unchanged, and figures are formatted once.
//
//   bench_transfer [folder [taxpayers]]   (default: a new temporary folder,
//   removed after, and 1,000 taxpayers)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "declaration/loop/declaration_load.hpp"
#include "bench_folder.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "shell/routine_registry.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/transfer_flow.hpp"

namespace fs = std::filesystem;
namespace tb = qv::rt::table;
using qv::rt::Value;

using qv::bench::cpf_of;
using qv::bench::replicate;

namespace {

void write_template(const std::string& cpf) {
    auto add = [&](int table, int count, auto fill) { qv::bench::add_rows(cpf, table, count, fill); };
    add(9, 1, [](tb::Table& t, int) {
        t.put("NOMECONTR", Value("Contribuinte de teste"));
        t.put("TEMRURAL", Value("S"));
        t.put("ATV_BRASIL", Value("S"));   // the activity the declaration stands on
        t.put("UF", Value("SP"));
    });
    add(1, 1, [](tb::Table& t, int) { t.put("I3_01", Value(45000.0)); });
    add(2, 5, [](tb::Table& t, int i) {
        t.put("I1_1", Value("J"));
        t.put("I1_2", Value("Fonte pagadora " + std::to_string(i)));
        t.put("I1_3", Value("1122233300018" + std::to_string(i)));
        t.put("I1_4", Value(1000.0 * i));
    });
    add(3, 2, [](tb::Table& t, int i) { t.put("NOMEDEPEN", Value("Dependente " + std::to_string(i))); });
    add(4, 20, [](tb::Table& t, int i) {
        t.put("I7_0", Value(i * 10));
        t.put("I7_2", Value("Bem numero " + std::to_string(i) + " descrito por extenso"));
        t.put("I7_4", Value(5000.0 * i));
    });
    add(6, 10, [](tb::Table& t, int i) {
        t.put("I6_1", Value("Pagamento " + std::to_string(i)));
        t.put("I6_3", Value(10));
        t.put("I6_4", Value(150.0 * i));
    });
    add(7, 1, [](tb::Table& t, int) {
        t.put("BEM_NRO", Value(1));
        t.put("TIPO_BEM", Value(1));
        t.put("ESPC_BEM", Value("Apartamento"));
        t.put("VAL_ALI", Value(300000.0));
        t.put("CUS_ATUAL", Value(200000.0));
        t.put("VEN_PRAZO", Value("N"));
        t.put("VENDAANT", Value("N"));
    });
    add(15, 1, [](tb::Table& t, int) {
        t.put("ATV_BRASIL", Value("S"));
        t.put("I4R_01", Value(12000.0));
    });
    add(16, 1, [](tb::Table& t, int) {
        t.put("ATV_BRASIL", Value("S"));
        t.put("I2R_01", Value("Sitio Boa Vista"));
        t.put("I2R_02", Value(12.5));
    });
}

}  // namespace

int main(int argc, char** argv) {
    qv::rt::use_headless();
    qv::rt::set_backend(std::make_unique<qv::rt::HeadlessBackend>());
    qv::shell::register_system_routines();
    const bool own_dir = argc < 2;
    std::string base;
    if (own_dir) {
        std::string tmpl = (fs::temp_directory_path() / "bench_transfer.XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) return 1;
        base = tmpl;
    } else {
        base = argv[1];
    }
    const int taxpayers = argc > 2 ? std::atoi(argv[2]) : 1000;
    const std::string root = base + "/f" + std::to_string(taxpayers);
    fs::remove_all(root);
    for (const char* sub : {"/prog", "/client", "/work", "/irpf"}) fs::create_directories(root + sub);
    qv::bench::set_up_variables(root, 65);
    write_template(cpf_of(0));
    qv::tables::ws().close_all();
    for (int table = 1; table <= 20; ++table) replicate(root + "/client/", table, taxpayers);
    for (const auto& e : fs::directory_iterator(root + "/client"))
        if (e.path().extension() == ".cdx") fs::remove(e.path());
    qv::bench::settle_client_folder(root + "/client/");

    int sent = 0;
    double sending = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int n = 0; n < taxpayers; ++n) {
        const std::string cpf = cpf_of(n);
        qv::rt::variables().set("CPF", Value(cpf));
        qv::tables::ABERTURA(9);
        qv::tables::ws().current(9).seek(Value(cpf));
        qv::rt::DeclarationScope scope;
        if (!qv::declaration::INIC_VAR(1, 1)) continue;
        const auto t1 = std::chrono::steady_clock::now();
        if (qv::transfer::transfer_declaration() == qv::transfer::TransferOutcome::Sent) ++sent;
        sending += std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count();
    }
    qv::tables::FECHA_PROV();   // as the walk does when it ends
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%d of %d declarations transferred in %.2f s (%.1f ms each), of which %.2f s generating, copying "
                "and indexing, the rest loading\n",
                sent, taxpayers, seconds, seconds * 1000 / taxpayers, sending);
    qv::tables::ws().close_all();
    if (own_dir) fs::remove_all(base);
    return sent == taxpayers ? 0 : 1;
}
