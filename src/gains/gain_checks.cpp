#include "gains/gain_checks.hpp"

#include <array>
#include <vector>

#include "common/amounts.hpp"
#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "gains/gain_chain.hpp"
#include "gains/gain_routines.hpp"
#include "gains/gain_rows.hpp"
#include "gains/gain_table.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"

namespace qv::gains {

using rt::operator""_cp;

namespace {

constexpr int kBaseYear = 2011;
constexpr int kAssetsArea = 24;

constexpr std::array<const char*, 9> kNatures = {"Venda",         "Permuta com torna",   "Desapropriacao",
                                                 "Dacao em pagamento", "Doacao",        "Proc. Causa Propria",
                                                 "Prom.Compra e Venda", "Cessao de direitos", "Outros"};

const common::Global kParcels{"PARCOMPRA"};

std::string text(const char* name) { return rt::ALLTRIM(common::Global{name}.text()); }
bool yes(const char* name) { return rt::UPPER(text(name)) == "S"; }
void set_text(const char* name, const char* v) { common::Global{name}.set(rt::Value(v)); }
int gain_number() { return common::Global{"BEM_NRO"}.integer(); }

bool asked_yes(const std::vector<std::string>& lines) { return common::AVISOSN(lines, 2).as_string() == "S"; }
void tell(const std::vector<std::string>& lines) { common::AVISOSN(lines, 0); }

// The cost of a sale made in an earlier year: the untaxed share of what came in.
double earlier_sale_cost() {
    return common::DESPREZA((1 - common::Global{"PER_TRI"}.number() / 100) * common::Global{"VAL_RECOL"}.number(), 20);
}

bool earlier_year_sale() {
    if (!asked_yes({"Atenção! A data informada para o ganho de capital    "_cp,
                    "indica que esse bem foi vendido em outro exercício e "_cp,
                    "parcelas estão sendo pagas este ano?                 "_cp,
                    "Nesse caso deve apenas informar abaixo apenas valor  ",
                    " do diferimento calculado no ano da venda multiplicado",
                    " pelo percentual nao usado, se optou por usar parte do",
                    " ganho para aquisicao de outro imovel."}))
        return false;
    set_text("VENDAANT", "S");
    set_text("VEN_PRAZO", "S");
    set_text("PARCOMPRA", "N");
    set_text("PEQ_VALOR", "N");
    AVISO_ART31();
    return true;
}

struct AssetCost {
    bool found = false;
    double value = 0;
};

// The asset's value at the end of the previous year, from its own row or
// the continuation rows (no item number) after it.
AssetCost asset_cost(rt::table::Table& t, int item) {
    AssetCost cost;
    for (t.go_top(); !t.eof(); t.skip()) {
        if (t.deleted()) continue;
        if (static_cast<int>(declaration::field_number(t, "I7_1")) == item) {
            cost.found = true;
            break;
        }
    }
    if (!cost.found) return cost;
    if (text("ESPC_BEM").empty())
        common::Global{"ESPC_BEM"}.set(rt::Value(rt::LEFT(rt::TRIM(t.get("I7_2").as_string()), 152)));
    for (bool first = true; !t.eof(); t.skip(), first = false) {
        if (t.deleted()) continue;
        if (!first && declaration::field_number(t, "I7_1") > 0) break;
        const double v = declaration::field_number(t, "I7_3");
        if (v > 0) {
            cost.value = v;
            return cost;
        }
    }
    cost.value = -1;
    return cost;
}

}  // namespace

const char* nature_name(int number) { return number >= 1 && number <= 9 ? kNatures[number - 1] : ""; }

void add_parcel(int number) {
    rt::table::Table* t = tables::ws().table(kParcelsArea);
    if (!t || !t->append_blank()) return;
    RowWrite lock(*t);
    if (const rt::Value cpf = common::Global{"CPF"}.value(); cpf.is_string()) t->put("CPF", cpf);
    t->put("BEM_NRO", rt::Value(number));
    t->put("RVAR_NRO", rt::Value(0));
    t->put("VALOR_CUST", rt::Value(common::Global{"VALOR_CUST"}.number()));
    t->put("DATA_CUST", rt::Value(date_variable("DATA_ADQ")));
    t->commit();
}

bool VEIND_VEN() {
    const rt::Date sold = date_variable("DATA_ALI");
    if (sold.empty()) {
        common::MENS(0, "Informe a data da alienação."_cp);
        return false;
    }
    if (sold.year() > kBaseYear) {
        tell({"Atenção! O cálculo para o ganho de capital"_cp, "    só é válido para o ano de 2011.      "_cp});
        return false;
    }
    if (sold.year() == kBaseYear) {
        set_text("VENDAANT", "N");
    } else if (!yes("VENDAANT") && !earlier_year_sale()) {
        return false;
    }
    const rt::Date acquired = date_variable("DATA_ADQ");
    const bool has_acquisition = common::Global{"TIPO_BEM"}.integer() != Participations && !acquired.empty();
    if (has_acquisition && sold < acquired) {
        tell({"Confira! A data de aquisição está posterior a da alienação!"_cp});
        return false;
    }
    if (has_acquisition && !yes("VENDAANT") && acquired.year() == sold.year() && !yes("PARCOMPRA")) {
        tell({"Atenção! Para compra e venda no mesmo exercício"_cp, "é necessário informar como aquisição parcelada "_cp,
              "mesmo que aquisição tenha apenas uma parcela."_cp});
        kParcels.set(rt::Value("S"));
        return true;
    }
    FCALGAN();
    return true;
}

bool ACHA_BEM() {
    const int item = common::Global{"NRO_ITEM"}.integer();
    if (item == 0) {
        tell({"Informando 0 o texto e o valor do custo deve ser ", "informado igual ao declarado na relacao dos bens"});
        return true;
    }
    rt::table::Table* assets = tables::ws().table(kAssetsArea);
    const std::uint32_t saved = assets ? assets->recno() : 0;
    const AssetCost cost = assets ? asset_cost(*assets, item) : AssetCost{};
    if (assets && saved) assets->go_to(saved);
    if (!cost.found) {
        tell({"Item não localizado"_cp});
        return false;
    }
    if (yes("VENDAANT")) {
        common::Global{"VALOR_CUST"}.set(rt::Value(earlier_sale_cost()));
    } else if (!yes("PARCOMPRA")) {
        if (cost.value >= 0) common::Global{"VALOR_CUST"}.set(rt::Value(cost.value));
        else tell({"ATENÇÃO! Valor de aquisição nao localizado."_cp});
    }
    if (parcel_count(gain_number()) == 0) add_parcel(gain_number());
    ESCR_TELA();
    return true;
}

bool MOSTOPER() {
    if (text("NATUOPER").empty()) {
        // Three natures a row under the question, each whole on its row,
        // in a box over the form's results, above its bottom edge.
        constexpr int kColumn = 24, kFirstRow = 17;
        std::vector<std::string> lines{"Digite o nro da operação"_cp};
        for (int n = 1; n <= 9; ++n) {
            const std::string nature = std::to_string(n) + " - " + nature_name(n);
            if (n % 3 == 1) lines.push_back(nature);
            else lines.back() = rt::PADR(lines.back(), static_cast<long>(kColumn) * ((n - 1) % 3)) + nature;
        }
        const std::string chosen = common::choose_from_lines(lines, "123456789", kFirstRow, rt::Value("C"));
        const int number = chosen.empty() ? 0 : chosen.front() - '0';
        if (number < 1 || number > 9) return false;
        common::Global{"NATUOPER"}.set(rt::Value(std::string(nature_name(number))));
    }
    if (is_exchange_with_payment(common::Global{"NATUOPER"}.text())) common::Global{"LEHTORNA"}.set(rt::Value(true));
    else common::Global{"LEHTORNA"}.set(rt::Value(false));
    return true;
}

bool VE_LETRAN(std::string_view field) {
    const common::Global var{field};
    if (rt::UPPER(rt::ALLTRIM(var.text())) != "S") var.set(rt::Value("N"));
    else var.set(rt::Value("S"));
    if (field != "PARCOMPRA" || var.text() != "N") return true;
    const int count = parcel_count(gain_number());
    if (count <= 1) return true;
    if (!asked_yes({"Já existem "_cp + std::to_string(count) + " lançamentos de aquisição parcelada"_cp,
                    "ao mudar para aquisição à vista serão excluidos "_cp, "esses lançamentos. Confirma ? "_cp})) {
        var.set(rt::Value("S"));
        return false;
    }
    delete_parcels(gain_number(), true);
    FCALGAN();
    return true;
}

bool VER_GAN(int value, int column) {
    if (column == 4) {
        if (value >= Balance && value <= Sale) return true;
        common::AVISOSN(std::vector<std::string>{"1=Saldo                ", "2=Aquisição/Bonificação"_cp,
                                                 "3=Alienação           "_cp},
                        0);
        return false;
    }
    if (column != 3) return true;
    static const char* const kShareNames[] = {"", "Ação P.Nominativa", "Ação O.Nominativa", "Quotas", "Outras"};
    const int part = common::Global{"TIPOPART"}.integer();
    const bool allowed = part == 1 ? (value == 1 || value == 2) : part == 2 ? (value == 3 || value == 4) : value == 3;
    if (!allowed) {
        const char* message = part == 1   ? "1=Ação P.Nominativa 2=Ação O.Nominativa"
                              : part == 2 ? "3=Quotas            4=Outras          "
                                          : "3=Quotas           ";
        common::AVISOSN(rt::utf8_to_cp850(message), 0);
        return false;
    }
    if (rt::table::Table* t = tables::ws().table(kParcelsArea); t && !t->eof()) {
        RowWrite lock(*t);
        t->put("LOTE", rt::Value(rt::utf8_to_cp850(kShareNames[value])));
        t->commit();
    }
    FCALGAN();
    return true;
}

}  // namespace qv::gains
