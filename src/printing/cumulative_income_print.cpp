// Income received cumulatively on page 2: the holder's sources, then the
// dependants', each with how it was taxed, when it was received and over how
// many months.
#include <array>
#include <string>

#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"

namespace qv::printing {

namespace {

constexpr int kIncomeArea = 22;
constexpr int kItemLines = 7;
// Where the four amounts end under the heading's captions.
constexpr std::array<int, 4> kAmountCols{63, 81, 101, 115};

bool cumulative(rt::table::Table& t, bool holder) {
    return field_text(t, "I1_1") == "A" && (field_text(t, "I1_11") == "S") == holder;
}

std::string title(bool holder) {
    return std::string("RENDIMENTOS TRIBUTAVEIS RECEBIDOS DE P.JURIDICAS ACUMULADAMENTE DO") +
           (holder ? " TITULAR " : "S DEPENDENTES ");
}

void heading(bool holder) {
    line(0, title(holder));
    line(0, "       NOME DA FONTE PAGADORA               CNPJ/CPF               RENDIMENTO     CONTR.PREVID.    "
            "IMPOSTO NA FONTE        PENSAO");
}

void amounts(const std::array<double, 4>& v) {
    for (std::size_t i = 0; i < v.size(); ++i) put(kAmountCols[i], shown(v[i]));
    skip_lines();
}

void item(rt::table::Table& t, bool holder, std::array<double, 4>& totals) {
    if (PULA_PAG(kItemLines)) heading(holder);
    if (!holder) line(0, "CPF do dependente: " + rt::TRANSFORM(rt::Value(field_text(t, "I1_8")), kCpfPicture));
    const std::array<double, 4> v{field_number(t, "I1_4"), field_number(t, "I1_6"), field_number(t, "I1_5"),
                                  field_number(t, "I1_12")};
    put(0, rt::PADR(field_text(t, "I1_2"), 43));
    put(44, field_text(t, "I1_3"));
    amounts(v);
    for (std::size_t i = 0; i < v.size(); ++i) totals[i] += v[i];
    const bool adjusted = field_text(t, "TIPOCR") == "S";
    put(7, std::string("Tributado ") + (adjusted ? "Ajuste" : "Exclusiva"));
    put(30, "Recebimento " + rt::TRANSFORM(t.get("DT_LC"), "@D"));
    put(55, "Nro. Meses " + rt::TRANSFORM(t.get("I1_21"), "@Z 999.9"));
    if (!adjusted) put(77, "Imposto devido RRA " + shown(field_number(t, "I1_20")));
    skip_lines();
}

void side(bool holder) {
    double income = 0.0;
    for_rows(kIncomeArea, [&](rt::table::Table& t) {
        if (cumulative(t, holder)) income += field_number(t, "I1_4");
    });
    PULA_PAG(5);
    heading(holder);
    if (income <= 0.0) {
        no_information();
        return;
    }
    std::array<double, 4> totals{};
    for_rows(kIncomeArea, [&](rt::table::Table& t) {
        if (cumulative(t, holder)) item(t, holder, totals);
    });
    put(0, "TOTAIS");
    amounts(totals);
}

}  // namespace

void cumulative_income() {
    side(true);
    side(false);
}

}  // namespace qv::printing
