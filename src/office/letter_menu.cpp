// The editor's pull-down menu and the commands it runs.
#include <algorithm>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "office/letter_dialogs.hpp"
#include "office/letter_merge.hpp"
#include "office/letters_editor.hpp"
#include "printing/nao_dos_job.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/memoedit_layout.hpp"
#include "runtime/ui/menu.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;

enum Item {
    kOpen = 1, kNew, kSave, kSaveAs, kLeave,
    kFind = 11, kFindAgain, kFields, kFormat,
    kPrintText = 21, kPrintMerged,
    kHelpKeys = 31, kHelpMenus,
};

rt::TopBarMenu editor_bar() {
    rt::TopBarMenu bar(0, "W+/B,B/W,GR+/B,R/W,W/B,W+/B");
    rt::PopUp& files = bar.add_bar("&Arquivos");
    files.add("&Abrir", kOpen, "Abre um arquivo já existente."_cp);
    files.add("&Novo", kNew, "Abre um novo arquivo."_cp);
    files.add("&Salvar", kSave, "Salva o arquivo corrente."_cp);
    files.add("salvar &Como", kSaveAs, "Salva o texto corrente com outro nome "_cp);
    files.add("sai&R", kLeave, "Sai do Editor de Texto."_cp);
    rt::PopUp& edit = bar.add_bar("&Edição"_cp);
    edit.add("&Busca", kFind, "Procura um determinado trecho de texto"_cp);
    edit.add("busca &Novamente", kFindAgain, "Repete a procura anterior "_cp);
    edit.add("&Insere campos", kFields, "Insere campos para mala direta"_cp);
    edit.add("&Formata texto", kFormat);
    rt::PopUp& print = bar.add_bar("&Impressão"_cp);
    print.add("&Texto", kPrintText, "Imprime o Texto sem mesclar com a mala"_cp);
    print.add("&Mala", kPrintMerged, "Imprime o Texto mesclando com os dados"_cp);
    rt::PopUp& help = bar.add_bar("&Help");
    help.add("&Teclas", kHelpKeys, "Teclas do Editor"_cp);
    help.add("&Menus", kHelpMenus, "Menus do Editor"_cp);
    return bar;
}

// The letter name asked for Novo and salvar Como: 8 characters, upper case.
std::string ask_letter_name() {
    Global{"CNOMECART"}.set(rt::Value(rt::SPACE(8)));
    common::MensArgs args;
    args.name = "CNOMECART";
    args.picture = "@!";
    return rt::ALLTRIM(common::MENS(14, "Nome da Carta:", args).as_string());
}

// Before the letter is replaced: its changes saved when the user wants;
// false when they could not be saved.
bool keep_changes(LetterDoc& doc) {
    if (!doc.modified) return true;
    if (common::AVISOSN("O arquivo " + doc.name + " foi modificado. Gravar?", 2).as_string() != "S") return true;
    return EDITWRITE(doc);
}

void replace_letter(LetterDoc& doc, LetterDoc fresh) {
    if (!keep_changes(doc)) return;
    doc = std::move(fresh);
}

void new_letter(LetterDoc& doc) {
    const std::string name = ask_letter_name();
    if (name.empty()) return;
    LetterDoc fresh;
    fresh.name = letter_file_name(name + ".TXT");
    fresh.format = kNewLetterFormat;
    replace_letter(doc, std::move(fresh));
}

void save_as(LetterDoc& doc) {
    const std::string name = ask_letter_name();
    if (name.empty()) return;
    doc.name = letter_file_name(name + ".TXT");
    doc.modified = true;
    EDITWRITE(doc);
}

void leave(LetterDoc& doc) {
    if (common::AVISOSN("Sair do Editor ? ", 2).as_string() != "S") return;
    if (!keep_changes(doc)) return;   // a failed save keeps the editor open
    doc.command = "Sair";
}

