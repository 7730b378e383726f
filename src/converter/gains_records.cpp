// Records 60-69: capital gains (table 07 rows of kinds 1-3 and their cost
// rows in table 08).
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "converter/conversion.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;
using rt::operator""_cp;

constexpr double kMillionth = 1000000;

bool is_gain(tb::Table& t) {
    const double kind = t.get("TIPO_BEM").as_number();
    return kind >= 1 && kind <= 3;
}

// Earlier gains go whole: their rows in table 07 and every cost row that
// hung on them, so that old parcels never attach to new gains.
void delete_earlier_gains(const Conversion& c) {
    std::set<int> gains;
    for_each_row(7, c.cpf, [&gains](tb::Table& t) {
        if (is_gain(t)) gains.insert(static_cast<int>(t.get("BEM_NRO").as_number()));
    });
    delete_rows(7, c.cpf, is_gain);
    delete_rows(8, c.cpf, [&gains](tb::Table& t) {
        return t.get("RVAR_NRO").as_number() == 0 || gains.count(static_cast<int>(t.get("BEM_NRO").as_number())) > 0;
    });
}

tb::Table& sold_asset(Conversion& c, const Line& l, int kind) {
    c.sold.emplace_back(static_cast<int>(l.number(14, 15)), kind);
    tb::Table& t = new_row(7, c.cpf);
    t.put("BEM_NRO", Value(static_cast<int>(c.sold.size())));
    t.put("TIPO_BEM", Value(kind));
    t.put("NRO_ITEM", Value(0));
    return t;
}

std::string small_value(char column) { return column == 'N' ? "S" : "N"; }

void sold_assets(Conversion& c) {
    for (const Line& l : c.run("60")) {
        tb::Table& t = sold_asset(c, l, 1);
        t.put("ESPC_BEM", Value(l.text(16, 180)));
        t.put("DATA_ADQ", Value(l.date(168, 175)));
        t.put("NATUOPER", Value(l.raw(178, 197)));
        for (const auto& [from, to, field] : {std::tuple{221, 250, "RUAIMO"}, {236, 265, "ENDEIMO"},
                                              {276, 281, "NUMIMO"}, {282, 296, "COMPIMO"}, {303, 317, "BAIRIMO"},
                                              {323, 330, "CEPIMO"}, {335, 351, "MUNICIMO"}, {375, 376, "UFIMO"}})
            t.put(field, Value(l.raw(from, to)));
        t.put("PEQ_VALOR", Value(small_value(l.at(440))));
        t.put("PARCOMPRA", Value(std::string(1, l.at(444))));
        t.put("VAL_PARTE", Value(l.amount(515, 527)));
        t.put("PERART31", Value(l.number(528, 536, kMillionth)));
        t.put("VEN_PRAZO", Value("N"));
    }
    for (const Line& l : c.run("61")) {
        tb::Table& t = sold_asset(c, l, 2);
        t.put("ESPC_BEM", Value(l.text(16, 180)));
        t.put("DATA_ADQ", Value(l.date(168, 175)));
        t.put("NATUOPER", Value(l.raw(178, 197)));
    }
    for (const Line& l : c.run("62")) {
        tb::Table& t = sold_asset(c, l, 3);
        t.put("ESPC_BEM", Value(l.raw(16, 88)));
        t.put("CGC_SOCIE", Value(l.raw(76, 89)));
        t.put("CID_SOCIE", Value(l.raw(94, 113)));
        t.put("EST_SOCIE", Value(l.raw(114, 115)));
        const char part = l.at(117);
        t.put("TIPOPART", Value(part == 'A' ? 1 : part == 'Q' ? 2 : part == 'F' ? 3 : 0));
    }
    table(7).commit();
}

// LOCALIZ: the BEM_NRO of the asset of that kind and item; 0 when none.
int LOCALIZ(const Conversion& c, int kind, int item) {
    const auto at = std::find(c.sold.begin(), c.sold.end(), std::pair{item, kind});
    return at == c.sold.end() ? 0 : static_cast<int>(at - c.sold.begin()) + 1;
}

