#include "office/taxpayer_deletion.hpp"

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "office/folder_tables.hpp"
#include "office/taxpayer_marks.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/register_views.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace tb = rt::table;

namespace {

std::vector<int> tables_to_clear(bool rural_only) {
    std::vector<int> codes;
    for (int code = rural_only ? 15 : kFirstTable; code <= (rural_only ? 19 : kLastTable); ++code)
        if (code != kRegister) codes.push_back(code);
    return codes;
}

void close_areas(const std::vector<int>& codes) {
    for (const int code : codes) tables::ws().close(code);
}

// Blank marks, and how many taxpayers have rural activity.
long prepare_register(tb::Table& reg) {
    common::MENS(13, "Processando!");
    long rural = 0;
    for (reg.go_top(); !reg.eof(); reg.skip(1)) {
        reg.put("IMPRE", rt::Value(" "));
        if (reg.get("TEMRURAL").as_string() == "S") ++rural;
    }
    reg.commit();
    common::FECHAJAN(10);
    return rural;
}

std::vector<std::string> marked_cpfs(tb::Table& reg) {
    std::vector<std::string> cpfs;
    for (reg.go_top(); !reg.eof(); reg.skip(1))
        if (reg.get("IMPRE").as_string() == "S") cpfs.push_back(reg.get("CPF").as_string());
    return cpfs;
}

// The register's marked rows: deleted, or without rural activity.
void update_register(const std::string& folder, bool rural_only) {
    tb::Table& reg = tables::ws().current(kRegister);
    tables::ws().select(kRegister);
    if (!tables::FIL_LOCK(5)) return;
    for (reg.go_top(); !reg.eof(); reg.skip(1)) {
        if (reg.get("IMPRE").as_string() != "S") continue;
        if (rural_only) {
            reg.put("TEMRURAL", rt::Value("N"));
            reg.put("ATV_BRASIL", rt::Value(" "));
        } else {
            reg.delete_record();
        }
    }
    reg.commit();
    reg.unlock();
    if (open_folder_table(folder, kRegister, kRegister, true)) {
        try {
            tables::ws().current(kRegister).pack();
        } catch (const tb::TableError&) {
            // The deleted rows stay hidden until the next pack.
        }
    }
    open_folder_table(folder, kRegister, kRegister, false);
}

// The marks of the taxpayers, so that no terminal opens one of them while
// its rows go; the message naming the first another terminal has, empty
// when all were taken.
std::string take_marks(tables::TaxpayerMarks& marks, const std::string& folder, const std::vector<std::string>& cpfs) {
    for (const std::string& cpf : cpfs) {
        if (std::string why = tables::refusal_text(marks.take(folder, cpf), cpf); !why.empty()) return why;
    }
    return {};
}

// The marks of the operation are blanked on every row, so that the
// taxpayers are not found marked by the next operation that marks.
void clear_marks(tb::Table* reg) {
    if (!reg) return;
    reg->clear_filter();
    bool any = false;
    for (reg->go_top(); !reg->eof() && !any; reg->skip(1)) any = !rt::TRIM(reg->get("IMPRE").as_string()).empty();
    tables::ws().select(kRegister);
    if (!any || !tables::FIL_LOCK(5)) return;
    for (reg->go_top(); !reg->eof(); reg->skip(1))
        if (!rt::TRIM(reg->get("IMPRE").as_string()).empty()) reg->put("IMPRE", rt::Value(" "));
    reg->commit();
    reg->unlock();
}

}  // namespace

bool delete_declarations(const std::string& folder, const std::vector<std::string>& cpfs, bool rural_only,
                         int* busy_table, std::string* in_use) {
    tables::TaxpayerMarks marks;
    if (const std::string held = take_marks(marks, folder, cpfs); !held.empty()) {
        if (in_use) *in_use = held;
        return false;
    }
    const std::vector<int> codes = tables_to_clear(rural_only);
    for (const int code : codes) {
        if (open_folder_table(folder, code, code, true)) continue;
        close_areas(codes);
        if (busy_table) *busy_table = code;
        return false;
    }
    for (const int code : codes) {
        tb::Table& t = tables::ws().current(code);
        long deleted = 0;
        for (const std::string& cpf : cpfs) deleted += delete_taxpayer_rows(t, cpf_key(cpf));
        if (deleted > 0) t.pack();
        tables::MOSTRADOR(4, 1);
    }
    close_areas(codes);
    return true;
}

void EXCLUI() {
    const std::string folder = tables::client_folder();
    tables::MUDADIR(folder);
    tables::ws().select(kRegister);
    tb::Table* reg = tables::ws().table(kRegister);
    if (!reg) return;
    reg->set_order(1);
    reg->go_top();
    if (reg->eof()) {
        common::AVISOSN("Não há registro para ser selecionado"_cp, 0);
        return;
    }
    if (!tables::FIL_LOCK(5)) return;
    const long rural = prepare_register(*reg);
    reg->unlock();
    bool rural_only = false;
    if (rural > 0)
        rural_only = common::AVISOSN(std::vector<std::string>{"SIM - Exclui toda a declaração"_cp,
                                                              "NÃO - Exclui só a atividade Rural"_cp},
                                     2).as_string() == "N";
    if (rural_only) reg->set_filter([reg] { return reg->get("TEMRURAL").as_string() == "S"; }, "TEMRURAL = 'S'");
    reg->go_top();
    mark_taxpayers(kRegister);
    const std::vector<std::string> cpfs = marked_cpfs(*reg);
    const long n = static_cast<long>(cpfs.size());
    const bool confirmed =
        n > 0 && common::AVISOSN("Confirma a Exclusão de "_cp + rt::LTRIM(std::to_string(n)) + " contribuinte" +
                                     (n > 1 ? "s" : "") + "?",
                                 2).as_string() == "S";
    if (confirmed) {
        // The progress bar runs inside the taxpayer box, which goes with it.
        declaration::MTELA3(3);
        reg->go_top();
        while (!reg->eof() && reg->get("IMPRE").as_string() != "S") reg->skip(1);
        if (!reg->eof()) tables::MOSTR_PAG(1);
        common::Global("TAM_CALC").set(rt::Value(""));
        common::MENS(0, rural_only ? "Excluindo os dados da Atividade Rural..."_cp : "Excluindo os dados...");
        int busy = 0;
        std::string in_use;
        // held until the register has lost them too
        tables::TaxpayerMarks marks;
        if (in_use = take_marks(marks, folder, cpfs); in_use.empty() &&
            delete_declarations(folder, cpfs, rural_only, &busy, &in_use))
            update_register(folder, rural_only);
        else if (!in_use.empty())
            common::AVISOSN(std::vector<std::string>{in_use, "Nenhum contribuinte foi excluído."_cp}, 0);
        else
            common::AVISOSN(std::vector<std::string>{"O arquivo " + table_name(busy) +
                                                         ".DBF está sendo usado em algum terminal."_cp,
                                                     "Nenhum contribuinte foi excluído."_cp},
                            0);
    }
    clear_marks(tables::ws().table(kRegister));
    tables::ws().set_deleted(true);
    common::Global("CPF").set(rt::Value(rt::SPACE(11)));
    common::Global("CPF_OLD").set(rt::Value(rt::SPACE(11)));
    common::FECHAJAN(3);
    common::MENS();
}

}  // namespace qv::office
