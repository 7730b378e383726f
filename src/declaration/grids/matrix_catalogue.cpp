#include "declaration/grids/matrix_catalogue.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/entry/footers.hpp"
#include "declaration/entry/mtela1_frames.hpp"
#include "declaration/loop/declaration_variables.hpp"
#include "runtime/core/cp850.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr const char* kSmall = "@Ez 9999,999.99";
constexpr const char* kLarge = "@Ez 999,999,999.99";
constexpr int kPaymentsArea = 26;
constexpr int kDomesticEmployeeCode = 50;

// The month-by-month grid has no window of its own: it opens inside the
// value search box, which gives the screen under it back when it closes.
class ValueSearchBox {
public:
    ValueSearchBox() { MTELA1(dialog::kValueSearch); }
    ~ValueSearchBox() { common::FECHAJAN(mtela1_frame(dialog::kValueSearch)->window); }
    ValueSearchBox(const ValueSearchBox&) = delete;
    ValueSearchBox& operator=(const ValueSearchBox&) = delete;
};

MatrixGrid grid_of(int code, std::string matrix) {
    MatrixGrid g;
    g.code = code;
    g.matrix = std::move(matrix);
    return g;
}

bool domestic_employee_payment() {
    if (tables::ws().selected() != kPaymentsArea) return false;
    rt::table::Table* t = tables::ws().table(kPaymentsArea);
    return t && !t->eof() && common::number_of(t->get("I6_3")) == kDomesticEmployeeCode;
}

MatrixGrid month_breakdown() {
    MatrixGrid g = grid_of(7, "CALC_MENS");
    const bool gps = domestic_employee_payment();
    g.columns = {{" Mês "_cp, "@s10", ""},
                 {gps ? "   GPS  " : "  REAL  ", kSmall, "CALCUFIR"},
                 {gps ? " Patronal" : "  DOLAR  ", kSmall, "CALCUFIR"}};
    g.top = 5, g.left = 10, g.bottom = 21, g.right = 42;
    g.store_picture = kSmall;
    return g;
}

MatrixGrid instalments() {
    MatrixGrid g = grid_of(12, "REC_GANHO");
    const bool credited = common::Global{"TIPO_BEM"}.integer() == 3 && common::Global{"TIPOPART"}.integer() == 1;
    g.columns = {{"Val.Tributável"_cp, kLarge, ""}, {"Imposto devido", kLarge, ""},
                 {credited ? "Mês Recebim"_cp : "Mês Recebim."_cp, "@s10", ""}, {"Val. Recebido", kLarge, ""}};
    if (credited) g.columns.insert(g.columns.end(), {{"I.Lei 11.033", kLarge, ""}, {"Imp.Pago", kLarge, ""}});
    else g.columns.push_back({"Imposto Pago", kLarge, ""});
    g.top = 2, g.left = 2, g.bottom = 18, g.right = credited ? 78 : 75;
    g.window = 6;
    g.freeze = 3;
    g.store_picture = kLarge;
    return g;
}

MatrixGrid variable_income() {
    const common::Global day_trade{"DAY_TRADE"};
    if (day_trade.text().find_first_not_of(' ') == std::string::npos) day_trade.set(Value("1"));
    const std::string kind = day_trade.text("1");
    const bool funds = kind == "3";
    MatrixGrid g = grid_of(14, funds ? "MRENFIN" : "MRENVAR");
    g.columns.push_back({kind == "3"   ? "Fundo investimento mobiliario  "
                         : kind == "2" ? "Mercado/Ativo em Oper. DayTrade"
                                       : "Mercado/Ativo em Operacao Comum",
                         "@s31", "MESRVAR"});
    for (const char* month : {"Janeiro  ", "Fevereiro", "Março", "Abril", "Maio", "Junho", "Julho", "Agosto",
                              "Setembro", "Outubro", "Novembro", "Dezembro"})
        g.columns.push_back({rt::utf8_to_cp850(month), kLarge, "MESRVAR"});
    g.top = 2, g.left = 1, g.bottom = funds ? 11 : 23, g.right = 78;
    g.window = 6;
    g.store_picture = kLarge;
    return g;
}

