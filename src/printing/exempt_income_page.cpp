// Page group 2: exempt and exclusive income, and the payments.
#include <string>

#include "common/globals.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/table/table.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kIncomeArea = 22;
constexpr int kPeopleArea = 23;
constexpr int kPaymentsArea = 26;

const char* const kExemptTitle = "RENDIMENTOS ISENTOS E NAO-TRIBUTAVEIS";

// The exempt lines, one per value I3_01 .. I3_16 (which is not the order of
// the screen's lines 12 to 15), 64 characters each.
const char* const kExemptLines[] = {
    "01.Bolsa de Estudo que nao representa Vantagem ou Serviço      ",
    "02.Capital de seguro de vida pago por morte ou invalidez        ",
    "03.Indenizacoes por rescisao de contrato, PDV, acidente e FGTS  ",
    "04.Ganho de capital de bens de pequeno valor ou do unico imovel ",
    "05.Lucros e dividendos recebidos                                ",
    "06.Parcela isenta de aposentadoria de maiores de 65 anos        ",
    "07.Pensao e proventos de molestia grave ou acidente em servico  ",
    "08.Rendimentos de cadernetas de poupanca e letras hipotecarias  ",
    "09.Rendimento de socio ou titular de microempresa               ",
    "10.Transferencias patrimoniais - doacoes e heranças            ",
    "11.Parcela isenta correspondente a atividade rural              ",
    "12.Outros ",
    "13.Imposto de anos anteriores compensado judicialmente          ",
    "14.75% da remuneracao de servidor no exterior                   ",
    "15.Incorporacao de reservas ao capital/bonificacoes em acoes    ",
    "16.Rendimentos isentos dos dependentes                         ",
};

const char* const kExclusiveLines[] = {
    "01.Decimo terceiro salario do Titular",
    "02.Ganhos de capital na alienacao de bens e ou direitos",
    "03.Ganhos liquidos em renda variavel(bolsa,mercadorias,futuros)",
    "04.Rendimentos de aplicacoes financeiras",
    "05.Outros ",
    "06.Rendimentos recebido acumuladamente pelo titular",
    "07.Decimo terceiro salario dos Dependentes",
    "08.Rendimentos recebido acumuladamente pelos dependentes",
    "09.Outros ",
};

std::string field(rt::table::Table& t, std::string_view name) { return rt::TRIM(t.get(name).as_string()); }

// Sources of one exempt line (field of table 02), holder then dependants.
void exempt_sources(std::string_view value_field) {
    for (const char* kind : {"J", "D"}) {
        double total = 0.0;
        for_rows(kIncomeArea, [&](rt::table::Table& t) {
            if (field(t, "I1_1") == kind) total += t.get(value_field).as_number();
        });
        if (total <= 0.0) continue;
        line(4, "CPF            CNPJ               Fonte Pagadora                    VALOR");
        for_rows(kIncomeArea, [&](rt::table::Table& t) {
            const double v = t.get(value_field).as_number();
            if (field(t, "I1_1") != kind || v <= 0.0) return;
            put(4, kind == std::string_view("J") ? text("CPF") : field(t, "I1_8"));
            put(19, field(t, "I1_3"));
            put(38, rt::PADR(field(t, "I1_2"), 30));
            line(64, shown(v));
        });
    }
}

void exempt_income() {
    PULA_PAG(5);
    put(0, kExemptTitle);
    line(60, "(Valores em Reais)");
    for (int n = 1; n <= 16; ++n) {
        std::string label = rt::utf8_to_cp850(kExemptLines[n - 1]);
        if (n == 12) label = rt::PADR(label + text("I3_12D"), 64);
        value_line(label, number("I3_" + rt::STRZERO(n, 2)));
        if (n == 5) exempt_sources("I1_15");
        if (n == 7) exempt_sources("I1_18");
        if (n == 14) exempt_sources("I1_13");
        if (n == 15) exempt_sources("I1_14");
        if (PULA_PAG(4)) line(0, kExemptTitle);
    }
    value_line("TOTAL", number("I13_44"));
}

// The block is kept whole on one page: its title, nine lines and total.
constexpr int kExclusiveBlockLines = 11;

void exclusive_income() {
    PULA_PAG(kExclusiveBlockLines);
    line(0, "RENDIMENTOS SUJEITOS A TRIBUTACAO EXCLUSIVA /DEFINITIVA");
    for (int n = 1; n <= 9; ++n) {
        std::string label = kExclusiveLines[n - 1];
        if (n == 5) label += text("I4_05D");
        if (n == 9) label += text("I4_09D");
        value_line(rt::PADR(label, 64), number("I4_" + rt::STRZERO(n, 2)));
    }
    value_line("TOTAL", number("I13_45"));
}

