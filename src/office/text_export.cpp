#include "office/text_export.hpp"

#include <filesystem>
#include <fstream>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/option_bar.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "common/frame_boxes.hpp"
#include "office/folder_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace fs = std::filesystem;

namespace {

struct Export {
    int table;
    const char* file;
    const char* help;
};

constexpr Export kExports[] = {
    {4, "Bens.txt", "Exporta a declaração de bens p/arquivo Bens.txt"},
    {5, "Divida.txt", "Exporta a declaração de dívidas p/arquivo Divida.txt"},
    {6, "Pagos.txt", "Exporta os pagamentos para o arquivo Pagos.txt"},
    {9, "Cadastro.txt", "Exporta o cadastro para o arquivo Cadastro.txt"},
    {17, "Bensru.txt", "Exporta a declaração dos bens Rurais p/arquivo BensRu.txt"},
    {18, "Dividaru.txt", "Exporta a declaração de dívidas Rurais p/arquivo DividaRu.txt"},
    {16, "Imoveis.txt", "Exporta os Imóveis Rurais para o arquivo Imoveis.txt"},
};
constexpr int kBoxWindow = 3;

std::string work_folder() {
    const std::string loctrab = rt::TRIM(common::Global("LOCTRAB").text());
    return loctrab.empty() ? tables::program_folder() : local_folder(loctrab);
}

void export_table(const Export& e) {
    const bool is_register = e.table == kRegister;
    if (!is_register && !tables::ABERTURA(e.table)) return;
    if (is_register && !tables::ws().table(kRegister) && !tables::ABERTURA(kRegister)) return;
    tables::ws().select(e.table);
    if (ENV_ARQ(e.file))
        common::AVISOSN(std::vector<std::string>{"Criado arquivo " + std::string(e.file) + " na pasta", work_folder()}, 0);
    else
        common::AVISOSN("Erro ao criar o arquivo " + work_folder() + e.file, 0);
    if (!is_register) tables::ws().close(e.table);
}

}  // namespace

// One record as a line of the export: the runtime's delimited layout, but
// a quote inside a character field is doubled, so that a name such as
// O'BRIEN "ZE" stays one field for whoever reads the file.
std::string export_line(rt::table::Table& t) {
    std::string line;
    bool first = true;
    const auto& fields = t.fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].type == 'M') continue;   // memos are not exported as text
        if (!first) line += ',';
        first = false;
        if (fields[i].type != 'C') {
            line += rt::table::delimited_line(t, {static_cast<int>(i)});
            continue;
        }
        line += '"';
        for (const char c : rt::RTRIM(t.get(static_cast<int>(i)).as_string())) line += c == '"' ? "\"\"" : std::string(1, c);
        line += '"';
    }
    return line;
}

bool ENV_ARQ(const std::string& file) {
    rt::table::Table* t = tables::ws().table(0);
    if (!t) return false;
    const std::string folder = work_folder();
    const std::string beside = folder + "~" + file;
    const std::uint32_t here = t->recno();
    bool ok = true;
    {
        std::ofstream out(common::fs_path(beside), std::ios::binary | std::ios::trunc);
        try {
            for (t->go_top(); out && !t->eof(); t->skip(1)) out << export_line(*t) << "\r\n";
        } catch (const rt::table::TableError&) {
            ok = false;
        }
        out.flush();
        ok = ok && static_cast<bool>(out);
    }
    if (here != 0) t->go_to(here);
    std::error_code ec;
    if (ok) fs::rename(common::fs_path(beside), common::fs_path(folder + file), ec);
    if (!ok || ec) fs::remove(common::fs_path(beside), ec);
    return ok && !ec;
}

void EXPORTA() {
    rt::Value texts = rt::Value::array();
    for (const Export& e : kExports) texts.as_array()->push_back(rt::Value(rt::utf8_to_cp850(e.help)));
    common::paint_dialog_frame(12);
    common::Global("OPCOES").set(rt::Value("BDPCSRVI"));
    while (true) {
        common::Global("MENSMENU").set(texts);
        const int choice = common::ESC_OPCAO(3, 7, 3, 17, 1, 0, 1);
        if (choice < 1 || choice > 7) break;
        export_table(kExports[choice - 1]);
    }
    common::FECHAJAN(kBoxWindow);
    common::MENS();
}

}  // namespace qv::office
