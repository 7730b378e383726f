// The settings records the menu's options write: the terminal's CONFIG
// record (table 42) and the office's DEFINE record (table 43).
#include "common/windows.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/workspace.hpp"
#include "shell/menu_features.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell {

bool open_terminal_config() {
    if (!tables::ABERTURA(42)) return false;
    tables::ws().select(42);
    rt::table::Table* config = tables::ws().table(42);
    if (!config) return false;
    return config->seek(rt::Value(tables::terminal()));
}

bool open_office_settings() {
    if (!tables::ABERTURA(43)) return false;
    tables::ws().select(43);
    rt::table::Table* define = tables::ws().table(43);
    if (!define) return false;
    define->go_top();
    return !define->eof();
}

bool reopen_register() {
    const bool ok = tables::ABERTURA(9);
    common::FECHAJAN(10);
    return ok;
}

}  // namespace qv::shell
