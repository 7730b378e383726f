// Estate declarations: the detail form of a property among the assets, and
// the heirs' shares of an asset.
#include <set>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/grids/grid_catalogue.hpp"
#include "declaration/grids/grid_check_support.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr int kDependantsArea = 23;
constexpr int kAssetsArea = 24;
constexpr int kSharesArea = 40;
constexpr int kFormWindow = 6;
// The form's fields count from here, inside the frame of its painter.
constexpr int kFormTop = 4, kFormLeft = 4;
constexpr int kHeirCode = 100;

const common::Global kAnswer{"CPEGPERC"}, kRegistered{"REGISTRO"}, kTownCode{"CODMIMO"};

// While the form is read: a change that needs it drawn again (the registry
// answer, the heirs' grid over it) ends the read and sets g_redraw.
bool g_in_form = false;
bool g_redraw = false;

void redraw_form() {
    if (!g_in_form) return;
    g_redraw = true;
    rt::clear_gets();
}

rt::table::Table* asset_row() {
    rt::table::Table* t = tables::ws().table(kAssetsArea);
    return t && !t->eof() ? t : nullptr;
}

std::string upper_trimmed(const Value& v) { return rt::UPPER(trimmed(v)); }

// The assets without a number get the next ones after the largest, in
// table order; the current row is kept.
void number_assets() {
    double largest = 0;
    for_each_row(kAssetsArea, [&largest](rt::table::Table& t) { largest = std::max(largest, field_number(t, "I7_6")); });
    for_each_row(kAssetsArea, [&largest](rt::table::Table& t) {
        if (field_number(t, "I7_6") == 0) put_row(t, {{"I7_6", Value(++largest)}});
    });
}

// A routine of another subsystem as a field check.
bool named_check(std::string_view name, std::vector<Value> args) {
    const Value r = rt::call_function(name, args);
    return !r.is_logical() || r.as_bool();
}

// An entry field on a field of the asset row.
rt::Get& row_field(rt::GetList& gets, int row, int col, const char* field, const char* picture) {
    gets.emplace_back(kFormTop + row, kFormLeft + col, field,
                      [field] {
                          rt::table::Table* t = asset_row();
                          return t ? t->get(field) : Value("");
                      },
                      [field](const Value& v) {
                          if (rt::table::Table* t = asset_row()) put_row(*t, {{field, v}});
                      },
                      picture);
    return gets.back();
}

// An entry field on a program variable.
rt::Get& variable_field(rt::GetList& gets, int row, int col, const common::Global& var, const char* name,
                        const char* picture) {
    gets.emplace_back(kFormTop + row, kFormLeft + col, name, [&var] { return var.value(); },
                      [&var](const Value& v) { var.set(v); }, picture);
    return gets.back();
}

void label(int row, int col, std::string_view text) { rt::at_say(kFormTop + row, kFormLeft + col, text); }

// The form's frame: the heirs' question, and for a property its address
// (in Brazil or abroad) and, when registered, the registry's data.
void open_form(int mode) {
    rt::table::Table* row = asset_row();
    const bool abroad = row && upper_trimmed(row->get("I7_7")) == "S";
    const bool registered = row && upper_trimmed(row->get("REGISTRO")) == "S";
    property_frame(mode == 1 ? (abroad ? 3 : 1) : 2, registered);
}

void heirs_question(rt::GetList& gets, int asset, int mode) {
    variable_field(gets, 1, 47, kAnswer, "CPEGPERC", "@!").valid([asset, mode] {
        return ANEXHER(kAnswer.value(), asset, mode);
    });
}

