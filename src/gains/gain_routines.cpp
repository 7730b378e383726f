#include "gains/gain_routines.hpp"

#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "gains/gain_factors.hpp"
#include "gains/gain_rows.hpp"
#include "gains/gain_totals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::gains {

using rt::operator""_cp;

namespace {

constexpr const char* kBeforeAcquisition = "Data informada errada. Menor que a lancada como aquisicao!";
constexpr const char* kAfterSale = "Data invalida. Posterior ao mes da venda";

constexpr double kSharesLimit = 20000.00;
constexpr double kSmallValueLimit = 35000.00;
constexpr double kSingleHomeLimit = 440000.00;

int gain_number() { return common::Global{"BEM_NRO"}.integer(1); }

void tell(const ParcelNotes& notes) {
    if (notes.dated_before_acquisition) common::AVISOSN(kBeforeAcquisition, 0);
    if (notes.dated_after_sale) common::AVISOSN(kAfterSale, 0);
}

bool asked_yes(const std::vector<std::string>& lines) {
    return common::AVISOSN(lines, 2).as_string() == "S";
}

std::string amount_text(double v) { return rt::ALLTRIM(rt::TRANSFORM(rt::Value(v), "@E 999,999.99")); }

// Real-estate assets (codes 11 to 19) in the taxpayer's assets list.
int real_estate_assets() {
    rt::table::Table* t = tables::ws().table(24);
    if (!t) return 0;
    int count = 0;
    const std::uint32_t saved = t->recno();
    for (t->go_top(); !t->eof(); t->skip()) {
        if (t->deleted()) continue;
        const rt::Value code = t->get("I7_5");
        const double c = code.is_number() ? code.as_number() : 0;
        if (c >= 11 && c <= 19) ++count;
    }
    if (saved) t->go_to(saved);
    return count;
}

void set_exempt(bool exempt) { common::Global{"PEQ_VALOR"}.set(rt::Value(exempt ? "S" : "N")); }

void single_home_question(const Gain& g) {
    const rt::Date last = date_variable("ULTIMOV");
    if (last.empty() || last == g.sold || last.year() + 5 <= g.sold.year()) {
        set_exempt(asked_yes({"ATENÇÃO! Se esse for o único imóvel e não "_cp,
                              "houve nenhuma outra alienação nos últimos "_cp,
                              "5 anos êle está livre de tributação, pois "_cp,
                              "a alienação é menor que R$ 440.000,00"_cp,
                              "Se for o caso responda Sim ou Não    "_cp}));
        return;
    }
    set_exempt(false);
    common::AVISOSN(std::vector<std::string>{"ATENÇÃO! Embora sendo o único imóvel existe    "_cp,
                                             "o registro de outra alienação a menos de 5 anos"_cp,
                                             "logo ele não estará livre de tributação."_cp},
                    0);
}

void reinvestment_off() {
    common::Global{"ART31"}.set(rt::Value("N"));
    common::Global{"PERART31"}.set(rt::Value(0.0));
    common::Global{"VAL_PARTE"}.set(rt::Value(0.0));
}

using Args = std::span<const rt::Value>;

rt::Value date_arg(Args a, std::size_t i) {
    return i < a.size() && a[i].is_date() ? a[i] : rt::Value(rt::Date{});
}

}  // namespace

int FPER_RED(rt::Date parcel_date) {
    const Gain g = gain_from_variables();
    ParcelNotes notes;
    const int percent = FPER_RED(g, parcel_date.empty() ? g.acquired : parcel_date, notes);
    tell(notes);
    return percent;
}

bool CALC_RED() {
    const Gain g = gain_from_variables();
    const ReductionFactors f = reduction_factors(g.acquired, g.sold);
    common::Global{"FR1"}.set(rt::Value(f.fr1));
    common::Global{"FR2"}.set(rt::Value(f.fr2));
    if (f.invalid) common::AVISOSN(kAfterSale, 0);
    return !f.invalid;
}

void FCALGAN() {
    Gain g = gain_from_variables();
    std::vector<Parcel> parcels = read_parcels(gain_number());
    const ParcelNotes notes = FCALGAN(g, parcels);
    write_parcels(gain_number(), parcels);
    common::Global{"FR1"}.set(rt::Value(g.fr1));
    common::Global{"FR2"}.set(rt::Value(g.fr2));
    tell(notes);
}

double FCUS_TOT() {
    Gain g = gain_from_variables();
    std::vector<Parcel> parcels = read_parcels(gain_number());
    FCALGAN(g, parcels);
    compute_gain(g, parcels);
    common::Global{"CUS_ATUAL"}.set(rt::Value(g.cost));
    return g.cost;
}

void CALC_LUCRO() {
    Gain g = gain_from_variables();
    std::vector<Parcel> parcels = read_parcels(gain_number());
    FCALGAN(g, parcels);
    compute_gain(g, parcels);
    write_parcels(gain_number(), parcels);
    gain_to_variables(g);
}

