#include "printing/disk_labels.hpp"

#include <algorithm>

#include "common/globals.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;

namespace {

constexpr int kRegisterArea = 9;
constexpr int kRowsPerSheet = 5;   // rows of the 2 x 5 sheets

std::vector<DiskLabel>& pending() {
    static std::vector<DiskLabel> labels;
    return labels;
}

int label_type() { return std::clamp(Global{"QUEMOD"}.integer(1), 1, 4); }
int left_margin() { return std::max(Global{"NMARG_ETI"}.integer(0), 0); }
int top_offset() { return std::max(Global{"NTOPO_ETI"}.integer(0), 0); }
int label_lines() {
    const int n = Global{"NLINE"}.integer(0);
    return n >= 5 ? n : (label_type() == 1 ? 9 : 6);
}
int page_lines() {
    const int n = Global{"NRO_LIN"}.integer(0);
    return n >= 5 ? n : 60;
}

std::string label_name(int type, const std::string& name) {
    const std::string upper = rt::UPPER(rt::TRIM(name));
    return type == 2 ? upper : upper.substr(0, 25);
}

std::string cpf_text(const std::string& cpf) { return rt::TRANSFORM(rt::Value(rt::PADR(rt::ALLTRIM(cpf), 11)), kCpfPicture); }

int& rows_on_sheet() {
    static int n = 0;
    return n;
}

}  // namespace

int labels_per_row(int type) { return type == 3 ? 2 : type == 4 ? 3 : 1; }

std::vector<std::string> label_row(int type, const std::vector<DiskLabel>& labels) {
    if (type == 1 || type == 2) {
        const DiskLabel l = labels.empty() ? DiskLabel{} : labels.front();
        std::vector<std::string> lines;
        if (type == 1) {
            lines = {"Declaracao de ajuste anual 2012", "          (Ano Base 2011)"};
        } else {
            lines = {"Declaracao de ajuste anual 2012 - (Ano Base 2011)"};
        }
        lines.push_back("CPF : " + cpf_text(l.cpf));
        lines.push_back("Nome: " + label_name(type, l.name));
        return lines;
    }
    const std::size_t width = type == 3 ? 40 : 27;
    std::vector<std::string> lines(4);
    for (const DiskLabel& l : labels) {
        const std::string texts[4] = {"Declaracao de ajuste 2012", "          (Ano Base 2011)", "CPF : " + cpf_text(l.cpf),
                                      "Nome: " + label_name(type, l.name)};
        for (std::size_t i = 0; i < 4; ++i) lines[i] += rt::PADR(texts[i], static_cast<long>(width));
    }
    for (auto& s : lines) s = rt::TRIM(s);
    return lines;
}

void GERETI(int kind) {
    const int type = label_type();
    const std::vector<std::string> lines = label_row(type, pending());
    pending().clear();
    // On the office's own printer a label that would pass the page starts
    // the next page at the top offset.
    if (kind == 1 && QLIN() + label_lines() > page_lines() && QLIN() > top_offset()) new_page();
    if (QLIN() < top_offset()) Global{"QLIN"}.set(rt::Value(top_offset()));
    const int top = QLIN();
    for (std::size_t i = 0; i < lines.size(); ++i) rt::os::printer().say(top + static_cast<int>(i), left_margin(), lines[i]);
    Global{"QLIN"}.set(rt::Value(top + label_lines()));
    if (type == 3 && ++rows_on_sheet() == kRowsPerSheet) {
        rows_on_sheet() = 0;
        new_page();
    }
}

void FAZ_ETI(int kind) {
    const int type = label_type(), per_row = labels_per_row(type);
    pending().clear();
    rows_on_sheet() = 0;
    if (Global{"QUECON"}.integer(1) == 1) {
        for (int i = 0; i < per_row; ++i) pending().push_back({text("CPF"), text("NOMECONTR")});
        GERETI(kind);
        return;
    }
    auto* reg = tables::ws().table(kRegisterArea);
    if (!reg) return;
    const bool marked_only = Global{"QUECON"}.integer(1) == 2;
    for (reg->go_top(); !reg->eof() && !PAREIMP(); reg->skip(1)) {
        if (reg->deleted()) continue;
        if (marked_only && rt::TRIM(reg->get("IMPRE").as_string()) != "S") continue;
        pending().push_back({reg->get("CPF").as_string(), reg->get("NOMECONTR").as_string()});
        if (static_cast<int>(pending().size()) == per_row) GERETI(kind);
    }
    if (!pending().empty()) GERETI(kind);
}

}  // namespace qv::printing
