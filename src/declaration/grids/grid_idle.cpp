#include "declaration/grids/grid_idle.hpp"

#include <string>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/times.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "declaration/grids/grid_hooks.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::declaration::grids {

namespace {

using rt::operator""_cp;
using rt::Value;

constexpr double kPollSeconds = 1.0;

// The clock of one wait: when it began, whether it stopped the usage clock
// and the idle minutes last shown.
class IdleClock {
public:
    IdleClock() : since_(rt::TIME()) {}

    void tick() {
        const long minutes = common::elapsed_seconds(since_, rt::TIME()) / 60;
        if (!stopped_ && minutes > common::Global{"TEMP_DES"}.integer(999) &&
            !common::Global{"SEMHORA"}.value().as_bool() && common::Global{"OPCAO_1"}.integer() == 11) {
            PARA_REL();
            stopped_ = true;
        }
        if (!stopped_ && minutes > shown_) {
            shown_ = minutes;
            run_named("VETEMPO", {Value(1)});
        }
        VE_AGEN();
    }
    // A key came: a stopped clock counts again from now.
    void done() const {
        if (stopped_) common::Global{"INI_DECLA"}.set(Value(static_cast<double>(common::HORA_SEG(rt::TIME()))));
    }

private:
    std::string since_;
    bool stopped_ = false;
    long shown_ = 0;
};

}  // namespace

int wait_grid_key(int code) {
    if (code > 20 || rt::NEXTKEY() != 0) return rt::INKEY(-1);
    IdleClock clock;
    clock.tick();
    int k = 0;
    while ((k = rt::INKEY(kPollSeconds)) == 0) clock.tick();
    clock.done();
    return k;
}

void VE_AGEN() {
    const common::Global pending{"NTEMAGEN"}, agenda{"AAGEN"};
    if (pending.integer() <= 0 || !agenda.value().is_array()) return;
    const std::string now = rt::TIME();
    const int hhmm = std::stoi(now.substr(0, 2)) * 100 + std::stoi(now.substr(3, 2));
    rt::Array& entries = *agenda.value().as_array();
    for (std::size_t i = 0; i < entries.size();) {
        const Value& entry = entries[i];
        const Value when = entry.is_array() ? entry.at(1) : Value();
        const double due = when.is_number() ? when.as_number() : std::atof(when.as_string().c_str());
        if (!entry.is_array() || static_cast<int>(due) != hhmm) {
            ++i;
            continue;
        }
        common::AVISOSN("ATENÇÃO - "_cp + now.substr(0, 5) + " " + entry.at(2).as_string(), 0);
        entries.erase(entries.begin() + static_cast<long>(i));
        pending.set(Value(pending.number() - 1));
    }
}

}  // namespace qv::declaration::grids
