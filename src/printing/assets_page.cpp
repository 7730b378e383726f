// Page group 3: assets and debts with the year-end values, the spouse and
// the executor of an estate.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/globals.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/table/table.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kAssetsArea = 24;
constexpr int kDebtsArea = 25;
constexpr std::size_t kDescriptionWidth = 90;
constexpr int kFirstValue = 100;   // after the description
constexpr int kSecondValue = 116;

struct ListKind {
    int area;
    const char* title;
    const char* prefix;   // field prefix: I7 assets, I8 debts
};

// The two value columns' headings for the declaration's kind.
std::array<const char*, 2> value_headings() {
    if (text("DECFINAL") == "S") return {"Data Partilha", "Val. Transf. "};
    if (text("DECSAIDA") == "S") return {"31/12/2010 ", " Dt.Nao Resid."};
    return {"31/12/2010 ", "Em 31/12/2011 "};
}

std::string field(rt::table::Table& t, const std::string& name) { return rt::TRIM(t.get(name).as_string()); }

// Only the assets of a range of codes are printed.
bool choosing_assets() { return Global{"QUEPAG"}.integer(1) == 7 && rt::TRIM(Global{"CSOBENS"}.text()) == "N"; }

// Marks an asset row for printing when its code lies in the range asked.
bool selected_asset(rt::table::Table& t) {
    const int code = static_cast<int>(t.get("I7_5").as_number());
    const bool in = code >= Global{"NBENINI"}.integer(1) && code <= Global{"NBENFIM"}.integer(99);
    t.put("I7_10", rt::Value(in ? "S" : "N"));
    return in;
}

bool property_of_estate(rt::table::Table& t) {
    const int code = static_cast<int>(t.get("I7_5").as_number());
    return text("DECFINAL") == "S" && code >= 1 && code <= 19;
}

// The country of an asset abroad; the tax authority's layout names Brazil
// for the others.
void asset_country(rt::table::Table& t) {
    const std::string code = field(t, "I7_8");
    if (!code.empty()) {
        if (const std::string name = country_name(rt::PADR(code, 3)); !name.empty()) line(8, "PAIS: " + name);
    } else if (authority_layout()) {
        line(8, "PAIS: BRASIL");
    }
}

// Where a property of an estate's partition lies and how it is registered.
void property_details(rt::table::Table& t) {
    put(8, "LOGRADOURO: " + field(t, "ENDEIMO"));
    put(52, "NRO.: " + field(t, "NUMIMO"));
    line(66, "COMPL.: " + field(t, "COMPIMO"));
    put(8, "BAIRRO: " + field(t, "BAIRIMO"));
    put(52, "UF: " + field(t, "UFIMO"));
    line(60, "MUNICIPIO: " + field(t, "MUNICIMO"));
    const std::string cep = field(t, "CEPIMO");
    put(8, "CEP: " + (cep.empty() ? cep : rt::TRANSFORM(rt::Value(cep), "@r 99999-999")));
    const bool registered = field(t, "REGISTRO") == "S";
    line(52, std::string("REGISTRADO NO CARTORIO? ") + (registered ? "Sim" : "Nao"));
    if (!registered) return;
    put(8, "MATRICULA: " + field(t, "MATRICU"));
    line(60, "REGISTRO: " + field(t, "LIVRORG"));
    put(8, "AREA: " + rt::ALLTRIM(shown(t.get("AREAIMO").as_number(), "@EZ 999,999.9")) +
               (field(t, "UNIDADE") == "S" ? " m2" : " ha"));
    line(60, "NOME: " + field(t, "CARTORIO"));
}

void asset_details(rt::table::Table& t) {
    asset_country(t);
    if (property_of_estate(t)) property_details(t);
}

// Lines an item takes, kept on one page.
int lines_of(const ListKind& k, rt::table::Table& t, const std::string& description) {
    int n = static_cast<int>(std::max<std::size_t>(1, (description.size() + kDescriptionWidth - 1) / kDescriptionWidth));
    if (k.area == kAssetsArea) n += 1 + (property_of_estate(t) ? 6 : 0);
    return n;
}

void list_heading(const ListKind& k) {
    const auto cols = value_headings();
    line(0, k.title);
    put(0, "ITEM COD DISCRIMINACAO");
    put(kFirstValue + 4, "SITUACAO EM");
    skip_lines();
    put(kFirstValue + 4, cols[0]);
    line(kSecondValue + 2, cols[1]);
    wide_separator();
}

// A row that only carries on the description of the item above it: no
// item number, no code and no values.
bool continuation(const ListKind& k, rt::table::Table& t) {
    const std::string p = k.prefix;
    for (const char* suffix : {"_1", "_3", "_4", "_5"})
        if (t.get(p + suffix).as_number() != 0.0) return false;
    return true;
}

