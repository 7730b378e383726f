#include "common/avisosn.hpp"

#include "common/globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/ui/alert.hpp"

namespace qv::common {

using rt::operator""_cp;

namespace {

const Global kCorSay{"COR_SAY"};

NoticesKept* g_kept = nullptr;

// A box whose every button answers the same empty text asks nothing.
bool is_notice(int set) {
    const rt::Value answer = avisosn_answer(set, 1);
    return answer.is_string() && answer.as_string().empty();
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        const std::string part = rt::ALLTRIM(line);
        if (part.empty()) continue;
        if (!out.empty()) out += ' ';
        out += part;
    }
    return out;
}

std::string letter_of(int chosen, std::string_view letters, char on_escape) {
    if (chosen >= 1 && chosen <= static_cast<int>(letters.size())) {
        return std::string(1, letters[static_cast<std::size_t>(chosen - 1)]);
    }
    return std::string(1, on_escape);
}

}  // namespace

std::vector<std::string> avisosn_buttons(int set) {
    switch (set) {
    case 0: return {"Ok"};
    case 3: return {"Sim", "Não"_cp, "Ignore"};
    case 4: return {"Sim", "Não"_cp, "Fim"};
    case 5: return {"1", "2", "3"};
    case 7: return {"1", "2", "3", "4", "5", "6", "7"};
    default: return {"Sim", "Não"_cp};
    }
}

rt::Value avisosn_answer(int set, int chosen) {
    switch (set) {
    case 1:
    case 7: return rt::Value(chosen);
    case 2: return rt::Value(letter_of(chosen, "SN", 'N'));
    case 3: return rt::Value(letter_of(chosen, "SNI", 'N'));
    case 4: return rt::Value(letter_of(chosen, "SNF", 'N'));
    case 5: return rt::Value(letter_of(chosen, "123", '0'));
    default: return rt::Value(std::string());
    }
}

int wait_alert(const std::vector<std::string>& lines, const std::vector<std::string>& buttons,
               const std::function<bool()>& done) {
    return rt::ALERT_UNTIL(lines, buttons, kCorSay.text(), done);
}

NoticesKept::NoticesKept(std::vector<std::string>& into) : outer_(g_kept), into_(&into) { g_kept = this; }

NoticesKept::~NoticesKept() { g_kept = outer_; }

void NoticesKept::about(std::string subject) { subject_ = std::move(subject); }

bool notices_kept() { return g_kept != nullptr; }

void keep_notice(std::string_view text) {
    if (g_kept == nullptr) {
        AVISOSN(text, 0);
        return;
    }
    const std::string entry = g_kept->subject_.empty() ? std::string(text) : g_kept->subject_ + ": " + std::string(text);
    auto& list = *g_kept->into_;
    for (const std::string& kept : list)
        if (kept == entry) return;
    list.push_back(entry);
}

rt::Value AVISOSN(std::string_view text, int set) {
    if (g_kept != nullptr && is_notice(set)) {
        std::vector<std::string> lines;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find(';', from)) != std::string_view::npos; from = at + 1)
            lines.emplace_back(text.substr(from, at - from));
        lines.emplace_back(text.substr(from));
        keep_notice(joined(lines));
        return avisosn_answer(set, 1);
    }
    const int chosen = rt::ALERT(text, avisosn_buttons(set), kCorSay.text());
    return avisosn_answer(set, chosen);
}

rt::Value AVISOSN(const std::string& text, int set) { return AVISOSN(std::string_view(text), set); }
rt::Value AVISOSN(const char* text, int set) { return AVISOSN(std::string_view(text), set); }

rt::Value AVISOSN(const std::vector<std::string>& lines, int set, rt::AlertLines laid) {
    if (g_kept != nullptr && is_notice(set)) {
        keep_notice(joined(lines));
        return avisosn_answer(set, 1);
    }
    const int chosen = rt::ALERT(lines, avisosn_buttons(set), kCorSay.text(), 1, laid);
    return avisosn_answer(set, chosen);
}

bool asks_yes_default_no(std::string_view question) {
    return rt::ALERT(question, avisosn_buttons(2), kCorSay.text(), 2) == 1;
}

bool asks_yes_default_no(const std::vector<std::string>& lines) {
    return rt::ALERT(lines, avisosn_buttons(2), kCorSay.text(), 2) == 1;
}

rt::Value AVISOSN(const rt::Value& text, int set) {
    if (text.is_array()) {
        std::vector<std::string> lines;
        for (const auto& line : *text.as_array()) lines.push_back(line.is_string() ? line.as_string() : std::string());
        return AVISOSN(lines, set);
    }
    return AVISOSN(std::string_view(text.as_string()), set);
}

}  // namespace qv::common
