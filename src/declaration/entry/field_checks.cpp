#include "declaration/entry/field_checks.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <mutex>
#include <span>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "declaration/entry/dependant_count.hpp"
#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/page_fields.hpp"
#include "declaration/entry/spouse_data.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/ui/read.hpp"
#include "tables/opening.hpp"
#include "tables/pick_lists.hpp"
#include "tables/state.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;
using rt::Value;
using Args = std::span<const Value>;
namespace tb = rt::table;

const char* const kYesNo = "Digite S de sim ou N de nao";

std::string var_text(std::string_view name) { return rt::variables().get(name).as_string(); }
void set_var(std::string_view name, const Value& v) { rt::variables().set(name, v); }
void set_text(std::string_view name, std::string_view v) { set_var(name, Value(std::string(v))); }

std::string bare(std::string_view name) {
    const std::string up = rt::UPPER(name);
    return up.rfind("M->", 0) == 0 ? up.substr(3) : up;
}

// The name of the variable a check is about: "M->NAME" given, else the
// field being read.
std::string name_arg(Args a, std::size_t i) {
    if (i < a.size() && a[i].is_string() && rt::UPPER(a[i].as_string()).rfind("M->", 0) == 0)
        return bare(a[i].as_string());
    const rt::Get* g = rt::current_get();
    return g ? bare(g->name()) : std::string();
}

// The value a check is about: a variable named "M->NAME", the value given,
// or the field being read.
Value value_arg(Args a, std::size_t i) {
    if (i < a.size() && !(a[i].is_string() && rt::UPPER(a[i].as_string()).rfind("M->", 0) == 0)) return a[i];
    const std::string name = name_arg(a, i);
    return name.empty() ? Value("") : rt::variables().get(name);
}

std::string text_arg(Args a, std::size_t i) {
    const Value v = value_arg(a, i);
    return v.is_string() ? v.as_string() : std::string();
}

int int_arg(Args a, std::size_t i, int fallback = 0) {
    return i < a.size() ? static_cast<int>(common::number_of(a[i], fallback)) : fallback;
}

// Shows a variable again where the identification page (or a form of
// `page`) has it.
void redisplay(int page, std::string_view var) {
    const std::string name = rt::UPPER(var);
    for (const int p : {page, 6}) {
        for (const PageField& f : page_form(p))
            if (rt::UPPER(f.var) == name) return show_fields(p, std::span<const PageField>(&f, 1));
        for (const PageField& f : page_display(p))
            if (rt::UPPER(f.var) == name) return show_fields(p, std::span<const PageField>(&f, 1));
    }
}

void warn(std::string_view text) { common::AVISOSN(text, 0); }

bool yes_no(std::string_view v) { return v == " " || v.empty() || v == "S" || v == "N"; }

bool VE_LETRSN(Args a) {
    if (yes_no(rt::TRIM(text_arg(a, 0)))) return true;
    warn(kYesNo);
    return false;
}

bool VE_CONJUN(Args a) {
    const std::string name = name_arg(a, 0);
    const std::string v = rt::TRIM(text_arg(a, 0));
    if (v.empty()) return true;
    if (common::Global("I9_2").number() > 0 && v == "S") {
        warn("Existe(m) rendimento(s) lançado(s) como a declaração fosse ;"
             "em separado, portanto não pode-se marcar aqui como  ;"
             "a declaração em conjunto. Se for o caso retire antes;"
             "valor preenchido na informação do conjugue.         "_cp);
        set_text(name, "N");
        redisplay(6, name);
        return true;
    }
    if (yes_no(v)) return true;
    warn(kYesNo);
    return false;
}

bool VE_RETIF(Args a) {
    if (!VE_LETRSN(a)) return false;
    if (rt::TRIM(text_arg(a, 0)) == "S" && !rt::ALLTRIM(var_text("RECIBOATU")).empty()) {
        set_var("NRORECIBO", rt::variables().get("RECIBOATU"));
        set_text("RECIBOATU", rt::SPACE(12));
        redisplay(6, "NRORECIBO");
        redisplay(6, "RECIBOATU");
    }
    return true;
}

