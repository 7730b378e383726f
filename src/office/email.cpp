#include "office/email.hpp"

#include "office/office_menu.hpp"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/letter_names.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "common/system_helpers.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/mail.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/achoice.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/state.hpp"

namespace qv::office {

using common::Global;
using rt::operator""_cp;

namespace {

// The account and draft forms of the dialog painter.
constexpr int kAccountForm = 6, kDraftForm = 7;

constexpr int kChecksArea = 11, kRegisterArea = 9, kSettingsArea = 43;

std::string trimmed(const char* name) { return rt::ALLTRIM(Global{name}.text()); }

void tell(const std::string& text) { common::AVISOSN(text, 0); }
bool yes(const std::string& question) { return common::AVISOSN(question, 2).as_string() == "S"; }

// The check of a yes/no field: "S" or "N", anything else refused with the
// system's own words, as on every other page.
std::function<bool()> yes_or_no(const char* name) {
    return [name] {
        const std::string v = trimmed(name);
        if (v == "S" || v == "N") return true;
        tell("Digite S de sim ou N de nao");
        return false;
    };
}

// Masked entry: the characters typed show as "*".
std::string read_secret(int row, int col, int width) {
    std::string typed;
    rt::SETCURSOR(1);
    for (;;) {
        rt::at_say(row, col, rt::PADR(std::string(typed.size(), '*'), static_cast<std::size_t>(width)));
        rt::DEVPOS(row, col + static_cast<int>(typed.size()));
        const int key = rt::INKEY(-1);
        if (key == rt::key::ENTER || key == rt::key::ESC) break;
        if (key == rt::key::BS) {
            if (!typed.empty()) typed.pop_back();
        } else if (key >= 32 && key < 256 && static_cast<int>(typed.size()) < width) {
            typed += static_cast<char>(key);
        }
    }
    return typed;
}

void ask_password() {
    const std::string saved = rt::SAVESCREEN(20, 10, 22, 50);
    office_box(20, 10, 22, 50);
    rt::at_say(21, 12, "Informe a senha: ");
    Global{"SEN_USUA"}.set(rt::Value(read_secret(21, 29, 19)));
    rt::RESTSCREEN(20, 10, 22, 50, saved);
}

// The taxpayer's pending items of the declaration check; nothing (and the
// message) when the CPF is not in the current folder.
std::optional<std::string> pending_items(const std::string& cpf) {
    if (!tables::ABERTURA(kChecksArea)) return std::nullopt;
    rt::table::Table& checks = *tables::ws().table(kChecksArea);
    if (!checks.seek(rt::Value(cpf))) {
        tell("CPF "_cp + rt::TRANSFORM(rt::Value(cpf), "@R 999.999.999-99") + " não encontrado!;"_cp +
             "Para enviar as pendências ele deve estar na pasta atual"_cp);
        return std::nullopt;
    }
    std::string body;
    for (; !checks.eof() && rt::ALLTRIM(checks.get("CPF").as_string()) == cpf; checks.skip()) {
        const rt::Value code = checks.get("CODERR");
        if (code.is_number() && code.as_number() == 0) body += rt::TRIM(checks.get("OBSERV").as_string()) + "\r\n";
    }
    return body;
}

// The merged letter: the letter chosen is printed into the mail body file
// "cCorpo" of the work folder, and the letter printer hands its text over in
// CCORPO.
std::optional<std::string> merged_letter(const std::string& cpf) {
    if (tables::ABERTURA(kRegisterArea)) tables::ws().table(kRegisterArea)->seek(rt::Value(cpf));
    const rt::Value chosen = rt::call_function("PEGA_CARTA", {});
    if (!chosen.is_logical() || !chosen.as_bool()) return std::nullopt;
    std::ifstream in(common::fs_path(common::letter_path(trimmed("NOMCART"))), std::ios::binary);
    const std::string letter{std::istreambuf_iterator<char>(in), {}};
    const std::string body_file = common::fs_path(Global{"LOCTRAB"}.text() + "cCorpo").string();
    if (!rt::os::printer().open(body_file)) return tell("Erro na gravação"_cp), std::nullopt;
    Global{"CCORPO"}.set(rt::Value(""));
    rt::call_function("IMPR_MAIL", std::vector<rt::Value>{rt::Value(letter)});
    rt::os::printer().close();
    std::error_code ec;
    std::filesystem::remove(body_file, ec);
    return Global{"CCORPO"}.text();
}

void store_settings() {
    if (!tables::ABERTURA(kSettingsArea)) return;
    rt::table::Table& settings = *tables::ws().table(kSettingsArea);
    settings.go_top();
    if (settings.eof() || !tables::REC_LOCK()) return;
    for (const char* f : {"SER_SMTP", "NOM_USUA", "EMA_USUA", "MEMORIZ"}) settings.put(f, Global{f}.value());
    settings.put("SEN_USUA", rt::Value(trimmed("MEMORIZ") == "S" ? Global{"SEN_USUA"}.text() : std::string(19, ' ')));
    settings.commit();
    settings.unlock();
    // A table made by an older version may still be readable by everyone.
    if (trimmed("MEMORIZ") == "S") tables::keep_settings_from_others(kSettingsArea, settings.path());
}

void pad(const char* name, int width) { Global{name}.set(rt::Value(rt::PADR(Global{name}.text(), width))); }

}  // namespace

bool AJUDA_EMAIL(int n) {
    static const char* const hints[] = {
        "Endereço do servidor de saída (SMTP), por exemplo smtp.provedor.com.br:587",
        "Normalmente o nome antes do @ no email",
        "Informe a sua senha para enviar email",
        "Informe o email de quem vai enviar. =Não precisa ser a mesma do usuário",
        "Ao memorizar a senha ela não será pedida a cada email enviado",
        "CPF do contribuinte que será mandado o email. F1 mostra todos.",
        "Email do contribuinte. Pode ser alterado. ",
        "Informe o assunto ou título do Email",
        "Caminho e nome do Arquivo a ser enviado.",
        "Se for enviar as pendências marque com a letra S",
        "Marque com S para enviar um texto editado em cartas"};
    common::MENS();
    if (n >= 1 && n <= 11) common::MENS(0, rt::utf8_to_cp850(hints[n - 1]));
    return true;
}

bool MANDA_EMAIL() {
    if (trimmed("NOM_USUA").empty()) return tell("Falta configurar o nome do usuário do email"_cp), false;
    if (trimmed("SER_SMTP").empty()) return tell("Falta configurar o servidor SMTP do email"), false;
    if (trimmed("CEMAIL_ENV").empty()) return tell("Preencha antes o endereço para enviar"_cp), false;
    if (trimmed("CASSUNTO").empty() && !yes("Vai enviar um texto sem o assunto?")) return false;
    const std::string cpf = trimmed("CPFEMAIL");
    std::string body;
    if (trimmed("CENVPEND") == "S") {
        const auto items = pending_items(cpf);
        if (!items) return false;
        body += *items;
    }
    if (trimmed("CEDITEXT") == "S") {
        const auto letter = merged_letter(cpf);
        if (!letter) return false;
        body += *letter;
    }
    const std::string attachment = trimmed("CANEXO");
    std::error_code ec;
    if (!attachment.empty() && !std::filesystem::is_regular_file(common::fs_path(attachment), ec))
        return tell("Arquivo "_cp + attachment + " não encontrado"_cp), false;
    if (!attachment.empty() && body.empty()) body = "Veja arquivo anexado";
    if (body.empty() && !yes("Email sem texto?")) return false;
    if (Global{"SEN_USUA"}.text().find_first_not_of(' ') == std::string::npos) ask_password();
    rt::os::MailMessage m;
    m.subject = rt::cp850_to_utf8(trimmed("CASSUNTO"));
    m.from = rt::cp850_to_utf8(trimmed("EMA_USUA"));
    m.to = rt::cp850_to_utf8(trimmed("CEMAIL_ENV"));
    m.body = rt::cp850_to_utf8(body);
    if (!attachment.empty()) m.attachment = common::fs_path(attachment).string();
    common::MENS(0, "Aguarde...");
    const rt::os::MailResult r =
        rt::os::send_mail(trimmed("SER_SMTP"), trimmed("NOM_USUA"), trimmed("SEN_USUA"), m);
    common::MENS();
    if (r.no_tls)
        tell("O servidor "_cp + trimmed("SER_SMTP") + " não oferece conexão segura (TLS).;"_cp +
             "Sem ela a senha não vai pela rede: o email não foi enviado."_cp);
    else
        tell(r.sent ? std::string("Email enviado") : "Error: " + rt::utf8_to_cp850(r.error));
    return r.sent;
}

void CONF_EMAIL() {
    for (;;) {
        declaration::MTELA3(kAccountForm);
        pad("SER_SMTP", 47), pad("NOM_USUA", 40), pad("EMA_USUA", 40), pad("MEMORIZ", 1);
        rt::GetList gets;
        gets.emplace_back(8, 32, "M->SER_SMTP", "@S40").when([] { return AJUDA_EMAIL(1); });
        gets.emplace_back(9, 32, "M->NOM_USUA", "@S30").when([] { return AJUDA_EMAIL(2); });
        gets.emplace_back(10, 32, "M->EMA_USUA", "@S35").when([] { return AJUDA_EMAIL(4); });
        gets.emplace_back(11, 32, "M->MEMORIZ", "@!")
            .when([] { return AJUDA_EMAIL(5); })
            .valid(yes_or_no("MEMORIZ"));
        const bool memorised = trimmed("MEMORIZ") == "S";
        if (!rt::READ(gets) && rt::LASTKEY() == rt::key::ESC) break;
        AJUDA_EMAIL(3);
        if (!memorised) Global{"SEN_USUA"}.set(rt::Value(""));
        const std::string typed = read_secret(12, 32, 19);
        if (!typed.empty() || !memorised) Global{"SEN_USUA"}.set(rt::Value(typed));
        if (yes("Confirma os dados ?")) {
            store_settings();
            break;
        }
    }
    common::MENS();
    declaration::close_dialog("MTELA3", kAccountForm);
}

void PREP_EMAIL() {
    for (;;) {
        declaration::MTELA3(kDraftForm);
        pad("CPFEMAIL", 11), pad("CEMAIL_ENV", 41), pad("CASSUNTO", 58), pad("CANEXO", 40), pad("CENVPEND", 1),
            pad("CEDITEXT", 1);
        rt::GetList gets;
        gets.emplace_back(8, 30, "M->CPFEMAIL", "@R 999.999.999-99").when([] { return AJUDA_EMAIL(6); }).valid([] {
            return rt::call_as_bool("LOCALI_CPF", {Global{"CPFEMAIL"}.value(), rt::Value(2)});
        });
        gets.emplace_back(9, 30, "M->CEMAIL_ENV", "@S45").when([] { return AJUDA_EMAIL(7); });
        gets.emplace_back(10, 30, "M->CASSUNTO", "@S45").when([] { return AJUDA_EMAIL(8); });
        gets.emplace_back(11, 30, "M->CANEXO", "@s28").when([] { return AJUDA_EMAIL(9); });
        gets.emplace_back(12, 30, "M->CENVPEND", "@!")
            .when([] { return AJUDA_EMAIL(10); })
            .valid(yes_or_no("CENVPEND"));
        gets.emplace_back(13, 30, "M->CEDITEXT", "@!")
            .when([] { return AJUDA_EMAIL(11); })
            .valid(yes_or_no("CEDITEXT"));
        if (!rt::READ(gets) && rt::LASTKEY() == rt::key::ESC) break;
        common::MENS();
        const std::string answer = common::AVISOSN("Confirma os dados ?", 4).as_string();
        if (answer == "F") break;
        if (answer != "S") continue;
        if (!yes("Envia agora o Email?")) break;
        MANDA_EMAIL();
        if (!yes("Envia Email para outro contribuinte?")) break;
    }
    common::MENS();
    declaration::close_dialog("MTELA3", kDraftForm);
}

void GERA_EMAIL() {
    office_menu(6, 5, 28, {"Configura Email", "Prepara o Email", "Envia o Email"},
                {"Configura a conta de email: servidor, usuário e senha"_cp,
                 "Prepara o texto, o arquivo e para quem vai enviar", "Envia os emails"},
                "CPG", [](int n) {
                    if (n == 1) CONF_EMAIL();
                    else if (n == 2) PREP_EMAIL();
                    else MANDA_EMAIL();
                });
}

void register_email_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        rt::register_function("GERA_EMAIL", [](Args) { GERA_EMAIL(); return rt::Value(); });
        rt::register_function("CONF_EMAIL", [](Args) { CONF_EMAIL(); return rt::Value(); });
        rt::register_function("PREP_EMAIL", [](Args) { PREP_EMAIL(); return rt::Value(); });
        rt::register_function("MANDA_EMAIL", [](Args) { return rt::Value(MANDA_EMAIL()); });
        rt::register_function("AJUDA_EMAIL", [](Args a) {
            return rt::Value(AJUDA_EMAIL(!a.empty() && a[0].is_number() ? static_cast<int>(a[0].as_number()) : 0));
        });
    });
}

}  // namespace qv::office
