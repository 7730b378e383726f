#include "office/billing.hpp"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <span>
#include <vector>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "tables/folder_search.hpp"
#include "office/office_menu.hpp"
#include "office/remittance.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::office {

using common::Global;
using rt::operator""_cp;
namespace fs = std::filesystem;

namespace {

constexpr int kSettingsArea = 43, kSlipsArea = 67;
// The issuer and slip forms of the dialog painter.
constexpr int kIssuerForm = 4, kSlipForm = 5;

std::string text_of(rt::table::Table& t, const char* field) {
    const rt::Value v = t.get(field);
    return v.is_string() ? v.as_string() : std::string();
}

void tell(const std::string& text) { common::AVISOSN(text, 0); }

const std::vector<std::string>& nowhere() {
    static const std::vector<std::string> lines{"O contribuinte não foi localizado em nenhum dos diretórios "_cp,
                                                "indicado. Confira o código ou os diretórios digitados      "_cp};
    return lines;
}

Payer payer_of(rt::table::Table& reg) {
    return {text_of(reg, "TIPOEND"), text_of(reg, "ENDERECO"), text_of(reg, "NUMERO"), text_of(reg, "BAIRRO"),
            text_of(reg, "CEP"),     text_of(reg, "MUNICIPIO"), text_of(reg, "UF")};
}

std::optional<Issuer> issuer() {
    if (!tables::ABERTURA(kSettingsArea)) return std::nullopt;
    rt::table::Table& s = *tables::ws().table(kSettingsArea);
    s.go_top();
    if (s.eof()) return std::nullopt;
    return Issuer{text_of(s, "BOL_AGENCI"), text_of(s, "BOL_CONTA"), text_of(s, "BOL_NOME"),
                  text_of(s, "BOL_CNPJ"),   text_of(s, "BOL_CPF"),   text_of(s, "BOL_CARTEI")};
}

// "C" + YYMMDD + the first free letter; empty after "Z".
std::string remittance_name(rt::Date today) {
    const std::string stem = tables::program_folder() + "C" + rt::SUBSTR(rt::DTOS(today), 3, 6);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string name = stem + letter + ".txt";
        std::error_code ec;
        if (!fs::exists(common::fs_path(name), ec)) return name;
    }
    return {};
}

// Written beside its final name and renamed, so that a failure leaves no
// half file behind.
bool write_whole(const std::string& name, const std::string& text) {
    const fs::path target = common::fs_path(name), aside = target.string() + ".tmp";
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(aside, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(aside, target, ec);
    if (ec) fs::remove(aside, ec);
    return !ec;
}

bool write_setting(const char* field, const rt::Value& v) {
    if (!tables::ABERTURA(kSettingsArea)) return false;
    rt::table::Table& s = *tables::ws().table(kSettingsArea);
    s.go_top();
    if (s.eof() || !tables::REC_LOCK()) return false;
    s.put(field, v);
    s.commit();
    s.unlock();
    return true;
}

void set(const char* name, rt::Value v) { Global{name}.set(std::move(v)); }

// The payer found for the CPF, beside it on the form.
void show_payer() { rt::at_say(10, 47, rt::PADR(Global{"NOMESAC"}.text(), 30)); }

// The slip form; the answer to "Confirma os dados ?" ("S", "N" or "F").
std::string slip_form() {
    declaration::MTELA3(kSlipForm);
    show_payer();
    rt::GetList gets;
    gets.emplace_back(10, 32, "M->CPFSAC", "@R 999.999.999-99").valid([] {
        if (!LOCALI_CPF(rt::ALLTRIM(Global{"CPFSAC"}.text()), 1)) return false;
        show_payer();
        return true;
    });
    gets.emplace_back(11, 32, "M->DATADOC", "@ D");
    gets.emplace_back(12, 32, "M->VALORDOC", "@EZ 999,999.99");
    gets.emplace_back(13, 32, "M->NRODOCUM", "@ 99999");
    gets.emplace_back(14, 32, "M->NOSSONRO", "@ 99999999");
    if (!rt::READ(gets) && rt::LASTKEY() == rt::key::ESC) return "F";
    return common::AVISOSN("Confirma os dados ?", 4).as_string();
}

// The first missing datum of the slip, or nothing.
std::optional<std::string> slip_fault() {
    const rt::Value due = Global{"DATADOC"}.value();
    if (rt::ALLTRIM(Global{"CPFSAC"}.text()).empty()) return "Preencha o CPF do Sacado";
    if (Global{"VALORDOC"}.number() == 0) return "Preencha o Valor do boleto";
    if (!due.is_date() || due.as_date().empty() || due.as_date() < rt::DATE()) return "Data em branco ou inválida "_cp;
    if (Global{"NRODOCUM"}.number() == 0) return "Preencha o nro interno do documento";
    if (Global{"NOSSONRO"}.number() == 0) return "Preencha o nro de referência do Banco"_cp;
    return std::nullopt;
}

bool append_slip() {
    tables::ws().select(kSlipsArea);
    if (!tables::ADD_REC()) return false;
    rt::table::Table& t = *tables::ws().table(kSlipsArea);
    for (const char* f : {"NRODOCUM", "NOSSONRO", "DATADOC", "VALORDOC", "NOMESAC", "CPFSAC"}) t.put(f, Global{f}.value());
    t.commit();
    t.unlock();
    return true;
}

bool has_slips() {
    rt::table::Table* t = tables::ws().table(kSlipsArea);
    if (!t) return false;
    for (t->go_top(); !t->eof(); t->skip())
        if (!t->deleted()) return true;
    return false;
}

void blank_slip() {
    set("VALORDOC", rt::Value(0.0));
    set("CPFSAC", rt::Value(std::string(11, ' ')));
    set("NOMESAC", rt::Value(std::string(30, ' ')));
}

}  // namespace

