#include "runtime/core/clock.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <optional>

namespace qv::rt {

namespace {

constexpr double kSecondsPerDay = 86400.0;

struct Moment {
    Date day;
    double seconds = 0.0;   // since midnight
};

// The fixed clock tests install; without it the system clock is read.
struct ClockState {
    std::mutex mutex;
    std::optional<Moment> fixed;
};

ClockState& state() {
    static ClockState s;
    return s;
}

Moment system_now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto sub = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    Moment m;
    m.day = Date::from_ymd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    m.seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                std::floor(static_cast<double>(sub) / 10.0) / 100.0;
    return m;
}

Moment now() {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    return s.fixed ? *s.fixed : system_now();
}

}  // namespace

Date DATE() { return now().day; }

double SECONDS() { return now().seconds; }

std::string TIME() {
    const long whole = static_cast<long>(std::floor(now().seconds));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", whole / 3600 % 24, whole / 60 % 60,
                  whole % 60);
    return buf;
}

void set_clock(Date today, double seconds_since_midnight) {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    s.fixed = Moment{today, seconds_since_midnight};
}

void advance_clock(double seconds) {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    if (!s.fixed) s.fixed = system_now();   // advancing freezes the clock first
    Moment& m = *s.fixed;
    m.seconds += seconds;
    // Past midnight the day changes, as it would on the wall clock.
    const double days = std::floor(m.seconds / kSecondsPerDay);
    if (days != 0.0) {
        m.seconds -= days * kSecondsPerDay;
        m.day = m.day + static_cast<int>(days);
    }
}

void reset_clock() {
    ClockState& s = state();
    std::lock_guard lock(s.mutex);
    s.fixed.reset();
}

}  // namespace qv::rt
