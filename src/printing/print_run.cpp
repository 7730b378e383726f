#include "printing/print_run.hpp"

#include <string>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "printing/nao_dos_job.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_groups.hpp"
#include "printing/print_target.hpp"
#include "printing/report_support.hpp"
#include "printing/taxpayer_load.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/alert.hpp"
#include "runtime/ui/read.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;
using declaration::call_named;
using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
constexpr int kProgressWindow = 3;
constexpr int kPromptWindow = 3;   // the taxpayer prompt's box, the same window
constexpr int kUsageLog = 73;

int global_int(const char* name, int fallback = 0) { return Global{name}.integer(fallback); }

bool abandoned() {
    const rt::Value can = Global{"CAN_IMP"}.value();
    return can.is_logical() && can.as_bool();
}

void set(const char* name, rt::Value v) { Global{name}.set(std::move(v)); }

void close_work_tables() {
    for (int area = 21; area <= 40; ++area) tables::ws().close(area);
}

// The documents that print from the whole declaration (tables 2-19): the
// declaration, the rural pages, the cash book and the payment slips.
bool whole_declaration(int queimp) { return queimp >= 1 && queimp <= 5; }

// Tables loaded for the other documents (first and last code); {0, 0} none.
SheetRange tables_for(int queimp) {
    if (queimp == 6 || queimp == 7) return {7, 8};
    if (queimp == 9) return {11, 11};
    if (queimp == 10) return {2, 2};
    return {};
}

// Values a taxpayer without a declaration record would otherwise take
// from the one printed before.
void clear_declaration_values() {
    auto zero = [](const std::string& name) { declaration::set_variable(name, rt::Value(0.0)); };
    for (int n = 1; n <= 50; ++n) zero("I13_" + rt::STRZERO(n, 2));
    for (int n = 1; n <= 4; ++n) zero("I12_" + std::to_string(n));
    for (int n = 1; n <= 9; ++n) zero("I4_" + rt::STRZERO(n, 2));
    for (int n = 1; n <= 16; ++n) zero("I3_" + rt::STRZERO(n, 2));
    for (int k = 1; k <= 6; ++k)
        for (int m = 1; m <= 13; ++m) zero("I2_" + std::to_string(k) + rt::STRZERO(m, 2));
    for (const char* name : {"DESPADRAO", "QTD_QUOTA", "FI7_T", "FI8_T"}) zero(name);
    for (const char* name : {"USAPADRAO", "DECFINAL", "DECSAIDA", "DEBITAUT", "CONJPAD", "I3_12D", "I4_05D", "I4_09D"})
        declaration::set_variable(name, rt::Value(""));
    // The estate's and the departure's own values.
    for (const char* name : {"DECJUDI", "CPFINVENT", "NOMINVENT", "ENDINVENT", "NROPROCES", "VARACIVIL", "COMARCA",
                             "UFPROCES", "NOMECARTO", "CNPJCARTO", "MUNICARTO"})
        declaration::set_variable(name, rt::Value(""));
    for (const char* name : {"DATAPARTI", "DATADECIS", "DATASAIDA", "DATALAVRA"}) declaration::set_variable(name, rt::Value(rt::Date{}));
    for (const char* name : {"LIVRCARTO", "FOLHCARTO", "ANOOBITO"}) zero(name);
}

void reset_print_state() {
    set("TEM_LASER", rt::Value(Global{"TEM_LASER"}.integer()));   // as the printer set-up compiled it
    set("QLIN", rt::Value(0));
    set("CAN_IMP", rt::Value(false));
    set("FEZ_TES", rt::Value("N"));
    set("PRIM_DARF", rt::Value(true));   // the slip dialog opens once a run
    set("MES_INI", rt::Value(1));
    set("MES_FIM", rt::Value(12));
    set("STAT_INIC", rt::Value(1));
    set("STAT_FINAL", rt::Value(99));
    set("CANOAN", rt::Value("2010 "));
    set("CANOBA", rt::Value("2011 "));
    set("CDIVBA", rt::Value("2011 "));
    set("INDALERTA", rt::Value(10));
    clear_declaration_values();
    const bool own = rt::ALLTRIM(Global{"NOMEIMP"}.text()) == "NAO DOS";
    const char fill = own ? '_' : '.';
    set("LIN_DIV1", rt::Value(std::string(own ? 80 : 79, fill)));
    set("LIN_DIV2", rt::Value(std::string(own ? 135 : 132, fill)));
    set("LIN_DIV3", rt::Value(std::string(105, fill)));
}

