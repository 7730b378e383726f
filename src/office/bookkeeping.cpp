// The entries screen: the taxpayer's entries are copied into the terminal's
// own table, edited and posted there, and written back into the shared
// table of every taxpayer's entries when the screen is left.
#include "office/bookkeeping.hpp"

#include <filesystem>
#include <mutex>
#include <span>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/loop/work_tables.hpp"
#include "office/bookkeeping_tables.hpp"
#include "office/office_menu.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/locks.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::office {

namespace {

using common::Global;
using rt::operator""_cp;
namespace tb = rt::table;

constexpr int kRegisterArea = 9;

std::string copy_file() { return tb::resolve_path(declaration::work_file(kEntriesTable) + ".dbf"); }

std::string row_cpf(tb::Table& t) {
    const rt::Value v = t.get("CPF");
    return v.is_string() ? rt::ALLTRIM(v.as_string()) : std::string();
}

void remove_copy() {
    std::error_code ec;
    for (const char* ext : {".dbf", ".cdx"}) std::filesystem::remove(tb::with_extension(copy_file(), ext), ec);
}

bool open_copy() {
    tb::OpenOptions own;
    own.exclusive = true;
    own.structural_index = false;
    try {
        tables::ws().use_in(kEntriesArea, copy_file(), own).go_top();
    } catch (const tb::TableError&) {
        tables::ws().close(kEntriesArea);
        return false;
    }
    return true;
}

// The CPF of the entries a copy left behind holds ("" when it holds none).
std::string leftover_owner() {
    if (!tb::file_exists(copy_file()) || !open_copy()) return {};
    tb::Table& copy = *tables::ws().table(kEntriesArea);
    std::string owner;
    for (copy.go_top(); !copy.eof() && owner.empty(); copy.skip())
        if (!copy.deleted()) owner = row_cpf(copy);
    tables::ws().close(kEntriesArea);
    return owner;
}

// The taxpayer's rows of the shared table replace the copy.
bool copy_entries(const std::string& cpf) {
    if (!tables::ABERTURA(kEntriesTable)) return false;
    tb::Table& shared = *tables::ws().table(kEntriesTable);
    tb::TransferOptions only_taxpayer;
    only_taxpayer.for_cond = [&shared, &cpf] { return !shared.deleted() && row_cpf(shared) == cpf; };
    shared.go_top();
    remove_copy();
    try {
        tb::copy_to(tables::ws(), shared, copy_file(), only_taxpayer);
    } catch (const tb::TableError&) {
        tables::ws().close(kEntriesTable);
        return false;
    }
    tables::ws().close(kEntriesTable);
    return open_copy();
}

// The copy's rows take the place of the taxpayer's rows in the shared
// table, all under its file lock. Without the lock nothing is touched and
// the copy stays for the next time.
bool write_back(const std::string& cpf) {
    if (!tables::ABERTURA(kEntriesTable)) return false;
    tables::ws().select(kEntriesTable);
    if (!tables::FIL_LOCK()) {
        tables::ws().close(kEntriesTable);
        return false;
    }
    tb::Table& shared = *tables::ws().table(kEntriesTable);
    tb::Table& copy = *tables::ws().table(kEntriesArea);
    for (shared.go_top(); !shared.eof(); shared.skip()) {
        if (shared.deleted() || row_cpf(shared) != cpf) continue;
        shared.delete_record();
        shared.commit();
    }
    for (copy.go_top(); !copy.eof(); copy.skip()) {
        if (copy.deleted()) continue;
        shared.append_blank();
        for (const tb::Field& f : copy.fields())
            if (shared.field_index(f.name) >= 0) shared.put(f.name, copy.get(f.name));
        shared.commit();
    }
    shared.unlock();
    tables::ws().close(kEntriesTable);
    return true;
}

void tell_kept() {
    common::AVISOSN("Os lançamentos não puderam ser gravados: o arquivo está em uso em outro terminal.;"
                    "Eles ficam guardados neste terminal e serão gravados na próxima vez."_cp);
}

// The copy of the taxpayer's entries in its area. A copy that an earlier
// run could not write back is kept: it is the taxpayer's own work, or it
// is written back for its owner first.
bool prepare_copy(const std::string& cpf) {
    const std::string owner = leftover_owner();
    if (owner == cpf) return open_copy();
    if (!owner.empty()) {
        if (!open_copy() || !write_back(owner)) {
            tables::ws().close(kEntriesArea);
            tell_kept();
            tables::clear_open_failure();
            return false;
        }
        tables::ws().close(kEntriesArea);
    }
    return copy_entries(cpf);
}

// Whose entries these are, on the screen's top line: the taxpayer the
// register holds for the CPF, not the one a screen before was showing.
void name_the_taxpayer(const std::string& cpf) {
    std::string name;
    if (tables::ABERTURA(kRegisterArea)) {
        tb::Table& reg = *tables::ws().table(kRegisterArea);
        const int order = reg.order();
        const std::uint32_t at = reg.recno();
        reg.set_order(1);
        if (reg.seek(rt::Value(rt::PADR(cpf, 11)))) name = rt::TRIM(reg.get("NOMECONTR").as_string());
        reg.set_order(order);
        reg.go_to(at);
    }
    Global{"NOMECONTR"}.set(rt::Value(name));
    rt::at_say(0, 0, rt::PADR(rt::TRANSFORM(rt::Value(cpf), "@R 999.999.999-99") + "  " + name, 80));
}

void close_tables() {
    for (int area : {kEntriesArea, kChartArea, kEntriesTable, 1, 2, 6}) tables::ws().close(area);
}

void run_grid(int code) {
    name_the_taxpayer(rt::ALLTRIM(Global{"CPF"}.text()));
    tables::ws().select(code == 25 ? kEntriesArea : kChartArea);
    const rt::Value args[] = {rt::Value(code), rt::Value(0)};
    rt::call_function("EDITA", std::span<const rt::Value>(args, 2));
}

void chosen(int item) {
    switch (item) {
        case 1: FAZLANC(); break;
        case 2: {
            const int posted = LANCAVAL();
            if (posted < 0) break;
            common::AVISOSN("Lançamentos transferidos para o IR: "_cp + std::to_string(posted));
            break;
        }
        case 3: run_grid(25); break;
        default: run_grid(28); break;
    }
}

}  // namespace

