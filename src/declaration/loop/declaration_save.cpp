#include "declaration/loop/declaration_save.hpp"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "declaration/loop/monthly_matrices.hpp"
#include "declaration/loop/recovery_state.hpp"
#include "declaration/loop/register_summaries.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/replace_records.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

namespace tb = rt::table;

constexpr int kAssetsArea = 24;
constexpr int kDebtsArea = 25;
constexpr int kGainsArea = 27;
constexpr int kMonthlyArea = 32;
constexpr int kRuralSummaryArea = 35;
constexpr int kLastNumberTimesTen = 9999;   // I7_0 and I8_0 hold four digits
// Where the save shows its progress inside the taxpayer box.
constexpr int kCaptionColumn = 52;
constexpr int kCaptionWidth = 20;

constexpr std::string_view kCaptions[] = {
    "Cálculos da Pag. 4  ", "Rendimentos─────────", "Dependentes─────────", "Declaração Bens ────",
    "Dívidas e Onus  ────", "Doações e Pagamentos", "Ganho de Capital────", "Renda Variável──────",
    " ",                    "Dados Cadastrais────", "Despesas/Observações", "Rendimentos PFisica ",
    "Lancamentos ────────", "Auxiliar rendimento─", "Atividade Rural 1 ──", "Imoveis Rurais ─────",
    "Bens Atividade Rural", "Div. Atividade Rural", "Livro Caixa Rural ──",
};

void show_caption(int table, int mode) {
    if (table < 1 || table > 19) return;
    const std::string caption = rt::utf8_to_cp850(kCaptions[table - 1]);
    if (mode == 1) common::ESCRLCOL(3, 3, kCaptionColumn, caption);
    else common::ESCRLCOL(10, 0, 26, caption);
}

bool transfer_follows() {
    const int opttran = common::Global("OPTTRAN").integer(0);
    return opttran == 1 ||
           (opttran == 2 && variable_number("ESTATUS") == common::Global("SOESTE").number(0));
}

void not_saved(std::string_view what) {
    common::AVISOSN(std::vector<std::string>{std::string(what),
                                             "Os dados continuam no terminal. Salve novamente."_cp});
}

// Items numbered 1, 2, 3 ... in the list's order, then 10, 20, 30 ... as far
// as the four digits allow.
void renumber(tb::Table& list, const char* field) {
    std::vector<std::uint32_t> rows;
    for (list.go_top(); !list.eof(); list.skip(1)) rows.push_back(list.recno());
    long n = 0;
    for (const auto row : rows) {
        list.go_to(row);
        list.put(field, rt::Value(++n));
    }
    for (const auto row : rows) {
        list.go_to(row);
        const double number = list.get(field).as_number();
        if (number * 10 < kLastNumberTimesTen) list.put(field, rt::Value(number * 10));
    }
    list.commit();
}

