#include "declaration/grids/grid_actions.hpp"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "declaration/grids/cell_calculator.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "declaration/grids/monthly_entry.hpp"
#include "declaration/grids/sub_grids.hpp"
#include "declaration/grids/income_detail_form.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace key = rt::key;

constexpr int kAltS = 287, kAltU = 278, kAltO = 280, kAltJ = 292, kAltL = 294, kAltZ = 300, kAltX = 301, kAltB = 304;
constexpr int kAltPlus = 387, kPadAltPlus = 334, kAltMinus = 386, kPadAltMinus = 330;
constexpr int kAlt2 = 377, kAlt3 = 378;

bool is_one_of(int code, std::initializer_list<int> codes) {
    for (const int c : codes)
        if (c == code) return true;
    return false;
}

rt::table::Table& table_of(GridRun& g) {
    tables::ws().select(g.description().area);
    return g.table();
}

std::string field_text(rt::table::Table& t, const char* field) { return rt::TRIM(t.get(field).as_string()); }

// --- Ctrl+Enter: what a row hands on

// The saved texts table `code` receives `values` unless a row already has
// the same text in `key_field`.
void save_unless_present(int code, const char* key_field, const std::vector<std::pair<const char*, Value>>& values) {
    const int back = tables::ws().selected();
    if (!tables::ws().table(code) && !tables::ABERTURA(code)) {
        tables::ws().select(back);
        return;
    }
    rt::table::Table& saved = tables::ws().current(code);
    tables::ws().select(code);
    const std::string wanted = rt::TRIM(values.front().second.as_string());
    bool present = false;
    for (saved.go_top(); !saved.eof() && !present; saved.skip(1))
        present = field_text(saved, key_field) == wanted;
    if (!present && !wanted.empty() && tables::ADD_REC()) {
        for (const auto& [field, v] : values) saved.put(field, v);
        saved.commit();
        saved.unlock();
    }
    tables::ws().select(back);
}

// Receipts and expenses of the rural cash book are kept as saved texts only
// in a table made for them: the dependants' work copy, which the
// declaration keeps in the same area, is never written.
void save_cash_book_text(rt::table::Table& row) {
    rt::table::Table* saved = tables::ws().table(23);
    if (saved == nullptr || saved->field_index("DESCR") < 0 || saved->field_index("TIPOCR") < 0 ||
        saved->field_index("NOMEDEPEN") >= 0)
        return;
    save_unless_present(23, "DESCR", {{"DESCR", row.get("DESCR")}, {"TIPOCR", row.get("TIPOCR")}});
}

KeyOutcome ctrl_enter(GridRun& g) {
    rt::table::Table& t = table_of(g);
    const int code = g.description().code;
    if (t.eof() && code != 11) return KeyOutcome::Stay;
    switch (code) {
        case 1: case 2: case 20: return income_detail(g);
        case 4:
            save_unless_present(53, "NOME", {{"NOME", t.get("I6_1")}, {"CGCCPF", t.get("I6_2")}, {"CODIGO", t.get("I6_3")}});
            break;
        case 5: case 8: case 22:
            save_unless_present(52, "DESCRICAO", {{"DESCRICAO", t.get("I7_2")}, {"CODIGO", t.get("I7_5")}});
            break;
        case 6: case 9: case 23:
            save_unless_present(52, "DESCRICAO", {{"DESCRICAO", t.get("I8_2")}, {"CODIGO", t.get("I8_5")}});
            break;
        case 35:
            save_unless_present(52, "DESCRICAO", {{"DESCRICAO", t.get("I8R_1")}, {"CODIGO", t.get("CODIGO")}});
            break;
        case 36:
            save_unless_present(52, "DESCRICAO", {{"DESCRICAO", t.get("I9R_1")}, {"CODIGO", t.get("ITEM")}});
            break;
        case 38: save_cash_book_text(t); break;
        case 11: {
            const int page = static_cast<int>(t.eof() ? 0 : t.get("PAGINA").as_number());
            if (common::Global{"OPCAO_1"}.integer() != 11 || page == 0) break;
            vars::TELA.set(Value(page - 1));
            vars::TECLAMUDA.set(Value(true));
            vars::ULTTECLA.set(Value(key::ENTER));
            return KeyOutcome::Leave;
        }
        case 30:
            for (const char* f : {"NOME", "CGCCPF", "CODIGO"}) common::Global{f}.set(t.get(f));
            vars::ULTTECLA.set(Value(key::CTRL_ENTER));
            return KeyOutcome::Leave;
        case 31:
            for (const char* f : {"CODIGO", "DESCRICAO"}) common::Global{f}.set(t.get(f));
            vars::ULTTECLA.set(Value(key::CTRL_ENTER));
            return KeyOutcome::Leave;
        default: break;
    }
    tables::ws().select(g.description().area);
    return KeyOutcome::Stay;
}

