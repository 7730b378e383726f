#include "common/amounts.hpp"

#include <string>

#include "runtime/core/text.hpp"

namespace qv::common {

double DESPREZA(double value, int width, int decimals, int keep) {
    std::string text = rt::STRZERO(value, width, decimals + 2);
    if (keep == 0 && text.size() >= 2) text.resize(text.size() - 2);
    return rt::VAL(text);
}

double CAR_TO_VAL(std::string_view text) {
    if (rt::EMPTY_TEXT(text)) return 0.0;
    std::string s = rt::STRTRAN(text, ".");
    if (const auto comma = s.find(','); comma != std::string::npos) s[comma] = '.';
    return rt::VAL(s);
}

}  // namespace qv::common