// The rows a work copy holds, as raw records in sorted order.
std::vector<std::string> rows_of(tb::Table& copy) {
    std::vector<std::string> rows;
    copy.set_order(0);
    for (copy.go_top(); !copy.eof(); copy.skip(1)) rows.push_back(copy.raw_record());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// True when the shared table, open in its area, holds exactly these rows of
// the taxpayer: nothing changed, and the table need not be rewritten.
bool holds_already(int table, const std::vector<std::string>& rows, const std::string& key,
                   const std::function<bool(std::string_view)>& belongs) {
    tb::Table& shared = tables::ws().current(table);
    std::vector<std::string> held;
    shared.set_order(1);
    for (shared.seek(rt::Value(key)); !shared.eof(); shared.skip(1)) {
        std::string row = shared.raw_record();
        if (!belongs(row)) break;
        held.push_back(std::move(row));
        if (held.size() > rows.size()) return false;
    }
    std::sort(held.begin(), held.end());
    return held == rows;
}

// The rural summary of the current activity, from its variables.
void write_rural_summary() {
    tables::ws().select(kRuralSummaryArea);
    const std::string activity = rt::PADR(variable_text("ATV_BRASIL"), 1);
    if (!PREP_REG(rt::Value(taxpayer_key(15, variable_text("CPF"), activity)))) return;
    tb::Table& t = tables::ws().current(kRuralSummaryArea);
    t.put("CPF", rt::Value(rt::PADR(variable_text("CPF"), 11)));
    t.put("ATV_BRASIL", rt::Value(activity));
    const auto amount = [](int month, int col) {
        return rt::Value(common::CAR_TO_VAL(matrix_cell("REND_RURAL", month, col).as_string()));
    };
    for (int month = 1; month <= 12; ++month) {
        t.put("I3_" + rt::STRZERO(month, 2) + "OR", amount(month, 1));
        t.put("I3_" + rt::STRZERO(month, 2) + "OD", amount(month, 2));
    }
    std::vector<std::string> names{"I5_08", "I5_09", "I5_10", "I6_10", "I7_V1", "SO_TOTAL"};
    for (int k = 1; k <= 7; ++k) names.push_back("I4R_" + rt::STRZERO(k, 2));
    for (int i = 1; i <= 5; ++i)
        for (const char* s : {"A", "B", "C", "S", "V1"}) names.push_back("I7_" + std::to_string(i) + s);
    const auto& vars = rt::variables();
    for (const auto& name : names) {
        const int field = t.field_index(name);
        if (field < 0 || !vars.exists(name)) continue;
        const rt::Value& v = vars.get(name);
        const char type = t.fields()[std::size_t(field)].type;
        if ((type == 'N' && v.is_number()) || (type == 'C' && v.is_string()) || (type == 'L' && v.is_logical()))
            t.put(field, v);
    }
    t.unlock();
    t.commit();
}

void register_summaries() {
    auto& ws = tables::ws();
    MonthsDue cleao;
    if (auto* monthly = ws.table(kMonthlyArea)) cleao = carne_leao_months(*monthly);
    set_variable("NRCLEAO", rt::Value(cleao.count));
    set_variable("DFCLEAO", rt::Value(cleao.total));
    GainsMonths gains;
    if (auto* list = ws.table(kGainsArea)) gains = gains_months(*list);
    set_variable("NRGCAPIT", rt::Value(gains.capital_gains.count));
    set_variable("DFGCAPIT", rt::Value(gains.capital_gains.total));
    set_variable("NRRVARIV", rt::Value(gains.variable_income.count));
    set_variable("DFRVARIV", rt::Value(gains.variable_income.total));
    set_variable("NRQUOTA", variable("QTD_QUOTA"));
    set_variable("DFQUOTA", variable("I13_37"));
}

// Lets go of the records had for a save that stops before they are
// written: what was put in them is forgotten, one appended for the save goes
// again, the register's lock is freed and the declaration table closed.
struct RecordsHeld {
    tb::Table& record;
    bool new_record = false;
    tb::Table* reg = nullptr;
    bool new_reg = false;
    bool written = false;
    static void give_back(tb::Table& t, bool appended) noexcept {
        try {
            t.discard();
            if (appended) t.delete_record();
            t.unlock();
        } catch (...) {
            // the close below frees it
        }
    }
    ~RecordsHeld() {
        if (written) return;
        if (reg) give_back(*reg, new_reg);
        give_back(record, new_record);
        try {
            tables::ws().close(kDeclarationTable);
        } catch (...) {
        }
    }
};

// The register's and the declaration's records of the taxpayer, from the
// variables. Both records are had (found and locked, or appended) and
// filled before either is written, so that a save stopped here changes
// neither; the work copies get them too, for a recovery after a crash.
bool write_records(int mode) {
    auto& ws = tables::ws();
    const rt::Value cpf(rt::PADR(variable_text("CPF"), 11));
    open_waiting(kDeclarationTable, true, kSaveWait);
    ws.select(kDeclarationTable);
    tb::Table& record = ws.current(kDeclarationTable);
    const bool new_record = !record.seek(cpf);
    RecordsHeld held{record};
    if (!PREP_REG(cpf)) {
        not_saved("Não foi possível gravar a declaração do contribuinte."_cp);
        return false;
    }
    held.new_record = new_record;
    open_waiting(kRegisterTable, false, kLoadWait);
    ws.select(kRegisterTable);
    tb::Table& reg = ws.current(kRegisterTable);
    const bool new_reg = !reg.seek(cpf);
    if (!PREP_REG(cpf)) {
        not_saved("Não foi possível gravar o cadastro do contribuinte."_cp);
        return false;
    }
    held.reg = &reg;
    held.new_reg = new_reg;
    if (const auto used = call_named("VETEMPO", {rt::Value(mode == 1 ? 3 : 1)}); used && used->is_number())
        set_variable("TEM_USO", *used);
    set_variable("INI_DECLA", rt::Value(static_cast<double>(static_cast<long>(rt::SECONDS()))));
    VE_LIM_NEG();
    std::vector<rt::Value> office;
    for (const std::string_view field : kOfficeRegisterFields) office.push_back(reg.get(field));
    variables_to_record(kRegisterTable);
    for (std::size_t i = 0; i < office.size(); ++i) reg.put(kOfficeRegisterFields[i], office[i]);
    reg.put("CPF", cpf);
    reg.put("I13_27", rt::Value(variable_number("I13_27") + variable_number("I13_28")));
    set_variable("TAM_USO", rt::Value(0));
    variables_to_record(kDeclarationTable);
    record.put("CPF", cpf);
    held.written = true;
    reg.unlock();
    reg.commit();
    record.commit();
    ws.close(kDeclarationTable);
    for (const int table : {kDeclarationTable, kRegisterTable}) {
        tb::Table* copy = ws.table(work_area(table));
        if (!copy) continue;
        if (copy->eof()) copy->go_top();
        if (copy->eof()) copy->append_blank();
        variables_to_record(work_area(table));
        copy->put("CPF", cpf);
        copy->commit();
    }
    return true;
}

SaveBatch*& batch_in_use() {
    static SaveBatch* batch = nullptr;
    return batch;
}

}  // namespace

