#include "printing/annotations_print.hpp"

#include <string>
#include <vector>

#include "common/globals.hpp"
#include "printing/page_layout.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "tables/opening.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kAnnotations = 31;
constexpr int kStatusTable = 66;
constexpr std::string_view kPhone = "@R 9999-9999";

std::string status_description(int status) {
    if (status <= 0) return {};
    if (!tables::ws().table(kStatusTable) && !tables::ABERTURA(kStatusTable)) return {};
    auto* t = tables::ws().table(kStatusTable);
    return t && t->seek(rt::Value(double(status))) ? field_text(*t, "DESCRICAO") : std::string();
}

std::string phone(const char* name) { return rt::TRANSFORM(rt::Value(text(name)), kPhone); }

void heading() {
    line(0, rt::LEFT(Global{"LIN_DIV1"}.text(), 55) + " " + rt::DTOC(rt::DATE()) + " " + rt::TIME());
    line(0, "CPF: " + rt::TRANSFORM(rt::Value(text("CPF")), kCpfPicture));
    line(0, "Nome: " + text("NOMECONTR"));
    const int status = Global{"ESTATUS"}.integer();
    put(0, "Situacao da declaracao " + std::to_string(status) + " " + status_description(status));
    line(50, "Term. " + text("NUSU"));
    line(0, "DDD " + text("DDDFAX") + "  Celular " + phone("TELCELU") + "  Escritorio " + phone("TELESCR") +
                "  Secretaria " + phone("TELSECR"));
    separator();
}

void close_page() {
    separator();
    skip_lines();
    new_page();
}

}  // namespace

void ANOTE_ESP() {
    std::vector<std::string> lines;
    for_stored_rows(kAnnotations, [&](rt::table::Table& t) { lines.push_back(field_text(t, "OBSERV")); });
    if (lines.empty()) return;
    rt::os::printer().write_raw(Global{"STRING0"}.text());
    heading();
    const int per_page = Global{"NROLINHAS"}.integer(60);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        line(0, lines[i]);
        if (QLIN() > per_page && i + 1 < lines.size()) {
            close_page();
            separator();
            skip_lines();
            heading();
        }
    }
    close_page();
}

}  // namespace qv::printing
