// The "Env Receita" bar: when and which declarations go to the tax
// program, and sending them.
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/report_box.hpp"
#include "common/windows.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/ui/read.hpp"
#include "runtime/core/functions.hpp"
#include "shell/menu_features.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell {

using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
const common::Global kOpttran("OPTTRAN");
const common::Global kSoeste("SOESTE");
const common::Global kLocirpf("LOCIRPF");

void automatic_on_save() {
    const rt::Value answer = common::AVISOSN(
        std::vector<std::string>{"Deseja que a partir de agora todas as declarações sejam transferidas"_cp,
                                 " para o programa da receita ao salvar a declaração?"_cp},
        2);
    kOpttran.set(rt::Value(answer.as_string() == "S" ? 1 : 0));
}

void only_with_status(rt::MenuItem& item) {
    if (!kSoeste.exists()) kSoeste.set(rt::Value(0));
    // The field is asked over what the screen shows there, put back after.
    constexpr int kRow = 3, kFirst = 58, kLast = 79;
    const std::string under = rt::SAVESCREEN(kRow, kFirst, kRow, kLast);
    rt::at_say(3, 58, "Estatus:");
    rt::at_get(3, 67, "M->SOESTE", "@EZ 99");
    rt::READ();
    const std::string code = rt::STRZERO(kSoeste.number(0), 2);
    const rt::Value description = tables::VE_STAT(rt::Value(kSoeste.number(0)), 3);
    const rt::Value answer = common::AVISOSN(
        std::vector<std::string>{"  A partir de agora somente as declarações com o "_cp,
                                 "Estatus " + code + " " + description.as_string() + " serão transferidas para"_cp,
                                 " o programa da receita ao sair da declaração?"_cp},
        2);
    rt::RESTSCREEN(kRow, kFirst, kRow, kLast, under);
    item.caption = "apenas as com &Estatus " + code;
    kOpttran.set(rt::Value(answer.as_string() == "S" ? 2 : 0));
}

bool tax_program_folder_known() {
    if (!rt::ALLTRIM(kLocirpf.text()).empty()) return true;
    common::AVISOSN("Preencha abaixo em Pasta do IRPF a pasta do programa da receita");
    return false;
}

void send_one() {
    if (!tax_program_folder_known()) return;
    common::AVISOSN(std::vector<std::string>{"Evite o envio da declaração com o IRPF da Receita aberto."_cp,
                                             "O programa aceita, mas pode causar problemas"});
    // The automatic transfer is switched off only when the sending ran.
    rt::call_routine("DECLARA");
    kOpttran.set(rt::Value(3));
}

// A pending Esc during the walk asks whether to stop.
bool user_stops() {
    if (rt::NEXTKEY() != rt::key::ESC) return false;
    rt::INKEY();
    return common::AVISOSN("Abandona a transferência dos dados? "_cp, 2).as_string() == "S";
}

// Each taxpayer's screen goes to the terminal once, when the taxpayer is
// done: drawing every step of a load and a transfer through the terminal
// cost more than the load and the transfer. What waits for the clerk (a
// question, a table held elsewhere) is drawn as it comes.
class GroupedOutput {
public:
    GroupedOutput() { rt::DISPBEGIN(); }
    ~GroupedOutput() { rt::DISPEND(); }
    GroupedOutput(const GroupedOutput&) = delete;
    GroupedOutput& operator=(const GroupedOutput&) = delete;
};

// While the walk runs, a table another terminal holds is waited for with
// its message on the status line and tried again every half second (its
// notice would otherwise be kept for the end and the load retried at once).
class WaitingForTables {
public:
    WaitingForTables() {
        declaration::set_exclusive_wait([](std::string_view message) {
            common::MENS(0, std::string(message));
            rt::INKEY(0.5);
        });
    }
    ~WaitingForTables() { declaration::set_exclusive_wait({}); }
    WaitingForTables(const WaitingForTables&) = delete;
    WaitingForTables& operator=(const WaitingForTables&) = delete;
};