bool PREP_REG(const rt::Value& key) {
    tb::Table* t = tables::ws().table(0);
    if (!t) return false;
    if (t->seek(key)) return tables::REC_LOCK(5);
    return tables::ADD_REC(5);
}

void VE_LIM_NEG() {
    const double indgas = variable_number("INDGAS");
    // 1000.00 does not fit the field's six places either.
    if (indgas < -99.99) set_variable("INDGAS", rt::Value(-99.99));
    else if (indgas >= 1000) set_variable("INDGAS", rt::Value(999.0));
    if (variable_number("SALDO") < -99999999.99) set_variable("SALDO", rt::Value(-99999999.99));
}

void SALVA_PARC(int table, int mode) {
    auto& ws = tables::ws();
    const int area = work_area(table);
    tb::Table* copy = ws.table(area);
    if (!copy) return;
    ws.select(area);
    const std::uint32_t at = copy->eof() ? 0 : copy->recno();
    copy->clear_filter();
    copy->go_top();
    if (area == kRuralSummaryArea) write_rural_summary();
    if (area == kAssetsArea) renumber(*copy, "I7_0");
    if (area == kDebtsArea) renumber(*copy, "I8_0");
    copy->commit();
    const std::vector<std::string> rows = rows_of(*copy);
    open_waiting(table, true, kLoadWait);
    common::MENS(0, "Salvando IMP" + rt::STRZERO(table, 2));
    ws.close(area);
    const std::string cpf = variable_text("CPF"), activity = variable_text("ATV_BRASIL");
    const auto belongs = taxpayer_rows(table, table, cpf, activity);
    SaveBatch* batch = SaveBatch::current();
    try {
        if (holds_already(table, rows, taxpayer_key(table, cpf, activity), belongs)) ws.close(table);
        else if (batch) batch->add(table, tb::prepare_replace(ws, table, belongs, work_file(table)));
        else tb::replace_records(ws, table, belongs, work_file(table));
    } catch (const tb::TableError&) {
        ws.close(table);
        open_work_copy(table);
        throw;
    }
    ws.select(area);
    if (mode == 1 && !transfer_follows()) {
        if (batch) batch->closed_copy(table);
        return;
    }
    if (!open_work_copy(table)) return;
    tb::Table& reopened = ws.current(area);
    if (at != 0 && at <= reopened.lastrec()) reopened.go_to(at);
    else reopened.go_top();
}

