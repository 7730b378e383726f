#include "printing/precheck_advice.hpp"

#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::printing {

double reserve_index(const CashFigures& f) {
    return f.receipts != 0.0 ? (f.receipts - f.outgoings) / f.receipts * 100.0 : 0.0;
}

std::vector<std::string> precheck_advice(const CashFigures& f) {
    const double balance = f.receipts - f.outgoings;
    const double index = reserve_index(f);
    if (index < f.threshold) {
        if (balance > 0.0)
            return {"Atencao. O valor esta inferior aos " + rt::TRANSFORM(rt::Value(f.threshold), "@z 99.99") +
                    "% ,estabelecido."};
        return {"ATENCAO!  ESSA DECLARACAO ESTA COM PROBLEMAS DE CAIXA. VERIFIQUE O MOTIVO",
                "ENTREGA-LA NESSAS CONDICOES PODE CAUSAR-LHE PROBLEMAS FUTUROS."};
    }
    std::vector<std::string> advice;
    if (2.0 * index <= f.threshold) return advice;
    advice.push_back("O valor da reserva de " + rt::TRANSFORM(rt::Value(index), "999.99") +
                     "% da receita esta alto.");
    if (f.keeping_assets > 0.0 && f.personal > 0.0) {
        advice.emplace_back("Use dinheiro em poder do contribuinte. Pode precisar nas proximas declaracoes");
    } else if (f.keeping_assets <= 0.0) {
        if (f.has_property) advice.emplace_back("Recomenda-se lancar as despesas para a manutencao do patrimonio.");
        if (f.personal <= 0.0) advice.emplace_back("Recomenda-se lancar despesas nao declaradas nos gastos pessoais.");
    } else {
        advice.emplace_back("Recomenda-se lancar despesas nao declaradas nos gastos para viver.");
    }
    if (f.medical > 0.25 * f.receipts)
        advice.emplace_back("Despesas medicas c/ % alto. A Receita pode chamar p/mostrar os recibos.");
    return advice;
}

}  // namespace qv::printing