MatrixGrid carne_leao_sheet() {
    const std::string name = common::Global{"MATATU"}.text();
    MatrixGrid g = grid_of(16, name.empty() ? "rec_mensal" : name);
    const bool only_paid = common::Global{"SO_REC"}.value().is_logical() && common::Global{"SO_REC"}.value().as_bool();
    const bool dependant = common::Global{"I1_11"}.text("S") == "N";
    g.columns = {{"Mês "_cp, "@s6", ""},
                 {"Pes.Física"_cp, kSmall, "RENPF"},
                 {"Exterior", kSmall, "RENDEXT"},
                 {"Livro Caixa", kSmall, "LCAIXA"},
                 {dependant ? "Previdência"_cp : "Dep+Pre+Pen", kSmall, "DEPREVPEN"},
                 {only_paid ? "Leão Pago*"_cp : "Leão Pago"_cp, kSmall, "LEOPAG"},
                 {only_paid ? "CL.Devido" : "CL.Devido*", kSmall, "LEODEV"},
                 {"CL Corr.", kSmall, "LEOCOR"}};
    g.top = 5, g.left = 0, g.bottom = 22, g.right = 79;
    g.footer = 12;
    g.ult_pos = 6;
    g.store_picture = kSmall;
    return g;
}

MatrixGrid rural_months() {
    MatrixGrid g = grid_of(37, "REND_RURAL");
    g.columns = {{"Valor Receitas", kLarge, "VAL_REC"}, {"Valor Despesas", kLarge, "VAL_DESP"}};
    g.top = 3, g.left = 31, g.bottom = 18, g.right = 61;
    g.freeze = 0;
    g.store_picture = kLarge;
    return g;
}

// The description's headings, pictures and help topics in the variables
// the help key and the screen painter read.
void publish(const MatrixGrid& g) {
    Value headings = Value::array(), pictures = Value::array(), topics = Value::array();
    for (const MatrixColumn& c : g.columns) {
        headings.as_array()->push_back(Value(c.heading));
        pictures.as_array()->push_back(Value(c.picture));
        topics.as_array()->push_back(Value(c.help));
    }
    common::Global{g.code == 7 ? "TAB_DESC1" : "TAB_DESC"}.set(headings);
    common::Global{g.code == 7 ? "TAB_MASC1" : "TAB_MASC"}.set(pictures);
    common::Global{"TABCPOIN2"}.set(topics);
    common::Global{"N_CAM"}.set(Value(static_cast<double>(g.columns.size())));
    common::Global{"OPC"}.set(Value(g.code));
}

}  // namespace

std::optional<MatrixGrid> matrix_grid(int code) {
    switch (code) {
        case 7: return month_breakdown();
        case 12: return instalments();
        case 14: return variable_income();
        case 16: return carne_leao_sheet();
        case 37: return rural_months();
        default: return std::nullopt;
    }
}

bool run_matrix_grid(int code, int start_row) {
    std::optional<MatrixGrid> g = matrix_grid(code);
    if (!g) return false;
    if (code == 7) g->start_row = std::clamp(start_row, 1, 13);
    publish(*g);
    if (g->footer) MRODAPE(g->footer);
    if (code == 37) call_named("MRODAPER", {Value(2)});
    if (g->window) {
        MOSBROW(*g, g->top, g->left, g->bottom, g->right, g->window);
    } else if (code == 7) {
        const ValueSearchBox box;
        MBROWSE(*g, g->top, g->left, g->bottom, g->right);
    } else {
        MBROWSE(*g, g->top, g->left, g->bottom, g->right);
    }
    return true;
}

}  // namespace qv::declaration::grids