bool LOCALI_CPF(const std::string& cpf, int mode) {
    if (!common::VAL_CPF(cpf, true)) return false;
    const bool found = tables::with_taxpayer(cpf, [&](rt::table::Table& reg) {
        if (mode == 1) {
            set("CPFSAC", rt::Value(cpf));
            set("NOMESAC", rt::Value(rt::SUBSTR(text_of(reg, "NOMECONTR"), 1, 30)));
            common::MENS(0, Global{"NOMESAC"}.text());
        } else {
            set("CPFEMAIL", rt::Value(cpf));
            set("CEMAIL_ENV", rt::Value(rt::PADR(rt::ALLTRIM(text_of(reg, "EMAIL")), 41)));
            common::MENS(0, Global{"CEMAIL_ENV"}.text());
        }
    });
    if (!found) common::AVISOSN(nowhere(), 0);
    return found;
}

bool BUSCACPF(const std::string& cpf) {
    const bool found = tables::with_taxpayer(cpf, [](rt::table::Table&) {});
    if (!found) common::AVISOSN(nowhere(), 0);
    return found;
}

bool GERA_BOLETO() {
    // Exclusive use from the start: no slip can be added between writing the
    // file and emptying the table, and none is sent twice.
    if (!tables::ABERTURA(kSlipsArea, true)) {
        tell("O arquivo de boletos está em uso em outro terminal. Tente mais tarde."_cp);
        return false;
    }
    rt::table::Table* slips_table = tables::ws().table(kSlipsArea);
    std::vector<Slip> slips;
    for (slips_table->go_top(); !slips_table->eof(); slips_table->skip()) {
        if (slips_table->deleted()) continue;
        Slip s;
        s.document = static_cast<long>(slips_table->get("NRODOCUM").as_number());
        s.reference = static_cast<long>(slips_table->get("NOSSONRO").as_number());
        const rt::Value due = slips_table->get("DATADOC");
        s.due = due.is_date() ? due.as_date() : rt::Date{};
        s.amount = slips_table->get("VALORDOC").as_number();
        s.name = text_of(*slips_table, "NOMESAC");
        s.cpf = text_of(*slips_table, "CPFSAC");
        slips.push_back(s);
    }
    if (slips.empty()) {
        tables::ABERTURA(kSlipsArea);
        tell("=Não existe boleto cadastrado para ser gerado o arquivo."_cp);
        return false;
    }
    // A payer found nowhere keeps blank address columns.
    for (Slip& s : slips) tables::with_taxpayer(rt::ALLTRIM(s.cpf), [&](rt::table::Table& reg) { s.payer = payer_of(reg); });
    for (const Slip& s : slips)
        if (s.payer.street.empty() && s.payer.cep.empty()) common::AVISOSN(nowhere(), 0);
    const auto from = issuer();
    const rt::Date today = rt::DATE();
    const std::string name = remittance_name(today);
    bool written = false;
    if (name.empty()) {
        tell("Já existem 26 arquivos de boletos gerados hoje."_cp);
    } else if (!write_whole(name, remittance_file(from.value_or(Issuer{}), slips, today))) {
        tell("Não foi possível criar o arquivo "_cp + name);
    } else {
        tell("Arquivo " + name + " gerado com sucesso.");
        written = true;
    }
    if (written) {
        rt::table::Table* t = tables::ws().table(kSlipsArea);
        if (t) t->zap();
    }
    tables::ABERTURA(kSlipsArea);
    return written;
}

