#include "tables/pick_lists.hpp"

#include <cctype>
#include <functional>
#include <optional>
#include <mutex>
#include <span>
#include <tuple>
#include <vector>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/browse.hpp"
#include "runtime/ui/browse_table.hpp"
#include "runtime/ui/read.hpp"
#include "tables/folders.hpp"
#include "tables/opening.hpp"
#include "tables/register_views.hpp"
#include "tables/state.hpp"

namespace qv::tables {

namespace {

using rt::operator""_cp;
namespace tb = rt::table;

const common::Global kQualHlp{"QUALHLP"}, kTemHlp{"TEMHLP"}, kClArea{"CL_AREA"}, kProg{"PROG"}, kCod{"COD"};

struct ListColumn {
    std::string heading;
    std::string field;
    std::string picture;
    std::function<rt::Value(tb::Table&)> shown{};   // a value worked out from the row instead of the field
};

// One list of the catalogue: the table it browses (0: the selected one),
// the order it starts in, its columns, whether a typed character jumps,
// and what Enter does with the chosen row.
struct PickList {
    int code = 0;
    int order = 1;
    std::vector<ListColumn> columns;
    bool typing = false;
    bool close_after = true;
    std::function<void(tb::Table&, const std::string& field)> enter;
    // The footings of the columns, separated by ";" (empty function: none).
    std::function<std::string(tb::Table&)> footer{};
    // The rows the list shows (empty function: those the table shows).
    std::function<bool(tb::Table&)> rows{};
    // What is drawn again once the list's window is closed after a choice:
    // closing puts back the screen of before the list.
    std::function<void(tb::Table&, const std::string& field)> redraw{};
};

void set_var(std::string_view name, const rt::Value& v) { rt::variables().set(name, v); }

std::string bare(std::string_view field) {
    return field.substr(0, 3) == "M->" ? std::string(field.substr(3)) : std::string(field);
}

// A field of a declaration work table, written under its record lock.
void put_area_field(int area, std::string_view name, const rt::Value& v) {
    tb::Table* t = ws().table(area);
    if (!t || t->eof() || t->field_index(name) < 0) return;
    const int back = ws().selected();
    ws().select(area);
    if (t->rlock()) {
        t->put(name, v);
        t->commit();
        t->unlock();
    }
    ws().select(back);
}

// Enter that copies one column of the row into the field's variable.
auto copy_to_field(std::string column) {
    return [column](tb::Table& t, const std::string& field) { set_var(bare(field), t.get(column)); };
}

PickList code_list(int code, const char* code_head, const char* code_field, const char* text_head,
                   const char* text_field, std::function<void(tb::Table&, const std::string&)> enter) {
    return {code, 1, {{code_head, code_field, ""}, {text_head, text_field, "@S52"}}, false, true, std::move(enter)};
}

struct RegisterCounts {
    long total = 0, simplified = 0, complete = 0, rural = 0;
};
RegisterCounts count_register(tb::Table& t);

// The register list shows, after the taxpayer, what the office tracks: the
// status, the model, the result and the instalments due of each kind.
std::vector<ListColumn> register_columns() {
    const auto status = [](tb::Table& t) { return rt::Value(rt::TRIM(VE_STAT(t.get("ESTATUS"), 3).as_string())); };
    std::vector<ListColumn> c{{"Nome do Contribuinte", "NOMECONTR", "@S30"},
                              {"CPF", "CPF", "@r 999.999.999-99"},
                              {"Descri\x87\xC6o", "ESTATUS", "@S13", status},
                              {"WZK", "TEMRURAL", ""},
                              {"Sim", "USAPADRAO", ""},
                              {"Impo/Rest.", "IMPPGRE", "@E 9999,999.99"},
                              {" % ->", "INDGAS", "@E 999.99"}};
    for (const auto& [count, amount, heading] : {std::tuple{"NRQUOTA", "DFQUOTA", "Quota IR"},
                                                 {"NRCLEAO", "DFCLEAO", "Carn\x88 Leao"},
                                                 {"NRGCAPIT", "DFGCAPIT", "Gan.Capital"},
                                                 {"NRRVARIV", "DFRVARIV", "R.Vari\xA0vel"}}) {
        c.push_back({"Qt", count, "@Z 99"});
        c.push_back({heading, amount, "@E 999,999.99"});
    }
    c.push_back({"Operador", "NOMEAG", "@S22"});
    return c;
}

constexpr int kGainsArea = 27;
constexpr const char* kGainAmount = "@Ez 99,999,999.99";

double gain_tax(tb::Table& t) {
    if (t.field_index("VAL_IMPOS") >= 0) return common::number_of(t.get("VAL_IMPOS"));
    return common::number_of(t.get("VAL_IMPOSV")) + common::number_of(t.get("VAL_IMPOSP"));
}

// The totals line of the gains shown: taxable, exempt and tax.
std::string gains_footer(tb::Table& t, std::size_t leading_columns) {
    double taxable = 0, exempt = 0, tax = 0;
    const std::uint32_t at = t.recno();
    for (t.go_top(); !t.eof(); t.skip()) {
        taxable += common::number_of(t.get("VAL_TRIBU"));
        exempt += common::number_of(t.get("VAL_NAOTRI"));
        tax += gain_tax(t);
    }
    t.go_to(at);
    std::string text = "Totais........";
    for (std::size_t i = 1; i < leading_columns; ++i) text += ";";
    for (const double v : {taxable, exempt, tax}) text += ";" + rt::TRANSFORM(rt::Value(v), kGainAmount);
    return text;
}

std::vector<ListColumn> gain_amount_columns() {
    return {{"Tributado", "VAL_TRIBU", kGainAmount},
            {"Nao Tribu.", "VAL_NAOTRI", kGainAmount},
            {"Imposto", "VAL_IMPOS", kGainAmount, [](tb::Table& t) { return rt::Value(gain_tax(t)); }}};
}

void gain_form(int mode) {
    const rt::Value args[] = {common::Global("TIPO_BEM").value(), rt::Value(mode)};
    rt::call_function("MOSTR_BEM", std::span<const rt::Value>(args, 2));
}

// The capital gains of the kind being entered (the gains page restricts
// the table); Enter opens the highlighted gain.
PickList gains_list() {
    const bool shares = common::Global("TIPO_BEM").integer() == 3;
    PickList l{kGainsArea, 0,
               {{shares ? "Nro." : "Nr", "BEM_NRO", "@Z 99"},
                {"Item", "NRO_ITEM", "@Z 999"},
                {shares ? "Nome da Sociedade" : "Descri\x87\xC6o do Bem", "ESPC_BEM", "@s25"}},
               false, false, [](tb::Table&, const std::string&) { gain_form(1); }};
    for (ListColumn& c : gain_amount_columns()) l.columns.push_back(std::move(c));
    l.footer = [](tb::Table& t) { return gains_footer(t, 3); };
    return l;
}

// The gains behind the exempt line of small sales and single homes.
PickList exempt_gains_list() {
    PickList l{kGainsArea, 0, {{"Nr", "BEM_NRO", "@Z 99"}, {"Descri\x87\xC6o do Bem", "ESPC_BEM", "@s25"}}, false,
               false, [](tb::Table&, const std::string&) {}};
    for (ListColumn& c : gain_amount_columns()) l.columns.push_back(std::move(c));
    l.footer = [](tb::Table& t) { return gains_footer(t, 2); };
    l.rows = [](tb::Table& t) { return common::number_of(t.get("TIPO_BEM")) < 4; };
    return l;
}

bool exempt_gains_declared() {
    double sum = 0;
    for (const char* n : {"I3_04GCPVC", "I3_04UNICC", "I3_04REDUC"}) sum += common::Global(n).number();
    return sum != 0;
}

// The dependants of the declaration, for a dependant's CPF.
PickList dependants_list() {
    return {23, 0, {{"Nome Dependente ", "NOMEDEPEN", "@S40"}, {"CPF", "CPFDEPEN", "@r 999.999.999-99"}}, false,
            false, [](tb::Table& t, const std::string& field) {
                const rt::Value cpf = t.get("CPFDEPEN");
                if (field == "I1_8") {
                    put_area_field(22, "I1_8", cpf);
                } else {
                    set_var("CPFDEPEN", cpf);
                    ws().select(32);
                }
                set_var("M_CPFDEPEN", cpf);
            }};
}

PickList register_list() {
    PickList l{9, 0, register_columns(), true, false,
               [](tb::Table& t, const std::string& field) {
                   const std::string f = bare(field);
                   if (f == "CPF1" || f == "CPF2" || f == "CPFSAC") return set_var(f, t.get("CPF"));
                   if (f == "CPFEMAIL") {
                       set_var("CPFEMAIL", t.get("CPF"));
                       return set_var("CEMAIL_ENV", t.get("EMAIL"));
                   }
                   if (f == "DIRCONJU") {
                       set_var("CPFCONJU", t.get("CPF"));
                       return set_var("DIRCONJU", t.get("DIRCONJU"));
                   }
                   set_var("CPF", t.get("CPF"));
               }};
    l.redraw = [](tb::Table&, const std::string& field) {
        const std::string f = bare(field);
        if (f == "CPF" || f == "NOMECONTR") MOSTR_PAG(2);
    };
    l.footer = [](tb::Table& t) {
        const RegisterCounts n = count_register(t);
        return register_footer(n.total, n.simplified, n.complete, n.rural);
    };
    return l;
}

PickList municipality_list(bool states) {
    PickList l{64, 1, {{states ? "Nome dos Estados" : "Nome dos munic\xA1pios", "NOMEMUNI", ""}}, true, true,
               [](tb::Table& t, const std::string& field) {
                   const std::string f = bare(field);
                   const std::string name = t.get("NOMEMUNI").as_string();
                   const rt::Get* g = rt::current_get();
                   // A state's line ("SP - ...") read for the state gives the state; a
                   // municipality chosen there fills the municipality as from its own field.
                   if (g && rt::UPPER(g->name()) == "M->UF" && rt::SUBSTR(name, 4, 1) == "-") {
                       set_var("UF", rt::Value(rt::LEFT(name, 2)));
                       return;
                   }
                   // A state's line is never a municipality: chosen from the
                   // municipality field it changes the state and nothing else.
                   if (rt::SUBSTR(name, 4, 1) == "-") {
                       if (f == "MUNICIPIO") set_var("UF", rt::Value(rt::LEFT(name, 2)));
                       return;
                   }
                   if (field == "MUNICIMO") {
                       put_area_field(24, "MUNICIMO", rt::Value(name));
                       return put_area_field(24, "CODMIMO", t.get("NROMUNI"));
                   }
                   set_var(f, rt::Value(name));
                   if (f == "MUNICIPIO") set_var("CODMUNI", t.get("NROMUNI"));
               }};
    return l;
}

std::optional<PickList> list_for(const std::string& field) {
    const std::string f = rt::UPPER(field);
    const auto is = [&f](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (f == n) return true;
        return false;
    };
    if (is({"M->CPF", "M->CPF1", "M->CPF2", "M->NOMECONTR", "M->DIRCONJU", "M->CPFEMAIL", "M->CPFSAC"}))
        return register_list();
    if (is({"M->CDPRO", "M->OCUPACAO"})) {
        PickList l = code_list(58, "C\xA2" "d", "CDPRO", " Nome da Ocupacao ", "OCUPACAO", [](tb::Table& t, const std::string&) {
            set_var("CDPRO", t.get("CDPRO"));
            set_var("OCUPACAO", t.get("OCUPACAO"));
        });
        l.typing = true;
        return l;
    }
    if (is({"M->CODAT", "M->DESCRAT"}))
        return code_list(59, "C\xA2" "d", "CODAT", " Nome da Ocupacao ", "DESCRAT", [](tb::Table& t, const std::string&) {
            set_var("CODAT", t.get("CODAT"));
            set_var("DESCRAT", t.get("DESCRAT"));
        });
    if (f == "M->BANCO") {
        PickList l = code_list(55, "Nro.", "NUMBAN", " Nome do Banco ", "NOMEBAN", copy_to_field("NUMBAN"));
        l.order = 2;
        return l;
    }
    if (f == "CODIDEPEN")
        return code_list(47, "Cod.", "CODDEP", "Rela\x87\xC6o de depend\x88ncia", "DESCRICAO",
                         [](tb::Table& t, const std::string&) {
                             kCod.set(t.get("CODDEP"));
                             set_var("M_CPFDEPEN", t.get("CODDEP"));
                         });
    if (is({"I7_5", "NDESINI", "NDESFIM"}))
        return code_list(46, "Cod.", "CODBEM", "Bens e Direitos", "DESCBENS", [](tb::Table& t, const std::string& fl) {
            if (fl == "I7_5") return put_area_field(24, "CODBEM", t.get("CODBEM"));
            set_var(fl, t.get("CODBEM"));
        });
    if (f == "I8_5")
        return code_list(48, "Cod.", "CODDIV", "Dividas e Onus", "DESCDIV", [](tb::Table& t, const std::string&) {
            put_area_field(25, "CODDIV", t.get("CODDIV"));
        });
    if (is({"I6_3", "CODIGO"}))
        return code_list(49, "Cod.", "CODDES", "Doa\x87\xC6o ou Pagamento", "DESCDOA", [](tb::Table& t, const std::string& fl) {
            if (fl == "I6_3") return put_area_field(26, "CODDES", t.get("CODDES"));
            if (common::Global("OPC").integer() != 30) put_area_field(24, "CODDES", t.get("CODDES"));
        });
    if (is({"I7_8", "CODPAIS", "I8R_3"}))
        return code_list(60, "Cod.", "CODPAIS", "Nome do Pa\xA1s", "NOMPAIS", [](tb::Table& t, const std::string& fl) {
            if (fl == "I7_8") return put_area_field(24, "CODPAIS", t.get("CODPAIS"));
            set_var("CODPAIS", t.get("CODPAIS"));
        });
    if (f == "M->CODEMB") {
        PickList l{61, 1, {{"Cod.", "CD_EX", ""}, {"Cidade", "CIDADE", ""}, {"Nome do Pa\xA1s", "NOMPAIS", "@S20"},
                           {"Representa\x87\x61o", "REPRESENTA", ""}},
                   false, true, [](tb::Table& t, const std::string&) { set_var("CODEMB", t.get("CD_EX")); }};
        return l;
    }
    if (is({"M->ESTATUS", "M->OPC_TRAN"})) {
        PickList l = code_list(66, "Cod.", "COD", "Estatus", "DESCRICAO", copy_to_field("COD"));
        l.close_after = false;
        return l;
    }
    if (is({"M->TIPOEND", "M->RUAIMO"})) {
        PickList l{65, 1, {{"Tipo Endere\x87o", "NOMELOGRA", ""}}, true, true, copy_to_field("NOMELOGRA")};
        return l;
    }
    if (is({"M->MUNICIPIO", "M->MUNICIMO", "MUNICIMO", "M->CID_SOCIE"})) {
        const rt::Get* g = rt::current_get();
        return municipality_list(g && rt::UPPER(g->name()) == "M->UF");
    }
    if (is({"M->ORIGEM", "M->DESTINO"})) {
        PickList l{50, 0, {{"Nome dos diret\xA2rios", "DIRETOR", "@S50"}}, false, false,
                   [](tb::Table& t, const std::string& fl) {
                       set_var(bare(fl), t.get("DIRETOR"));
                       set_var("DIRCONJU", t.get("DIRETOR"));
                   }};
        return l;
    }
    if (is({"I1_8", "M->CPFDEPEN"})) return dependants_list();
    if (f == "M->TIPO_BEM") return gains_list();
    if (f == "M->I3_04") {
        if (!exempt_gains_declared()) return std::nullopt;
        return exempt_gains_list();
    }
    if (f == "CODIGOA")
        return code_list(69, "Cod.", "CODBEM", "  Tipo  ", "DESCBENS", [](tb::Table& t, const std::string&) {
            put_area_field(37, "CODIGO", t.get("CODBEM"));
        });
    if (is({"M->CDCONTA", "CDCONTA"}))
        return code_list(62, "C\xA2" "digo", "CDCONTA", "Descri\x87" "ao", "NMDESCRICA", copy_to_field("CDCONTA"));
    return std::nullopt;
}

// The list being shown: its description, the field it is for and the
// table it browses.
struct OpenList {
    PickList list;
    std::string field;
    tb::Table* table = nullptr;
    bool chosen = false;
};
OpenList* g_open = nullptr;

// Soft seek of a typed character: by code for digits or tables with one
// order, else by text; a table without orders is searched row by row.
void jump_to(tb::Table& t, const PickList& l, char typed) {
    const std::string key = rt::UPPER(std::string(1, typed));
    if (t.order_count() == 0) {
        const std::string first = l.columns.front().field;
        t.go_top();
        t.locate([&t, &first, &key] { return rt::UPPER(rt::LEFT(rt::LTRIM(t.get(first).as_string()), 1)) == key; });
    } else {
        const int order = (std::isdigit(static_cast<unsigned char>(typed)) || t.order_count() < 2) ? 1 : 2;
        t.set_order(order);
        t.seek(rt::Value(key), /*soft=*/true);
    }
    if (t.eof()) t.go_bottom();
}

// A declaration not yet computed has no model: it counts in neither.
RegisterCounts count_register(tb::Table& t) {
    RegisterCounts n;
    const std::uint32_t at = t.recno();
    for (t.go_top(); !t.eof(); t.skip()) {
        ++n.total;
        const std::string model = t.get("USAPADRAO").as_string();
        if (model == "S") ++n.simplified;
        else if (model == "N") ++n.complete;
        if (t.get("TEMRURAL").as_string() == "S") ++n.rural;
    }
    t.go_to(at);
    return n;
}

}  // namespace

// Each count stands under its column and says what it counts: under "WZK"
// the taxpayers with rural activity, under "Sim" the simplified and the
// complete declarations.
std::string register_footer(long total, long simplified, long complete, long rural) {
    const auto share = [total](long n) {
        return rt::STR(total > 0 ? 100.0 * static_cast<double>(n) / static_cast<double>(total) : 0.0, 6, 2);
    };
    const auto count = [](long n) { return rt::STR(static_cast<double>(n), 4); };
    return count(total) + " Declara\x87\x94" "es;" + share(simplified) + "% Simples;" + share(complete) + "% Compl;" +
           count(rural) + " WZK;" + count(simplified) + " simp. " + count(complete) + " comp.";
}

bool has_pick_list(std::string_view field) { return list_for(std::string(field)).has_value(); }

void HBROWSE(int top, int left, int bottom, int right) {
    if (!g_open || !g_open->table) return;
    tb::Table& t = *g_open->table;
    const PickList& l = g_open->list;
    rt::TableSource source(t);
    rt::Browse b(top, left, bottom, right);
    b.set_source(source.source());
    if (l.code == kGainsArea)
        b.set_color_spec(common::Global("COR_1_CLI").text("W/B") + "," + common::Global("COR_GET").text("N/W") + "," +
                         common::Global("COR_2_CLI").text("W+/B") + "," + common::Global("COR_SAY").text("W+/B"));
    else
        b.set_color_spec(common::Global("CORSELE").text("W+/B,N/W"));
    b.set_head_sep("\xCD");
    b.set_col_sep("\xB3");
    std::vector<std::string> foot;
    if (l.footer) {
        b.set_foot_sep("\xC1\xC4");
        const std::string text = l.footer(t);
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i)
            if (i == text.size() || text[i] == ';') {
                foot.push_back(text.substr(start, i - start));
                start = i + 1;
            }
    }
    for (std::size_t i = 0; i < l.columns.size(); ++i) {
        const ListColumn& col = l.columns[i];
        rt::BrowseColumn c(col.heading, col.shown ? rt::BrowseColumn::Block([&t, shown = col.shown] { return shown(t); })
                                                  : source.field_block(col.field));
        c.picture = l.columns[i].picture;
        if (i < foot.size()) c.footing = foot[i];
        b.add_column(std::move(c));
    }
    if (t.eof()) t.go_top();
    while (true) {
        b.force_stable();
        const int key = rt::INKEY(-1);
        switch (key) {
            case rt::key::ESC: return;
            case rt::key::ENTER: return ENTER();
            case rt::key::DOWN: b.down(); continue;
            case rt::key::UP: b.up(); continue;
            case rt::key::PGDN: b.page_down(); continue;
            case rt::key::PGUP: b.page_up(); continue;
            case rt::key::CTRL_PGDN: case rt::key::CTRL_END: b.go_bottom(); continue;
            case rt::key::CTRL_PGUP: case rt::key::CTRL_HOME: b.go_top(); continue;
            case rt::key::RIGHT: b.right(); continue;
            case rt::key::LEFT: b.left(); continue;
            case rt::key::HOME: b.home(); continue;
            case rt::key::END: b.end(); continue;
            case rt::key::CTRL_LEFT: b.pan_left(); continue;
            case rt::key::CTRL_RIGHT: b.pan_right(); continue;
            default: break;
        }
        if (l.code == kGainsArea && !l.rows && (key == rt::key::INS || key == rt::key::DEL)) {
            if (key == rt::key::INS) gain_form(0);
            else if (!t.eof()) rt::call_routine("DEL_GP");
            b.refresh_all();
        } else if (l.code == 9 && (key == rt::key::F6 || key == rt::key::F11)) {
            if (key == rt::key::F6) MOS_DETAL();
            else MOS_PEND();
            b.refresh_all();
        } else if (key == rt::key::F1 || key == rt::key::F2 || key == rt::key::F3) {
            const int order = key == rt::key::F1 ? 2 : key == rt::key::F2 ? 1 : 3;
            if (order <= t.order_count()) t.set_order(order);
            b.refresh_all();
        } else if (l.typing && key > 32 && key < 256) {
            jump_to(t, l, static_cast<char>(key));
            b.refresh_all();
        }
    }
}

