#include "gains/gain_list.hpp"

#include <mutex>
#include <span>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "gains/gain_checks.hpp"
#include "gains/gain_form.hpp"
#include "gains/gain_rows.hpp"
#include "gains/gain_table.hpp"
#include "gains/gain_totals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/browse_table.hpp"
#include "tables/state.hpp"

namespace qv::gains {

using rt::operator""_cp;

namespace {

constexpr const char* kListPicture = "@Ez 99,999,999.99";
namespace key = rt::key;

void set(const char* name, rt::Value v) { common::Global{name}.set(std::move(v)); }


bool page_changed() { return declaration::logical("TECLAMUDA"); }

void clear_working_values() {
    for (const char* n : {"VALOR_CUST", "RESUL_I", "VAL_IMPOS", "CUST_ITOT", "NREDUPROP", "GAN_TRIP", "VAL_IMPOSVP",
                          "NDIF_VAL_ANO", "NDIF_IMP_ANO", "VAL_ALI", "VAL_PARTE", "PERART31", "PER_TRI"})
        set(n, rt::Value(0.0));
    set("TIPOPART", rt::Value(2));
    set("DAY_TRADE", rt::Value("1"));
    for (const char* n : {"PARCOMPRA", "VEN_PRAZO", "VENDAANT"}) set(n, rt::Value("N"));
    set("ART31", rt::Value(""));
    set("LEHTORNA", rt::Value(false));
}

double row_amount(rt::table::Table& t, const char* field) { return declaration::field_number(t, field); }

double row_tax(rt::table::Table& t) {
    const bool instalments = rt::ALLTRIM(t.get("VEN_PRAZO").as_string()) == "S";
    return row_amount(t, instalments ? "VAL_IMPOSP" : "VAL_IMPOSV");
}

bool live_of_kind(rt::table::Table& t, int kind) {
    return !t.deleted() && static_cast<int>(row_amount(t, "TIPO_BEM")) == kind;
}

struct ListTotals {
    double taxed = 0, untaxed = 0, tax = 0;
};

ListTotals totals_of(rt::table::Table& t) {
    ListTotals s;
    const std::uint32_t saved = t.recno();
    for (t.go_top(); !t.eof(); t.skip()) {
        s.taxed += row_amount(t, "VAL_TRIBU");
        s.untaxed += row_amount(t, "VAL_NAOTRI");
        s.tax += row_tax(t);
    }
    if (saved) t.go_to(saved);
    return s;
}

rt::BrowseColumn column(const char* heading, rt::BrowseColumn::Block block, const char* picture,
                        std::string footing = {}) {
    rt::BrowseColumn c(rt::utf8_to_cp850(heading), std::move(block));
    c.picture = picture;
    c.footing = std::move(footing);
    return c;
}

void build_columns(rt::Browse& b, rt::table::Table& t, int kind) {
    const rt::TableSource source(t);
    const ListTotals s = totals_of(t);
    b.add_column(column("Nr", source.field_block("BEM_NRO"), "@Z 99"));
    b.add_column(column("Item", source.field_block("NRO_ITEM"), "@Z 999"));
    b.add_column(column(kind == Participations ? "Nome da Sociedade" : "Descrição do Bem",
                        source.field_block("ESPC_BEM"), "@s25", "Totais........"));
    b.add_column(column("Tributado", source.field_block("VAL_TRIBU"), kListPicture,
                        rt::TRANSFORM(rt::Value(s.taxed), kListPicture)));
    b.add_column(column("Nao Tribu.", source.field_block("VAL_NAOTRI"), kListPicture,
                        rt::TRANSFORM(rt::Value(s.untaxed), kListPicture)));
    b.add_column(column("Imposto", [&t] { return rt::Value(t.eof() ? 0.0 : row_tax(t)); }, kListPicture,
                        rt::TRANSFORM(rt::Value(s.tax), kListPicture)));
}

enum class ListExit { Leave, Insert, Edit, Delete };

// The list until a key asks for something else.
ListExit browse_gains(rt::table::Table& t, int kind) {
    const rt::TableSource source(t);
    rt::Browse b(3, 2, 21, 78);
    rt::BrowseSource src = source.source();
    // Whether the kind has a gain at all is known before the list is drawn
    // (the list is built again after each change); asking the table while
    // drawing would move it off the row being drawn.
    t.go_top();
    const bool none = t.eof();
    src.empty = [none] { return none; };
    b.set_source(src);
    b.set_color_spec(common::Global("CORSELE").text("W+/B,N/W"));
    b.set_head_sep("\xCD");
    b.set_col_sep("\xB3");
    b.set_foot_sep("\xC4");
    build_columns(b, t, kind);
    rt::SCROLL(3, 2, 21, 78);
    t.go_top();
    while (true) {
        b.force_stable();
        const int k = rt::INKEY(-1);
        if (const rt::KeyHandler* handler = rt::key_handler(k); handler && *handler) {
            (*handler)();
            if (page_changed()) return ListExit::Leave;
            continue;
        }
        switch (k) {
            case key::ESC: return ListExit::Leave;
            case key::INS: return ListExit::Insert;
            case key::ENTER: return ListExit::Edit;
            case key::DEL: return ListExit::Delete;
            default: rt::browse_apply_key(b, k); break;
        }
    }
}

void restrict_gains(rt::table::Table& t, int kind) {
    t.set_filter([&t, kind] { return live_of_kind(t, kind); }, "TIPO_BEM == M->TIPO_BEM");
}

void clear_restrictions() {
    for (const int area : {kGainsArea, kParcelsArea})
        if (rt::table::Table* t = tables::ws().table(area)) t->clear_filter();
}

}  // namespace

double listed_tax() {
    rt::table::Table* t = gains_table();
    return t && !t->eof() ? row_tax(*t) : 0;
}

void GANHO3() {
    rt::table::Table* t = gains_table();
    if (!t) return;
    clear_working_values();
    declaration::call_if_present("MRODAPE", {rt::Value(13)});
    const common::Global kind_var{"TIPO_BEM"};
    int kind = kind_var.integer(RealEstate);
    if (kind < RealEstate || kind > Participations) kind = RealEstate;
    kind_var.set(rt::Value(kind));
    while (true) {
        restrict_gains(*t, kind);
        const ListExit exit = browse_gains(*t, kind);
        if (exit == ListExit::Leave) break;
        if (exit == ListExit::Insert) {
            t->clear_filter();
            MOSTR_BEM(kind, 0);
        } else if (exit == ListExit::Edit && !t->eof()) {
            const std::uint32_t rec = t->recno();
            t->clear_filter();
            t->go_to(rec);
            MOSTR_BEM(kind, 1);
        } else if (exit == ListExit::Delete && !t->eof()) {
            set("BEM_NRO", t->get("BEM_NRO"));
            t->clear_filter();
            DEL_GP();
        }
        kind_var.set(rt::Value(kind));
        if (page_changed()) break;
    }
    clear_restrictions();
}

void DEL_GP() {
    rt::table::Table* t = gains_table();
    if (!t) return;
    const int number = common::Global{"BEM_NRO"}.integer();
    const std::uint32_t saved = t->recno();
    if (number <= 0 || !find_gain(*t, number)) {
        if (saved) t->go_to(saved);
        common::AVISOSN("Ganho de Capital não existente"_cp, 0);
        return;
    }
    const std::uint32_t record = t->recno();
    if (common::AVISOSN("Deseja mesmo eliminar esse Ganho de Capital?", 2).as_string() != "S") return;
    const rt::Value sold = t->get("DATA_ALI");
    for (const char* register_date : {"ULTRESI", "ULTIMOV"}) {
        const rt::Value d = common::Global{register_date}.value();
        if (sold.is_date() && !sold.as_date().empty() && d.is_date() && d.as_date() == sold.as_date())
            common::Global{register_date}.set(rt::Value(rt::Date{}));
    }
    delete_parcels(number);
    t->go_to(record);
    {
        RowWrite lock(*t);
        t->delete_record();
        t->commit();
    }
    SOMA_NTRIB();
}

void register_gain_screen_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto num = [](Args a, std::size_t i) { return i < a.size() ? static_cast<int>(common::number_of(a[i])) : 0; };
        rt::register_function("GANHO3", [](Args) { GANHO3(); return rt::Value(); });
        rt::register_function("MOSTR_BEM", [num](Args a) { MOSTR_BEM(num(a, 0), num(a, 1)); return rt::Value(); });
        rt::register_function("DEL_GP", [](Args) { DEL_GP(); return rt::Value(); });
        rt::register_function("VEIND_VEN", [](Args) { return rt::Value(VEIND_VEN()); });
        rt::register_function("ACHA_BEM", [](Args) { return rt::Value(ACHA_BEM()); });
        rt::register_function("MOSTOPER", [](Args) { return rt::Value(MOSTOPER()); });
        rt::register_function("VE_LETRAN", [](Args a) {
            const std::string field = a.empty() || !a[0].is_string() ? "VEN_PRAZO" : rt::UPPER(a[0].as_string());
            return rt::Value(VE_LETRAN(field.starts_with("M->") ? field.substr(3) : field));
        });
        rt::register_function("VER_GAN", [num](Args a) { return rt::Value(VER_GAN(num(a, 0), num(a, 1))); });
    });
}

}  // namespace qv::gains