void CONF_BOLETO() {
    const auto from = issuer();
    if (!from) return;
    const std::pair<const char*, std::string> fields[] = {{"BOL_AGENCI", from->agency}, {"BOL_CONTA", from->account},
                                                          {"BOL_NOME", from->name},     {"BOL_CNPJ", from->cnpj},
                                                          {"BOL_CPF", from->cpf},       {"BOL_CARTEI", from->wallet}};
    for (const auto& [name, value] : fields) set(name, rt::Value(value));
    for (;;) {
        declaration::MTELA3(kIssuerForm);
        rt::at_say(8, 32, "341");
        rt::GetList gets;
        gets.emplace_back(9, 32, "M->BOL_AGENCI", "@ 9999");
        gets.emplace_back(10, 32, "M->BOL_CONTA", "@R 99999-9");
        gets.emplace_back(11, 32, "M->BOL_NOME");
        gets.emplace_back(12, 32, "M->BOL_CNPJ", "@r 99.999.999/9999-99");
        gets.emplace_back(13, 32, "M->BOL_CPF", "@r 999.999.999-99").when([] {
            return rt::ALLTRIM(Global{"BOL_CNPJ"}.text()).empty();
        });
        gets.emplace_back(14, 32, "M->BOL_CARTEI", "@R 999");
        if (!rt::READ(gets) && rt::LASTKEY() == rt::key::ESC) break;
        if (common::AVISOSN("Confirma os dados ?", 2).as_string() != "S") continue;
        if (tables::ABERTURA(kSettingsArea) && tables::REC_LOCK()) {
            rt::table::Table& s = *tables::ws().table(kSettingsArea);
            for (const auto& [name, value] : fields) s.put(name, Global{name}.value());
            s.commit();
            s.unlock();
        }
        break;
    }
    declaration::close_dialog("MTELA3", kIssuerForm);
}

void UNICO_BOL() {
    // F1: the taxpayers of the register to choose the payer from.
    const rt::KeyHandler f1 = rt::SETKEY(rt::key::F1, [] {
        rt::call_routine("GERAL");
    });
    for (;;) {
        const std::string answer = slip_form();
        if (answer == "F") break;
        if (answer != "S") continue;
        if (const auto fault = slip_fault()) {
            tell(*fault);
            continue;
        }
        append_slip();
        if (common::AVISOSN("Outro boleto ? ", 2).as_string() != "S") break;
        set("NRODOCUM", rt::Value(Global{"NRODOCUM"}.number() + 1));
        set("NOSSONRO", rt::Value(Global{"NOSSONRO"}.number() + 1));
        blank_slip();
    }
    rt::SETKEY(rt::key::F1, f1);
    declaration::close_dialog("MTELA3", kSlipForm);
}

void FAZ_BOLETO() {
    if (!tables::ABERTURA(kSlipsArea)) return;
    set("NRODOCUM", rt::Value(0));
    set("NOSSONRO", rt::Value(Global{"BOL_NOSNRO"}.number()));
    set("DATADOC", rt::Value(rt::DATE()));
    blank_slip();
    if (has_slips()) {
        // The waiting slips are listed; Ins in the list adds more.
        common::MENS(0, "Use a tecla Insert para um novo boleto.");
        tables::ws().select(kSlipsArea);
        rt::call_routine("EDITA", {rt::Value(45), rt::Value(0)});
        common::MENS();
    } else {
        UNICO_BOL();
    }
    const rt::Value reference = Global{"NOSSONRO"}.value();
    Global{"BOL_NOSNRO"}.set(reference);
    write_setting("BOL_NOSNRO", reference);
}

void BOLETO() {
    office_menu(5, 5, 28, {"Config. emitente", "Prepara Boletos", "Gera o Arquivo"},
                {"Configura conta/agência e a carteira do Boleto"_cp, "Prepara os boletos para a cobrança"_cp,
                 "Gera o arquivo para os boletos"},
                "CPG", [](int n) {
                    if (n == 1) CONF_BOLETO();
                    else if (n == 2) FAZ_BOLETO();
                    else GERA_BOLETO();
                });
}

void register_billing_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto text = [](Args a, std::size_t i) {
            return i < a.size() && a[i].is_string() ? rt::ALLTRIM(a[i].as_string()) : std::string();
        };
        rt::register_function("BOLETO", [](Args) { BOLETO(); return rt::Value(); });
        rt::register_function("CONF_BOLETO", [](Args) { CONF_BOLETO(); return rt::Value(); });
        rt::register_function("FAZ_BOLETO", [](Args) { FAZ_BOLETO(); return rt::Value(); });
        rt::register_function("UNICO_BOL", [](Args) { UNICO_BOL(); return rt::Value(); });
        rt::register_function("GERA_BOLETO", [](Args) { return rt::Value(GERA_BOLETO()); });
        rt::register_function("LOCALI_CPF", [text](Args a) {
            const int mode = a.size() > 1 && a[1].is_number() ? static_cast<int>(a[1].as_number()) : 1;
            return rt::Value(LOCALI_CPF(text(a, 0), mode));
        });
        rt::register_function("BUSCACPF", [text](Args a) { return rt::Value(BUSCACPF(text(a, 0))); });
    });
}

}  // namespace qv::office