void ENTER() {
    if (!g_open || !g_open->table || g_open->table->eof()) return;
    g_open->chosen = true;
    g_open->list.enter(*g_open->table, g_open->field);
    if (rt::Get* g = rt::current_get()) {
        g->update_buffer();
        g->display();
    }
}

void GERAL() {
    if (kProg.integer() == 1 || g_open) return;
    const bool prepared = kTemHlp.value().is_logical() && kTemHlp.value().as_bool();
    if (!prepared) {
        const rt::Get* g = rt::current_get();
        kQualHlp.set(rt::Value(g ? rt::UPPER(g->name()) : std::string()));
        kClArea.set(rt::Value(ws().selected()));
    }
    const std::string field = kQualHlp.text();
    std::optional<PickList> list = list_for(field);
    if (!list) return;
    const int back = kClArea.integer(ws().selected());
    // A caller that prepared the table (filter, temporary order) keeps it,
    // and so does a table already open in its area; a table the list opened
    // itself is closed again.
    int area = list->code;
    bool own = false;
    if (prepared && ws().table() && ws().selected() == list->code) {
        area = ws().selected();
    } else if (!ws().table(list->code)) {
        if (!ABERTURA(list->code)) return;
        own = true;
    }
    ws().select(area);
    tb::Table* t = ws().table(area);
    if (!t) return;
    if (own && list->order > 0 && list->order <= t->order_count()) {
        t->set_order(list->order);
        t->go_top();
    }
    if (list->rows) {
        t->set_filter([t, rows = list->rows] { return rows(*t); });
        t->go_top();
    }
    OpenList open{std::move(*list), rt::UPPER(field), t};
    // The list is marked open while it runs, also when it ends by a fault.
    struct Showing {
        explicit Showing(OpenList& l) {
            g_open = &l;
            kProg.set(rt::Value(1));
        }
        ~Showing() {
            g_open = nullptr;
            kProg.set(rt::Value(0));
        }
        Showing(const Showing&) = delete;
        Showing& operator=(const Showing&) = delete;
    } showing(open);
    const common::Global help{"COR_HELP"}, tel2{"COR_TEL2"};
    const int li = 8, ci = 6, lif = 21, cf = 70;
    common::DEFINEJAN(8, help.integer(112), tel2.integer(31), help.integer(112), li, ci, lif, cf, 2);
    common::ABREJAN(8);
    HBROWSE(li + 1, ci + 1, lif - 1, cf - 1);
    rt::CLEAR_TYPEAHEAD();
    common::FECHAJAN(8);
    if (open.chosen) {
        if (open.list.redraw && ws().table(area)) open.list.redraw(*ws().table(area), open.field);
        if (rt::Get* g = rt::current_get()) g->display();
    }
    if (open.list.rows && ws().table(area)) ws().table(area)->clear_filter();
    if (own && open.list.close_after) ws().close(area);
    if (!prepared || own) ws().select(back);
    kTemHlp.set(rt::Value(false));
}

