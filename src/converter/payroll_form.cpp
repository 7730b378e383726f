// One payroll statement typed in, laid out as the printed statement.
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/messages.hpp"
#include "converter/payroll_posting.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

constexpr const char* kAmount = "@Ez 999,999,999.99";
constexpr int kAmountCol = 60;

struct Entry {
    const char* field;
    int row, col;
    const char* picture;
};

// The statement's entry fields in reading order.
const std::vector<Entry>& entries() {
    static const std::vector<Entry> list{
        {"NOMEFONTE", 2, 10, "@!"},        {"CNPJFONTE", 2, 61, "@!"},       {"NOMECONTR", 4, 10, "@!"},
        {"RENDIMENT", 6, kAmountCol, kAmount}, {"PREVOFICA", 7, kAmountCol, kAmount}, {"PREVPRIVA", 8, kAmountCol, kAmount},
        {"PENSAOPAG", 9, kAmountCol, kAmount}, {"IRRETIDO", 10, kAmountCol, kAmount}, {"ISENTOAPO", 12, kAmountCol, kAmount},
        {"DIARIAS", 13, kAmountCol, kAmount},  {"PENSAOREC", 14, kAmountCol, kAmount}, {"LUCRODIV", 15, kAmountCol, kAmount},
        {"SOCIO", 16, kAmountCol, kAmount},    {"IDENIZA", 17, kAmountCol, kAmount},  {"OUTROS", 18, 15, "@!"},
        {"VALOUTRO", 18, kAmountCol, kAmount}, {"DECIMO3RO", 20, kAmountCol, kAmount}, {"OUTROSEXC", 21, 15, "@!"},
        {"VALOUTRE", 21, kAmountCol, kAmount}, {"COMPLENTA", 23, 8, "@!"}};
    return list;
}

void paint() {
    rt::CLS();
    const std::pair<int, const char*> lines[] = {
        {1, "(1) FONTE PAGADORA PESSOA JURÍDICA OU FÍSICA"},
        {2, "Empresa:                                              CNPJ:"},
        {3, "(2) PESSOA FÍSICA BENEFICIÁRIA DOS RENDIMENTOS"},
        {4, "Nome:                                                       CPF:"},
        {5, "(3) RENDIMENTOS TRIBUTÁVEIS, DEDUÇÕES E IMPOSTO NA FONTE"},
        {6, "01. Total dos rendimentos (inclusive férias)"},
        {7, "02. Contribuição previdenciária oficial"},
        {8, "03. Previdência privada e FAPI"},
        {9, "04. Pensão alimentícia"},
        {10, "05. Imposto retido na fonte"},
        {11, "(4) RENDIMENTOS ISENTOS E NAO TRIBUTÁVEIS"},
        {12, "01. Parcela isenta de aposentadoria"},
        {13, "02. Diárias e ajudas de custo"},
        {14, "03. Pensão e proventos de aposentadoria"},
        {15, "04. Lucros e dividendos"},
        {16, "05. Pagos ao titular ou sócio de micro ou pequena empresa"},
        {17, "06. Indenizações por rescisão do contrato de trabalho"},
        {18, "07. Outros:"},
        {19, "(5) RENDIMENTOS SUJEITOS A TRIBUTAÇAO EXCLUSIVA"},
        {20, "01. Décimo terceiro salário"},
        {21, "02. Outros:"},
        {22, "(6) INFORMAÇÕES COMPLEMENTARES"},
        {23, "01."}};
    for (const auto& [row, text] : lines) rt::at_say(row, 1, rt::utf8_to_cp850(text));
}

std::string var(const char* field) { return std::string("M->") + field; }

// What the form holds while the next CPF is asked: after a statement is
// stored, the payer kept for the next one.
void show_held() {
    for (const Entry& e : entries())
        rt::at_say(e.row, e.col, rt::TRANSFORM(rt::variables().get(e.field), e.picture));
}

// Every field of the statement as a variable of its own name: from the
// current row, or blank values of the right width.
void load(tb::Table* row) {
    tb::Table& s = tables::ws().current(kPayroll);
    for (const auto& f : s.fields()) {
        if (f.name == "IMPRE") continue;
        Value v = row ? s.get(f.name) : (f.type == 'N' ? Value(0.0) : Value(std::string(f.len, ' ')));
        rt::variables().set(f.name, v);
    }
}

