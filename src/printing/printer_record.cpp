#include "printing/printer_record.hpp"

#include <string>

#include "common/globals.hpp"
#include "printing/control_sequences.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/table/table.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::printing {

namespace {

void put_defaults(rt::table::Table& t, const std::string& terminal, const std::string& default_printer) {
    const std::pair<const char*, rt::Value> defaults[] = {
        {"NRO_TERM", rt::Value(terminal)}, {"NROIMPR", rt::Value(1)},       {"LOCIMPR", rt::Value("L")},
        {"NROLPT", rt::Value(1)},          {"NROCOM", rt::Value(0)},        {"SAIDAPR", rt::Value("")},
        {"NOMEIMP", rt::Value("NAO DOS")}, {"SEQ0", rt::Value("<018>")},    {"SEQ1", rt::Value("<015>")},
        {"SEQ2", rt::Value("<027>A")},     {"SEQ3", rt::Value("<014>//<020>")}, {"VERMELHO", rt::Value("N")},
        {"NOMEREDE", rt::Value(default_printer)}};
    for (const auto& [name, v] : defaults) t.put(name, v);
    t.commit();
}

std::string text_field(rt::table::Table* t, const char* name) {
    if (!t || t->eof()) return {};
    const rt::Value v = t->get(name);
    return v.is_string() ? v.as_string() : std::string();
}

}  // namespace

void CRIA_SEQ() { prepare_printer_record(DefaultPrinter::Always); }

void prepare_printer_record(DefaultPrinter ask) {
    // Asking the spooler costs tens of milliseconds; at start-up the stored
    // name replaces the answer at once, so it is asked only for a new record.
    std::string default_printer;
    bool asked = false;
    auto ask_spooler = [&] {
        if (asked) return;
        asked = true;
        default_printer = rt::utf8_to_cp850(rt::os::default_printer());
        common::Global{"NOMEREDE"}.set(rt::Value(default_printer));
    };
    if (ask == DefaultPrinter::Always) ask_spooler();
    rt::table::Table* t = nullptr;
    if (tables::ABERTURA(kPrinterArea)) {
        t = tables::ws().table(kPrinterArea);
        const std::string terminal = common::Global{"NUSU"}.text("00");
        if (t && !t->seek(rt::Value(terminal))) {
            ask_spooler();
            // Without the lock no record is made; the strings then come
            // from blank sequences.
            if (tables::ADD_REC(2)) {
                put_defaults(*t, terminal, default_printer);
                t->unlock();
            } else {
                t->go_bottom();
                t->skip();
            }
        }
    }
    if (!t) ask_spooler();
    const CompiledSequences c = compile_sequences(text_field(t, "SEQ0"), text_field(t, "SEQ1"),
                                                  text_field(t, "SEQ2"), text_field(t, "SEQ3"));
    const std::pair<const char*, const std::string*> strings[] = {
        {"STRING0", &c.normal}, {"STRING1", &c.condensed}, {"STRING2", &c.third},
        {"STRING3", &c.wide_on}, {"STRING4", &c.wide_off}};
    for (const auto& [name, value] : strings) common::Global{name}.set(rt::Value(*value));
}

}  // namespace qv::printing
