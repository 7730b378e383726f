#include "declaration/grids/grid_hooks.hpp"

#include <optional>
#include <span>

#include "runtime/core/functions.hpp"

namespace qv::declaration::grids {

namespace {

std::optional<rt::Value> call(std::string_view routine, const std::vector<rt::Value>& args) {
    return rt::call_function(routine, std::span<const rt::Value>(args.data(), args.size()));
}

}  // namespace

CellHook accepts(std::string routine, std::vector<rt::Value> args) {
    return [routine = std::move(routine), args = std::move(args)](rt::Value& v) {
        std::vector<rt::Value> all{v};
        all.insert(all.end(), args.begin(), args.end());
        const auto r = call(routine, all);
        // A check may answer the value to keep (a code corrected from its list).
        if (r && !r->is_logical() && !r->is_nil() && r->type() == v.type()) v = *r;
        return !r || !r->is_logical() || r->as_bool();
    };
}

CellHook replaces(std::string routine, std::vector<rt::Value> args) {
    return [routine = std::move(routine), args = std::move(args)](rt::Value& v) {
        std::vector<rt::Value> all{v};
        all.insert(all.end(), args.begin(), args.end());
        if (const auto r = call(routine, all); r && !r->is_nil()) v = *r;
        return true;
    };
}

std::function<void()> runs(std::string routine, std::vector<rt::Value> args) {
    return [routine = std::move(routine), args = std::move(args)] { call(routine, args); };
}

void run_named(std::string_view routine, std::vector<rt::Value> args) { call(routine, args); }

}  // namespace qv::declaration::grids
