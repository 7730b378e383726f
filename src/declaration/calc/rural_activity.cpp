#include "declaration/calc/rural_activity.hpp"

#include <filesystem>
#include <mutex>
#include <span>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/loop/declaration_load.hpp"
#include "declaration/loop/declaration_save.hpp"
#include "declaration/loop/work_tables.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr int kFirstRuralTable = 15;
constexpr int kLastRuralTable = 19;

std::string answer(std::string_view v) { return rt::UPPER(rt::ALLTRIM(std::string(v))); }

// The work copy of `table` refilled with the taxpayer's rows of `activity`.
void load_activity(int table, const std::string& cpf, const std::string& activity) {
    auto& ws = tables::ws();
    ws.close(work_area(table));
    for (const char* ext : {".dbf", ".cdx"}) {
        std::error_code ec;
        std::filesystem::remove(rt::table::resolve_path(work_file(table) + ext), ec);
    }
    const std::string key = taxpayer_key(table, cpf, activity);
    open_waiting(table, true, "Aguardando outro terminal carregar dados...");
    ws.current(table).seek(rt::Value(key));
    copy_taxpayer_rows(table, table, key);
    ws.close(table);
    open_work_copy(table);
}

}  // namespace

bool MUDA_ATV(std::string_view typed, std::string_view old_value) {
    const std::string now = answer(typed), before = answer(old_value);
    if (now != "S" && now != "N") {
        common::MENS(0, "Responda S (Brasil) ou N (exterior)");
        return false;
    }
    if (now == before) return true;
    const common::Global activity{"ATV_BRASIL"};
    // The rows on screen are saved under the activity they belong to, the
    // five tables together; a table that cannot be written keeps the
    // activity as it was.
    activity.set(rt::Value(before.empty() ? std::string("S") : before));
    try {
        SaveBatch batch;
        for (int table = kFirstRuralTable; table <= kLastRuralTable; ++table) SALVA_PARC(table, 0);
        batch.install();
    } catch (const TableUnavailable& e) {
        common::AVISOSN(*e.what() != '\0' ? std::string(e.what()) : "Não foi possível gravar a atividade rural."_cp, 0);
        return false;
    } catch (const rt::table::TableError&) {
        common::AVISOSN("Não foi possível gravar a atividade rural."_cp, 0);
        return false;
    }
    activity.set(rt::Value(now));
    const std::string cpf = text("CPF");
    try {
        for (int table = kFirstRuralTable; table <= kLastRuralTable; ++table) load_activity(table, cpf, now);
    } catch (const TableUnavailable& e) {
        if (*e.what() != '\0') common::AVISOSN(std::string(e.what()), 0);
    }
    tables::ws().select(work_area(kFirstRuralTable));
    PRENCHEWZK(now);
    // The saving's progress leaves the status line to the page.
    common::MENS();
    return true;
}

std::string rural_footer(int page) {
    switch (page) {
        case 1: return "<ESC>Fim | <TAB>Faturamento | <Alt_I>Indice | <Alt_H>Help";
        case 2:
            // Alt+A switches to the other way of filling the months.
            return std::string("<ESC>Fim | Alt A muda p/") + (logical("SO_TOTAL") ? "L. Caixa " : "Só Totais") +
                   "<TAB/SHIFT+TAB>Avança ou Volta Pag ";
        case 3: return "<ESC>Fim | <TAB>Rebanho | <SHIFT TAB> Faturamento ";
        case 4: return "<ESC>Fim | <TAB/PgDn> Bens | <SHIFT+TAB> Cálculo ";
        case 5: return "<ESC>Fim|<TAB>Dívidas|Alt F5=Tela auxiliar|<Alt_I>Indice";
        case 6: return "<ESC>Fim|<TAB>Local|<SHIFT+TAB>Bens|Alt F5=Tela Auxiliar|<Alt_I>Indice";
        case 13: return "Anote dados repetitivos do livro caixa - Ctrl Enter transfere a linha";
        case 14: return "Alt F2=Tela Auxiliar Alt O=Ordena Alt + mais ordem ALT 2/ALT 3 SubTotal";
        default: return {};
    }
}

void MRODAPER(int page) {
    const std::string text = rural_footer(page);
    if (text.empty()) common::MENS();
    else common::MENS(0, rt::utf8_to_cp850(text));
}

void register_rural_activity_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        const auto str = [](Args a, std::size_t i) {
            return i < a.size() && a[i].is_string() ? a[i].as_string() : std::string();
        };
        rt::register_function("MUDA_ATV", [str](Args a) { return rt::Value(MUDA_ATV(str(a, 0), str(a, 1))); });
        rt::register_function("MRODAPER", [](Args a) {
            MRODAPER(a.empty() ? 0 : static_cast<int>(common::number_of(a[0])));
            return rt::Value();
        });
    });
}

}  // namespace qv::declaration
