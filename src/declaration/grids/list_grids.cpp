// The lists beside the declaration's pages: capital-gain cost lots, notes,
// savings income, asset upkeep, heirs' shares and the saved payees and
// descriptions.
#include <algorithm>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/grids/grid_columns.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/grids/savings_lines.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/table/table.hpp"
#include "runtime/core/functions.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

GridDescription in_window(int code, int area, int ult_pos, int top, int left, int bottom, int right) {
    GridDescription d;
    d.code = code;
    d.area = area;
    d.ult_pos = ult_pos;
    d.top = top, d.left = left, d.bottom = bottom, d.right = right;
    d.window = 6;
    return d;
}

// Cost lots of the capital gain being edited, by kind of asset.
GridDescription cost_lots() {
    const int kind = common::Global{"TIPO_BEM"}.integer(1);
    GridDescription d = in_window(10, 28, 1, 2, 0, 11, 79);
    d.filter = "bem_nro == m->bem_nro .AND. TIPO_BEM<4";
    d.stamp_cpf = true;
    // A new lot or movement comes after the gain's others, in the order the
    // parcels are read and sent.
    d.stamp = [](rt::table::Table& t) {
        const double gain = common::Global{"BEM_NRO"}.number();
        double last = -1;
        const std::uint32_t here = t.recno();
        for (std::uint32_t r = 1; r <= t.lastrec(); ++r) {
            if (r == here) continue;
            t.go_to(r);
            if (!t.deleted() && t.get("BEM_NRO").as_number() == gain) last = std::max(last, t.get("RVAR_NRO").as_number());
        }
        t.go_to(here);
        t.put("BEM_NRO", Value(gain));
        t.put("RVAR_NRO", Value(last + 1));
    };
    const auto recalculated = [&d](GridColumn c) {
        c.after_write = runs("FCALGAN", {Value(10)});
        d.columns.push_back(std::move(c));
    };
    if (kind == 1) {
        recalculated({"%Custo", "PER_CUST", "@!", "substr(str(PER_CUST,8,4),1,6)"});
        recalculated({"%Red", "PER_RED", "@z 999"});
        recalculated({"FR 1", "PER_RED1", "@Z 99.99", "PER_RED1*100"});
        recalculated({"FR 2", "PER_RED2", "@Z 99.99", "PER_RED2*100"});
        recalculated(amount("Passível red"_cp, "CUST_UNI"));
        recalculated(amount("Valor Redução"_cp, "VALOR_REDU"));
        recalculated({"Data ", "DATA_CUST", "@D"});
        recalculated(amount("Custo ", "VALOR_CUST"));
        d.ult_pos = 8;
        d.freeze = 6;
        d.status = "Após qualquer mudança - volte e recalcule todas linhas"_cp;
    } else if (kind == 2) {
        recalculated(amount("Valor da Parcela", "VALOR_CUST", 0, kBigAmount));
        d.left = 25, d.right = 44;
    } else {
        const std::pair<GridColumn, int> shares[] = {
            {{"C.M.Pond.", "CM_PONDER", "@ez 9999.999999"}, 1}, {{"Espécie"_cp, "LOTE", "@s17"}, 2},
            {{"Tipo", "TIPO_ACAO", "@Z9"}, 3},                  {{"Mov.", "TIPO_OPER", "@Z9"}, 4},
            {{"Data", "DATA_CUST", "@d"}, 5},                    {{"Qtd.Ação"_cp, "MOV_ACAO", "@Ez 99,999,999"}, 6},
            {amount("Custo Total", "VALOR_CUST"), 7}};
        for (auto [c, position] : shares) {
            c.hook = [position](Value& v) { return accepts("VER_GAN", {rt::Value(position)})(v); };
            // A sale has no cost of its own: the cell is not opened.
            if (position == 7) {
                c.when = [] {
                    rt::table::Table* t = tables::ws().table(28);
                    if (!t || t->eof() || t->get("TIPO_OPER").as_number() != 3) return true;
                    common::MENS(1, "No movimento 3 = venda nao coloque valor no Custo");
                    return false;
                };
            }
            // Once the value is in its row: the kind's name becomes the
            // lot's, and the running quantities and costs are worked out
            // again with it.
            c.after_write = [position] {
                rt::table::Table* t = tables::ws().table(28);
                if (position == 3 && t && !t->eof()) run_named("VER_GAN", {t->get("TIPO_ACAO"), rt::Value(3)});
                run_named("FCALGAN", {Value(10)});
            };
            d.columns.push_back(std::move(c));
        }
        d.ult_pos = 7;
        d.freeze = 2;
        d.top = 14, d.left = 2, d.bottom = 22, d.right = 79;
    }
    return d;
}

