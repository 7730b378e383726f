#include "printing/income_statement.hpp"

#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kPayrollArea = 63;
constexpr int kAmountCol = 60;

double field(rt::table::Table& t, const char* name) {
    return t.field_index(name) >= 0 ? t.get(name).as_number() : 0.0;
}
std::string field_text(rt::table::Table& t, const char* name) {
    return t.field_index(name) >= 0 ? rt::TRIM(t.get(name).as_string()) : std::string();
}

struct Item {
    const char* label;
    const char* field;
};

void section(rt::table::Table& t, const char* title, std::initializer_list<Item> items) {
    separator();
    line(0, title);
    for (const Item& i : items) {
        put(0, i.label);
        line(kAmountCol, shown(field(t, i.field)));
    }
}

void statement(rt::table::Table& t) {
    if (QLIN() > 0) new_page();
    MUDAIMP(0);
    separator();
    put(0, "MINISTERIO DA FAZENDA");
    line(42, "COMPROVANTE DE RENDIMENTOS PAGOS E DE");
    put(0, "SECRETARIA DA RECEITA FEDERAL");
    line(42, "RETENCAO DE IMPOSTO DE RENDA NA FONTE");
    line(42, "Ano-calendario de 2011");
    separator();
    line(0, "1. FONTE PAGADORA PESSOA JURIDICA OU PESSOA FISICA");
    line(0, "   Nome empresarial/Nome completo: " + field_text(t, "NOMEFONTE"));
    line(0, "   CNPJ/CPF: " + field_text(t, "CNPJFONTE"));
    separator();
    line(0, "2. PESSOA FISICA BENEFICIARIA DOS RENDIMENTOS");
    line(0, "   CPF: " + rt::TRANSFORM(rt::Value(field_text(t, "CPF")), kCpfPicture));
    line(0, "   Nome completo: " + field_text(t, "NOMECONTR"));
    line(0, "   NATUREZA DO RENDIMENTO: Rendimento do trabalho assalariado");
    section(t, "3. RENDIMENTO TRIBUTAVEIS, DEDUCOES E IMPOSTO RETIDO NA FONTE",
            {{"01. Total dos rendimentos (inclusive ferias)", "RENDIMENT"},
             {"02. Contribuicao previdenciaria oficial", "PREVOFICA"},
             {"03. Contribuicao a previdencia privada", "PREVPRIVA"},
             {"04. Pensao alimenticia", "PENSAOPAG"},
             {"05. Imposto de renda retido", "IRRETIDO"}});
    section(t, "4. RENDIMENTO ISENTOS E NAO TRIBUTAVEIS",
            {{"01. Parcela isenta dos proventos de aposentadoria", "ISENTOAPO"},
             {"02. Diarias e ajudas de custo", "DIARIAS"},
             {"03. Pensao e proventos por molestia grave", "PENSAOREC"},
             {"04. Lucro e dividendo", "LUCRODIV"},
             {"05. Valores pagos ao titular ou socio", "SOCIO"},
             {"06. Indenizacoes por rescisao de contrato", "IDENIZA"},
             {"07. Outros", "VALOUTRO"}});
    section(t, "5. RENDIMENTO SUJEITOS A TRIBUTACAO EXCLUSIVA",
            {{"01. Decimo terceiro salario", "DECIMO3RO"}, {"02. Outros", "VALOUTRE"}});
    separator();
    line(0, "6. INFORMACOES COMPLEMENTARES");
    line(0, "01. " + field_text(t, "COMPLENTA"));
    separator();
    line(0, "7. RESPONSAVEL PELAS INFORMACOES");
    put(0, "Nome: " + text("CNOMERES"));
    put(45, "Data: " + rt::DTOC(rt::DATE()));
    line(62, "Assinatura");
    line(62, "__________________");
    separator();
}

}  // namespace

void FAZ_COMPROV() {
    const std::string file = Global{"ARQDEF"}.text() + "FOLHAPG.DBF";
    if (!rt::table::file_exists(tables::os_name(file))) {
        common::AVISOSN(std::vector<std::string>{"Não foi criado ainda o Arquivo nesta Pasta!"_cp,
                                                 "Para criá-lo vá em conversão/comprovante."_cp});
        return;
    }
    auto& ws = tables::ws();
    const int previous = ws.selected();
    const bool was_open = ws.table(kPayrollArea) != nullptr;
    if (!was_open && !tables::ABERTURA(kPayrollArea)) {
        ws.select(previous);
        return;
    }
    rt::table::Table& t = *ws.table(kPayrollArea);
    const std::string cpf = rt::ALLTRIM(text("CPF"));
    for (t.go_top(); !t.eof() && !PAREIMP(); t.skip(1)) {
        if (t.deleted() || rt::ALLTRIM(t.get("CPF").as_string()) != cpf) continue;
        statement(t);
    }
    if (!was_open) ws.close(kPayrollArea);
    ws.select(previous);
}

}  // namespace qv::printing
