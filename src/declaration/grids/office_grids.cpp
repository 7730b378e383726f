// The office's lists edited row by row: bookkeeping, corrections, accounts,
// statuses, breakdowns, printers, folders, billing slips, the agenda and
// the taxpayer selections.
#include <algorithm>
#include <memory>
#include <string>

#include "common/calendar_names.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/grids/grid_columns.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr std::size_t kFolderField = 80;   // DIRETOR of the folder list

constexpr const char* kMarkStatus = "Marque [S] nos nomes - Esc termina |Alt(+)Marca todos | ALT(-)Desmarca";

GridDescription framed(int code, int area, int ult_pos, int top, int left, int bottom, int right, int window = 6) {
    GridDescription d;
    d.code = code;
    d.area = area;
    d.ult_pos = ult_pos;
    d.top = top, d.left = left, d.bottom = bottom, d.right = right;
    d.window = window;
    return d;
}

GridDescription bookkeeping() {
    GridDescription d = framed(25, 33, 8, 2, 3, 20, 75);
    // The copy goes back into the table of every taxpayer's entries: a new
    // row must say whose it is.
    d.stamp_cpf = true;
    d.columns = {{"Cod.", "CDCONTA", "@R 9.999"},
                 {"Descrição"_cp, "DESCONTA", "@S40", "substr(DESCONTA,1,40)"},
                 amount("Valor ", "VALODESP"),
                 {"Mês I"_cp, "MESINI", "@Z 99"},
                 {"Mês F"_cp, "MESFIM", "@z 99"},
                 {"CPF ou CPNJ", "NROCGCCPF", "@s18"},
                 {"CPF depend", "CPFDEPEN", kCpfPicture},
                 {"Lan.", "LANCADO", "@!"}};
    return d;
}

GridDescription corrections() {
    GridDescription d = framed(26, 44, 6, 2, 1, 20, 79);
    d.columns = {shown_only(" CPF ", "CPF", kCpfPicture),
                 {" Nome do Contribuinte ", "NOMECONTR", "@S23", "substr(NOMECONTR,1,23)"},
                 {"Quota", "QTD_QUOTA", "@ez 9"},
                 amount("Imposto", "IMPOSTO", 0, "@EZ 999,999.99"),
                 amount("Restitucao", "RESTITU", 0, "@EZ 999,999.99"),
                 amount("Corrigido", "CORRIGI", 0, "@EZ 999,999.99")};
    return d;
}

GridDescription accounts() {
    GridDescription d = framed(28, 62, 8, 7, 3, 20, 75);
    d.columns = {{"Cod.", "CDCONTA", "@R 9.999"},
                 {"Descrição"_cp, "NMDESCRICA", "@S62", "substr(NMDESCRICA,1,62)"},
                 {"Posi", "CDSTATUS", "@!"},
                 {"Pág."_cp, "PAGINA", "@Z99"},
                 {"Lin.", "LINHA", "@z99"},
                 {"Cpf?", "TEMCPF", "@!"},
                 {"Cnpj?", "TEMCGC", "@!"},
                 {"L.CX.", "LIVROCX", "@!"}};
    return d;
}

GridDescription statuses() {
    GridDescription d = framed(29, 0, 2, 10, 58, 22, 78);
    d.caller_area = true;
    d.columns = {{"Cod", "COD", "@z 99"}, {"Descrição"_cp, "DESCRICAO", "@s13"}};
    return d;
}

GridDescription breakdown(int mode) {
    GridDescription d = framed(32, 68, mode == 0 ? 4 : 3, 3, 3, 22, mode == 0 ? 76 : 70);
    d.columns = {{"Discriminação"_cp, "DESCRICAO", "@S40"}, amount("VALOR", "VALORDOC", 0, kBigAmount)};
    if (mode == 0) d.columns.push_back(amount("% DESP", "PERCDESP", 0, "@Ez 999.99"));
    d.columns.push_back(amount("% REC.", "PERCRECE", 0, "@Ez 999.99"));
    return d;
}

GridDescription printers() {
    GridDescription d = framed(33, 0, 6, 12, 2, 22, 76, 2);
    d.caller_area = true;
    d.status = "Selecione a impressora com [S] - Verique a sequencia no manual de sua impressora";
    d.columns = {{"Ativa", "CONFIM", "@!"},
                 {"Nome Impressora", "NOMEIMP", "@S15"},
                 {"  Reduzido  ", "SEQ1", "@S12", "substr(SEQ1,1,12)"},
                 {"   Normal   ", "SEQ0", "@S12", "substr(SEQ0,1,12)"},
                 {"Avanço Prop."_cp, "SEQ2", "@S12", "substr(SEQ2,1,12)"},
                 {"Expandido", "SEQ3", "@S12", "substr(SEQ3,1,12)"}};
    return d;
}

