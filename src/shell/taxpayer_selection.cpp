#include "shell/taxpayer_selection.hpp"

#include <span>
#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/documents.hpp"
#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/table_error.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/ui/read.hpp"
#include "runtime/core/functions.hpp"
#include "tables/folders.hpp"
#include "tables/open_failure.hpp"
#include "tables/opening.hpp"
#include "tables/state.hpp"

namespace qv::shell {

using rt::operator""_cp;

namespace {

constexpr int kRegisterArea = 9;
constexpr int kTaxpayerBox = 3;
constexpr std::size_t kBoxSlot = 3;   // NT at the prompt
const common::Global kOpcao1("OPCAO_1");
const common::Global kResp("RESP");
const common::Global kPvez("PVEZ");
const common::Global kLrecupera("LRECUPERA");
const common::Global kNomecontr("NOMECONTR");

rt::table::Table* register_table() {
    auto& ws = tables::ws();
    if (!ws.table(kRegisterArea)) tables::ABERTURA(kRegisterArea);
    ws.select(kRegisterArea);
    return ws.table(kRegisterArea);
}

// PgDn / PgUp: the next or previous register record in its current order,
// staying on the last or first one at the ends.
void step_register(rt::table::Table& reg, int direction) {
    if (reg.eof()) {
        reg.go_bottom();
        if (direction > 0) return;
    }
    reg.skip(direction);
    if (reg.eof()) reg.go_bottom();
    if (reg.bof()) reg.go_top();
}

// One element of a window-origin array (ALJ, ACJ); an array too short, or
// none, is made long enough.
rt::Value swap_origin(const char* name, std::size_t slot, const rt::Value& value) {
    const common::Global var(name);
    rt::Value array = var.value().is_array() ? var.value() : rt::Value::array();
    rt::Array& cells = *array.as_array();
    if (cells.size() < slot) cells.resize(slot, rt::Value(0));
    const rt::Value old = cells[slot - 1];
    cells[slot - 1] = value;
    var.set(array);
    return old;
}

// While the CPF is asked, the entry window is the taxpayer box (NT = 3):
// the name search places its field from that window's origin, on the
// taxpayer line's name. The declaration pages keep their own origins.
class PromptOrigin {
public:
    PromptOrigin() {
        const common::TextWindow* box = common::find_window(kTaxpayerBox);
        if (box == nullptr) return;
        row_ = swap_origin("ALJ", kBoxSlot, rt::Value(box->top));
        col_ = swap_origin("ACJ", kBoxSlot, rt::Value(box->left));
        set_ = true;
    }
    ~PromptOrigin() {
        if (!set_) return;
        swap_origin("ALJ", kBoxSlot, row_);
        swap_origin("ACJ", kBoxSlot, col_);
    }
    PromptOrigin(const PromptOrigin&) = delete;
    PromptOrigin& operator=(const PromptOrigin&) = delete;

private:
    bool set_ = false;
    rt::Value row_, col_;
};

bool load_declaration(int mode, int existing) {
    return rt::call_as_bool("INIC_VAR", {rt::Value(mode), rt::Value(existing)});
}

void print_taxpayer() { rt::call_routine("FAZIMP"); }

void not_found_anywhere() {
    common::AVISOSN(std::vector<std::string>{"O contribuinte não foi localizado em nenhum dos diretórios "_cp,
                                             "indicado. Confira o CPF e/ou a lista dos diretórios      "_cp});
}

// The taxpayer was found in another folder, which is now the current one.
void show_moved_taxpayer() {
    common::ESCRLCOL(kTaxpayerBox, 4, 17, rt::SPACE(55));
    show_taxpayer_line(2);
}

bool found_here(int id, int mode) {
    show_taxpayer_line(1);
    kPvez.set(rt::Value(false));
    if (id == 11 || id == 13) {
        if (!load_declaration(mode, 1)) return false;
    } else if (id == 51) {
        print_taxpayer();
    }
    kResp.set(rt::Value("N"));
    return true;
}

bool search_elsewhere(int id, int mode, std::string_view variable) {
    const bool found = tables::BUSCA_OUTRO(variable, 1, 1);
    if (found) {
        show_moved_taxpayer();
        if (id == 51) print_taxpayer();
        else if (!load_declaration(mode, 1)) return false;
        return true;
    }
    // The CPF typed belongs to nobody registered: the name of the taxpayer
    // shown before it goes from the line before anything is asked.
    kNomecontr.set(rt::Value(rt::SPACE(53)));
    show_taxpayer_line(2);
    if (id != 11) {
        not_found_anywhere();
        return false;
    }
    const rt::Value answer = common::AVISOSN(
        std::vector<std::string>{" Esse Contribuinte não está cadastrado  "_cp, "em nenhuma das Pastas indicadas. Inclui?"_cp}, 2);
    kResp.set(answer);
    if (answer.as_string() != "S") {
        kPvez.set(rt::Value(false));
        return false;
    }
    kPvez.set(rt::Value(true));
    return load_declaration(mode, 0);
}

}  // namespace

void show_taxpayer_line(int mode) {
    rt::call_routine("MOSTR_PAG", {rt::Value(mode)});
}

namespace {

// The CPF entry, PgDn / PgUp walking the register; false on Esc.
bool read_cpf(const std::string& var, std::string_view picture, int row, int col, rt::table::Table* reg) {
    const PromptOrigin origin;
    for (;;) {
        rt::Get& field = rt::at_get(row, col, "M->" + var, std::string(picture));
        field.valid([var] { return common::VAL_CPF(rt::variables().get(var).as_string(), true, 1); });
        const bool read = rt::READ();
        if (!read || rt::LASTKEY() == rt::key::ESC) return false;
        const int key = rt::LASTKEY();
        if ((key == rt::key::PGDN || key == rt::key::PGUP) && reg) {
            step_register(*reg, key == rt::key::PGDN ? 1 : -1);
            show_taxpayer_line(1);
            continue;
        }
        return true;
    }
}

}  // namespace

bool GET_CODIGO(std::string_view variable, std::string_view picture, int row_offset, int col_offset,
                int load_mode, int /*unused*/) {
    common::Global("NT").set(rt::Value(3));
    const std::string var = rt::VarStore::normalize(variable);
    if (!rt::variables().exists(var)) rt::variables().set(var, rt::Value(rt::SPACE(11)));
    rt::table::Table* reg = register_table();
    // A name left behind without its CPF (by an option that borrowed the
    // CPF) belongs to nobody: the line shows both or neither.
    if (rt::TRIM(rt::variables().get(var).as_string()).empty()) kNomecontr.set(rt::Value(rt::SPACE(53)));
    show_taxpayer_line(2);
    bool found = false;
    try {
        if (!read_cpf(var, picture, 17 + row_offset, 4 + col_offset, reg)) return false;
        reg = register_table();
        if (reg) {
            reg->set_order(1);
            reg->clear_filter();
            found = reg->seek(rt::variables().get(var));
        }
    } catch (const rt::table::TableDamaged& e) {
        // The register was cut short while the prompt stood on it: it is
        // named, kept as it is for repair, and nobody is chosen from it.
        tables::ws().close(kRegisterArea);
        tables::note_open_failure(tables::OpenFault::Damaged, rt::utf8_to_cp850(e.file()));
        common::AVISOSN(tables::open_failure_text(), 0);
        return false;
    }
    const int id = kOpcao1.integer(0);
    if (found || kLrecupera.value().as_bool()) return found_here(id, load_mode);
    return search_elsewhere(id, load_mode, "M->" + var);
}

void register_selection_routines() {
    rt::register_function("GET_CODIGO", [](std::span<const rt::Value> a) {
        const auto text = [&](std::size_t i) { return i < a.size() && a[i].is_string() ? a[i].as_string() : std::string(); };
        const auto number = [&](std::size_t i) { return i < a.size() && a[i].is_number() ? static_cast<int>(a[i].as_number()) : 0; };
        return rt::Value(GET_CODIGO(text(0), text(1), number(2), number(3), number(4), number(5)));
    });
}

}  // namespace qv::shell