void blank_except(std::initializer_list<const char*> kept) {
    tb::Table& s = tables::ws().current(kPayroll);
    for (const auto& f : s.fields()) {
        bool keep = f.name == "IMPRE";
        for (const char* k : kept) keep = keep || f.name == k;
        if (!keep) rt::variables().set(f.name, f.type == 'N' ? Value(0.0) : Value(std::string(f.len, ' ')));
    }
}

// Reads the form until it is left with Esc or PgDn and the answer is
// "S" (true) or "A" (false: leave the statements).
enum class Answer { Store, Leave };

Answer read_statement() {
    while (true) {
        for (const Entry& e : entries()) {
            auto& g = rt::at_get(e.row, e.col, var(e.field), e.picture);
            if (std::string_view(e.field) == "CNPJFONTE") g.valid([] { return CPFCNPJ("M->CNPJFONTE"); });
        }
        rt::READ();
        const int k = rt::LASTKEY();
        if (k != rt::key::ESC && k != rt::key::PGDN) continue;
        common::MENS(0, "Confirma os dados? ");
        const int answer = rt::INKEY(-1);
        common::MENS();
        if (answer == 'S' || answer == 's') return Answer::Store;
        if (answer == 'A' || answer == 'a') return Answer::Leave;
    }
}

}  // namespace

bool CPFCNPJ(std::string_view variable) {
    const std::string name = rt::VarStore::normalize(variable);
    const Value current = rt::variables().exists(name) ? rt::variables().get(name) : Value(std::string());
    const std::string typed = current.as_string();
    if (!common::CPFCGC(typed)) return false;
    if (!rt::ALLTRIM(typed).empty())
        rt::variables().set(name, Value(rt::PADR(common::CONTAPONTO(common::TIRA_PONTO(typed)), typed.size())));
    return true;
}

void GRAVA_DADO(std::string_view other) {
    tb::Table& s = tables::ws().current(kPayroll);
    tables::ws().select(kPayroll);
    const std::string cpf = rt::variables().get("CPF").as_string();
    s.set_order(1);
    const bool overwrite = other == "N" && s.seek(Value(cpf));
    if (overwrite ? !tables::REC_LOCK(2) : !tables::ADD_REC(2)) return;
    for (const auto& f : s.fields())
        if (f.name != "IMPRE") s.put(f.name, rt::variables().get(f.name));
    s.commit();
    s.unlock();
}

void PEGACOM() {
    tb::Table& s = tables::ws().current(kPayroll);
    load(nullptr);
    const std::string saved = rt::SAVESCREEN();
    while (true) {
        paint();
        show_held();
        rt::variables().set("CPF", Value(std::string(11, ' ')));
        rt::at_get(4, 66, "M->CPF", "@R 999.999.999-99").valid([] {
            return common::VAL_CPF(rt::variables().get("CPF").as_string());
        });
        if (!rt::READ() || rt::ALLTRIM(rt::variables().get("CPF").as_string()).empty()) break;
        const std::string cpf = rt::variables().get("CPF").as_string();
        std::string other = "N";
        s.set_order(1);
        if (s.seek(Value(cpf))) {
            other = common::AVISOSN("CPF já existente! Outra fonte de Renda? (S/N)"_cp, 2).as_string();
            if (other == "N") {
                load(&s);
            } else {
                blank_except({"NOMECONTR"});
                s.seek(Value(cpf));
                rt::variables().set("NOMECONTR", s.get("NOMECONTR"));
            }
            rt::variables().set("CPF", Value(cpf));
        }
        rt::at_say(4, 66, rt::TRANSFORM(Value(cpf), "@R 999.999.999-99"));
        if (read_statement() == Answer::Leave) break;
        GRAVA_DADO(other);
        blank_except({"NOMEFONTE", "CNPJFONTE"});
    }
    rt::RESTSCREEN(0, 0, rt::SCREEN_ROWS - 1, rt::SCREEN_COLS - 1, saved);
}

}  // namespace qv::converter
