#include "office/cpf_change.hpp"

#include <vector>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "common/frame_boxes.hpp"
#include "office/folder_tables.hpp"
#include "office/reorganise.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/folders.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::office {

using rt::operator""_cp;
namespace tb = rt::table;

namespace {

constexpr int kBoxWindow = 3;

void close_tables() {
    for (int code = kFirstTable; code <= kLastTable; ++code) tables::ws().close(code);
}

bool register_has(const std::string& folder, const std::string& cpf) {
    if (!open_folder_table(folder, kRegister, kRegister, false)) return false;
    tb::Table& reg = tables::ws().current(kRegister);
    reg.set_order(1);
    const bool found = reg.seek(cpf_key(cpf));
    tables::ws().close(kRegister);
    return found;
}

void rename_rows(tb::Table& t, const rt::Value& old_key, const rt::Value& new_key) {
    t.set_order(1);
    // Each change moves the row in the index: seek again from the top.
    while (t.seek(old_key) && rt::TRIM(t.get("CPF").as_string()) == rt::TRIM(old_key.as_string())) {
        t.put("CPF", new_key);
        t.commit();
    }
}

void call_lookup(const char* name) {
    rt::call_routine(name);
}

}  // namespace

LookupKeys::LookupKeys() {
    common::MENS(0, "[F1] Contribuintes por Nome   [F2] Contribuintes por CPF ");
    rt::SETKEY(rt::key::F1, [] { call_lookup("GERAL"); });
    rt::SETKEY(rt::key::F2, [] { call_lookup("GERAL1"); });
}

LookupKeys::~LookupKeys() {
    rt::SETKEY(rt::key::F1, {});
    rt::SETKEY(rt::key::F2, {});
    common::MENS();
}

CpfChange change_cpf(const std::string& folder, const std::string& old_cpf, const std::string& new_cpf,
                     int* busy_table, std::string* in_use) {
    tables::ws().close(kRegister);
    if (register_has(folder, new_cpf)) return CpfChange::NewExists;
    if (!register_has(folder, old_cpf)) return CpfChange::OldMissing;
    // Neither CPF may be open elsewhere: the old one's save would bring its
    // rows back, a new declaration of the new one would be mixed with them.
    tables::TaxpayerMarks marks;
    for (const std::string* cpf : {&old_cpf, &new_cpf}) {
        const tables::MarkClaim claim = marks.take(folder, *cpf);
        if (claim) continue;
        if (in_use) *in_use = tables::refusal_text(claim, *cpf);
        return CpfChange::InUse;
    }
    for (int code = kFirstTable; code <= kLastTable; ++code) {
        if (open_folder_table(folder, code, code, true)) continue;
        close_tables();
        if (busy_table) *busy_table = code;
        return CpfChange::Busy;
    }
    for (int code = kFirstTable; code <= kLastTable; ++code)
        rename_rows(tables::ws().current(code), cpf_key(old_cpf), cpf_key(new_cpf));
    close_tables();
    return CpfChange::Done;
}

void MUDA_CPF() {
    const std::string folder = tables::client_folder();
    const common::Global old_cpf("CPF"), new_cpf("NOVOCPF");
    common::paint_dialog_frame(3);
    {
        LookupKeys keys;
        tables::MUDADIR(folder);
        while (true) {
            old_cpf.set(rt::Value(rt::SPACE(11)));
            new_cpf.set(rt::Value(rt::SPACE(11)));
            rt::at_get(10, 30, "M->CPF", "@r 999.999.999-99");
            rt::at_get(12, 30, "M->NOVOCPF", "@r 999.999.999-99").valid([new_cpf] {
                return common::VAL_CPF(new_cpf.text(), true);
            });
            if (!rt::READ()) break;
            int busy = 0;
            std::string in_use;
            switch (change_cpf(folder, old_cpf.text(), new_cpf.text(), &busy, &in_use)) {
                case CpfChange::NewExists:
                    common::AVISOSN("CPF novo já existente. Não é possível a troca"_cp, 0);
                    break;
                case CpfChange::OldMissing:
                    common::AVISOSN("CPF original não encontrado. Confira o número digitado"_cp, 0);
                    break;
                case CpfChange::Busy:
                    common::AVISOSN(std::vector<std::string>{"O arquivo " + table_name(busy) +
                                                                 ".DBF está sendo usado em algum terminal."_cp,
                                                             "Nenhum CPF foi trocado."},
                                    0);
                    break;
                case CpfChange::InUse:
                    common::AVISOSN(std::vector<std::string>{in_use, "Nenhum CPF foi trocado."}, 0);
                    break;
                case CpfChange::Done:
                    common::FECHAJAN(10);
                    common::AVISOSN("Pronto. CPF Trocado!", 0);
                    break;
            }
            tables::MUDADIR(folder);
        }
    }
    common::FECHAJAN(kBoxWindow);
    REORG(folder, 3);
    tables::MUDADIR(folder);
    common::MENS();
}

}  // namespace qv::office
