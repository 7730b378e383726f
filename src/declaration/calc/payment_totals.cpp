#include "declaration/calc/payment_totals.hpp"

#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/messages.hpp"
#include "declaration/calc/carne_leao.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;

struct Totals {
    double education = 0, medical = 0, reimbursed = 0, alimony_court = 0, alimony_deed = 0, pension = 0;
    double culture = 0, incentives = 0, domestic = 0, employee_salary = 0;
    double lawyer = 0, rent = 0, goods = 0, adjustment = 0, party = 0, others = 0, declared = 0;
    bool education_mark = false;
};

// The domestic employee's salary estimated from the contribution (12 %).
double salary_estimate(double paid, double not_deductible) {
    if (paid == 0.0 && not_deductible > 0.0) return not_deductible / 0.12 + not_deductible;
    return paid / 0.12 + paid;
}

void add_row(Totals& s, int code, double paid, double not_deductible) {
    if (code >= 91 && code <= 97) return;
    double declared = paid;
    if (code == 1 || code == 2) {
        s.education += paid;
        s.education_mark = paid != 0.0;
    } else if (code >= 8 && code <= 26) {
        s.medical += paid - not_deductible;
        if (paid > 0.0) s.reimbursed += not_deductible;
    } else if (code == 30 || code == 31) {
        s.alimony_court += paid;
    } else if (code == 33 || code == 34) {
        s.alimony_deed += paid;
    } else if (code == 36 || code == 38) {
        s.pension += paid;
    } else if (code == 39) {
        s.culture += paid;
    } else if (code >= 40 && code <= 44) {
        s.incentives += paid;
    } else if (code == 50) {
        s.domestic += paid;
        declared = salary_estimate(paid, not_deductible);
        s.employee_salary += declared;
    } else if (code >= 51 && code <= 69) {
        s.lawyer += paid;
    } else if (code == 70 || code == 76) {
        s.rent += paid;
    } else if (code == 80 || code == 81) {
        s.goods += paid;
    } else if (code == 90) {
        s.adjustment += paid;
    } else if (code == 98) {
        s.party += paid;
    } else if (code == 99) {
        s.others += paid;
    }
    s.declared += declared;
}

void store(const Totals& s) {
    set_amount("I13_13T", s.education);
    set_value("DESPINST", rt::Value(s.education_mark ? "X" : " "));
    set_amount("I13_14", s.medical);
    set_amount("I13_14D", s.reimbursed);
    set_amount("I13_15", s.alimony_court);
    set_amount("I13_16", s.alimony_deed);
    set_amount("I13_11T", s.pension);
    set_amount("I13_22C", s.culture);
    set_amount("I13_22T", s.incentives);
    set_amount("I13_24T", s.domestic);
    set_amount("NTOTEMPREG", s.employee_salary);
    set_amount("NADVOGADO", s.lawyer);
    set_amount("NALUGUEL", s.rent);
    set_amount("NDOABENS", s.goods);
    set_amount("NAJUSTE", s.adjustment);
    set_amount("NPARTIDO", s.party);
    set_amount("NOUTROS", s.others);
    set_amount("DESPSIMP", s.lawyer + s.rent + s.goods + s.adjustment + s.party + s.others);
    set_amount("DESPDECLA", s.declared);
}

int current_code() {
    auto* t = work_table(kPaymentsArea);
    return t ? static_cast<int>(field_number(*t, "I6_3")) : 0;
}

double current_field(std::string_view field) {
    auto* t = work_table(kPaymentsArea);
    return t ? field_number(*t, field) : 0.0;
}

void set_not_deductible(double v) {
    auto* t = work_table(kPaymentsArea);
    if (t && !t->eof() && t->field_index("I6_5") >= 0) t->put("I6_5", rt::Value(v));
}

}  // namespace

bool FDE_TUDO(int nShow) {
    if (logical("JA_CALC")) return true;
    const double alimony_before = amount("I13_15");
    Totals totals;
    for_each_row(kPaymentsArea, [&](rt::table::Table& t) {
        add_row(totals, static_cast<int>(field_number(t, "I6_3")), field_number(t, "I6_4"), field_number(t, "I6_5"));
    });
    store(totals);
    set_value("JA_CALC", rt::Value(true));
    if (static_cast<int>(amount("CAL_AUTO")) == 1 && nShow != 2 && amount("I13_15") != alimony_before) {
        set_value("LEAO_CAL", rt::Value(false));
        FDE_LEAO(nShow);
    }
    return true;
}

double FDOAPAG(double nValue) {
    set_value("JA_CALC", rt::Value(false));
    const int code = current_code();
    if (code >= 1 && code <= 6) {
        set_not_deductible(std::max(nValue - amount("NVALESCOL"), 0.0));
    } else if ((code == 36 || code == 38) && amount("I13_09") == 0.0) {
        common::AVISOSN(std::vector<std::string>{
            "Atenção! As contribuições de previdência complementar cujo o ônus "_cp,
            "seja do próprio contribuinte fica condicionado a contribuição para"_cp,
            "a previdência oficial, exceto se já aposentado. Na previdência dos"_cp,
            "dependentes menores de 16 anos só podem ser deduzidas se o titular"_cp,
            "contribuir a P. Oficial e se maior de 16 o próprio dependente deve"_cp,
            "recolher a Previdência. Veja lei 10.887 de 18/06/04 artigo 13.   "_cp});
    } else if (code == 50) {
        set_not_deductible(std::max(nValue - amount("NMAXINSS"), 0.0));
    }
    return nValue;
}

double FCONFNDEDU(double nValue) {
    const int code = current_code();
    if (code > 27) {
        if (code == 50 || (code >= 39 && code <= 44)) return nValue;
        common::AVISOSN(std::vector<std::string>{
            "Valores não dedutíveis só deve ser usado para a escola quando  "_cp,
            "ultrapassar o valor limite ou convênios hospitalares/médicos no"_cp,
            "qual o contribuinte é reembolsado do valor gasto.              "_cp});
        return 0.0;
    }
    if (code >= 8) {
        if (nValue > current_field("I6_4")) {
            common::AVISOSN(std::vector<std::string>{"O valor não dedutível ou reembolsado"_cp,
                                                     "não pode ser maior que o valor pago "_cp});
            return 0.0;
        }
        set_not_deductible(nValue);
        set_value("JA_CALC", rt::Value(false));
        FDE_TUDO(2);
        common::MENS(0, "Total reembolsado: "_cp + rt::TRANSFORM(rt::Value(amount("I13_14D")), "@Ez 999,999,999.99"));
    }
    return nValue;
}

}  // namespace qv::declaration