// Income with suspended enforceability, holder then dependants.
void suspended_income() {
    for (const char* kind : {"J", "D"}) {
        double suspended = 0.0, deposit = 0.0;
        for_rows(kIncomeArea, [&](rt::table::Table& t) {
            if (field(t, "I1_1") != kind) return;
            suspended += t.get("I1_19").as_number();
            deposit += t.get("I1_20").as_number();
        });
        PULA_PAG(5);
        line(0, "RENDIMENTOS TRIBUTAVEIS RECEBIDOS DE PESSOAS JURIDICAS");
        line(0, std::string(kind == std::string_view("J") ? "PELO TITULAR " : "PELOS DEPENDENTES ") + "COM EXIGIBILIDADE SUSPENSA");
        if (suspended <= 0.0 && deposit <= 0.0) {
            no_information();
            continue;
        }
        line(0, "NOME DA FONTE PAGADORA        CNPJ/CPF            REND.SUSPENSO   DEPOSITO JUD.");
        for_rows(kIncomeArea, [&](rt::table::Table& t) {
            const double s = t.get("I1_19").as_number(), d = t.get("I1_20").as_number();
            if (field(t, "I1_1") != kind || (s <= 0.0 && d <= 0.0)) return;
            put(0, rt::PADR(field(t, "I1_2"), 29));
            put(30, field(t, "I1_3"));
            put(46, shown(s));
            line(62, shown(d));
        });
        put(0, "TOTAIS");
        put(46, shown(suspended));
        line(62, shown(deposit));
    }
}

// Name of the n-th row of the dependants' table, in stored order.
std::string person_name(int n) {
    auto* people = tables::ws().table(kPeopleArea);
    if (!people || n < 1 || n > static_cast<int>(people->lastrec())) return {};
    people->go_to(static_cast<std::uint32_t>(n));
    return field(*people, "NOMEDEPEN");
}

bool only_payments() { return Global{"QUEPAG"}.integer(1) == 6 && rt::TRIM(Global{"CSOPAG"}.text()) == "S"; }

}  // namespace

void REL_PAGAMENTO(int first_code, int last_code) {
    const char* const title = "PAGAMENTOS E DOACOES EFETUADOS ";
    int rows = 0;
    for_rows(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(t.get("I6_3").as_number());
        rows += code >= first_code && code <= last_code;
    });
    if (rows == 0) {
        if (only_payments()) return;
        PULA_PAG(5);
        line(0, title);
        no_information();
        return;
    }
    if (only_payments()) CABEC_PAG(0);
    PULA_PAG(5);
    line(0, title);
    const std::string heading =
        "CODIGO       NOME DO BENEFICIARIO                                 CPF ou CNPJ             VALOR PAGO          PARC. NAO DEDUTIVEL";
    line(0, heading);
    for_rows(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(t.get("I6_3").as_number());
        if (code < first_code || code > last_code) return;
        if (QLIN() > 59) {
            CABEC_PAG(6, title);
            line(0, heading);
        }
        put(0, rt::STRZERO(code, 2));
        put(13, rt::PADR(field(t, "I6_1"), 50));
        put(66, field(t, "I6_2"));
        put(86, shown(t.get("I6_4").as_number()));
        line(106, shown(t.get("I6_5").as_number()));
        const int person = static_cast<int>(t.get("I6_6").as_number());
        if (code != 2) return;
        if (const std::string name = person_name(person); !name.empty())
            line(13, "Nome do dependente/alimentando: " + name);
    });
}

void PAGINA2(int /*sheet*/) {
    const int quepag = Global{"QUEPAG"}.integer(1);
    if (only_payments()) {
        REL_PAGAMENTO(Global{"NDESINI"}.integer(1), Global{"NDESFIM"}.integer(99));
        new_page();
        return;
    }
    if (quepag == 6 || QLIN() == 0) {
        rt::os::printer().set_position(0, 0);
        CABEC_PAG(0);
    } else if (QLIN() >= 50) {
        skip_lines();
    }
    exempt_income();
    exclusive_income();
    suspended_income();
    cumulative_income();
    if (authority_layout()) {
        PULA_PAG(4);
        put(0, "IMPOSTO PAGO");
        line(60, "(Valores em Reais)");
        value_line("Imposto Complementar:", number("I13_31"));
        value_line("Imposto Pago no Exterior:", number("I13_32"));
    }
    REL_PAGAMENTO(1, 99);
    separator();
    if (quepag >= 5) new_page();
}

}  // namespace qv::printing
