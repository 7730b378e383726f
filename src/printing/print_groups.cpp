#include "printing/print_groups.hpp"

#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/letter_names.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
constexpr std::size_t kGroupLine = 15;   // "CPF" in quotes and CR LF

rt::table::Table* register_table() {
    if (!tables::ws().table(kRegisterArea)) tables::ABERTURA(kRegisterArea);
    return tables::ws().table(kRegisterArea);
}

// F1 while a name is asked: the list of letters (or of the program
// folder's groups); the chosen name goes into the field.
rt::KeyHandler list_on_f1(const char* variable, int width, bool groups) {
    return rt::SETKEY(rt::key::F1, [variable, width, groups] {
        const rt::Value chosen = rt::call_function("ESCOL_CART", std::vector<rt::Value>{rt::Value(groups)});
        if (!chosen.is_string() || rt::ALLTRIM(chosen.as_string()).empty()) return;
        Global{variable}.set(rt::Value(rt::PADR(rt::UPPER(rt::ALLTRIM(chosen.as_string())), width)));
        if (rt::Get* g = rt::current_get()) {
            g->update_buffer();
            g->display();
        }
    });
}

// One text asked at the foot of the screen; nullopt on Esc or when empty.
// The prompt goes with the answer: the callers (the e-mail among them) go
// on with the screen as it was.
std::optional<std::string> ask(std::string_view prompt, const char* variable, int width, bool groups = false) {
    constexpr int kRow = 22;
    const std::string under = rt::SAVESCREEN(kRow, 0, kRow, 79);
    Global{variable}.set(rt::Value(rt::SPACE(width)));
    rt::at_say(kRow, 2, prompt);
    rt::at_get(kRow, 2 + static_cast<int>(prompt.size()), std::string("M->") + variable, "@!");
    rt::KeyHandler before = list_on_f1(variable, width, groups);
    const bool read = rt::READ();
    rt::SETKEY(rt::key::F1, std::move(before));
    rt::RESTSCREEN(kRow, 0, kRow, 79, under);
    if (!read) return std::nullopt;
    const std::string answer = rt::ALLTRIM(Global{variable}.text());
    if (answer.empty()) return std::nullopt;
    return answer;
}

std::string group_file(const std::string& name) { return Global{"ARQDEF"}.text() + name + ".grp"; }

}  // namespace

bool write_group(const std::string& file) {
    auto* reg = register_table();
    if (!reg) return false;
    std::ofstream out(common::fs_path(file), std::ios::binary | std::ios::trunc);
    for (reg->go_top(); out && !reg->eof(); reg->skip(1))
        if (!reg->deleted() && rt::TRIM(reg->get("IMPRE").as_string()) == "S")
            out << '"' << rt::PADR(rt::TRIM(reg->get("CPF").as_string()), 11) << "\"\r\n";
    return static_cast<bool>(out);
}

bool read_group(const std::string& file) {
    std::ifstream in(common::fs_path(file), std::ios::binary);
    auto* reg = register_table();
    if (!in || !reg) return false;
    tables::ws().select(kRegisterArea);
    if (!tables::FIL_LOCK()) return false;
    for (reg->go_top(); !reg->eof(); reg->skip(1)) reg->put("IMPRE", rt::Value(" "));
    reg->unlock();
    std::string piece(kGroupLine, '\0');
    while (in.read(piece.data(), kGroupLine) || in.gcount() > 0) {
        if (in.gcount() < 13) break;
        const std::string cpf = piece.substr(1, 11);
        if (reg->seek(rt::Value(cpf)) && tables::REC_LOCK()) {
            reg->put("IMPRE", rt::Value("S"));
            reg->unlock();
        }
        if (in.gcount() < static_cast<std::streamsize>(kGroupLine)) break;
    }
    return true;
}

bool BUSGRUPO(int mode) {
    for (;;) {
        const auto name = ask("Informe nome do Grupo: ", "CNOMEGRP", 20, true);
        if (!name) return false;
        const std::string file = group_file(*name);
        const bool exists = std::filesystem::exists(common::fs_path(file));
        if (mode == 1) {
            if (exists && common::AVISOSN("Grupo ja existente! Recriar?", 2).as_string() != "S") continue;
            declaration::call_named("EDITA", {rt::Value(53)});
            return write_group(file);
        }
        if (!exists) {
            common::AVISOSN("Grupo não encontrado!"_cp, 0);
            continue;
        }
        if (read_group(file)) return true;
        common::MENS(11, "Erro ao ler o arquivo " + file);
        return false;
    }
}

bool PEGA_CARTA() {
    // The hint takes the whole status line: no piece of the help that stood
    // there (the taxpayer prompt's) is left after it.
    common::MENS();
    common::AVISO("Tecle F1 para ver as cartas disponíveis"_cp);
    const auto name = ask("Nome da Carta:", "NOMCART", 12);
    common::MENS();   // the hint goes with the question
    if (!name) return false;
    if (!common::letter_exists(*name)) {
        common::AVISOSN("Carta não encontrada!"_cp, 0);
        return false;
    }
    // The printing and the e-mail read the letter under the name the rule
    // gives it.
    Global{"NOMCART"}.set(rt::Value(common::letter_file_name(*name)));
    return true;
}

}  // namespace qv::printing
