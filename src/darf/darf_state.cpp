#include "darf/darf_state.hpp"

#include "common/globals.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::darf {

namespace {

int& current_number() {
    static int n = 1;
    return n;
}

}  // namespace

double number(std::string_view name) { return common::Global{name}.number(); }
int integer(std::string_view name, int fallback) { return common::Global{name}.integer(fallback); }
std::string text(std::string_view name) { return common::Global{name}.text(); }

rt::Date date(std::string_view name) {
    const rt::Value v = common::Global{name}.value();
    return v.is_date() ? v.as_date() : rt::Date{};
}

void set(std::string_view name, rt::Value v) { common::Global{name}.set(std::move(v)); }

int kind() { return integer("QUEDARF", kQuota); }
bool one_taxpayer() { return integer("QUECON", 1) == 1; }
int slip_number() { return current_number(); }
void set_slip_number(int n) { current_number() = n; }
bool later_quota() { return kind() == kQuota && slip_number() > 1; }

std::string amount_text(double v) { return rt::TRANSFORM(rt::Value(v), kSlipAmount); }

std::string payment_month() { return rt::STRZERO(date("DF_PGTO").month(), 2); }

}  // namespace qv::darf
