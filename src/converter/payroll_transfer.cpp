// The statements of FOLHAPG transferred into the declarations.
#include <vector>

#include "common/avisosn.hpp"
#include "common/messages.hpp"
#include "converter/destination_tables.hpp"
#include "converter/other_folder.hpp"
#include "converter/payroll_posting.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/ui/alert.hpp"
#include "tables/folder_search.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::operator""_cp;
using rt::Value;

enum class Unregistered { Include, Skip, All, Abandon };

std::string posting_mode() {
    const int chosen = rt::ALERT(std::vector<std::string>{"Encontrando valores já lançados!"_cp,
                                                          " Acrescente esse novo valor     ",
                                                          " Substituia o valor com esse.   ",
                                                          " Não lançe o esse valor         "_cp},
                                 {"Acrescente", "Substituia", "Não"_cp});
    return chosen == 1 ? "A" : chosen == 2 ? "S" : "N";
}

Unregistered ask_unregistered(const std::string& cpf) {
    const int chosen = rt::ALERT(std::vector<std::string>{"O CPF " + cpf + " não está cadastrado   "_cp,
                                                          "  em nenhum dos diretórios indicado! "_cp},
                                 {"Inclui", "Salta", "Todos", "Abandona"});
    switch (chosen) {
        case 1: return Unregistered::Include;
        case 2: return Unregistered::Skip;
        case 3: return Unregistered::All;
        default: return Unregistered::Abandon;
    }
}

bool registered(const std::string& cpf) {
    tb::Table& reg = table(9);
    reg.set_order(1);
    return reg.seek(Value(cpf));
}

void add_to_register(const std::string& cpf, const Value& name) {
    tb::Table& reg = new_row(9, cpf);
    reg.put("NOMECONTR", name);
    reg.put("ESTATUS", Value(1));
    reg.commit();
}

// Statements left behind (a wrong CPF, tables held by another user): no
// taxpayer is made of them, and the clerk is told which they are and why.
void report_left(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    std::vector<std::string> box{"Comprovantes não transferidos:"_cp};
    constexpr std::size_t kShown = 12;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) box.push_back(lines[i]);
    if (lines.size() > kShown) box.push_back("... e mais " + std::to_string(lines.size() - kShown));
    common::AVISOSN(box, 0);
}

void remove_statement(tb::Table& s) {
    tables::ws().select(kPayroll);
    if (!tables::REC_LOCK(2)) return;
    s.delete_record();
    s.commit();
    s.unlock();
}

}  // namespace

void TRANSFERE() {
    if (!CRIA_BASE() || !tables::ABERTURA(kPayroll)) return;
    const std::string mode = posting_mode();
    tb::Table& s = tables::ws().current(kPayroll);
    s.set_order(0);
    std::vector<std::uint32_t> pending;
    for (s.go_top(); !s.eof(); s.skip(1))
        if (!s.deleted() && s.get("IMPRE").as_string() != "N") pending.push_back(s.recno());
    bool all = false, abandoned = false;
    PostingRun run;
    std::vector<std::string> left;
    const std::string busy = ": tabelas em uso por outro usuário"_cp;
    for (const std::uint32_t r : pending) {
        s.go_to(r);
        const std::string cpf = rt::RTRIM(s.get("CPF").as_string());
        const std::string shown = rt::TRANSFORM(Value(cpf), "@R 999.999.999-99") + " " +
                                  rt::LEFT(s.get("NOMECONTR").as_string(), 20);
        if (!cpf_digits_right(cpf)) {
            left.push_back(rt::RTRIM(shown) + ": CPF incorreto");
            continue;
        }
        common::MENS(0, "Transferindo o cpf " + shown);
        // A taxpayer whose declaration is open on another terminal keeps
        // its statement: that terminal's save would undo the posting.
        tables::TaxpayerMarks marks;
        if (std::string why = declaration_taken(marks, cpf); !why.empty()) {
            left.push_back(std::move(why));
            continue;
        }
        bool add = false;
        if (!registered(cpf)) {
            // Registered in another folder of the list: posted there.
            std::string in_use;
            const Elsewhere elsewhere = write_in_other_folder(cpf, {1, 2, 6}, [&] {
                s.go_to(r);
                post_statement(mode, run);
            }, in_use);
            if (elsewhere == Elsewhere::Written) {
                s.go_to(r);
                remove_statement(s);
                continue;
            }
            if (elsewhere == Elsewhere::Busy || elsewhere == Elsewhere::InUse) {
                left.push_back(elsewhere == Elsewhere::InUse ? in_use : rt::RTRIM(shown) + busy);
                continue;
            }
            const Unregistered answer = all ? Unregistered::All : ask_unregistered(cpf);
            if (answer == Unregistered::Abandon) {
                abandoned = true;
                break;
            }
            if (answer == Unregistered::Skip) continue;
            all = answer == Unregistered::All;
            add = true;
        }
        const TablesLocked locks({1, 2, 6, 9});
        if (!locks.ok()) {
            left.push_back(rt::RTRIM(shown) + busy);
            continue;
        }
        s.go_to(r);
        if (add) add_to_register(cpf, s.get("NOMECONTR"));
        s.go_to(r);
        post_statement(mode, run);
        remove_statement(s);
    }
    tables::ws().close_all();
    report_left(left);
    if (abandoned) return;
    common::MENS(0, "Dados Transferidos");
    rt::INKEY(2);
    common::MENS();
}

}  // namespace qv::converter