std::optional<std::uint32_t> row_of(const Conversion& c, int code, int asset) {
    std::optional<std::uint32_t> row;
    for_each_row(code, c.cpf, [&](tb::Table& t) {
        if (!row && t.get("BEM_NRO").as_number() == asset && (code != 7 || is_gain(t))) row = t.recno();
    });
    return row;
}

// The table 07 row of the asset a record names, current; false when the
// record names no declared asset (it is then reported and left out).
bool gain_row(Conversion& c, const Line& l, int kind, int item, int& asset) {
    asset = LOCALIZ(c, kind, item);
    const auto row = asset ? row_of(c, 7, asset) : std::nullopt;
    if (!row) {
        c.warn("registro " + std::string(l.type()) + " de um bem não declarado, ignorado"_cp);
        return false;
    }
    table(7).go_to(*row);
    return true;
}

void sales(Conversion& c) {
    for (const Line& l : c.run("63")) {
        const int kind = static_cast<int>(l.number(14, 14));
        int asset = 0;
        if (!gain_row(c, l, kind, static_cast<int>(l.number(15, 16)), asset)) continue;
        tb::Table& t = table(7);
        const rt::Date sold_on = l.date(76, 83);
        const double value = l.amount(85, 97);
        const bool this_year = sold_on.year() == 2011;
        t.put("DATA_ALI", Value(sold_on));
        t.put(this_year ? "VAL_ALI" : "VAL_ANTE", Value(value));
        // A sale of an earlier year is marked as such, as the gain's form
        // marks it from the sale's date: its figures come from what is
        // received this year, not from a sale value it does not have.
        t.put("VENDAANT", Value(this_year ? "N" : "S"));
        const double cost = l.amount(98, 110);
        t.put("CUS_ATUAL", Value(cost));
        if (kind == 3) t.put("VAL_PARTE", Value(l.amount(150, 162)));
        t.put("IMPPAGO", Value(l.amount(176, 188)));
        t.put("VEN_PRAZO", Value(std::string(1, l.at(230))));
        t.put("PARCOMPRA", Value(std::string(1, l.at(231))));
        t.put("PEQ_VALOR", Value(small_value(l.at(233))));
        if (!this_year) {
            t.put("VAL_DIFE", Value(value - l.amount(234, 246)));
            t.put("IMP_DIFE", Value(l.amount(256, 268)));
        }
        t.commit();
        tb::Table& k = new_row(8, c.cpf);
        k.put("BEM_NRO", Value(asset));
        k.put("VALOR_CUST", Value(cost));
        k.commit();
    }
}

struct MonthColumns {
    int per_to;
    double per_divisor;
    int tri, dev, lei, pag;
};

void instalments(Conversion& c, const char* type, const MonthColumns& m) {
    for (const Line& l : c.run(type)) {
        int asset = 0;
        const int month = static_cast<int>(l.number(17, 18));
        if (month < 1 || month > 12) continue;
        if (!gain_row(c, l, static_cast<int>(l.number(14, 14)), static_cast<int>(l.number(15, 16)), asset)) continue;
        tb::Table& t = table(7);
        const std::string mm = rt::STRZERO(month, 2);
        t.put("REC_MES" + mm, Value(l.amount(19, 31)));
        t.put("PER_TRI", Value(l.number(32, m.per_to, m.per_divisor)));
        t.put("VAL_TRI" + mm, Value(l.amount(m.tri, m.tri + 12)));
        t.put("IMP_DEV" + mm, Value(l.amount(m.dev, m.dev + 12)));
        t.put("IMP_LEI" + mm, Value(l.amount(m.lei, m.lei + 12)));
        t.put("IMP_PAG" + mm, Value(l.amount(m.pag, m.pag + 12)));
        t.commit();
    }
}

struct Lot {
    int share_kind;
    double quantity, average, cost;
};

