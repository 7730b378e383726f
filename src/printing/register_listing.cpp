#include "printing/register_listing.hpp"

#include <algorithm>
#include <numeric>

#include "common/avisosn.hpp"
#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "printing/page_layout.hpp"
#include "printing/print_target.hpp"
#include "printing/report_support.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/print_device.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/alert.hpp"
#include "runtime/ui/read.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::printing {

using common::Global;
using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
constexpr int kStatusArea = 66;
constexpr std::size_t kLabelWidth = 53;
enum Order { kByCpf = 1, kByName, kByStatus, kByBirthMonth, kByTax, kByCharge, kCancel };
enum Mode { kLabels = 1, kSummary = 2, kComplete = 3 };

struct LabelGeometry {
    int margin = 0, top = 0, lines = 6, page = 60;
};

struct Run {
    ListingFilter filter;
    LabelGeometry labels;
    int order = kByCpf;
    int mode = kSummary;
    int count = 0;
    int labels_on_page = 0;
};

Run& run() {
    static Run r;
    return r;
}

rt::table::Table* reg() { return tables::ws().table(kRegisterArea); }

std::string field(const char* name) {
    auto* t = reg();
    return t && t->field_index(name) >= 0 ? rt::TRIM(t->get(name).as_string()) : std::string();
}
double field_number(const char* name) {
    auto* t = reg();
    return t && t->field_index(name) >= 0 ? t->get(name).as_number() : 0.0;
}
rt::Date field_date(const char* name) {
    auto* t = reg();
    const rt::Value v = t && t->field_index(name) >= 0 ? t->get(name) : rt::Value();
    return v.is_date() ? v.as_date() : rt::Date{};
}

bool ask_label_geometry() {
    LabelGeometry& g = run().labels;
    g = {};
    if (rt::ALLTRIM(Global{"NOMEIMP"}.text()) == "NAO DOS") {
        g.margin = ask_count("Informe a distância da margem esquerda "_cp, 0, 0);
        g.top = ask_count("Informe a distância do inicio da folha "_cp, 0, 0);
        g.lines = ask_count("Informe o número de linhas da etiqueta "_cp, 6, 5);
        g.page = ask_count("Informe o número de linhas da página   "_cp, 60, 5);
        if (common::AVISOSN("Reduz os caracteres para imprimir etiquetas?", 2).as_string() == "S") MUDAIMP(1);
    } else {
        MUDAIMP(1);
    }
    return true;
}

int ask_order() {
    std::vector<std::string> lines{"Informe a ordem de impressão"_cp, "escolhendo um dos nros abaixo"};
    // The choices one under the other: each as wide as the others, whatever
    // its accents, so that the box centres them alike.
    for (const std::string& choice : {"(1) por CPF"_cp, "(2) pelo nome"_cp, "(3) pelo Status"_cp,
                                     "(4) pelo Mês do Nascimento"_cp, "(5) pelo valor do imposto"_cp,
                                     "(6) pelo valor cobrado"_cp, "(7) Cancela a Impressão"_cp})
        lines.push_back(rt::PADR(choice, 29));
    const rt::Value answer = common::AVISOSN(lines, 7);
    return answer.is_number() ? static_cast<int>(answer.as_number()) : 0;
}

bool ask_filters() {
    ListingFilter& f = run().filter;
    f = {};
    if (run().order == kByBirthMonth) {
        if (!ask_range("Nascidos do mes", "MES_INIC", "MES_FINAL", 1, 12)) return false;
        f.first_month = Global{"MES_INIC"}.integer(1);
        f.last_month = Global{"MES_FINAL"}.integer(12);
    }
    const rt::Value all = common::AVISOSN("Todos os status", 4);
    if (all.as_string() == "F") return false;
    if (all.as_string() == "N") {
        if (!ask_range("Do status", "STAT_INIC", "STAT_FINAL", 1, 99)) return false;
        f.first_status = Global{"STAT_INIC"}.integer(1);
        f.last_status = Global{"STAT_FINAL"}.integer(99);
    }
    const int tax = rt::ALERT(std::vector<std::string>{"Imprime os contribuintes"},
                              std::vector<std::string>{"Todos", "Isentos", "Restitui\x87\xC6o", "A pagar"});
    if (tax == 0) return false;
    f.tax = tax;
    Global{"SEPIMP"}.set(rt::Value(tax));
    return true;
}

std::string group_text() {
    switch (Global{"QUECON"}.integer(1)) {
        case 2: return "PARCIAL";
        case 3: return "TOTAL";
        case 4: return "TODAS PASTAS";
        case 5: return "GRUPO " + rt::TRIM(Global{"NOMEGRUPO"}.text());
        default: return "INDIVIDUAL";
    }
}

std::string status_description(int status) {
    auto& ws = tables::ws();
    const int previous = ws.selected();
    const bool was_open = ws.table(kStatusArea) != nullptr;
    if (!was_open && !tables::ABERTURA(kStatusArea)) return {};
    std::string description;
    rt::table::Table& t = *ws.table(kStatusArea);
    for (t.go_top(); !t.eof() && description.empty(); t.skip(1)) {
        if (t.field_index("COD") >= 0 && static_cast<int>(t.get("COD").as_number()) == status)
            for (const auto& f : t.fields())
                if (f.type == 'C') description = rt::TRIM(t.get(f.name).as_string());
    }
    if (!was_open) ws.close(kStatusArea);
    ws.select(previous);
    return description;
}

