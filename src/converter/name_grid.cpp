#include "converter/name_grid.hpp"

#include <memory>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/browse.hpp"
#include "runtime/ui/browse_table.hpp"
#include "runtime/ui/read.hpp"
#include "tables/locks.hpp"
#include "tables/state.hpp"

namespace qv::converter {

namespace {

using rt::operator""_cp;
using rt::Value;
namespace tb = rt::table;

constexpr int kAltEquals = 387, kAltMinus = 386;
constexpr int kKeypadAltPlus = 311, kKeypadAltMinus = 330;

// How an edited cell is checked: not at all, as a CPF, or as a CPF or
// CNPJ given its separators.
enum class Check { None, Cpf, Document };

struct Column {
    std::string heading;
    std::string field;
    std::string picture;
    int width = 0;        // shown width, 0: the field's
    Check check = Check::None;
};

struct GridLayout {
    int area = 0;
    std::vector<Column> columns;
    int freeze = 0;
    bool marking = false;
    bool footing = false;
    int top = 10, left = 4, bottom = 22, right = 70;
};

// The payroll statements: marks, who, the payer, then the amounts.
std::vector<Column> statement_columns() {
    std::vector<Column> cols = {{"Trans", "IMPRE", "@!", 5},
                                {" CPF ", "CPF", "@r 999.999.999-99", 14, Check::Cpf},
                                {" Nome do Contribuinte ", "NOMECONTR", "@S26", 26},
                                {"Nome Fonte Pagadora", "NOMEFONTE", "@S26", 26},
                                {"CNPJ fonte", "CNPJFONTE", "", 18, Check::Document},
                                {"Descr.Outros Rend. Isentos", "OUTROS", "", 0}};
    const char* const amounts[][2] = {
        {"Outros Isentos", "VALOUTRO"}, {"13ro Salário", "DECIMO3RO"}, {"Descr. Outros Trib. Fonte", "OUTROSEXC"},
        {"Outros Fonte", "VALOUTRE"},   {"Complemento", "COMPLENTA"},   {"Rendimento", "RENDIMENT"},
        {"Previdência", "PREVOFICA"},   {"FAPI", "PREVPRIVA"},          {"Pensão paga", "PENSAOPAG"},
        {"IR Retido", "IRRETIDO"},      {"Isento Apos.", "ISENTOAPO"},  {"Diárias", "DIARIAS"},
        {"Aposentadoria", "PENSAOREC"}, {"Lucro", "LUCRODIV"},          {"Sócio", "SOCIO"},
        {"Idenizações", "IDENIZA"}};
    for (const auto& [heading, field] : amounts) {
        const bool text = std::string_view(field) == "OUTROSEXC" || std::string_view(field) == "COMPLENTA";
        cols.push_back({rt::utf8_to_cp850(heading), field, text ? "" : "@Ez 999,999,999.99", 0});
    }
    return cols;
}

GridLayout grid_layout(int grid) {
    const std::vector<Column> names = {{" CPF ", "CPF", "@r 999.999.999-99", 14},
                                       {" Nome do Contribuinte ", "NOMECONTR", "@S30", 30},
                                       {"Origem", "ORIGEM", "@s12", 12},
                                       {"Conve", "IMPRE", "@!", 5}};
    switch (grid) {
        case 1: return {70, names, 3, true, true};
        case 2: return {70, names, 3, false, false};
        case 3: return {63, statement_columns(), 3, false, false, 3, 1, 22, 78};
        case 4: return {50, {{"Drive e diretório"_cp, "DIRETOR", "@!", 40}}, 0, false, false, 1, 18, 14, 59};
        default: return {};
    }
}

class Grid {
public:
    Grid(const GridLayout& layout, tb::Table& t)
        : layout_(layout), table_(t), source_(t), browse_(layout.top, layout.left, layout.bottom, layout.right) {
        t.go_top();
        appendable_ = !t.eof();
        browse_.set_source(source_.source());
        browse_.set_color_spec(common::Global("CORNORM").text("N/W,W+/N"));
        for (const Column& c : layout.columns) {
            rt::BrowseColumn col(c.heading, source_.field_block(c.field));
            col.picture = c.picture;
            col.width = c.width;
            col.cargo = c.field;
            checks_.push_back(c.check);
            if (layout.footing && &c == &layout.columns[1]) col.footing = "Nro. de Declarações."_cp;
            browse_.add_column(std::move(col));
        }
        browse_.set_freeze(layout.freeze);
    }