struct Item {
    std::uint32_t recno;
    std::string description;   // of its row and its continuation rows
    std::vector<std::uint32_t> continued;
};

std::vector<Item> items_of(const ListKind& k) {
    std::vector<Item> items;
    for_rows(k.area, [&](rt::table::Table& t) {
        const std::string description = field(t, std::string(k.prefix) + "_2");
        if (!items.empty() && continuation(k, t)) {
            items.back().description += " " + description;
            items.back().continued.push_back(t.recno());
        } else {
            items.push_back({t.recno(), description, {}});
        }
    });
    return items;
}

// Whether an item is printed; its continuation rows take its mark.
bool wanted_item(const ListKind& k, rt::table::Table& t, const Item& it) {
    t.go_to(it.recno);
    if (k.area != kAssetsArea || !choosing_assets()) return true;
    const bool wanted = selected_asset(t);
    for (const std::uint32_t row : it.continued) {
        t.go_to(row);
        t.put("I7_10", rt::Value(wanted ? "S" : "N"));
    }
    t.go_to(it.recno);
    return wanted;
}

void print_list(const ListKind& k) {
    PULA_PAG(9);
    list_heading(k);
    const std::string p = k.prefix;
    double before = 0.0, after = 0.0;
    int item = 0;
    auto* table = tables::ws().table(k.area);
    for (const Item& it : table ? items_of(k) : std::vector<Item>{}) {
        rt::table::Table& t = *table;
        if (!wanted_item(k, t, it)) continue;
        const std::string& description = it.description;
        if (page_full(std::max(4, lines_of(k, t, description)))) {
            running_totals("SUBTOTAL", {{kFirstValue, before}, {kSecondValue, after}});
            CABEC_PAG(k.area == kAssetsArea ? 3 : 4);
            list_heading(k);
        }
        put(0, rt::STRZERO(++item, 4));
        put(5, rt::STRZERO(static_cast<int>(t.get(p + "_5").as_number()), 2));
        put(8, description.substr(0, kDescriptionWidth));
        const double v1 = t.get(p + "_3").as_number(), v2 = t.get(p + "_4").as_number();
        put(kFirstValue, shown(v1));
        line(kSecondValue, shown(v2));
        before += v1, after += v2;
        for (std::size_t at = kDescriptionWidth; at < description.size(); at += kDescriptionWidth)
            line(8, description.substr(at, kDescriptionWidth));
        if (k.area == kAssetsArea) asset_details(t);
    }
    if (item == 0) no_information();
    put(0, "TOTAL ");
    put(kFirstValue, shown(before));
    line(kSecondValue, shown(after));
    wide_separator();
}

// The spouse's page keeps base, tax paid, exempt and exclusive income in
// I13_1C, I13_4C, I13_2C and I13_3C. The "RESULTADO" layout (CONJPAD "S": a
// spouse in the simplified model, or values typed by hand) has no exempt
// line, and the tax paid is not split into withholding and carne-leao: the
// whole of it stands as withheld, as the tax program receives it.
void spouse() {
    PULA_PAG(9);
    line(0, "INFORMACOES DO CONJUGE");
    line(0, "CPF: " + rt::TRANSFORM(rt::Value(rt::PADR(text("CPFCONJU"), 11)), kCpfPicture));
    if (text("CONJPAD") == "S") {
        line(0, "RESULTADO");
        value_line("Base de calculo do imposto devido", number("I13_1C"));
        value_line("Imposto retido na Fonte", number("I13_4C"));
        value_line("Carne-leao e imposto complementar", 0.0);
        value_line("Rendimentos sujeitos a tributacao exclusiva (inclusive 13ro)", number("I13_3C"));
    } else {
        value_line("Base de calculo", number("I13_1C"));
        value_line("Total do imposto pago", number("I13_4C"));
        value_line("Rendimentos Isentos e nao-tributaveis", number("I13_2C"));
        value_line("Rendimentos sujeitos a tributacao exclusiva", number("I13_3C"));
    }
}

}  // namespace

void PAGINA3(int /*sheet*/) {
    CABEC_PAG(0);
    print_list({kAssetsArea, "DECLARACAO DE BENS E DIREITOS", "I7"});
    print_list({kDebtsArea, "DIVIDAS E ONUS REAIS", "I8"});
    spouse();
    if (text("DECFINAL") == "S") {
        PULA_PAG(5);
        representative("DECLARACAO DE ESPOLIO ");
    }
    new_page();
}

}  // namespace qv::printing
