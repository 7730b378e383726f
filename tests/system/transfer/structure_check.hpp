#pragma once
// A check of the declaration file's structure, independent of how it was
// made: every element known, its attributes in their order, each value in
// the form of its code, the sections in their order under the root, and
// the header totals equal to the sums of their items. The element layout
// is read from declaration_layout.txt beside this file.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::transfer::testing {

struct Element {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<Element>> children;
    const Element* parent = nullptr;
    std::string path;   // names from the top down, months as "month"
    const std::string* value(std::string_view attribute) const {
        for (const auto& [n, v] : attributes)
            if (n == attribute) return &v;
        return nullptr;
    }
};

namespace structure {

inline bool is_month(std::string_view name) {
    static const char* const kNames[] = {"janeiro", "fevereiro", "marco", "abril", "maio", "junho", "julho",
                                         "agosto", "setembro", "outubro", "novembro", "dezembro", "jan", "fev",
                                         "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"};
    for (const char* n : kNames)
        if (name == n) return true;
    return false;
}

// Parses a run of elements as the system writes them (attributes in double
// quotes, blanks only between tags). Problems found go to `problems`.
class Parser {
public:
    Parser(std::string_view text, std::vector<std::string>& problems) : s_(text), problems_(problems) {}

    std::unique_ptr<Element> document() {
        auto root = std::make_unique<Element>();
        if (s_.starts_with("<?xml")) i_ = s_.find("?>") + 2;
        while (next_tag()) {
            if (s_[i_ + 1] == '/') return fail("end tag without its start", root);
            root->children.push_back(element(nullptr));
            if (!ok_) break;
        }
        return root;
    }

private:
    bool next_tag() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
        if (i_ >= s_.size()) return false;
        if (s_[i_] != '<') {
            problem("text between tags at byte " + std::to_string(i_));
            ok_ = false;
            return false;
        }
        return true;
    }
    std::unique_ptr<Element> element(const Element* parent) {
        auto e = std::make_unique<Element>();
        e->parent = parent;
        std::size_t j = s_.find_first_of(" />", i_ + 1);
        e->name = std::string(s_.substr(i_ + 1, j - i_ - 1));
        const std::string own = is_month(e->name) ? "month" : e->name;
        e->path = parent ? parent->path + "/" + own : own;
        for (;;) {
            while (j < s_.size() && s_[j] == ' ') ++j;
            if (j >= s_.size()) return fail("unfinished tag " + e->name, e);
            if (s_[j] == '>' || s_.substr(j, 2) == "/>") break;
            const std::size_t eq = s_.find('=', j);
            if (eq == std::string_view::npos || s_[eq + 1] != '"') return fail("attribute without a quoted value in " + e->name, e);
            const std::size_t close = s_.find('"', eq + 2);
            e->attributes.emplace_back(std::string(s_.substr(j, eq - j)), std::string(s_.substr(eq + 2, close - eq - 2)));
            j = close + 1;
        }
        if (s_[j] == '/') {
            i_ = j + 2;
            return e;
        }
        i_ = j + 1;
        while (next_tag()) {
            if (s_[i_ + 1] == '/') {
                const std::size_t end = s_.find('>', i_);
                std::string name(s_.substr(i_ + 2, end - i_ - 2));
                while (!name.empty() && name.back() == ' ') name.pop_back();
                if (name != e->name) return fail("</" + name + "> closes <" + e->name + ">", e);
                i_ = end + 1;
                return e;
            }
            e->children.push_back(element(e.get()));
            if (!ok_) return e;
        }
        return fail("<" + e->name + "> is never closed", e);
    }
    std::unique_ptr<Element> fail(const std::string& what, std::unique_ptr<Element>& e) {
        problem(what);
        ok_ = false;
        return std::move(e);
    }
    void problem(const std::string& what) { problems_.push_back(what); }

    std::string_view s_;
    std::vector<std::string>& problems_;
    std::size_t i_ = 0;
    bool ok_ = true;
};

using Form = std::vector<std::pair<std::string, std::string>>;   // attribute, code

inline const std::map<std::string, std::vector<Form>>& layout() {
    static const std::map<std::string, std::vector<Form>> table = [] {
        std::map<std::string, std::vector<Form>> out;
        std::ifstream in(std::string(QV_SOURCE_DIR) + "/tests/system/transfer/declaration_layout.txt");
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            const std::size_t colon = line.find(": ");
            const std::string key = line.substr(0, line.find(':'));
            Form form;
            std::istringstream words(colon == std::string::npos ? "" : line.substr(colon + 2));
            std::string word;
            while (words >> word) {
                const std::size_t c = word.find(':');
                std::string code = word.substr(c + 1);
                for (char& ch : code)
                    if (ch == '_' && code[0] == '=') ch = ' ';
                form.emplace_back(word.substr(0, c), code);
            }
            out[key].push_back(std::move(form));
        }
        return out;
    }();
    return table;
}