bool all_digits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool VENROREC(Args a) {
    const std::string name = name_arg(a, 0);
    bool accepted = false;
    const std::string kept = checked_receipt(text_arg(a, 0), accepted);
    if (!accepted) {
        warn("Número do recibo inválido"_cp);
        return false;
    }
    if (!name.empty() && kept != text_arg(a, 0)) {
        set_text(name, kept);
        if (rt::Get* g = rt::current_get(); g && bare(g->name()) == name) {
            g->update_buffer();
            g->display();
        } else {
            redisplay(6, name);
        }
    }
    return true;
}

bool QUALBAN(Args a) {
    const std::string code = rt::TRIM(text_arg(a, 0));
    if (code.empty()) return true;
    const int back = tables::ws().selected();
    if (!tables::ABERTURA(55)) return true;
    tb::Table& banks = tables::ws().current();
    if (common::Global("I13_36").number() > 0 && rt::TRIM(common::Global("DEBITAUT").text()) == "S")
        banks.set_filter([&banks] { return banks.get("OK").as_string() == "s"; }, "OK == \"s\"");
    banks.set_order(1);
    const bool found = banks.seek(Value(rt::PADL(code, 3, '0'))) || banks.seek(Value(code));
    tables::ws().close(55);
    tables::ws().select(back);
    if (!found) {
        warn("A maioria dos bancos estão autorizados a receber os depósitos da;"
             "da restituição, porém para o débito automático são poucos.      ;"
             " A lista mostrada é a mesma relação do programa Receita Federal;"
             "Se o código do banco não estiver nessa relação não será aceito  ;"
             " quando enviado para o programa da receita.          "_cp);
        tables::GERAL();
    }
    return true;
}

// Opens a code table, seeks the value in the order of the field and takes
// both columns from an exact match; otherwise opens the pick list.
bool code_lookup(int code, const char* code_field, const char* text_field, std::string_view value_field) {
    const bool by_text = rt::UPPER(value_field) == text_field;
    const std::string value = rt::UPPER(rt::ALLTRIM(var_text(value_field)));
    const int back = tables::ws().selected();
    bool found = false;
    if (tables::ABERTURA(code)) {
        tb::Table& t = tables::ws().current();
        t.set_order(by_text && t.order_count() >= 2 ? 2 : 1);
        if (t.seek(Value(value), /*soft=*/true) && !t.eof()) {
            const std::string field = by_text ? text_field : code_field;
            found = rt::UPPER(rt::ALLTRIM(t.get(field).as_string())) == value;
            if (found) {
                set_var(code_field, t.get(code_field));
                set_var(text_field, t.get(text_field));
            }
        }
        tables::ws().close(code);
    }
    tables::ws().select(back);
    if (!found) tables::GERAL();
    return found;
}

bool NAT_OCU(Args) {
    const rt::Get* g = rt::current_get();
    const std::string field = g ? bare(g->name()) : "CODAT";
    if (field == "CODAT" && rt::ALLTRIM(var_text("CODAT")).empty()) return true;
    if (!code_lookup(59, "CODAT", "DESCRAT", field) && rt::ALLTRIM(var_text("CODAT")).empty())
        set_text("DESCRAT", rt::SPACE(58));
    redisplay(6, "CODAT");
    redisplay(6, "DESCRAT");
    if (rt::TRIM(var_text("CODAT")) == "81") {
        warn("O código "_cp + var_text("CODAT") + " não tem a ocupação principal"_cp);
        set_text("CDPRO", rt::SPACE(3));
        set_text("OCUPACAO", rt::SPACE(69));
        redisplay(6, "CDPRO");
        redisplay(6, "OCUPACAO");
    }
    return true;
}

bool VERPROF(Args a) {
    const std::string field = name_arg(a, 0).empty() ? "CDPRO" : name_arg(a, 0);
    if (rt::ALLTRIM(var_text("CDPRO")).empty() && field == "CDPRO") return rt::TRIM(var_text("CODAT")) != "81";
    if (!code_lookup(58, "CDPRO", "OCUPACAO", field) && rt::ALLTRIM(var_text("CDPRO")).empty())
        set_text("OCUPACAO", rt::SPACE(69));
    redisplay(6, "CDPRO");
    redisplay(6, "OCUPACAO");
    return true;
}

