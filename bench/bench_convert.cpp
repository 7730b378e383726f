// Speed of the converter on 1,000 tax-program declaration files of 2012,
// each with a register record, income sources, twelve monthly records of
// income from natural persons, dependants, payments, assets, debts, twelve
// stock-market months and a capital gain, converted into the tables of a
// new client folder.
//
//   bench_convert [files]     (default 1000)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "converter/converter_routines.hpp"
#include "converter/destination_tables.hpp"
#include "converter/file_conversion.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/backend.hpp"
#include "tables/state.hpp"

namespace fs = std::filesystem;

namespace {

class Record {
public:
    explicit Record(const char* type) : text_(type) {}
    Record& at(int from, const std::string& value) {
        const auto start = static_cast<std::size_t>(from - 1);
        if (text_.size() < start + value.size()) text_.resize(start + value.size(), ' ');
        text_.replace(start, value.size(), value);
        return *this;
    }
    Record& num(int from, int to, long long value) {
        std::string digits = std::to_string(value);
        digits.insert(0, static_cast<std::size_t>(std::max(0, to - from + 1 - static_cast<int>(digits.size()))), '0');
        return at(from, digits);
    }
    std::string line() const { return text_ + "\r\n"; }

private:
    std::string text_;
};

std::string declaration(int n) {
    char cpf[16];
    std::snprintf(cpf, sizeof cpf, "%011d", 10000000 + n);
    std::string out = Record("IRPF    ").at(9, "2012").at(165, "1234567890").line();
    out += Record("16").at(3, cpf).at(14, "CONTRIBUINTE " + std::to_string(n)).at(228, "SP").at(348, "0011")
               .at(352, "33334444").at(360, "15031970").line();
    for (int k = 0; k < 2; ++k)
        out += Record("21").at(14, "12345678000195").at(28, "EMPRESA").num(88, 100, 5000000 + k).num(127, 139, 10000)
                   .line();
    for (int month = 1; month <= 12; ++month)
        out += Record("22").at(14, "N").num(26, 27, month).num(28, 40, 100000).num(93, 105, 11000).line();
    out += Record("25").num(14, 18, 1).at(19, "21").at(21, "FILHO").at(81, "01012005").line();
    out += Record("26").at(14, "01").at(21, "12345678000195").at(35, "ESCOLA").num(106, 118, 300000).line();
    out += Record("26").at(14, "10").at(21, "12345678000195").at(35, "MEDICO").num(106, 118, 50000).line();
    for (int k = 0; k < 5; ++k)
        out += Record("27").at(14, "11").at(16, "0").at(20, "IMOVEL " + std::to_string(k)).num(532, 544, 1000000)
                   .num(545, 557, 1000000).line();
    out += Record("28").at(14, "11").at(16, "EMPRESTIMO").num(528, 540, 100000).num(541, 553, 50000).line();
    for (int month = 1; month <= 12; ++month)
        out += Record("40").num(14, 15, month).num(16, 28, 1000 * month).line();
    out += Record("60").at(14, "01").at(16, "TERRENO").line();
    out += Record("63").at(14, "1").at(15, "01").at(76, "10062011").num(85, 97, 9000000).num(98, 110, 4000000).line();
    return out + "T9\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    char tmpl[] = "/tmp/bench_convert.XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    const fs::path root = tmpl;
    fs::create_directories(root / "prog");
    fs::create_directories(root / "client");
    fs::create_directories(root / "source");
    qv::rt::use_headless();
    qv::converter::register_converter_routines();
    auto& v = qv::rt::variables();
    v.set("ARQDEF", qv::rt::Value((root / "prog").string() + "/"));
    v.set("LOCARQ", qv::rt::Value((root / "client").string() + "/"));
    v.set("NUSU", qv::rt::Value("01"));
    v.set("MOS_MENS", qv::rt::Value(false));
    std::vector<std::string> paths;
    for (int n = 0; n < files; ++n) {
        const std::string path = (root / "source" / ("D" + std::to_string(n) + ".DEC")).string();
        std::ofstream(path, std::ios::binary) << declaration(n);
        paths.push_back(path);
    }
    if (!qv::converter::CRIA_BASE()) return 1;
    std::vector<std::string> report;
    int converted = 0;
    const std::clock_t c0 = std::clock();
    const auto t0 = std::chrono::steady_clock::now();
    for (const auto& p : paths) converted += qv::converter::FAZCONV(qv::converter::kFullImport, p, report);
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    // Processor time too: on a busy machine the clock on the wall says more
    // about the other programs than about this one.
    const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    qv::tables::ws().close_all();
    std::printf("converted %d of %d files in %.3f s: %.0f files per second (%zu report lines)\n", converted, files,
                secs, files / secs, report.size());
    std::printf("processor time %.3f s: %.0f files per processor second\n", cpu, files / cpu);
    fs::remove_all(root);
    return converted == files ? 0 : 1;
}