SaveBatch::SaveBatch() : outer_(batch_in_use()) { batch_in_use() = this; }

SaveBatch::~SaveBatch() {
    batch_in_use() = outer_;
    if (!installed_) drop();
}

SaveBatch* SaveBatch::current() { return batch_in_use(); }

void SaveBatch::add(int table, tb::PreparedReplace rewrite) { pending_.push_back({table, std::move(rewrite)}); }

void SaveBatch::install() {
    std::size_t done = 0;
    try {
        for (; done < pending_.size(); ++done) pending_[done].rewrite.install();
    } catch (...) {
        // what is in place stays; the rest is dropped with the batch
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(done) + 1);
        throw;
    }
    installed_ = true;
    pending_.clear();
}

void SaveBatch::drop() noexcept {
    auto& ws = tables::ws();
    for (Pending& p : pending_) {
        p.rewrite.drop();
        try {
            ws.close(p.table);
        } catch (...) {
        }
    }
    pending_.clear();
    for (const int table : closed_) {
        try {
            if (!ws.table(work_area(table))) open_work_copy(table);
        } catch (...) {
        }
    }
}

bool SALVATUDO(int mode) {
    set_variable("TAM_CALC", rt::Value(""));
    call_named("VETAMHO");
    tables::reset_message_width();
    if (mode == 1) common::ESCRLCOL(3, 5, 2, "Salvando as informações"_cp + rt::SPACE(46));
    else common::MENS(13, "      Salvando as informações               "_cp + rt::SPACE(49));
    show_caption(1, mode);
    register_summaries();
    call_named("CALC", {rt::Value(7), rt::Value(0)});
    // Every table is written aside first, then the records, then all are
    // put in place: a failure before that changes nothing.
    SaveBatch batch;
    const int last = rt::ALLTRIM(variable_text("TEMRURAL")) == "S" ? 19 : 14;
    try {
        for (int table = 2; table <= last; ++table) {
            if (table == kRegisterTable || table == kEntriesTable) continue;
            show_caption(table, mode);
            SALVA_PARC(table, mode);
        }
        SALVA_PARC(kHeirsTable, mode);
        if (!write_records(mode)) return false;
        batch.install();
        // A save that ends the declaration leaves nothing to recover.
        if (mode == 1) copies_closed();
        else copies_editing(variable_text("CPF"));
    } catch (const TableUnavailable& e) {
        not_saved(*e.what() != '\0' ? std::string(e.what()) : "Não foi possível gravar todas as tabelas da declaração."_cp);
        return false;
    } catch (const tb::TableError&) {
        not_saved("Não foi possível gravar todas as tabelas da declaração."_cp);
        return false;
    }
    common::FECHAJAN(10);
    if (mode != 1) return true;
    if (transfer_follows()) {
        // The tables are written: their last caption goes with the save's line.
        common::ESCRLCOL(3, 3, kCaptionColumn, rt::SPACE(kCaptionWidth));
        common::ESCRLCOL(3, 5, 2, "Transferindo os dados para o programa da Receita....");
        call_named("PREPARA");
    }
    tables::FECHA_PROV();
    return true;
}

}  // namespace qv::declaration
