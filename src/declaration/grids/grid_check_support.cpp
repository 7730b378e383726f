#include "declaration/grids/grid_check_support.hpp"

#include <algorithm>

#include "common/avisosn.hpp"
#include "common/messages.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "runtime/core/text.hpp"
#include "runtime/ui/read.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

void notice(const std::vector<std::string>& lines) { common::AVISOSN(lines, 0); }

int editing_row() {
    if (GridRun* g = current_grid()) return g->browse().cell_row();
    if (const rt::Get* get = rt::current_get()) return get->row();
    return 12;
}

// The description stays in window 10 until the clerk's next key in the
// grid (or the grid is left); that key goes on as it was typed.
void show_below_cell(std::string_view text) {
    constexpr int kRightEdge = 76;
    // The box's frame stands one cell outside the text: a longer meaning is
    // cut so that the whole box stays on the screen.
    constexpr std::size_t kWidest = kRightEdge - 3;
    text = text.substr(0, std::min(text.size(), kWidest));
    const int row = editing_row();
    common::MensArgs args;
    args.row = row > 21 ? 17 : row + 1;
    args.col = rt::Value(std::max(0, kRightEdge - static_cast<int>(text.size()) - 2));
    common::MENS(13, text, args);
    if (GridRun* g = current_grid()) g->note_hint();
}

KeepArea::KeepArea() : back_(tables::ws().selected()) {}
KeepArea::~KeepArea() { tables::ws().select(back_); }

bool put_row(rt::table::Table& t, std::initializer_list<std::pair<std::string_view, rt::Value>> fields) {
    if (t.eof() || !t.rlock()) return false;
    for (const auto& [name, v] : fields) t.put(name, v);
    t.commit();
    t.unlock();
    return true;
}

std::string trimmed(const rt::Value& v) { return v.is_string() ? rt::ALLTRIM(v.as_string()) : std::string(); }

}  // namespace qv::declaration::grids
