// Section atividadeRural: the activity in Brazil and abroad, each from the
// rural work copies standing on that activity.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "runtime/core/cp850.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/table/workspace.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "transfer/code_lookup.hpp"
#include "transfer/rural_results.hpp"
#include "transfer/saved_activities.hpp"
#include "transfer/section_writers.hpp"
#include "transfer/xml_sections.hpp"
#include "transfer/xml_writer.hpp"

namespace qv::transfer {
namespace {

namespace dc = qv::declaration;
using Table = rt::table::Table;
using rt::operator""_cp;

constexpr int kSummaryTable = 15;
constexpr int kPropertiesTable = 16;
constexpr int kAssetsTable = 17;
constexpr int kDebtsTable = 18;

// Where the rows of the activity being written are read: the work copies
// (and the declaration's variables) of the activity the declaration stands
// on, or the saved tables of the client folder for the other activity.
struct RuralSource {
    bool work_copies = true;
    std::string activity;      // "S" or "N", the activity being written
    std::vector<int> opened;   // saved tables opened for the activity
    int area(int table) const { return work_copies ? declaration::work_area(table) : table; }
};
RuralSource g_source;

int summary_area() { return g_source.area(kSummaryTable); }
int properties_area() { return g_source.area(kPropertiesTable); }
int assets_area() { return g_source.area(kAssetsTable); }
int debts_area() { return g_source.area(kDebtsTable); }

struct Herd {
    const char* element;
    const char* letter;
};
constexpr std::array<Herd, 5> kHerds{{{"bovinos", "B"}, {"suinos", "S"}, {"caprinos", "C"}, {"asininos", "A"},
                                     {"outros", "V1"}}};

// What differs between the two activities.
struct Activity {
    bool brazil;
    const char* properties_class;
    const char* assets_class;
};
constexpr Activity kBrazil{true, "serpro.ppgd.irpf.atividaderural.brasil.ImovelARBrasil",
                           "serpro.ppgd.irpf.atividaderural.BemAR"};
constexpr Activity kAbroad{false, "serpro.ppgd.irpf.atividaderural.ImovelAR",
                           "serpro.ppgd.irpf.atividaderural.exterior.BemARExterior"};
constexpr const char* kDebtsClass = "serpro.ppgd.irpf.atividaderural.DividaAR";
constexpr const char* kRevenueClass = "serpro.ppgd.irpf.atividaderural.exterior.ReceitaDespesa";

std::string field_text(Table& t, const char* name) { return rt::ALLTRIM(t.get(name).as_string()); }

// A value of the activity: its result as worked out before the file was
// written, else the declaration's variable, else the summary row (on which
// the summary area stands while the activity is written).
double activity_value(const std::string& name) {
    if (const auto result = rural_result(g_source.activity, name)) return *result;
    if (g_source.work_copies && common::Global(name).exists()) return dc::amount(name);
    Table* t = dc::work_table(summary_area());
    return t == nullptr || t->eof() ? 0.0 : field_amount(*t, name);
}

std::string month_field(int month, const char* suffix) {
    return "I3_" + rt::STRZERO(month, 2) + suffix;
}

// Opens saved tables of the client folder not open yet, except those known
// to hold no row of `key` (read as empty: their area stays closed); false
// when one cannot be opened.
bool open_saved(std::initializer_list<int> codes, const std::string& key) {
    const int selected = tables::ws().selected();
    bool open = true;
    for (int table : codes) {
        if (tables::ws().table(table) != nullptr) continue;
        if (!saved_rows_may_exist(table, key)) continue;
        if (tables::ABERTURA(table)) g_source.opened.push_back(table);
        else open = false;
    }
    tables::ws().select(selected);
    return open;
}

// True when the declaration was loaded only to be transferred (menus 63 to
// 65): its work copies are closed right after, unchanged.
bool loaded_only_to_transfer() {
    const int id = common::Global("OPCAO_1").integer(0);
    return id >= 63 && id <= 65;
}

// Makes the rural work copies stand on the wanted activity ("S" or "N");
// when the declaration cannot switch, or was loaded only to be transferred
// (switching would save the unchanged rows of one activity and load the
// other's, which the saved tables hold as they are), the activity is read
// from the saved tables of the client folder instead. False when neither
// holds it.
bool stand_on(std::string_view wanted) {
    g_source = RuralSource{};
    const std::string now = dc::text("ATV_BRASIL");
    if (now == wanted) return true;
    if (!loaded_only_to_transfer()) {
        dc::set_value("ATV_ANTES", rt::Value(now));
        dc::set_value("ATV_BRASIL", rt::Value(std::string(wanted)));
        dc::call_if_present("MUDA_ATV", {rt::Value(std::string(wanted)), rt::Value(now)});
        if (dc::text("ATV_BRASIL") == wanted) return true;
    }
    g_source.work_copies = false;
    // Most taxpayers have one activity only: the other is not looked for
    // in a table known not to hold it.
    const std::string key = rt::PADR(dc::text("CPF"), 11) + std::string(wanted);
    return saved_rows_may_exist(kSummaryTable, key) && open_saved({kSummaryTable}, key);
}

// Visits the rows of a rural table that belong to the activity: a seek in
// the saved tables (and work copies) ordered on the activity's key.
void for_activity_rows(int area, const std::string& key, const std::function<void(Table&)>& visit) {
    each_row_of(
        area, "CPF+ATV_BRASIL", key,
        [&key](Table& t) { return rt::PADR(t.get("CPF").as_string(), 11) + field_text(t, "ATV_BRASIL") == key; },
        visit);
}

bool has_rows(int area, const std::string& key) {
    bool any = false;
    for_activity_rows(area, key, [&](Table&) { any = true; });
    return any;
}

// Puts the summary area on the activity's row; false when it has none.
bool find_summary(const std::string& key) {
    std::uint32_t row = 0;
    for_activity_rows(summary_area(), key, [&](Table& t) {
        if (row == 0) row = t.recno();
    });
    Table* t = dc::work_table(summary_area());
    if (row == 0 || t == nullptr) return false;
    t->go_to(row);
    return true;
}

void write_properties(XmlWriter& w, const Activity& a, const std::string& key) {
    w.open("identificacaoImovel");
    w.text("tipoItens", a.properties_class, Close::Start);
    for_activity_rows(properties_area(), key, [&](Table& t) {
        if (field_text(t, "I2R_01").empty()) return;
        w.open("item");
        w.text("nirf", field_text(t, "I2R_03"));
        w.number("codigo", field_amount(t, "I2R_07"), NumberCode::Whole);
        w.translit("nome", field_text(t, "I2R_01"));
        w.translit("localizacao", field_text(t, "I2R_06"));
        w.number("area", field_amount(t, "I2R_02"), NumberCode::OneDecimal);
        w.amount("participacao", field_amount(t, "I2R_04"));
        w.number("condicaoExploracao", field_amount(t, "I2R_05"), NumberCode::Whole, Close::Empty);
    });
    w.end("identificacaoImovel");
}

void write_months(XmlWriter& w, bool padded, bool zeros) {
    for (int m = 1; m <= 12; ++m) {
        w.open(month_element(m, padded));
        w.amount("despesaCusteioInvestimento", zeros ? 0 : activity_value(month_field(m, "OD")));
        w.amount("receitaBrutaMensal", zeros ? 0 : activity_value(month_field(m, "OR")), Close::Empty);
    }
}

void write_revenue(XmlWriter& w, const Activity& a, const std::string& key) {
    w.open("receitasDespesas");
    if (a.brazil) {
        w.amount("totalDespesas", activity_value("I4R_02"));
        w.amount("totalReceita", activity_value("I4R_01"), Close::Start);
        write_months(w, true, false);
        w.end("receitasDespesas");
        return;
    }
    double first_revenue = 0;
    bool first = true;
    for_activity_rows(properties_area(), key, [&](Table& t) {
        if (first) first_revenue = field_amount(t, "RECEXT");
        first = false;
    });
    w.text("tipoItens", kRevenueClass);
    w.amount("totais", first_revenue, Close::Start);
    for_activity_rows(properties_area(), key, [&](Table& t) {
        const double revenue = field_amount(t, "RECEXT");
        const double expense = field_amount(t, "DESEXT");
        w.open("item");
        w.translit("descricaoPais", country_name(field_text(t, "CODPAIS")));
        w.amount("despesaCusteio", expense);
        w.text("pais", field_text(t, "CODPAIS"));
        w.amount("receitaBruta", revenue);
        w.amount("resultadoIMoedaOriginal", revenue - expense);
        w.amount("resultadoI_EmDolar", field_amount(t, "RESUS"), Close::Empty);
    });
    w.end("receitasDespesas");
}

// `value` gives each figure (zero for the empty form).
void write_result(XmlWriter& w, bool brazil, const std::function<double(const char*)>& value) {
    const double taxable = value("I4R_07");
    w.open("apuracaoResultado");
    if (brazil) w.amount("despesaCusteio", value("I4R_02"));
    w.amount("opcaoArbitramento", value("I4R_06"));
    w.amount("prejuizoCompensar", value("I5_08"));
    w.amount("prejuizoExercicioAnterior", value("I4R_04"));
    if (brazil) w.amount("receitaBrutaTotal", value("I4R_01"));
    w.amount("receitaRecebidaContaVenda", value("I5_09"));
    w.amount("resultadoAposCompensacaoPrejuizo", value("I4R_05"));
    if (brazil) {
        w.amount("resultadoI", value("I4R_03"));
    } else {
        w.amount("resultadoI_EmDolar", value("I4R_02"));
        w.amount("resultadoI_EmReais", value("I4R_03"));
    }
    w.amount("resultadoNaoTributavel", value("I6_10"));
    w.amount("resultadoTributavel", taxable > 0 ? taxable : 0);
    w.amount("valorAdiantamento", value("I5_10"), Close::Empty);
}

void write_herd(XmlWriter& w, bool zeros) {
    w.open_bare("movimentacaoRebanho");
    int n = 0;
    for (const auto& h : kHerds) {
        const auto herd = [&](int k) {
            return zeros ? 0.0 : activity_value("I7_" + std::to_string(k) + h.letter);
        };
        const double final_stock = herd(1) + herd(2) + herd(3) - herd(4) - herd(5);
        if (!zeros) dc::set_amount("I7_X" + std::to_string(++n), final_stock);
        w.open(h.element);
        w.amount("aquisicoesAno", herd(2));
        w.amount("consumo", herd(4));
        w.amount("estoqueFinal", final_stock);
        w.amount("estoqueInicial", herd(1));
        w.amount("nascidosAno", herd(3));
        w.amount("vendas", herd(5), Close::Empty);
    }
    w.end("movimentacaoRebanho");
}

void write_assets(XmlWriter& w, const Activity& a, const std::string& key) {
    w.open("bens");
    w.text("tipoItens", a.assets_class, Close::Start);
    for_activity_rows(assets_area(), key, [&](Table& t) {
        if (field_text(t, "I8R_1").empty()) return;
        const double code = field_amount(t, "CODIGO");
        w.open("item");
        w.translit("codigo", code == 0 ? "99" : rt::STRZERO(code, 2));
        if (!a.brazil) w.translit("descricaoPais", country_name(field_text(t, "I8R_3")));
        w.translit("discriminacao", field_text(t, "I8R_1"));
        if (!a.brazil) w.text("pais", field_text(t, "I8R_3"));
        w.amount("valor", field_amount(t, "I8R_2"), Close::Empty);
        if (w.buffer().size() > 1000) w.flush();
    });
    w.end("bens");
}

void write_debts(XmlWriter& w, const std::string& key) {
    w.open("dividas");
    w.text("tipoItens", kDebtsClass, Close::Start);
    for_activity_rows(debts_area(), key, [&](Table& t) {
        if (field_text(t, "I9R_1").empty()) return;
        w.open("item");
        w.amount("contraidasAteExercicioAnterior", field_amount(t, "I9R_2"));
        w.amount("contraidasAteExercicioAtual", field_amount(t, "I9R_3"));
        w.translit("discriminacao", field_text(t, "I9R_1"));
        w.amount("efetivamentePagas", field_amount(t, "I9R_4"), Close::Empty);
    });
    w.end("dividas");
}

void write_empty_form(XmlWriter& w, const Activity& a) {
    w.open("identificacaoImovel");
    w.text("tipoItens", a.properties_class, Close::Empty);
    w.open("receitasDespesas");
    if (a.brazil) {
        w.amount("totalDespesas", 0);
        w.amount("totalReceita", 0, Close::Start);
        write_months(w, false, true);
        w.end("receitasDespesas");
    } else {
        w.text("tipoItens", kRevenueClass);
        w.amount("totais", 0, Close::Empty);
    }
    write_result(w, a.brazil, [](const char*) { return 0.0; });
    write_herd(w, true);
    w.open("bens");
    w.text("tipoItens", a.assets_class, Close::Empty);
    w.open("dividas");
    w.text("tipoItens", kDebtsClass, Close::Empty);
}

void write_activity(XmlWriter& w, const Activity& a, bool has_activity) {
    const char* element = a.brazil ? "brasil" : "exterior";
    w.open_bare(element);
    const bool standing = has_activity && stand_on(a.brazil ? "S" : "N");
    g_source.activity = a.brazil ? "S" : "N";
    const std::string key = rt::PADR(dc::text("CPF"), 11) + (a.brazil ? "S" : "N");
    const bool found = standing && find_summary(key) &&
                       (g_source.work_copies || open_saved({kPropertiesTable, kAssetsTable, kDebtsTable}, key));
    if (!found) {
        write_empty_form(w, a);
    } else if (!has_rows(properties_area(), key)) {
        if (a.brazil) common::AVISOSN("Sem um imovel rural nao é possível fazer a Atividade Rural"_cp);
        write_empty_form(w, a);
    } else {
        write_properties(w, a, key);
        write_revenue(w, a, key);
        write_result(w, a.brazil, [](const char* name) { return activity_value(name); });
        write_herd(w, false);
        write_assets(w, a, key);
        write_debts(w, key);
    }
    w.end(element);
    w.flush();
    for (int table : g_source.opened) tables::ws().close(table);
    g_source = RuralSource{};
}

}  // namespace

void write_rural_activity(XmlWriter& w) {
    const bool has_activity = dc::is("TEMRURAL", 'S');
    w.open_bare("atividadeRural");
    write_activity(w, kBrazil, has_activity);
    write_activity(w, kAbroad, has_activity);
    w.end("atividadeRural");
}

}  // namespace qv::transfer
