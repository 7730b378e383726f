#include "shell/print_lists.hpp"

#include <algorithm>
#include <initializer_list>

#include "common/globals.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "shell/main_menu.hpp"

namespace qv::shell {

using rt::operator""_cp;

namespace {

void make_list(std::string_view name, std::initializer_list<const char*> utf8) {
    rt::Value list = rt::Value::array();
    for (const char* s : utf8) list.as_array()->push_back(rt::Value(rt::operator""_cp(s, std::char_traits<char>::length(s))));
    rt::variables().declare_public(name, std::move(list));
}

void make_numbers(std::string_view name, std::initializer_list<int> numbers) {
    rt::Value list = rt::Value::array();
    for (int n : numbers) list.as_array()->push_back(rt::Value(n));
    rt::variables().declare_public(name, std::move(list));
}

const common::Global kQueimp("QUEIMP");
const common::Global kQuemod("QUEMOD");
const common::Global kQuepag("QUEPAG");
const common::Global kQuecon("QUECON");
const common::Global kNroVias("NRO_VIAS");

}  // namespace

std::string list_entry(std::string_view list, int n) {
    if (!rt::variables().exists(list) || n < 1) return {};
    return rt::variables().get(list).at(static_cast<std::size_t>(n)).as_string();
}

int list_size(std::string_view list) {
    if (!rt::variables().exists(list)) return 0;
    return static_cast<int>(rt::variables().get(list).len());
}

void CREATE_PRINT_LISTS() {
    make_list("ALISTIMP", {"IRenda modo Receita", "Declaração própria ", "Atividade Rural    ",
                           "Livro caixa Rural  ", "Darfes             ", "Ganho de capital   ",
                           "Renda variável     ", "carta Personalizada", "Anotações especiais",
                           "Livro caixa Normal ", "Valores a cobrar   ", "Cadastro           ",
                           "Comprovante rendime", "Etiquetas disquete ", "relatório Usuário  "});
    make_list("MODO1OP", {"folha Avulsa       ", "Formulário Contínuo", "Darf pré-impresso  "});
    make_list("MODOETI", {"Etiquetas     ", "Folha avulsa  "});
    make_list("MODOUNI", {"Folha única"});
    make_list("NOMCONT", {"Folha avulsa  "});
    make_list("MODETID", {"8 Eti. 116x37 ", "12 Eti. 90x24 ", "2*5 Eti.70x50 ", "Pimaco 8296   "});
    make_list("NOMEPAGR", {"Tudo na declaração ", "Tudo menos Balanço ", "Só IR s/Bal/Malha  ",
                           "Só IR Sem a Malha  ", "Rendimentos        ", "Pagamentos         ",
                           "Bens e Dívidas     ", "Resumo c/Balanço   ", "Resumo s/Balanço   ",
                           "Só a Malha fina    ", "página 1 do rural  ", "página 2 do rural  "});
    make_list("NOMEPRUR", {"Todas pag. ", "página 1   ", "página 2   "});
    make_list("NOMEPAGS", {"Toda a declaração", "Toda s/Balanço", "IR s/MF/Balanço", "IR  sem a Malha ",
                           "Rendimentos     ", "Pagamentos  ", "Bens/Divida ", "Resumo c/Balanço",
                           "Resumo s/Balanço", "Malha Fina  ", "Pag.1 Rural", "Pag.2 Rural"});
    make_list("NOMEPAGCV", {"declar.Bens/Div"});
    make_list("NOMECON", {"Individual  ", "Vários      ", "Todos       ", "todas Pastas", "Grupo selec."});
    make_numbers("AQUEIT2", {1, 1, 1, 1, 3, 1, 1, 1, 1, 1, 1, 2, 1, 4, 1});
    make_numbers("AQUEIT3", {10, 10, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
}

void MONTA_ITENS() {
    const int queimp = std::clamp(kQueimp.integer(1), 1, 15);
    int quemod = std::max(kQuemod.integer(1), 1);
    int quepag = std::max(kQuepag.integer(1), 1);
    std::string paper;
    std::string pages = list_entry("MODOUNI", 1);
    if (queimp <= 4) {
        quemod = 1;
        quepag = std::min(quepag, 10);
        paper = list_entry("NOMCONT", 1);
        // The rural printout has pages of its own: its item names the page
        // chosen from its list, not a page set of the declaration.
        if (queimp == 3) quepag = std::min(quepag, list_size("NOMEPRUR"));
        pages = list_entry(queimp == 3 ? "NOMEPRUR" : "NOMEPAGR", quepag);
    } else if (queimp == 5) {
        quemod = std::min(quemod, 3);
        quepag = 1;
        paper = list_entry("MODO1OP", quemod);
    } else if (queimp == 12) {
        quemod = std::min(quemod, 2);
        quepag = 1;
        paper = list_entry("MODOETI", quemod);
    } else if (queimp == 14) {
        quepag = 1;
        paper = list_entry("MODETID", quemod);
    } else {
        quemod = 1;
        quepag = 1;
        paper = list_entry("NOMCONT", 1);
    }
    kQuemod.set(rt::Value(quemod));
    kQuepag.set(rt::Value(quepag));
    const int quecon = std::max(kQuecon.integer(1), 1);
    const int vias = kNroVias.integer(1);
    auto set_item = [](int n, std::string text) {
        common::Global("ITEM" + std::to_string(n)).set(rt::Value(std::move(text)));
    };
    set_item(1, "&1-" + list_entry("ALISTIMP", queimp));
    set_item(2, "&2-" + paper);
    set_item(3, "&3-" + pages);
    set_item(4, "&4-" + list_entry("NOMECON", quecon));
    set_item(5, "&5-Seleção Impressora"_cp);
    set_item(6, "&6-Configura NAO DOS");
    set_item(7, "&7-Vias " + rt::STR(vias, 1));
}

}  // namespace qv::shell