// The forms of an element: the longest key that ends its path.
inline const std::vector<Form>* forms_of(const std::string& path) {
    for (std::size_t from = 0;;) {
        const auto it = layout().find(path.substr(from));
        if (it != layout().end()) return &it->second;
        from = path.find('/', from);
        if (from == std::string::npos) return nullptr;
        ++from;
    }
}

inline bool fits(const std::string& value, std::string code) {
    if (code.size() > 1 && code.back() == '?') {
        if (value.empty()) return true;
        code.pop_back();
    }
    if (code[0] == '=') {
        std::string_view choices = std::string_view(code).substr(1);
        for (std::size_t at = 0;;) {
            const std::size_t bar = choices.find('|', at);
            if (choices.substr(at, bar - at) == value) return true;
            if (bar == std::string_view::npos) return false;
            at = bar + 1;
        }
    }
    static const std::map<std::string, std::string> kPatterns = {
        {"A", R"(-?\d{1,3}(\.\d{3})*,\d\d)"},
        {"I", R"(-?\d{1,3}(\.\d{3})*)"},
        {"D1", R"(-?\d{1,3}(\.\d{3})*(,\d)?)"},
        {"G", R"(\d+)"},
        {"F6", R"((-?\d+,\d{6})?)"},
        {"C", R"((\d{3}\.\d{3}\.\d{3}-\d\d)?)"},
        {"D", R"(\d\d/\d\d/\d{4}|  /  /    )"},
        {"DT", R"(\d\d/\d\d/\d{4}|/ +/)"},
        {"S", R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)"},
        {"N11", R"(\d{11})"},
        {"T", R"([^"<>&]*)"}};
    const auto known = kPatterns.find(code);
    const std::string pattern = code[0] == '~' ? code.substr(1) : known != kPatterns.end() ? known->second : "(?!)";
    return std::regex_match(value, std::regex(pattern));
}

inline std::string names_of(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::string out;
    for (const auto& p : pairs) out += (out.empty() ? "" : " ") + p.first;
    return out;
}

inline void check_attributes(const Element& e, std::vector<std::string>& problems) {
    const std::vector<Form>* forms = forms_of(e.path);
    if (forms == nullptr) {
        problems.push_back(e.path + ": element not in the layout");
        return;
    }
    std::string why;
    for (const Form& form : *forms) {
        if (names_of(form) != names_of(e.attributes)) {
            why = e.path + ": attributes [" + names_of(e.attributes) + "], layout [" + names_of(form) + "]";
            continue;
        }
        why.clear();
        for (std::size_t i = 0; i < form.size() && why.empty(); ++i)
            if (!fits(e.attributes[i].second, form[i].second))
                why = e.path + "@" + form[i].first + ": \"" + e.attributes[i].second + "\" is not " + form[i].second;
        if (why.empty()) return;
    }
    problems.push_back(why);
}

// A header total and the item values it sums.
struct SumRule {
    const char* header;   // key of the header element
    std::string total;
    const char* items;    // path below the header
    const char* value;
    const char* filter = "";       // "attribute=v1|v2": only such items
    const char* minus = "";        // an item attribute taken off the value
    bool only_with_items = false;  // the total stands alone when no item is written
};

