#include "converter/disk_import.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/report_box.hpp"
#include "common/windows.hpp"
#include "converter/converter_screens.hpp"
#include "converter/declaration_file.hpp"
#include "converter/destination_tables.hpp"
#include "converter/file_conversion.hpp"
#include "converter/folder_form.hpp"
#include "converter/name_grid.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using common::Global;
using rt::operator""_cp;
using rt::Value;
namespace fs = std::filesystem;
namespace tb = rt::table;

constexpr int kPickList = 70;

// The files and records not taken, each line wrapped in the box (a
// file's name and its reason seldom fit in one line).
void show_report(const std::vector<std::string>& report) {
    common::show_report("Arquivos e registros não convertidos:"_cp, report);
}

}  // namespace

bool stop_asked() {
    if (rt::NEXTKEY() != rt::key::ESC) return false;
    rt::INKEY();
    return common::AVISOSN("Abandona a conversão dos dados? S/N"_cp, 2).as_string() == "S";
}

void show_counters(const Counters& c) {
    show_counter(1, c.to_convert);
    show_counter(2, c.converted);
    show_counter(3, c.existing);
    show_counter(4, c.refused);
    show_counter(5, c.left);
}

std::vector<std::string> declaration_files(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const char* ext : {".DBK", ".DEC", ".BAK"}) {
        std::vector<std::string> group;
        for (const auto& e : fs::directory_iterator(common::fs_path(folder), ec))
            if (e.is_regular_file(ec) && rt::UPPER(e.path().extension().string()) == ext)
                group.push_back(rt::utf8_to_cp850(e.path().string()));
        std::sort(group.begin(), group.end());
        out.insert(out.end(), group.begin(), group.end());
    }
    return out;
}

int list_taxpayers(const std::vector<std::string>& files) {
    tb::Table& list = tables::ws().current(kPickList);
    int found = 0;
    int n = 0;
    for (const std::string& path : files) {
        ++n;
        std::ifstream in(common::fs_path(path), std::ios::binary);
        std::string first, second;
        std::getline(in, first);
        std::getline(in, second);
        for (std::string* line : {&first, &second})
            while (!line->empty() && (line->back() == '\r' || line->back() == '\0')) line->pop_back();
        const auto header = read_header(first);
        if (!header) continue;
        ++found;
        common::MENS(0, "Verificando " + std::to_string(n) + " de " + std::to_string(files.size()) + " declaracoes!");
        const Line id(second);
        if (id.type() != "16") continue;
        const std::string name = common::TIRA_DIR(path);
        tables::ws().select(kPickList);
        if (!tables::ADD_REC(2)) continue;
        list.put("NOMEARQ", Value(name));
        list.put("TIPO", Value(Line(first).raw(1, 12)));
        list.put("ORIGEM", Value(Line(first).raw(1, 4) + rt::SUBSTR(name, 28, 5) + (header->year == 2011 ? " 11" : " 12")));
        list.put("CPF", Value(id.raw(3, 13)));
        list.put("NOMECONTR", Value(id.text(14, 66)));
        list.commit();
    }
    list.go_top();
    return found;
}

Counters convert_marked(int kind, const std::string& folder, std::vector<std::string>& report) {
    tb::Table& list = tables::ws().current(kPickList);
    list.set_order(1);
    Counters c;
    for (list.go_top(); !list.eof(); list.skip(1)) c.to_convert += list.get("IMPRE").as_string() == "S";
    c.left = c.to_convert;
    if (common::find_window(kCounterWindow)) show_counters(c);
    for (list.go_top(); !list.eof(); list.skip(1)) {
        if (list.get("IMPRE").as_string() != "S") continue;
        const std::string path = common::BAR_DIR(folder) + rt::RTRIM(list.get("NOMEARQ").as_string());
        if (common::find_window(kFormWindow)) show_taxpayer(list.get("CPF").as_string(), list.get("NOMECONTR").as_string());
        switch (convert_file(kind, path, report)) {
            case FileOutcome::Converted: ++c.converted; break;
            case FileOutcome::Existing: ++c.existing; break;
            case FileOutcome::Refused: ++c.refused; break;
        }
        --c.left;
        if (common::find_window(kCounterWindow)) show_counters(c);
        if (stop_asked()) break;
    }
    return c;
}

void CONVDISCO(int kind) {
    tables::set_show_messages(false);
    ABRE_DISCO(kind);
}

void ABRE_DISCO(int kind) {
    if (!PEGAOSDIR(3)) return;
    common::MENS(0, "Processando...");
    if (!CRIA_BASE()) return;
    const std::string folder = Global{"ARQORIG"}.text();
    const std::vector<std::string> files = declaration_files(folder);
    if (files.empty()) {
        common::AVISOSN("O local escolhido não contém a informação pedida da Receita"_cp, 0);
        return;
    }
    if (!tables::ABERTURA(kPickList)) return;
    tables::ws().current(kPickList).zap();
    if (list_taxpayers(files) == 0) {
        common::AVISOSN("Na pasta existem "_cp + std::to_string(files.size()) + " declarações, mas não de 2011 ou 2012"_cp, 0);
        return;
    }
    EDITA(1);
    MTELA1(4);
    MTELA3(3);
    std::vector<std::string> report;
    const Counters c = convert_marked(kind, folder, report);
    common::MENS();
    if (c.to_convert == 0)
        common::AVISOSN(std::vector<std::string>{"Nenhum contribuinte foi marcado para a conversão."_cp,
                                                 "Marque com S (sim) nos que deseja converter.    "},
                        0);
    if (c.converted > 0) Global{"NOVIN"}.set(Value(true));
    show_report(report);
    common::FECHAJAN(kFormWindow);
}

}  // namespace qv::converter
