// Monthly income from natural persons and from abroad: the taxpayer's
// (section 5) and the dependants' (section 6).
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

// One month of natural-person income and its deductions.
struct Month {
    double natural = 0, abroad = 0, cash_book = 0, dependants = 0, social_security = 0, alimony = 0, darf = 0,
           carne = 0;
};
using Year = std::array<Month, 12>;

void add(Month& to, const Month& m) {
    to.natural += m.natural;
    to.abroad += m.abroad;
    to.cash_book += m.cash_book;
    to.dependants += m.dependants;
    to.social_security += m.social_security;
    to.alimony += m.alimony;
    to.darf += m.darf;
    to.carne += m.carne;
}

Month total_of(const Year& year) {
    Month s;
    for (const Month& m : year) add(s, m);
    return s;
}

void write_totals(XmlWriter& w, const Month& s) {
    w.amount("totalDarfPago", s.darf);
    w.amount("totalDependentes", s.dependants);
    w.amount("totalExterior", s.abroad);
    w.amount("totalLivroCaixa", s.cash_book);
    w.amount("totalPensao", s.alimony);
    w.amount("totalPessoaFisica", s.natural);
    w.amount("totalPrevidencia", s.social_security, Close::Start);
}

void write_months(XmlWriter& w, const Year& year) {
    for (int m = 1; m <= 12; ++m) {
        const Month& v = year[m - 1];
        w.open(month_element(m, false));
        w.amount("carneLeao", v.carne);
        w.amount("darfPago", v.darf);
        w.amount("dependentes", v.dependants);
        w.amount("exterior", v.abroad);
        w.amount("livroCaixa", v.cash_book);
        w.number("mes", m - 1, NumberCode::Whole);
        w.amount("pensao", v.alimony);
        w.amount("pessoaFisica", v.natural);
        w.amount("previdencia", v.social_security, Close::Empty);
    }
}

double darf_of(rt::table::Table& t, const std::string& mm) {
    const double paid = field_amount(t, "I2_5" + mm);
    return declaration::logical("SO_REC") ? paid : std::max(paid, field_amount(t, "I2_6" + mm));
}

// The natural-person columns of one row of the monthly sheet.
Year person_year(rt::table::Table& t, bool holder) {
    Year year{};
    for (int m = 1; m <= 12; ++m) {
        const std::string mm = rt::STRZERO(m, 2);
        Month& v = year[m - 1];
        v.natural = field_amount(t, "I2_1" + mm);
        v.abroad = field_amount(t, "I2_2" + mm);
        v.cash_book = field_amount(t, "I2_3" + mm);
        if (!holder) v.social_security = field_amount(t, "I2_4" + mm);
        v.darf = darf_of(t, mm);
        v.carne = field_amount(t, "I2_6" + mm);
    }
    return year;
}

bool holder_row(rt::table::Table& t) { return rt::ALLTRIM(field_text(t, "CPFDEPEN")).empty(); }

Year holder_year(const Generation& g) {
    Year year{};
    bool found = false;
    each_row(kMonthlyArea, [&](rt::table::Table& t) {
        if (found || !holder_row(t)) return;
        year = person_year(t, true);
        found = true;
    });
    each_row(kSourcesArea, [&](rt::table::Table& t) {
        if (source_kind(t) != "P" || rt::UPPER(field_text(t, "I1_11")) == "N") return;
        for (int m = 1; m <= 12; ++m) year[m - 1].social_security += field_amount(t, "I1_4" + rt::STRZERO(m, 2));
    });
    each_row(kPaymentsArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(field_amount(t, "I6_3"));
        if (code < 30 || code > 34) return;
        for (int m = 1; m <= 12; ++m) year[m - 1].alimony += field_amount(t, "I6_4" + rt::STRZERO(m, 2));
    });
    for (int m = 1; m <= 12; ++m) {
        Month& v = year[m - 1];
        if (v.natural > 0 || v.abroad > 0)
            v.dependants = g.dependants_proper * declaration::element("NVALDEPEN", m <= 3 ? 1 : 2);
    }
    return year;
}

}  // namespace

void write_rend_pf_titular(Generation& g) {
    const Year year = holder_year(g);
    g.out.open("rendPFTitular");
    write_totals(g.out, total_of(year));
    write_months(g.out, year);
    g.out.end("rendPFTitular");
}

void write_rend_pf_dependente(Generation& g) {
    XmlWriter& w = g.out;
    std::vector<std::pair<std::string, Year>> people;
    each_row(kMonthlyArea, [&](rt::table::Table& t) {
        if (!holder_row(t)) people.emplace_back(field_text(t, "CPFDEPEN"), person_year(t, false));
    });
    Month all;
    for (const auto& person : people) add(all, total_of(person.second));
    w.open("rendPFDependente");
    w.text("tipoItens", "serpro.ppgd.irpf.rendpf.ItemRendPFDependente");
    write_totals(w, all);
    for (const auto& [cpf, year] : people) {
        w.open("item");
        w.cpf("cpf", cpf);
        w.amount("fooValoresPreenchidos", 0, Close::Start);
        w.open("rendimentos");
        write_totals(w, total_of(year));
        write_months(w, year);
        w.end("rendimentos");
        w.end("item");
    }
    w.end("rendPFDependente");
}
}  // namespace qv::transfer