// --- the rural and income cash books: sort, secondary sort, subtotal

// The key of a sortable column; empty for the others.
std::string sort_key(const std::string& field) {
    if (field == "DT_LC") return "DTOS(DT_LC)";
    if (field == "DESCR") return "upper(DESCR)";
    if (field == "VALOR") return "str(VALOR)";
    if (field == "NROIMO") return "str(NROIMO)";
    if (field == "TEMITR") return "upper(TEMITR)";
    return {};
}

bool same_file(const std::string& a, const std::string& b) {
    return rt::UPPER(std::filesystem::path(a).lexically_normal().string()) ==
           rt::UPPER(std::filesystem::path(b).lexically_normal().string());
}

// The order lives in a file of the terminal's own in the work folder. The
// work copy's own index file has the same name: the sort then takes a name
// of its own beside it, for the copy's index must stay as it is.
std::string sort_bag_path(rt::table::Table& t, const std::string& file) {
    const std::string stem = common::Global{"LOCTRAB"}.text() + file + common::Global{"NUSU"}.text("01");
    const std::filesystem::path own = std::filesystem::path(t.path()).replace_extension(".cdx");
    return same_file(stem + ".cdx", own.string()) ? stem + "S.cdx" : stem + ".cdx";
}

// The order the grid had, to go back to when a sort fails.
struct GridOrder {
    std::string bag;   // empty: the table's own index (or none)
    std::string tag;
    int order = 0;
    std::uint32_t recno = 0;
};

GridOrder order_of(rt::table::Table& t) {
    GridOrder o;
    o.order = t.order();
    o.recno = t.recno();
    if (o.order > 0) {
        o.tag = t.order_name();
        const std::filesystem::path own = std::filesystem::path(t.path()).replace_extension(".cdx");
        if (!same_file(t.bag_of_order(), own.string())) o.bag = t.bag_of_order();
    }
    return o;
}

void restore_order(rt::table::Table& t, const GridOrder& o) {
    try {
        t.clear_bags();
        std::error_code ec;
        if (!o.bag.empty() && std::filesystem::exists(o.bag, ec)) t.add_bag(o.bag);
        if (o.tag.empty() || !t.set_order(o.tag)) t.set_order(o.order <= t.order_count() && o.bag.empty() ? o.order : 0);
        if (o.recno) t.go_to(o.recno);
    } catch (const std::exception&) {
        t.set_order(0);
    }
}

// The sort is built aside and put in place only once it is whole: a
// failure (a full disk, a folder that cannot be written) leaves the grid in
// the order it had, with a message.
void index_grid(GridRun& g, const std::string& key_expr, const std::string& file) {
    rt::table::Table& t = table_of(g);
    const GridOrder before = order_of(t);
    const std::string path = sort_bag_path(t, file);
    const std::string built = path.substr(0, path.size() - 4) + "_.cdx";
    std::error_code ec;
    try {
        std::filesystem::remove(rt::table::resolve_path(built), ec);
        rt::table::IndexOptions opt;
        opt.bag = built;
        t.index_on(key_expr, "ORDEM", opt);
        t.clear_bags();
        std::filesystem::rename(rt::table::resolve_path(built), rt::table::resolve_path(path));
        t.add_bag(path);
        if (!t.set_order("ORDEM")) throw std::runtime_error("ORDEM");
    } catch (const std::exception&) {
        restore_order(t, before);
        std::filesystem::remove(rt::table::resolve_path(built), ec);
        common::AVISOSN("Não foi possível ordenar a lista. Ela continua na ordem em que estava."_cp, 0);
        g.browse().refresh_all();
        return;
    }
    t.go_top();
    g.browse().go_top();
    g.browse().refresh_all();
}

KeyOutcome sort_by_column(GridRun& g) {
    const std::string key_expr = sort_key(g.current_column().field);
    if (key_expr.empty() || (g.description().code == 18 && g.current_column().field == "TEMITR")) return KeyOutcome::Stay;
    index_grid(g, key_expr, g.description().code == 18 ? "TMP_02" : "TMP_19");
    return KeyOutcome::Stay;
}

