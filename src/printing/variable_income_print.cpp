#include "printing/variable_income_print.hpp"

#include <array>

#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "printing/page_layout.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/text.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kGains = 27;
constexpr int kLines = 28;
constexpr int kPageEnd = 50;
constexpr int kCommonCol = 40;
constexpr int kDayTradeCol = 60;

// value[month][line][column]: column 0 common operations, 1 day trade,
// 2 real-estate funds.
using Values = std::array<std::array<std::array<double, 3>, kLines + 1>, 13>;

struct Statement {
    Values values{};
    bool stock = false;
    bool funds = false;
};

Statement read_statement() {
    Statement s;
    for_stored_rows(kGains, [&](rt::table::Table& t) {
        if (field_number(t, "TIPO_BEM") != 4) return;
        const std::string column = field_text(t, "DAY_TRADE");
        const int line_nro = static_cast<int>(field_number(t, "RVAR_NRO"));
        if (line_nro < 1 || line_nro > kLines || (column != "1" && column != "2" && column != "3")) return;
        const std::size_t c = std::size_t(column[0] - '1');
        (c == 2 ? s.funds : s.stock) = true;
        for (int m = 1; m <= 12; ++m)
            s.values[std::size_t(m)][std::size_t(line_nro)][c] = field_number(t, "REC_MES" + rt::STRZERO(m, 2));
    });
    return s;
}

Statement& statement() {
    static Statement s;
    return s;
}

constexpr const char* kBothColumns[] = {
    "Mercado a Vista - Acoes              ", "Mercado a Vista - Ouro               ",
    "M.Vista Ouro,Ativo Fin. fora de bolsa", "Mercado de Opcoes - Acoes            ",
    "Mercado de Opcoes - Ouro             ", "Mercado de Opcoes, fora de bolsa     ",
    "Mercado de Opcoes - Outros           ", "Mercado Futuro - Dolar do EUA        ",
    "Mercado Futuro - Indices             ", "Mercado Futuro - Juros               ",
    "Mercado Futuro - Outros              ", "Mercado a Termo - Acoes/Ouro         ",
    "Mercado a Termo - Outros             ", "Resultado Liquido no Mes             ",
    "Resultado negativo ate o mes anterior", "Base de calculo do imposto           ",
    "Prejuizo a compensar                 "};
constexpr const char* kConsolidation[] = {
    "Total do Imposto devido              ", "IR fonte de day trade do mes         ",
    "IR fonte de day trade mes anterior   ", "IR fonte de day trade a compensar    ",
    "IR Lei 11.033/2004 no mes            ", "IR Lei 11.033/2004 outros meses      ",
    "IR Lei 11.033/2004 a compensar       ", "Imposto a pagar                      ",
    "Imposto pago                         "};
constexpr const char* kFundLines[] = {"Valor do Investimento       ", "Resultado negativo ate o mes",
                                      "BASE DE CALCULO             ", "Prejuizo a compensar        ",
                                      "Imposto                (20%)", "Imposto Pago                "};

double value(int month, int line_nro, int column) {
    return statement().values[std::size_t(month)][std::size_t(line_nro)][std::size_t(column)];
}

// A line of the month's consolidation: one value for both kinds of
// operation. A saved statement keeps it under both; one not saved again
// since it was brought in may have it under the day trade alone.
double consolidated(int month, int line_nro) {
    const double common = value(month, line_nro, 0);
    return common != 0 ? common : value(month, line_nro, 1);
}

bool month_has_values(int month) {
    for (int l = 1; l <= kLines; ++l)
        if (value(month, l, 0) != 0 || value(month, l, 1) != 0) return true;
    return false;
}

void stock_page_heading() {
    if (QLIN() > 0) new_page();
    CABEC_PAG(0);
    line(0, "APURACAO DE GANHOS OU PERDAS E DO IMPOSTO NA RENDA VARIAVEL");
}

void month_statement(int month) {
    line(0, "GANHOS LIQUIDOS OU PERDAS EM " + MOSNOME(month, 1));
    if (!month_has_values(month)) {
        line(2, "Sem informacoes");
        return;
    }
    line(0, "TIPO DE MERCADO/ATIVO                     OPERACOES COMUNS   OPERACOES DAY-TRADE");
    for (int l = 1; l <= 17; ++l) {
        put(0, kBothColumns[l - 1]);
        put(kCommonCol - 2, shown(value(month, l, 0)));
        line(kDayTradeCol, shown(value(month, l, 1)));
    }
    put(0, "Aliquota do imposto                  ");
    put(kCommonCol + 12, "15%");
    line(kDayTradeCol + 15, "20%");
    put(0, "Imposto devido                       ");
    put(kCommonCol - 2, shown(value(month, 18, 0)));
    line(kDayTradeCol, shown(value(month, 19, 1)));
    separator();
    line(0, "CONSOLIDACAO DO MES");
    for (int l = 20; l <= kLines; ++l) {
        put(0, kConsolidation[l - 20]);
        line(kCommonCol - 2, shown(consolidated(month, l)));
    }
}

void fund_block(int first_month) {
    if (QLIN() > kPageEnd - 8) {
        new_page();
        CABEC_PAG(0);
    }
    put(0, "MES");
    put(32, MOSNOME(first_month, 1));
    line(52, MOSNOME(first_month + 1, 1));
    for (int l = 1; l <= 6; ++l) {
        put(0, kFundLines[l - 1]);
        put(28, shown(value(first_month, l, 2)));
        line(48, shown(value(first_month + 1, l, 2)));
    }
    skip_lines();
}

}  // namespace

std::string MOSNOME(int month, int kind) {
    const std::string name = rt::TRIM(common::TRAZ_MES(month));
    return kind == 1 ? rt::UPPER(name) : name;
}

void IMP_APURA(int kind) {
    if (kind == 1) {
        bool page_started = false;
        for (int month = 1; month <= 12; ++month) {
            if (month_has_values(month) || !page_started || QLIN() > kPageEnd) {
                stock_page_heading();
                page_started = true;
            }
            month_statement(month);
            skip_lines();
        }
        return;
    }
    if (QLIN() > 0) new_page();
    CABEC_PAG(0);
    line(0, "APURACAO DE GANHOS OU PERDAS E DO IMPOSTO NO FUNDO DE INVESTIMENTO IMOBILIARIO");
    for (int month = 1; month <= 11; month += 2) fund_block(month);
}

void GRV_IMP() {
    statement() = read_statement();
    if (statement().stock) IMP_APURA(1);
    if (statement().funds) IMP_APURA(2);
    if (statement().stock || statement().funds) new_page();
}

}  // namespace qv::printing
