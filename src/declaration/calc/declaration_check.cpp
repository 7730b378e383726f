#include "declaration/calc/declaration_check.hpp"

#include <array>
#include <string>

#include "common/avisosn.hpp"
#include "common/windows.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/summary_lines.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

constexpr int kRulesTable = 54;
constexpr int kErrorTable = 11;
constexpr int kErrorArea = 31;       // the open declaration's work copy of the list
constexpr int kSeparatorCode = 99;
constexpr int kSeparatorPage = 10;
// Inside the balance page's box, whose left edge is column 1, or inside the
// taxpayer box of the main-menu run.
constexpr int kProgressColumn = 2;
constexpr int kBalanceRow = 22;
constexpr int kTaxpayerBox = 3;
constexpr int kBoxRow = 5;
// The load's progress bar ends there: the check's line covers it whole.
constexpr int kBoxLineWidth = 70;
// Columns of the three counts under their headings.
constexpr std::array<int, 3> kCountColumns{36, 45, 56};

int mode() { return static_cast<int>(amount("POSICAO")); }
int list_area() { return mode() == 1 ? kErrorTable : kErrorArea; }
std::string cpf() { return text("CPF"); }

// Removes the taxpayer's findings of an earlier run; the user's own notes
// (rule 0) and the rows of other taxpayers stay.
void clear_previous_findings(rt::table::Table& list) {
    const rt::table::Workspace::Selected keep(tables::ws(), list_area());
    if (!tables::FIL_LOCK()) return;
    const std::string own = rt::PADR(cpf(), 11);
    for (list.go_top(); !list.eof(); list.skip()) {
        if (rt::PADR(list.get("CPF").as_string(), 11) == own && field_number(list, "CODERR") != 0.0)
            list.delete_record();
    }
    list.commit();
    list.pack();
    list.unlock();
    list.go_top();
}

void append_row(rt::table::Table& list, std::string_view observ, int code, int page) {
    if (!tables::ADD_REC()) return;
    list.put("CPF", rt::Value(cpf()));
    list.put("OBSERV", rt::Value(std::string(observ)));
    list.put("CODERR", rt::Value(code));
    list.put("PAGINA", rt::Value(page));
    list.commit();
    list.unlock();
}

struct Rule {
    std::string text;
    int grade = 0;
    int page = 0;
};

Rule read_rule(int code) {
    Rule rule;
    rt::table::Table* rules = tables::ws().table(kRulesTable);
    if (!rules || !rules->seek(rt::Value(code))) return rule;
    rule.text = rt::TRIM(rules->get("DESCRI").as_string());
    rule.grade = static_cast<int>(field_number(*rules, "GRAU"));
    rule.page = static_cast<int>(field_number(*rules, "PAGINA"));
    return rule;
}

void count_grade(int grade) {
    static constexpr std::array<const char*, 3> counters{"NQTDERR", "NQTDPERI", "NQTDATEN"};
    if (grade < 1 || grade > 3) return;
    const char* name = counters[static_cast<std::size_t>(grade - 1)];
    set_amount(name, amount(name) + 1);
}

void show_counts() {
    // The result line replaces the whole progress line, labels included,
    // so that each count stands alone where its label stood.
    show_check_progress(kProgressColumn, rt::PADR("Conferido.  Resultado =======>  ", kCountColumns.back() + 7));
    const std::array<const char*, 3> counters{"NQTDERR", "NQTDPERI", "NQTDATEN"};
    for (std::size_t i = 0; i < counters.size(); ++i)
        show_check_progress(kProgressColumn + kCountColumns[i], rt::TRANSFORM(rt::Value(amount(counters[i])), "@ 99"));
}

void show_verdict() {
    const int errors = static_cast<int>(amount("NQTDERR"));
    const int dangers = static_cast<int>(amount("NQTDPERI"));
    const int warnings = static_cast<int>(amount("NQTDATEN"));
    if (!logical("LTEMERR")) {
        if (mode() != 3) common::AVISOSN("Declaração OK e pronta para transferir"_cp);
        return;
    }
    if (mode() != 2) return;
    const int grades = (errors > 0) + (dangers > 0) + (warnings > 0);
    if (grades >= 2)
        common::AVISOSN("Atenção! O programa localizou alguns erros que devem;"
                        "ser conferidos. Veja a relação na tela 11(F11)     "_cp);
    else if (errors > 0)
        common::AVISOSN("Atenção! Essa declaração tem erro que não irá passar no programa da;"
                        "Receita. Corrija-o antes de enviar. Veja a relação na tela 11(F11)"_cp);
    else if (dangers > 0)
        common::AVISOSN("Atenção! Declaração com problemas embora passe no programa da;"
                        "Receita. Confira a relação na tela 11 (F11) antes de enviar."_cp);
    else if (warnings > 0)
        common::AVISOSN("Atenção! Há algum item que pode ser erro de digitação. Ela passará;"
                        "no programa da Receita, mas convém ver a relação na tela 11 (F11)"_cp);
}

