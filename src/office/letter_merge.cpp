#include "office/letter_merge.hpp"

#include <cmath>
#include <functional>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "office/letter_document.hpp"
#include "printing/charges_report.hpp"
#include "printing/page_layout.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/memoedit_layout.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
constexpr std::string_view kCpf = "@r 999.999.999-99";
constexpr std::string_view kPhone = "@r xx99-9999";
constexpr std::string_view kMoney = "@Ez 99,999,999.99";
constexpr std::string_view kReceipt = "@r 999999999999";

using Reg = rt::table::Table;
using Value = std::function<std::string(Reg&)>;

struct MergeField {
    const char* name;   // between « and »
    Value value;
};

std::string raw(Reg& r, const char* f) {
    const rt::Value v = r.get(f);
    if (v.is_string()) return v.as_string();
    if (v.is_date()) return rt::DTOC(v.as_date());
    if (v.is_number()) return rt::STR(v.as_number());
    return {};
}
Value as_is(const char* f) {
    return [f](Reg& r) { return raw(r, f); };
}
Value trimmed(const char* f) {
    return [f](Reg& r) { return rt::TRIM(raw(r, f)); };
}
Value pictured(const char* f, std::string_view picture) {
    return [f, picture](Reg& r) { return rt::TRANSFORM(r.get(f), picture); };
}
Value phone(const char* area, const char* number) {
    return [area, number](Reg& r) {
        return rt::TRANSFORM(rt::Value(rt::TRIM(raw(r, area)) + raw(r, number)), kPhone);
    };
}

printing::WorkCharge charge(Reg& r) {
    return printing::work_charge(r.get("TEM_USO").as_number(), r.get("TAM_USO").as_number(),
                                 {Global{"VAL_BYTE"}.number(), Global{"VAL_SEG"}.number(), Global{"VAL_MIN"}.number()});
}
std::string money(double v) { return rt::TRANSFORM(rt::Value(v), kMoney); }

std::string tax_result(Reg& r) {
    const double v = r.get("IMPPGRE").as_number();
    constexpr std::string_view pic = "@Ez 999,999,999.99";
    if (v > 0) return "Imposto " + rt::TRANSFORM(rt::Value(v), pic);
    if (v < 0) return "Devolucao " + rt::TRANSFORM(rt::Value(std::fabs(v)), pic);
    return "Isento ";
}

const std::vector<MergeField>& merge_fields() {
    static const std::vector<MergeField> fields{
        {"CPF", pictured("CPF", kCpf)},
        {"Nome", trimmed("NOMECONTR")},
        {"TipoEnd", trimmed("TIPOEND")},
        {"Logradouro", trimmed("ENDERECO")},
        {"Numero", trimmed("NUMERO")},
        {"Complemento", trimmed("COMPLEM")},
        {"Bairro", trimmed("BAIRRO")},
        {"CEP", pictured("CEP", "@r 99999-999")},
        {"Municipio", trimmed("MUNICIPIO")},
        {"Estado", as_is("UF")},
        {"MudouEnd", as_is("NOVOEND")},
        {"Email", trimmed("EMAIL")},
        {"Telefone", phone("DDDTEL", "TELEFO")},
        {"FAX", phone("DDDFAX", "NROFAX")},
        {"Celular", pictured("TELCELU", kPhone)},
        {"TelSecr", pictured("TELSECR", kPhone)},
        {"Titulo", pictured("TITULO", "@r 99999999999-99")},
        {"Nascimento", as_is("NASCIMENTO")},
        {"Tempo", [](Reg& r) { return printing::hours_minutes(r.get("TEM_USO").as_number()); }},
        {"Area", pictured("TAM_USO", "@Ez 999,999")},
        {"ValorTempo", [](Reg& r) { return money(charge(r).time); }},
        {"ValorArea", [](Reg& r) { return money(charge(r).size); }},
        {"CustoDecl", [](Reg& r) { return money(charge(r).computed); }},
        {"ValorCobrar", pictured("VALOREC", kMoney)},
        {"Imposto", tax_result},
        {"NroQuotas", pictured("QTD_QUOTA", "@EZ 9")},
        {"NroRecibo", pictured("RECIBOATU", kReceipt)},
        {"ReciboAnt", pictured("RECIBOANT", kReceipt)},
        {"CpfConjuge", pictured("CPFCONJU", kCpf)},
        {"Estatus", pictured("ESTATUS", "@Z 99")},
        {"Banco", as_is("BANCO")},
        {"Agen/Conta",
         [](Reg& r) {
             return "Ag. " + rt::TRANSFORM(r.get("AGENCIA"), "@r !!!!!-!") + " CC " + rt::TRIM(raw(r, "CONTACO"));
         }},
        {"Senha", as_is("SENACESSO")},
        {"Codigo", as_is("CODACESSO")},
        {"Operador", trimmed("NOMEAG")},
    };
    return fields;
}

std::string placeholder(std::string_view name) { return "\xAE" + std::string(name) + "\xAF"; }

Reg* register_table() {
    if (!tables::ws().table(kRegisterArea)) tables::ABERTURA(kRegisterArea);
    return tables::ws().table(kRegisterArea);
}

bool printing_mail_body() {
    const std::string& target = rt::os::printer().target();
    return rt::os::printer().is_open() && rt::UPPER(common::TIRA_DIR(target)) == "CCORPO";
}

}  // namespace

const std::vector<std::string>& merge_placeholders() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const auto& f : merge_fields()) out.push_back(placeholder(f.name));
        return out;
    }();
    return names;
}

std::string merge_letter(std::string_view text, Reg& reg) {
    std::string out(text);
    for (const auto& f : merge_fields()) {
        const std::string p = placeholder(f.name);
        if (out.find(p) != std::string::npos) out = rt::STRTRAN(out, p, f.value(reg));
    }
    return out;
}

void IMPR_MAIL(std::string_view letter) {
    Reg* reg = register_table();
    IMPR_EDT(reg ? merge_letter(letter, *reg) : std::string(letter));
}

void IMPR_EDT(std::string_view letter) {
    if (letter.empty()) return;
    const LetterParts parts = MEMORDOC(letter);
    const LetterFormat& f = parts.format;
    // A page holds lines - top - bottom printed lines, from the top margin.
    const int page_end = std::max(f.lines - f.bottom, f.top + 1);
    const std::string text = rt::memo_from_stored(parts.text);
    printing::skip_lines(f.top);
    for (const auto& l : rt::wrap_memo(text, f.width)) {
        printing::line(f.left, rt::TRIM(text.substr(l.start, l.len)));
        if (printing::QLIN() >= page_end) {
            printing::new_page();
            printing::skip_lines(f.top);
        }
    }
    if (printing_mail_body()) Global{"CCORPO"}.set(rt::Value(Global{"CCORPO"}.text() + parts.text));
}

}  // namespace qv::office
