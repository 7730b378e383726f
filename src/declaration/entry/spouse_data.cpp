#include "declaration/entry/spouse_data.hpp"

#include <mutex>
#include <span>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "declaration/entry/form_runner.hpp"
#include "declaration/entry/page_fields.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/core/picture.hpp"
#include "tables/folders.hpp"
#include "tables/locks.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;
using rt::Value;
using Args = std::span<const Value>;
namespace tb = rt::table;

constexpr const char* kAmounts[] = {"I13_1C", "I13_4C", "I13_2C", "I13_3C", "I13_5C"};

double num(const char* name) { return common::Global(name).number(); }
std::string flag(const char* name) { return rt::TRIM(common::Global(name).text()); }
void set(const char* name, const Value& v) { rt::variables().set(name, v); }

void recompute() {
    set("I9_2", Value(num("I13_1C") + num("I13_2C") + num("I13_3C") + num("I13_5C") - num("I13_4C")));
}

// MOSTRA_CONJUGE: the five amounts and the result on the spouse form.
void show_spouse(int mode) {
    if (mode == 1) {
        // The spouse's sub-page is painted on page 5, whose origin it uses.
        constexpr int kPage = 5;
        static const PageField result{9, 25, "I9_2", "@Ez 999,999,999.99"};
        show_fields(kPage, page_form(56).subspan(3));
        show_fields(kPage, std::span<const PageField>(&result, 1));
    }
    set("I13_43", Value(num("I9_2")));
}

void clear_values() {
    for (const char* f : kAmounts) set(f, Value(0.0));
    for (const char* f : {"I9_2", "I9_3", "I13_43"}) set(f, Value(0.0));
}

bool asked_yes(std::string_view text) { return common::AVISOSN(text, 1).as_number() == 1; }

// The spouse's own fetch mark is taken off under its record lock. Not
// while another terminal has the spouse's declaration open (said): its
// save would put the mark back, and both would fetch the other's values.
bool clear_spouse_mark(tb::Table& reg) {
    const std::string cpf = reg.get("CPF").as_string();
    tables::TaxpayerMarks marks;
    if (const std::string why = tables::refusal_text(marks.take(tables::client_folder(), cpf), cpf); !why.empty()) {
        common::AVISOSN(why, 0);
        return false;
    }
    if (!tables::REC_LOCK()) return true;
    reg.put("I9_4", Value("N"));
    for (const char* f : kAmounts) reg.put(f, Value(0.0));
    reg.put("I9_2", Value(0.0));
    reg.put("I9_3", Value(0.0));
    reg.commit();
    reg.unlock();
    return true;
}

// The folder of this declaration is noted on the spouse's record, so the
// spouse's declaration finds this one at once next time.
void note_folder(tb::Table& reg, const std::string& folder) {
    if (!tables::REC_LOCK()) return;
    reg.put("DIRCONJU", Value(folder));
    reg.commit();
    reg.unlock();
}

// Back to the declaration's own folder and register record.
void return_home(const std::string& home, std::uint32_t record) {
    if (rt::ALLTRIM(tables::client_folder()) != rt::ALLTRIM(home)) {
        tables::MUDADIR(home);
        tables::set_client_folder(home);
    }
    tables::ws().select(9);
    if (tb::Table* reg = tables::ws().table(9)) {
        reg->set_order(1);
        if (record) reg->go_to(record);
    }
}

bool fetch_found(tb::Table& reg) {
    if (!TRAZVALCONJ(reg)) set("I9_4", Value("N"));
    return true;
}

// Values typed by hand are for the declaration holding the couple's common
// assets only, and never with a joint declaration.
bool PRENC_MANU(const std::string& typed) {
    if (typed == "S") {
        if (flag("CONJUNTA") == "S") {
            if (!asked_yes("Na página de cadastro está marcado que a declaração é conjunta ;"
                           "portanto não é permitido adicionar valores como fosse ela seja ;"
                           "em separado. Deseja que o programa retire a marca? "_cp)) {
                set("I9_5", Value("N"));
                return true;
            }
            set("CONJUNTA", Value("N"));
        }
        common::AVISOSN("Atenção! Somente deve-se marcar valores aqui se essa    ;"
                        "declaração for a que contiver os bens em comuns do casal.;"
                        "Isso feito errado é motivo para glosar uma declaração!   "_cp);
        set("CONJPAD", Value("S"));
    } else if (typed == "N") {
        clear_values();
        show_spouse(1);
    }
    return true;
}

}  // namespace

