#include "gains/gain_rows.hpp"

#include <algorithm>
#include <string>
#include <utility>

#include "common/globals.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"
#include "tables/state.hpp"

namespace qv::gains {

namespace {

using declaration::field_number;

double num(const char* name) { return common::Global{name}.number(); }

bool yes(const char* name) { return rt::UPPER(rt::ALLTRIM(common::Global{name}.text())) == "S"; }

void set(const char* name, double v) { common::Global{name}.set(rt::Value(v)); }

}  // namespace

std::vector<std::uint32_t> parcel_records(rt::table::Table& t, int number) {
    std::vector<std::pair<int, std::uint32_t>> rows;
    const int saved_order = t.order();
    const std::uint32_t saved = t.recno();
    t.set_order(0);
    for (t.go_top(); !t.eof(); t.skip())
        if (static_cast<int>(field_number(t, "BEM_NRO")) == number)
            rows.emplace_back(static_cast<int>(field_number(t, "RVAR_NRO")), t.recno());
    t.set_order(saved_order);
    if (saved) t.go_to(saved);
    std::stable_sort(rows.begin(), rows.end());
    std::vector<std::uint32_t> out;
    for (const auto& r : rows) out.push_back(r.second);
    return out;
}

rt::Date date_variable(const char* name) {
    const rt::Value v = common::Global{name}.value();
    return v.is_date() ? v.as_date() : rt::Date{};
}

std::string month_field(const char* prefix, int month) {
    return prefix + std::string(month < 10 ? "0" : "") + std::to_string(month);
}

Gain gain_from_variables() {
    Gain g;
    g.kind = common::Global{"TIPO_BEM"}.integer(RealEstate);
    g.participation = common::Global{"TIPOPART"}.integer();
    g.nature = common::Global{"NATUOPER"}.text();
    g.acquired = date_variable("DATA_ADQ");
    g.sold = date_variable("DATA_ALI");
    g.sale = num("VAL_ALI");
    g.typed_cost = num("VALOR_CUST");
    g.in_parcels = yes("PARCOMPRA");
    g.instalments = yes("VEN_PRAZO");
    g.earlier_sale = yes("VENDAANT");
    g.exempt = yes("PEQ_VALOR");
    g.per_tri = num("PER_TRI");
    g.reinvested_percent = num("PERART31");
    g.withheld = num("VAL_PARTE");
    g.received = num("VAL_RECOL");
    g.fr1 = num("FR1");
    g.fr2 = num("FR2");
    for (int m = 1; m <= 12; ++m) g.tax_due[m - 1] = common::Global{month_field("IMP_DEV", m)}.number();
    g.earlier_value = num("VAL_ANTE");
    g.deferred_value = num("VAL_DIFE");
    g.earlier_tax = num("IMP_ANTE");
    g.deferred_tax = num("IMP_DIFE");
    g.cost = num("CUS_ATUAL");
    g.tax_cash = num("VAL_IMPOSV");
    g.tax_instalments = num("VAL_IMPOSP");
    g.taxable = num("GAN_TRIV");
    // The results are read too: the deferral pass writes every figure back
    // and must not wipe those it does not compute.
    g.result_i = num("RESUL_I");
    g.reduction = num("REDUCAO");
    g.fator1 = num("FATOR1");
    g.fator2 = num("FATOR2");
    g.exempt_part = num("VAL_NAOTRI");
    return g;
}

void gain_to_variables(const Gain& g) {
    set("VAL_ALI", g.sale);
    set("CUS_ATUAL", g.cost);
    set("RESUL_I", g.result_i);
    set("REDUCAO", g.reduction);
    set("FATOR1", g.fator1);
    set("FATOR2", g.fator2);
    set("GAN_TRIV", g.taxable);
    set("VAL_NAOTRI", g.exempt_part);
    set("VAL_IMPOSV", g.tax_cash);
    set("VAL_IMPOSP", g.tax_instalments);
    set("PER_TRI", g.per_tri);
    set("FR1", g.fr1);
    set("FR2", g.fr2);
    set("VAL_ANTE", g.earlier_value);
    set("VAL_DIFE", g.deferred_value);
    set("IMP_ANTE", g.earlier_tax);
    set("IMP_DIFE", g.deferred_tax);
}

std::vector<Parcel> read_parcels(int number) {
    std::vector<Parcel> out;
    rt::table::Table* t = tables::ws().table(kParcelsArea);
    if (!t) return out;
    for (const std::uint32_t rec : parcel_records(*t, number)) {
        t->go_to(rec);
        Parcel p;
        const rt::Value d = t->get("DATA_CUST");
        p.date = d.is_date() ? d.as_date() : rt::Date{};
        p.value = field_number(*t, "VALOR_CUST");
        p.deleted = t->deleted();
        p.operation = static_cast<int>(field_number(*t, "TIPO_OPER"));
        p.quantity = field_number(*t, "MOV_ACAO");
        out.push_back(p);
    }
    return out;
}

void write_parcels(int number, const std::vector<Parcel>& parcels) {
    rt::table::Table* t = tables::ws().table(kParcelsArea);
    if (!t) return;
    const std::vector<std::uint32_t> records = parcel_records(*t, number);
    for (std::size_t i = 0; i < parcels.size(); ++i) {
        const Parcel& p = parcels[i];
        if (i < records.size()) {
            t->go_to(records[i]);
        } else {
            if (!t->append_blank()) return;
            if (const rt::Value cpf = common::Global{"CPF"}.value(); cpf.is_string()) t->put("CPF", cpf);
            t->put("BEM_NRO", rt::Value(number));
            t->put("RVAR_NRO", rt::Value(static_cast<int>(i)));
        }
        RowWrite lock(*t);
        t->put("DATA_CUST", rt::Value(p.date));
        t->put("VALOR_CUST", rt::Value(p.value));
        t->put("PER_RED", rt::Value(p.per_red));
        t->put("PER_CUST", rt::Value(p.per_cust));
        t->put("PER_RED1", rt::Value(p.fr1));
        t->put("PER_RED2", rt::Value(p.fr2));
        t->put("VALOR_REDU", rt::Value(p.reduction));
        t->put("CUST_UNI", rt::Value(p.gross));
        t->put("RESUL_2", rt::Value(p.fr1_value));
        t->put("RESUL_3", rt::Value(p.fr2_value));
        t->put("SALDO_ACAO", rt::Value(p.running_quantity));
        t->put("CMED_COEF", rt::Value(p.running_cost));
        t->put("CM_PONDER", rt::Value(p.average_cost));
        t->commit();
    }
}

}  // namespace qv::gains