// Main-menu run with findings: the taxpayer's list in the terminal's own
// copy, shown in the error-list grid.
void show_findings_of_folder_list() {
    rt::table::Table* list = tables::ws().table(kErrorTable);
    if (!list) return;
    // The taxpayer's rows stand together in the list's CPF order, not
    // necessarily first: the copy starts at the first of them.
    list->set_order(1);
    if (!list->seek(rt::Value(rt::PADR(cpf(), 11)))) return;
    const std::string file = work_file(kErrorTable);
    copy_taxpayer_rows(kErrorTable, kErrorTable, cpf(), file);
    if (!open_work_copy(kErrorTable)) return;
    call_if_present("EDITA", {rt::Value(kErrorTable)});
    tables::ws().close(kErrorArea);
}

bool open_list() {
    if (mode() == 1) return tables::ABERTURA(kErrorTable, true);
    rt::table::Table* copy = tables::ws().table(kErrorArea);
    if (!copy) return false;
    tables::ws().select(kErrorArea);
    copy->set_order(1);   // the copy is indexed on the rule number when it is made
    return true;
}

}  // namespace

// The main-menu run writes on the progress line of the taxpayer box, below
// the list of findings it opens; the other runs on the balance page's row 22.
void show_check_progress(int col, std::string_view text) {
    if (mode() != 1) {
        rt::at_say(kBalanceRow, col, text);
        return;
    }
    const bool whole_line = col == kProgressColumn;
    common::ESCRLCOL(kTaxpayerBox, kBoxRow, col, whole_line ? rt::PADR(text, kBoxLineWidth) : std::string(text));
}

void MARCAERRO(int nCode, std::string_view cSuffix) {
    set_value("LTEMERR", rt::Value(true));
    const Rule rule = read_rule(nCode);
    rt::table::Table* list = tables::ws().table(list_area());
    count_grade(rule.grade);
    if (!list) return;
    const rt::table::Workspace::Selected keep(tables::ws(), list_area());
    if (!logical("LSEPAR")) {
        set_value("LSEPAR", rt::Value(true));
        if (list->lastrec() > 0)
            append_row(*list, "+" + std::string(58, '-') + "+", kSeparatorCode, kSeparatorPage);
    }
    // The work copy is ordered by rule: a rule stands there once.
    if (mode() != 1 && list->seek(rt::Value(nCode))) return;
    append_row(*list, rule.text + std::string(cSuffix), nCode, rule.page);
}

void CONFERE(int nMode) {
    set_value("LTEMERR", rt::Value(false));
    set_value("POSICAO", rt::Value(nMode));
    const int previous = tables::ws().selected();
    tables::ABERTURA(kRulesTable);
    if (!open_list()) {
        tables::ws().select(previous);
        return;
    }
    for (const char* counter : {"NQTDERR", "NQTDPERI", "NQTDATEN"}) set_amount(counter, 0);
    set_value("LSEPAR", rt::Value(false));
    rt::table::Table* list = tables::ws().table(list_area());
    clear_previous_findings(*list);
    show_check_progress(kProgressColumn, "Conferindo !!                       Erro     Perigo     Atenção"_cp);
    // The rule on personal expenses reads the standard discount, which a
    // load or another page may have left worked out for the other model:
    // every way to the check sees the declaration's own model.
    set_model_discount();
    run_check_rules();
    if (nMode == 1) tables::FECHA_PROV();
    show_counts();
    show_verdict();
    if (nMode == 1) {
        if (logical("LTEMERR")) show_findings_of_folder_list();
        tables::ws().close(kErrorTable);   // other terminals need the folder's list
        tables::ws().select(previous);
        return;
    }
    tables::ws().select(kErrorArea);
    list->go_top();
}

}  // namespace qv::declaration
