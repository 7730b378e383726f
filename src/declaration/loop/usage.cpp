#include "declaration/loop/usage.hpp"

#include <algorithm>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/times.hpp"
#include "declaration/loop/page_globals.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/scatter.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/screen/screen.hpp"
#include "tables/declaration_protection.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

constexpr long kSecondsPerDay = 86400;
constexpr long kSizeCap = 999999;
constexpr int kUsageLogTable = 73;
constexpr int kRegisterArea = 9;
constexpr int kFirstWorkArea = 21;
constexpr int kLastSizedArea = 34;
constexpr int kPageRecordArea = 21;
constexpr int kTaxRecordArea = 29;
constexpr int kNoAutosave = 98;

const common::Global kIniDecla{"INI_DECLA"};
const common::Global kFimDecla{"FIM_DECLA"};
const common::Global kTemUso{"TEM_USO"};
const common::Global kTamUso{"TAM_USO"};
const common::Global kTemGast{"TEMGAST"};
const common::Global kSemHora{"SEMHORA"};

// A row that cannot be filled in goes again, and the log is closed however
// the writing ends.
void write_usage_row() {
    if (!tables::ABERTURA(kUsageLogTable)) return;
    struct CloseLog {
        ~CloseLog() {
            try {
                tables::ws().close(kUsageLogTable);
            } catch (...) {
            }
            tables::ws().select(kRegisterArea);
        }
    } close_log;
    rt::table::Table* log = tables::ws().table(kUsageLogTable);
    if (log == nullptr || !tables::ADD_REC()) return;
    try {
        const long start = kIniDecla.integer();
        const long end = kFimDecla.integer();
        log->put("NOMEAG", common::Global{"NOMEAG"}.value());
        log->put("CPF", common::Global{"CPF"}.value());
        log->put("NOMECONTR", common::Global{"NOMECONTR"}.value());
        log->put("DATAUSO", rt::Value(rt::DATE()));
        log->put("INIUSO", rt::Value(common::SEG_HORA(start)));
        log->put("FIMUSO", rt::Value(common::SEG_HORA(end)));
        log->put("TEMUSO", common::TEMPO_PAS(common::SEG_HORA(start), common::SEG_HORA(end), 1));
        log->commit();
    } catch (...) {
        log->discard();
        log->delete_record();
        log->unlock();
        throw;
    }
    log->unlock();
}

}  // namespace

bool write_protected() { return tables::status_protects(vars::ESTATUS.value()); }

void show_protection() { common::AVISOSN(tables::protection_text()); }

long VETEMPO(int mode) {
    const long now = static_cast<long>(rt::SECONDS());
    if (kSemHora.value().as_bool()) kIniDecla.set(rt::Value(now));
    kFimDecla.set(rt::Value(now));
    const long start = kIniDecla.integer(static_cast<int>(now));
    // A period that runs past midnight counts the whole day it crossed.
    long spent = kTemUso.integer() + now - start;
    if (now < start) spent += kSecondsPerDay;
    kTemGast.set(rt::Value(spent));
    if (mode == 3) write_usage_row();
    return spent;
}

long VETAMHO(int) {
    auto& ws = tables::ws();
    const int previous = ws.selected();
    rt::call_routine("VE_LIM_NEG");
    long size = 0;
    for (int area = kFirstWorkArea; area <= kLastSizedArea; ++area) {
        rt::table::Table* t = ws.table(area);
        if (t == nullptr) continue;
        size += static_cast<long>(t->record_len()) * static_cast<long>(t->lastrec()) + t->header_len() + 1;
        size = std::min(size, kSizeCap);
    }
    const int page = vars::TELA.integer();
    const int record_area = (page == 1 || page == 4) ? kPageRecordArea : page == 7 ? kTaxRecordArea : 0;
    if (record_area != 0 && ws.table(record_area) != nullptr) rt::gather(record_area);
    ws.select(previous);
    kTamUso.set(rt::Value(size));
    return size;
}

void SAL_DEC() {
    if (write_protected()) {
        show_protection();
        return;
    }
    if (vars::TEMP_SAL.integer() >= kNoAutosave) return;
    auto& ws = tables::ws();
    const int previous = ws.selected();
    // The save writes its progress on the status line; the page being
    // edited gets its own line back.
    const int status_row = rt::MAXROW();
    const std::string status = rt::SAVESCREEN(status_row, 0, status_row, rt::MAXCOL());
    rt::call_routine("SALVATUDO", {rt::Value(0)});
    rt::RESTSCREEN(status_row, 0, status_row, rt::MAXCOL(), status);
    vars::SEM_SALV.set(rt::Value(rt::TIME()));
    ws.select(previous);
}

bool autosave_due() {
    // The mode chosen in the options wins over an interval left from
    // another mode: only mode 1 saves by the clock.
    const int mode = common::Global{"COMO_SAL"}.integer(1);
    if (mode == 2 || mode == 3) return false;
    const int minutes = vars::TEMP_SAL.integer();
    if (minutes <= 0 || minutes >= kNoAutosave) return false;
    const long since = common::elapsed_seconds(vars::SEM_SALV.text(rt::TIME()), rt::TIME());
    return since / 60 >= minutes;
}

}  // namespace qv::declaration
