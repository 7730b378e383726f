#include "declaration/entry/income_screens.hpp"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/calc/carne_leao.hpp"
#include "declaration/entry/income_frames.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/matrix_catalogue.hpp"
#include "declaration/grids/matrix_grid.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "declaration/loop/late_interest.hpp"
#include "declaration/loop/monthly_matrices.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/achoice.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace key = rt::key;

constexpr int kDependantsArea = 23;
constexpr int kSheetArea = 32;
constexpr int kFirstNonDependantCode = 98;
constexpr int kTotalsRow = 13;
constexpr int kSheetColumns = 7;
constexpr const char* kCpfPicture = "@R 999.999.999-99";
constexpr const char* kTotalPicture = "@EZ 999,999.99";

rt::table::Table* sheet_table() { return tables::ws().table(kSheetArea); }

std::string sheet_field(int x, int month) { return "I2_" + std::to_string(x) + rt::STRZERO(month, 2); }

bool has_dependants() { return vars::N_DEPEN.integer() > 0; }

// The grid of a sub-page of page 1 under its frame; false when the
// sub-page is stepped over.
bool run_legal_person_page(int sub_page) {
    const bool dependants = sub_page == 12 || sub_page == 14;
    if (dependants && !has_dependants()) return false;
    if (sub_page != 11 || vars::TELANT.integer() != 1) JANPJUR(dependants ? 2 : 1);
    grids::EDITA(sub_page <= 12 ? sub_page - 10 : 20);
    if (sub_page == 11) vars::TELANT.set(Value(0));
    return true;
}

struct Dependant {
    std::string cpf, name;
};

std::vector<Dependant> listed_dependants() {
    std::vector<Dependant> out;
    rt::table::Table* t = tables::ws().table(kDependantsArea);
    if (!t) return out;
    const std::uint32_t at = t->recno();
    for (t->go_top(); !t->eof(); t->skip())
        if (common::number_of(t->get("CODIDEPEN")) < kFirstNonDependantCode)
            out.push_back({rt::TRIM(t->get("CPFDEPEN").as_string()), rt::TRIM(t->get("NOMEDEPEN").as_string())});
    t->go_to(at);
    return out;
}

// The dependant whose sheet was shown first: the first sheet that is not
// the taxpayer's.
std::string first_dependant_sheet() {
    rt::table::Table* t = sheet_table();
    if (!t) return {};
    for (t->go_top(); !t->eof(); t->skip()) {
        const std::string cpf = rt::TRIM(t->get("CPFDEPEN").as_string());
        if (!cpf.empty()) return cpf;
    }
    return {};
}

// The dependant picked from the list; nothing when the list was left.
std::optional<Dependant> choose_dependant() {
    const std::vector<Dependant> people = listed_dependants();
    if (people.empty()) return std::nullopt;
    std::vector<std::string> items;
    int initial = 1;
    const std::string preselected = first_dependant_sheet();
    for (const Dependant& d : people) {
        items.push_back(rt::PADR(rt::TRANSFORM(Value(common::TIRA_PONTO(d.cpf)), kCpfPicture) + " " + d.name, 29));
        if (d.cpf == preselected) initial = static_cast<int>(items.size());
    }
    const int top = 3, left = 16, bottom = std::min(top + static_cast<int>(people.size()) + 5, 23), right = left + 30;
    // The list is a box of its own over the sheet's frame: window 4 keeps
    // what lies under it, the box is drawn whole and blank inside.
    common::DEFINEJAN(4, 0, 0, 0, top, left, bottom, right, 0);
    common::ABREJAN(4);
    const std::string colours = rt::SETCOLOR("N/BG,W+/BG,W+/BG,W+/R,GR+/BG,N/BG,GR+/BG,N/R");
    rt::DISPBOX(top, left, bottom, right, std::string(rt::B_SINGLE) + " ");
    const int chosen = rt::ACHOICE(top + 1, left + 1, bottom - 1, right - 1, items, {}, {}, initial);
    rt::SETCOLOR(colours);
    common::FECHAJAN(4);
    if (chosen < 1) return std::nullopt;
    return people[static_cast<std::size_t>(chosen - 1)];
}

// Modes 2 and 4 take the social-security total of the person by hand.
void ask_social_security_total(bool dependant) {
    const common::Global total{dependant ? "CARNEDEPEN" : "CARNEINSS"};
    double value = total.number();
    rt::GetList gets;
    gets.emplace_back(21, 13, dependant ? "CARNEDEPEN" : "CARNEINSS", [&value] { return Value(value); },
                      [&value](const Value& v) { value = v.is_number() ? v.as_number() : 0.0; }, kTotalPicture);
    gets.back().valid([&value, &total] {
        total.set(Value(value));
        const auto ok = call_named("CALC", {Value(6), Value(1)});
        return !ok || !ok->is_logical() || ok->as_bool();
    });
    if (rt::READ(gets)) total.set(Value(value));
}