inline std::vector<SumRule> sum_rules() {
    std::vector<SumRule> rules;
    for (const char* side : {"colecaoRendPJTitular", "colecaoRendPJDependente"})
        for (const auto& [t, v] : {std::pair{"totaisContribuicaoPrevOficial", "contribuicaoPrevOficial"},
                                   {"totaisDecimoTerceiro", "decimoTerceiro"},
                                   {"totaisImpostoRetidoFonte", "impostoRetidoFonte"},
                                   {"totaisRendRecebidoPJ", "rendRecebidoPJ"}})
            rules.push_back({side, t, "item", v});
    rules.push_back({"rendPJ", "totalRendRecebPessoaJuridica", "*", "totaisRendRecebidoPJ"});
    for (const char* side : {"colecaoRendPJComExigibilidadeTitular", "colecaoRendPJComExigibilidadeDependente"}) {
        rules.push_back({side, "totaisDepositoJudicial", "item", "depositoJudicial"});
        rules.push_back({side, "totaisRendPJExigSuspensa", "item", "rendExigSuspensa"});
    }
    for (const auto& [t, v] : {std::pair{"totalDarfPago", "darfPago"}, {"totalDependentes", "dependentes"},
                               {"totalExterior", "exterior"}, {"totalLivroCaixa", "livroCaixa"},
                               {"totalPensao", "pensao"}, {"totalPessoaFisica", "pessoaFisica"},
                               {"totalPrevidencia", "previdencia"}}) {
        rules.push_back({"rendPFTitular", t, "month", v});
        rules.push_back({"rendimentos", t, "month", v});
        rules.push_back({"rendPFDependente", t, "item/rendimentos", t});
    }
    for (const char* side : {"colecaoRendAcmTitular", "colecaoRendAcmDependente"})
        for (const auto& [t, v] : {std::pair{"totaisContribuicaoPrevOficial", "contribuicaoPrevOficial"},
                                   {"totaisImpostoRetidoFonte", "impostoRetidoFonte"},
                                   {"totaisPensaoAlimenticia", "pensaoAlimenticia"},
                                   {"totaisRendRecebidos", "rendRecebidos"}}) {
            rules.push_back({side, t, "item", v});
            rules.push_back({side, std::string(t) + "Ajuste", "item", v, "opcaoTributacao=A"});
            rules.push_back({side, std::string(t) + "Exclusiva", "item", v, "opcaoTributacao=E"});
        }
    for (const char* side : {"colecaoRendAcmTitular", "colecaoRendAcmDependente"})
        rules.push_back({side, "totaisImpostoDevidoRRA", "item", "impostoDevidoRRA", "opcaoTributacao=E"});
    for (const char* table : {"pensaoAlimenticiaQuadroAuxiliar", "lucroRecebidoQuadroAuxiliar", "pensaoQuadroAuxiliar",
                              "poupancaQuadroAuxiliar", "rendAssalariadoMoedaEstrangeiraQuadroAuxiliar",
                              "incorporacaoReservaCapitalQuadroAuxiliar", "outrosQuadroAuxiliar",
                              "rendDependentesQuadroAuxiliar", "rendAplicacoesQuadroAuxiliar",
                              "outrosDependentesQuadroAuxiliar"})
        rules.push_back({table, "totais", "item", "valor"});
    rules.push_back({"pagamentos", "totalDeducoesInstrucao", "item", "valorPago", "codigo=01|02"});
    rules.push_back({"pagamentos", "totalDespesasMedicas", "item", "valorPago",
                     "codigo=08|09|10|11|12|13|14|15|16|17|18|19|20|21|22|23|24|25|26", "parcelaNaoDedutivel"});
    rules.push_back({"pagamentos", "totalPensao", "item", "valorPago", "codigo=30|31"});
    rules.push_back({"pagamentos", "totalPensaoCartoral", "item", "valorPago", "codigo=33|34"});
    rules.push_back({"pagamentos", "totalContribuicaoFAPI", "item", "valorPago", "codigo=36|38"});
    rules.push_back({"pagamentos", "totalDeducaoIncentivo", "item", "valorPago", "codigo=39|40|41|42|43|44"});
    rules.push_back({"pagamentos", "totalContribEmpregadoDomestico", "item", "valorPago", "codigo=50"});
    for (const char* list : {"bens", "dividas"}) {
        rules.push_back({list, "totalExercicioAnterior", "item", "valorExercicioAnterior"});
        rules.push_back({list, "totalExercicioAtual", "item", "valorExercicioAtual"});
    }
    rules.push_back({"participacoesInventario", "totalPercentual", "item", "percentual"});
    rules.push_back({"doacoes", "totalDoacoes", "item", "valor"});
    rules.push_back({"colecaoItemImpostoPagar", "total", "item", "valor"});
    rules.push_back({"brasil/receitasDespesas", "totalReceita", "month", "receitaBrutaMensal"});
    rules.push_back({"brasil/receitasDespesas", "totalDespesas", "month", "despesaCusteioInvestimento"});
    for (const auto& [t, v] : {std::pair{"totalValorRecebido", "valorRecebido"}, {"totalImpostoPago", "impostoPago"},
                               {"totalImpostoRendaFonte", "impostoRendaFonte"}})
        rules.push_back({"colCPGC", t, "item", v, "", "", true});
    rules.push_back({"ganhosDeCapital", "totalImpostoPagoSobreGanhosCapital", "declarantes/item", "valorImpostoPago",
                     "", "", true});
    return rules;
}

// "1.234,56", "1.235", "-7,5" as a number.
inline double number_of(std::string text) {
    std::string plain;
    for (char c : text)
        if (c != '.') plain += c == ',' ? '.' : c;
    return plain.empty() ? 0.0 : std::stod(plain);
}

