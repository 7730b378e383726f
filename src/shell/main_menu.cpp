#include "shell/main_menu.hpp"

#include <vector>

#include "common/globals.hpp"
#include "common/submenu.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"

namespace qv::shell {

using rt::operator""_cp;
using Items = std::vector<common::SubmenuItem>;

namespace {

std::shared_ptr<rt::TopBarMenu> g_menu;

common::SubmenuItem separator() { return {"─"_cp, 0, {}, 0}; }

common::SubmenuItem item(const char* caption, const char* message, int id, int shortcut = 0) {
    return {rt::operator""_cp(caption, std::char_traits<char>::length(caption)), shortcut,
            rt::operator""_cp(message, std::char_traits<char>::length(message)), id};
}

std::string global_text(const char* name, std::string_view fallback = {}) {
    return common::Global(name).text(fallback);
}

Items declaration_items() {
    return {
        item("&Declaração", "Inicia ou modifica uma declaração", 11),
        item("&Lancamentos", "Prepara todos os lançamentos em um so local.", 12),
        item("&Conferência", "Confere uma declaração antes de gerar o disquete", 13),
        item("&Agenda", "Agenda de compromissos.", 14),
        item("&Pastas", "Seleciona o Drive e a Pasta onde a declaração ficara", 15),
        item("&Exclusão", "Elimina um contribuinte do banco de dados", 16),
        item("&Importação", "Importa os dados de declarações do ano anterior ", 17),
        separator(),
        item("&Terminar", "Sai do programa reorganizando os dados da pasta atual", 18, rt::key::alt_letter('T')),
    };
}

Items option_items() {
    return {
        item("&Area de trabalho", "Seleciona drive e a pasta para guardar dados temporários", 21),
        item("&Trans.declaração", "Transfere a declaração de uma pasta para outra", 22),
        item("&Mudar as cores", "Seleciona as opções de ajustes nas cores e tonalidades do vídeo", 24),
        item("&Valores a Cobrar", "Cadastra os valores para o cálculo do custo da declaração", 25),
        item("&Gravar os dados", "Quando e como o programa deve salvar os dados", 26),
        item("Status &Declaração", "Cadastra ou altera o status ou o número dos recibos", 27),
        item("Cadastro &SELIC", "Cadastra ou altera o valor da SELIC", 28),
        item("&Reindexar Dados", "Refaz os índices e reinicia o banco de dados", 29),
        item("Mudar C&PF", "Modifica ou altera o CPF da declaração inteira", 30),
        item("&Copia Declaração", "Copia uma declaração ou parte dela para outra", 31),
        item("E&xporta Arquivo", "Exporta arquivos no formato TXT para uso em outros locais", 32),
        item("&Boletos", "Configura,prepara ou gera um boleto para a cobranca", 33),
        item("&E-mail", "Configura,prepara ou gera um email", 34),
    };
}

// The captions come from MONTA_ITENS and show the current choices.
Items selection_items() {
    if (!rt::variables().exists("ALISTIMP")) CREATE_PRINT_LISTS();
    MONTA_ITENS();
    auto caption = [](int n) { return global_text(("ITEM" + std::to_string(n)).c_str()); };
    const char* messages[] = {
        "Selecione O QUE será impresso.",
        "Selecione o tipo de papel a ser utilizado.",
        "Selecione a página ou páginas a ser(em) impressa(s).",
        "Escolha quantos contribuinte(s) serão impressos.",
        "Seleciona impressora e redirecionamento de impressão.",
        "Como usar a impressora NAO-DOS",
        "Informe o número de vias a ser(em) impressa(s).",
    };
    Items items;
    for (int n = 1; n <= 7; ++n) {
        common::SubmenuItem it = item("", messages[n - 1], 40 + n);
        it.caption = caption(n);
        items.push_back(std::move(it));
    }
    return items;
}

Items print_items() {
    return {
        item("&Impressão", "Inicia a Impressão conforme a seleção", 51),
        separator(),
        item("imp &Não Dos", "Imprime o arquivo gerado anteriormente na impressão NAO-DOS", 52),
        item("&Cartas", "Edita cartas ou texto para serem enviadas aos clientes", 53),
    };
}

Items transfer_items() {
    common::SubmenuItem status =
        item("apenas as com stat&us  ", "Tranfere p/receita ao terminar só aquelas com o Estatus selecionado", 62);
    status.caption += rt::STRZERO(common::Global("SOESTE").number(0), 2);
    return {
        item("&Somente um contribuinte", "Seleciona um CPF para transferir para a receita", 63),
        item("os &Cpfs selecionados ", "Envia para a receita os CPF selecionados", 64),
        item("&Todos os CPFs da pasta atual", "Transfere todos os CPF dessa pasta", 65),
        separator(),
        item("&Automático ao salvar ", "Transfere para a receita ao terminar a declaração", 61),
        status,
        separator(),
        item("&Muda ou não Status", "Permite o programa mudar o Status após a transferência.", 66),
        item("&Local do programa da Receita", "Seleciona a pasta onde foi instalado o Programa da receita", 67),
        item("&Recupera Declaração do IRPF ", "Recupera as declarações sumidas no programa da Receita", 68),
    };
}

Items backup_items() {
    const std::string drive = global_text("XDRIVE") + ":";
    common::SubmenuItem all_out =
        item("&Compacta todos no ", "Faz a cópia do bancos de dados de TODAS AS PASTAS", 73);
    all_out.caption += drive;
    common::SubmenuItem all_in =
        item("&Descompacta todos do ", "Recupera a cópia do bancos de dados de TODAS AS PASTAS", 74);
    all_in.caption += drive;
    return {
        item("&Fazer a cópia    ", "Faz a cópia de segurança dos arquivos em uma determinada pasta", 71),
        all_out,
        item("C&ompacta uma Pasta", "Copia compactando apenas uma PASTA selecionada", 75),
        separator(),
        item("&Recuperar a cópia", "Recupera a cópia de segurança dos arquivos de uma pasta", 72),
        all_in,
        item("D&escompacta uma Pasta", "Recupera dados descompactando apenas uma PASTA selecionada.", 76),
        separator(),
        item("I&nforma o Compactador", "Informa qual programa vai usar para compactar.", 77),
        item("&Informa o processador", "Informa o tipo do processador desse computador.", 78),
    };
}

Items exit_items() { return {item("Sai&r ", "Sai do programa ", 91, rt::key::alt_letter('R'))}; }

}  // namespace

std::shared_ptr<rt::TopBarMenu> CREATEMAINMENU(std::string_view colours) {
    auto menu = std::make_shared<rt::TopBarMenu>(0, std::string(colours));
    const common::MenuAction action = [](rt::MenuItem& chosen) { MENUSELECT(chosen); };
    common::CREATESUBMENU(*menu, " Dec&laração  "_cp, action, declaration_items());
    common::CREATESUBMENU(*menu, "O&pções"_cp, action, option_items());
    common::CREATESUBMENU(*menu, "Selecã&o"_cp, action, selection_items());
    common::CREATESUBMENU(*menu, "&Impressão"_cp, action, print_items());
    common::CREATESUBMENU(*menu, "&Env Receita"_cp, action, transfer_items());
    common::CREATESUBMENU(*menu, "&Backup"_cp, action, backup_items());
    common::CREATESUBMENU(*menu, "&Sair"_cp, action, exit_items());
    g_menu = menu;
    return menu;
}

rt::TopBarMenu* main_menu() { return g_menu.get(); }

void VOLTA() { rt::INKEY(-1); }

}  // namespace qv::shell
