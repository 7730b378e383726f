#include "darf/slip_layout.hpp"

#include <algorithm>
#include <sstream>

#include "runtime/core/text.hpp"

namespace qv::darf {

namespace {

constexpr int kMiddle = 40;       // the column of the frame between the halves
constexpr int kSlipRows = 22;
constexpr int kLeftText = 2;
constexpr int kRightValue = 63;
constexpr int kRightWidth = 14;   // values are right-aligned in these columns

struct Label {
    int row;
    int col;
    const char* text;
};

constexpr Label kLabels[] = {
    {1, 2, "MINISTERIO DA FAZENDA"}, {2, 2, "Secretaria da Receita Federal"},
    {3, 2, "Doc. Arrecada. de Receitas Federais"}, {4, 14, "D  A  R  F"}, {6, 2, "01-Nome / Telefone"},
    {19, 2, "Modelo Aprovado pela IN/SRF 81/96"},
    {1, 41, "02-Periodo de apuracao"}, {3, 41, "03-Numero do CPF/CGC"}, {5, 41, "04-Codigo da receita"},
    {7, 41, "05-Nro de referencia"}, {9, 41, "06-Data de Vencimento"}, {11, 41, "07-Valor do principal"},
    {13, 41, "08-Valor da Multa"}, {15, 41, "09-Valor dos juros"}, {17, 41, "10-Valor Total"},
    {19, 41, "11-Autenticacao bancaria"},
};

bool right_side(std::string_view name) {
    static constexpr std::string_view kRight[] = {"PERIODO", "CPF", "CODIGO", "REFERENCIA", "VENCIMENTO",
                                                  "PRINCIPAL", "MULTA", "JUROS", "TOTAL"};
    return std::find(std::begin(kRight), std::end(kRight), name) != std::end(kRight);
}

std::string border(bool left_cut, bool right_cut) {
    std::string s(kPlainWidth, ' ');
    s[0] = left_cut ? '+' : '|';
    s[kMiddle] = (left_cut || right_cut) ? '+' : '|';
    s[kPlainWidth - 1] = right_cut ? '+' : '|';
    if (left_cut) std::fill(s.begin() + 1, s.begin() + kMiddle, '-');
    if (right_cut) std::fill(s.begin() + kMiddle + 1, s.end() - 1, '-');
    return s;
}

// Writes text from col, never over the frame line that closes its half.
void overlay(std::string& line, int col, std::string_view text) {
    const int stop = col < kMiddle ? kMiddle : kPlainWidth - 1;
    for (int i = 0; i < static_cast<int>(text.size()) && col + i < stop; ++i) line[std::size_t(col + i)] = text[std::size_t(i)];
}

std::vector<std::string> frame() {
    std::vector<std::string> rows;
    for (int r = 0; r < kSlipRows; ++r) {
        const bool edge = r == 0 || r == kSlipRows - 1;
        const bool left_cut = edge || r == 5 || r == 18;
        const bool right_cut = edge || (r % 2 == 0 && r <= 18);
        rows.push_back(border(left_cut, right_cut));
    }
    for (const Label& l : kLabels) overlay(rows[std::size_t(l.row)], l.col, l.text);
    return rows;
}

}  // namespace

FormPlaces default_places() {
    FormPlaces p{{"NOME", {7, kLeftText}}, {"FONE", {8, kLeftText}}, {"AVISO1", {15, kLeftText}},
                 {"AVISO2", {16, kLeftText}}, {"VALIDADE", {17, kLeftText}}, {"ALTURA", {kSlipRows, 0}}};
    for (int i = 1; i <= 5; ++i) p["LINHA" + std::to_string(i)] = {8 + i, kLeftText};
    int row = 1;
    for (const char* name : {"PERIODO", "CPF", "CODIGO", "REFERENCIA", "VENCIMENTO", "PRINCIPAL", "MULTA", "JUROS", "TOTAL"}) {
        p[name] = {row, kRightValue};
        row += 2;
    }
    return p;
}

FormPlaces adjusted_places(std::string_view text) {
    FormPlaces places = default_places();
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name;
        int row = 0, col = 0;
        if (!(fields >> name >> row >> col)) continue;
        name = rt::UPPER(name);
        const auto it = places.find(name);
        if (it == places.end() || row < 0 || col < 0 || col >= 200 || row >= 200) continue;
        it->second = {row, col};
    }
    return places;
}

std::string places_file_name(int mode) { return "DARFFORM" + std::to_string(mode) + ".TXT"; }

std::vector<PlacedText> placed_values(const SlipValues& v, const FormPlaces& places) {
    std::vector<std::pair<std::string, std::string>> named{
        {"NOME", v.name}, {"FONE", v.phone}, {"AVISO1", v.notice[0]}, {"AVISO2", v.notice[1]},
        {"VALIDADE", v.valid_until}, {"PERIODO", v.period}, {"CPF", v.cpf}, {"CODIGO", v.code},
        {"REFERENCIA", v.reference}, {"VENCIMENTO", v.due}, {"PRINCIPAL", v.principal}, {"MULTA", v.fine},
        {"JUROS", v.interest}, {"TOTAL", v.total}};
    for (int i = 0; i < 5; ++i) named.emplace_back("LINHA" + std::to_string(i + 1), v.lines[std::size_t(i)]);
    std::vector<PlacedText> out;
    for (auto& [name, value] : named) {
        const std::string shown = rt::TRIM(value);
        const auto it = places.find(name);
        if (shown.empty() || it == places.end()) continue;
        out.push_back({it->second, right_side(name) ? rt::PADL(shown, kRightWidth) : value});
    }
    std::stable_sort(out.begin(), out.end(), [](const PlacedText& a, const PlacedText& b) {
        return a.at.row != b.at.row ? a.at.row < b.at.row : a.at.col < b.at.col;
    });
    return out;
}

std::vector<std::string> plain_slip(const SlipValues& v) {
    std::vector<std::string> rows = frame();
    for (const PlacedText& t : placed_values(v, default_places()))
        if (t.at.row < kSlipRows) overlay(rows[std::size_t(t.at.row)], t.at.col, t.text);
    return rows;
}

}  // namespace qv::darf