Deferral SOMADIFE() {
    Gain g = gain_from_variables();
    const Deferral d = SOMADIFE(g);
    gain_to_variables(g);
    return d;
}

Deferral ESCR_TELA() {
    CALC_LUCRO();
    return SOMADIFE();
}

void CHECK_VAL() {
    const Gain g = gain_from_variables();
    const double limit = g.kind == Participations && g.participation == 1 ? kSharesLimit : kSmallValueLimit;
    if (g.sale <= limit) {
        set_exempt(asked_yes({"ATENÇÃO! Esse bem está livre de tributação pois o valor"_cp,
                              "da alienação é menor que o limite de "_cp + " R$ " + amount_text(limit),
                              "Porém, havendo outras alienações da mesma natureza no  "_cp,
                              "mesmo mês,verifique se a soma ultrapassa o limite acima"_cp,
                              "A soma sendo menor responda (S)im caso contrário (N)ão"_cp}));
    } else if (g.kind == RealEstate) {
        if (real_estate_assets() >= 3) {
            set_exempt(false);
        } else if (g.sale <= kSingleHomeLimit) {
            single_home_question(g);
        }
    }
    CALC_LUCRO();
    if (g.kind == RealEstate) AVISO_ART31();
}

void AVISO_ART31() {
    const Gain g = gain_from_variables();
    if (g.kind != RealEstate || g.sold.empty() || g.sold < rt::Date::from_ymd(2005, 6, 15)) return;
    if (common::Global{"RESUL_I"}.number() <= 0) return;
    const rt::Date last = date_variable("ULTRESI");
    // The exemption is granted once in five years; a sale within 180 days
    // of the last one still belongs to that same reinvestment.
    if (!last.empty() && last != g.sold && last.year() + 5 > g.sold.year() && g.sold - last > 180) {
        common::AVISOSN(std::vector<std::string>{
                            "A lei 11.119 não pode ser usada nesse imóvel."_cp,
                            "Esse recurso ou parte dele, só pode ser usado"_cp,
                            "a cada 5 anos. Outros poderiam serem vendidos"_cp,
                            "até "_cp + rt::DTOC(last + 180) + " pois consta venda em " + rt::DTOC(last),
                            "Só podera ser usado novamente no ano de "_cp + std::to_string(last.year() + 5)},
                        0);
        reinvestment_off();
        return;
    }
    if (rt::ALLTRIM(common::Global{"ART31"}.text()) == "S" || g.exempt) return;
    const bool yes = asked_yes({"Se o recurso ou parte dele obtido na venda desse imóvel,  "_cp,
                                "sendo a única vez nos últimos 5 anos e se em até 180 dias ele"_cp,
                                "for usado na aquisição de outro imóvel residencial ele será "_cp,
                                "isento de imposto ou tributado proporcionalmente ao valor.  "_cp,
                                "Art. 39 da lei 11.196. Vai ser usado ?"});
    common::Global{"ART31"}.set(rt::Value(yes ? "S" : "N"));
}

bool CHECK_PARTE(double value) {
    const double sale = common::Global{"VAL_ALI"}.number();
    if (value > sale) {
        common::AVISOSN("O valor nao pode ser maior do que o da alienaçao!"_cp, 0);
        return false;
    }
    // Kept at the six decimals of its field, so that a reload gives the same tax.
    const double percent = sale == 0 ? 0 : common::DESPREZA(value / sale * 100, 20, 4, 1);
    common::Global{"PERART31"}.set(rt::Value(percent));
    CALC_LUCRO();
    return true;
}

void register_gain_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        rt::register_function("FPER_RED", [](Args a) { return rt::Value(FPER_RED(date_arg(a, 0).as_date())); });
        rt::register_function("DIF_MESES", [](Args a) {
            return rt::Value(DIF_MESES(date_arg(a, 0).as_date(), date_arg(a, 1).as_date()));
        });
        rt::register_function("CALC_RED", [](Args) { return rt::Value(CALC_RED()); });
        rt::register_function("FCALGAN", [](Args) { FCALGAN(); return rt::Value(); });
        rt::register_function("FCUS_TOT", [](Args) { return rt::Value(FCUS_TOT()); });
        rt::register_function("CALC_LUCRO", [](Args) { CALC_LUCRO(); return rt::Value(); });
        rt::register_function("ESCR_TELA", [](Args) { ESCR_TELA(); return rt::Value(); });
        rt::register_function("SOMADIFE", [](Args) { SOMADIFE(); return rt::Value(); });
        rt::register_function("CHECK_VAL", [](Args) { CHECK_VAL(); return rt::Value(true); });
        rt::register_function("AVISO_ART31", [](Args) { AVISO_ART31(); return rt::Value(true); });
        rt::register_function("CHECK_PARTE", [](Args a) {
            return rt::Value(CHECK_PARTE(a.empty() ? 0 : a[0].as_number()));
        });
        rt::register_function("SOMA_NTRIB", [](Args) { SOMA_NTRIB(); return rt::Value(); });
    });
}

}  // namespace qv::gains