void LANCAMEN() {
    const std::string cpf = rt::ALLTRIM(Global{"CPF"}.text());
    // The postings write the declaration's rows, and the entries go back
    // whole when the screen is left: a terminal with the declaration or
    // the entries of the taxpayer open would undo them.
    tables::TaxpayerMarks marks;
    if (const std::string why = tables::refusal_text(marks.take(tables::client_folder(), cpf), cpf); !why.empty()) {
        common::AVISOSN(why, 0);
        return;
    }
    if (!open_chart() || !prepare_copy(cpf)) {
        // A table another terminal holds, or a file that cannot be read.
        if (const std::string why = tables::open_failure_text(); !why.empty()) common::AVISOSN(why);
        close_tables();
        return;
    }
    name_the_taxpayer(cpf);
    const rt::KeyHandler f1 = rt::SETKEY(rt::key::F1, [] {
        rt::call_routine("GERAL");
    });
    office_menu(0, 6, 30, {"Lançar"_cp, "Transferir p/ IR", "Ver lançamentos"_cp, "Alterar contas"},
                {"Faz os lançamentos dos dados"_cp, "Transfere os novos lançamentos para o IR"_cp,
                 "Visualiza os lançamentos feitos"_cp, "Altera ou cria novo plano de contas"},
                "LTVA", chosen);
    rt::SETKEY(rt::key::F1, f1);
    rt::at_say(0, 0, rt::SPACE(80));
    if (write_back(cpf)) {
        tables::ws().close(kEntriesArea);
        remove_copy();
    } else {
        tell_kept();
    }
    close_tables();
}

void register_bookkeeping_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto text = [](Args a, std::size_t i) {
            return i < a.size() && a[i].is_string() ? a[i].as_string() : std::string();
        };
        rt::register_function("LANCAMEN", [](Args) { LANCAMEN(); return rt::Value(); });
        rt::register_function("FAZLANC", [](Args) { FAZLANC(); return rt::Value(); });
        rt::register_function("LANCAVAL", [](Args) { return rt::Value(LANCAVAL()); });
        rt::register_function("VE_CONTA", [](Args) { return rt::Value(VE_CONTA()); });
        rt::register_function("VEDAT", [text](Args a) { return rt::Value(VEDAT(text(a, 0))); });
        rt::register_function("ACHA_ITEM", [text](Args a) {
            const bool create = a.size() > 2 && a[2].is_logical() && a[2].as_bool();
            return rt::Value(ACHA_ITEM(text(a, 0), text(a, 1), create, text(a, 3)));
        });
    });
}

}  // namespace qv::office