// The folders of the office: a folder is marked or renamed only where
// TROCA_NAO lets it.
GridDescription folders() {
    GridDescription d = framed(40, 50, 3, 5, 16, 16, 73, 0);
    GridColumn mark{"Sel", "SELEC", "@!"};
    // A folder keeps the letters typed; one longer than the list keeps is
    // refused, never cut.
    GridColumn path{"Drive e diretório"_cp, "DIRETOR", "@s52", "substr(DIRETOR,1,52)"};
    mark.hook = accepts("TROCA_NAO");
    path.entry_width = common::kFolderEntryWidth;
    path.hook = [troca = accepts("TROCA_NAO")](Value& v) {
        const std::string folder = rt::TRIM(v.as_string());
        if (const std::string refusal = common::folder_length_refusal(folder, kFolderField); !refusal.empty()) {
            common::AVISOSN(refusal, 0);
            return false;
        }
        v = Value(rt::PADR(folder, kFolderField));
        return troca(v);
    };
    d.columns = {mark, path};
    d.before = [] {
        MTELA5(7);
        return true;
    };
    d.after = [] { run_named("FECHAJAN", {Value(4)}); };
    return d;
}

GridDescription billing_slips() {
    GridDescription d = framed(45, 0, 4, 10, 4, 22, 70);
    d.caller_area = true;
    d.columns = {{"Nro Doc.", "NOSSONRO", "@s10"},
                 {"Nome do Sacado", "NOMESAC", "@S30"},
                 {"Data Venc.", "DATADOC", "@D"},
                 amount("Valor", "VALORDOC")};
    return d;
}

// An appointment's time as hours and minutes ("0930"); blank is none.
bool valid_time(Value& v) {
    const std::string typed = v.is_string() ? rt::TRIM(v.as_string()) : std::string();
    if (typed.empty()) return true;
    const bool digits = typed.size() == 4 && typed.find_first_not_of("0123456789") == std::string::npos;
    if (digits && std::stoi(typed.substr(0, 2)) < 24 && std::stoi(typed.substr(2)) < 60) return true;
    common::AVISOSN("Hora inválida: informe de 00:00 a 23:59"_cp, 0);
    return false;
}

// The heading of a day's appointments on one line when it fits, else on
// two; whether it fits is judged with the longest weekday, so that the list
// keeps the same rows whatever the day.
std::string day_heading(const std::string& title, rt::Date day, int room) {
    const std::string date = "em " + rt::DTOC(day) + " ";
    std::size_t widest = 0;
    for (int d = 0; d < 7; ++d) widest = std::max(widest, common::DIA_SEMANA(day + d).size());
    const std::string when = date + common::DIA_SEMANA(day);
    return static_cast<int>(title.size() + 1 + date.size() + widest) <= room ? title + " " + when : title + ";" + when;
}

// The user's appointments; a new one is dated on the calendar's day and
// signed by the user (grid 48 also timed now, 49 with its reminder on).
GridDescription agenda(int code) {
    const common::Global user{"NOMEAG"};
    const std::string owner = rt::TRIM(user.text());
    const std::string title = "Compromissos - " + owner;
    GridDescription d;
    d.code = code;
    d.caller_area = true;
    d.window = 6;
    d.top = 10, d.bottom = 22;
    d.stamp = [code](rt::table::Table& t) {
        t.put("DATAG", common::Global{"DATCALEN"}.value());
        t.put("NOMEAG", common::Global{"NOMEAG"}.value());
        if (code == 48) t.put("HORAG", Value(rt::STRTRAN(rt::LEFT(rt::TIME(), 5), ":", "")));
        if (code == 49) t.put("AVISAG", Value(true));
    };
    GridColumn time{"Hora", "HORAG", "@R ##:##"};
    time.hook = valid_time;
    if (code == 50) {
        d.columns = {{"Data", "DATAG", "@D"}, time, {title, "ANOTAG", "@S60"}};
        d.ult_pos = 3;
        d.left = 1, d.right = 79;
        return d;
    }
    if (code == 48) d.left = 8, d.right = 69;
    else d.left = 2, d.right = 74;
    // A heading wider than the framed grid goes on two lines rather than
    // losing the end of the weekday.
    const int room = d.right - d.left - 1 - (code == 48 ? 0 : 6);
    const GridColumn notes{day_heading(title, common::Global{"DATCALEN"}.value().as_date(), room), "ANOTAG", "@S60"};
    if (code == 48) {
        d.columns = {notes};
        d.ult_pos = 1;
    } else {
        d.columns = {time, notes};
        d.ult_pos = 2;
    }
    return d;
}