void shares(Conversion& c) {
    static const std::string kLots[] = {"Ação P.Nominativa"_cp, "Ação O.Nominativa"_cp, "Quotas           ",
                                        "Outras          "};
    std::map<int, std::vector<Lot>> lots;
    for (const Line& l : c.run("65"))
        lots[static_cast<int>(l.number(14, 15))].push_back(
            {static_cast<int>(l.number(16, 16)), l.number(77, 87), l.number(88, 104, kMillionth), l.amount(105, 117)});
    for (const auto& [item, list] : lots) {
        int asset = 0;
        if (!gain_row(c, c.file.line(c.runs.at("65").front()), 3, item, asset)) continue;
        const rt::Date sold_on = table(7).get("DATA_ALI").as_date();
        double quantity = 0, cost = 0;
        for (const Lot& lot : list) quantity += lot.quantity, cost += lot.cost;
        const Lot& first = list.front();
        const std::string lot_name = first.share_kind >= 1 && first.share_kind <= 4 ? kLots[first.share_kind - 1] : "";
        if (const auto row = row_of(c, 8, asset); row) {
            tb::Table& t = table(8);
            t.go_to(*row);
            if (t.get("VALOR_CUST").as_number() != 0) {
                t.put("TIPO_ACAO", Value(first.share_kind));
                t.put("LOTE", Value(lot_name));
                t.put("MOV_ACAO", Value(quantity));
                t.put("SALDO_ACAO", Value(quantity));
                t.put("CM_PONDER", Value(first.average));
                t.put("VALOR_CUST", Value(cost));
                t.put("TIPO_OPER", Value(1));
                t.put("DATA_CUST", Value(rt::Date::from_ymd(2010, 12, 31)));
                t.commit();
            }
        }
        for (const Lot& lot : list) {
            tb::Table& t = new_row(8, c.cpf);
            t.put("BEM_NRO", Value(asset));
            t.put("MOV_ACAO", Value(lot.quantity));
            t.put("VALOR_CUST", Value(0));
            t.put("TIPO_OPER", Value(3));
            t.put("DATA_CUST", Value(sold_on));
            t.commit();
        }
    }
}

void costs(Conversion& c) {
    std::set<int> updated;
    for (const Line& l : c.run("68")) {
        int asset = 0;
        if (!gain_row(c, l, 1, static_cast<int>(l.number(14, 15)), asset)) continue;
        const auto row = updated.count(asset) ? std::nullopt : row_of(c, 8, asset);
        updated.insert(asset);
        tb::Table& t = row ? table(8) : new_row(8, c.cpf);
        if (row) t.go_to(*row);
        t.put("BEM_NRO", Value(asset));
        t.put("DATA_CUST", Value(rt::Date::from_ymd(static_cast<int>(l.number(16, 19)),
                                                    static_cast<int>(l.number(20, 21)), 1)));
        t.put("VALOR_CUST", Value(l.amount(22, 34)));
        t.put("PER_CUST", Value(l.number(35, 43, kMillionth)));
        t.put("PER_RED1", Value(l.number(57, 65, kMillionth)));
        t.put("PER_RED2", Value(l.number(66, 74, kMillionth)));
        t.put("PER_RED", Value(l.number(88, 96, kMillionth)));
        t.commit();
    }
}

void buyers(Conversion& c) {
    for (const Line& l : c.run("69")) {
        int asset = 0;
        if (!gain_row(c, l, static_cast<int>(l.number(16, 16)), static_cast<int>(l.number(14, 15)), asset)) continue;
        tb::Table& t = table(7);
        t.put("CPFADQ", Value(l.doc(17, 30)));
        t.put("NOME_ADQ", Value(l.raw(31, 90)));
        t.commit();
    }
}

}  // namespace

void CONV_GANHO(Conversion& c, int mode) {
    if (mode == 0 && !c.y2012()) return;
    delete_earlier_gains(c);
    sold_assets(c);
    sales(c);
    instalments(c, "64", {36, 100, 37, 50, 63, 89});
    shares(c);
    instalments(c, "66", {40, kMillionth, 41, 54, 67, 93});
    costs(c);
    buyers(c);
}

}  // namespace qv::converter
