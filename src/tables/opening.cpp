// ABERTURA and ABREARQ: the catalogue applied.
#include "tables/opening.hpp"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <mutex>

#include "common/messages.hpp"
#include "common/paths.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/catalogue.hpp"
#include "tables/locks.hpp"
#include "tables/open_failure.hpp"
#include "tables/reference_tables.hpp"
#include "tables/schema_upgrade.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::tables {
namespace {

using namespace rt::literals;
namespace fs = std::filesystem;
namespace tb = rt::table;

void progress(const std::string& text) {
    if (show_messages()) common::MENS(13, text);
}

// "folder/name" with the name upper-cased (folders keep their spelling).
std::string upper_name(std::string_view file) {
    const std::string f = tb::normalise_separators(rt::ALLTRIM(file));
    const std::string folder = tb::folder_of(f);
    const std::string base = rt::UPPER(tb::base_name(f));
    return folder.empty() ? base : with_separator(folder) + base;
}

std::string dbf_of(const std::string& name) { return tb::with_default_extension(name, ".dbf"); }
std::string cdx_of(const std::string& name) { return tb::with_extension(name, ".cdx"); }
std::string cdx_name(const std::string& name) { return tb::with_default_extension(name, ".cdx"); }

// Whether a file the program names exists (in whatever letter case).
bool present(const std::string& name) { return tb::file_exists(os_name(name)); }

bool table_present(const std::string& name) { return tb::file_exists(name); }

// A table file of no bytes: a new table appears whole (written aside and
// renamed), so this one lost what it held. A reference table is made again
// from the delivered lists; any other is damaged, and kept for repair: made
// again empty, its rows would vanish from every list without a word.
bool emptied(const std::string& name) {
    std::error_code ec;
    const auto size = fs::file_size(tb::resolve_path(name), ec);
    return !ec && size == 0;
}

std::string tag_of(const std::string& bag) { return rt::UPPER(tb::stem_of(bag)).substr(0, 10); }

void remove_file(const std::string& path) {
    const std::string real = tb::resolve_path(os_name(path));
    std::error_code ec;
    fs::remove(real, ec);
}

// An index found damaged or out of step with its table when the table is
// opened is rebuilt on the spot; the user is told which.
void announce_index_rebuilds() {
    static std::once_flag once;
    std::call_once(once, [] {
        tb::set_index_rebuild_notice([](const std::string& bag) {
            progress(rt::LEFT("Recriando o índice "_cp + rt::UPPER(tb::base_name(bag)), 79));
        });
    });
}

// The opening's own steps (index building, repair) open the table under the
// alias the opening gives it: under its file name it could clash with a
// table of the same name from another folder open beside it.
std::string alias_of_opening() { return rt::UPPER(alias_override()); }

bool open_in(int area, const std::string& name, bool exclusive) {
    announce_index_rebuilds();
    ws().select(area);
    ws().close(area);
    return NETUSE(name, exclusive, 0);
}

struct Order {
    std::string key;
    std::string bag;   // index file with folder, without extension
};

// Builds the index files that are missing (or all of them when asked),
// with the table held alone; the table is left closed. False when it could
// not be had alone. Only a missing main index file has the table packed:
// rebuilding on request keeps the deleted records. A pack moves records, so
// then every other index file is built again too.
bool build_indexes(int area, const std::string& name, const std::vector<Order>& orders, bool all,
                   bool announce = true) {
    const bool main_missing = !present(cdx_of(name));
    ws().select(area);
    ws().close(area);
    tb::OpenOptions opt;
    opt.exclusive = true;
    opt.structural_index = false;
    opt.alias = alias_of_opening();
    tb::Table* t = nullptr;
    try {
        t = &ws().use_in(area, os_name(name), opt);
    } catch (const tb::TableBusy&) {
        // another terminal has it (or is putting a rewrite of it in place)
        note_open_failure(OpenFault::InUse, dbf_of(name));
        return false;
    } catch (const tb::TableError&) {
        note_open_failure(OpenFault::Damaged, dbf_of(name));
        return false;
    }
    try {
        for (std::size_t i = 0; i < orders.size(); ++i) {
            const Order& o = orders[i];
            if (o.key.empty()) continue;
            const bool first = i == 0;
            const std::string file = first ? cdx_of(name) : cdx_name(o.bag);
            if (!all && !main_missing && present(file)) continue;
            remove_file(file);
            if (first && main_missing) t->pack();
            const std::string shown = (first ? name : o.bag) + ".cdx";
            if (announce) progress(rt::LEFT((first ? "Criando o indice "_cp : "Criando o índice "_cp) + shown, 79));
            tb::IndexOptions io;
            if (!first) io.bag = os_name(file);
            t->index_on(o.key, first ? tag_of(name) : tag_of(o.bag), io);
        }
    } catch (const tb::TableBusy&) {
        // another terminal is making the same index file at this moment
        ws().close(area);
        note_open_failure(OpenFault::InUse, cdx_of(name));
        return false;
    } catch (const tb::TableError&) {
        ws().close(area);
        note_open_failure(OpenFault::NotCreated, cdx_of(name));
        return false;
    }
    ws().close(area);
    return true;
}

// The folder of the stand-in tables, removed when the program ends.
class StandInFolder {
public:
    const fs::path& get() {
        if (dir_.empty()) {
            std::error_code ec;
            owner_ = ::getpid();
            dir_ = fs::temp_directory_path(ec) / ("qv-empty-" + std::to_string(owner_));
        }
        return dir_;
    }
    ~StandInFolder() {
        if (dir_.empty() || owner_ != ::getpid()) return;
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

private:
    fs::path dir_;
    pid_t owner_ = 0;
};

StandInFolder& stand_in_folder() {
    static StandInFolder folder;
    return folder;
}

// A reference table that is missing and cannot be installed: an empty
// table of its layout, outside the program folder, stands in its area so
// that look-ups find nothing instead of failing.
bool open_stand_in(int area, int code, const std::string& name, const std::vector<Order>& orders) {
    const auto schema = reference_schema(code);
    if (!schema) return false;
    std::error_code ec;
    const fs::path& dir = stand_in_folder().get();
    fs::create_directories(dir, ec);
    const std::string stand_in = (dir / tb::base_name(name)).string();
    try {
        if (!tb::file_exists(dbf_of(stand_in))) tb::create_table(dbf_of(stand_in), *schema);
    } catch (const tb::TableError&) {
        return false;
    }
    std::vector<Order> local = orders;
    for (std::size_t i = 1; i < local.size(); ++i)
        if (!local[i].bag.empty()) local[i].bag = (dir / tb::base_name(local[i].bag)).string();
    // The stand-in is no table of the program's: its indexes go unannounced.
    if (!build_indexes(area, stand_in, local, false, false)) return false;
    if (!open_in(area, stand_in, false)) return false;
    tb::Table& t = ws().current(area);
    for (std::size_t i = 1; i < local.size(); ++i)
        if (!local[i].key.empty()) t.add_bag(os_name(cdx_name(local[i].bag)));
    if (t.order_count() > 0) t.set_order(1);
    t.go_top();
    return true;
}

// Opens the other index files of the table open in `area` and makes order 1
// active; false when one of them cannot be read.
bool attach_orders(int area, const std::vector<Order>& orders) {
    try {
        tb::Table& t = ws().current(area);
        for (std::size_t i = 1; i < orders.size(); ++i) t.add_bag(os_name(cdx_name(orders[i].bag)));
        if (t.order_count() > 0) t.set_order(1);
        t.go_top();
        return true;
    } catch (const tb::TableBusy&) {
        note_open_failure(OpenFault::InUse, orders.front().bag);
    } catch (const tb::TableError&) {
        note_open_failure(OpenFault::Damaged, orders.front().bag);
    }
    return false;
}

enum class Creation { Created, Unshipped, Failed };

// The file is missing: a reference table is installed from the shipped
// lists; any other is created from its layout. Unshipped: a reference table
// whose lists are not there (announced by CRIA); Failed: the file could not
// be written.
Creation create_missing(int area, const std::string& name) {
    const int ref = reference_code_of(tb::stem_of(name));
    if (ref != 0) {
        if (build_reference_table(ref, os_name(dbf_of(name)), reference_data_folder())) return Creation::Created;
        if (CRIA(std::to_string(area), tb::base_name(name) + ".dbf")) return Creation::Created;
        const bool own_rows = ref == 41 || ref == 61 || ref == 62 || ref == 66 || ref == 69;
        if (reference_data_folder().empty() && !own_rows) return Creation::Unshipped;
    } else if (CRIA(std::to_string(area), dbf_of(name))) {
        return Creation::Created;
    }
    const bool writable = unwritable_folder_text(without_separator(tb::folder_of(name))).empty();
    note_open_failure(writable ? OpenFault::NotCreated : OpenFault::NotWritable, dbf_of(name));
    return Creation::Failed;
}

// The table opens but one of its index files cannot be read: every index
// file of it is built again (without a pack: the records are sound).
bool repair_damaged_index(int area, const std::string& name, const std::vector<Order>& orders, bool exclusive) {
    if (last_open_failure().fault != OpenFault::Damaged) return false;
    ws().close(area);
    tb::OpenOptions opt;
    opt.structural_index = false;
    opt.alias = alias_of_opening();
    try {
        ws().use_in(area, os_name(name), opt);
    } catch (const tb::TableBusy&) {
        ws().close(area);
        note_open_failure(OpenFault::InUse, dbf_of(name));
        return false;   // another terminal is rewriting it: sound, only busy
    } catch (const tb::TableError&) {
        ws().close(area);
        note_open_failure(OpenFault::Damaged, dbf_of(name));
        return false;   // the table itself is damaged
    }
    ws().close(area);
    if (!build_indexes(area, name, orders, true)) return false;
    clear_open_failure();
    return open_in(area, name, exclusive);
}

// The folder list: opened alone; an empty list gets the program folder as
// its one selected folder.
bool open_folder_list() {
    const std::string name = program_folder() + "DIRET" + terminal();
    if (!ABREARQ(50, true, name, "upper(DIRETOR)")) return false;
    tb::Table* t = ws().table(50);
    if (!t) return false;
    t->go_top();
    if (t->eof()) {
        if (ADD_REC(5)) {
            t->put("DIRETOR", rt::Value(without_separator(program_folder())));
            t->put("SELEC", rt::Value("S"));
            t->unlock();
        }
        t->go_top();
    }
    return true;
}

void upgrade_listed_folders() {
    tb::Table* list = ws().table(50);
    if (!list) return;
    list->go_top();
    while (!list->eof()) {
        const std::string folder = rt::ALLTRIM(list->get("DIRETOR").as_string());
        set_client_folder(folder);
        if (!common::VERDIR(folder)) {
            ws().select(50);
            if (REC_LOCK(5)) {
                list->delete_record();
                list->unlock();
            }
        } else {
            CORRECAO(0);
            ws().select(50);
        }
        list->skip(1);
    }
}

bool startup_pass() {
    ws().close_all();
    // A new list holds the program folder before the upgrade pass, so that
    // old tables there are upgraded at the first start too.
    if (!open_folder_list()) return false;
    // The pass makes each listed folder current in turn; a pass run again
    // later (after a rebuild of the indexes, a restore) leaves the clerk in
    // the folder he was in, not in the last one it walked.
    const std::string current = client_folder();
    upgrade_listed_folders();
    set_client_folder(current);
    const std::string prog = program_folder();
    // The help texts come with the program: installed when the folder has
    // none (an office's own help table is kept).
    if (!present(prog + "HELPTXT.DBF")) build_reference_table(45, os_name(prog + "HELPTXT.dbf"), reference_data_folder());
    for (int code : {41, 45, 46, 47, 48, 49, 51, 52, 53, 54, 58, 66}) {
        if (code == 45 && !(present(prog + "HELPTXT.DBF") && present(prog + "HELPTXT.DBT")))
            continue;
        const bool ok = ABERTURA(code);
        const bool needed = code == 41 || (code >= 46 && code <= 49) || (code >= 51 && code <= 54) || code == 58;
        if (needed && !ok) return false;
    }
    return SAI_ABRE(0);
}

}  // namespace

bool ABREARQ(int area, bool exclusive, std::string_view file, std::string_view key1, std::string_view key2,
             std::optional<std::string> file2, std::string_view key3, std::string_view file3) {
    // The progress box ("Verificando o Arquivo ...") goes when the opening ends.
    struct ProgressBox {
        ~ProgressBox() {
            if (show_messages()) common::FECHAJAN(10);
        }
    } const progress_box;
    ws().close(area);
    const std::string name = upper_name(file);
    std::string bag2;
    if (file2) bag2 = rt::ALLTRIM(*file2);
    else if (!rt::ALLTRIM(key2).empty()) bag2 = name + "B";
    std::string bag3 = rt::ALLTRIM(file3);
    if (!bag2.empty() && tb::folder_of(tb::normalise_separators(bag2)).empty())
        bag2 = with_separator(tb::folder_of(name)) + bag2;
    if (!bag3.empty() && tb::folder_of(tb::normalise_separators(bag3)).empty())
        bag3 = with_separator(tb::folder_of(name)) + bag3;

    set_blink_colour();
    progress("Verificando o Arquivo " + name);

    std::vector<Order> orders{{std::string(rt::ALLTRIM(key1)), name}};
    if (!bag2.empty()) orders.push_back({std::string(rt::ALLTRIM(key2)), bag2});
    if (!bag3.empty()) orders.push_back({std::string(rt::ALLTRIM(key3)), bag3});

    clear_open_failure();
    if (emptied(dbf_of(name))) {
        if (reference_code_of(tb::stem_of(name)) == 0) {
            note_open_failure(OpenFault::Damaged, dbf_of(name));
            ws().select(area);
            return false;
        }
        remove_file(dbf_of(name));
    }
    if (!table_present(dbf_of(name))) {
        progress(name + ".dbf" + " não localizado está sendo criado "_cp);
        switch (create_missing(area, name)) {
        case Creation::Created: break;
        case Creation::Unshipped:
            open_stand_in(area, reference_code_of(tb::stem_of(name)), name, orders);
            ws().select(area);
            return true;
        case Creation::Failed: ws().select(area); return false;
        }
    }
    if (!open_in(area, name, exclusive) && !repair_damaged_index(area, name, orders, exclusive)) return false;
    if (orders[0].key.empty()) {
        ws().current(area).go_top();
        reset_message_width();
        return true;
    }
    bool missing = rebuild_indexes();
    for (std::size_t i = 0; i < orders.size(); ++i)
        if (!orders[i].key.empty() && !present(i == 0 ? cdx_of(name) : cdx_name(orders[i].bag)))
            missing = true;
    if (missing) {
        if (!build_indexes(area, name, orders, rebuild_indexes())) return false;
        if (!open_in(area, name, exclusive)) return false;
    }
    if (!attach_orders(area, orders)) {
        if (!repair_damaged_index(area, name, orders, exclusive) || !attach_orders(area, orders)) {
            ws().close(area);
            return false;
        }
    }
    ws().select(area);
    reset_message_width();
    return true;
}

bool ABERTURA(int code, bool exclusive) {
    if (code == 0) return startup_pass();
    if (code == 50) return open_folder_list();
    const auto entry = catalogue_entry(code, terminal());
    if (!entry) return false;
    const std::string folder = entry->folder == Folder::Client ? client_folder() : program_folder();
    const bool excl = entry->mode == Mode::Exclusive || (entry->mode == Mode::Caller && exclusive);
    if (code == 45 && !(present(folder + "HELPTXT.DBF") && present(folder + "HELPTXT.DBT")))
        return false;
    std::optional<std::string> file2;
    if (!entry->file2.empty()) file2 = folder + entry->file2;
    const std::string file3 = entry->file3.empty() ? std::string() : folder + entry->file3;
    bool ok = ABREARQ(code, excl, folder + entry->file, entry->key1, entry->key2, file2, entry->key3, file3);
    if (closes_with_sai_abre(code)) {
        SAI_ABRE(code);
        ws().select(code);
    }
    if (code == 66) ok = true;
    return ok;
}

bool SAI_ABRE(int code) {
    if (show_messages()) common::FECHAJAN(10);
    ws().set_deleted(true);
    reset_message_width();
    if (code == 0) {
        ws().close_all();
        return open_folder_list();
    }
    if (code == 50) return open_folder_list();
    return true;
}

// The work copies closed, the declaration is no longer open here: its
// taxpayer is free for the other terminals.
void FECHA_PROV() {
    for (int a = 21; a <= 40; ++a) ws().close(a);
    release_editing_mark();
}

void FECHA_TODO() {
    for (int a = 1; a <= 40; ++a)
        if (a != 9) ws().close(a);
}

void CDX() {
    std::error_code ec;
    const std::string folder = tb::resolve_path(without_separator(default_folder()));
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (!e.is_regular_file(ec)) continue;
        if (rt::UPPER(e.path().extension().string()) != ".CDX") continue;
        if (e.file_size(ec) == 0) fs::remove(e.path(), ec);
    }
}

long SKIPPED(long n, bool appendmode) {
    tb::Table* t = ws().table(0);
    if (!t || t->lastrec() == 0 || (t->eof() && t->bof())) return 0;
    long moved = 0;
    if (n == 0) {
        t->skip(0);
    } else if (n > 0) {
        // On the blank line past the last row there is nothing further.
        while (moved < n && !t->eof()) {
            t->skip(1);
            if (t->eof()) {
                if (appendmode) ++moved;
                else t->skip(-1);
                break;
            }
            ++moved;
        }
    } else {
        while (moved > n) {
            t->skip(-1);
            if (t->bof()) break;
            --moved;
        }
    }
    return moved;
}

bool open_at_start(int code) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    for (;;) {
        if (ABERTURA(code)) return true;
        if (!failed_in_use() || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
}

}  // namespace qv::tables
