// Section rendaVariavel: the monthly stock-market statement, a grid of 28
// lines by common operations and day trade per month, and the investment
// funds' six lines.
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "transfer/section_writers.hpp"
#include "transfer/xml_sections.hpp"
#include "transfer/xml_writer.hpp"

namespace qv::transfer {
namespace {

namespace dc = qv::declaration;

constexpr int kGainsArea = 27;
constexpr int kLines = 28;
constexpr int kFundLines = 6;
constexpr const char* kFundMonths[] = {"jan", "fev", "mar", "abr", "mai", "jun",
                                       "jul", "ago", "set", "out", "nov", "dez"};

// One line of the statement: where it goes and its twelve months.
struct StatementLine {
    int line = 0;
    int column = 0;   // 1 common, 2 day trade, 3 funds
    std::array<double, 12> month{};
};

// The statement's lines that have a place in the grids; others are left
// out (the grid has no cell for them).
std::vector<StatementLine> statement_lines() {
    std::vector<StatementLine> lines;
    dc::for_each_row(kGainsArea, [&](rt::table::Table& t) {
        if (field_amount(t, "TIPO_BEM") != 4) return;
        StatementLine s;
        s.line = static_cast<int>(field_amount(t, "RVAR_NRO"));
        const std::string kind = rt::ALLTRIM(t.get("DAY_TRADE").as_string());
        s.column = kind == "1" ? 1 : kind == "2" ? 2 : kind == "3" ? 3 : 0;
        const int last = s.column == 3 ? kFundLines : kLines;
        if (s.column == 0 || s.line < 1 || s.line > last) return;
        for (int m = 1; m <= 12; ++m) s.month[m - 1] = field_amount(t, "REC_MES" + rt::STRZERO(m, 2));
        lines.push_back(s);
    });
    return lines;
}

class MonthGrid {
public:
    // Two stored rows of one line and kind (an import gives some lines
    // twice) add up in their cell.
    MonthGrid(const std::vector<StatementLine>& lines, int month, bool funds) {
        for (const auto& s : lines) {
            if ((s.column == 3) != funds) continue;
            cells_[s.line - 1][funds ? 0 : s.column - 1] += s.month[month - 1];
        }
    }
    double at(int line, int column) const { return cells_[line - 1][column - 1]; }

private:
    std::array<std::array<double, 2>, kLines> cells_{};
};

void write_operations(XmlWriter& w, const MonthGrid& g, int c) {
    const bool day_trade = c == 2;
    w.open(day_trade ? "operacoesDayTrade" : "operacoesComuns");
    w.text("aliquotaDoImposto", day_trade ? "20%" : "15%");
    w.amount("baseCalculoImposto", g.at(16, c));
    w.amount("impostoDevido", g.at(day_trade ? 19 : 18, c));
    w.amount("mercadoFuturoDolar", g.at(8, c));
    w.amount("mercadoFuturoIndices", g.at(9, c));
    w.amount("mercadoFuturoJuros", g.at(10, c));
    w.amount("mercadoFuturoOutros", g.at(11, c));
    w.amount("mercadoOpcoesAcoes", g.at(4, c));
    w.amount("mercadoOpcoesForaDeBolsa", g.at(6, c));
    w.amount("mercadoOpcoesOuro", g.at(5, c));
    w.amount("mercadoOpcoesOutros", g.at(7, c));
    w.amount("mercadoTermoAcoes", g.at(12, c));
    w.amount("mercadoTermoOutros", g.at(13, c));
    w.amount("mercadoVistaAcoes", g.at(1, c));
    w.amount("mercadoVistaForaBolsa", g.at(3, c));
    w.amount("mercadoVistaOuro", g.at(2, c));
    w.amount("prejuizoCompensar", -g.at(17, c));
    w.amount("resultadoLiquidoMes", g.at(14, c));
    w.amount("resultadoNegativoMesAnterior", -g.at(15, c), Close::Empty);
}

void write_month(XmlWriter& w, const MonthGrid& g, int month, const std::string& ccpf) {
    const std::string element = month_element(month, true);
    const double due = g.at(27, 1);
    w.open(element);
    w.amount("impostoApagar", g.at(18, 1));
    w.amount("impostoPago", g.at(28, 1));
    w.amount("impostoRetidoFonteLei11033", g.at(24, 1));
    w.amount("impostoRetidoFonteLei11033MesesAnteriores", g.at(25, 1));
    w.amount("impostoRetidoFonteLei11033MesesCompensar", g.at(26, 1));
    w.amount("irFonteDayTradeAcompensar", g.at(23, 2));
    w.amount("irFonteDayTradeMesAtual", g.at(21, 2));
    w.amount("irFonteDayTradeMesesAnteriores", g.at(22, 2));
    w.amount("totalImpostoDevido", due, Close::Start);
    write_operations(w, g, 1);
    write_operations(w, g, 2);
    w.open("colecaoItemImpostoPagar");
    w.text("tipoItens", "serpro.ppgd.irpf.rendavariavel.ItemImpostoPagar");
    w.amount("total", due, Close::Start);
    if (due != 0) {
        w.open("item");
        w.text("cpf", ccpf);
        w.text("tipo", "T");
        w.amount("valor", due, Close::Empty);
    }
    w.end("colecaoItemImpostoPagar");
    w.end(element);
}

void write_funds(XmlWriter& w, const std::vector<StatementLine>& lines) {
    w.open_bare("fundInvest");
    for (int m = 1; m <= 12; ++m) {
        const MonthGrid g(lines, m, true);
        w.open(kFundMonths[m - 1]);
        w.text("aliquotaImposto", "20%");
        w.amount("baseCalcImposto", g.at(3, 1));
        w.amount("impostoDevido", g.at(5, 1));
        w.amount("impostoPago", g.at(6, 1));
        w.amount("prejuizoCompensar", g.at(4, 1));
        w.amount("resultLiquidoMes", g.at(1, 1));
        w.amount("resultNegativoAnterior", std::fabs(g.at(2, 1)), Close::Empty);
    }
    w.end("fundInvest");
}

}  // namespace

void write_variable_income(XmlWriter& w) {
    const std::vector<StatementLine> lines = statement_lines();
    const std::string ccpf = cpf_text(dc::text("CPF"));
    w.open("rendaVariavel");
    for (const char* total : {"totalBaseCalculo", "totalIRFonteDayTrade", "totalImpostoPago",
                              "totalImpostoPagoComFundInvest"})
        w.amount(total, 0);
    w.amount("totalImpostoRetidoFonteLei11033", 0, Close::Start);
    for (int m = 1; m <= 12; ++m) {
        write_month(w, MonthGrid(lines, m, false), m, ccpf);
        w.flush();
    }
    write_funds(w, lines);
    w.end("rendaVariavel");
}

void write_foreign_currency(XmlWriter& w) {
    struct Collection {
        const char* element;
        const char* items;
    };
    constexpr Collection kCollections[] = {
        {"rendAuferidosReais", "serpro.ppgd.irpf.moedaestrangeira.rendreais.ItemDadosRendReais"},
        {"rendAuferidosMoedaEstrangeira", "serpro.ppgd.irpf.moedaestrangeira.rendme.ItemDadosRendME"},
        {"rendAuferidosReaisMoedaEstrangeira", "serpro.ppgd.irpf.moedaestrangeira.rendreaisme.ItemDadosRendReaisME"},
        {"especie", "serpro.ppgd.irpf.moedaestrangeira.especie.ItemDadosEspecie"},
        {"colecaoDadoConsolidadoGeral", "serpro.ppgd.irpf.moedaestrangeira.DadoConsolidadoGeral"}};
    w.open("moedaEstrangeira");
    w.text("totalImpostoPagoSobreGanhosCapital", "0,00", Close::Start);
    for (const auto& c : kCollections) {
        w.open(c.element);
        w.text("tipoItens", c.items, Close::Empty);
    }
    w.end("moedaEstrangeira");
}

}  // namespace qv::transfer
