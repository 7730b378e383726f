// The entry form of the bookkeeping entries: the account first, then what
// the account asks for (description, amount, payer, months, dependant).
#include <optional>
#include <string>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "office/bookkeeping.hpp"
#include "office/bookkeeping_tables.hpp"
#include "office/office_menu.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/table.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"
#include "tables/state.hpp"

namespace qv::office {

namespace {

using common::Global;
using rt::operator""_cp;

constexpr int kTop = 7, kLeft = 4, kBottom = 19, kRight = 76, kCol = 28;

void set(const char* name, rt::Value v) { Global{name}.set(std::move(v)); }
std::string text(const char* name) { return rt::ALLTRIM(Global{name}.text()); }
int number(const char* name) { return Global{name}.integer(); }

std::optional<Account> typed_account() { return account(text("CDCONTA")); }

// A field's refusal stands on the status line until the field is answered
// right: then it goes, and the clerk is not told of a fault mended.
bool refusal_shown = false;

bool refuse(std::string_view why) {
    common::MENS(0, why);
    refusal_shown = true;
    return false;
}

bool accept() {
    if (refusal_shown) common::MENS();
    refusal_shown = false;
    return true;
}

// The payer's number is entered only where the account asks for it; a
// dependant's exempt or exclusive income has none.
bool asks_number(const Account& a) {
    return (a.has_cpf || a.has_cnpj) && !(a.both() && (a.page == 3 || a.page == 4));
}

// The width and mask of the payer's number by the account's flags.
std::pair<int, std::string> number_mask(const Account& a) {
    if (a.both()) return {18, "@!"};
    if (a.has_cpf) return {11, "@R 999.999.999-99"};
    return {14, "@R 99.999.999/9999-99"};
}

bool valid_number(const Account& a) {
    const std::string digits = common::TIRA_PONTO(text("NROCGCCPF"));
    if (digits.empty()) return true;
    if (a.both()) return common::CPFCGC(common::CONTAPONTO(digits));
    return a.has_cpf ? common::VAL_CPF(digits) : common::VAL_CGC(digits);
}

void clear_entry() {
    set("CDCONTA", rt::Value(std::string(4, ' ')));
    set("DESCONTA", rt::Value(std::string(60, ' ')));
    set("VALODESP", rt::Value(0.0));
    set("NROCGCCPF", rt::Value(std::string(18, ' ')));
    set("MESINI", rt::Value(0));
    set("MESFIM", rt::Value(0));
    set("CPFDEPEN", rt::Value(std::string(11, ' ')));
}

void paint_form() {
    office_box(kTop, kLeft, kBottom, kRight);
    const char* labels[] = {"Conta", "", "Descrição ou nome", "", "Valor", "CPF ou CNPJ", "Mês inicial",
                            "Mês final", "CPF do dependente"};
    for (int i = 0; i < 9; ++i)
        if (*labels[i]) rt::at_say(kTop + 2 + i, kLeft + 2, rt::utf8_to_cp850(labels[i]));
}

rt::GetList detail_gets(const Account& a) {
    rt::GetList gets;
    if (a.own_text) gets.emplace_back(kTop + 5, kLeft + 2, "M->DESCONTA", "@k");
    gets.emplace_back(kTop + 6, kCol, "M->VALODESP", "@Ez 99,999,999.99");
    if (asks_number(a)) {
        const auto [width, mask] = number_mask(a);
        set("NROCGCCPF", rt::Value(rt::PADR(text("NROCGCCPF"), width)));
        gets.emplace_back(kTop + 7, kCol, "M->NROCGCCPF", mask).valid([a] { return valid_number(a); });
    }
    if (a.cash_book) {
        gets.emplace_back(kTop + 8, kCol, "M->MESINI", "@ 99").valid([] { return VEDAT("MESINI"); });
        gets.emplace_back(kTop + 9, kCol, "M->MESFIM", "@ 99").valid([] { return VEDAT("MESFIM"); });
    }
    if (a.both())
        gets.emplace_back(kTop + 10, kCol, "M->CPFDEPEN", "@R 999.999.999-99").valid([] {
            return common::VAL_CPF(text("CPFDEPEN"));
        });
    return gets;
}

// The first datum the entry lacks, or nothing.
std::optional<std::string> entry_fault(const Account& a) {
    if (a.page == 1 && (a.has_cpf || a.has_cnpj) && common::TIRA_PONTO(text("NROCGCCPF")).empty())
        return "Falta preencher o CNPF ou CPF";
    if (a.both() && text("CPFDEPEN").empty()) return "Falta preencher o CPF do dependente";
    if (a.cash_book && a.page < 5 && number("MESINI") == 0 && !(a.page == 2 && a.line == 6))
        return "Falta preencher o mês de lançamento"_cp;
    if (Global{"VALODESP"}.number() == 0) return "Falta preencher o valor";
    if (a.own_text && text("DESCONTA").empty()) return "Falta preencher a Descrição ou o Nome "_cp;
    if (!a.own_text) set("DESCONTA", rt::Value(rt::PADR(rt::LEFT(a.description, 60), 60)));
    return std::nullopt;
}

void append_entry() {
    rt::table::Table& copy = *tables::ws().table(kEntriesArea);
    const std::uint32_t item = copy.lastrec() + 1;
    copy.append_blank();
    copy.put("CPF", rt::Value(rt::PADR(text("CPF"), 11)));
    for (const char* f : {"CDCONTA", "DESCONTA", "VALODESP", "MESINI", "MESFIM", "CPFDEPEN"})
        copy.put(f, Global{f}.value());
    copy.put("NROCGCCPF", rt::Value(rt::PADR(text("NROCGCCPF"), 18)));
    copy.put("NROITEM", rt::Value(static_cast<double>(item)));
    copy.put("LANCADO", rt::Value(false));
    copy.commit();
}

enum class Outcome { Saved, Back, Finished };

// The account's data asked for until confirmed and complete.
Outcome ask_details(const Account& a) {
    for (;;) {
        rt::GetList gets = detail_gets(a);
        if (!rt::READ(gets) && rt::LASTKEY() == rt::key::ESC) return Outcome::Back;
        const std::string answer = common::AVISOSN(" Confirma ? ", 4).as_string();
        if (answer == "F") return Outcome::Finished;
        if (answer != "S") continue;
        if (const auto fault = entry_fault(a)) {
            common::AVISOSN(*fault);
            continue;
        }
        append_entry();
        return Outcome::Saved;
    }
}

}  // namespace

bool VEDAT(const std::string& name) {
    const int first = number("MESINI"), last = number("MESFIM");
    if (rt::UPPER(rt::ALLTRIM(name)) == "MESFIM") {
        // Up to 13: the posting takes the months of the year, through December.
        if (last == 0 || (last >= first && last <= 13)) return accept();
        if (last < first && last >= 1) return refuse("O mês final não pode ser anterior ao mês inicial."_cp);
        return refuse("Mês inválido: informe um mês de 1 a 12."_cp);
    }
    if ((first >= 1 && first <= 12) || (first == 0 && Global{"PAGINA"}.integer() > 5)) return accept();
    return refuse("Mês inválido: informe um mês de 1 a 12."_cp);
}

bool VE_CONTA() {
    const std::optional<Account> a = typed_account();
    if (!a) {
        set("DESCONTA", rt::Value(std::string(60, ' ')));
        return refuse("Conta não cadastrada. [F1] mostra o plano de contas."_cp);
    }
    if (!a->detailed) {
        common::AVISOSN("Atenção! Essa conta é só Título. Use uma conta detalhada"_cp);
        return false;
    }
    const auto flag = [](bool on) { return rt::Value(on ? "S" : "N"); };
    set("NMDESCRICA", rt::Value(a->description));
    set("PAGINA", rt::Value(a->page));
    set("LINHA", rt::Value(a->line));
    set("TEMCPF", flag(a->has_cpf));
    set("TEMCGC", flag(a->has_cnpj));
    set("LIVROCX", flag(a->cash_book));
    set("TEMDESCR", flag(a->own_text));
    if (!a->own_text) set("DESCONTA", rt::Value(std::string(60, ' ')));
    if (a->cash_book) set("MESINI", rt::Value(0));
    rt::at_say(kTop + 3, kLeft + 2, rt::PADR(rt::LEFT(a->description, 50), 50));
    return accept();
}

void FAZLANC() {
    if (!tables::ws().table(kEntriesArea) || !open_chart()) return;
    const std::string saved = rt::SAVESCREEN(kTop, kLeft, kBottom, kRight);
    for (Outcome last = Outcome::Saved; last != Outcome::Finished;) {
        clear_entry();
        paint_form();
        rt::GetList gets;
        gets.emplace_back(kTop + 2, kCol, "M->CDCONTA", "@r 9.999").valid([] { return VE_CONTA(); });
        if (!rt::READ(gets) && rt::LASTKEY() == rt::key::ESC) break;
        const std::optional<Account> a = typed_account();
        if (a) last = ask_details(*a);
    }
    rt::RESTSCREEN(kTop, kLeft, kBottom, kRight, saved);
}

}  // namespace qv::office