// The late-payment column adds no SELIC for the months the rates table
// lacks: the clerk is told which when a sheet shows such a correction, once
// in each opening of the declaration, and again for months not told yet.
void tell_missing_selic() {
    static std::string told_in;   // the taxpayer and the opening told
    static std::set<std::string> told;
    const std::string opening = common::Global{"CPF"}.text() + " " + std::to_string(common::Global{"INI_DECLA"}.number());
    if (opening != told_in) told.clear();
    told_in = opening;
    const std::vector<std::string> missing = missing_correction_months();
    if (std::all_of(missing.begin(), missing.end(), [](const std::string& m) { return told.count(m) > 0; })) return;
    warn_missing_selic(missing, "Os juros da coluna CL Corr. não incluem esses meses."_cp);
    told.insert(missing.begin(), missing.end());
}

}  // namespace

std::uint32_t person_sheet_row(const std::string& dependant_cpf) {
    rt::table::Table* t = sheet_table();
    if (!t) return 0;
    tables::ws().select(kSheetArea);
    const std::string wanted = rt::TRIM(dependant_cpf);
    for (t->go_top(); !t->eof(); t->skip())
        if (!t->deleted() && rt::TRIM(t->get("CPFDEPEN").as_string()) == wanted) return t->recno();
    if (!tables::ADD_REC()) return 0;
    t->put("CPF", common::Global{"CPF"}.value());
    if (!wanted.empty()) t->put("CPFDEPEN", Value(wanted));
    t->commit();
    t->unlock();
    return t->recno();
}

void sheet_from_row(std::uint32_t record) {
    rt::table::Table* t = sheet_table();
    if (t && record) t->go_to(record);
    if (!variable("REC_MENSAL").is_array()) blank_rec_mensal();
    for (int month = 1; month <= kTotalsRow; ++month)
        for (int x = 1; x <= kSheetColumns; ++x) {
            const double amount = t && !t->eof() ? t->get(sheet_field(x, month)).as_number() : 0.0;
            set_matrix_cell("REC_MENSAL", month, x + 1, Value(matrix_text(amount, kRecMensalPicture)));
        }
}

void sheet_to_row(std::uint32_t record) {
    rt::table::Table* t = sheet_table();
    tables::ws().select(kSheetArea);
    if (t && record) t->go_to(record);
    const bool locked = t && record && !t->eof() && tables::REC_LOCK();
    for (int month = 1; month <= kTotalsRow; ++month)
        for (int x = 1; x <= kSheetColumns; ++x) {
            const double amount = grids::matrix_amount("REC_MENSAL", month, x + 1);
            set_variable(sheet_field(x, month), Value(amount));
            if (locked) t->put(sheet_field(x, month), Value(amount));
        }
    if (!locked) return;
    t->commit();
    t->unlock();
}

void RENDPJ() {
    int sub_page = vars::OPCIR_1.integer(11);
    if (sub_page < 11 || sub_page > 14) sub_page = 11;
    int last = 0;
    for (;;) {
        vars::OPCIR_1.set(Value(sub_page));
        if (run_legal_person_page(sub_page)) last = rt::LASTKEY();
        if (last == key::TAB && sub_page < 14) ++sub_page;
        else if (last == key::SHIFT_TAB) sub_page = std::max(sub_page - 1, 11);
        else break;
    }
    if (vars::flag(vars::JA_CALC)) return;
    common::MENS(13, "Calculando!!");
    call_named("CALC", {Value(1), Value(1)});
    common::FECHAJAN(10);
    common::Global{"TAM_OLD"}.set(Value(0));
}

void RENDPF() {
    rt::SETCOLOR(common::Global{"COR_1_CLI"}.text("W/B"));
    rt::SETCOLOR(common::Global{"CORNORM"}.text("W/N"));
    const bool dependant = vars::OPCIR_1.integer(21) == 22;
    std::string cpf;
    if (dependant) {
        set_variable("I1_11", Value("N"));
        const std::optional<Dependant> chosen = choose_dependant();
        JANPFIS(2);
        if (!chosen || common::TIRA_PONTO(chosen->cpf).empty()) {
            vars::TECLAMUDA.set(Value(true));
            return;
        }
        cpf = common::TIRA_PONTO(chosen->cpf);
        rt::at_say(1, 16, rt::TRANSFORM(Value(cpf), kCpfPicture));
        rt::at_say(1, 31, chosen->name);
    } else {
        set_variable("I1_11", Value("S"));
        JANPFIS(1);
    }
    set_variable("CPFDEPEN", Value(rt::PADR(cpf, 11)));
    set_variable("MATATU", Value("rec_mensal"));
    const std::uint32_t record = person_sheet_row(cpf);
    sheet_from_row(record);
    show_sheet_totals(dependant);
    call_named("CALC", {Value(1), Value(1)});
    tell_missing_selic();
    grids::run_matrix_grid(16);
    tell_missing_selic();
    sheet_to_row(record);
    // The line under the sheet again, in the mode the sheet was left in
    // (Alt+A may have changed it), with its field in the totals' modes.
    show_sheet_totals(dependant);
    if (const int mode = common::Global{"CAL_AUTO"}.integer(1); mode == 2 || mode == 4)
        ask_social_security_total(dependant);
    call_named("CALC", {Value(1), Value(1)});
}

}  // namespace qv::declaration
