#include "shell/dispatcher.hpp"

#include <map>
#include <utility>

#include "common/messages.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/screen/keys.hpp"
#include "shell/dispatcher_routines.hpp"

namespace qv::shell {

using rt::operator""_cp;

namespace {

std::map<int, MenuFeature>& registry() {
    static std::map<int, MenuFeature> features;
    return features;
}

}  // namespace

void register_menu_feature(int id, MenuFeature feature) {
    if (feature) registry()[id] = std::move(feature);
    else registry().erase(id);
}

bool has_menu_feature(int id) { return registry().count(id) != 0; }

bool run_menu_feature(int id) {
    const auto it = registry().find(id);
    if (it == registry().end()) return false;
    const MenuFeature feature = it->second;   // the routine may re-register itself
    feature();
    return true;
}

void clear_menu_features() { registry().clear(); }

std::string unbuilt_feature_notice() {
    return "Esta opção ainda não está disponível nesta versão. Tecle algo."_cp;
}

namespace {

// The menu reopens over the status line at once: the notice waits for a key
// so that it can be read.
void show_notice() {
    common::MENS(0, unbuilt_feature_notice());
    rt::INKEY(-1);
    common::MENS();
}

}  // namespace

void run_or_notice(int id) {
    if (!run_menu_feature(id)) show_notice();
}

bool routine_built(std::string_view name) { return rt::has_function(name); }

std::optional<rt::Value> call_routine(std::string_view name, std::initializer_list<rt::Value> args) {
    const rt::FunctionEntry* entry = rt::find_function(name);
    if (!entry) return std::nullopt;
    const std::vector<rt::Value> list(args);
    const rt::Function fn = entry->fn;   // the routine may register itself again while it runs
    return fn(std::span<const rt::Value>(list));
}

std::optional<rt::Value> call_or_notice(std::string_view name, std::initializer_list<rt::Value> args) {
    auto result = call_routine(name, args);
    if (!result) show_notice();
    return result;
}

bool call_as_bool(std::string_view name, std::initializer_list<rt::Value> args, bool missing) {
    const auto result = call_routine(name, args);
    if (!result) return missing;
    return result->is_logical() ? result->as_bool() : true;
}

}  // namespace qv::shell