bool rural() { return rt::TRIM(declaration::variable_text("TEMRURAL")) == "S"; }

// The one taxpayer chosen by CPF has rural activity, as the register says:
// nothing of that taxpayer is loaded yet when the documents ask. The
// prompt leaves the register on the taxpayer, in whatever order it shows.
bool chosen_has_rural() {
    if (!tables::ws().table(kRegisterArea)) tables::ABERTURA(kRegisterArea);
    rt::table::Table* reg = tables::ws().table(kRegisterArea);
    if (!reg) return false;
    const std::string cpf = rt::PADR(Global{"CPF"}.text(), 11);
    const bool on_it = !reg->eof() && reg->get("CPF").as_string() == cpf;
    return (on_it || reg->seek(rt::Value(cpf))) && rt::TRIM(reg->get("TEMRURAL").as_string()) == "S";
}

// A range of codes asked on one line: the prompt holds two gaps of 4
// columns, the first after `first_at`, the second at its end.
bool ask_code_range(std::string_view prompt, const char* first, const char* last, std::size_t first_at) {
    set(first, rt::Value(1));
    set(last, rt::Value(99));
    rt::at_say(22, 2, rt::utf8_to_cp850(prompt));
    const int width = static_cast<int>(rt::utf8_to_cp850(prompt).size());
    rt::at_get(22, 2 + static_cast<int>(first_at), std::string("M->") + first, "@z 99");
    rt::at_get(22, 2 + width - 2, std::string("M->") + last, "@z 99").valid([first, last] {
        return global_int(last) >= global_int(first);
    });
    return rt::READ();
}

bool yes(const std::vector<std::string>& lines) { return common::AVISOSN(lines, 2).as_string() == "S"; }

// Page sets printing only some payments or assets ask which.
bool page_set_questions() {
    const int quepag = global_int("QUEPAG", 1);
    if (quepag == 6) {
        const bool only = yes({" Não - Imprime os Isentos/Trib Exclus. e Pagamentos "_cp,
                               " Sim - Imprime só Pagamentos podendo ser selecionado"_cp});
        set("CSOPAG", rt::Value(only ? "S" : "N"));
        if (only) return ask_code_range("Imprime os pagamentos do código    ao código   ", "NDESINI", "NDESFIM", 32);
    }
    if (quepag == 7) {
        const bool all = yes({" Sim - Imprime todos os bens       ", " Não - Imprime só determinados bens"_cp});
        set("CSOBENS", rt::Value(all ? "S" : "N"));
        if (!all) return ask_code_range("Imprime os Bens do código    ao código   ", "NBENINI", "NBENFIM", 26);
    }
    return true;
}

// The annotations of taxpayers of every status or of a range of them.
bool status_question() {
    const rt::Value all = common::AVISOSN("Todos os status", 2);
    if (rt::LASTKEY() == rt::key::ESC) return false;
    if (all.as_string() == "S") {
        set("STAT_INIC", rt::Value(0));   // taxpayers without a status too
        return true;
    }
    return ask_range("Do status", "STAT_INIC", "STAT_FINAL", 1, 99);
}