// The register's values of a taxpayer whose declaration another terminal
// has open would be written over by that terminal's save: such a row is
// not edited here. A row edited keeps its taxpayer on this terminal until
// the list is left, so that no other terminal opens it meanwhile.
void keep_open_taxpayers_out(GridDescription& d) {
    const auto marks = std::make_shared<tables::TaxpayerMarks>();
    const int area = d.area;
    const auto free_here = [marks, area] {
        const std::string cpf = tables::ws().current(area).get("CPF").as_string();
        const std::string why = tables::refusal_text(marks->take(tables::client_folder(), cpf), cpf);
        if (why.empty()) return true;
        common::AVISOSN(why, 0);
        return false;
    };
    for (GridColumn& c : d.columns)
        if (!c.read_only && c.refusal.empty()) c.when = free_here;
    d.after = [marks] { marks->release_all(); };
}

// The taxpayer lists of the register: who they are is shown, never edited
// here; the marks and the amounts are.
GridDescription taxpayers(int code) {
    GridDescription d;
    d.code = code;
    d.area = 9;
    d.window = 6;
    d.freeze = 3;
    d.top = 10, d.bottom = 22;
    const GridColumn cpf = shown_only(" CPF ", "CPF", code == 53 ? "@r 999.999.999-99" : kCpfPicture);
    const auto name = [](int width, const char* picture) {
        return shown_only(" Nome do Contribuinte ", "NOMECONTR", picture,
                          "substr(NOMECONTR,1," + std::to_string(width) + ")");
    };
    const auto status = [](int how, std::string heading, const char* picture) {
        return shown_only(heading, "ESTATUS", picture, "VE_STAT(ESTATUS," + std::to_string(how) + ")");
    };
    switch (code) {
        case 51: {
            const int item = common::Global{"OPCAO_1"}.integer();
            if (item == 22) d.area = 29;
            d.columns = {cpf, name(30, "@S30"), status(item == 22 ? 4 : 3, "Status", "@s12"),
                         {item == 16 ? "Elim." : "Trans", "IMPRE", "@!"}};
            d.ult_pos = 4;
            d.left = 4, d.right = 70;
            d.footer = 10;
            break;
        }
        case 52:
            d.columns = {cpf,
                         name(23, "@S23"),
                         status(3, "Descrição"_cp, "@s13"),
                         {"St.", "ESTATUS", "@ 99"},
                         amount("Cobrar", "VALOREC", 0, "@EZ 999,999.99"),
                         {"Tempo(s)", "TEM_USO", "@Ez 999,999"},
                         {"Recibo 2012", "RECIBOATU", "@r 999999999999"},
                         {"Recibo 2011", "RECIBOANT", "@r 999999999999"}};
            d.ult_pos = 8;
            d.left = 1, d.right = 78;
            keep_open_taxpayers_out(d);
            break;
        case 53:
            d.columns = {cpf, name(30, "@S30"), status(3, "Status", "@s13"), {"Selec", "IMPRE", "@!"}};
            d.ult_pos = 4;
            d.left = 4, d.right = 70;
            d.status = kMarkStatus;
            break;
        default: {
            const char* money = "@Ez 9999,999.99";
            d.columns = {cpf,
                         name(30, "@S20"),
                         {"Sel", "IMPRE", "@!"},
                         {"Qt", "NRQUOTA", "@Z9"},
                         amount("Quota IR", "DFQUOTA", 0, money),
                         {"Qt", "NRCLEAO", "@Z99"},
                         amount("Carnê Leao"_cp, "DFCLEAO", 0, money),
                         {"Qt", "NRGCAPIT", "@Z99"},
                         amount("Gan.Capital", "DFGCAPIT", 0, money),
                         {"Qt", "NRRVARIV", "@Z99"},
                         amount("R.Variável"_cp, "DFRVARIV", 0, money)};
            d.ult_pos = 3;
            d.left = 2, d.right = 75;
            d.freeze = 2;
            d.status = kMarkStatus;
            break;
        }
    }
    return d;
}

}  // namespace

std::optional<GridDescription> office_grid(int code, int mode) {
    switch (code) {
        case 25: return bookkeeping();
        case 26: return corrections();
        case 28: return accounts();
        case 29: return statuses();
        case 32: return breakdown(mode);
        case 33: return printers();
        case 40: return folders();
        case 45: return billing_slips();
        case 48:
        case 49:
        case 50: return agenda(code);
        case 51:
        case 52:
        case 53:
        case 54: return taxpayers(code);
        default: return std::nullopt;
    }
}

}  // namespace qv::declaration::grids