bool VE_OCUP(Args a) {
    if (rt::TRIM(common::Global("DECFINAL").text()) == "S") return false;
    if (rt::TRIM(text_arg(a, 0)) == "81") {
        set_text("CDPRO", rt::SPACE(3));
        set_text("OCUPACAO", rt::SPACE(69));
        redisplay(6, "CDPRO");
        redisplay(6, "OCUPACAO");
        return false;
    }
    return true;
}

bool VE_OCUP1(Args a) {
    if (int_arg(a, 1) == 1 && rt::TRIM(var_text("CODAT")) == "81") return false;
    return rt::ALLTRIM(text_arg(a, 0)).empty();
}

bool VE_ESPO(Args a) {
    const bool final_estate = rt::TRIM(common::Global("DECFINAL").text()) == "S";
    const bool departure = rt::TRIM(common::Global("DECSAIDA").text()) == "S";
    return int_arg(a, 0) == 2 ? !(final_estate || departure) : !final_estate;
}

// Street type: found in the list it takes the list's spelling, else the
// list opens for it.
bool VELOGRA(Args a) {
    const std::string name = name_arg(a, 0).empty() ? "TIPOEND" : name_arg(a, 0);
    const std::string typed = rt::UPPER(rt::ALLTRIM(var_text(name)));
    const int back = tables::ws().selected();
    bool found = false;
    if (tables::ABERTURA(65)) {
        tb::Table& t = tables::ws().current();
        if (!typed.empty() && t.seek(Value(typed), /*soft=*/true) && !t.eof()) {
            found = true;
            set_var(name, Value(rt::PADR(rt::TRIM(t.get("NOMELOGRA").as_string()), var_text(name).size())));
        }
        if (!found) {
            common::Global("QUALHLP").set(Value("M->" + name));
            tables::GERAL2();
        }
        tables::ws().close(65);
    }
    tables::ws().select(back);
    if (rt::Get* g = rt::current_get(); g && bare(g->name()) == name) {
        g->update_buffer();
        g->display();
    }
    return true;
}

// The municipality of a state: a typed name is looked up among the
// state's municipalities and completed, else the list of that state opens.
void find_municipality(const std::string& uf, const std::string& var, int mode) {
    const int back = tables::ws().selected();
    if (!tables::ABERTURA(64)) return;
    tb::Table& t = tables::ws().current();
    t.set_filter([&t, uf] { return t.get("UNIFED").as_string() == uf; }, "UNIFED == \"" + uf + "\"");
    const std::string typed = rt::UPPER(rt::TRIM(var_text(var)));
    bool found = false;
    t.go_top();
    if (!typed.empty())
        found = t.locate([&t, &typed] { return rt::UPPER(rt::TRIM(t.get("NOMEMUNI").as_string())).rfind(typed, 0) == 0; });
    if (found) {
        const Value name = t.get("NOMEMUNI"), code = t.get("NROMUNI");
        if (mode == 1) {
            set_var("MUNICIPIO", name);
            set_var("CODMUNI", code);
        } else if (mode == 2 || mode == 3) {
            set_var("MUNICIMO", name);
            if (mode == 2) set_var("CODMIMO", code);
        } else {
            set_var("CID_SOCIE", name);
        }
    } else {
        t.go_top();
        common::Global("QUALHLP").set(Value("M->" + var));
        tables::GERAL2();
    }
    tables::ws().close(64);
    tables::ws().select(back);
}

// A code kept in a variable is sought in its table; an unknown one opens
// the table's pick list.
void lookup_or_pick(int code, const char* key_field, const char* var, const char* list) {
    const std::string value = rt::ALLTRIM(var_text(var));
    const int back = tables::ws().selected();
    if (tables::ABERTURA(code)) {
        tb::Table& t = tables::ws().current();
        const bool found = !value.empty() && t.seek(Value(value)) &&
                           rt::ALLTRIM(t.get(key_field).as_string()) == value;
        tables::ws().close(code);
        tables::ws().select(back);
        if (!found) {
            common::Global("QUALHLP").set(Value(list));
            tables::GERAL2();
        }
    }
    tables::ws().select(back);
}