    void run() {
        if (layout_.marking)
            common::MENS(0, "Marque [S] nos nomes - Esc termina |Alt(+)Marca todos | ALT(-)Desmarca");
        while (true) {
            if (layout_.footing) show_count();
            browse_.force_stable();
            const int key = rt::INKEY(-1);
            if (key == rt::key::ESC) break;
            if (move(key)) close_unused_blank_line();
            else act(key);
        }
        table_.commit();
    }

private:
    bool move(int key) {
        switch (key) {
            case rt::key::DOWN: down(); return true;
            case rt::key::UP: browse_.up(); return true;
            case rt::key::PGDN: browse_.page_down(); return true;
            case rt::key::PGUP: browse_.page_up(); return true;
            case rt::key::CTRL_PGDN: browse_.go_bottom(); return true;
            case rt::key::CTRL_PGUP: browse_.go_top(); return true;
            case rt::key::RIGHT: browse_.right(); return true;
            case rt::key::LEFT: browse_.left(); return true;
            case rt::key::HOME: browse_.home(); return true;
            case rt::key::END: browse_.end(); return true;
            case rt::key::CTRL_LEFT: browse_.pan_left(); return true;
            case rt::key::CTRL_RIGHT: browse_.pan_right(); return true;
            case rt::key::CTRL_HOME: browse_.pan_home(); return true;
            case rt::key::CTRL_END: browse_.pan_end(); return true;
            default: return false;
        }
    }

    // Below the last row of a table that had rows a blank line opens for a
    // new one; it is not shown before.
    void down() {
        browse_.down();
        if (!browse_.hit_bottom() || !appendable_ || source_.append_row()) return;
        source_.set_append_row(true);
        browse_.down();
    }

    // The blank line goes when the cursor leaves it without a row added.
    void close_unused_blank_line() {
        if (!source_.append_row() || table_.eof()) return;
        source_.set_append_row(false);
        browse_.refresh_all();
    }

    void act(int key) {
        if (layout_.marking && (key == kAltEquals || key == kKeypadAltPlus)) return mark_all("S");
        if (layout_.marking && (key == kAltMinus || key == kKeypadAltMinus)) return mark_all(" ");
        if (layout_.area == 70 && (key == rt::key::F1 || key == rt::key::F2)) {
            table_.set_order(key == rt::key::F1 ? 1 : 2);
            browse_.refresh_all();
            return;
        }
        if (key == rt::key::DEL) return delete_row();
        if (key == rt::key::alt_letter('M')) return copy_cell();
        if (key == rt::key::alt_letter('C')) return paste_cell();
        if (key == rt::key::ENTER) return edit(0);
        if (key >= 32 && key < 256) edit(key);
    }