// The access report of every user or of the one named; the usage log is
// read in its taxpayers' order.
bool user_question() {
    const bool all = ask_yes("Relatório de todos usuários?"_cp);
    if (rt::LASTKEY() == rt::key::ESC) return false;
    set("CNOMEUSU", rt::Value(rt::SPACE(22)));
    if (!all) {
        common::MensArgs args;
        args.name = "M->CNOMEUSU";
        args.picture = "@!";
        common::MENS(14, "Informe o nome do Usuário:"_cp, args);
        if (rt::LASTKEY() == rt::key::ESC) return false;
        set("CNOMEUSU", rt::Value(rt::UPPER(rt::PADR(rt::ALLTRIM(Global{"CNOMEUSU"}.text()), 22))));
    }
    if (!tables::ABERTURA(kUsageLog)) return false;
    tables::ws().current(kUsageLog).set_order(2);
    return true;
}

// Who signs the income statement, asked once a run.
void ask_responsible() {
    set("CNOMERES", rt::Value(rt::SPACE(40)));
    common::MensArgs args;
    args.name = "M->CNOMERES";
    common::MENS(14, "Informe nome do Responsavel: ", args);
    set("CNOMERES", rt::Value(rt::TRIM(Global{"CNOMERES"}.text())));
}

// The questions a document asks before the walk; false ends the run.
bool document_questions() {
    const int queimp = global_int("QUEIMP"), quecon = global_int("QUECON", 1);
    if ((queimp == 1 || queimp == 2) && !page_set_questions()) return false;
    if (queimp == 8) return PEGA_CARTA();
    if (queimp == 5 && global_int("QUEMOD", 1) == 3)
        set("NDESLOC", rt::Value(ask_count("Informe deslocamento vertical: ", global_int("NDESLOC"), 0)));
    if (queimp == 9) return status_question();
    if (queimp == 15) return user_question();
    if (queimp == 3 && quecon == 1 && !chosen_has_rural()) {
        common::MENS(11, "Contribuinte sem atividade rural");
        return false;
    }
    if (queimp == 4 || queimp == 10) {
        set("CALC_SALD", rt::Value("N"));
        set("AVANCA_PAG", rt::Value("S"));
        set("IMPR_RESU", rt::Value("N"));
        if (queimp == 4 && quecon == 1 && !chosen_has_rural()) {
            common::MENS(11, "Sem atividade rural para o Livro caixa");
            return false;
        }
        const auto chosen = call_named("ESCOLHE_COMO", {rt::Value(queimp == 4 ? 2 : 1)});
        if (rt::LASTKEY() == rt::key::ESC || (chosen && chosen->is_logical() && !chosen->as_bool())) return false;
    }
    return true;
}

bool wanted(rt::table::Table& reg) {
    const int quecon = global_int("QUECON", 1);
    if ((quecon == 2 || quecon == 5) && rt::TRIM(reg.get("IMPRE").as_string()) != "S") return false;
    if (global_int("QUEIMP") == 9 && reg.field_index("ESTATUS") >= 0) {
        const int status = static_cast<int>(reg.get("ESTATUS").as_number());
        return status >= global_int("STAT_INIC", 1) && status <= global_int("STAT_FINAL", 99);
    }
    return true;
}

void walk_register() {
    auto* reg = tables::ws().table(kRegisterArea);
    if (!reg) return;
    for (reg->go_top(); !reg->eof() && !abandoned(); reg->skip(1)) {
        if (reg->deleted() || !wanted(*reg)) continue;
        IMPRESSAO();
        if (global_int("QUEIMP") == 12) break;   // the listing holds the whole register
        reg = tables::ws().table(kRegisterArea);
        if (!reg) return;
    }
}

// Every taxpayer of every folder of the terminal's list; the program
// folder is the data folder afterwards.
void walk_folders() {
    auto& ws = tables::ws();
    if (!tables::ABERTURA(50)) return;
    ws.current(50).go_top();
    for (auto* list = ws.table(50); list && !list->eof() && !abandoned(); list->skip(1)) {
        const std::string folder = tables::with_separator(rt::ALLTRIM(list->get("DIRETOR").as_string()));
        if (!rt::table::file_exists(tables::os_name(folder + "IMP0912.DBF")) || !tables::MUDADIR(folder)) continue;
        tables::set_client_folder(folder);
        walk_register();
        list = ws.table(50);
    }
    const std::string program = tables::with_separator(Global{"ROTADEF"}.text());
    tables::set_client_folder(program);
    tables::MUDADIR(program);
}

