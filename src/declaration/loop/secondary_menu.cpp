#include "declaration/loop/secondary_menu.hpp"

#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/submenu.hpp"
#include "common/windows.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/loop/page_globals.hpp"
#include "declaration/loop/screen_loop.hpp"
#include "declaration/loop/usage.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/core/functions.hpp"

namespace qv::declaration {

using rt::operator""_cp;
namespace key = rt::key;

namespace {

constexpr int kPageWindow = 3;

struct ItemText {
    const char* caption;
    int id;
    int shortcut;
    const char* message;
};

struct BarText {
    const char* caption;
    std::vector<ItemText> items;
};

constexpr ItemText kLine{"─", 0, 0, ""};

const std::vector<BarText>& bars() {
    static const int alt_t = key::alt_letter('T');
    static const std::vector<BarText> all = {
        {"P.&Jur ",
         {{"Rendimento do Titular   ", 11, key::F1, "Rendimentos do titular recebidos de Pessoa Jurídica"},
          {"Rendimento do &Dependente", 12, 0, "Rendimentos dos dependentes recebidos de Pessoa Jurídica"},
          {"&Acumulado  do Titular    ", 13, 0, "(RRA) Rendimentos Tributáveis recebidos acumuladamente pelo titular"},
          {"A&cumulado  do Dependente ", 14, 0,
           "(RRA) Rendimentos Tributáveis recebidos acumuladamente pelo Dependente"},
          kLine,
          // Alt+F belongs to the bar "P.&Fis"; the end is reached from the item.
          {"&Fim da Declaração", 17, 0, "Encera os lançamentos salvando dados"}}},
        {"P.&Fis",
         {{"Rendimento do &Titular   ", 21, key::F2, "Rendimentos do titular recebidos de Pessoa Física"},
          {"Rendimento do &Dependente", 22, 0, "Rendimentos dos dependentes recebidos de Pessoa Física"}}},
        {"Is&entos",
         {{"Rendimentos &Isentos e não tributáveis", 31, key::F3, "Rendimentos Isentos e não tributáveis"},
          {"Rendimentos de &Tributação exclusiva", 32, 0, "Rendimentos Sujeitos a tributação exclusiva na fonte"}}},
        {"De&pendente",
         {{"&Dependentes", 41, key::F4, "Relação dos dependentes"},
          {"&Alimentandos", 42, 0, "Relação dos alimentandos que recebem pensão alimentícia"},
          {"&Pagamentos e Doações", 43, 0, "Pagamentos e Doações efetuadas"},
          {"&Herdeiros/Meeiro", 44, 0, "Relação dos herdeiros em uma declaração final"}}},
        {"Be&ns",
         {{"&Decl. Bens e dívidas   ", 51, key::F5, "Declaração dos Bens e das dívidas"},
          {"Só a Declar. de &Bens   ", 52, 0, "Somente a Declaração dos Bens"},
          {"Só a Declar. de Dí&vidas", 53, 0, "Somente a Declaração das dívidas e ônus"},
          {"&Zoom Declar. de Bens   ", 54, 0, "Somente a Declaração dos Bens"},
          {"Z&oom Declar. de Dívidas", 55, 0, "Somente a Declaração das dívidas e ônus"},
          kLine,
          {"&Informação do Cônjugue", 56, 0, "Informações do conjuge"},
          {"&Espólio", 57, 0, "Informações do espólio"},
          {"&Saída definitiva", 58, 0, "Informações para saída definitiva"}}},
        {"I&dentif.",
         {{"&Identificação", 61, key::F6, "Identificação"},
          {"&Notas e Obsv.", 62, key::F11, "Anotações e observações"}}},
        {"&Cálculo",
         {{"&Cálculo", 71, key::F7, "Cálculo do Imposto"}, {"&Balanco", 72, key::F10, "Balanço da declaração"}}},
        {"&Ganhos",
         {{"G.Cap.Bens &Imóveis   ", 81, key::F8, "Ganho de capital na venda de bens imóveis"},
          {"G.Cap.Bens &Móveis    ", 82, 0, "Ganho de capital na venda de bens móveis"},
          {"G.Cap.Part.&Societária", 83, 0, "Ganho de capital na venda de Participação Societária"},
          kLine,
          {"R. Variável &Op.Comum ", 84, key::F9, "Ganhos ou perdas na renda variável em Operação comum"},
          {"R. Variável &Day-Trade", 85, 0, "Ganhos ou perdas na renda variável em operação Day Trade"},
          {"&Fundo Investimento   ", 86, 0, "Ganhos ou perdas em fundo de investimento imobiliário"}}},
        {"&Rural",
         {{"&Identificação", 91, key::F12, "Identificação da Atividade e do imóvel"},
          {"&Receita e Despesas", 92, 0, "Lançamento das Receitas e Despesas "},
          {"&Apuração", 93, 0, "Apuração do Resultado Tributável"},
          {"&Mov. Rebanho", 94, 0, "Movimentação do Rebanho"},
          {"&Bens Rural", 95, 0, "Bens da Atividade Rural"},
          {"&Dívidas Rural", 96, 0, "Dívidas vinculadas a Atividade rural"}}},
        {"S&ai", {{"Sai", 100, alt_t, "Sai da declaração"}}},
    };
    return all;
}

void run_page(int page) {
    vars::TELA.set(rt::Value(page));
    vars::NT.set(rt::Value(page));
    GIRO();
    common::FECHAJAN(kPageWindow);
}

void refuse(const char* utf8) { common::AVISOSN(rt::utf8_to_cp850(utf8)); }
void refuse(const std::vector<const char*>& lines) {
    std::vector<std::string> text;
    for (const char* l : lines) text.push_back(rt::utf8_to_cp850(l));
    common::AVISOSN(text);
}

bool has_dependants() {
    if (vars::N_DEPEN.integer() > 0) return true;
    refuse("Sem dependentes para usar essa opção");
    return false;
}

void end_declaration(bool ask) {
    if (write_protected()) {
        show_protection();
        vars::INI.set(rt::Value("I"));
        return;
    }
    if (ask) SAIR();
    else vars::INI.set(rt::Value("S"));
}

void zoom(int id) {
    const bool rural_lists = id == 52 || id == 53;
    const int page = rural_lists ? 23 : 22;
    const bool assets = id == 52 || id == 54;
    common::Global{rural_lists ? "ZOOM_BEM2" : "ZOOM_BEM"}.set(rt::Value(assets));
    common::Global{rural_lists ? "ZOOM_DIV2" : "ZOOM_DIV"}.set(rt::Value(!assets));
    vars::TELA.set(rt::Value(page));
    vars::NT.set(rt::Value(page));
    GIRO();
}

void spouse() {
    vars::TELA.set(rt::Value(5));
    if (vars::yes(vars::DECFINAL)) {
        refuse({"Essa declaração está marcada como uma  ", "Declaração final de espólio e não pode",
                "ter mais os rendimentos do conjugue"});
        common::Global{"I9_4"}.set(rt::Value("N"));
        common::Global{"I9_5"}.set(rt::Value("N"));
        for (const char* name : {"I13_1C", "I13_2C", "I13_3C", "I13_4C", "I13_5C"})
            common::Global{name}.set(rt::Value(0));
        return;
    }
    run_page(5);
}

void rural(int id) {
    if (!vars::yes(vars::TEMRURAL)) {
        refuse("Esse contribuinte não esta selecionado que tenha necessidade da Atividade Rural. Se for o caso va "
               "na tela de identificação e marque essa condição");
        return;
    }
    run_page(id - 79);
}

}  // namespace

std::shared_ptr<rt::TopBarMenu> CREATESECMENU(std::string_view colours) {
    auto menu = std::make_shared<rt::TopBarMenu>(0, std::string(colours));
    if (colours.empty()) menu = std::make_shared<rt::TopBarMenu>(0);
    const common::MenuAction action = [](rt::MenuItem& chosen) { MENU2SELECT(chosen.id); };
    for (const BarText& bar : bars()) {
        std::vector<common::SubmenuItem> items;
        for (const ItemText& it : bar.items)
            items.push_back({rt::utf8_to_cp850(it.caption), it.shortcut, rt::utf8_to_cp850(it.message), it.id});
        common::CREATESUBMENU(*menu, rt::utf8_to_cp850(bar.caption), action, items);
    }
    return menu;
}

void MENU2SELECT(int id) {
    common::Global{"NPOSMENU"}.set(rt::Value(id >= 100 ? 10 : id / 10));
    vars::OPCIR_1.set(rt::Value(id));
    switch (id) {
        case 11: case 13: run_page(1); break;
        case 12: case 14: if (has_dependants()) run_page(1); break;
        case 17: end_declaration(true); break;
        case 100: end_declaration(false); break;
        case 21: run_page(2); break;
        case 22: if (has_dependants()) run_page(2); break;
        case 31: case 32: case 41: case 42: case 43: run_page(id / 10); break;
        case 44:
            if (!vars::yes(vars::DECFINAL)) refuse("Herdeiros só em declaração final de espólio");
            else run_page(4);
            break;
        case 51: run_page(5); break;
        case 52: case 53: case 54: case 55: zoom(id); break;
        case 56: spouse(); break;
        case 57:
            if (vars::yes(vars::DECSAIDA))
                refuse({"Essa declaração está marcada como uma  ", "Declaração de saída definitiva do país ",
                        " e não pode ser portanto ser uma de Espólio"});
            else run_page(5);
            break;
        case 58:
            if (vars::yes(vars::DECFINAL))
                refuse({"Essa declaração está marcada como uma  ", "Declaração final de espólio ",
                        " e não pode ser portanto ser uma de Saída"});
            else run_page(5);
            break;
        case 61: run_page(6); break;
        case 62:
            rt::call_routine("CONFERE", {rt::Value(3)});
            run_page(11);
            break;
        case 71: run_page(7); break;
        case 72: run_page(10); break;
        case 81: case 82: case 83:
            common::Global{"TIPO_BEM"}.set(rt::Value(id - 80));
            run_page(8);
            break;
        case 84: case 85: case 86:
            common::Global{"DAY_TRADE"}.set(rt::Value(std::to_string(id - 83)));
            common::Global{"TIPO_BEM"}.set(rt::Value(4));
            run_page(9);
            break;
        default:
            if (id >= 91 && id <= 96) rural(id);
            break;
    }
}

}  // namespace qv::declaration
