#include "office/letter_dialogs.hpp"

#include <algorithm>
#include <filesystem>

#include "common/globals.hpp"
#include "common/letter_names.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "office/boxes.hpp"
#include "office/letter_merge.hpp"
#include "office/letters_editor.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/achoice.hpp"
#include "runtime/ui/read.hpp"

namespace qv::office {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kBoxWindow = 11;
constexpr int kListRows = 8;

// The file names of the program folder with the extension (any letter case).
std::vector<std::string> files_with(std::string_view extension) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(common::fs_path(Global{"ARQDEF"}.text()), ec)) {
        const std::string name = rt::utf8_to_cp850(entry.path().filename().string());
        if (entry.is_regular_file(ec) && name.size() > extension.size() &&
            rt::UPPER(name.substr(name.size() - extension.size())) == rt::UPPER(extension))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void show_screen(std::string_view title, const std::vector<std::string>& lines) {
    const std::string saved = rt::SAVESCREEN();
    std::vector<std::string> body{std::string(title)};
    body.insert(body.end(), lines.begin(), lines.end());
    body.push_back("Tecle algo para retornar a edição..."_cp);
    // The text from row 1, the frame around it.
    open_box(kBoxWindow, 1, 2, 2 + static_cast<int>(body.size()), 77, body);
    rt::INKEY(-1);
    common::FECHAJAN(kBoxWindow);
    rt::RESTSCREEN(saved);
}

struct FormatField {
    const char* label;
    int LetterFormat::*value;   // nullptr: the total width
    const char* picture;
};

}  // namespace

int ask_field_number() {
    const auto& names = merge_placeholders();
    std::vector<std::string> lines(12);
    for (std::size_t i = 0; i < names.size(); ++i)
        lines[i % 12] += rt::PADR(rt::STR(static_cast<double>(i + 1), 2) + " " + names[i], 24);
    const std::string saved = rt::SAVESCREEN();
    open_box(kBoxWindow, 3, 3, 16, 76, lines);
    Global{"NCAMPO"}.set(rt::Value(0));
    common::MensArgs args;
    args.name = "NCAMPO";
    args.width = 2;
    args.picture = "99";
    args.valid = "NCAMPO >= 0 .AND. NCAMPO <= 35";
    args.row = 18;
    const rt::Value answer = common::MENS(14, "Informe o número"_cp, args);
    common::FECHAJAN(kBoxWindow);
    rt::RESTSCREEN(saved);
    return answer.is_number() ? static_cast<int>(answer.as_number()) : 0;
}

void help_keys() {
    const char* rows[][3] = {
        {"Up", "Ctrl-E", "Linha acima"}, {"Down", "Ctrl-X", "Linha abaixo"},
        {"Left", "Ctrl-S", "Caracter à esquerda"}, {"Right", "Ctrl-D", "Caracter à direita"},
        {"Ctrl+Left", "Ctrl-A", "Palavra à esquerda"}, {"Ctrl+Right", "Ctrl-F", "Palavra à direita"},
        {"Home", "", "Início da linha"}, {"End", "", "Fim da linha"},
        {"Ctrl-Home", "", "Início da janela"}, {"Ctrl-End", "", "Fim da janela"},
        {"PgUp", "", "Página anterior"}, {"PgDn", "", "Próxima página"},
        {"Ctrl-PgUp", "", "Início do arquivo"}, {"Ctrl-PgDn", "", "Fim do arquivo"},
        {"Return", "", "Início da próxima linha"}, {"Delete", "", "Apaga o caracter"},
        {"Backspace", "", "Apaga o caracter à esquerda"}, {"Tab", "", "Insere uma tabulação"},
        {"Ctrl-Y", "", "Apaga a linha"}, {"Ctrl-T", "", "Apaga a palavra à direita"},
    };
    std::vector<std::string> lines;
    for (const auto& r : rows)
        lines.push_back(rt::PADR(r[0], 12) + rt::PADR(r[1], 10) + rt::utf8_to_cp850(r[2]));
    show_screen("Texto de Help de Teclas do Editor", lines);
}