void after_whole_declaration() {
    new_page();
    if (auto* gains = tables::ws().table(27)) {
        for (gains->go_top(); !gains->eof() && !abandoned(); gains->skip(1)) {
            const int kind = static_cast<int>(gains->get("TIPO_BEM").as_number());
            if (kind > 3) continue;
            call_named("IMPRGAN", {rt::Value(0), rt::Value(kind == 3 ? 2 : 1)});
            new_page();
        }
    }
    call_named("GRV_IMP");
    call_named("ANOTE_ESP");
    if (rural()) {
        for (const char* page : {"FAZ_RURAL1", "FAZ_RURAL2"})
            for (const char* where : {"S", "N"}) call_named(page, {rt::Value(where)});
    }
}

void print_copies(SheetRange range) {
    for (const int sheet : sheet_order(range, global_int("NRO_VIAS", 1))) {
        FOLHA(sheet);
        PAREIMP();
        if (abandoned()) return;
    }
    if (range.first == 1 && range.last == 6) after_whole_declaration();
}

}  // namespace

SheetRange sheet_range(int queimp, int quepag) {
    switch (queimp) {
        case 1:
        case 2:
            if (quepag <= 2) return {1, 6};
            if (quepag <= 4) return {1, 4};
            if (quepag <= 8) return {quepag - 4, quepag - 4};
            return quepag == 9 ? SheetRange{4, 4} : SheetRange{5, 5};
        case 3:
            return quepag <= 1 ? SheetRange{14, 15} : SheetRange{12 + quepag, 12 + quepag};
        case 4:
        case 10:
            return {10, 10};
        case 6: case 7: case 8: case 9:
            return {queimp, queimp};
        case 11:
            return {11, 11};
        case 13:
            return {12, 12};
        case 14:
            return {13, 13};
        case 15:
            return {16, 16};
        default:
            return {};
    }
}

std::vector<int> sheet_order(SheetRange range, int copies) {
    std::vector<int> order;
    if (range.first == 0) return order;
    for (int copy = 0; copy < std::max(copies, 1); ++copy)
        for (int sheet = range.first; sheet <= range.last; ++sheet) order.push_back(sheet);
    return order;
}

void IMPRESSAO() {
    close_work_tables();
    tables::ws().select(kRegisterArea);
    set_device(Device::Screen);
    const int queimp = global_int("QUEIMP", 1), quecon = global_int("QUECON", 1);
    if (auto* reg = tables::ws().table(kRegisterArea)) {
        declaration::set_variable("CPF", reg->get("CPF"));
        declaration::set_variable("NOMECONTR", reg->get("NOMECONTR"));
    }
    if (quecon != 1 && queimp != 15) {
        // The taxpayer window follows the walk: whose declaration and from
        // which folder.
        call_named("MOSTR_PAG", {rt::Value(1)});
        common::ESCRLCOL(kPromptWindow, 4, 19, Global{"LOCARQ"}.text());
    }
    if (whole_declaration(queimp)) {
        if (!load_whole_declaration(kProgressWindow)) return;
    } else if (const SheetRange load = tables_for(queimp); load.first != 0) {
        INIVAR(kProgressWindow, load.first, load.last);
    }
    if (queimp == 5) {
        call_named("PREP_DARF");
        return;
    }
    if (queimp == 11) set("QLIN", rt::Value(0));
    if (queimp == 13 && rt::ALLTRIM(Global{"CNOMERES"}.text()).empty()) ask_responsible();
    if (rt::ALLTRIM(Global{"ARQ_IMP"}.text()).empty() && !PREP_IMP()) return;
    set_device(Device::Printer);
    if (queimp == 12) {
        call_named("IMPR_CAD");
        return;
    }
    print_copies(sheet_range(queimp, global_int("QUEPAG", 1)));
    common::FECHAJAN(kProgressWindow);
    if (queimp == 14 && global_int("QUEMOD", 1) <= 2) return;
    // Each taxpayer's letter is a sheet of its own.
    if (queimp == 8) new_page();
    else if (quecon == 1 && QLIN() > 0 && queimp != 9) new_page();
}

