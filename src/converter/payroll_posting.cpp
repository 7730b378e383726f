#include "converter/payroll_posting.hpp"

#include <string>

#include "common/documents.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::Value;

tb::Table& statement() { return tables::ws().current(kPayroll); }
double amount(const char* field) { return statement().get(field).as_number(); }
std::string words(const char* field) { return rt::ALLTRIM(statement().get(field).as_string()); }

// The payer's income row of kind "J" (by CNPJ, with or without its
// separators), overwritten or added; the taxpayer's other income rows stay.
void income_row(const std::string& cpf) {
    const std::string cnpj = rt::RTRIM(statement().get("CNPJFONTE").as_string());
    const std::string digits = common::TIRA_PONTO(cnpj);
    std::uint32_t recno = 0;
    for_each_row(2, cpf, [&](tb::Table& t) {
        if (!recno && t.get("I1_1").as_string() == "J" && common::TIRA_PONTO(t.get("I1_3").as_string()) == digits)
            recno = t.recno();
    });
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

// A blank addition leaves the text as it was: no separator without a word.
std::string joined(const std::string& old, const std::string& added) {
    const std::string kept = rt::ALLTRIM(old);
    if (added.empty()) return old;
    return kept.empty() ? added : kept + "/" + added;
}

void declaration_lines(const std::string& cpf, std::string_view mode, PostingRun& run) {
    tb::Table& d = table(1);
    d.set_order(1);
    if (!d.seek(Value(cpf))) new_row(1, cpf);
    std::set<std::string>& replaced = run.replaced[cpf];
    // True when the line takes the statement's amount on top of what it has.
    const auto adds = [&](const char* line) { return mode == "A" || !replaced.insert(line).second; };
    const auto post = [&](const char* field, const char* text_field, double v, const std::string& words) {
        const bool add = adds(field);
        d.put(field, Value(add ? d.get(field).as_number() + v : v));
        d.put(text_field, Value(add ? joined(d.get(text_field).as_string(), words) : words));
    };
    const double indemnity = amount("IDENIZA");
    d.put("I3_03", Value(adds("I3_03") ? d.get("I3_03").as_number() + indemnity : indemnity));
    post("I4_05", "I4_05D", amount("VALOUTRE"), words("OUTROSEXC"));
    const double daily = amount("DIARIAS"), other = amount("VALOUTRO");
    if (daily != 0 && other != 0) post("I3_12", "I3_12D", daily + other, "DIARIAS " + words("OUTROS"));
    else if (daily != 0) post("I3_12", "I3_12D", daily, "DIARIAS E AJUDA DE CUSTO");
    else if (other != 0) post("I3_12", "I3_12D", other, words("OUTROS"));
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
    PostingRun alone;
    post_statement(mode, alone);
}

void post_statement(std::string_view mode, PostingRun& run) {
    const std::string cpf = rt::RTRIM(statement().get("CPF").as_string());
    income_row(cpf);
    if (mode == "A" || mode == "S") declaration_lines(cpf, mode, run);
    payment(cpf, 12, amount("PENSAOPAG"));
    payment(cpf, 14, amount("PREVPRIVA"));
}

bool cpf_digits_right(std::string_view cpf) {
    const std::string digits = common::TIRA_PONTO(cpf);
    return digits.size() == 11 && common::cpf_check_digits(digits) == digits.substr(9);
}

}  // namespace qv::converter
