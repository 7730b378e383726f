// CRIA, CORRECAO and CORRIGE.
//
// An upgrade holds the old table alone from start to end, builds the new
// layout in a file of its own (named for the process, in the table's own
// folder, so two programs never share it and the final rename stays on one
// file system), carries the records over by field name, and then replaces
// the old file by renaming. The old index files are removed before the
// rename and rebuilt from the catalogue after it.
#include "tables/schema_upgrade.hpp"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "common/avisosn.hpp"
#include "common/messages.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/replace_set.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/catalogue.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"

namespace qv::tables {
namespace {

using namespace rt::literals;
namespace fs = std::filesystem;
namespace tb = rt::table;

std::string two(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

void creation_message(int code) {
    if (code >= 1 && code <= 40) {
        const int nn = code > 20 ? code - 20 : code;
        common::MENS(13, nn == 15 ? std::string("Criando IMP15.DBF)") : "Criando IMP" + two(nn) + ".DBF");
    } else if (code == 50) {
        common::MENS(13, "Criando DIRETOR.DBF");
    }
}

void fill_define_defaults(tb::Table& t) {
    for (const auto& [name, value] : define_defaults()) t.put(name, value);
}

// DEFINE's default record, in a table just created.
void write_define_defaults(const std::string& path) {
    const int saved = ws().selected();
    const int area = ws().select(0);
    try {
        tb::Table& t = ws().use_in(area, path, {});
        if (ADD_REC(5)) {
            fill_define_defaults(t);
            t.unlock();
        }
    } catch (const tb::TableError&) {
    }
    ws().close(area);
    ws().select(saved);
}

// Is the table of `code` in its current layout?
bool is_current(int code, tb::Table& t) {
    auto type_of = [&](std::string_view field) {
        const int i = t.field_index(field);
        return i < 0 ? ' ' : t.fields()[static_cast<std::size_t>(i)].type;
    };
    switch (code) {
        case 2: return type_of("NEW") == 'L';
        case 6: return type_of("ACER") == 'N';
        case 7: return t.record_len() == 1494;
        case 8: return t.record_len() == 216;
        case 9: return type_of("SOMAG") == 'C';
        case 43: return t.record_len() == 336;
        default: return true;
    }
}

// Copies the fields both tables have, by name; a value the new field
// cannot hold (another type) leaves it empty.
void copy_by_name(tb::Table& from, tb::Table& to) {
    for (int i = 0; i < to.field_count(); ++i) {
        const std::string& name = to.fields()[static_cast<std::size_t>(i)].name;
        if (to.field_index(name) != i) continue;   // a repeated name: the first one only
        const int j = from.field_index(name);
        if (j < 0) continue;
        const tb::Field& src = from.fields()[static_cast<std::size_t>(j)];
        const tb::Field& dst = to.fields()[static_cast<std::size_t>(i)];
        if (src.type != dst.type) continue;
        try {
            to.put(i, from.get(j));
        } catch (const tb::TableError&) {
        }
    }
}

std::string table_path(int code) {
    const auto entry = catalogue_entry(code, terminal());
    if (!entry) return {};
    const std::string folder = entry->folder == Folder::Client ? client_folder() : program_folder();
    return folder + entry->file;
}

void remove_index_files(int code, const std::string& path) {
    const auto entry = catalogue_entry(code, terminal());
    const std::string folder = with_separator(tb::folder_of(path));
    std::vector<std::string> files{tb::with_extension(path, ".cdx")};
    if (entry && !entry->file2.empty()) files.push_back(folder + entry->file2 + ".cdx");
    if (entry && !entry->file3.empty()) files.push_back(folder + entry->file3 + ".cdx");
    for (const auto& f : files) {
        if (!tb::file_exists(os_name(f))) continue;
        std::error_code ec;
        fs::remove(tb::resolve_path(os_name(f)), ec);
    }
}

// Rebuilds the table in `area` (open alone) into the current layout.
bool rebuild(int code, int area, const std::string& path) {
    tb::Table& old = ws().current(area);
    const std::string real = old.path();
    const std::string temp = with_separator(tb::folder_of(real)) + "ACERTO" + std::to_string(::getpid()) + ".dbf";
    const auto schema = schema_of(code);
    if (!schema) return false;
    const int saved = ws().selected();
    const int tarea = ws().select(0);
    try {
        if (tb::file_exists(temp)) fs::remove(tb::resolve_path(temp));
        tb::create_table(temp, *schema);
        tb::OpenOptions opt;
        opt.exclusive = true;
        tb::Table& neu = ws().use_in(tarea, temp, opt);
        old.set_order(0);
        old.go_top();
        if (code == 43) {
            // The settings live in the first record: the defaults fill the
            // fields the old layout lacked, and the office's own settings
            // are carried over instead of being reset.
            neu.append_blank();
            fill_define_defaults(neu);
            if (!old.eof()) {
                copy_by_name(old, neu);
                old.skip(1);
            }
        }
        for (; !old.eof(); old.skip(1)) {
            neu.append_blank();
            copy_by_name(old, neu);
        }
        if (code == 6) {
            for (neu.go_top(); !neu.eof(); neu.skip(1))
                if (neu.get("I6_3").as_number() == 22) neu.put("I6_3", rt::Value(21));
        }
        neu.commit();
        ws().close(tarea);
        remove_index_files(code, path);
        tb::keep_permissions(tb::resolve_path(temp), real);
        fs::rename(tb::resolve_path(temp), real);
    } catch (const std::exception&) {
        ws().close(tarea);
        std::error_code ec;
        fs::remove(tb::resolve_path(temp), ec);
        ws().select(saved);
        return false;
    }
    ws().close(area);
    ws().select(saved);
    return true;
}

}  // namespace

// The e-mail password lies among these settings.
void keep_settings_from_others(int code, std::string_view dbf) {
    if (code != 42 && code != 43 && code != 56 && code != 57) return;
    std::error_code ec;
    const fs::path p = tb::resolve_path(std::string(dbf));
    const fs::perms now = fs::status(p, ec).permissions();
    if (!ec && (now & fs::perms::others_all) != fs::perms::none)
        fs::permissions(p, now & ~fs::perms::others_all, fs::perm_options::replace, ec);
}

bool CRIA(std::string_view code_text, std::string_view file) {
    const int code = static_cast<int>(rt::VAL(code_text));
    const auto schema = schema_of(code);
    if (!schema) {
        common::AVISOSN("Arquivo "_cp + std::string(file) + " não localizado!"_cp, 0);
        common::FECHAJAN(10);
        return false;
    }
    creation_message(code);
    const std::string path = os_name(tb::with_default_extension(tb::normalise_separators(rt::ALLTRIM(file)), ".dbf"));
    // Two terminals may find the table missing at once: the one that makes
    // it second finds it there and leaves it (and what was written in it).
    bool made = false;
    try {
        made = tb::create_table_if_missing(path, *schema);
    } catch (const tb::TableError&) {
        common::FECHAJAN(10);
        return false;
    }
    if (made) {
        keep_settings_from_others(code, path);
        if (code == 43) write_define_defaults(path);
    }
    common::FECHAJAN(10);
    reset_message_width();
    return true;
}

void CORRECAO(int which) {
    set_show_messages(false);
    if (which == 0) {
        for (const char* code : {"02", "06", "07", "08", "09"}) CORRIGE(code);
    } else if (which == 43) {
        CORRIGE("43");
    }
}

bool CORRIGE(std::string_view code_text) {
    const int code = static_cast<int>(rt::VAL(code_text));
    if (code != 2 && code != 6 && code != 7 && code != 8 && code != 9 && code != 43) return false;
    const std::string path = table_path(code);
    const std::string dbf = os_name(tb::with_default_extension(path, ".dbf"));
    if (!tb::file_exists(dbf)) return false;
    const bool define_was_open = code == 43 && ws().table(43) != nullptr;

    // Recognition: a look at the table, shared.
    {
        tb::OpenOptions opt;
        opt.structural_index = false;
        try {
            tb::Table& t = ws().use_in(code, dbf, opt);
            const bool current = is_current(code, t);
            ws().close(code);
            if (current) {
                if (define_was_open) ABERTURA(43);
                return false;
            }
        } catch (const tb::TableError&) {
            ws().close(code);
            return false;
        }
    }
    // The upgrade: the old table held alone throughout.
    bool done = false;
    if (ABREARQ(code, true, path)) done = rebuild(code, code, path);
    ws().close(code);
    common::MENS();
    if (done && code != 43) {
        ABERTURA(code, true);   // the index files, for the new file
        ws().close(code);
    }
    if (define_was_open) ABERTURA(43);
    return done;
}

}  // namespace qv::tables
