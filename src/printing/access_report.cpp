#include "printing/access_report.hpp"

#include <string>

#include "common/globals.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kLogArea = 73;
constexpr int kLastRow = 55;

struct ReportState {
    std::string folder;      // the data folder the heading was printed for
    bool cpf_shown = false;  // the taxpayer's CPF is on this page
    long seconds = 0;
};

ReportState& state() {
    static ReportState s;
    return s;
}

std::string chosen_user() { return rt::UPPER(rt::ALLTRIM(Global{"CNOMEUSU"}.text())); }

std::string hours_minutes_seconds(long seconds) {
    return std::to_string(seconds / 3600) + ":" + rt::STRZERO(static_cast<double>(seconds / 60 % 60), 2) + ":" +
           rt::STRZERO(static_cast<double>(seconds % 60), 2);
}

}  // namespace

long duration_seconds(std::string_view text) {
    long parts[3] = {0, 0, 0};
    int count = 0;
    std::string digits;
    const std::string t = rt::ALLTRIM(text) + ":";
    for (char c : t) {
        if (c == ':') {
            if (digits.empty() || count == 3) return 0;
            parts[count++] = std::stol(digits);
            digits.clear();
        } else if (c >= '0' && c <= '9') {
            digits += c;
        } else {
            return 0;
        }
    }
    if (count < 2) return 0;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

void CABEC_RELAT() {
    const std::string user = chosen_user();
    line(0, "Relatorio do acesso as declaracoes " + (user.empty() ? std::string("feita por todos usuarios") : "feita por " + user));
    line(0, "Na pasta " + text("LOCARQ"));
    separator();
    state().folder = text("LOCARQ");
    state().cpf_shown = false;
}

void LIN_RELAT() {
    auto* log = tables::ws().table(kLogArea);
    if (!log) return;
    if (QLIN() > kLastRow) {
        new_page();
        CABEC_RELAT();
    }
    if (!state().cpf_shown) {
        put(0, rt::TRANSFORM(log->get("CPF"), kCpfPicture));
        line(16, rt::TRIM(text("NOMECONTR")));
        state().cpf_shown = true;
    }
    const std::string used = log->get("TEMUSO").as_string();
    put(2, rt::PADR(rt::TRIM(log->get("NOMEAG").as_string()), 22));
    put(26, rt::DTOC(log->get("DATAUSO").as_date()));
    put(38, log->get("INIUSO").as_string());
    put(48, log->get("FIMUSO").as_string());
    line(58, used);
    state().seconds += duration_seconds(used);
}

void REL_ACESSO() {
    auto& ws = tables::ws();
    const int previous = ws.selected();
    const bool was_open = ws.table(kLogArea) != nullptr;
    if (!was_open && !tables::ABERTURA(kLogArea)) return;
    rt::table::Table& log = *ws.table(kLogArea);
    if (QLIN() == 0 || state().folder != text("LOCARQ")) CABEC_RELAT();
    state().cpf_shown = false;
    state().seconds = 0;
    const std::string cpf = rt::ALLTRIM(text("CPF")), user = chosen_user();
    for (log.go_top(); !log.eof(); log.skip(1)) {
        if (log.deleted() || rt::ALLTRIM(log.get("CPF").as_string()) != cpf) continue;
        if (!user.empty() && rt::UPPER(rt::ALLTRIM(log.get("NOMEAG").as_string())) != user) continue;
        LIN_RELAT();
    }
    if (state().seconds > 0) {
        line(0, " Tempo Total " + hours_minutes_seconds(state().seconds));
        skip_lines();
    }
    if (!was_open) ws.close(kLogArea);
    ws.select(previous);
}

}  // namespace qv::printing