inline bool passes(const Element& item, std::string_view filter) {
    if (filter.empty()) return true;
    const std::size_t eq = filter.find('=');
    const std::string* v = item.value(filter.substr(0, eq));
    if (v == nullptr) return false;
    const std::string choices = "|" + std::string(filter.substr(eq + 1)) + "|";
    return choices.find("|" + *v + "|") != std::string::npos;
}

// The elements at `path` below `e` ("*" any child).
inline void collect(const Element& e, std::string_view path, std::vector<const Element*>& out) {
    const std::size_t slash = path.find('/');
    const std::string_view first = path.substr(0, slash);
    for (const auto& child : e.children) {
        const std::string own = is_month(child->name) ? "month" : child->name;
        if (first != "*" && first != own) continue;
        if (slash == std::string_view::npos) out.push_back(child.get());
        else collect(*child, path.substr(slash + 1), out);
    }
}

inline bool path_ends_with(const std::string& path, std::string_view key) {
    return path == key || (path.size() > key.size() && path.ends_with(key) && path[path.size() - key.size() - 1] == '/');
}

inline void check_sums(const Element& e, std::vector<std::string>& problems) {
    static const std::vector<SumRule> rules = sum_rules();
    for (const SumRule& r : rules) {
        if (!path_ends_with(e.path, r.header)) continue;
        const std::string* total = e.value(r.total);
        if (total == nullptr) continue;
        std::vector<const Element*> items;
        collect(e, r.items, items);
        double sum = 0;
        int counted = 0;
        for (const Element* item : items) {
            const std::string* v = item->value(r.value);
            if (v == nullptr || !passes(*item, r.filter)) continue;
            const std::string* minus = *r.minus ? item->value(r.minus) : nullptr;
            sum += number_of(*v) - (minus ? number_of(*minus) : 0.0);
            ++counted;
        }
        if (r.only_with_items && counted == 0) continue;
        if (std::fabs(sum - number_of(*total)) > 0.005)
            problems.push_back(e.path + "@" + r.total + " = " + *total + ", its items " + r.items + "@" + r.value +
                               " sum to " + std::to_string(sum));
    }
}

inline void check_tree(const Element& e, std::vector<std::string>& problems) {
    check_attributes(e, problems);
    check_sums(e, problems);
    for (const auto& child : e.children) check_tree(*child, problems);
}

inline const std::vector<std::string>& section_names() {
    static const std::vector<std::string> names = {
        "contribuinte", "conjuge", "rendPJ", "rendPJComExigibilidade", "rendPFTitular", "rendPFDependente",
        "rendAcm", "rendIsentos", "rendTributacaoExclusiva", "impostoPago", "dependentes", "alimentandos",
        "herdeiros", "pagamentos", "bens", "dividas", "espolio", "resumo", "comparativo", "doacoes", "saida",
        "rendaVariavel", "atividadeRural", "ganhosDeCapital", "moedaEstrangeira", "copiaIdentificador"};
    return names;
}

}  // namespace structure

// The problems of a whole declaration file, or of a run of complete
// elements (then without the frame's checks); empty when none. A file made
// without the writers kept outside the frame (`every_section` false) may
// leave sections out; those it has still stand in their order.
inline std::vector<std::string> structure_problems(const std::string& text, bool every_section = true) {
    std::vector<std::string> problems;
    const bool whole = text.starts_with("<?xml");
    if (whole) {
        if (!text.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<classe "))
            problems.push_back("the file does not begin with the XML declaration line and the root");
        if (text.find('\n', text.find('\n') + 1) != std::string::npos || text.back() == '\n')
            problems.push_back("a line break after the XML declaration line");
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x7F || (c < 0x20 && c != '\r' && c != '\n')) {
            problems.push_back("byte " + std::to_string(c) + " at " + std::to_string(i));
            break;
        }
    }
    const auto top = structure::Parser(text, problems).document();
    if (whole) {
        if (top->children.size() != 1 || top->children[0]->name != "classe") {
            problems.push_back("the root is not one classe element");
            return problems;
        }
        std::vector<std::string> sections;
        std::string listed;
        for (const auto& s : top->children[0]->children) {
            sections.push_back(s->name);
            listed += " " + s->name;
        }
        std::vector<std::string> expected;
        for (const std::string& name : structure::section_names())
            if (every_section || std::find(sections.begin(), sections.end(), name) != sections.end())
                expected.push_back(name);
        if (sections != expected) problems.push_back("sections out of their order:" + listed);
    }
    for (const auto& e : top->children) structure::check_tree(*e, problems);
    return problems;
}

}  // namespace qv::transfer::testing
