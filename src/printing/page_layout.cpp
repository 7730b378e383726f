#include "printing/page_layout.hpp"

#include "common/globals.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"

namespace qv::printing {

using common::Global;

namespace {

void set_qlin(int n) { Global{"QLIN"}.set(rt::Value(n)); }

int lines_per_page() {
    const int n = Global{"NROLINHAS"}.integer(60);
    return n > 0 ? n : 60;
}

std::string declaration_kind() {
    if (text("DECFINAL") == "S") return "DECLARACAO DE FINAL DE ESPOLIO";
    if (text("DECSAIDA") == "S") return "DECLARACAO DE SAIDA DEFINITIVA";
    return "DECLARACAO DE AJUSTE ANUAL";
}

}  // namespace

std::string shown(double value, std::string_view picture) { return rt::TRANSFORM(rt::Value(value), picture); }
double number(std::string_view global) { return Global{global}.number(); }
std::string text(std::string_view global) { return rt::TRIM(Global{global}.text()); }

int QLIN() { return Global{"QLIN"}.integer(); }

void put(int col, std::string_view text) { rt::os::printer().say(QLIN(), col, text); }

void line(int col, std::string_view text) {
    put(col, text);
    skip_lines();
}

void skip_lines(int n) { set_qlin(QLIN() + n); }

void put_amount(int col, std::string_view label, double value, int width) {
    put(col, label);
    put(col + width, shown(value));
}

void new_page() {
    // A page nothing was written on is not ejected: the documents that end
    // with a new page and the ones that start with one meet without an
    // empty sheet between them.
    if (page_used()) rt::os::printer().eject();
    set_qlin(0);
}

bool page_used() {
    const rt::os::PrintDevice& p = rt::os::printer();
    return p.row() > 0 || p.col() > 0;
}

void separator() { line(0, Global{"LIN_DIV1"}.text()); }
void wide_separator() { line(0, Global{"LIN_DIV2"}.text()); }

void CABEC_PAG(int kind, std::string_view continuing) {
    if (kind == 2) separator();
    if (kind != 0) new_page();
    set_qlin(0);
    rt::os::printer().write_raw(Global{"STRING0"}.text());
    separator();
    put(0, "Nome: " + text("NOMECONTR"));
    line(56, "CPF: " + rt::TRANSFORM(rt::Value(text("CPF")), kCpfPicture));
    put(0, "IMPOSTO DE RENDA - PESSOA FISICA");
    line(40, declaration_kind());
    line(0, "EXERCICIO 2012 Ano-Calendario 2011");
    separator();
    if (kind != 0 && !continuing.empty()) line(0, continuing);
}

bool page_full(int n) { return QLIN() + n > lines_per_page(); }

void running_totals(std::string_view label, std::initializer_list<std::pair<int, double>> columns) {
    put(0, label);
    for (const auto& [col, value] : columns) put(col, shown(value));
    skip_lines();
}

bool PULA_PAG(int n) {
    if (!page_full(n)) return false;
    new_page();
    CABEC_PAG(0);
    return true;
}

}  // namespace qv::printing