// The walk over the register from its top: each taxpayer (the marked ones
// only, or all) loaded and sent. False when the register could not be
// found again after a declaration.
bool walk_register(bool only_marked, common::NoticesKept& kept) {
    const WaitingForTables waiting;
    auto& ws = tables::ws();
    rt::table::Table* reg = ws.table(kRegisterArea);
    if (!reg) return false;
    reg->go_top();
    while (!reg->eof()) {
        if (user_stops()) break;
        if (only_marked && reg->get("IMPRE").as_string() != "S") {
            reg->skip(1);
            continue;
        }
        const GroupedOutput grouped;
        rt::call_routine("MTELA3", {rt::Value(3)});
        rt::variables().set("CPF", reg->get("CPF"));
        rt::variables().set("NOMECONTR", reg->get("NOMECONTR"));
        kept.about(rt::TRANSFORM(reg->get("CPF"), "@r 999.999.999-99") + " " +
                   rt::ALLTRIM(reg->get("NOMECONTR").as_string()));
        const auto here = reg->recno();
        rt::call_routine("DECLARA");
        // The load leaves the register open; it is opened again only when
        // something closed it.
        if (ws.table(kRegisterArea)) common::FECHAJAN(10);
        else reopen_register();
        ws.select(kRegisterArea);
        reg = ws.table(kRegisterArea);
        if (!reg) return false;
        reg->go_to(here);
        reg->skip(1);
    }
    reg->go_top();
    return true;
}

void send_many(bool only_marked) {
    if (!tax_program_folder_known()) return;
    auto& ws = tables::ws();
    if (!ws.table(kRegisterArea) && !tables::ABERTURA(kRegisterArea)) return;
    // Each declaration of the walk refills the work copies the one before
    // left open; they are closed once the walk ends, however it ends.
    struct CloseWorkCopies {
        ~CloseWorkCopies() { tables::FECHA_PROV(); }
    } close_work_copies;
    if (only_marked) rt::call_routine("EDITA", {rt::Value(51)});
    ws.select(kRegisterArea);
    if (!ws.table(kRegisterArea)) return;
    common::AVISOSN(std::vector<std::string>{"Evite enviar declarações com o IRPF da Receita aberto"_cp,
                                             "O programa aceita, mas podem causar problemas"});
    // The notices of each declaration (rows sent as they were, declarations
    // not sent and why) wait for the walk's end, under the taxpayer's CPF
    // and name: the walk stops for nothing the clerk only has to read.
    std::vector<std::string> notices;
    bool walked = false;
    {
        common::NoticesKept kept(notices);
        walked = walk_register(only_marked, kept);
    }
    common::show_report("Avisos do envio das declarações:"_cp, notices);
    // The last declaration's "transferida" goes with the walk.
    common::MENS();
    if (!walked) return;
    common::FECHAJAN(3);
    common::Global("TAM_OLD").set(rt::Value(0));
}

void status_after_sending() {
    // Kept as answered: 1 yes, 2 no (the record's default), 0 Esc.
    const int answer = static_cast<int>(
        common::AVISOSN("Após o envio deseja que o Estatus passe para transmitidas?"_cp, 1).as_number());
    common::Global("ENV_STAT").set(rt::Value(answer));
    if (answer != 1) return;
    const common::Global opc_tran("OPC_TRAN");
    if (!opc_tran.exists()) opc_tran.set(rt::Value(0));
    common::MensArgs args;
    args.name = "M->OPC_TRAN";
    args.picture = "@z 99";
    args.valid = "VE_STAT(M->OPC_TRAN,5)";
    const rt::Value before = opc_tran.value();
    common::MENS(14, "Informe o código do Estatus de declaração transferida! "_cp, args);
    // Leaving the field with Esc keeps the status chosen before.
    if (rt::LASTKEY() == rt::key::ESC) opc_tran.set(before);
}

void tax_program_folder() {
    common::MENS(0, "Pasta vazia não transfere p/a Receita. ALT P preenche com o Padrão"_cp);
    rt::call_routine("SELAREA", {rt::Value(2)});
    kLocirpf.set(rt::Value(common::BAR_DIR(rt::TRIM(common::Global("ROTAJAVA").text()))));
}

}  // namespace

void transfer_option(rt::MenuItem& item) {
    switch (item.id) {
        case 61: automatic_on_save(); break;
        case 62: only_with_status(item); break;
        case 63: send_one(); break;
        case 64: send_many(true); break;
        case 65: send_many(false); break;
        case 66: status_after_sending(); break;
        case 67: tax_program_folder(); break;
        case 68:
            tables::ws().select(kRegisterArea);
            rt::call_routine("RECUP_INDICE");
            break;
        default: break;
    }
}

}  // namespace qv::shell