void help_menus() {
    const char* rows[][2] = {
        {"Arquivos Abrir", "Abre um arquivo já existente."},
        {"Arquivos Novo", "Abre um novo arquivo."},
        {"Arquivos Salvar", "Salva o arquivo corrente."},
        {"Arquivos salvar Como", "Salva o texto corrente com outro nome "},
        {"Arquivos saiR", "Sai do Editor de Texto."},
        {"Edição Busca", "Procura um determinado trecho de texto"},
        {"Edição busca Novamente", "Repete a procura anterior "},
        {"Edição Insere campos", "Insere campos para mala direta"},
        {"Impressão Texto", "Imprime o Texto sem mesclar com a mala"},
        {"Impressão Mala", "Imprime o Texto mesclando com os dados"},
    };
    std::vector<std::string> lines{""};
    for (const auto& r : rows) lines.push_back(rt::PADR(rt::utf8_to_cp850(r[0]), 24) + rt::utf8_to_cp850(r[1]));
    lines.push_back("");
    lines.push_back(" As setas fazem a movimentação e o Enter seleciona "_cp);
    lines.push_back("");
    show_screen("Texto de Help de Modulos do Editor", lines);
}

bool FORMTXT(LetterDoc& doc) {
    LetterFormat f = doc.format;
    int total = f.width + f.left + f.right;
    const FormatField fields[] = {
        {"Margem Esquerda", &LetterFormat::left, "999"}, {"Margem Direita", &LetterFormat::right, "999"},
        {"Largura Total", nullptr, "999"},                {"Margem Superior", &LetterFormat::top, "99"},
        {"Margem Inferior", &LetterFormat::bottom, "99"}, {"Tamanho da Página", &LetterFormat::lines, "99"},
    };
    std::vector<std::string> labels;
    for (const auto& fd : fields) labels.push_back(rt::utf8_to_cp850(fd.label));
    const std::string saved = rt::SAVESCREEN();
    open_box(kBoxWindow, 7, 22, 14, 56, labels);
    rt::GetList gets;
    int row = 7;
    for (const auto& fd : fields) {
        int* target = fd.value ? &(f.*(fd.value)) : &total;
        gets.emplace_back(
            row++, 44, rt::UPPER(fd.label).substr(0, 10), [target] { return rt::Value(*target); },
            [target](const rt::Value& v) { *target = static_cast<int>(v.as_number()); }, fd.picture);
    }
    gets[0].valid([&] { return f.left >= 0; });
    gets[1].valid([&] { return f.right >= 0; });
    gets[2].valid([&] { return total >= f.left + f.right + 1; });
    gets[3].valid([&] { return f.top >= 0; });
    gets[4].valid([&] { return f.bottom >= 0; });
    gets[5].valid([&] { return f.lines >= f.top + f.bottom + 1; });
    const bool confirmed = rt::READ(gets) && total >= f.left + f.right + 1 && f.lines >= f.top + f.bottom + 1;
    common::FECHAJAN(kBoxWindow);
    rt::RESTSCREEN(saved);
    if (!confirmed) return false;
    f.width = total - f.left - f.right;
    doc.format = f;
    doc.modified = true;
    return true;
}

std::string ESCOL_CART(bool groups) {
    constexpr std::string_view extension = ".grp";
    const int width = groups ? 20 : 12;
    std::vector<std::string> names = groups ? files_with(extension) : common::letter_names();
    if (groups)
        for (auto& n : names) n.erase(n.size() - extension.size());
    std::vector<std::string> items;
    std::vector<bool> selectable;
    for (const auto& n : names) {
        items.push_back(rt::PADR(n, width));
        selectable.push_back(true);
    }
    while (items.size() < static_cast<std::size_t>(kListRows)) {
        items.push_back(rt::SPACE(width));
        selectable.push_back(false);
    }
    // The box's corners are given as the window layer counts (from 1); the
    // list fills its inside, screen rows `top`.. and columns `left`.. .
    const int top = 8, left = 30;
    const std::string saved = rt::SAVESCREEN();
    open_box(kBoxWindow, top, left, top + kListRows + 1, left + width + 1, {});
    const int chosen = rt::ACHOICE(top, left, top + kListRows - 1, left + width - 1, items, selectable);
    common::FECHAJAN(kBoxWindow);
    rt::RESTSCREEN(saved);
    if (chosen < 1 || chosen > static_cast<int>(names.size())) return {};
    // A name wider than the list is shown cut and chosen whole.
    return names[static_cast<std::size_t>(chosen - 1)];
}

}  // namespace qv::office
