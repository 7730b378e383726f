#include "converter/payroll_posting.hpp"

#include <string>

#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::Value;

tb::Table& statement() { return tables::ws().current(kPayroll); }
double amount(const char* field) { return statement().get(field).as_number(); }
std::string words(const char* field) { return rt::ALLTRIM(statement().get(field).as_string()); }

// The payer's income row of kind "J" (by CNPJ), overwritten or added.
void income_row(const std::string& cpf) {
    const std::string cnpj = rt::RTRIM(statement().get("CNPJFONTE").as_string());
    tb::Table* found = nullptr;
    for_each_row(2, cpf, [&](tb::Table& t) {
        if (!found && t.get("I1_1").as_string() == "J" && rt::RTRIM(t.get("I1_3").as_string()) == cnpj) found = &t;
    });
    std::uint32_t recno = 0;
    if (found) recno = found->recno();
    tb::Table& t = recno ? table(2) : new_row(2, cpf);
    if (recno) t.go_to(recno);
    t.put("I1_1", Value("J"));
    t.put("I1_2", Value(words("NOMEFONTE")));
    t.put("I1_3", Value(cnpj));
    const std::pair<const char*, const char*> lines[] = {
        {"I1_4", "RENDIMENT"}, {"I1_5", "IRRETIDO"},  {"I1_6", "PREVOFICA"},  {"I1_7", "DECIMO3RO"},
        {"I1_15", "LUCRODIV"}, {"I1_16", "SOCIO"},    {"I1_17", "ISENTOAPO"}, {"I1_18", "PENSAOREC"}};
    for (const auto& [to, from] : lines) t.put(to, Value(amount(from)));
    t.commit();
}

std::string joined(const std::string& old, const std::string& added) {
    const std::string kept = rt::ALLTRIM(old);
    return kept.empty() ? added : kept + "/" + added;
}

void declaration_lines(const std::string& cpf, bool add) {
    tb::Table& d = table(1);
    d.set_order(1);
    if (!d.seek(Value(cpf))) new_row(1, cpf);
    const auto put = [&](const char* field, double v) { d.put(field, Value(add ? d.get(field).as_number() + v : v)); };
    const auto text = [&](const char* field, const std::string& v) {
        d.put(field, Value(add ? joined(d.get(field).as_string(), v) : v));
    };
    put("I3_03", amount("IDENIZA"));
    put("I4_05", amount("VALOUTRE"));
    text("I4_05D", words("OUTROSEXC"));
    const double daily = amount("DIARIAS"), other = amount("VALOUTRO");
    if (daily != 0 && other != 0) {
        put("I3_12", daily + other);
        text("I3_12D", "DIARIAS " + words("OUTROS"));
    } else if (daily != 0) {
        put("I3_12", daily);
        text("I3_12D", "DIARIAS E AJUDA DE CUSTO");
    } else if (other != 0) {
        put("I3_12", other);
        text("I3_12D", words("OUTROS"));
    }
    d.commit();
}

// The CPF's payment of a code gets the amount, or a new payment is added.
void payment(const std::string& cpf, int code, double value) {
    if (value <= 0) return;
    std::uint32_t recno = 0;
    for_each_row(6, cpf, [&](tb::Table& t) {
        if (!recno && t.get("I6_3").as_number() == code) recno = t.recno();
    });
    tb::Table& t = recno ? table(6) : new_row(6, cpf);
    if (recno) {
        t.go_to(recno);
    } else {
        t.put("I6_1", Value(words("COMPLENTA")));
        t.put("I6_3", Value(code));
    }
    t.put("I6_4", Value(value));
    t.commit();
}

}  // namespace

void GRAVA_VALOR(std::string_view mode) {
    const std::string cpf = rt::RTRIM(statement().get("CPF").as_string());
    income_row(cpf);
    if (mode != "N") declaration_lines(cpf, mode == "A");
    payment(cpf, 12, amount("PENSAOPAG"));
    payment(cpf, 14, amount("PREVPRIVA"));
}

}  // namespace qv::converter