// Texto or Mala: on the open print output, or on the terminal's printer
// prepared for this letter alone.
void print_letter(const LetterDoc& doc, bool merged) {
    const bool already_open = !rt::ALLTRIM(Global{"ARQ_IMP"}.text()).empty();
    if (!already_open) {
        if (!printing::PREP_IMP()) return;
        // A print of its own starts at the top of its page, whatever row
        // an earlier print ended on.
        Global{"QLIN"}.set(rt::Value(0));
    }
    const std::string file_text = letter_file_text(doc.format, doc.text);
    if (merged) {
        if (!tables::ws().table(kRegisterArea)) tables::ABERTURA(kRegisterArea);
        if (rt::table::Table* reg = tables::ws().table(kRegisterArea)) reg->go_top();
        IMPR_MAIL(file_text);
    } else {
        IMPR_EDT(file_text);
    }
    if (already_open) return;
    if (printing::QLIN() > 0) printing::new_page();
    printing::IMP_TXT(1);
    printing::close_print_target();
    Global{"ARQ_IMP"}.set(rt::Value(" "));
    printing::set_device(printing::Device::Screen);
}

void run_item(int id, LetterDoc& doc) {
    switch (id) {
        case kOpen:
            if (const std::string name = ESCOL_CART(); !name.empty()) replace_letter(doc, ABRTXT(name));
            break;
        case kNew: new_letter(doc); break;
        case kSave: doc.command = "Salvar"; break;
        case kSaveAs: save_as(doc); break;
        case kLeave: leave(doc); break;
        case kFind: search_letter(doc, false); break;
        case kFindAgain: search_letter(doc, true); break;
        case kFields: insert_placeholder(doc, ask_field_number()); break;
        case kFormat: FORMTXT(doc); break;
        case kPrintText: print_letter(doc, false); break;
        case kPrintMerged: print_letter(doc, true); break;
        case kHelpKeys: help_keys(); break;
        case kHelpMenus: help_menus(); break;
        default: break;
    }
}

}  // namespace

void paint_editor_bar() { editor_bar().display(0); }

void MENUED(LetterDoc& doc) {
    const std::string command = doc.command;
    doc.command = std::string(kNoCommand);
    if (command == "Sair") {
        leave(doc);
        return;
    }
    rt::TopBarMenu bar = editor_bar();
    rt::MenuModalOptions opt;
    opt.msg_row = 24;
    // F10 walks the bar; Alt+letter opens that pull-down at once.
    constexpr std::string_view kDirect = "AEIH";
    const std::size_t which = command.size() == 5 ? kDirect.find(command[4]) : std::string_view::npos;
    opt.bar = which == std::string_view::npos ? 1 : static_cast<int>(which) + 1;
    opt.open_popup = which != std::string_view::npos;
    const std::string under = rt::SAVESCREEN(0, 0, 0, 79);
    bar.display(opt.bar);
    const int id = rt::menu_modal(bar, opt);
    rt::RESTSCREEN(0, 0, 0, 79, under);
    run_item(id, doc);
}

bool search_letter(LetterDoc& doc, bool again) {
    if (!again) {
        Global{"CBUSCA"}.set(rt::Value(rt::PADR(doc.search, 64)));
        common::MensArgs args;
        args.name = "CBUSCA";
        args.picture = "@S40";
        const std::string wanted = rt::ALLTRIM(common::MENS(14, "Buscar por:", args).as_string());
        if (wanted.empty()) return false;
        doc.search = wanted;
    } else if (doc.search.empty()) {
        return false;
    }
    const std::string text = rt::memo_from_stored(doc.text);
    const std::size_t at = rt::memo_find(text, doc.search, doc.cursor + (again ? 1 : 0));
    if (at == std::string::npos) {
        common::MENS(15, "Texto não encontrado."_cp);
        return false;
    }
    doc.cursor = at;
    common::MENS(15, "Busca OK.");
    return true;
}

void insert_placeholder(LetterDoc& doc, int number) {
    const auto& names = merge_placeholders();
    if (number < 1 || number > static_cast<int>(names.size())) return;
    std::string text = rt::memo_from_stored(doc.text);
    const std::size_t at = std::min(doc.cursor, text.size());
    const std::string piece = " " + names[static_cast<std::size_t>(number - 1)] + " ";
    text.insert(at, piece);
    doc.text = rt::memo_to_stored(text);
    doc.cursor = at + piece.size();
    doc.modified = true;
}

}  // namespace qv::office
