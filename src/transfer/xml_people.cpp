// Sections 11 to 14: dependants, alimony recipients, heirs and payments.
#include <array>
#include <optional>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

using rt::operator""_cp;

int code_of(rt::table::Table& t, std::string_view field) { return static_cast<int>(field_amount(t, field)); }

bool has_name(rt::table::Table& t, std::string_view field) { return !rt::ALLTRIM(field_text(t, field)).empty(); }

// The people of the dependants' table with a name whose code is in range.
void people_items(int lowest, int highest, const std::function<void(rt::table::Table&, int)>& write) {
    each_row(kPeopleArea, [&](rt::table::Table& t) {
        const int code = code_of(t, "CODIDEPEN");
        if (has_name(t, "NOMEDEPEN") && code >= lowest && code <= highest) write(t, code);
    });
}

void open_list(XmlWriter& w, std::string_view element, std::string_view kind) {
    w.open(element);
    w.translit("tipoItens", kind, Close::Start);
}

// Payments that neither list nor sum: no beneficiary, adjustments, donations.
bool payment_counts(rt::table::Table& t) {
    const int code = code_of(t, "I6_3");
    return has_name(t, "I6_1") && code != 90 && code != 98;
}

int mapped_code(int code) {
    static constexpr std::array<int, 7> kMapped = {60, 61, 62, 66, 70, 76, 99};
    return code >= 91 && code <= 97 ? kMapped[code - 91] : code;
}

struct PaymentTotals {
    double education = 0, medical = 0, alimony = 0, notarial = 0, pension = 0, incentives = 0, domestic = 0;
    int counted = 0;
};

PaymentTotals payment_totals(Generation& g) {
    PaymentTotals s;
    g.electoral_donations = 0;
    each_row(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = code_of(t, "I6_3");
        const double paid = field_amount(t, "I6_4");
        if (code == 98) g.electoral_donations += paid;
        if (!payment_counts(t)) return;
        ++s.counted;
        if (code == 1 || code == 2) s.education += paid;
        else if (code >= 8 && code <= 26) s.medical += paid - field_amount(t, "I6_5");
        else if (code == 30 || code == 31) s.alimony += paid;
        else if (code == 33 || code == 34) s.notarial += paid;
        else if (code == 36 || code == 38) s.pension += paid;
        else if (code >= 39 && code <= 44) s.incentives += paid;
        else if (code == 50) s.domestic += paid;
    });
    declaration::set_amount("I13_13T", s.education);
    declaration::set_amount("I13_14", s.medical);
    declaration::set_amount("I13_15", s.alimony);
    declaration::set_amount("I13_11T", s.pension);
    declaration::set_amount("I13_22T", s.incentives);
    declaration::set_amount("I13_24T", s.domestic);
    declaration::set_amount("NELEICAO", g.electoral_donations);
    return s;
}

const ListedPerson* listed(const Generation& g, int number) {
    for (const ListedPerson& p : g.people)
        if (p.number == number) return &p;
    return nullptr;
}

void payment_item(Generation& g, rt::table::Table& t, int index) {
    XmlWriter& w = g.out;
    const int code = mapped_code(code_of(t, "I6_3"));
    const int person_number = code_of(t, "I6_6");
    const ListedPerson* person = person_number == 0 ? nullptr : listed(g, person_number);
    std::string type = "T", name, cpf;
    if (person_number != 0) {
        type = person && (person->code == 98 || person->code == 99) ? "A" : "D";
        if (person) {
            name = person->name;
            cpf = cpf_text(person->cpf);
        }
    }
    w.open("item");
    w.text("codigo", rt::STRZERO(code, 2));
    if (type == "A") {
        w.text("cpfAlimentando", code >= 30 && code <= 34 ? std::string() : cpf);
        w.text("cpfDependente", "");
    } else if (type == "D") {
        w.text("cpfAlimentando", "");
        w.text("cpfDependente", cpf);
    } else {
        w.text("cpfDependente", "");
        w.text("cpfAlimentando", "");
    }
    w.translit("dependenteOuAlimentando", name);
    w.number("indice", index, NumberCode::Digits);
    w.text("niBeneficiario", common::TIRA_PONTO(field_text(t, code == 50 ? "I6_7" : "I6_2")));
    w.text("nitEmpregadoDomestico", code == 50 ? common::TIRA_PONTO(field_text(t, "I6_2")) : std::string());
    w.translit("nomeBeneficiario", SEMPONTO(field_text(t, "I6_1")));
    w.amount("parcelaNaoDedutivel", code < 30 || code == 50 ? field_amount(t, "I6_5") : 0.0);
    w.text("tipo", type);
    w.amount("valorPago", field_amount(t, "I6_4"), Close::Empty);
}

}  // namespace

