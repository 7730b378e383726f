// Every entry field of every page and sub-page, taken from the pages' own
// field tables, keyed on a declaration opened into the work tables: a
// right answer is kept in its variable and painted at its place inside the
// page's frame, a wrong one is refused with its message, and the yes/no
// questions take both answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/frame_painter.hpp"
#include "declaration/entry/frames.hpp"
#include "declaration/entry/page_fields.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "system/declaration/open_declaration_fixture.hpp"

namespace qv::declaration::testing {
namespace {

constexpr char kEsc = 27;

// Keys typed (Esc as '\x1b'; Enter follows them), the field as painted
// afterwards (trimmed; nullptr when the answer leaves the page, as a model
// switch does), and a message the answer brings.
struct Answer {
    const char* typed;
    const char* shown;
    const char* message = nullptr;
};

// A refused answer and its message (nullptr: refused without one).
struct Wrong {
    const char* typed;
    const char* message;
};

struct FieldCase {
    std::vector<Answer> answers;
    std::vector<Wrong> wrong = {};
    // Values set before the field is entered, so that its condition holds.
    std::vector<std::pair<const char*, rt::Value>> before = {};
    // A text the screen shows afterwards on an absolute row (0: none).
    int row = 0;
    const char* row_text = nullptr;
};

const Answer kNo{"N", "N"};
const Answer kYes{"S", "S"};
const Wrong kNotYesNo{"X", "Digite S de sim ou N de nao"};
const Answer kAmount{"1000", "1.000,00"};

using Cases = std::map<std::string, FieldCase>;

// The identification page.
Cases identification() {
    return {
        {"TEMRURAL", {{kNo, kYes}, {kNotYesNo}}},
        {"ATV_BRASIL", {{kNo, kYes}, {{"X", "Responda S (Brasil) ou N (exterior)"}}}},
        {"NOMECONTR", {{{"MARIA DA SILVA", "MARIA DA SILVA"}}}},
        // The age stands on the frame's top line as soon as the date is typed.
        {"NASCIMENTO", {{{"15031950", "15/03/1950"}}, {}, {}, 2, " 61 anos  9 meses"}},
        {"TITULO", {{{"1234567890123", "12345678901-23"}}}},
        {"CPFCONJU", {{{"12345678909", "123.456.789-09"}}, {{"12345678900", "CPF está incorreto"}}}},
        {"CONJUNTA", {{kYes, kNo}, {kNotYesNo}}},
        {"RETIFICA", {{kNo, kYes}, {kNotYesNo}}},
        {"NRORECIBO",
         {{{"1234567890", "1234567890-91"}}, {{"123456789000", "Número do recibo inválido"}}}},
        {"RECIBOATU", {{{"1234567890", "1234567890-91"}}, {{"123456789000", "Número do recibo inválido"}}}},
        {"RECIBOANT", {{{"1234567890", "1234567890-91"}}, {{"123456789000", "Número do recibo inválido"}}}},
        {"DEBITAUT", {{kNo, kYes}, {kNotYesNo}, {{"QTD_QUOTA", rt::Value(2)}}}},
        {"BANCO", {{{"001", "001"}}}},
        {"AGENCIA", {{{"12345X", "12345-X"}}}},
        {"CONTACO", {{{"1234567890123AB", "1234567890123-AB"}}}},
        {"TIPOEND", {{{"RUA", "Rua"}}, {}, {{"TIPOEND", rt::Value(rt::PADR("RUA", 15))}}}},
        {"ENDERECO", {{{"DAS FLORES", "DAS FLORES"}}}},
        {"NOVOEND", {{kYes, kNo}, {kNotYesNo}}},
        {"NUMERO", {{{"123", "123"}}}},
        {"COMPLEM", {{{"APTO 1", "APTO 1"}}}},
        {"BAIRRO", {{{"CENTRO", "CENTRO"}}}},
        {"CEP", {{{"01001000", "01001-000"}}}},
        {"UF", {{{"SP", "SP"}}, {}, {{"MUNICIPIO", rt::Value(rt::PADR("Guarulhos", 30))}}}},
        {"MUNICIPIO", {{{"CAMPINAS", "Campinas"}}, {}, {{"MUNICIPIO", rt::Value(rt::SPACE(30))}}}},
        {"DDDTEL", {{{"0011", "0011"}}}},
        {"TELEFO", {{{"12345678", "1234-5678"}}}},
        {"NROFAX", {{{"87654321", "8765-4321"}}}},
        {"EMAIL", {{{"MARIA@EXEMPLO.COM", "MARIA@EXEMPLO.COM"}}}},
        {"CODAT", {{{"11", "11"}}}},
        {"DESCRAT", {{{"MILITAR", "Militar"}}, {}, {{"CODAT", rt::Value("  ")}}}},
        {"CDPRO", {{{"106", "106"}}}},
        {"OCUPACAO", {{{"DIPLOMATA E AFINS", "Diplomata e afins"}}, {}, {{"CDPRO", rt::Value("   ")}}}},
    };
}

// Page 3's two sub-pages.
Cases exempt_and_exclusive() {
    Cases c;
    for (const char* v : {"I3_01", "I3_02", "I3_03", "I3_08", "I3_10", "I3_13", "I3_12", "I4_04", "I4_05", "I4_09"})
        c[v] = {{kAmount}};
    // The exempt gains' line is the sum of its detail window, which opens
    // when the line is left: 500.00 of small assets there, the rest empty.
    // The page's total takes it as soon as the window closes.
    c["I3_04"] = {{{"\r500\r\r\r", "500,00", "Ganhos isentos"}}, {}, {}, 19, "Total...         3.500,00"};
    // Each page's total beside its "Total..." line: seven lines of 1,000.00
    // and the gains' 500.00, and three lines of 1,000.00.
    c["I3_12"].row = 19;
    c["I3_12"].row_text = "Total...         7.500,00";
    c["I4_09"].row = 16;
    c["I4_09"].row_text = "Total...         3.000,00";
    for (const char* v : {"I3_12D", "I4_05D", "I4_09D"}) c[v] = {{{"OUTRAS RENDAS", "OUTRAS RENDAS"}}};
    return c;
}

// The spouse, the estate and the departure.
Cases spouse_estate_departure() {
    Cases c = {
        {"CPFCONJU", {{{"12345678909", "123.456.789-09"}}, {{"12345678900", "CPF está incorreto"}}}},
        // "S" fetches the spouse's summary from the register.
        {"I9_4", {{kYes, kNo}, {{"X", "Digite (S)im ou (N)ão"}}}},
        {"I9_5", {{kNo, {"S", "S", "Somente deve-se marcar valores aqui"}}}},
        {"CPFINVENT", {{{"12345678909", "123.456.789-09"}}, {{"12345678900", "CPF está incorreto"}}}},
        {"NOMINVENT", {{{"JOAO INVENTARIANTE", "JOAO INVENTARIANTE"}}}},
        {"ENDINVENT", {{{"RUA DO INVENTARIO 1", "RUA DO INVENTARIO 1"}}}},
        {"DECFINAL", {{kNo, kYes}, {{"X", "se e uma declaração final"}}}},
        {"DECJUDI", {{kNo, kYes}, {{"X", "se foi judicial"}}, {{"DECFINAL", rt::Value("S")}}}},
        {"ANOOBITO", {{{"2011", "2011"}}}},
        {"NROPROCES", {{{"123/2011", "123/2011"}}}},
        {"VARACIVIL", {{{"2A", "2A"}}}},
        {"COMARCA", {{{"CAMPINAS", "CAMPINAS"}}}},
        {"UFPROCES", {{{"SP", "SP"}}, {{"XX", nullptr}}}},
        {"DATAPARTI", {{{"10062011", "10/06/2011"}}}},
        {"DATADECIS",
         {{{"20062011", "20/06/2011"}}, {{"01062011", "A data da decisão em julgado deve"}}}},
        {"NOMECARTO", {{{"PRIMEIRO OFICIO", "PRIMEIRO OFICIO"}}}},
        {"MUNICARTO", {{{"CAMPINAS", "CAMPINAS"}}}},
        {"LIVRCARTO", {{{"1234567", "1234567"}}}},
        {"FOLHCARTO", {{{"7654321", "7654321"}}}},
        {"CNPJCARTO", {{{"11222333000181", "11.222.333/0001-81"}}, {{"11222333000100", "CNPJ está incorreto"}}}},
        {"DATALAVRA", {{{"15072011", "15/07/2011"}}}},
        {"DECSAIDA", {{kNo, kYes}, {{"X", "se é uma declaração saida"}}}},
        {"DATASAIDA",
         {{{"15082011", "15/08/2011"}}, {{"15082010", "apenas a saída Definitiva"}}}},
    };
    // The five amounts, the last one with the result under them.
    for (const char* v : {"I13_1C", "I13_4C", "I13_2C", "I13_3C"}) c[v] = {{kAmount}};
    c["I13_5C"] = {{kAmount}, {}, {}, 10, "3.000,00"};
    return c;
}

// The departure's residence date is checked against the departure.
Cases departure_dates() {
    Cases c = spouse_estate_departure();
    c["DATADECIS"] = {{{"10082011", "10/08/2011"}}, {{"20082011", "anterior a de saída"}}};
    return c;
}

// The tax page under both models.
Cases tax_page() {
    const std::pair<const char*, rt::Value> simplified{"USAPADRAO", rt::Value("S")};
    const std::pair<const char*, rt::Value> complete{"USAPADRAO", rt::Value("N")};
    const std::pair<const char*, rt::Value> income{"I13_01", rt::Value(60000.0)};
    const std::pair<const char*, rt::Value> to_pay{"I13_36", rt::Value(1000.0)};
    return {
        // "S" switches to the complete model and leaves the page's form.
        {"NUSACOMP", {{kNo, {"S", nullptr}}, {{"X", "Informe com S (sim) ou N (não) !"}}, {simplified}}},
        {"I13_31", {{{"150", "150,00"}}, {}, {simplified}}},
        {"I13_33", {{{"150", "150,00"}}, {}, {simplified}}},
        {"QTD_QUOTA", {{{"3", "3"}}, {}, {simplified, income, to_pay}, 22, "21.Parcelado em        3 quota(s) de"}},
        {"NSIMPOSTO",
         {{{"1000", "1.000,00"}}, {{"-5000", "O valor máximo de restituição de imposto é R$"}}, {simplified}}},
        // "S" switches to the simplified model, whose page is run at once.
        {"USAPADRAO", {{kNo, {"S\x1b", nullptr}}, {{"X", "Informe com S (sim) ou N (não) !"}}, {complete}}},
        {"I13_32", {{{"100", "100,00"}}, {}, {complete, {"I13_49", rt::Value(10000.0)}}}},
        // "S" opens the simulator, left with Esc.
        {"CCALCINV", {{kNo, {"S\x1b", "S"}}, {{"X", "Digite S (sim) ou N (nao) se deseja simular"}}, {complete}}},
    };
}

Cases tax_page_complete() {
    Cases c = tax_page();
    c["I13_31"].before = {{"USAPADRAO", rt::Value("N")}};
    c["I13_33"].before = {{"USAPADRAO", rt::Value("N")}};
    c["QTD_QUOTA"] = {{{"2", "2"}}, {}, {{"USAPADRAO", rt::Value("N")}, {"I13_01", rt::Value(60000.0)}, {"I13_36", rt::Value(1000.0)}},
                      20, "Em 2 Quotas  de"};
    return c;
}

// The balance page, the notes page and the rural result and herd.
Cases balance_notes_rural() {
    Cases c = {
        {"SO_SIMPLES", {{kNo, kYes}, {}, {{"USAPADRAO", rt::Value("S")}}}},
        {"OUTREC", {{kAmount}}},
        {"SOMAG", {{kNo, kYes}, {}, {{"VALFUTUR", rt::Value(500.0)}}}},
        {"IMPOANTER", {{kAmount}}},
        {"DESPNAO", {{kAmount}}},
        {"PREJVEN1", {{kAmount}}},
        {"OUTRDES", {{kAmount}}},
        {"INDALERTA", {{{"15", "15"}}}},
        {"VALOREC", {{{"300", "300,00"}}}},
        {"CCONFERE",
         {{kNo,
           {"A", "A", "conferida automaticamente"},
           {"S", "S", "Conferido."},
           {"X", "X", "ou 'A'(Automático)"}}}},
        {"ESTATUS", {{{"2", "2"}}}},
        {"DDDFAX", {{{"11", "11"}}}},
        {"TELCELU", {{{"12345678", "1234-5678"}}}},
        {"TELESCR", {{{"23456789", "2345-6789"}}}},
        {"TELSECR", {{{"34567890", "3456-7890"}}}},
        {"ULTRESI", {{{"01022005", "01/02/2005"}}}},
        {"ULTIMOV", {{{"03042008", "03/04/2008"}}}},
        {"SENACESSO", {{{"SEGREDO", "SEGREDO"}}}},
        {"CODACESSO", {{{"123456789012", "123456789012"}}}},
        {"I4R_04", {{{"500", "500,00"}}, {}, {{"USAPADRAO", rt::Value("N")}}}},
        {"I5_09", {{{"100", "100,00"}}}},
        {"I5_10", {{{"50", "50,00"}}}},
    };
    // The herd: the stocks and movements of each species; taking out more
    // animals than there are is refused.
    for (const char* s : {"B", "S", "C", "A", "V1"})
        for (int column = 1; column <= 5; ++column) {
            const std::string name = "I7_" + std::to_string(column) + s;
            if (column < 4) c[name] = {{{"10", "10"}}};
            else c[name] = {{{"5", "5"}}, {{"999", "Estoque Final negativo"}}};
        }
    // The final stock at the end of its species' row: 10 + 10 + 10 - 5 - 5.
    c["I7_5V1"].row = 14;
    c["I7_5V1"].row_text = "5      20";
    return c;
}

struct Form {
    int number;      // its field table
    int page;        // the page whose origin places it
    int sub_page;    // OPCIR_1 while it runs
    Cases (*cases)();
    std::vector<std::pair<const char*, rt::Value>> before;
};

const std::vector<Form>& forms() {
    static const std::vector<Form> all = {
        {6, 6, 61, identification, {{"TEMRURAL", rt::Value("N")}}},
        {31, 3, 31, exempt_and_exclusive, {}},
        {32, 3, 32, exempt_and_exclusive, {}},
        {56, 5, 56, spouse_estate_departure, {}},
        {57, 5, 57, spouse_estate_departure, {}},
        {571, 5, 57, spouse_estate_departure, {{"DECFINAL", rt::Value("S")}, {"DECJUDI", rt::Value("S")}}},
        {572, 5, 57, spouse_estate_departure, {{"DECFINAL", rt::Value("S")}, {"DECJUDI", rt::Value("N")}}},
        {58, 5, 58, spouse_estate_departure, {}},
        {581, 5, 58, departure_dates, {{"DECSAIDA", rt::Value("S")}}},
        {70, 7, 71, tax_page, {{"DECSAIDA", rt::Value("N")}, {"DECFINAL", rt::Value("N")}, {"USAPADRAO", rt::Value("S")}}},
        {71, 7, 71, tax_page_complete, {{"DECSAIDA", rt::Value("N")}, {"DECFINAL", rt::Value("N")}, {"USAPADRAO", rt::Value("N")}}},
        {10, 10, 101, balance_notes_rural, {}},
        {11, 11, 111, balance_notes_rural, {}},
        {14, 14, 141, balance_notes_rural, {}},
        {15, 15, 151, balance_notes_rural, {}},
    };
    return all;
}

class PageWalk : public OpenDeclarationTest {
protected:
    void SetUp() override {
        OpenDeclarationTest::SetUp();
        add_row(9, kCpfA, {{"NOMECONTR", rt::Value("Contribuinte A")}, {"ATV_BRASIL", rt::Value("S")},
                           {"TEMRURAL", rt::Value("S")}, {"USAPADRAO", rt::Value("S")}});
        add_row(1, kCpfA, {});
        // The spouse's declaration, complete model, in the same folder.
        add_row(9, "12345678909", {{"NOMECONTR", rt::Value("Conjuge")}, {"USAPADRAO", rt::Value("N")},
                                   {"I13_20", rt::Value(40000.0)}, {"I13_35", rt::Value(3000.0)},
                                   {"I13_44", rt::Value(1000.0)}, {"I13_45", rt::Value(500.0)}});
        open();
    }