    // DOGET: an entry field on the cell, written back under a record lock.
    // On the blank line below the last row the edit starts a new row, added
    // only when the value is given (Esc adds nothing).
    void edit(int first_key) {
        const rt::BrowseColumn& col = browse_.get_column(browse_.col_pos());
        const bool appending = table_.eof();
        if (appending && !source_.append_row()) return;
        Value value = table_.get(col.cargo);
        if (first_key) rt::push_key(first_key);
        rt::GetList gets;
        const Check check = checks_[static_cast<std::size_t>(browse_.col_pos() - 1)];
        gets.emplace_back(browse_.cell_row(), browse_.cell_col(), col.cargo, [&value] { return value; },
                          [&value, check](const Value& v) {
                              value = check == Check::Document ? Value(common::CONTAPONTO(common::TIRA_PONTO(v.as_string())))
                                                               : v;
                          },
                          col.picture);
        if (check == Check::Cpf) gets.back().valid([&value] { return common::VAL_CPF(value.as_string()); });
        if (check == Check::Document) gets.back().valid([&value] { return common::CPFCGC(value.as_string()); });
        const bool done = rt::READ(gets);
        tables::ws().select(layout_.area);
        if (appending) {
            if (!done || !tables::ADD_REC(2)) return browse_.refresh_all();
        } else if (!done || !tables::REC_LOCK(2)) {
            return browse_.refresh_current();
        }
        table_.put(col.cargo, value);
        table_.commit();
        table_.unlock();
        if (appending) browse_.refresh_all();
        else browse_.refresh_current();
        if (browse_.col_pos() < browse_.col_count()) {
            browse_.right();
        } else {
            browse_.pan_home();
            browse_.down();
        }
    }

    void mark_all(const char* mark) {
        tables::ws().select(layout_.area);
        if (!tables::FIL_LOCK(2)) return;
        const std::uint32_t at = table_.recno();
        for (table_.go_top(); !table_.eof(); table_.skip(1)) table_.put("IMPRE", Value(mark));
        table_.commit();
        table_.unlock();
        table_.go_to(at);
        browse_.refresh_all();
    }

    // Alt+M keeps the cell's value; Alt+C puts it into a cell of its type.
    void copy_cell() {
        if (!table_.eof()) clipboard_ = table_.get(browse_.get_column(browse_.col_pos()).cargo);
    }

    void paste_cell() {
        const std::string field = browse_.get_column(browse_.col_pos()).cargo;
        if (table_.eof() || clipboard_.is_nil() || table_.get(field).type() != clipboard_.type()) return;
        tables::ws().select(layout_.area);
        if (!tables::REC_LOCK(2)) return;
        table_.put(field, clipboard_);
        table_.commit();
        table_.unlock();
        browse_.refresh_current();
    }

    void delete_row() {
        if (table_.eof()) return;
        if (common::AVISOSN("Confirma a Exclusão dessa linha? "_cp, 2).as_string() != "S") return;
        tables::ws().select(layout_.area);
        if (!tables::REC_LOCK(2)) return;
        table_.delete_record();
        table_.commit();
        table_.unlock();
        browse_.up();
        browse_.refresh_all();
    }

    void show_count() {
        long n = 0;
        const std::uint32_t at = table_.recno();
        for (table_.go_top(); !table_.eof(); table_.skip(1)) ++n;
        table_.go_to(at);
        browse_.get_column(2).footing = "Nro. de Declarações."_cp + rt::STR(static_cast<double>(n), 5);
        browse_.configure();
    }

    GridLayout layout_;
    tb::Table& table_;
    rt::TableSource source_;
    rt::Browse browse_;
    std::vector<Check> checks_;
    Value clipboard_;
    bool appendable_ = false;
};

}  // namespace

void EDITA(int grid) {
    const GridLayout layout = grid_layout(grid);
    tb::Table* t = layout.area ? tables::ws().table(layout.area) : nullptr;
    if (!t) return;
    tables::ws().select(layout.area);
    t->go_top();
    const std::string under = rt::SAVESCREEN();
    MOSTRA(layout.top, layout.left, layout.bottom, layout.right, 1);
    Grid(layout, *t).run();
    rt::RESTSCREEN(under);
}

void MOSTRA(int top, int left, int bottom, int right, int frame) {
    if (frame == 1) rt::DISPBOX(top - 1, left - 1, bottom + 1, right + 1, rt::B_SINGLE);
}

}  // namespace qv::converter