bool TRAZVALCONJ(tb::Table& reg) {
    set("CONJPAD", reg.get("USAPADRAO"));
    set("I9_3", reg.get("SALDO"));
    if (rt::TRIM(reg.get("I9_4").as_string()) == "S") {
        if (!asked_yes("Na declaração do conjugue já está marcada para buscar;"
                       "essas informações. Somente na declaração daquele que ;"
                       "estiver declarado os bens em comum pode estar marcado;"
                       "Deseja que o programa retire a marca da outra declaração?"_cp) ||
            !clear_spouse_mark(reg)) {
            set("I9_5", Value("N"));
            clear_values();
            show_spouse(1);
            return false;
        }
    }
    const std::string model = rt::TRIM(reg.get("USAPADRAO").as_string());
    if (model.empty()) {
        common::AVISOSN("A declaração do conjuge não foi feita ou ainda ;"
                        "não foi definido o tipo do formulário.Verique!"_cp);
        for (const char* f : kAmounts) set(f, Value(0.0));
        set("I9_2", Value(0.0));
        return true;
    }
    const auto amount = [&reg](const char* f) { return reg.get(f).as_number(); };
    set("I13_4C", Value(model == "S" ? amount("I13_27") + amount("I13_28") : amount("I13_35") - amount("I13_24")));
    set("I13_1C", reg.get("I13_20"));
    set("I13_2C", reg.get("I13_44"));
    set("I13_3C", reg.get("I13_45"));
    set("I13_5C", reg.get("EXGSUSP"));
    recompute();
    return true;
}

bool INFO_CONJU(int mode) {
    const std::string cpf = rt::ALLTRIM(common::Global("CPFCONJU").text());
    if (cpf.empty() || (flag("I9_4") == "N" && flag("I9_5") == "N")) {
        clear_values();
        set("I9_4", Value("N"));
        show_spouse(mode);
        return false;
    }
    if (flag("I9_5") == "S") {
        if (flag("I9_4") != "S") return true;
        set("I9_5", Value("N"));
        clear_values();
        show_spouse(mode);
    }
    if (flag("CONJUNTA") == "S") {
        if (!asked_yes(" Na tela F6 está marcado que a declaração é conjunta ;"
                       "portanto não é permitido adicionar valores como fosse;"
                       "em separado. Deseja que o programa retire a marca?"_cp)) {
            set("I9_4", Value("N"));
            return true;
        }
        set("CONJUNTA", Value("N"));
    }
    const std::string home = tables::client_folder();
    const int back = tables::ws().selected();
    if (!tables::ws().table(9)) tables::ABERTURA(9);
    tb::Table* reg = tables::ws().table(9);
    if (!reg) return false;
    const std::uint32_t record = reg->recno();
    const std::string spouse_folder = rt::ALLTRIM(common::Global("DIRCONJU").text());
    if (!spouse_folder.empty() && spouse_folder != rt::ALLTRIM(home) && tables::MUDADIR(spouse_folder))
        tables::set_client_folder(spouse_folder);
    tables::ws().select(9);
    reg = tables::ws().table(9);
    reg->set_order(1);
    if (reg->seek(Value(rt::PADR(cpf, 11)))) {
        fetch_found(*reg);
    } else if (tables::BUSCA_OUTRO("M->CPFCONJU", 1, 0)) {
        const std::string found_in = tables::client_folder();
        reg = tables::ws().table(9);
        fetch_found(*reg);
        note_folder(*reg, home);
        return_home(home, record);
        set("DIRCONJU", Value(rt::PADR(found_in, 80)));
    } else {
        common::AVISOSN("ATENÇÃO!CPF do conjuge não localizado nenhuma Pasta."_cp);
        set("I9_4", Value("N"));
    }
    return_home(home, record);
    tables::ws().select(back);
    show_spouse(mode);
    return true;
}

void register_spouse_routines() {
    static std::once_flag once;
    std::call_once(once, [] {
        const auto mode_of = [](Args a, std::size_t i, int fallback) {
            return i < a.size() ? static_cast<int>(common::number_of(a[i], fallback)) : fallback;
        };
        rt::register_function("INFO_CONJU", [mode_of](Args a) { return Value(INFO_CONJU(mode_of(a, 0, 1))); });
        rt::register_function("MOSTRA_CONJUGE", [mode_of](Args a) {
            show_spouse(mode_of(a, 0, 1));
            return Value(true);
        });
        rt::register_function("SOMA_CONJ", [](Args) {
            recompute();
            set("I9_3", Value(num("I9_2")));
            show_spouse(1);
            return Value(true);
        });
        rt::register_function("PRENC_MANU", [](Args a) { return Value(PRENC_MANU(a.empty() ? flag("I9_5") : rt::TRIM(a[0].as_string()))); });
        rt::register_function("TRAZVALCONJ", [](Args) {
            tb::Table* reg = tables::ws().table(9);
            return Value(reg && !reg->eof() && TRAZVALCONJ(*reg));
        });
        rt::register_function("BUSCA_CONJU", [mode_of](Args a) {
            const std::string v = rt::TRIM(a.empty() ? flag("I9_4") : a[0].as_string());
            if (v == "S" || v == "N") {
                set("I9_4", Value(v));
                INFO_CONJU(mode_of(a, 1, a.empty() ? 2 : 1));
                return Value(true);
            }
            common::AVISOSN("Digite (S)im ou (N)ão caso deseje transportar automáticamente os;"
                            "valores da declaração do Conjuge. Lembre-se que só deve ser res-;"
                            "pondido com S na declaração do conjuge contiver bens em comum. "_cp);
            return Value(false);
        });
    });
}

}  // namespace qv::declaration
