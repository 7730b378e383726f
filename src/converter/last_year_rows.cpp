// Last year's income sources, dependants, payments, savings and cash-book
// expenses carried into this year's tables.
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using common::Global;
using rt::operator""_cp;
using rt::Value;

void income_sources(SourceTables& src, const std::string& cpf) {
    each_source(src, 2, cpf, [&](tb::Table& old) {
        const std::string kind = text_of(old, "I1_1");
        if (kind == "R" || kind == "A") return;
        tb::Table& t = new_row(2, cpf);
        copy_shared(old, t, {"I1_1", "I1_2", "I1_3", "I1_8"});
        if (kind == "F") copy_shared(old, t, {"I1_11"});
        t.put("I1_4", Value(0));
        t.put("I1_5", Value(0));
        t.commit();
    });
}

}  // namespace

void carry_dependants(SourceTables& src, const std::string& cpf) {
    int number = 0;
    each_source(src, 3, cpf, [&](tb::Table& old) {
        // The age is judged on the values as this year keeps them.
        Global{"CODIDEPEN"}.set(Value(number_of(old, "CODIDEPEN")));
        Global{"DATADEPEN"}.set(date_of(old, "DATADEPEN"));
        Global{"NOMEDEPEN"}.set(Value(text_of(old, "NOMEDEPEN")));
        if (!VE_IDADE()) return;
        tb::Table& t = new_row(3, cpf);
        copy_shared(old, t, {"NOMEDEPEN", "CODIDEPEN", "DATADEPEN", "CPFDEPEN"});
        t.put("NRODEPEN", Value(++number));
        t.commit();
    });
}

namespace {

void payments(SourceTables& src, const std::string& cpf) {
    each_source(src, 6, cpf, [&](tb::Table& old) {
        const double code = number_of(old, "I6_3");
        if (code == 0) return;
        tb::Table& t = new_row(6, cpf);
        copy_shared(old, t, {"I6_1", "I6_2", "I6_3", "I6_6"});
        if (code == 50) copy_shared(old, t, {"I6_7"});
        t.put("I6_4", Value(0));
        t.commit();
    });
}

}  // namespace

void carry_savings(SourceTables& src, const std::string& cpf) {
    each_source(src, 14, cpf, [&](tb::Table& old) {
        tb::Table& t = new_row(14, cpf);
        copy_shared(old, t, {"DESCRICAO"});
        t.put("TIPO", Value("B"));
        t.commit();
    });
}

namespace {

// The cash-book expenses, whose monthly sum makes the year's undeducted
// expenses of the declaration record.
void expenses(SourceTables& src, const std::string& cpf) {
    double monthly = 0;
    each_source(src, 10, cpf, [&](tb::Table& old) {
        tb::Table& t = new_row(10, cpf);
        copy_all_shared(old, t);
        t.commit();
        monthly += number_of(old, "VALODESP");
    });
    tb::Table& d = declaration_row(cpf);
    d.put("DESPNAO", Value(monthly * 12));
    d.commit();
}

std::string name_of_dependant(std::size_t width) {
    return rt::PADR(Global{"NOMEDEPEN"}.text(), width);
}

}  // namespace

void carry_rows(SourceTables& src, const std::string& cpf) {
    income_sources(src, cpf);
    carry_dependants(src, cpf);
    payments(src, cpf);
    carry_savings(src, cpf);
    if (src.get(10)) expenses(src, cpf);
}

bool VE_IDADE() {
    const int code = static_cast<int>(common::number_of(Global{"CODIDEPEN"}.value()));
    const rt::Value born = Global{"DATADEPEN"}.value();
    if (!born.is_date() || rt::EMPTY(born)) return true;
    const int year = rt::YEAR(born.as_date());
    if ((code == 21 || code == 24) && year < 1989)
        return common::AVISOSN(std::vector<std::string>{"Dependente:  " + name_of_dependant(41),
                                                        "O dependente completou 22 anos. A menos que ele seja  ",
                                                        "incapacitado física ou mentalmente não pode permanecer"_cp,
                                                        "mais como dependente. Retira-o da relação?        "_cp},
                               2)
                   .as_string() != "S";
    if (code == 41 && year < 1989) {
        common::AVISOSN(std::vector<std::string>{"Dependente:" + name_of_dependant(37),
                                                 "O menor pobre completou 22 anos e não pode ficar"_cp,
                                                 "como dependente. Ele será retirado da relação. "_cp},
                        0);
        return false;
    }
    if ((code == 22 || code == 25) && year < 1986) {
        common::AVISOSN(std::vector<std::string>{"Dependente:" + name_of_dependant(36),
                                                 "O dependente completou 25 anos e não pode ficar"_cp,
                                                 "como dependente. Ele será retirado da relação."_cp},
                        0);
        return false;
    }
    return true;
}

}  // namespace qv::converter