// The property's address, and with a registry its area, unit and records.
void property_fields(rt::GetList& gets, rt::table::Table& row) {
    row_field(gets, 3, 11, "ENDEIMO", "@s30");
    row_field(gets, 3, 48, "NUMIMO", "");
    row_field(gets, 4, 14, "COMPIMO", "@s18");
    row_field(gets, 4, 42, "BAIRIMO", "@s16");
    if (upper_trimmed(row.get("I7_7")) == "S") {
        row_field(gets, 5, 9, "MUNICIMO", "@s21");
    } else {
        row_field(gets, 5, 6, "CEPIMO", "@r 99999-999");
        row_field(gets, 5, 21, "UFIMO", "@!").valid([] {
            rt::table::Table* t = asset_row();
            return !t || named_check("VESIGLA", {t->get("UFIMO")});
        });
        row_field(gets, 5, 36, "MUNICIMO", "").valid([] {
            rt::table::Table* t = asset_row();
            return !t || named_check("VEESTADO", {t->get("UFIMO"), Value("MUNICIMO"), Value(2)});
        });
    }
    variable_field(gets, 7, 39, kRegistered, "REGISTRO", "@!").valid([] { return VE_REGIS(kRegistered.value()); });
    if (upper_trimmed(row.get("REGISTRO")) != "S") return;
    row_field(gets, 9, 7, "AREAIMO", "@z 999,999.9");
    row_field(gets, 9, 41, "UNIDADE", "@!").valid([] {
        rt::table::Table* t = asset_row();
        return !t || VERUNI(t->get("UNIDADE"), 1);
    });
    row_field(gets, 11, 11, "CARTORIO", "@S23");
    row_field(gets, 12, 12, "MATRICU", "@S27");
    row_field(gets, 13, 8, "LIVRORG", "@S27");
}

// READ of the form with g_in_form set while it runs.
bool read_marked(rt::GetList& gets) {
    struct Mark {
        Mark() { g_in_form = true; }
        ~Mark() { g_in_form = false; }
        Mark(const Mark&) = delete;
        Mark& operator=(const Mark&) = delete;
    } mark;
    return rt::READ(gets);
}

// Reads the form again and again until Esc; the registry answer redraws it.
void read_form(int asset, int mode) {
    for (;;) {
        rt::table::Table* row = asset_row();
        if (!row) return;
        if (!common::window_saved(kFormWindow)) open_form(mode);
        rt::GetList gets;
        heirs_question(gets, asset, mode);
        if (mode == 1) {
            property_fields(gets, *row);
            if (upper_trimmed(row->get("REGISTRO")) == "S") VERUNI(row->get("UNIDADE"), 0);
        }
        for (const rt::Get& g : gets) g.display();
        g_redraw = false;
        if (!read_marked(gets) && !g_redraw) return;
    }
}

// The heirs registered in the dependants list: name and CPF/CNPJ.
struct Heir {
    Value name;
    std::string document;
};

std::vector<Heir> registered_heirs() {
    std::vector<Heir> heirs;
    rt::table::Table* t = tables::ws().table(kDependantsArea);
    if (!t) return heirs;
    t->clear_filter();
    for_each_row(kDependantsArea, [&heirs](rt::table::Table& r) {
        if (field_number(r, "CODIDEPEN") == kHeirCode)
            heirs.push_back({r.get("NOMEDEPEN"), rt::TRIM(r.get("CPFHERDE").as_string())});
    });
    return heirs;
}

// The asset's share rows follow the heirs: one for each heir registered
// since (by CPF/CNPJ), none for an heir deleted since; the percentages
// already typed stay.
void match_shares(rt::table::Table& shares, int asset, const std::vector<Heir>& heirs) {
    std::set<std::string> present;
    std::set<std::string> wanted;
    for (const Heir& h : heirs) wanted.insert(h.document);
    for (shares.go_top(); !shares.eof(); shares.skip()) {
        const std::string doc = rt::TRIM(shares.get("CPFHERDE").as_string());
        if (wanted.count(doc) == 0 || !present.insert(doc).second) {
            if (shares.rlock()) {
                shares.delete_record();
                shares.unlock();
            }
        }
    }
    for (const Heir& h : heirs) {
        if (present.count(h.document) != 0 || !shares.append_blank()) continue;
        present.insert(h.document);
        shares.put("CPF", common::Global{"CPF"}.value());
        shares.put("REFEREN", Value(asset));
        shares.put("NOMEDEPEN", h.name);
        shares.put("CPFHERDE", Value(h.document));
        shares.commit();
    }
    shares.go_top();
}

}  // namespace

