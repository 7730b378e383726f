#include "declaration/entry/footers.hpp"

#include <map>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "runtime/core/cp850.hpp"

namespace qv::declaration {

using rt::operator""_cp;

namespace {

std::string grid_prefix() { return "Alt H=Help Alt I=Índice INS=Inclui DEL=Elimina TAB="_cp; }
std::string monthly_prefix() { return "Alt U=valor mensal ESC=Fim decl. TAB="_cp; }
std::string page_prefix() { return "Alt H=Help Alt I=Índice TAB="_cp; }

const std::map<int, const char*>& fixed_footers() {
    static const std::map<int, const char*> texts = {
        {1, "Esc=Fim Alt F4=Tela Aux. Crtl Enter= Envia p/ Tela Aux. Alt U Valores mensais"},
        {3, "Alt F5=Tela Aux. Ctrl Enter=Envia p/Tela Aux. ALT F6=Aux Rend.Alt Z ou X=Zoom "},
        {4, "[Tab]=Muda para Dependentes"},
        {6, "[Esc]=Termina declaração [Tab]=Pagamentos efetuados"},
        {8, "Selecione a impressora com [S] - Verique a sequência no manual de sua impressora"},
        {10, "Marque [S] nos nomes - Esc termina |Alt(+)Marca todos | ALT(-)Desmarca"},
        {11, "Alt H=Help Alt I=Índice TAB=Cálculo do Imposto"},
        {13, "[ESC] Volta p/ Declaração [INS] Inclui um Ganho [DEL] Elimina o Ganho"},
        {14, "Alt U=Valor mensal"},
        {15, "Digite só o valor do INSS. Os valores da pensão e dependentes vem da tela 4"},
        {16, "TAB - Muda para DAY TRADE | ENTER no mês calcula o custo | ESC - Sai"},
        {17, "Shift TAB - volta para cálculos"},
        {18, "Anote informações. INS=Inclui ALT L inclui n linhas. Ctrl Enter vai p/ erro."},
        {19, "Anote dados repetitivos - Crtl Enter - Transfere os dados"},
        {20, "Marque de 1 a 99 a situação dessa declaração - Tab ou ESC - muda"},
    };
    return texts;
}

}  // namespace

std::string footer_text(int number) {
    switch (number) {
        case 2: return page_prefix() + "Prox. página Ctrl Enter=Todos campos "_cp;
        case 5: return grid_prefix() + "Fim pag Alt Z ou X=Zoom";
        case 7:
            return common::Global{"USAPADRAO"}.text("S") == "S"
                       ? std::string("Ctrl S=Muda para completo")
                       : "Ctrl S=Muda p/simplificado [Ctrl Enter]=Preenche valores mensais [ESC]=Fim "_cp;
        case 9: return grid_prefix() + "Volta Alt L=N lin. ";
        case 12:
            if (common::Global{"CAL_AUTO"}.integer(1) == 2) return monthly_prefix() + "Proxima página"_cp;
            return "Alt A=Muda o modo [Enter]=Preenche mensal [Alt N]=Muda pgto. Leão"_cp;
        default: break;
    }
    const auto it = fixed_footers().find(number);
    return it == fixed_footers().end() ? std::string() : rt::utf8_to_cp850(it->second);
}

void MRODAPE(int number) {
    const std::string text = footer_text(number);
    if (number == 7) common::MENS();   // the complete model's line is cleared first
    if (text.empty()) common::MENS();
    else common::MENS(0, text);
}

void MRODA(std::string_view text) { common::MENS(0, grid_prefix() + std::string(text)); }
void MRODA1(std::string_view text) { common::MENS(0, monthly_prefix() + std::string(text)); }
void MRODA2(std::string_view text) { common::MENS(0, page_prefix() + std::string(text)); }

}  // namespace qv::declaration
