#include "printing/charges_report.hpp"

#include <algorithm>
#include <string>

#include "common/globals.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kRegisterArea = 9;
constexpr int kLastRow = 57;
constexpr std::string_view kCharge = "@Ez 9999,999.99";
constexpr std::string_view kSize = "@Ez 999,999";

struct Totals {
    double seconds = 0.0, kbytes = 0.0, computed = 0.0, agreed = 0.0;
    int done = 0, not_done = 0;
};

Totals& totals() {
    static Totals t;
    return t;
}

void heading() {
    line(0, "Relacao dos contribuintes, das declaracoes feitas e valores a cobrar no diretorio: " + text("LOCARQ"));
    wide_separator();
    line(0, "    CPF                NOME                               TEMPO      Valor tempo  Tamanho   Valor Tam.    Valor Calc.   Valor Defin  ");
    wide_separator();
}

void amounts_line(std::string_view label, double seconds, double kbytes, double computed, double agreed) {
    put(0, label);
    put(59, hours_minutes(seconds));
    put(84, shown(kbytes, kSize));
    put(104, shown(computed, kCharge));
    line(118, shown(agreed, kMonthlyAmount));
}

WorkPrices office_prices() {
    return {Global{"VAL_BYTE"}.number(), Global{"VAL_SEG"}.number(), Global{"VAL_MIN"}.number()};
}

void taxpayer_line(rt::table::Table& reg) {
    const double seconds = reg.get("TEM_USO").as_number(), bytes = reg.get("TAM_USO").as_number();
    const double agreed = reg.field_index("VALOREC") >= 0 ? reg.get("VALOREC").as_number() : 0.0;
    const WorkCharge c = work_charge(seconds, bytes, office_prices());
    put(0, rt::TRANSFORM(reg.get("CPF"), kCpfPicture));
    put(19, rt::PADR(rt::TRIM(reg.get("NOMECONTR").as_string()), 40).substr(0, 40));
    put(59, hours_minutes(seconds));
    put(68, shown(c.time, kCharge));
    put(84, shown(bytes, kSize));
    put(92, shown(c.size, kCharge));
    put(104, shown(c.computed, kCharge));
    line(118, shown(agreed, kMonthlyAmount));
    Totals& t = totals();
    t.seconds += seconds;
    t.kbytes += bytes / 1000.0;
    t.computed += c.computed;
    t.agreed += agreed;
    ++(seconds > 0 ? t.done : t.not_done);
}

}  // namespace

std::string hours_minutes(double seconds) {
    const long minutes = static_cast<long>(seconds) / 60;
    return rt::STR(static_cast<double>(minutes / 60), 4) + ":" + rt::STRZERO(static_cast<double>(minutes % 60), 2);
}

WorkCharge work_charge(double seconds, double bytes, const WorkPrices& prices) {
    WorkCharge c;
    c.size = bytes / 1000.0 * prices.per_thousand_bytes;
    c.time = seconds / 60.0 * prices.per_minute;
    if (seconds <= 0) return c;
    c.computed = std::max(c.time + c.size, prices.minimum);
    return c;
}

void TOTALDEC() {
    const Totals& t = totals();
    wide_separator();
    line(0, "Declaracoes:Feitas" + rt::STR(t.done, 6) + "  Nao" + rt::STR(t.not_done, 6) + "  Total" +
                rt::STR(t.done + t.not_done, 6));
    amounts_line("TOTAIS...", t.seconds, t.kbytes, t.computed, t.agreed);
}

void FAZ_PRECO() {
    auto* reg = tables::ws().table(kRegisterArea);
    if (!reg) return;
    totals() = {};
    MUDAIMP(1);
    heading();
    const bool marked_only = Global{"QUECON"}.integer(1) == 2;
    for (; !reg->eof(); reg->skip(1)) {
        if (reg->deleted()) continue;
        if (marked_only && rt::TRIM(reg->get("IMPRE").as_string()) != "S") continue;
        taxpayer_line(*reg);
        if (QLIN() > kLastRow) {
            TOTALDEC();
            new_page();
            heading();
        }
        if (PAREIMP()) break;
    }
    TOTALDEC();
    const Totals& t = totals();
    const auto average = [&](double v) { return t.done > 0 ? v / t.done : 0.0; };
    amounts_line("MEDIAS.......", average(t.seconds), average(t.kbytes), average(t.computed), average(t.agreed));
    new_page();
}

}  // namespace qv::printing
