#include "darf/darf_text.hpp"

#include <algorithm>

#include "common/calendar_names.hpp"
#include "darf/darf_charges.hpp"
#include "darf/darf_dates.hpp"
#include "darf/darf_state.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/loop/late_interest.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::darf {

namespace {

constexpr int kBaseYear = 2011;

std::string month_name(int month, std::size_t width) { return common::TRAZ_MES(month).substr(0, width); }

void gain_lines(std::array<std::string, 5>& l, const SlipFigures& f, const char* first, const char* difference) {
    const std::string base = "Base de calculo.....R$" + amount_text(f.income);
    if (f.paid == 0.0) {
        l[1] = base;
        l[2] = "Imposto.............R$" + amount_text(f.principal);
        l[4] = first + month_name(f.number, 9) + "/2011";
        return;
    }
    l[0] = base;
    l[1] = "Imposto.............R$" + amount_text(f.due);
    l[2] = "V. Recolhido........R$" + amount_text(f.paid);
    l[3] = "Diferenca ..........R$" + amount_text(f.principal);
    l[4] = difference + month_name(f.number, 8) + "/2011";
}

void carne_leao_lines(std::array<std::string, 5>& l, const SlipFigures& f) {
    if (f.paid == 0.0) {
        l[0] = "Rendimentos....... R$ " + amount_text(f.income);
        l[1] = "Livro Caixa....... R$ " + amount_text(f.cash_book);
        l[2] = "Deducoes.......... R$ " + amount_text(f.deductions);
        l[3] = "Imposto........... R$ " + amount_text(f.principal);
        l[4] = "Carne Leao do mes de " + month_name(f.number, 9) + "/2011";
        return;
    }
    l[1] = "Valor Devido...... R$ " + amount_text(f.due);
    l[2] = "V. Recolhido...... R$ " + amount_text(f.paid);
    l[3] = "Diferenca......... R$ " + amount_text(f.principal);
    l[4] = "Diferenca no C.Leao de " + month_name(f.number, 7) + "/2011";
}

void late_filing_lines(std::array<std::string, 5>& l, const SlipFigures& f) {
    const double cap = f.tax_due * kLateFilingCap / 100.0;
    l[0] = "Multa maxima pelo atraso " + rt::TRANSFORM(rt::Value(cap), "@EZ 999,999.99");
    l[1] = "Multa minima pelo atraso     165,74";
    l[2] = rt::STRZERO(f.months_late, 2) + " mes" + (f.months_late == 1 ? "  " : "es") + " de atraso  = " +
           amount_text(late_filing_months_fine(f.tax_due, f.months_late));
    l[3] = "Valor da multa........" + amount_text(f.principal);
    l[4] = "Multa pelo atraso na entrega       ";
}

}  // namespace

std::array<std::string, 5> slip_lines(const SlipFigures& f) {
    std::array<std::string, 5> l;
    switch (f.kind) {
        case kQuota:
            l[2] = "Imposto devido..... R$" + amount_text(f.principal);
            l[4] = "Pagto. da quota " + std::to_string(f.number) + " de " + std::to_string(f.quotas) + " do IRPF/2012";
            break;
        case kCarneLeao: carne_leao_lines(l, f); break;
        case kCapitalGain: gain_lines(l, f, "Ganho de capital em ", "Pago menor G. Capital "); break;
        case kVariableIncome: gain_lines(l, f, "Ganho em R. variavel ", "Pago menor R.Variavel "); break;
        case kLateFiling: late_filing_lines(l, f); break;
        default: break;
    }
    for (auto& s : l) s = rt::PADR(s, kSlipTextWidth);
    return l;
}

void PREENCHE(int n) {
    const int k = kind();
    if (k == kFree) return;
    static constexpr const char* kCodes[] = {"0211", "0190", "4600", "6015", "5320"};
    if (k >= kQuota && k <= kLateFiling) set("DF_CODIG", rt::Value(kCodes[k - 1]));
    const bool year_end = k == kQuota || k == kLateFiling;
    set("DF_PERIODO", rt::Value(year_end ? rt::Date::from_ymd(kBaseYear, 12, 31) : MES_ANTER(n)));
    set("DF_REFER", rt::Value(rt::SPACE(19)));
    SlipFigures f;
    f.kind = k;
    f.number = n;
    f.quotas = integer("QTD_QUOTA");
    f.principal = number("IMPO_REAL");
    f.income = number("REND_REAL");
    f.cash_book = number("LCAX_REAL");
    f.deductions = number("DEDU_REAL");
    f.paid = number("IMPREC_REAL");
    f.due = number("IMPDEV_REAL");
    f.tax_due = declaration::amount("I13_23");
    if (k == kLateFiling) {
        const rt::Date due = date("DF_VCTO"), paid = date("DF_PGTO");
        f.months_late = std::max(months_late(due, paid, paid - date("DDATAUTIL")), 0);
    }
    const auto lines = slip_lines(f);
    for (int i = 0; i < kSlipTextLines; ++i) set("DF_OUTR" + std::to_string(i + 1), rt::Value(lines[std::size_t(i)]));
    if (later_quota()) set("DF_JURO", rt::Value(declaration::ACHAJURO(2, payment_month())));
}

}  // namespace qv::darf