void FAZIMP() {
    reset_print_state();
    if (!document_questions()) return;
    const int quecon = global_int("QUECON", 1);
    if (!tables::ws().table(kRegisterArea)) tables::ABERTURA(kRegisterArea);
    if (quecon == 1) {
        auto* reg = tables::ws().table(kRegisterArea);
        if (reg && reg->seek(rt::Value(rt::PADR(Global{"CPF"}.text(), 11)))) {
            set("ARQ_IMP", rt::Value(" "));
            // The taxpayer is chosen: the prompt's window goes before the
            // document's own dialogs are drawn over it.
            common::FECHAJAN(kPromptWindow);
            IMPRESSAO();
        }
    } else if (quecon == 4) {
        walk_folders();
    } else {
        walk_register();
    }
    if (rt::LASTKEY() == rt::key::ESC) set("CAN_IMP", rt::Value(false));
    if (!abandoned()) IMP_TXT(1);
    set("CAN_IMP", rt::Value(false));
}

namespace {

// The screen as the run found it comes back when the run ends, whatever
// way it ends: the taxpayer lines, the progress windows ("Separando
// informações...", "Imprimindo ...") and the status texts go with the run.
class ScreenKept {
public:
    ScreenKept() : screen_(rt::SAVESCREEN()) {}
    ~ScreenKept() {
        common::FECHAJAN(kProgressWindow);
        rt::RESTSCREEN(screen_);
        common::AVISO(rt::SPACE(80));
    }
    ScreenKept(const ScreenKept&) = delete;
    ScreenKept& operator=(const ScreenKept&) = delete;

private:
    std::string screen_;
};

}  // namespace

void SELECIONA() {
    const ScreenKept screen;
    declaration::set_variable("CPF", rt::Value(rt::SPACE(11)));
    declaration::set_variable("NOMECONTR", rt::Value(rt::SPACE(40)));
    tables::ABERTURA(kRegisterArea);
    const int quecon = global_int("QUECON", 1);
    if (quecon == 1) {
        common::AVISO("F1 Ordem CPF  F2 Ordem Nome F7 Pastas CPF em branco permite digitar o nome");
        const std::string last = Global{"ULT_CPF"}.text();
        if (!last.empty()) declaration::set_variable("CPF", rt::Value(last));
        // The taxpayer window of the prompt, its field on the taxpayer line
        // as in the declaration's prompt; it goes once the taxpayer is done.
        declaration::taxpayer_box();
        const bool chosen = rt::call_as_bool("GET_CODIGO", {rt::Value("M->CPF"), rt::Value("@R 999.999.999-99"),
                                                            rt::Value(1), rt::Value(2), rt::Value(1), rt::Value(0)});
        common::FECHAJAN(3);
        if (!chosen) {
            common::AVISO(rt::SPACE(80));
            return;
        }
        set("ULT_CPF", rt::Value(declaration::variable_text("CPF")));
    } else if (quecon == 2) {
        call_named("EDITA", {rt::Value(global_int("QUEIMP") == 5 ? 54 : 53)});
        common::MENS();   // the list's marking keys go with the list
    } else if (quecon == 5) {
        const int choice = rt::ALERT({"Sim = Criar um novo grupo ", "Não = Usar um Grupo criado"_cp, "Ignore = Sair dessa opção "_cp},
                                     {"Sim", "Não"_cp, "Ignore"});
        if (choice != 1 && choice != 2) return;
        if (!BUSGRUPO(choice)) return;
    }
    set("CAN_IMP", rt::Value(false));
    if (quecon != 1) FAZIMP();
    close_work_tables();
    close_print_target();
    set("ARQ_IMP", rt::Value(" "));
    set_device(Device::Screen);
    set("CAN_IMP", rt::Value(false));
    common::AVISO(rt::SPACE(80));
    tables::ws().select(kRegisterArea);
}

}  // namespace qv::printing
