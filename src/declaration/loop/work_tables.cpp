#include "declaration/loop/work_tables.hpp"

#include <filesystem>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/table/transfer.hpp"
#include "tables/catalogue.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

namespace tb = rt::table;

std::function<void(std::string_view)>& wait_hook() {
    static std::function<void(std::string_view)> hook;
    return hook;
}

// A field's bytes in a raw record ("" when the table has no such field).
struct FieldBytes {
    int offset = -1, len = 0;
    std::string_view of(std::string_view record) const {
        return offset < 0 ? std::string_view() : record.substr(std::size_t(offset), std::size_t(len));
    }
};

FieldBytes field_bytes(const tb::Table& t, std::string_view name) {
    const int i = t.field_index(name);
    if (i < 0) return {};
    const tb::Field& f = t.fields()[std::size_t(i)];
    return {f.offset, f.len};
}

}  // namespace

std::string work_folder() {
    std::string folder = common::Global("LOCTRAB").text();
    if (rt::ALLTRIM(folder).empty()) folder = tables::default_folder();
    return tables::with_separator(rt::ALLTRIM(folder));
}

std::string work_file(int table) { return work_file(work_folder(), table); }

std::string work_file(std::string_view folder, int table) {
    return std::string(folder) + "TMP_" + rt::STRZERO(table, 2) + tables::terminal();
}

std::string_view work_index_key(int area) {
    switch (area) {
        case 24: return "I7_0";
        case 25: return "I8_0";
        case 27: return "STRZERO(BEM_NRO,2)+STRZERO(RVAR_NRO,2)+DAY_TRADE";
        case 28: return "STRZERO(BEM_NRO,2)+STRZERO(RVAR_NRO,2)";
        case 30: return "coddesp";
        case 31: return "codERR";
        case 35: case 36: return "cpf+ATV_BRASIL";
        case 37: return "I8R_0";
        case 38: return "I9R_0";
        default: return "cpf";
    }
}

bool open_work_copy(int table) {
    const int area = work_area(table);
    const std::string file = tb::resolve_path(work_file(table) + ".dbf");
    tables::ws().close(area);
    if (!tb::file_exists(file)) return false;
    // The index is always built anew: one left from an earlier copy would
    // not describe this one.
    std::error_code ec;
    std::filesystem::remove(tb::resolve_path(tb::with_extension(file, ".cdx")), ec);
    tb::OpenOptions opt;
    opt.exclusive = true;
    opt.structural_index = false;
    try {
        tb::Table& copy = tables::ws().use_in(area, file, opt);
        copy.index_on(std::string(work_index_key(area)), tb::stem_of(file));
        copy.go_top();
    } catch (const tb::TableError&) {
        tables::ws().close(area);
        return false;
    }
    tables::ws().select(area);
    return true;
}

void open_waiting(int table, bool exclusive, std::string_view message) {
    while (!tables::ABERTURA(table, exclusive)) {
        if (!tables::failed_in_use()) throw TableUnavailable(tables::open_failure_text());
        if (wait_hook()) {
            wait_hook()(message);
            continue;
        }
        bool opened = false;
        const int chosen = common::wait_alert({std::string(message)}, {"Ok"}, [&] {
            opened = tables::ABERTURA(table, exclusive);
            return opened || !tables::failed_in_use();
        });
        if (opened) return;
        if (chosen == 0) throw TableUnavailable("");
    }
}

void set_exclusive_wait(std::function<void(std::string_view)> wait) { wait_hook() = std::move(wait); }

std::string taxpayer_key(int table, std::string_view cpf, std::string_view activity) {
    std::string key = rt::PADR(std::string(cpf), 11);
    if (by_activity(table)) key += rt::PADR(std::string(activity), 1);
    return key;
}

std::function<bool(std::string_view)> taxpayer_rows(int area, int table, std::string_view cpf,
                                                    std::string_view activity) {
    const tb::Table& t = tables::ws().current(area);
    const FieldBytes cpf_field = field_bytes(t, "CPF");
    const FieldBytes activity_field = by_activity(table) ? field_bytes(t, "ATV_BRASIL") : FieldBytes{};
    return [cpf_field, activity_field, cpf = rt::PADR(std::string(cpf), 11),
            activity = rt::PADR(std::string(activity), 1)](std::string_view record) {
        if (cpf_field.of(record) != cpf) return false;
        return activity_field.offset < 0 || activity_field.of(record) == activity;
    };
}

long copy_taxpayer_rows(int area, int table, const std::string& key, const std::string& file) {
    tb::Table& t = tables::ws().current(area);
    const auto belongs = taxpayer_rows(area, table, key.substr(0, 11), key.size() > 11 ? key.substr(11) : "");
    tb::TransferOptions opt;
    opt.rest = true;
    opt.while_cond = [&t, belongs] { return belongs(t.raw_record()); };
    opt.for_cond = [&t] { return !t.deleted(); };
    return tb::copy_to(tables::ws(), t, file.empty() ? work_file(table) : file, opt);
}

}  // namespace qv::declaration
