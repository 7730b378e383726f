#include "declaration/grids/matrix_modes.hpp"

#include <array>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/entry/income_frames.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr int kIncomeArea = 22;
constexpr int kInverseMode = 4;
constexpr int kSheetFooter = 12;

const common::Global kCalAuto{"CAL_AUTO"};
const common::Global kSoRec{"SO_REC"};

const std::array<CarneLeaoMode, 4>& modes() {
    static const std::array<CarneLeaoMode, 4> all{{
        {"1)INDIVIDUAL  ",
         {"Essa é a opção ideal para o preenchimento da    "_cp, "declaração. Deve ser usada principalmente quando "_cp,
          "houver mais de uma pessoa física como pagadora.  "_cp}},
        {"2)SO OS TOTAIS",
         {"Esse modo deve ser usado APENAS para um cálculo rápido do Carnê Leão. "_cp,
          "Na coluna Dep+Pre+Pen deverá ser informado a soma desses valores "_cp,
          "usando 150,69 ate marco e 157,47 depois por dependente, mais a pensao se ",
          "houver e o valor do carnê do INSS. Para que o valor da previdência "_cp,
          "seja transferido para o calculo final na tela 7 deve ser digitado o ",
          "total no campo reservado Totais INSS. O valor da pensão tem que ser "_cp,
          "tambem informado mês a mês nos pagamentos efetuados."_cp}},
        {"3)LIVRO CAIXA ",
         {"Essa é a opção ideal para o preenchimento de declarações de "_cp,
          "profisionais liberais . Deve ser usada principalmente quando ",
          "houver a necessidade de fazer um livro caixa de verdade.   "}},
        {"4)CALC.INVERSO",
         {"Essa opção faz a conta ao inverso. Informado o valor do imposto "_cp,
          "Dependentes/Previd/Pensão e/ou livro caixa é calculado o valor  "_cp,
          "do rendimento. Uma vêz calculado recomenda-se mudar a opção    "_cp}},
    }};
    return all;
}

bool logical(const common::Global& g) { return g.value().is_logical() && g.value().as_bool(); }

void recompute() { call_named("CALC", {Value(1), Value(1)}); }

// The lists opened from the sheet end with the sheet's own help topics,
// window and footer again.
void back_to_sheet(int opc, int column) {
    common::Global{"TELA_ATUAL"}.set(Value(2));
    Value topics = Value::array();
    for (const char* t : {"", "RENPF", "RENEXT", "LCAIXA", "DEPREVPEN", "LEOPAG", "LEODEV"})
        topics.as_array()->push_back(Value(t));
    common::Global{"TABCPOIN2"}.set(topics);
    common::FECHAJAN(4);
    common::Global{"OPC"}.set(Value(opc));
    common::Global{"POSHORMAT"}.set(Value(column));
}

}  // namespace

const CarneLeaoMode& carne_leao_mode(int n) { return modes()[static_cast<std::size_t>((n >= 1 && n <= 4 ? n : 1) - 1)]; }

void show_next_carne_leao_mode() {
    const int next = kCalAuto.integer(1) % 4 + 1;
    kCalAuto.set(Value(next));
    if (next == kInverseMode) recompute();
    const CarneLeaoMode& m = carne_leao_mode(next);
    // The title replaces the filling the frame named; the key line above
    // it stays, and the footer follows the new mode.
    show_fill_mode(m.title);
    MRODAPE(kSheetFooter);
    common::AVISOSN(m.explanation);
}

void flip_carne_leao_carried() {
    const bool only_paid = !logical(kSoRec);
    kSoRec.set(Value(only_paid));
    // Each notice is laid out in four lines of the box.
    common::MensArgs box;
    box.row = 10;
    box.col = Value("C");
    box.lines = 4;
    if (only_paid)
        common::MENS(1, "  ATENÇÃO! O valor total do Carnê Leão a ser transportado para a tela 7 será apenas o VALOR "
                        "INFORMADO COMO PAGO.    Um valor para menor será detectado pela Receita que poderáemitir a "
                        "cobrança posterior dessa diferença c/correções. "_cp,
                     box);
    else
        common::MENS(1, " ATENÇAO! O valor total do carnê Leão a ser transportado   para a tela 7 será a SOMA DOS "
                        "MAIORES VALORES encontrados  entre o valor informado como pago e o valor devido.        Uma "
                        "diferença para menor deve ser emitido DARF desse valor"_cp,
                     box);
    recompute();
    rt::at_say(6, 66, only_paid ? "*" : " ");
    rt::at_say(6, 78, only_paid ? " " : "*");
}

void open_month_rows(int col, int mode) {
    const int opc = common::Global{"OPC"}.integer(16);
    const bool cash_book = tables::ws().selected() == kIncomeArea && !logical(common::Global{"LEAO_CAL"}) && mode == 3;
    if (col <= 4) EDITA(cash_book ? 18 : 17);
    else EDITA(24);
    back_to_sheet(opc, col);
}

void open_rural_cash_book(int row, int col) {
    const int opc = common::Global{"OPC"}.integer(37);
    common::Global{"MESATI"}.set(Value(row));
    EDITA(38);
    common::FECHAJAN(4);
    common::Global{"OPC"}.set(Value(opc));
    common::Global{"PONTEIRO"}.set(Value(col));
    call_named("SOMA_RUR", {Value(2)});
    call_named("FX_RT", {Value("Rend_Rural"), Value(row), Value(col)});
    call_named("MARCA_NEG");
}

}  // namespace qv::declaration::grids
