#include "declaration/entry/dialog_frames.hpp"

#include <algorithm>

namespace qv::declaration {

namespace {

// Each frame's labels sit left of the fields its caller places at the same
// offsets: label (r, c) lands at screen row top + r, column left + c. Row 0
// is the title on the top border; the row of the bottom border carries a
// hint. Frames whose callers choose among their lines with an option bar
// keep one item a row from column 1, as the bar re-colours them.
const std::vector<DialogFrame>& all_frames() {
    static const std::vector<DialogFrame> all = {
        // Plain windows for the callers' own text.
        {"MTELA2", 1, 5, {1, 9, 9, 15, 70, {}}},
        {"MTELA2", 3, 5, {3, 7, 4, 17, 75, {}}},
        {"MTELA2", 8, 8, {8, 5, 9, 19, 70, {}}},
        // The SELIC rate of a month: fields at column 19, the month's name at 25.
        {"MTELA2", 2, 2,
         {2, 8, 19, 13, 59,
          {{0, 2, " Taxa SELIC por mês "},
           {1, 1, " Mês :"},
           {2, 1, " Ano :"},
           {3, 1, " Taxa SELIC (%):"}}}},
        // The billing prices: amounts at column 23.
        {"MTELA2", 6, 6,
         {6, 8, 19, 13, 61,
          {{0, 2, " Valores da cobrança "},
           {1, 1, " Valor por minuto  :"},
           {2, 1, " Valor por KByte   :"},
           {3, 1, " Valor mínimo      :"},
           {4, 1, " Minutos sem teclar:"},
           {5, 2, "(o relógio para após esses minutos)"}}}},
        // The status management bar (rows 2-4): the items begin at the
        // bar's column 3, each with its hot letter (A, C, I) in capitals.
        {"MTELA2", 9, 5,
         {9, 5, 19, 10, 59,
          {{0, 2, " Status "},
           {2, 2, " Altera status e recibos"},
           {3, 2, " Cadastra descrição do status"},
           {4, 2, " status Inalterável"}}}},
        // The exemption box of a capital gain: informed and computed amounts.
        {"MTELA2", 10, 7,
         {10, 8, 4, 17, 75,
          {{0, 2, " Ganhos isentos "},
           {1, 42, "Informado"},
           {1, 58, "Calculado"},
           {2, 2, "Bens de pequeno valor"},
           {3, 2, "Único imóvel (sem venda em 5 anos)"},
           {4, 2, "Outros imóveis (redução)"},
           {5, 2, "Moeda estrangeira em espécie"},
           {7, 2, "Totais"}}}},
        {"MTELA2", 11, 7,
         {11, 8, 4, 13, 75,
          {{0, 2, " Ganhos isentos - moeda estrangeira "},
           {1, 42, "Informado"},
           {1, 58, "Calculado"},
           {2, 2, "Moeda estrangeira em espécie"},
           {3, 2, "Totais"}}}},
        // Backup: the two items of the bar (rows 1-2).
        {"MTELA3", 1, 5,
         {1, 8, 27, 11, 53,
          {{0, 2, " Backup "}, {1, 1, " Faz cópia de segurança"}, {2, 1, " Restaura cópia de segurança"}}}},
        // A bookkeeping entry: fields at column 20.
        {"MTELA3", 2, 5,
         {2, 6, 5, 16, 75,
          {{0, 2, " Lançamento "},
           {2, 2, "Conta"},
           {3, 2, "Descrição"},
           {4, 2, "Valor"},
           {5, 2, "CNPJ/CPF"},
           {6, 2, "Mês inicial"},
           {6, 30, "Mês final"},
           {7, 2, "CPF dependente"}}}},
        // The billing issuer: fields at column 22 (the bank's code shown).
        {"MTELA3", 4, 5,
         {4, 6, 10, 16, 70,
          {{0, 2, " Emitente do boleto "},
           {2, 2, "Banco"},
           {3, 2, "Agência"},
           {4, 2, "Conta corrente"},
           {5, 2, "Nome do emitente"},
           {6, 2, "CNPJ"},
           {7, 2, "CPF"},
           {8, 2, "Carteira"}}}},
        // A single slip: fields at column 22, the payer's name after the CPF.
        {"MTELA3", 5, 5,
         {5, 8, 10, 16, 79,
          {{0, 2, " Boleto avulso "},
           {2, 2, "CPF do sacado"},
           {3, 2, "Vencimento"},
           {4, 2, "Valor"},
           {5, 2, "Nro. do documento"},
           {6, 2, "Nosso número"}}}},
        // The e-mail account: fields at column 27.
        {"MTELA3", 6, 5,
         {6, 6, 5, 15, 75,
          {{0, 2, " Configuração do email "},
           {2, 2, "Servidor de saída (SMTP)"},
           {3, 2, "Nome do usuário"},
           {4, 2, "Email de quem envia"},
           {5, 2, "Memoriza a senha (S/N)"},
           {6, 2, "Senha"}}}},
        // An e-mail to a taxpayer: fields at column 27.
        {"MTELA3", 7, 5,
         {7, 6, 3, 16, 77,
          {{0, 2, " Envio de email "},
           {2, 2, "CPF"},
           {3, 2, "Email"},
           {4, 2, "Assunto"},
           {5, 2, "Arquivo anexo"},
           {6, 2, "Envia pendências (S/N)"},
           {7, 2, "Envia carta (S/N)"}}}},
        // The bookkeeping menu (rows 1-4).
        {"MTELA3", 10, 5,
         {10, 6, 27, 11, 55,
          {{0, 2, " Livro caixa "},
           {1, 1, " Lançamentos"},
           {2, 1, " Transfere para o IR"},
           {3, 1, " Visualiza lançamentos"},
           {4, 1, " Altera plano de contas"}}}},
        // The autosave mode: items at rows 2-4 with the marker at column 18;
        // row 7 holds the interval of the first mode.
        {"MTELA4", 2, 4,
         {2, 11, 41, 19, 68,
          {{0, 2, " Gravação automática "},
           {2, 1, " Automática"},
           {3, 1, " Manual (Alt W)"},
           {4, 1, " Só no final"}}}},
        // The lists of the grids: each box surrounds its grid.
        {"MTELA5", 6, 4,
         {6, 6, 9, 20, 74,
          {{0, 2, " Despesas mensais de manutenção dos bens "},
           {1, 2, "Gastos anuais comparados à renda declarada"},
           {14, 2, " Alt+B propõe 10% do valor do bem "}}}},
        {"MTELA5", 7, 4,
         {7, 4, 15, 17, 74, {{0, 2, " Pastas de dados "}, {13, 2, " Marque com S a pasta atual "}}}},
        {"MTELA5", 8, 4,
         {8, 4, 4, 19, 77, {{0, 2, " Livro caixa da pessoa física "}}}},
        // The capital-gain form, inside the page's frame (no window of its
        // own): the labels every kind shows, then those of shares and of
        // assets, and the address of real estate.
        {"MTELA5", 9, 0,
         {9, 3, 2, 21, 78,
          {{0, 0, "Ganho nº"},
           {1, 0, "CPF/CNPJ adquirente:"},
           {1, 40, "Nome:"},
           {10, 31, "Venda a prazo (S/N):"},
           {11, 0, "Venda em ano anterior:"},
           {11, 48, "Diferido:"},
           {12, 0, "Imposto pago:"},
           {13, 0, "─────────────────────────────────────────────────────────────────────────────"},
           {14, 0, "Custo:"},
           {14, 38, "Resultado:"},
           {15, 0, "Redução %:"},
           {15, 38, "Redução FR1/FR2:"},
           {16, 0, "Tributável:"},
           {16, 38, "Não tributável:"},
           {17, 0, "Imposto:"},
           {17, 38, "Imposto diferido:"},
           {18, 0, "A receber:"}}}},
        {"MTELA5", kGainShares, 0,
         {kGainShares, 3, 2, 21, 78,
          {{0, 16, "Tipo (1 Ações 2 Quotas 3 Fundo):"},
           {0, 53, "Alíquota:"},
           {2, 0, "Alienação:"},
           {2, 46, "% Tributável:"},
           {3, 0, "Nome da sociedade:"},
           {4, 0, "CNPJ:"},
           {4, 26, "UF:"},
           {4, 33, "Cidade:"},
           {8, 0, "Valor da alienacao:"},
           {9, 0, "Imposto retido na fonte:"}}}},
        {"MTELA5", kGainAssets, 0,
         {kGainAssets, 3, 2, 21, 78,
          {{0, 16, "Item do bem:"},
           {0, 36, "Natureza:"},
           {2, 0, "Descrição do bem:"},
           {4, 0, "Aquisição:"},
           {4, 23, "Alienação:"},
           {4, 46, "% Tributável:"},
           {8, 40, "Custo de aquisição:"},
           {10, 0, "Aquisição parcelada (S/N):"}}}},
        {"MTELA5", kGainRealEstate, 0,
         {kGainRealEstate, 3, 2, 21, 78,
          {{5, 0, "Tipo:"},
           {5, 19, "Logradouro:"},
           {5, 56, "Número:"},
           {6, 0, "Compl.:"},
           {6, 30, "Bairro:"},
           {6, 60, "CEP:"},
           {7, 0, "UF:"},
           {7, 8, "Município:"},
           {9, 0, "Valor reaplicado (Lei 11.196):"}}}},
        // The print menus' frame is built from the caption list (dialog_painters).
        // The DARF's code and quota lists beside the DARF form: the items
        // are the choices, from column 2.
        {"MTELA13", 7, 8,
         {7, 6, 50, 14, 69,
          {{0, 1, "Código do DARF"},
           {1, 2, "0211  I.Renda"},
           {2, 2, "0190  Carnê Leão"},
           {3, 2, "4600  G.Capital"},
           {4, 2, "6015  R.variável"},
           {5, 2, "5320  Multas"},
           {6, 2, "Darf Qualquer"},
           {7, 2, "Alterar datas"}}}},
        {"MTELA13", 8, 8, {8, 8, 50, 11, 59, {{0, 1, "Quotas"}, {1, 2, "Só uma"}, {2, 2, "Várias"}}}},
        {"MTELA13", 9, 5,
         {9, 4, 15, 17, 74, {{0, 2, " Pastas a pesquisar "}, {13, 2, " Marque com S as pastas "}}}},
        // The DARF form: values at columns 24 and 66, the rates at 51 and the
        // amounts at 63; the taxpayer's line (row 2) and the questions
        // (row 14) are the caller's.
        {"MTELA21", 1, 5,
         {1, 4, 1, 21, 78,
          {{0, 30, " D A R F "},
           {1, 2, "MINISTÉRIO DA FAZENDA"},
           {1, 30, "Documento de Arrecadação de Receitas Federais"},
           {4, 2, "Periodo de apuracao.:"},
           {4, 45, "Codigo da receita..:"},
           {5, 2, "Data de vencimento..:"},
           {5, 45, "Data do pagamento..:"},
           {6, 2, "1o dia util apos....:"},
           {8, 45, "Principal......."},
           {9, 45, "Multa"},
           {10, 45, "Juros"},
           {11, 45, "Total..........."}}}},
        // The eight quota due dates and the dollar value (rows 4-7, 9), over
        // the DARF form.
        {"MTELA21", 3, 6,
         {3, 4, 1, 21, 78,
          {{0, 2, " Vencimentos das quotas "},
           {4, 2, "Quota 1:"},
           {5, 2, "Quota 2:"},
           {6, 2, "Quota 3:"},
           {7, 2, "Quota 4:"},
           {4, 29, "Quota 5:"},
           {5, 29, "Quota 6:"},
           {6, 29, "Quota 7:"},
           {7, 29, "Quota 8:"},
           {9, 2, "Valor do dolar:"}}}},
        {"MTELA21", 5, 5,
         {5, 8, 28, 12, 52, {{0, 2, " Imprime "}, {1, 1, " Todos"}, {2, 1, " Pelo status"}}}},
        {"MTELA21", 6, 5,
         {6, 8, 28, 14, 52,
          {{0, 2, " Imprime "},
           {1, 1, " Todos"},
           {2, 1, " Só isentos"},
           {3, 1, " Só restituição"},
           {4, 1, " Só imposto a pagar"}}}},
        // The dependant of a carnê-leão slip, on the DARF form's question row.
        {"MTELA21", 7, 7, {7, 17, 1, 19, 78, {{1, 2, "CPF do dependente:"}}}},
        // The register data of a taxpayer, values from column 15.
        {"MTELAVER", 4, 4,
         {4, 3, 1, 17, 76,
          {{0, 2, " Dados do cadastro "},
           {1, 1, "CPF ........:"},
           {1, 33, "Senha:"},
           {1, 51, "Código:"},
           {2, 1, "Nome .......:"},
           {3, 1, "Nascimento .:"},
           {3, 40, "Rural:"},
           {4, 1, "Título .....:"},
           {5, 1, "CPF Cônjuge :"},
           {5, 33, "Conjunta:"},
           {5, 47, "Retifica:"},
           {6, 1, "Recibos ....:"},
           {7, 1, "Banco ......:"},
           {7, 21, "Agência:"},
           {7, 40, "Conta:"},
           {8, 1, "Endereço ...:"},
           {9, 1, "Bairro .....:"},
           {9, 50, "CEP:"},
           {10, 1, "Município ..:"},
           {10, 42, "UF:"},
           {10, 50, "País:"},
           {10, 61, "Emb.:"},
           {11, 1, "Telefone ...:"},
           {11, 33, "Fax:"},
           {12, 1, "E-mail .....:"}}}},
        // The property of an asset: the heirs' question; the address parts
        // and the registry follow the property's answers.
        {"MTELAVER", 5, 6,
         {5, 3, 2, 20, 75, {{0, 2, " Imóvel "}, {2, 3, "Informa o percentual de cada herdeiro? (S/N)"}}}},
        {"MTELAVER", kPropertyAddress, 6,
         {kPropertyAddress, 3, 2, 20, 75,
          {{4, 3, "Endereço:"},
           {4, 45, "Nro:"},
           {5, 3, "Complemento:"},
           {5, 36, "Bairro:"},
           {8, 3, "Imóvel registrado em Cartório? (S/N)"}}}},
        {"MTELAVER", kPropertyInBrazil, 6,
         {kPropertyInBrazil, 3, 2, 20, 75, {{6, 3, "CEP:"}, {6, 19, "UF:"}, {6, 27, "Município:"}}}},
        {"MTELAVER", kPropertyAbroad, 6, {kPropertyAbroad, 3, 2, 20, 75, {{6, 3, "Cidade:"}}}},
        {"MTELAVER", kPropertyRegistry, 6,
         {kPropertyRegistry, 3, 2, 20, 75,
          {{10, 3, "Área:"}, {10, 22, "Unidade em M2? (S/N)"}, {12, 3, "Cartório:"}, {13, 3, "Matrícula:"}, {14, 3, "Livro:"}}}},
        // The month calendar: the day cells follow the week-day heading.
        {"MOSTELA4", 0, 7,
         {0, 5, 20, 21, 69, {{3, 2, " Dom    Seg    Ter    Qua    Qui    Sex    Sab"}}}},
    };
    return all;
}

}  // namespace

const std::vector<DialogFrame>& dialog_frames() { return all_frames(); }

const DialogFrame* dialog_frame(std::string_view painter, int number) {
    const auto& all = all_frames();
    const auto it = std::find_if(all.begin(), all.end(), [&](const DialogFrame& d) {
        return d.painter == painter && d.number == number;
    });
    return it == all.end() ? nullptr : &*it;
}

}  // namespace qv::declaration