    void keys_of(const std::string& typed) {
        for (const char c : typed) term->feed(static_cast<unsigned char>(c));
    }
    void drop_keys() {
        while (term->pending() > 0) rt::INKEY(0);
    }
    // The field alone, as its form runs it.
    void run_field(const Form& form, const PageField& f) {
        set("OPCIR_1", rt::Value(form.sub_page));
        set("NT", rt::Value(form.page));
        MTELA(form.page);
        run_form(form.page, std::span<const PageField>(&f, 1));
        drop_keys();
    }
    std::string painted(int page, const PageField& f) const {
        const int row = page_row(page) + f.row;
        const int col = f.absolute ? f.col : page_col(page) + f.col;
        const std::size_t width = rt::TRANSFORM(get(f.var), f.picture).size();
        return rt::row_text(row).substr(static_cast<std::size_t>(col), width);
    }
    void expect_inside_frame(const Form& form, const PageField& f) const {
        const FrameText* frame = frame_text(frame_number(form.page));
        ASSERT_NE(frame, nullptr) << form.number;
        const int row = page_row(form.page) + f.row;
        const int col = f.absolute ? f.col : page_col(form.page) + f.col;
        const int last = col + static_cast<int>(rt::TRANSFORM(get(f.var), f.picture).size()) - 1;
        EXPECT_TRUE(frame->top < row && row < frame->bottom && frame->left < col && last < frame->right)
            << f.var << " at " << row << "," << col << "-" << last << " frame " << frame->number;
    }
};

TEST_F(PageWalk, EveryFieldTakesItsRightAnswersAndRefusesItsWrongOnes) {
    // Every form of the pages is walked, none left out.
    for (const int number : form_numbers())
        EXPECT_TRUE(std::any_of(forms().begin(), forms().end(), [number](const Form& f) { return f.number == number; }))
            << "form " << number << " is not walked";
    for (const Form& form : forms()) {
        const Cases cases = form.cases();
        for (const auto& [name, value] : form.before) set(name, value);
        for (const PageField& f : page_form(form.number)) {
            SCOPED_TRACE(std::string("form ") + std::to_string(form.number) + " field " + f.var);
            const auto it = cases.find(f.var);
            ASSERT_NE(it, cases.end()) << "no case for the field";
            const FieldCase& c = it->second;
            for (const Wrong& w : c.wrong) {
                for (const auto& [name, value] : c.before) set(name, value);
                const rt::Value before = get(f.var);
                term->snapshots.clear();
                keys_of(w.typed);
                keys_of(std::string("\r") + kEsc + kEsc + kEsc);
                run_field(form, f);
                if (w.message) {
                    EXPECT_TRUE(term->showed(w.message)) << w.typed;
                }
                EXPECT_EQ(rt::ALLTRIM(rt::TRANSFORM(get(f.var), f.picture)), rt::ALLTRIM(rt::TRANSFORM(before, f.picture)))
                    << "refused answer " << w.typed << " was kept";
            }
            for (const Answer& a : c.answers) {
                for (const auto& [name, value] : c.before) set(name, value);
                term->snapshots.clear();
                keys_of(a.typed);
                keys_of("\r");
                run_field(form, f);
                if (a.message) {
                    EXPECT_TRUE(term->showed(a.message)) << a.typed;
                }
                if (!a.shown) continue;
                EXPECT_EQ(rt::cp850_to_utf8(rt::ALLTRIM(rt::TRANSFORM(get(f.var), f.picture))), a.shown) << a.typed;
                EXPECT_EQ(rt::cp850_to_utf8(rt::ALLTRIM(painted(form.page, f))), a.shown) << a.typed;
                expect_inside_frame(form, f);
            }
            if (c.row_text) {
                EXPECT_NE(rt::cp850_to_utf8(rt::row_text(c.row)).find(c.row_text), std::string::npos)
                    << rt::cp850_to_utf8(rt::row_text(c.row));
            }
        }
    }
}

}  // namespace
}  // namespace qv::declaration::testing
