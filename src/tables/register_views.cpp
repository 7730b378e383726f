#include "tables/register_views.hpp"

#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::tables {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

constexpr int kRegisterArea = 9;
constexpr int kFindingsTable = 11;
constexpr int kFindingsArea = 31;   // the area the findings grid shows
constexpr int kDetailWindow = 4;

tb::Table* register_row() {
    tb::Table* t = ws().table(kRegisterArea);
    return t && !t->eof() ? t : nullptr;
}

std::string shown(tb::Table& t, const char* field, std::string_view picture = {}) {
    const Value v = t.get(field);
    return picture.empty() ? rt::TRIM(v.is_string() ? v.as_string() : rt::TRANSFORM(v, "")) : rt::TRANSFORM(v, picture);
}

std::string age_of(tb::Table& t) {
    const Value birth = t.get("NASCIMENTO");
    if (!rt::has_function("DIZANOS")) return {};
    const Value age = rt::call_function("DIZANOS", std::span<const Value>(&birth, 1));
    return age.is_number() ? rt::LTRIM(rt::STR(age.as_number(), 3)) + " anos" : std::string();
}

// The register data as label and value lines.
std::vector<std::string> detail_lines(tb::Table& t) {
    const auto line = [](std::string_view label, const std::string& value) { return std::string(label) + value; };
    return {
        line("CPF ........: ", shown(t, "CPF", "@R 999.999.999-99")) + "  Senha: " + shown(t, "SENACESSO") +
            "  C\xA2" "digo: " + shown(t, "CODACESSO", "@Z 999999999999"),
        line("Nome .......: ", shown(t, "NOMECONTR")),
        line("Nascimento .: ", shown(t, "NASCIMENTO", "@d")) + "  " + age_of(t) + "  Rural: " + shown(t, "TEMRURAL"),
        line("T\xA1tulo .....: ", shown(t, "TITULO", "@r 99999999999-99")),
        line("CPF C\x93njuge : ", shown(t, "CPFCONJU", "@R 999.999.999-99")) + "  Conjunta: " +
            shown(t, "CONJUNTA") + "  Retifica: " + shown(t, "RETIFICA"),
        line("Recibos ....: ", shown(t, "NRORECIBO", "@r 999999999999")) + " " +
            shown(t, "RECIBOATU", "@r 999999999999") + " " + shown(t, "RECIBOANT", "@r 999999999999"),
        line("Banco ......: ", shown(t, "BANCO", "@r ###")) + "  Ag\x88ncia: " + shown(t, "AGENCIA", "@r !!!!!-!") +
            "  Conta: " + shown(t, "CONTACO", "@r !!!!!!!!!!!!!-!!"),
        line("Endere\x87o ...: ", shown(t, "TIPOEND") + " " + shown(t, "ENDERECO") + " " + shown(t, "NUMERO") + " " +
                                       shown(t, "COMPLEM")),
        line("Bairro .....: ", shown(t, "BAIRRO")) + "  CEP: " + shown(t, "CEP", "@r 99999-999"),
        line("Munic\xA1pio ..: ", shown(t, "MUNICIPIO")) + "  UF: " + shown(t, "UF") + "  Pa\xA1s: " +
            shown(t, "CODPAIS") + "  Emb.: " + shown(t, "CODEMB"),
        line("Telefone ...: ", shown(t, "DDDTEL", "@R #999")) + " " + shown(t, "TELEFO", "@R ##99-9999") +
            "  Fax: " + shown(t, "DDDFAX", "@R #999") + " " + shown(t, "NROFAX", "@R ##99-9999"),
        line("E-mail .....: ", shown(t, "EMAIL")),
    };
}

}  // namespace

void MOSTR_PAG(int mode) {
    const common::Global cpf{"CPF"}, name{"NOMECONTR"};
    if (mode == 1 && !common::Global{"LRECUPERA"}.value().as_bool())
        if (tb::Table* t = register_row()) {
            cpf.set(t->get("CPF"));
            name.set(t->get("NOMECONTR"));
        }
    if (tb::Table* t = register_row(); t && mode == 2 && rt::TRIM(t->get("CPF").as_string()) == rt::TRIM(cpf.text()))
        name.set(t->get("NOMECONTR"));
    common::ESCRLCOL(3, 2, 3, rt::TRANSFORM(cpf.value(), "@R 999.999.999-99"));
    common::ESCRLCOL(3, 2, 19, rt::PADR(rt::TRIM(name.text()), 53));
    common::ESCRLCOL(3, 4, 19, rt::PADR(client_folder(), 53));
}

void MOS_DETAL() {
    tb::Table* t = register_row();
    if (!t) return;
    const std::vector<std::string> lines = detail_lines(*t);
    common::DEFINEJAN(kDetailWindow, common::Global{"COR_TEL1"}.integer(30), common::Global{"COR_TEL2"}.integer(31),
                      common::Global{"COR_ENCHE"}.integer(31), 4, 2, 5 + static_cast<int>(lines.size()) + 1, 77, 1);
    common::ABREJAN(kDetailWindow);
    for (std::size_t i = 0; i < lines.size(); ++i)
        common::ESCRLCOL(kDetailWindow, static_cast<int>(i), 1, rt::LEFT(lines[i], 73));
    rt::INKEY(-1);
    common::FECHAJAN(kDetailWindow);
}

void MOS_PEND() {
    tb::Table* reg = register_row();
    if (!reg || ws().table(kFindingsArea)) return;
    const std::string cpf = rt::TRIM(reg->get("CPF").as_string());
    const std::string copy = in_folder(client_folder(), "TMP_11" + terminal());
    const bool was_open = ws().table(kFindingsTable) != nullptr;
    if (!was_open && !ABERTURA(kFindingsTable)) {
        common::MENS(1, "Terminal com esse nro aberto em outro local");
        ws().select(kRegisterArea);
        return;
    }
    tb::Table& findings = *ws().table(kFindingsTable);
    tb::TransferOptions only_taxpayer;
    only_taxpayer.for_cond = [&findings, &cpf] {
        return !findings.deleted() && rt::TRIM(findings.get("CPF").as_string()) == cpf;
    };
    findings.go_top();
    tb::copy_to(ws(), findings, os_name(copy + ".dbf"), only_taxpayer);
    if (!was_open) ws().close(kFindingsTable);
    tb::OpenOptions own;
    own.exclusive = true;
    tb::Table& shown_copy = ws().use_in(kFindingsArea, os_name(copy + ".dbf"), own);
    shown_copy.index_on("CODERR", "CODERR");
    shown_copy.go_top();
    ws().select(kFindingsArea);
    const Value args[] = {Value(11), Value(1)};
    if (rt::has_function("EDITA")) rt::call_function("EDITA", std::span<const Value>(args, 2));
    common::FECHAJAN(6);
    ws().close(kFindingsArea);
    std::error_code ec;
    for (const char* ext : {".dbf", ".cdx"}) std::filesystem::remove(os_name(copy + ext), ec);
    ws().select(kRegisterArea);
}

void register_register_view_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const Value>;
        rt::register_function("MOSTR_PAG", [](Args a) {
            MOSTR_PAG(a.empty() ? 1 : static_cast<int>(common::number_of(a[0])));
            return Value();
        });
        rt::register_function("MOS_DETAL", [](Args) {
            MOS_DETAL();
            return Value();
        });
        rt::register_function("MOS_PEND", [](Args) {
            MOS_PEND();
            return Value();
        });
    });
}

}  // namespace qv::tables