// Both modes end alike: the form the question belongs to is drawn again by
// its read loop, with or without the property's fields.
bool ANEXHER(const Value& answer, int asset, int /*mode*/) {
    const std::string typed = upper_trimmed(answer);
    if (typed == "N") return true;
    if (typed != "S") {
        notice({"Informe com S (sim) ou N (não) para informar"_cp, "o percentual de cada herdeiro"});
        return false;
    }
    const std::vector<Heir> heirs = registered_heirs();
    if (heirs.empty()) {
        notice({"Cadastre antes os nomes e CPF/CNPJ dos herdeiros"});
        tables::ws().select(kAssetsArea);
        return true;
    }
    rt::table::Table* shares = tables::ws().table(kSharesArea);
    if (!shares) return true;
    const Value calling_grid = common::Global{"OPC"}.value();
    rt::table::Table* assets = tables::ws().table(kAssetsArea);
    const std::uint32_t asset_recno = assets ? assets->recno() : 0;
    common::FECHAJAN(kFormWindow);
    rt::table::Table& s = *shares;
    s.set_filter([&s, asset] { return s.get("REFEREN").as_number() == asset; },
                 "REFEREN==" + std::to_string(asset));
    match_shares(s, asset, heirs);
    EDITA(21, static_cast<int>(heirs.size()));
    s.clear_filter();
    tables::ws().select(kAssetsArea);
    if (assets && asset_recno >= 1 && asset_recno <= assets->lastrec()) assets->go_to(asset_recno);
    common::Global{"OPC"}.set(calling_grid);
    redraw_form();
    return true;
}

bool VE_REGIS(const Value& answer) {
    const std::string typed = upper_trimmed(answer);
    if (typed != "S" && typed != "N") {
        notice({"Informe com S de Sim ou N não se o "_cp, "Imóvel está registrado em Cartório!"_cp});
        return false;
    }
    rt::table::Table* row = asset_row();
    if (row && upper_trimmed(row->get("REGISTRO")) != typed) {
        put_row(*row, {{"REGISTRO", Value(typed)}});
        common::FECHAJAN(kFormWindow);
        redraw_form();
    }
    return true;
}

bool VERUNI(const Value& answer, int mode) {
    const std::string typed = upper_trimmed(answer);
    if (mode == 0 && typed.empty()) return true;
    if (typed == "S" || typed == "N") {
        label(9, 43, typed == "S" ? "N" : "S");
        return true;
    }
    notice({"Informe com S (sim) se a unidade de medida do imóvel é M2"_cp,
            "ou N (Não) se a unidade de medida do imóvel é Ha   "_cp});
    return false;
}

void VEJA_IMOV() {
    if (!vars::yes(vars::DECFINAL)) return;
    rt::table::Table* row = asset_row();
    if (!row) return;
    const KeepArea keep;
    if (field_number(*row, "I7_6") == 0) number_assets();
    const int asset = static_cast<int>(field_number(*row, "I7_6"));
    const double code = field_number(*row, "I7_5");
    kAnswer.set(Value(" "));
    if (code >= 1 && code <= 19) {
        kRegistered.set(row->get("REGISTRO"));
        kTownCode.set(row->get("CODMIMO"));
        read_form(asset, 1);
        if (rt::table::Table* r = asset_row())
            put_row(*r, {{"REGISTRO", kRegistered.value()}, {"CODMIMO", kTownCode.value()}});
    } else {
        read_form(asset, 2);
    }
    common::FECHAJAN(kFormWindow);
}

}  // namespace qv::declaration::grids