bool VEESTADO(Args a) {
    const std::string uf = rt::UPPER(rt::TRIM(a.empty() ? var_text("UF") : a[0].as_string()));
    const std::string var = a.size() > 1 ? bare(a[1].as_string()) : "MUNICIPIO";
    const int mode = int_arg(a, 2, 1);
    if (uf == "EX") {
        lookup_or_pick(60, "CODPAIS", "CODPAIS", "CODPAIS");
        lookup_or_pick(61, "CD_EX", "CODEMB", "M->CODEMB");
        if (mode == 1) {
            set_text("MUNICIPIO", rt::PADR("Brasilia", 29));
            set_text("CODMUNI", "9701");
        }
    } else if (!is_state(uf)) {
        const int back = tables::ws().selected();
        if (tables::ABERTURA(64)) {
            tb::Table& t = tables::ws().current();
            t.set_filter([&t] { return rt::TRIM(t.get("UNIFED").as_string()).empty(); }, "EMPTY(UNIFED)");
            t.go_top();
            common::Global("QUALHLP").set(Value("M->MUNICIPIO"));
            tables::GERAL2();
            tables::ws().close(64);
        }
        tables::ws().select(back);
    } else {
        if (mode == 1) {
            set_text("CODPAIS", rt::SPACE(3));
            set_text("CODEMB", rt::SPACE(3));
        }
        find_municipality(uf, var, mode);
    }
    // The identification page shows the town with its code, country and
    // embassy; the property and company forms only the field being read.
    if (mode == 1)
        for (const char* v : {"UF", "MUNICIPIO", "CODMUNI", "CODPAIS", "CODEMB"}) redisplay(6, v);
    if (rt::Get* g = rt::current_get()) {
        g->update_buffer();
        g->display();
    }
    return true;
}

bool VAL_DATDEC() {
    const rt::Date decided = rt::variables().get("DATADECIS").as_date();
    if (decided.empty() || decided >= rt::variables().get("DATAPARTI").as_date()) return true;
    warn("A data da decisão em julgado deve;ser superior a data da partilha."_cp);
    return false;
}

bool VESESAIDA(Args a) {
    const std::string v = rt::TRIM(text_arg(a, 0));
    if (v == "S") {
        set_text("DECFINAL", "N");
        set_text("USAPADRAO", "N");
        set_var("QTD_QUOTA", Value(1));
        return true;
    }
    if (v == "N") {
        set_var("DATASAIDA", Value(rt::Date()));
        set_var("DATAPARTI", Value(rt::Date()));
        return true;
    }
    warn("Informe com Sim ou Não se é uma declaração saida."_cp);
    return false;
}

bool ANO_CERTO(Args a) {
    const rt::Date d = value_arg(a, 0).as_date();
    if (d.empty()) return true;
    if (d.year() != 2011) {
        warn("O programa destina-se apenas a saída Definitiva ocorrida em 2011"_cp);
        return false;
    }
    if (int_arg(a, 1) == 2 && d > rt::variables().get("DATASAIDA").as_date() &&
        !rt::variables().get("DATASAIDA").as_date().empty()) {
        warn("A data de residente deve ser anterior a de saída"_cp);
        return false;
    }
    return true;
}

bool VESEFINAL(Args a) {
    const std::string v = rt::TRIM(text_arg(a, 0));
    const int field = int_arg(a, 1, 1);
    if (v != "S" && v != "N") {
        warn(field == 1 ? "Informe com 'S'(Sim) ou 'N'(Não) se e uma declaração final."_cp
                        : "Informe com 'S'(Sim) ou 'N'(Nao) se foi judicial."_cp);
        return false;
    }
    return true;
}

bool CPF_CONJU(Args a) {
    const int mode = int_arg(a, 1, 2);
    if (mode == 1) return true;
    const std::string cpf = text_arg(a, 0);
    if (!rt::ALLTRIM(cpf).empty() && !common::VAL_CPF(cpf)) return false;
    set_text("CPFCONJU", cpf);
    if (mode == 3 && rt::ALLTRIM(cpf).empty()) {
        set_text("I9_4", "N");
        const Value show(1);
        rt::call_function("INFO_CONJU", std::span<const Value>(&show, 1));
    }
    return true;
}