void write_dependentes(Generation& g) {
    XmlWriter& w = g.out;
    open_list(w, "dependentes", "serpro.ppgd.irpf.dependentes.Dependente");
    people_items(-999, 97, [&](rt::table::Table& t, int code) {
        w.open("item");
        w.number("codigo", code, NumberCode::Whole);
        w.cpf("cpfDependente", field_text(t, "CPFDEPEN"));
        w.date("dataNascimento", field_date(t, "DATADEPEN"));
        w.text("indSaidaPaisMesmaData", rt::UPPER(field_text(t, "SAIUJUNT")) == "S" ? "1" : "");
        w.translit("nome", field_text(t, "NOMEDEPEN"), Close::Empty);
    });
    w.end("dependentes");
}

void write_alimentandos(Generation& g) {
    XmlWriter& w = g.out;
    open_list(w, "alimentandos", "serpro.ppgd.irpf.alimentandos.Alimentando");
    people_items(97, 99, [&](rt::table::Table& t, int code) {
        w.open("item");
        w.cpf("cpf", field_text(t, "CPFDEPEN"));
        w.date("dtNascimento", field_date(t, "DATADEPEN"));
        w.translit("nome", field_text(t, "NOMEDEPEN"));
        w.text("residente", code == 98 ? "1" : "0", Close::Empty);
    });
    w.end("alimentandos");
}

void write_herdeiros(Generation& g) {
    XmlWriter& w = g.out;
    open_list(w, "herdeiros", "serpro.ppgd.irpf.herdeiros.Herdeiro");
    people_items(100, 999, [&](rt::table::Table& t, int) {
        w.open("item");
        w.text("niHerdeiro", field_text(t, "CPFHERDE"));
        w.translit("nome", field_text(t, "NOMEDEPEN"), Close::Empty);
    });
    w.raw(" ");
    w.end("herdeiros");
}

void write_pagamentos(Generation& g) {
    XmlWriter& w = g.out;
    const PaymentTotals s = payment_totals(g);
    w.open("pagamentos");
    w.text("tipoItens", "serpro.ppgd.irpf.pagamentos.Pagamento");
    w.amount("totalContribEmpregadoDomestico", s.domestic);
    w.amount("totalContribuicaoFAPI", s.pension);
    w.amount("totalDeducaoIncentivo", s.incentives);
    w.amount("totalDeducoesInstrucao", s.education);
    w.amount("totalDespesasMedicas", s.medical);
    w.amount("totalPensao", s.alimony);
    w.amount("totalPensaoCartoral", s.notarial);
    w.number("ultimoIndiceGerado", s.counted > 0 ? s.counted - 1 : 0, NumberCode::Digits, Close::Start);
    int index = 0;
    each_row(kPaymentsArea, [&](rt::table::Table& t) {
        if (!payment_counts(t)) return;
        if (code_of(t, "I6_3") == 0) {
            common::AVISOSN("ATENÇÃO! Código em branco (0) nos Pagamentos Efetuados!"_cp);
            return;
        }
        payment_item(g, t, ++index);
    });
    w.end("pagamentos");
    w.flush();
}

}  // namespace qv::transfer
