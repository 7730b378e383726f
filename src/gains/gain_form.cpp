#include "gains/gain_form.hpp"

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "declaration/entry/field_checks.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "gains/gain_checks.hpp"
#include "gains/gain_instalments.hpp"
#include "gains/gain_routines.hpp"
#include "gains/gain_rows.hpp"
#include "gains/gain_table.hpp"
#include "gains/gain_totals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"
#include "tables/state.hpp"

namespace qv::gains {

using rt::operator""_cp;

namespace {

constexpr int kBaseYear = 2011;
// The form of the dialog painter, drawn on the page for the kind of gain.
constexpr int kFormFrame = 9;

using Check = std::function<bool()>;

std::string text(const char* name) { return rt::ALLTRIM(common::Global{name}.text()); }
bool yes(const char* name) { return rt::UPPER(text(name)) == "S"; }
double number(const char* name) { return common::Global{name}.number(); }
void set(const char* name, rt::Value v) { common::Global{name}.set(std::move(v)); }
int sale_year() { return date_variable("DATA_ALI").year(); }
bool this_year_sale() { return sale_year() >= kBaseYear; }

void say(int row, int col, std::string_view utf8) { rt::at_say(row, col, rt::utf8_to_cp850(utf8)); }
void say_amount(int row, int col, double v) { rt::at_say(row, col, amount_cell(v)); }


// ---- drawing -------------------------------------------------------------

void cost_label() {
    say(11, 2, is_exchange_with_payment(common::Global{"NATUOPER"}.text()) ? "Valor da torna    :"
                                                                           : "Valor da alienacao:");
}

void draw_results() {
    const Deferral d = SOMADIFE();
    set("NDIF_VAL_ANO", rt::Value(d.to_receive));
    set("NDIF_IMP_ANO", rt::Value(d.tax_deferred));
    set("VAL_IMPOSVP", rt::Value(d.cash_tax_shown));
    say_amount(17, 15, number("CUS_ATUAL"));
    say_amount(17, 56, number("RESUL_I"));
    say_amount(18, 15, number("REDUCAO"));
    say_amount(18, 56, number("FATOR1") + number("FATOR2"));
    say_amount(19, 15, number("GAN_TRIV"));
    say_amount(19, 56, number("VAL_NAOTRI"));
    say_amount(20, 15, d.cash_tax_shown);
    say_amount(20, 56, d.tax_deferred);
    say_amount(21, 15, d.to_receive);
    rt::at_say(3, 12, rt::TRANSFORM(common::Global{"BEM_NRO"}.value(), "@Z 99"));
}

// The rate of the kind of participation, beside the kind; none while the
// kind is not one of the three.
bool show_rate() {
    const int part = common::Global{"TIPOPART"}.integer();
    if (part < 1 || part > 3) return false;
    rt::at_say(3, 65, part == 3 ? "20" : "15");
    return true;
}

void draw_frame(int kind) {
    declaration::MTELA5(kFormFrame, kind);
    if (kind != Participations) cost_label();
    else show_rate();
}

// ---- fields --------------------------------------------------------------

struct Field {
    int row, col;
    const char* var;
    const char* picture;
    Check valid;
    Check when;
};

bool document_check() {
    const std::string typed = text("CPFADQ");
    const std::string digits = common::TIRA_PONTO(typed);
    if (digits.size() == 11 && digits == typed) return common::VAL_CPF(digits);
    if (digits.size() == 14 && digits == typed) return common::VAL_CGC(digits);
    return common::CPFCGC(common::Global{"CPFADQ"}.text());
}

// A check of the entry pages reached by its name (the street type, the
// state's municipality): its answer, or true when it is not there.
bool named_check(const char* routine, std::vector<rt::Value> args) {
    if (!rt::has_function(routine)) return true;
    const rt::Value r = rt::call_function(routine, std::span<const rt::Value>(args.data(), args.size()));
    return !r.is_logical() || r.as_bool();
}

// A state refused says so on the status line; the page's footer comes back
// once a state is accepted.
bool state_check(const char* var) {
    const std::string uf = rt::UPPER(text(var));
    if (uf.empty() || declaration::is_state(uf)) {
        declaration::call_if_present("MRODAPE", {rt::Value(13)});
        return true;
    }
    common::MENS(0, "Sigla de UF inválida."_cp);
    return false;
}

bool participation_check() {
    if (show_rate()) return true;
    common::AVISOSN(std::vector<std::string>{"  Informe com o numero      ", " 1 se Acoes                 ",
                                             " 2 se Quotas ou Outros      ", " 3 se Fundo de Investimento "},
                    0);
    return false;
}

// The property's address may be left for later: a blank street type or
// state is accepted; a typed one is completed from its list, or the list
// opens.
bool street_type_check() {
    if (text("RUAIMO").empty()) return true;
    return named_check("VELOGRA", {rt::Value("M->RUAIMO"), rt::Value(8), rt::Value(8)});
}

bool town_check() {
    if (text("UFIMO").empty()) return true;
    return named_check("VEESTADO", {common::Global{"UFIMO"}.value(), rt::Value("M->MUNICIMO"), rt::Value(3)});
}

// The company's city, from the towns of its state.
bool company_town_check() {
    if (text("EST_SOCIE").empty()) return true;
    return named_check("VEESTADO", {common::Global{"EST_SOCIE"}.value(), rt::Value("M->CID_SOCIE"), rt::Value(4)});
}

bool reinvestment_open() {
    if (common::Global{"TIPO_BEM"}.integer() == RealEstate && text("ART31") == "S") return true;
    set("VAL_PARTE", rt::Value(0.0));
    set("PERART31", rt::Value(0.0));
    return false;
}

bool sale_value_check() {
    CHECK_VAL();
    return true;
}

bool recompute() {
    ESCR_TELA();
    return true;
}

bool always() { return true; }


std::vector<Field> participation_fields() {
    return {
        {3, 52, "TIPOPART", "@z 9", participation_check, always},
        {4, 23, "CPFADQ", "@!", document_check, always},
        {4, 48, "NOME_ADQ", "@S30", always, always},
        {5, 13, "DATA_ALI", "@d", VEIND_VEN, always},
        {5, 62, "PER_TRI", "@ez 999.999999", recompute, [] { return !this_year_sale(); }},
        {6, 21, "ESPC_BEM", "@S50", always, always},
        {7, 8, "CGC_SOCIE", "@R 99.999.999/9999-99", [] { return common::VAL_CGC(text("CGC_SOCIE")); }, always},
        {7, 32, "EST_SOCIE", "@!", [] { return state_check("EST_SOCIE"); }, always},
        {7, 43, "CID_SOCIE", "@!", company_town_check, always},
        {11, 22, "VAL_ALI", kAmountPicture, sale_value_check, this_year_sale},
        {13, 54, "VEN_PRAZO", "@!", [] { return VE_LETRAN("VEN_PRAZO"); }, this_year_sale},
        {14, 25, "VAL_ANTE", kAmountPicture, recompute, [] { return yes("VENDAANT"); }},
        {14, 60, "VAL_DIFE", kAmountPicture, recompute, [] { return yes("VENDAANT"); }},
        {12, 27, "VAL_PARTE", kAmountPicture, recompute,
         [] { return common::Global{"TIPOPART"}.integer() == 1 && !yes("VEN_PRAZO") && !yes("PEQ_VALOR"); }},
        {15, 16, "IMPPAGO", kAmountPicture, recompute, [] { return !yes("VEN_PRAZO"); }},
    };
}

std::vector<Field> asset_fields(int kind) {
    const auto real_estate = [kind] { return kind == RealEstate; };
    std::vector<Field> f = {
        {3, 31, "NRO_ITEM", "@Z 999", ACHA_BEM, always},
        {3, 48, "NATUOPER", "@!",
         [] {
             const bool ok = MOSTOPER();
             cost_label();
             return ok;
         },
         always},
        {4, 23, "CPFADQ", "@!", document_check, always},
        {4, 48, "NOME_ADQ", "@S30", always, always},
        {6, 2, "ESPC_BEM", "@S77", always, always},
        {7, 13, "DATA_ADQ", "@d",
         [] {
             if (!date_variable("DATA_ADQ").empty()) return true;
             common::MENS(0, "Informe a data de aquisição."_cp);
             return false;
         },
         always},
        {7, 36, "DATA_ALI", "@d", VEIND_VEN, always},
        {7, 62, "PER_TRI", "@ez 999.999999", recompute, [] { return !this_year_sale(); }},
        {8, 8, "RUAIMO", "", street_type_check, real_estate},
        {8, 33, "ENDEIMO", "@s23", always, real_estate},
        {8, 66, "NUMIMO", "", always, real_estate},
        {9, 10, "COMPIMO", "@s20", always, real_estate},
        {9, 40, "BAIRIMO", "", always, real_estate},
        {9, 67, "CEPIMO", "@R 99999-999", always, real_estate},
        {10, 6, "UFIMO", "@!", [] { return state_check("UFIMO"); }, real_estate},
        {10, 21, "MUNICIMO", "@S28", town_check, real_estate},
        {11, 22, "VAL_ALI", kAmountPicture, sale_value_check, this_year_sale},
        {11, 61, "VALOR_CUST", kAmountPicture, recompute,
         [] { return common::Global{"NRO_ITEM"}.integer() == 0 && this_year_sale() && !yes("PARCOMPRA"); }},
        {12, 33, "VAL_PARTE", kAmountPicture, [] { return CHECK_PARTE(number("VAL_PARTE")); }, reinvestment_open},
        {13, 29, "PARCOMPRA", "@!", [] { return VE_LETRAN("PARCOMPRA"); },
         [kind] { return kind == RealEstate && this_year_sale(); }},
        {13, 54, "VEN_PRAZO", "@!", [] { return VE_LETRAN("VEN_PRAZO"); }, this_year_sale},
        {14, 25, "VAL_ANTE", kAmountPicture, recompute, [] { return yes("VENDAANT"); }},
        {14, 60, "VAL_DIFE", kAmountPicture, recompute, [] { return yes("VENDAANT"); }},
        {15, 16, "IMPPAGO", kAmountPicture, recompute, [] { return !yes("VEN_PRAZO"); }},
    };
    return f;
}

// Runs the form; false when it was left with Esc.
bool read_fields(const std::vector<Field>& fields) {
    for (const Field& f : fields) {
        rt::Get& g = rt::at_get(f.row, f.col, std::string("M->") + f.var, f.picture);
        g.valid([check = f.valid] {
            const bool ok = check();
            draw_results();
            return ok;
        });
        g.when(f.when);
    }
    return rt::READ();
}

// ---- opening and closing -------------------------------------------------

rt::Value sum_of(const char* prefix) {
    double s = 0;
    for (int m = 1; m <= 12; ++m) s += common::Global{month_field(prefix, m)}.number();
    return rt::Value(s);
}

void open_gain(int gain) {
    rt::table::Table& t = *gains_table();
    row_to_variables(t);
    month_totals_to_matrix();
    set("ART31", rt::Value(number("PERART31") > 0 ? "S" : ""));
    set("LEHTORNA", rt::Value(is_exchange_with_payment(common::Global{"NATUOPER"}.text())));
    const std::vector<Parcel> parcels = read_parcels(gain);
    const bool single = !yes("PARCOMPRA") && !parcels.empty();
    set("VALOR_CUST", rt::Value(single ? parcels.front().value : number("CUS_ATUAL")));
    set("CUST_ITOT", rt::Value(number("CUS_ATUAL")));
    set("GAN_TRIP", sum_of("VAL_TRI"));
    FCALGAN();
}

bool new_gain(rt::table::Table& t, int kind) {
    const int number = first_free_number(t);
    if (!t.append_blank()) return false;
    RowWrite lock(t);
    t.put("BEM_NRO", rt::Value(number));
    t.put("TIPO_BEM", rt::Value(kind));
    if (const rt::Value cpf = common::Global{"CPF"}.value(); cpf.is_string()) t.put("CPF", cpf);
    if (kind == Participations) t.put("PARCOMPRA", rt::Value("S"));
    t.commit();
    return true;
}

void discard(rt::table::Table& t, std::uint32_t record, int gain) {
    delete_parcels(gain);
    t.go_to(record);
    RowWrite lock(t);
    t.delete_record();
    t.commit();
}

void write_back(rt::table::Table& t, std::uint32_t record) {
    if (yes("VENDAANT")) {
        set("FR1", rt::Value(0.0));
        set("FR2", rt::Value(0.0));
    }
    t.go_to(record);
    variables_to_row(t);
    SOMA_NTRIB();
}

// A grid of the form (the parcels, the instalments) left with Esc goes
// back to the form: the gains page stays, as it does for the form's own Esc.
void sub_grid(int code) {
    declaration::call_if_present("EDITA", {rt::Value(code)});
    if (common::Global{"ULTTECLA"}.integer() == rt::key::ESC) set("TECLAMUDA", rt::Value(false));
}

// The first dateless parcel takes the acquisition (a share balance for a
// participation); then the parcels' grid.
void parcels_step(int kind, int gain) {
    rt::table::Table* p = tables::ws().table(kParcelsArea);
    if (!p) return;
    for (const std::uint32_t rec : parcel_records(*p, gain)) {
        p->go_to(rec);
        if (p->deleted() || !p->get("DATA_CUST").as_date().empty()) continue;
        rt::Date acquired = date_variable("DATA_ADQ");
        if (acquired.empty()) acquired = rt::Date::from_ymd(kBaseYear - 1, 12, 31);
        double cost = number("VALOR_CUST");
        if (yes("VENDAANT") && number("PER_TRI") > 0)
            cost = common::DESPREZA((1 - number("PER_TRI") / 100) * number("VAL_RECOL"), 20);
        RowWrite lock(*p);
        p->put("DATA_CUST", rt::Value(acquired));
        p->put("VALOR_CUST", rt::Value(cost));
        if (kind == Participations) {
            const bool shares = common::Global{"TIPOPART"}.integer() == 1;
            p->put("TIPO_OPER", rt::Value(Balance));
            p->put("TIPO_ACAO", rt::Value(shares ? 1 : 3));
            p->put("LOTE", rt::Value(shares ? "Ação P.Nominativa"_cp : "Quotas"));
        }
        p->commit();
        break;
    }
    sub_grid(10);
    FCALGAN();
}

void instalments_step() {
    fill_instalments();
    sub_grid(12);
    if (take_instalments())
        common::AVISOSN(std::vector<std::string>{"Atenção! O Valor recebido nas parcelas foi maior que "_cp,
                                                 "o declarado inicialmente.Se esses valores estao com  ",
                                                 "juros/multa e estes nao devem ser lancados aqui e sim",
                                                 "nos rendimentos de PF/PJ. "},
                        0);
    CALC_LUCRO();
}

void complete(rt::table::Table& t, std::uint32_t record, int kind, int gain) {
    if (common::Global{"NRO_ITEM"}.integer() == 0 && parcel_count(gain) == 0) add_parcel(gain);
    if (yes("PARCOMPRA")) parcels_step(kind, gain);
    else CALC_LUCRO();
    ESCR_TELA();
    if (yes("VEN_PRAZO")) {
        instalments_step();
    } else {
        cash_sale_months();
        set("VAL_TRIBU", rt::Value(yes("PEQ_VALOR") ? 0.0 : std::max(0.0, number("GAN_TRIV"))));
    }
    write_back(t, record);
}

// Esc: true when the form is done with, false to show it again.
bool leave(rt::table::Table& t, std::uint32_t record, int gain, bool fresh) {
    if (common::Global{"LEHTORNA"}.value().is_logical() && common::Global{"LEHTORNA"}.value().as_bool())
        common::AVISOSN(std::vector<std::string>{"Atençao! Ao informar o valor do Bem objeto dessa torna"_cp,
                                                 "na coluna de 2011 o valor deve  ser R$ " +
                                                     rt::ALLTRIM(amount_cell(number("CUS_ATUAL")))},
                        0);
    if (fresh && text("CPFADQ").empty()) {
        if (common::AVISOSN("Termina esse ganho incompleto?", 2).as_string() != "S") return false;
        discard(t, record, gain);
        SOMA_NTRIB();
        return true;
    }
    write_back(t, record);
    return true;
}

}  // namespace

void MOSTR_BEM(int kind, int mode) {
    rt::table::Table* t = gains_table();
    if (!t) return;
    const bool fresh = mode == 0 || t->eof();
    if (fresh && !new_gain(*t, kind)) return;
    const std::uint32_t record = t->recno();
    const int gain = static_cast<int>(t->get("BEM_NRO").as_number());
    open_gain(gain);
    while (true) {
        draw_frame(kind);
        draw_results();
        const std::vector<Field> fields = kind == Participations ? participation_fields() : asset_fields(kind);
        const bool completed = read_fields(fields);
        // A page key ends the form as it stands: the values typed are kept.
        if (declaration::logical("TECLAMUDA")) {
            write_back(*t, record);
            return;
        }
        if (!completed) {
            if (leave(*t, record, gain, fresh)) return;
            continue;
        }
        complete(*t, record, kind, gain);
    }
}

}  // namespace qv::gains