KeyOutcome secondary_sort(GridRun& g) {
    rt::table::Table& t = table_of(g);
    const std::string active = t.order_key();
    const std::string second = sort_key(g.current_column().field);
    if (active.empty() || second.empty() || second == "upper(TEMITR)" || active == second) return KeyOutcome::Stay;
    index_grid(g, active + "+" + second, "PRA_" + common::Global{"IND"}.text());
    return KeyOutcome::Stay;
}

struct SubtotalStart {
    std::string descr;
    std::uint32_t recno = 0;
};
SubtotalStart g_subtotal_start;
constexpr int kSubtotalRow = 21;
std::optional<std::string> g_under_subtotal;   // that line before the first subtotal

// Alt+3: VALOR of the rows from the remembered one to the current one.
void show_subtotal(GridRun& g) {
    rt::table::Table& t = table_of(g);
    if (t.eof()) return;
    const std::uint32_t here = t.recno();
    const auto is_start = [&t] {
        return t.recno() == g_subtotal_start.recno && field_text(t, "DESCR") == g_subtotal_start.descr;
    };
    t.go_top();
    while (!t.eof() && !is_start()) t.skip(1);
    if (t.eof()) t.go_top();
    double sum = 0;
    for (; !t.eof(); t.skip(1)) {
        sum += t.get("VALOR").as_number();
        if (t.recno() == here) break;
    }
    t.go_to(here);
    const std::string text = "SUBTOTAL=" + rt::TRANSFORM(Value(sum), "@Ez 999,999,999.99");
    if (!g_under_subtotal) g_under_subtotal = rt::SAVESCREEN(kSubtotalRow, 0, kSubtotalRow, rt::SCREEN_COLS - 1);
    rt::at_say(kSubtotalRow, (80 - static_cast<int>(text.size())) / 2, text);
}

// --- Alt+J: the copied text added to the end of an asset's description

void append_clipboard(GridRun& g) {
    const common::Global clip{"CLIPTEX"};
    if (g.current_column().field != "I7_2" || !clip.exists() || !clip.value().is_string()) return;
    rt::table::Table& t = table_of(g);
    if (t.eof()) return;
    const std::string question =
        "Essa opção acrescenta os dado copiados com ALT M; para o fim dessa descrição.Confirma?"_cp;
    if (!common::asks_yes_default_no(question)) return;
    if (g.F_TROCA(Value(field_text(t, "I7_2") + rt::TRIM(clip.text())))) g.browse().refresh_current();
}

// --- the taxpayer lists: every row marked or unmarked at once

bool has_documents_to_print(rt::table::Table& t) {
    for (const char* f : {"NRQUOTA", "NRCLEAO", "NRGCAPIT", "NRRVARIV"})
        if (t.get(f).as_number() > 1) return true;
    return false;
}

void mark_all(GridRun& g, bool on) {
    rt::table::Table& t = table_of(g);
    if (!tables::FIL_LOCK()) return;
    for (t.go_top(); !t.eof(); t.skip(1)) {
        if (on && g.description().code == 54 && !has_documents_to_print(t)) continue;
        t.put("IMPRE", Value(on ? "S" : "N"));
    }
    t.commit();
    t.unlock();
    t.go_top();
    g.browse().go_top();
    g.browse().refresh_all();
}

// --- Alt+L: several lines after the current one

const char* order_field_of(int code) {
    if (is_one_of(code, {5, 8, 22})) return "I7_0";
    if (is_one_of(code, {6, 9, 23})) return "I8_0";
    if (code == 35) return "I8R_0";
    if (code == 36) return "I9R_0";
    return nullptr;
}

void insert_lines(GridRun& g) {
    rt::table::Table& t = table_of(g);
    const int row = g.browse().cell_row();
    const std::string under = rt::SAVESCREEN(row, 0, row, 79);
    rt::at_say(row, 0, rt::PADR("Insere    linhas após esse Item."_cp, 40));
    Value count(0.0);
    rt::GetList gets;
    gets.emplace_back(row, 7, "NLINHAS", [&count] { return count; }, [&count](const Value& v) { count = v; }, "@Z 9");
    rt::READ(gets);
    rt::RESTSCREEN(row, 0, row, 79, under);
    const int n = static_cast<int>(count.as_number());
    if (n <= 0) return;
    const char* order = order_field_of(g.description().code);
    const double base = order && !t.eof() ? t.get(order).as_number() : 0;
    for (int i = 1; i <= n; ++i) {
        if (!tables::ADD_REC()) break;
        t.put("CPF", common::Global{"CPF"}.value());
        if (g.description().stamp_rural) t.put("ATV_BRASIL", vars::ATV_BRASIL.value());
        if (order) t.put(order, Value(base + i));
        t.commit();
        t.unlock();
    }
    g.FRESHORDER();
}