// Notes and check results; where they sit follows the declaration item.
GridDescription notes(int mode) {
    GridDescription d = in_window(11, 31, 1, 1, 17, 16, 78);
    d.natural_order = true;
    d.stamp_cpf = true;
    d.columns = {{"           Notas e observações"_cp, "OBSERV", "@s60"}};
    if (common::Global{"OPCAO_1"}.integer() == 11) {
        d.left = 9, d.right = 70;
        if (mode == 0) d.top = 7, d.bottom = 22, d.window = 0;
        else d.top = 2, d.bottom = 16;
    }
    return d;
}

GridDescription savings() {
    GridDescription d = in_window(13, 34, 7, 1, 3, 10, 75);
    d.stamp_cpf = true;
    d.footing_sep = true;
    d.columns = {{"Fonte do Rendimento", "DESCRICAO", "@S26"}};
    for (const auto& [heading, field] : {std::pair{"Poupança", "POUPANCA"}, {"Aplicações", "APLICACAO"},
                                         {"Prejuizo", "PREJU"}, {"Outros Isento", "OUTNT"},
                                         {"Outros Tribu.", "OUTTR"}, {"Outros Depen.", "OUTDP"}})
        d.columns.push_back(amount(rt::utf8_to_cp850(heading), field, 0, kBigAmount));
    d.before = [] {
        prepare_savings_lines();
        return rt::call_as_bool("FCALPOUPA", {Value(1)});
    };
    d.footings = savings_footings;
    return d;
}

GridDescription upkeep() {
    GridDescription d = in_window(15, 30, 3, 8, 10, 19, 73);
    d.window = 0;
    d.stamp_cpf = true;
    d.columns = {{"Descricao bem", "DESCRITEM", "@s25"},
                 {"Tipo", "DESCDESP", "@S25"},
                 amount("V.Mensal ", "VALODESP", 0, "@EZ 999,999.99")};
    d.before = [] {
        MTELA5(6);
        if (rt::table::Table* t = tables::ws().table(30); t && t->lastrec() == 0) run_named("BUSCA_DESP");
        return true;
    };
    d.after = [] { common::FECHAJAN(4); };
    return d;
}

// The heirs' shares of one asset: the window grows with the heirs, up to
// line 19.
GridDescription heirs_shares(int heirs) {
    GridDescription d = in_window(21, 40, 3, 5, 9, std::min(8 + heirs, 19), 60);
    d.stamp_cpf = true;
    d.columns = {{"Nome Completo", "NOMEDEPEN", "@S41"}, {"Perct.", "PERCENT", "@Z999.99"}};
    return d;
}

GridDescription saved_payees() {
    GridDescription d = in_window(30, 53, 3, 3, 2, 14, 77);
    d.footer = 19;
    GridColumn code{"Cod.", "CODIGO", "@Z 99"};
    code.hook = accepts("TES_COD", {rt::Value(30)});
    d.columns = {{"Descrição"_cp, "NOME", "@S50"}, {"CPF/CNPJ", "CGCCPF", "@S18", {}, CellCheck::Document}, code};
    return d;
}

GridDescription saved_descriptions() {
    GridDescription d = in_window(31, 52, 2, 3, 4, 14, 66);
    d.footer = 19;
    d.columns = {{"Descrição"_cp, "DESCRICAO", "@S55"}, {"Cod.", "CODIGO", "@Z 999"}};
    return d;
}

}  // namespace

std::optional<GridDescription> list_grid(int code, int mode) {
    switch (code) {
        case 10: return cost_lots();
        case 11: return notes(mode);
        case 13: return savings();
        case 15: return upkeep();
        case 21: return heirs_shares(mode);
        case 30: return saved_payees();
        case 31: return saved_descriptions();
        default: return std::nullopt;
    }
}

}  // namespace qv::declaration::grids