Address current_address() {
    return {field("NOMECONTR"), field("TIPOEND"), field("ENDERECO"), field("NUMERO"), field("COMPLEM"),
            field("BAIRRO"),    field("MUNICIPIO"), field("UF"),     field("CEP")};
}

int birth_month() { return field_date("NASCIMENTO").month(); }

bool wanted_row() {
    const int quecon = Global{"QUECON"}.integer(1);
    if ((quecon == 2 || quecon == 5) && field("IMPRE") != "S") return false;
    return listed(run().filter, static_cast<int>(field_number("ESTATUS")), field_number("IMPPGRE"), birth_month());
}

// The rows of the register in the order chosen.
std::vector<std::uint32_t> rows_in_order() {
    rt::table::Table& t = *reg();
    std::vector<std::uint32_t> rows;
    std::vector<double> keys;
    if (run().order <= kByStatus && t.order() != run().order) t.set_order(run().order);
    for (t.go_top(); !t.eof(); t.skip(1)) {
        if (t.deleted()) continue;
        rows.push_back(t.recno());
        if (run().order == kByBirthMonth) keys.push_back(birth_month());
        else if (run().order == kByTax) keys.push_back(field_number("IMPPGRE"));
        else if (run().order == kByCharge) keys.push_back(field_number("VALOREC"));
    }
    if (keys.empty()) return rows;
    std::vector<std::uint32_t> sorted;
    for (const std::size_t i : ascending(keys)) sorted.push_back(rows[i]);
    return sorted;
}

void print_entry(int kind) {
    if (run().mode == kLabels) CAD_ETI(kind);
    else if (run().mode == kSummary) CAD_SIMPL();
    else CAD_COMPL();
    ++run().count;
}

void finish() {
    if (run().mode == kSummary) separator();
    if (run().mode != kLabels && Global{"QUECON"}.integer(1) != 1 && run().count > 0) {
        line(0, "Total de contribuintes...." + rt::STR(run().count, 6));
        separator();
        new_page();
    }
    if (run().mode == kLabels && run().labels_on_page > 0) new_page();
    if (run().count == 0) common::MENS(11, "Não houve contribuinte nas condições escolhidas"_cp);
    if (auto* t = reg()) t->set_order(1);
}

}  // namespace

bool listed(const ListingFilter& f, int status, double tax_result, int month) {
    if (status < f.first_status || status > f.last_status) return false;
    if (f.first_month > 0 && (month < f.first_month || month > f.last_month)) return false;
    switch (f.tax) {
        case 2: return tax_result == 0.0;
        case 3: return tax_result < 0.0;
        case 4: return tax_result > 0.0;
        default: return true;
    }
}

std::vector<std::size_t> ascending(const std::vector<double>& keys) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return order;
}

namespace {

// The address between the name and the CEP; a part not filled in leaves
// no line of bare separators.
std::vector<std::string> address_lines(const Address& a) {
    std::vector<std::string> lines;
    const auto add = [&lines](const std::string& line) {
        if (!line.empty()) lines.push_back(line);
    };
    std::string street = rt::TRIM(a.street_type);
    if (!street.empty()) street += " ";
    street += rt::TRIM(a.street);
    if (!rt::TRIM(a.number).empty()) street += ", " + rt::TRIM(a.number);
    street = rt::ALLTRIM(street);
    const std::string complement = rt::TRIM(a.complement);
    if (!complement.empty() && !street.empty() && street.size() + 1 + complement.size() <= kLabelWidth) {
        add(street + " " + complement);
    } else {
        add(street);
        add(complement);
    }
    add(rt::TRIM(a.district));
    const std::string town = rt::TRIM(a.town), state = rt::TRIM(a.state);
    add(town.empty() || state.empty() ? town + state : town + " - " + state);
    return lines;
}

std::string masked_cep(const Address& a) {
    return rt::TRANSFORM(rt::Value(rt::PADR(rt::ALLTRIM(a.cep), 8)), "@r 99999-999");
}

}  // namespace

std::vector<std::string> address_label(const Address& a) {
    std::vector<std::string> lines{rt::TRIM(a.name)};
    for (std::string& line : address_lines(a)) lines.push_back(std::move(line));
    if (!rt::ALLTRIM(a.cep).empty()) lines.push_back(masked_cep(a));
    return lines;
}

