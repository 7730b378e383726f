// Sections 15 and 16: assets and debts, their rows grouped under one code.
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/state.hpp"
#include "transfer/asset_groups.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

using declaration::amount;

// The fields of one list: assets or debts.
struct ListFields {
    int area;
    const char* item;      // item number
    const char* before;    // value of the year before
    const char* now;       // value of the year
    const char* code;
    int default_code;
};

constexpr ListFields kAssets{kAssetsArea, "I7_1", "I7_3", "I7_4", "I7_5", 99};
constexpr ListFields kDebts{kDebtsArea, "I8_1", "I8_3", "I8_4", "I8_5", 16};

std::vector<GroupRow> rows_of(const ListFields& f) {
    std::vector<GroupRow> rows;
    each_row(f.area, [&](rt::table::Table& t) {
        rows.push_back({t.recno(), static_cast<int>(field_amount(t, f.item)), static_cast<int>(field_amount(t, f.code)),
                        field_amount(t, f.before) != 0 || field_amount(t, f.now) != 0});
    });
    return rows;
}

int last_item_number(const std::vector<GroupRow>& rows) {
    int last = 0;
    for (const GroupRow& r : rows)
        if (r.item != 0) last = r.item;
    return last;
}

// Visits the rows of the list with their group's code, each positioned.
void each_grouped_row(const ListFields& f, const std::vector<GroupRow>& rows,
                      const std::function<void(rt::table::Table&, int)>& visit) {
    rt::table::Table* t = declaration::work_table(f.area);
    if (!t) return;
    auto& ws = tables::ws();
    const rt::table::Workspace::Selected keep(ws, f.area);
    const std::uint32_t position = t->recno();
    for (const GroupedRow& g : group_rows(rows, f.default_code)) {
        t->go_to(g.recno);
        visit(*t, g.code);
    }
    if (position >= 1 && position <= t->lastrec()) t->go_to(position);
}

void inventory_shares(XmlWriter& w, rt::table::Table& asset) {
    w.open("participacoesInventario");
    w.text("tipoItens", "serpro.ppgd.irpf.bens.ItemPercentualParticipacaoInvetario");
    if (!declaration::is("DECFINAL", 'S')) {
        w.number("totalPercentual", 0, NumberCode::Whole, Close::Empty);
        return;
    }
    const double reference = field_amount(asset, "I7_6");
    double total = 0;
    each_row(kHeirSharesArea, [&](rt::table::Table& t) {
        if (field_amount(t, "REFEREN") == reference) total += field_amount(t, "PERCENT");
    });
    w.number("totalPercentual", total, NumberCode::Whole, Close::Start);
    if (total > 0) {
        each_row(kHeirSharesArea, [&](rt::table::Table& t) {
            if (field_amount(t, "REFEREN") != reference) return;
            w.open("item");
            w.text("ni", field_text(t, "CPFHERDE"));
            w.translit("nome", field_text(t, "NOMEDEPEN"));
            w.amount("percentual", field_amount(t, "PERCENT"), Close::Empty);
        });
    }
    w.end("participacoesInventario");
}

void asset_item(XmlWriter& w, rt::table::Table& t, int code) {
    const bool abroad = rt::UPPER(field_text(t, "I7_7")) == "S";
    w.open("item");
    w.amount("areaTotal", field_amount(t, "AREAIMO"));
    w.translit("bairro", field_text(t, "BAIRIMO"));
    w.text("cep", field_text(t, "CEPIMO"));
    w.text("cidade", "");
    w.text("codigo", rt::STRZERO(code, 2));
    w.translit("complemento", field_text(t, "COMPIMO"));
    w.translit("discriminacao", field_text(t, "I7_2"));
    w.text("indice", "");
    w.translit("logradouro", field_text(t, "ENDEIMO"));
    w.translit("matricula", field_text(t, "MATRICU"));
    w.text("municipio", field_text(t, "CODMIMO"));
    w.translit("nomeCartorio", field_text(t, "CARTORIO"));
    w.translit("nomeMunicipio", field_text(t, "MUNICIMO"));
    w.text("nomePais", abroad ? "" : "Brasil");
    w.text("numero", field_text(t, "NUMIMO"));
    w.text("pais", abroad ? field_text(t, "I7_8") : std::string("105"));
    w.text("registrado", rt::UPPER(field_text(t, "REGISTRO")) == "S" ? "1" : "0");
    w.translit("registro", field_text(t, "LIVRORG"));
    w.text("uf", field_text(t, "UFIMO"));
    w.text("unidade", rt::UPPER(field_text(t, "UNIDADE")) == "S" ? "0" : "1");
    w.amount("valorExercicioAnterior", field_amount(t, "I7_3"));
    w.amount("valorExercicioAtual", field_amount(t, "I7_4"), Close::Start);
    inventory_shares(w, t);
    w.end("item");
}

bool described(rt::table::Table& t, std::string_view field) { return !rt::ALLTRIM(field_text(t, field)).empty(); }

}  // namespace

void write_bens(Generation& g) {
    XmlWriter& w = g.out;
    const std::vector<GroupRow> rows = rows_of(kAssets);
    w.open("bens");
    w.text("tipoItens", "serpro.ppgd.irpf.bens.Bem");
    w.amount("totalExercicioAnterior", amount("I13_39"));
    w.amount("totalExercicioAtual", amount("I13_40"));
    w.number("ultimoIndiceGerado", last_item_number(rows), NumberCode::Digits, Close::Start);
    each_grouped_row(kAssets, rows, [&](rt::table::Table& t, int code) {
        if (described(t, "I7_2")) asset_item(w, t, code);
        w.flush();
    });
    w.end("bens");
}

void write_dividas(Generation& g) {
    XmlWriter& w = g.out;
    const std::vector<GroupRow> rows = rows_of(kDebts);
    w.open("dividas");
    w.text("tipoItens", "serpro.ppgd.irpf.dividas.Divida");
    w.amount("totalExercicioAnterior", amount("I13_41"));
    w.amount("totalExercicioAtual", amount("I13_42"));
    w.number("ultimoIndiceGerado", last_item_number(rows), NumberCode::Digits, Close::Start);
    each_grouped_row(kDebts, rows, [&](rt::table::Table& t, int code) {
        if (!described(t, "I8_2")) return;
        w.open("item");
        w.text("codigo", rt::STRZERO(code, 2));
        w.translit("discriminacao", field_text(t, "I8_2"));
        w.amount("valorExercicioAnterior", field_amount(t, "I8_3"));
        w.amount("valorExercicioAtual", field_amount(t, "I8_4"), Close::Empty);
    });
    w.end("dividas");
    w.flush();
}

}  // namespace qv::transfer
