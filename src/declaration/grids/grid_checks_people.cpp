// Checks of the dependants' and payments' cells and of the folder list.
#include <string>

#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "declaration/grids/grid_check_support.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "tables/folders.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr int kDependantsArea = 23;
constexpr int kPaymentsArea = 26;
constexpr int kFoldersArea = 50;
constexpr int kBaseYear = 2011;
constexpr int kFirstHeirCode = 100;

// A field of the current row of a work area (0 / nil when none).
Value row_field(int area, std::string_view field) {
    rt::table::Table* t = tables::ws().table(area);
    if (!t || t->eof() || t->field_index(field) < 0) return {};
    return t->get(field);
}

int row_code(int area, std::string_view field) { return static_cast<int>(common::number_of(row_field(area, field))); }

// Which alimony recipients a payment code is checked against.
struct Recipients {
    int low, high;       // CODIDEPEN range
    const char* place;
};

Recipients recipients_of(int code) {
    if (code == 30 || code == 33) return {99, 99, "no Brasil"};
    if (code == 31 || code == 34) return {98, 98, "no exterior"};
    return {98, 99, "no Brasil ou no exterior"};
}

bool accept_payee(rt::table::Table& dependants) {
    rt::table::Table* payments = tables::ws().table(kPaymentsArea);
    if (!payments) return true;
    const std::string cpf = rt::TRIM(dependants.get("CPFDEPEN").as_string());
    put_row(*payments, {{"I6_1", dependants.get("NOMEDEPEN")},
                        {"I6_2", Value(cpf.empty() ? std::string() : common::CONTAPONTO(cpf))}});
    return true;
}

}  // namespace

void VEJA_ANO(rt::Date birth, int limit_year) {
    const int code = row_code(kDependantsArea, "CODIDEPEN");
    const int year = birth.year();
    const bool student_code = code == 22 || code == 25;
    if (kBaseYear - year < 21 && student_code) {
        notice({"ATENÇÃO! O código para essa idade mesmo sendo"_cp, "universitário ou escola técnica deve ser  21"_cp});
        return;
    }
    if (year >= limit_year) return;
    if (code == 21 || code == 24) {
        notice({"ATENÇÃO! Ou o código está errado ou essa pessoa "_cp, "não pode mais ser dependente. Se for estudante  "_cp,
                "universitário ou escola técnica mude para código"_cp, "22 ou 25. Se for incapaz troque código para 23 "_cp});
    } else if (student_code) {
        notice({"ATENÇÃO! Utrapassou a idade de ser dependente."_cp});
    }
}

bool TES_MES(rt::Date birth) {
    if (birth.empty()) return true;
    const int code = row_code(kDependantsArea, "CODIDEPEN");
    if (code == 21 || code == 24 || code == 41) VEJA_ANO(birth, 1989);
    else if (code == 22 || code == 25) VEJA_ANO(birth, 1986);
    return true;
}

// Income rows and the monthly sheet find their person by CPF, and deleting
// a person deletes the rows of that CPF: two people sharing one would lose
// each other's income. Heirs keep their document elsewhere.
bool cpf_free_in_dependants(const rt::Value& cpf) {
    const std::string digits = rt::TRIM(common::TIRA_PONTO(cpf.as_string()));
    rt::table::Table* t = tables::ws().table(kDependantsArea);
    if (digits.empty() || !t) return true;
    const std::uint32_t own = t->eof() ? 0 : t->recno();
    bool held = false;
    for (std::uint32_t n = 1, last = t->lastrec(); n <= last && !held; ++n) {
        if (n == own) continue;
        t->go_to(n);
        held = !t->deleted() && t->get("CODIDEPEN").as_number() < kFirstHeirCode &&
               rt::TRIM(common::TIRA_PONTO(t->get("CPFDEPEN").as_string())) == digits;
    }
    t->go_to(own ? own : t->lastrec() + 1);
    if (held) notice({"CPF digitado já consta na relação dos dependentes"_cp, "e alimentandos. Confira o número."_cp});
    return !held;
}

bool CONF_DEP(int number, int phase) {
    const int code = row_code(kPaymentsArea, "I6_3");
    common::Global{"I6_3"}.set(Value(code));
    if ((common::Global{"QTD_DEP"}.integer() == 0 && common::Global{"DESPALIM"}.integer() == 0) || code > 38)
        return false;
    const bool alimony = code >= 30 && code <= 34;
    if (number == 0) {
        if (alimony) notice({"Obrigatório informar o Nro do Alimentando conforme a relação."_cp});
        else notice({"Informe o Nro do Dependente/Alimentando conforme a relação."_cp, "ou deixe com 0 se a despesa foi do titular"});
        return true;
    }
    // Before the entry only whether the cell may be edited is asked.
    if (phase == 1) return true;
    const KeepArea keep;
    rt::table::Table* dependants = tables::ws().table(kDependantsArea);
    if (!dependants) return false;
    tables::ws().select(kDependantsArea);
    if (alimony) {
        const Recipients r = recipients_of(code);
        rt::table::Table& t = *dependants;
        t.set_filter([&t, r] {
            const double c = t.get("CODIDEPEN").as_number();
            return c >= r.low && c <= r.high;
        }, r.low == r.high ? "codidepen==" + std::to_string(r.low) : "codidepen>97 .and. codidepen<100");
        t.go_top();
        if (t.locate([&t, number] { return t.get("NRODEPEN").as_number() == number; })) return accept_payee(t);
        notice({"Não existe alimentando "_cp + r.place + " com esse número."_cp,
                "ou o código "_cp + rt::STRZERO(code, 2) + " não está correto!"_cp});
        return false;
    }
    rt::table::Table& t = *dependants;
    t.clear_filter();
    t.go_top();
    if (t.locate([&t, number] { return t.get("NRODEPEN").as_number() == number; })) return true;
    notice({"Não existe dependente ou alimentando com esse Nro."_cp});
    return false;
}

bool TROCA_NAO(const Value& value) {
    GridRun* grid = current_grid();
    const int column = grid ? grid->column() : 1;
    const std::string typed = rt::UPPER(trimmed(value));
    if (column == 1) {
        if (typed == "S") {
            // The blank line below the list, or a row without a name, is no
            // folder to select: the list would gain rows and the terminal
            // would quietly move to the program folder.
            const Value folder = row_field(kFoldersArea, "DIRETOR");
            if (!folder.is_string() || rt::TRIM(folder.as_string()).empty()) {
                notice({"É necessário preencher o nome do diretório"_cp});
                return false;
            }
            // A folder that is gone and not made again keeps the mark where
            // it was: never two rows marked.
            const bool selected = tables::TROCASIM(1);
            tables::ws().select(kFoldersArea);
            // The row that lost its mark shows it at once.
            if (selected && grid) grid->browse().refresh_all();
            return selected;
        }
        if (typed.empty() || typed == "N") return true;
        notice({"Digite (S)im ou (N)ão "_cp});
        return false;
    }
    const std::string folder = trimmed(value);
    if (folder.empty()) {
        notice({"É necessário preencher o nome do diretório"_cp});
        return false;
    }
    return common::VERDIR(folder) || tables::CRI_NDIR(folder, " QV2012");
}

}  // namespace qv::declaration::grids
