#pragma once
// The declaration file's tests: an open declaration with the year's
// constants, the work copies of its lists (areas 21-40, laid out as the
// system lays them out) in a temporary folder, and readers of the written
// document: its bytes, its elements in order with their attributes.
#include "system/system_fixture.hpp"

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "declaration/calc/declaration_values.hpp"
#include "declaration/loop/tax_constants.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/table/table.hpp"
#include "tables/schemas.hpp"
#include "tables/state.hpp"
#include "transfer/xml_frame.hpp"

namespace qv::transfer::testing {

namespace tb = rt::table;
using Cell = std::pair<const char*, rt::Value>;
using rt::operator""_cp;

// One start tag of the document: its name, depth and attributes in order.
struct Tag {
    std::string name;
    int depth = 0;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string value(std::string_view attribute) const {
        for (const auto& [n, v] : attributes)
            if (n == attribute) return v;
        return "<missing>";
    }
};

// The start tags of a document written as this system writes it (no
// comments, no text, attributes in double quotes).
inline std::vector<Tag> start_tags(const std::string& doc) {
    std::vector<Tag> tags;
    int depth = 0;
    std::size_t i = doc.find("?>");
    while ((i = doc.find('<', i)) != std::string::npos) {
        if (doc[i + 1] == '/') {
            --depth;
            i = doc.find('>', i);
            continue;
        }
        Tag tag;
        tag.depth = depth;
        std::size_t j = doc.find_first_of(" />", i + 1);
        tag.name = doc.substr(i + 1, j - i - 1);
        while (doc[j] == ' ' && doc[j + 1] != '/' && doc[j + 1] != '>') {
            const std::size_t eq = doc.find('=', j);
            const std::size_t close = doc.find('"', eq + 2);
            tag.attributes.emplace_back(doc.substr(j + 1, eq - j - 1), doc.substr(eq + 2, close - eq - 2));
            j = close + 1;
        }
        while (doc[j] == ' ') ++j;
        if (doc[j] == '>') ++depth;
        tags.push_back(std::move(tag));
        i = j;
    }
    return tags;
}

// A golden file as written by hand: its first line is the XML declaration
// line; every other line break is left out (a line starting with a blank
// keeps that blank).
inline std::string golden(const std::string& name) {
    std::ifstream in(std::string(QV_SOURCE_DIR) + "/tests/system/transfer/golden/" + name, std::ios::binary);
    std::string line, out;
    bool first = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out += line;
        if (first) out += "\r\n";
        first = false;
    }
    return out;
}

// The fragments of a golden file written by hand: groups of lines parted by
// an empty line, each group's lines joined as golden() joins them.
inline std::vector<std::string> golden_fragments(const std::string& name) {
    std::ifstream in(std::string(QV_SOURCE_DIR) + "/tests/system/transfer/golden/" + name, std::ios::binary);
    std::vector<std::string> out(1);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) out.emplace_back();
        else out.back() += line;
    }
    return out;
}

class TransferTest : public qv::test_support::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        // The files of these tests leave out the sections that have tests
        // of their own; a test puts back the writer it needs.
        for (const char* section : {"rendaVariavel", "atividadeRural", "ganhosDeCapital", "moedaEstrangeira"})
            register_section_writer(section, {});
        scope_ = std::make_unique<rt::DeclarationScope>();
        declaration::set_tax_constants();
        for (int area : {22, 23, 24, 25, 26, 32, 34, 40}) open_list(area);
        rt::set_clock(rt::Date::from_ymd(2012, 4, 10), 14 * 3600 + 30 * 60);
    }
    void TearDown() override {
        tables::ws().close_all();
        scope_.reset();
        rt::reset_clock();
        ScreenTest::TearDown();
    }

    static void set(const char* name, rt::Value v) { declaration::set_value(name, std::move(v)); }
    static void set_all(std::initializer_list<Cell> cells) {
        for (const auto& [name, value] : cells) set(name, value);
    }
    static void add_row(int area, std::initializer_list<Cell> cells) {
        tb::Table& t = *tables::ws().table(area);
        ASSERT_TRUE(t.append_blank());
        for (const auto& [field, value] : cells) t.put(field, value);
        t.commit();
    }
    // A resident taxpayer with one employer, some income from natural
    // persons in March, savings and a refund.
    void simple_declaration() {
        set_all({{"CPF", "12345678909"}, {"NOMECONTR", "José da Silva"_cp}, {"TIPOEND", "rua"}, {"ENDERECO", "das Flores"},
                 {"NUMERO", "10"}, {"COMPLEM", ""}, {"BAIRRO", "Centro"}, {"CEP", "70000000"}, {"CODMUNI", "9701"},
                 {"MUNICIPIO", "Brasília"_cp}, {"UF", "DF"}, {"DDDTEL", "61"}, {"TELEFO", "33334444"},
                 {"NASCIMENTO", rt::Date::from_ymd(1970, 5, 15)}, {"TITULO", ""}, {"CDPRO", "225"}, {"CODAT", "11"},
                 {"DECFINAL", "N"}, {"DECSAIDA", "N"}, {"RETIFICA", "N"}, {"NOVOEND", "N"}, {"USAPADRAO", "N"},
                 {"CPFCONJU", ""}, {"I9_4", "N"}, {"DEBITAUT", "N"}, {"QTD_QUOTA", 0}, {"BANCO", "001"},
                 {"AGENCIA", "012345"}, {"CONTACO", "98765"}, {"I3_08", 120.5}, {"I13_01", 50000.0},
                 {"I13_03", 2000.0}, {"I13_08", 52000.0}, {"I13_09", 5000.0}, {"I13_19", 5000.0},
                 {"I13_20", 45000.0}, {"I13_21", 3000.0}, {"I13_23", 3000.0}, {"I13_27", 3000.0}, {"I13_29", 150.0},
                 {"I13_35", 3150.0}, {"I13_38", 150.0}, {"I13_44", 120.5}, {"I13_45", 4000.0}});
        add_row(22, {{"I1_1", "J"}, {"I1_2", "Empresa Ltda"}, {"I1_3", "11222333000181"}, {"I1_4", 50000.0},
                     {"I1_5", 3000.0}, {"I1_6", 5000.0}, {"I1_7", 4000.0}});
        add_row(32, {{"I2_103", 2000.0}, {"I2_503", 100.0}, {"I2_603", 150.0}});
        add_row(34, {{"DESCRICAO", "Poupança Banco"_cp}, {"POUPANCA", 120.5}});
    }
    // The document written from the open declaration.
    static std::string document() {
        XmlWriter out;
        Generation g(out, rt::DATE(), time_stamp(rt::DATE(), rt::TIME()));
        prepare_generation(g);
        write_document(g);
        return out.take();
    }
    // True when xmllint finds the document well-formed.
    bool well_formed(const std::string& doc) const {
        const std::string path = folder_.path() + "/check.xml";
        std::ofstream(path, std::ios::binary) << doc;
        return std::system(("xmllint --noout " + path + " 2>/dev/null").c_str()) == 0;
    }
    const std::string& folder() const { return folder_.path(); }

private:
    void open_list(int area) {
        const std::string path = folder_.path() + "/TMP_" + std::to_string(area) + ".DBF";
        tb::create_table(path, *tables::schema_of(area), tb::MemoKind::None);
        tb::OpenOptions own;
        own.exclusive = true;
        tables::ws().use_in(area, path, own);
    }

    std::unique_ptr<rt::DeclarationScope> scope_;
    qv::test_support::TempFolder folder_{"qvxml"};
};

}  // namespace qv::transfer::testing
