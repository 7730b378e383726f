// The rural activity's lists: properties, assets, debts and the cash book.
#include "common/globals.hpp"
#include "declaration/grids/grid_actions.hpp"
#include "declaration/grids/grid_columns.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

GridDescription rural(int code, int area) {
    GridDescription d;
    d.code = code;
    d.area = area;
    d.stamp_cpf = true;
    d.stamp_rural = true;
    return d;
}

// Properties; abroad the result columns are computed from the others.
GridDescription properties() {
    GridDescription d = rural(34, 36);
    const bool brazil = vars::yes(vars::ATV_BRASIL);
    GridColumn code{"Cod", "I2R_07", "@z 99"};
    code.hook = replaces("VAL_COD", {Value(1)});
    GridColumn share{"% Part", "I2R_04", "@Z 999.99"};
    share.hook = accepts("VAL_PART");
    GridColumn condition{"Cond", "I2R_05", "@z 9"};
    condition.hook = replaces("VAL_COD", {Value(3)});
    d.columns = {code,
                 share,
                 condition,
                 {"Nome do Imóvel"_cp, "I2R_01", "@s54", "substr(I2R_01,1,18)"},
                 {"Local do Imóvel"_cp, "I2R_06", "@S35", "substr(I2R_06,1,18)"},
                 {"Area (ha)", "I2R_02", "@ez 999,999.9"}};
    d.top = 3, d.left = 0, d.right = 78;
    d.rural_footer = 1;
    if (brazil) {
        d.columns.push_back({"Nro.R.Fed", "I2R_03", "@r 9999999.9"});
        d.columns.push_back(amount("Valor ITR", "VALITR", 0, kBigAmount));
        d.ult_pos = 8;
        d.bottom = 22;
        return d;
    }
    GridColumn country{"País"_cp, "CODPAIS", "@s3"};
    country.hook = accepts("TES_PAIS", {rt::Value(3)});
    d.columns.push_back(country);
    const std::pair<const char*, const char*> results[] = {
        {"Rec.moeda País", "RECEXT"}, {"Des.moeda País", "DESEXT"}, {"Valor US$", "VALUSE"},
        {"Resultado US$", "RESUS"},   {"Opc.20% em US$", "OPC20US"}, {"Opc.20% em R$ ", "OPC20RS"}};
    for (const auto& [heading, field] : results) {
        GridColumn c = amount(rt::utf8_to_cp850(heading), field, 0,
                              std::string_view(field) == "VALUSE" ? "@EZ 99,999.99" : kBigAmount);
        const int position = static_cast<int>(d.columns.size()) + 1;
        c.hook = replaces("CALUCRO", {Value(position)});
        if (position > 10) c = refusing(c, "Os valores aqui são calculados. Não se pode editar."_cp);
        d.columns.push_back(c);
    }
    d.ult_pos = 13;
    d.bottom = 19;
    d.before = [] {
        run_named("SOMAREC", {Value(1)});
        return true;
    };
    d.after = runs("SOMAREC", {Value(1)});
    return d;
}

GridDescription rural_assets() {
    GridDescription d = rural(35, 37);
    d.item_field = "ITEM";
    d.order_field = "I8R_0";
    GridColumn code{"Cd", "CODIGO", "@EZ 99"};
    code.hook = accepts("TES_COD", {rt::Value(35)});
    d.columns = {{"It.", "ITEM", "@EZ 999"},
                 {"Discriminação, Data de Aquisição e Venda   "_cp, "I8R_1", "@S71", "substr(I8R_1,1,53)"},
                 code,
                 amount("Valor R$  ", "I8R_2")};
    d.columns[1].description = true;
    if (vars::yes(vars::ATV_BRASIL)) {
        GridColumn situation{"St", "I8R_4", "@Z 9"};
        situation.hook = accepts("TES_SIT", {rt::Value(35)});
        d.columns.push_back(situation);
    } else {
        GridColumn country{"Pais", "I8R_3", "@S3"};
        country.hook = accepts("TES_PAIS", {rt::Value(4)});
        d.columns.push_back(country);
    }
    d.columns.push_back({"Linha", "I8R_0", "@EZ 9999"});
    d.ult_pos = 5;
    d.top = 2, d.left = 1, d.bottom = 21, d.right = 79;
    d.rural_footer = 5;
    return d;
}

GridDescription rural_debts() {
    const YearHeadings years = year_headings();
    GridDescription d = rural(36, 38);
    d.item_field = "ITEM";
    d.order_field = "I9R_0";
    d.columns = {{"It.", "ITEM", "@EZ 99"},
                 {"DISCRIMINACAO              ", "I9R_1", "@S71", "substr(I9R_1,1,42)"},
                 amount(years.start, "I9R_2", 0, kBigAmount),
                 amount(years.assets_end, "I9R_3", 0, kBigAmount),
                 {"Lin", "I9R_0", "@Z 9999"}};
    d.columns[1].description = true;
    for (std::size_t i = 2; i < d.columns.size(); ++i) d.columns[i].after_write = runs("SOMA_DIV", {Value(1)});
    d.ult_pos = 4;
    d.top = 2, d.left = 0, d.bottom = 20, d.right = 78;
    d.rural_footer = 6;
    return d;
}

// The cash book of receipts ("C") or expenses ("D"); mode 1 is the book
// opened from a situation check, which keeps its filter for the caller.
GridDescription cash_book(int mode) {
    GridDescription d = rural(38, 39);
    const common::Global kind{"TIPOCR"};
    const bool receipts = kind.text("C") == "C";
    d.natural_order = true;
    d.filter = "TIPOCR==m->tipocr";
    d.stamps = {{"TIPOCR", receipts ? "C" : "D"}};
    d.columns = {{"Data", "DT_LC", "@D"},
                 {std::string("Descrição "_cp) + (receipts ? "da Receita" : "da Despesa ou Custeio"), "DESCR", "@S44"},
                 amount("Valor ", "VALOR", 0, kBigAmount),
                 {receipts ? "Nro.Imov" : "N.Imo", "NROIMO", "@Z 99"}};
    if (!receipts) d.columns.push_back({"ITR", "TEMITR", "@!"});
    d.ult_pos = receipts ? 4 : 5;
    d.top = 5, d.left = 1, d.bottom = 18, d.right = 79;
    d.window = 2;
    d.rural_footer = 14;
    d.before = [] {
        run_named("SOMA_RUR", {Value(2)});
        return true;
    };
    if (mode == 1) {
        d.keep_filter = true;
        d.after = [] {
            put_back_subtotal_line();
            run_named("SOMA_RUR", {Value(2)});
            tables::ws().select(37);
        };
    } else {
        d.after = [] {
            put_back_subtotal_line();
            run_named("MRODAPER", {Value(2)});
        };
    }
    return d;
}

}  // namespace

std::optional<GridDescription> rural_grid(int code, int mode) {
    switch (code) {
        case 34: return properties();
        case 35: return rural_assets();
        case 36: return rural_debts();
        case 38: return cash_book(mode);
        default: return std::nullopt;
    }
}

}  // namespace qv::declaration::grids
