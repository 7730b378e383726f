#include "tables/locks.hpp"

#include <unistd.h>

#include <chrono>
#include <thread>

#include "common/messages.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/file_names.hpp"
#include "runtime/table/table_error.hpp"
#include "tables/open_failure.hpp"
#include "tables/state.hpp"

namespace qv::tables {
namespace {

using namespace rt::literals;

constexpr double kStep = 0.5;

std::function<void()>& pause_hook() {
    static std::function<void()> hook;
    return hook;
}

void pause() {
    if (pause_hook()) {
        pause_hook()();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

void status_centred(const std::string& text) {
    common::MensArgs args;
    args.col = rt::Value("C");
    common::MENS(0, text, args);
}

void status_plain(const std::string& text) { common::MENS(0, text); }

// One key read without waiting; true when it is Esc (other keys are
// consumed and ignored).
bool esc_pressed() { return rt::INKEY(0) == rt::key::ESC; }

rt::table::Table* selected_table() { return ws().table(0); }

std::string upper_ascii(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

std::string lock_failure() { return "ATENÇAO! Registro não ficou disponível. Dado não será gravado."_cp; }

}  // namespace

void set_lock_pause(std::function<void()> p) { pause_hook() = std::move(p); }

bool NETUSE(std::string_view file, bool exclusive, double /*seconds*/) {
    const std::string apelido = alias_override();
    const std::string own = upper_ascii(rt::table::stem_of(rt::table::normalise_separators(file)));
    const std::string selected_alias = upper_ascii(ws().alias(0));
    if (!selected_alias.empty()) {
        if (apelido.empty() ? selected_alias == own : selected_alias == upper_ascii(apelido)) return true;
    }
    rt::table::OpenOptions opt;
    opt.exclusive = exclusive;
    opt.alias = apelido.empty() ? own : upper_ascii(apelido);
    const std::string name = rt::table::normalise_separators(file);
    try {
        ws().use(os_name(name), opt);
        return true;
    } catch (const rt::table::TableBusy&) {
        note_open_failure(OpenFault::InUse, name);
    } catch (const rt::table::TableError&) {
        const std::string real = rt::table::resolve_path(os_name(rt::table::with_default_extension(name, ".dbf")));
        const bool writable = ::access(real.c_str(), W_OK) == 0;
        note_open_failure(writable ? OpenFault::Damaged : OpenFault::NotWritable, name);
    }
    return false;
}

bool REC_LOCK(double seconds) {
    rt::table::Table* t = selected_table();
    if (!t) return false;
    if (t->rlock()) return true;
    status_centred("Aguardando registro ficar disponível no arquivo "_cp + t->alias());
    double left = seconds;
    while (left > 0 && !esc_pressed()) {
        if (t->rlock()) {
            common::MENS();
            return true;
        }
        pause();
        left -= kStep;
    }
    status_plain(lock_failure());
    return false;
}

bool FIL_LOCK(double seconds) {
    rt::table::Table* t = selected_table();
    if (!t) return false;
    if (t->flock()) return true;
    status_centred("Aguardando arquivo ficar disponível"_cp);
    double left = seconds;
    while ((seconds == 0 || left > 0) && !esc_pressed()) {
        pause();
        left -= kStep;
        if (t->flock()) {
            common::MENS();
            return true;
        }
    }
    status_plain(lock_failure());
    return false;
}

bool ADD_REC(double seconds) {
    rt::table::Table* t = selected_table();
    if (!t) return false;
    if (t->append_blank()) return true;
    status_centred("Aguardando registro ficar disponível"_cp);
    double left = seconds;
    while ((seconds == 0 || left > 0) && !esc_pressed()) {
        if (t->append_blank()) {
            common::MENS();
            return true;
        }
        pause();
        left -= kStep;
    }
    status_plain("ATENÇÃO! Registro não ficou disponível. Dado não será gravado."_cp);
    return false;
}

}  // namespace qv::tables
