#include "common/times.hpp"

#include "runtime/core/text.hpp"

namespace qv::common {

namespace {

constexpr long kDay = 86400;

std::string two(long n) { return rt::STRZERO(static_cast<double>(n), 2); }

}  // namespace

long HORA_SEG(std::string_view time) {
    const auto part = [&](long pos) { return static_cast<long>(rt::VAL(rt::SUBSTR(time, pos, 2))); };
    return part(1) * 3600 + part(4) * 60 + part(7);
}

std::string SEG_HORA(long seconds) {
    const long hours = (seconds / 3600) % 24;
    const long minutes = (seconds % 3600) / 60;
    return two(hours) + ":" + two(minutes) + ":" + two(seconds % 60);
}

std::string SEG_HOR_2(long seconds) {
    const long days = (seconds / kDay) % 99;
    const long hours = (seconds / 3600) % 24;
    const long minutes = (seconds % 3600) / 60;
    return two(days) + "D" + two(hours) + "h" + two(minutes) + "m";
}

long elapsed_seconds(std::string_view start, std::string_view end) {
    long seconds = HORA_SEG(end) - HORA_SEG(start);
    if (end < start) seconds += kDay;   // midnight passed
    return seconds;
}

rt::Value TEMPO_PAS(std::string_view start, std::string_view end, int as_text) {
    const long seconds = elapsed_seconds(start, end);
    if (as_text == 1) return rt::Value(SEG_HORA(seconds));
    return rt::Value(seconds);
}

}  // namespace qv::common
