#include "office/part_copy.hpp"

#include <filesystem>
#include <functional>
#include <vector>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/option_bar.hpp"
#include "common/windows.hpp"
#include "common/frame_boxes.hpp"
#include "office/cpf_change.hpp"
#include "office/folder_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/transfer.hpp"
#include "runtime/ui/read.hpp"
#include "tables/declaration_protection.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace tb = rt::table;
namespace fs = std::filesystem;

namespace {

constexpr int kScratchArea = 80;
constexpr int kBoxWindow = 3;

using RowTest = std::function<bool(tb::Table&)>;

struct Register {
    bool rural = false;
    std::string activity = " ";
    bool locked = false;   // the declaration has the protecting status
};

Register register_of(const std::string& folder, const std::string& cpf) {
    Register r;
    if (!open_folder_table(folder, kRegister, kRegister, false)) return r;
    tb::Table& reg = tables::ws().current(kRegister);
    reg.set_order(1);
    if (reg.seek(cpf_key(cpf))) {
        r.rural = reg.get("TEMRURAL").as_string() == "S";
        r.activity = reg.get("ATV_BRASIL").as_string();
        r.locked = tables::status_protects(reg.get("ESTATUS"));
    }
    return r;
}

bool registered(const std::string& folder, const std::string& cpf) {
    if (!open_folder_table(folder, kRegister, kRegister, false)) return false;
    tb::Table& reg = tables::ws().current(kRegister);
    reg.set_order(1);
    return reg.seek(cpf_key(cpf));
}

std::string scratch_file() {
    const std::string loctrab = rt::TRIM(common::Global("LOCTRAB").text());
    return (loctrab.empty() ? tables::program_folder() : local_folder(loctrab)) + "TMP.dbf";
}

void drop_scratch() {
    tables::ws().close(kScratchArea);
    std::error_code ec;
    const std::string base = scratch_file();
    for (const char* ext : {".dbf", ".fpt", ".cdx", ".jnl"})
        fs::remove(tb::resolve_path(base.substr(0, base.size() - 4) + ext), ec);
}

// The declaration record, the monthly record and the rural summary: one
// record per taxpayer (and activity), never two.
bool one_per_taxpayer(int code) { return code == 1 || code == 12 || code == 15; }

// The destination's record of such a table is there already.
bool destination_holds(tb::Table& t, const rt::Value& to, const std::string* activity) {
    t.set_order(1);
    for (bool found = t.seek(to); found && !t.eof(); t.skip(1)) {
        if (t.get("CPF").as_string() != to.as_string()) break;
        if (!t.deleted() && (!activity || t.get("ATV_BRASIL").as_string() == *activity)) return true;
    }
    return false;
}

// One table: the original's rows that `kind` accepts go to the destination
// (deleting its rows of the same kind first when not adding). -1 when the
// table cannot be locked, else the original's rows found.
long copy_table(const PartCopy& c, int code, const RowTest& kind, const std::string* activity) {
    if (!open_folder_table(c.folder, code, code, false)) return -1;
    tb::Table& t = tables::ws().current(code);
    const rt::Value from = cpf_key(c.original), to = cpf_key(c.destination);
    long copied = 0;
    try {
        tb::TransferOptions opt;
        opt.for_cond = [&] {
            tb::Table& src = tables::ws().current();
            return src.get("CPF").as_string() == from.as_string() && (!kind || kind(src)) &&
                   (!activity || src.get("ATV_BRASIL").as_string() == *activity);
        };
        copied = tb::copy_to(tables::ws(), t, scratch_file(), opt);
        if (copied > 0) {
            tb::OpenOptions oo;
            oo.exclusive = true;
            oo.structural_index = false;
            tb::Table& scratch = tables::ws().use_in(kScratchArea, scratch_file(), oo);
            for (scratch.go_top(); !scratch.eof(); scratch.skip(1)) {
                scratch.put("CPF", to);
                if (activity) scratch.put("ATV_BRASIL", rt::Value(*activity));
            }
            scratch.commit();
            tables::ws().close(kScratchArea);
            tables::ws().select(code);
            if (!tables::FIL_LOCK(5)) {
                copied = -1;
            } else {
                if (!c.add) delete_taxpayer_rows(t, to, [&] { return !kind || kind(t); });
                if (!(c.add && one_per_taxpayer(code) && destination_holds(t, to, activity)))
                    tb::append_from(tables::ws(), t, scratch_file());
                t.unlock();
            }
        }
    } catch (const tb::TableError&) {
        copied = -1;
    }
    drop_scratch();
    tables::ws().close(code);
    return copied;
}

RowTest kind_of_income(bool company) {
    return [company](tb::Table& t) {
        const std::string k = t.get("I1_1").as_string();
        return company ? k == "J" : (k == "L" || k == "F");
    };
}

struct Plan {
    std::vector<int> codes;
    RowTest kind;
    bool rural_rows = false;
    const char* empty_message = nullptr;   // nullptr: a table without rows is skipped
};

Plan plan_of(Part p) {
    switch (p) {
        case Part::All: return {{1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, {}, false, nullptr};
        case Part::Assets: return {{4}, {}, false, "Sem Bens para copiar!"};
        case Part::CashBook: return {{2}, kind_of_income(false), false, "Sem Livro caixa para copiar!"};
        case Part::CompanyIncome: return {{2}, kind_of_income(true), false, "Sem rendimentos para copiar!"};
        case Part::Payments: return {{6}, {}, false, "Sem pagamentos para copiar!"};
        case Part::CapitalGains: return {{7, 8}, {}, false, "Sem ganho de capital para copiar!"};
        case Part::Rural: return {{15, 16, 17, 18, 19}, {}, true, nullptr};
        case Part::RuralAssets: return {{17, 18}, {}, true, nullptr};
        case Part::RuralCashBook: return {{19}, {}, true, "Esse contribuinte não tem Livro Caixa Rural!"};
        case Part::RuralProperties: return {{16}, {}, true, "Esse contribuinte nao tem imoveis rurais!"};
    }
    return {};
}

void mark_destination_rural(const PartCopy& c, const std::string& activity) {
    if (!open_folder_table(c.folder, kRegister, kRegister, false)) return;
    tb::Table& reg = tables::ws().current(kRegister);
    reg.set_order(1);
    tables::ws().select(kRegister);
    if (!reg.seek(cpf_key(c.destination)) || !tables::REC_LOCK(5)) return;
    reg.put("TEMRURAL", rt::Value("S"));
    reg.put("ATV_BRASIL", rt::Value(activity));
    reg.unlock();
}

}  // namespace

PartCopyResult copy_part(const PartCopy& c, std::string* message) {
    // Neither taxpayer may be open elsewhere: that terminal's save would
    // put back the rows it loaded, or miss the ones copied.
    tables::TaxpayerMarks marks;
    for (const std::string* cpf : {&c.destination, &c.original}) {
        const tables::MarkClaim claim = marks.take(c.folder, *cpf);
        if (claim) continue;
        if (message) *message = tables::refusal_text(claim, *cpf);
        return PartCopyResult::InUse;
    }
    // The copy changes the destination's declaration.
    if (register_of(c.folder, c.destination).locked) {
        if (message) *message = tables::protection_text();
        return PartCopyResult::Protected;
    }
    const Register original = register_of(c.folder, c.original);
    const Plan plan = plan_of(c.part);
    long total = 0;
    for (const int code : plan.codes) {
        const long n = copy_table(c, code, plan.kind, plan.rural_rows ? &original.activity : nullptr);
        if (n < 0) {
            if (message) *message = "O arquivo " + table_name(code) + ".DBF está sendo usado em algum terminal."_cp;
            return PartCopyResult::Busy;
        }
        // Copying everything stops at the rural tables of a taxpayer without them.
        if (c.part == Part::All && code == 15 && n == 0) break;
        total += n;
    }
    if (c.part == Part::Rural) mark_destination_rural(c, original.activity);
    if (total == 0 && plan.empty_message) {
        if (message) *message = rt::utf8_to_cp850(plan.empty_message);
        return PartCopyResult::Nothing;
    }
    return PartCopyResult::Done;
}

void SAI_FORA() {
    common::FECHAJAN(10);
    common::Global("TAM_OLD").set(rt::Value(0));
    common::FECHAJAN(kBoxWindow);
    common::MENS();
}

namespace {

bool ask_cpfs(const std::string& folder) {
    const common::Global original("CPF"), destination("CPFDEST");
    original.set(rt::Value(rt::SPACE(11)));
    destination.set(rt::Value(rt::SPACE(11)));
    while (true) {
        rt::at_get(10, 34, "M->CPF", "@r 999.999.999-99").valid([original] { return common::VAL_CPF(original.text(), true); });
        rt::at_get(12, 34, "M->CPFDEST", "@r 999.999.999-99").valid([destination] {
            return common::VAL_CPF(destination.text(), true);
        });
        if (!rt::READ()) return false;
        if (!registered(folder, destination.text()))
            common::AVISOSN("CPF Destino não existe. Cadastre-o para fazer a cópia"_cp, 0);
        else if (!registered(folder, original.text()))
            common::AVISOSN("CPF original não encontrado. Confira o número digitado"_cp, 0);
        else
            return true;
    }
}

int choose_part(bool rural) {
    std::vector<const char*> help{rural ? "Copia todos itens da declaração inclusive o Rural exceto o cadastro"
                                        : "Copia todos itens da declaração exceto o cadastro",
                                  "Copia só a declaração de bens (ideal p/ a divisão de espólios)",
                                  "Copia o Livro caixa ou os Rendimentos recebido de P. Física",
                                  "Copia apenas os rendimentos Recebido de P. Jurídica.",
                                  "Copia apenas os pagamentos e doações efetuados.", "Copia ganho de capital."};
    if (rural) {
        for (const char* h : {"Copia a toda atividade Rural.", "Copia a declaração de Bens e Dívidas Rural",
                              "Copia o Livro Caixa Rural", "Copia os imóveis rurais"})
            help.push_back(h);
    }
    rt::Value texts = rt::Value::array();
    for (const char* h : help) texts.as_array()->push_back(rt::Value(rt::utf8_to_cp850(h)));
    common::paint_dialog_frame(2, rural ? 2 : 1);
    common::Global("OPCOES").set(rt::Value(rural ? "TDLRPGABCI" : "TDLRPG"));
    common::Global("MENSMENU").set(texts);
    const int choice = common::ESC_OPCAO(4, rural ? 10 : 6, 1, 22, 1, 1, 1);
    return choice;
}

}  // namespace

void TRANF_PARTE() {
    const std::string folder = tables::client_folder();
    common::paint_dialog_frame(2);
    LookupKeys keys;
    tables::MUDADIR(folder);
    if (!ask_cpfs(folder)) return SAI_FORA();
    PartCopy c{folder, common::Global("CPF").text(), common::Global("CPFDEST").text()};
    const int choice = choose_part(register_of(folder, c.original).rural);
    if (choice == 0) return SAI_FORA();
    c.part = static_cast<Part>(choice);
    // Esc leaves the destination as it is: neither added to nor replaced.
    const int answer = static_cast<int>(common::AVISOSN(std::vector<std::string>{" Encontrando Dados na declaração? "_cp,
                                                                " Sim - Acrecente os novos dados   ",
                                                                " Não - Retire os dados anteriores "_cp},
                                       1)
                                            .as_number());
    if (answer == 0) return SAI_FORA();
    c.add = answer == 1;
    common::Global("SOBREPOE").set(rt::Value(c.add ? "S" : "N"));
    common::MENS(13, "Copiando !!!");
    std::string message;
    switch (copy_part(c, &message)) {
        case PartCopyResult::Done: break;
        case PartCopyResult::InUse:
            common::AVISOSN(std::vector<std::string>{message, "Nada foi copiado."}, 0);
            break;
        default: common::AVISOSN(message, 0); break;
    }
    tables::MUDADIR(folder);
    SAI_FORA();
}

}  // namespace qv::office