// --- F1-F3 in the office lists

KeyOutcome office_function_key(GridRun& g, int k) {
    const int code = g.description().code;
    if (code >= 51 && code <= 54) {
        const int order = k == key::F1 ? 2 : k == key::F2 ? 1 : (code <= 52 ? 3 : 0);
        if (order == 0) return KeyOutcome::Stay;
        rt::table::Table& t = table_of(g);
        if (order <= t.order_count()) t.set_order(order);
        g.browse().go_top();
        g.browse().refresh_all();
        return KeyOutcome::Stay;
    }
    if (code == 48 || code == 49) {
        if (k == key::F1) {
            common::FECHAJAN(6);
            run_named("FOLHINHA");
            common::FECHAJAN(7);
            // The list's window is closed: the first row is taken without
            // drawing the list again over what is now under it.
            table_of(g).go_top();
            return KeyOutcome::Gone;
        }
        if (k == key::F2) run_named("NIVER_MES");
        return KeyOutcome::Stay;
    }
    return KeyOutcome::Stay;   // the folder list and the billing slips: nothing
}

KeyOutcome zoom(const char* routine) {
    const Value r = rt::call_routine(routine);
    return r.is_logical() && r.as_bool() ? KeyOutcome::Leave : KeyOutcome::Stay;
}

}  // namespace

KeyOutcome grid_action(GridRun& g, int k) {
    const int code = g.description().code;
    switch (k) {
        case key::CTRL_ENTER: return ctrl_enter(g);
        case kAltU:
            month_by_month(g);
            return KeyOutcome::Stay;
        case kAltO: return is_one_of(code, {18, 38}) ? sort_by_column(g) : KeyOutcome::NotMine;
        case kAlt2:
            if (code != 38) return KeyOutcome::NotMine;
            if (!table_of(g).eof()) g_subtotal_start = {field_text(g.table(), "DESCR"), g.table().recno()};
            return KeyOutcome::Stay;
        case kAlt3:
            if (code != 38) return KeyOutcome::NotMine;
            show_subtotal(g);
            return KeyOutcome::Stay;
        case kAltPlus:
        case kPadAltPlus:
            if (code == 38) return secondary_sort(g);
            if (!is_one_of(code, {51, 53, 54})) return KeyOutcome::NotMine;
            mark_all(g, true);
            return KeyOutcome::Stay;
        case kAltMinus:
        case kPadAltMinus:
            if (!is_one_of(code, {51, 53, 54})) return KeyOutcome::NotMine;
            mark_all(g, false);
            return KeyOutcome::Stay;
        case kAltL:
            if (!is_one_of(code, {5, 6, 8, 9, 11, 22, 23, 35, 36})) return KeyOutcome::NotMine;
            insert_lines(g);
            return KeyOutcome::Stay;
        case kAltJ:
            if (!is_one_of(vars::TELA.integer(), {5, 22, 23})) return KeyOutcome::NotMine;
            append_clipboard(g);
            return KeyOutcome::Stay;
        case kAltB:
            if (vars::TELA.integer() != 10) return KeyOutcome::NotMine;
            run_named("BUSCA_DESP");
            tables::ws().select(g.description().area);
            g.browse().refresh_all();
            return KeyOutcome::Stay;
        case kAltZ: return zoom("MUDATEL12");
        case kAltX: return zoom("MUDATEL14");
        case key::F1:
        case key::F2:
        case key::F3: return code >= 40 ? office_function_key(g, k) : KeyOutcome::NotMine;
        case kAltS:
            if (code >= 40) return KeyOutcome::NotMine;
            calculate_into_cell(g);
            return KeyOutcome::Stay;
        default: return open_sub_grid(g, k) ? KeyOutcome::Stay : KeyOutcome::NotMine;
    }
}

void put_back_subtotal_line() {
    if (!g_under_subtotal) return;
    rt::RESTSCREEN(kSubtotalRow, 0, kSubtotalRow, rt::SCREEN_COLS - 1, *g_under_subtotal);
    g_under_subtotal.reset();
}

}  // namespace qv::declaration::grids
