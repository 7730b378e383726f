#include "shell/dispatcher.hpp"

#include <map>
#include <utility>

namespace qv::shell {

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

}  // namespace qv::shell