void CABEC_CAD(int mode) {
    if (QLIN() > 0) new_page();
    const ListingFilter& f = run().filter;
    line(0, "RELACAO " + group_text() + (mode == kSummary ? "/RESUMIDO" : "/COMPLETO") + " DE PESSOAS NA PASTA " +
                text("LOCARQ"));
    std::string scope = f.first_status == 1 && f.last_status == 99
                            ? std::string("INDEPENDENTE DO ESTATUS")
                            : "COM OS ESTATUS " + std::to_string(f.first_status) + " ATE " + std::to_string(f.last_status);
    static const char* kTax[] = {" E INDEPENDENTE DO IMPOSTO", " E OS ISENTOS DO IMPOSTO", " E COM DEVOLU\x80" "AO DO IMPOSTO",
                                 " E COM IMPOSTO A PAGAR"};
    line(0, scope + kTax[std::clamp(f.tax, 1, 4) - 1]);
    if (run().order == kByBirthMonth) {
        line(0, f.first_month == f.last_month
                    ? "NASCIDAS NO MES DE " + rt::TRIM(common::TRAZ_MES(f.first_month))
                    : "NASCIDAS ENTRE OS MESES DE " + rt::TRIM(common::TRAZ_MES(f.first_month)) + " E " +
                          rt::TRIM(common::TRAZ_MES(f.last_month)));
        line(0, "ORGANIZADO PELO MES DE NASCIMENTO");
    }
    separator();
    put(0, "Nome");
    if (mode == kSummary) put(41, "      CPF       Telefone    Situacao");
    skip_lines();
    separator();
}

void CAD_SIMPL() {
    if (PULA_PAG(1) || QLIN() == 0) CABEC_CAD(kSummary);
    const int status = static_cast<int>(field_number("ESTATUS"));
    put(0, rt::PADR(field("NOMECONTR"), 40).substr(0, 40));
    put(41, rt::TRANSFORM(rt::Value(rt::PADR(field("CPF"), 11)), kCpfPicture));
    put(57, field("TELEFO"));
    line(66, rt::STR(status, 2) + " " + status_description(status));
}

void CAD_COMPL() {
    if (QLIN() == 0 || QLIN() + 8 > Global{"NROLINHAS"}.integer(60)) CABEC_CAD(kComplete);
    line(0, rt::TRANSFORM(rt::Value(rt::PADR(field("CPF"), 11)), kCpfPicture) + "  " + field("NOMECONTR"));
    const Address a = current_address();
    for (const std::string& shown_line : address_lines(a)) line(2, shown_line);
    line(2, "CEP " + masked_cep(a) + "  Fone " + field("TELEFO"));
    const rt::Date born = field_date("NASCIMENTO");
    std::string birth = "Nascimento " + rt::DTOC(born);
    if (!born.empty() && born.month() == rt::DATE().month()) birth += "  Atencao! Aniversario nesse mes";
    line(2, birth);
    const double tax = field_number("IMPPGRE");
    const int quotas = static_cast<int>(field_number("QTD_QUOTA"));
    std::string result = "Isento";
    if (tax > 0) result = "Imp. devido " + shown(tax) + " em " + std::to_string(std::max(quotas, 1)) + (quotas > 1 ? " Quotas" : " Quota");
    else if (tax < 0) result = "Restituicao " + shown(-tax);
    if (field_number("VALOREC") > 0) result += "   Valor Cobrado " + shown(field_number("VALOREC"));
    line(2, result);
    if (!field("SENACESSO").empty()) line(2, "Senha acesso " + field("SENACESSO") + "  Codigo " + field("CODACESSO"));
    skip_lines();
}

void CAD_ETI(int) {
    const LabelGeometry& g = run().labels;
    if (QLIN() < g.top) Global{"QLIN"}.set(rt::Value(g.top));
    if (QLIN() + g.lines > g.page) {
        new_page();
        Global{"QLIN"}.set(rt::Value(g.top));
    }
    const int top = QLIN();
    const std::vector<std::string> lines = address_label(current_address());
    for (std::size_t i = 0; i < lines.size(); ++i) rt::os::printer().say(top + static_cast<int>(i), g.margin + 1, lines[i]);
    Global{"QLIN"}.set(rt::Value(top + g.lines));
    ++run().labels_on_page;
}

bool IMPR_CAD() {
    auto* t = reg();
    if (!t) return false;
    run() = {};
    const bool one = Global{"QUECON"}.integer(1) == 1;
    const int kind = rt::ALLTRIM(Global{"NOMEIMP"}.text()) == "NAO DOS" ? 1 : 0;
    const bool labels = Global{"QUEMOD"}.integer(1) == 1;
    run().mode = labels ? kLabels : kSummary;
    if (labels) ask_label_geometry();
    if (!one) {
        run().order = ask_order();
        if (run().order == 0 || run().order == kCancel) return false;
        if (!ask_filters()) return false;
    }
    if (!labels) {
        if (run().order <= kByStatus) {
            common::MensArgs args;
            args.name = "12";
            const rt::Value which =
                common::MENS(12, "Selecione digitando nro (1) Cadastro resumido   (2) Cadastro completo  ", args);
            if (rt::LASTKEY() == rt::key::ESC) return false;
            run().mode = which.as_string() == "2" ? kComplete : kSummary;
        } else {
            run().mode = kComplete;
        }
    }
    if (one) {
        print_entry(kind);
    } else {
        for (const std::uint32_t row : rows_in_order()) {
            t->go_to(row);
            if (!wanted_row()) continue;
            print_entry(kind);
            if (PAREIMP()) break;
        }
    }
    finish();
    return true;
}

}  // namespace qv::printing