bool register_checks() {
    const auto reg = [](const char* name, auto fn) {
        rt::register_function(name, [fn](Args a) { return Value(fn(a)); });
    };
    reg("VE_LETRSN", VE_LETRSN);
    reg("VE_CONJUN", VE_CONJUN);
    reg("VE_RETIF", VE_RETIF);
    reg("VENROREC", VENROREC);
    reg("QUALBAN", QUALBAN);
    reg("NAT_OCU", NAT_OCU);
    reg("VERPROF", VERPROF);
    reg("VE_OCUP", VE_OCUP);
    reg("VE_OCUP1", VE_OCUP1);
    reg("VE_ESPO", VE_ESPO);
    reg("VELOGRA", VELOGRA);
    reg("VEESTADO", VEESTADO);
    reg("VESESAIDA", VESESAIDA);
    reg("ANO_CERTO", ANO_CERTO);
    reg("VESEFINAL", VESEFINAL);
    reg("CPF_CONJU", CPF_CONJU);
    reg("NRODP", [](Args) { return NRODP(); });
    reg("VAL_DATDEC", [](Args) { return VAL_DATDEC(); });
    reg("VESIGLA", [](Args a) { return is_state(rt::UPPER(rt::TRIM(text_arg(a, 0)))); });
    reg("VE_DEBIT", [](Args) {
        const bool open = debit_open(common::Global("QTD_QUOTA").integer(), rt::DATE());
        if (!open) set_text("DEBITAUT", " ");
        return open;
    });
    reg("INFO_VAZIA", [](Args a) {
        const std::string v = rt::TRIM(text_arg(a, 0));
        if (int_arg(a, 1, 1) != 2) return !v.empty();
        if (v.empty()) return false;
        if (v == "N") {
            set_text("DECJUDI", " ");
            return false;
        }
        return true;
    });
    reg("INF_VAZ", [](Args a) {
        return !rt::ALLTRIM(text_arg(a, 0)).empty() && rt::TRIM(common::Global("I9_4").text()) != "S";
    });
    reg("PMANU", [](Args) { return rt::TRIM(common::Global("I9_5").text()) == "S"; });
    return true;
}

}  // namespace

std::string receipt_with_digits(std::string_view number) {
    if (number.size() != 10 || !all_digits(number)) return {};
    const std::string d1 = common::MODULO_11(number);
    const std::string d2 = common::MODULO_11(std::string(number) + d1);
    return std::string(number) + d1 + d2;
}

std::string checked_receipt(std::string_view receipt, bool& accepted) {
    accepted = true;
    if (rt::ALLTRIM(receipt).empty()) return std::string(receipt);
    const std::string number = rt::LEFT(receipt, 10);
    const std::string digits = rt::TRIM(rt::SUBSTR(receipt, 11, 2));
    const std::string full = receipt_with_digits(number);
    accepted = !full.empty() && (digits.empty() || full.substr(10) == digits);
    return accepted ? full : std::string(receipt);
}

bool is_state(std::string_view uf) {
    static const std::array<std::string_view, 28> states = {"AC", "AL", "AP", "AM", "BA", "CE", "DF", "ES", "GO", "MA",
                                                             "MT", "MS", "MG", "PA", "PB", "PR", "PE", "PI", "RN", "RS",
                                                             "RJ", "RO", "RR", "SC", "SP", "SE", "TO", "EX"};
    return std::find(states.begin(), states.end(), uf) != states.end();
}

bool debit_open(int quotas, rt::Date today) {
    if (quotas == 0) return false;
    if (today < rt::Date::from_ymd(2012, 4, 1)) return true;
    return quotas > 1 && today < rt::Date::from_ymd(2012, 5, 1);
}

void register_field_check_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        tables::register_pick_list_routines();
        register_spouse_routines();
        register_checks();
    });
}

}  // namespace qv::declaration
