// The colour strings, the calendar values and the settings records.
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "common/startup.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/core/functions.hpp"
#include "printing/printer_record.hpp"
#include "shell/startup_steps.hpp"
#include "tables/opening.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/state.hpp"

namespace qv::shell::startup {
namespace {

using common::Global;
namespace tb = rt::table;

void set(std::string_view name, rt::Value v) { Global{name}.set(std::move(v)); }

constexpr const char* kConfigFields[] = {
    "OPCIRPF", "ROTAANTER", "ROTARECEI", "ROTAJAVA", "ROTABACK", "ROTADOANO", "DIRTRAB", "DIRPROV",
    "QUEIMP",  "QUEMOD",    "QUEPAG",    "QUECON",   "MOSIMP",   "MOSTEL",    "MOSCPF",  "COMPAGA",
    "IMPBEM",  "IMPBAL",    "ULT_CPF",   "XDRIVE",   "SOESTE",   "OPTTRAN",   "ULTBACK", "ENV_STAT",
    "OPC_TRAN", "MARESQ",   "INIFOL",    "LINETI",   "NRO_LIN"};

constexpr const char* kDefineFields[] = {
    "VAL_SEG",  "VAL_BYTE", "VAL_MIN",  "COMO_SAL", "TEMP_SAL",  "TEMP_DES", "VAL_CPMF", "BOL_NOSNRO", "SER_SMTP",
    "NOM_USUA", "EMA_USUA", "SEN_USUA", "MEMORIZ",  "VER_ATUAL", "PROCESSA", "PROGCOMP", "STATRAVA"};

constexpr int kPrinterArea = 57;
constexpr const char* kPrinterFields[] = {"NROIMPR", "LOCIMPR", "NROLPT", "NROCOM", "SAIDAPR", "NOMEIMP", "NOMEREDE"};

rt::Value field_or(tb::Table* t, std::string_view name, rt::Value fallback) {
    if (!t || t->field_index(name) < 0) return fallback;
    return t->get(name);
}

}  // namespace

void build_calendar() {
    const rt::Date today = rt::DATE();
    set("DATCALEN", today);
    set("HOJE", today);
    set("DIA", today.day());
    set("MESCALEN", today.month());
    set("ANOCALEN", today.year());
    const std::string dd = rt::STRZERO(today.day(), 2);
    const std::string mm = rt::STRZERO(today.month(), 2);
    const std::string yyyy = rt::STRZERO(today.year(), 4);
    set("CARDIA", dd);
    set("CARMES", mm);
    set("CARANO", yyyy);
    const std::string first = "01/" + mm + "/" + yyyy;
    set("POSCALEN", first);
    set("DIAINIC", rt::DOW(rt::CTOD(first)));
}

void load_config_variables() {
    tb::Table* t = tables::ws().table(42);
    const common::FieldValues defaults = common::config_defaults(common::current_config_context(tables::terminal()));
    for (const char* name : kConfigFields) {
        rt::Value v = field_or(t, name, Global{name}.value());
        for (const auto& [field, fallback] : defaults)
            if (field == name && v.is_string() && fallback.is_string())
                v = rt::Value(common::whole_default_folder(v.as_string(), fallback.as_string()));
        set(name, std::move(v));
    }
    std::string nomeag = field_or(t, "NOMEAG", "").as_string();
    if (rt::ALLTRIM(nomeag).empty()) nomeag = "USUARIO DO TERMINAL " + rt::ALLTRIM(Global{"NUSU"}.text());
    set("NOMEAG", nomeag);
    set("CPF", Global{"ULT_CPF"}.value());
    const bool has_tax_folder = !rt::ALLTRIM(Global{"ROTARECEI"}.text()).empty();
    set("LOCIRPF", has_tax_folder ? common::BAR_DIR(Global{"ROTAJAVA"}.text()) : std::string());
}

void load_define_variables() {
    tb::Table* t = nullptr;
    try {
        if (tables::ABERTURA(43)) {
            tables::ws().select(43);
            tables::CORRIGE("43");
            if (tables::ABERTURA(43)) t = tables::ws().table(43);
        }
        if (t) t->go_top();
        for (const char* name : kDefineFields) set(name, field_or(t, name, Global{name}.value()));
        rt::Value dates = rt::Value::array(8);
        for (int k = 1; k <= 8; ++k)
            (*dates.as_array())[static_cast<std::size_t>(k - 1)] =
                field_or(t, "VCTO" + std::to_string(k), rt::Value(rt::Date{}));
        set("DAT_VENC", dates);
        const double dollar = field_or(t, "VAL_DOLAR", 0).as_number();
        set("NVALDOLAR", dollar);
        set("CVALDOLAR", rt::STR(dollar, 6, 4));
    } catch (const tb::TableError&) {
        // The office settings keep their starting values.
    }
    set("BOL_BANCO", 341);
    tables::ws().close(43);
    set("QTD_IMPR", 0);
    set("CCONFERE", "A");
    set("SO_MOS", 1);
    set("TONACAL", false);
    set("MOS_MENS", true);
}

void printer_variables() {
    for (int k = 0; k <= 4; ++k) {
        set("STRING" + std::to_string(k), "");
        set("SEQUA" + std::to_string(k), "");
    }
    set("LIN72", "\x1b&l74P");
    // The printer module creates the terminal's printer record when missing,
    // compiles the control strings and leaves that record current.
    printing::prepare_printer_record(printing::DefaultPrinter::ForNewRecord);
    tb::Table* printer = tables::ws().table(kPrinterArea);
    for (const char* name : kPrinterFields)
        if (printer && !printer->eof()) set(name, field_or(printer, name, Global{name}.value()));
    for (const char* name : {"NOMEIMP", "NOMEREDE"}) set(name, rt::ALLTRIM(Global{name}.text()));
}

}  // namespace qv::shell::startup