void GERAL1() {
    ABERTURA(9);
    if (tb::Table* reg = ws().table(9)) reg->set_order(1);
    GERAL();
    if (tb::Table* reg = ws().table(9)) reg->set_order(2);
}

void GERAL3() {
    kQualHlp.set(rt::Value("M->ORIGEM"));
    kTemHlp.set(rt::Value(true));
    kClArea.set(rt::Value(ws().selected()));
    GERAL();
}

std::string GERAL2() {
    kTemHlp.set(rt::Value(true));
    kClArea.set(rt::Value(ws().selected()));
    kCod.set(rt::Value(""));
    GERAL();
    return kCod.text();
}

namespace {
void register_in_order(int order) {
    if (tb::Table* reg = ws().table(9)) reg->set_order(order);
    GERAL();
    if (tb::Table* reg = ws().table(9)) reg->set_order(1);
}
}  // namespace

void GERAL4() { register_in_order(3); }
void GERAL5() { register_in_order(2); }

void MOS_PASTA() { common::Global("CMOSP").set(rt::Value(true)); }

void register_pick_list_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto num = [](Args a, std::size_t i) { return i < a.size() ? common::number_of(a[i]) : 0.0; };
        rt::register_function("GERAL", [](Args) { GERAL(); return rt::Value(); });
        rt::register_function("GERAL1", [](Args) { GERAL1(); return rt::Value(); });
        rt::register_function("GERAL2", [](Args) { return rt::Value(GERAL2()); });
        rt::register_function("GERAL3", [](Args) { GERAL3(); return rt::Value(); });
        rt::register_function("GERAL4", [](Args) { GERAL4(); return rt::Value(); });
        rt::register_function("GERAL5", [](Args) { GERAL5(); return rt::Value(); });
        rt::register_function("ENTER", [](Args) { ENTER(); return rt::Value(); });
        rt::register_function("MOS_PASTA", [](Args) { MOS_PASTA(); return rt::Value(); });
        register_register_view_routines();
        rt::register_function("HBROWSE", [num](Args a) {
            HBROWSE(static_cast<int>(num(a, 0)), static_cast<int>(num(a, 1)), static_cast<int>(num(a, 2)),
                    static_cast<int>(num(a, 3)));
            return rt::Value();
        });
    });
}

}  // namespace qv::tables
