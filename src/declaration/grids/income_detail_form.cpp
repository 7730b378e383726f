#include "declaration/grids/income_detail_form.hpp"

#include <string>
#include <vector>

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "declaration/calc/declaration_helpers.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/entry/mtela1_frames.hpp"
#include "declaration/grids/cell_edit.hpp"
#include "declaration/grids/grid_check_support.hpp"
#include "declaration/grids/grid_checks.hpp"
#include "declaration/grids/grid_engine.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/get.hpp"
#include "runtime/ui/read.hpp"
#include "tables/state.hpp"

namespace qv::declaration::grids {

namespace {

using rt::Value;

constexpr const char* kAmount = "@Ez 999,999,999.99";
constexpr const char* kCpf = "@R 999.999.999-99";
constexpr int kNameRow = 2, kNameCol = 19, kNameWidth = 40;
constexpr int kTaxRow = 11, kTaxCol = 17;   // the tax of exclusive taxation (RRA form)
constexpr int kReceiptYear = 2011;

// What a field of the form checks before its value is taken.
enum class Check { None, DependantCpf, RecipientCpf, Document, Limit1, Limit2, RraTax, RraMonths, ReceiptDate, Choice };
// When the value reaches the row: at once, or when the form is left.
enum class Write { InPlace, OnLeave };
// When the field is open for entry.
enum class Open { Always, Alimony, Exclusive, DependantRow };

struct DetailField {
    const char* name;   // the row's field and the variable it is edited in
    int row;
    int col;
    const char* picture;
    Check check = Check::None;
    Write write = Write::InPlace;
    Open open = Open::Always;
};

std::vector<DetailField> joined(std::initializer_list<std::vector<DetailField>> parts) {
    std::vector<DetailField> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Reading order of the fields; rows and columns are those the detail frame
// leaves for them.
const std::vector<DetailField>& fields_of(int grid) {
    // The amounts both income grids' forms read, in the same places.
    static const std::vector<DetailField> amounts = {
        {"I1_4", 4, 38, kAmount, Check::None, Write::OnLeave}, {"I1_6", 5, 38, kAmount},
        {"I1_5", 6, 38, kAmount},                              {"I1_3", 7, 38, "@s18", Check::Document},
        {"I1_7", 8, 38, kAmount},                              {"I1_15", 9, 38, kAmount},
        {"I1_19", 10, 38, kAmount},                            {"I1_20", 11, 38, kAmount},
        {"I1_16", 14, 38, kAmount},                            {"I1_13", 15, 38, kAmount},
        {"I1_14", 16, 38, kAmount},
    };
    // Only the holder's illness pension and exempt part over 65 are held to
    // their limits.
    static const std::vector<DetailField> holder =
        joined({amounts,
                {{"I1_18", 12, 38, kAmount, Check::Limit2, Write::OnLeave},
                 {"I1_17", 13, 38, kAmount, Check::Limit1, Write::OnLeave}}});
    static const std::vector<DetailField> dependants =
        joined({{{"I1_8", 3, 38, kCpf, Check::DependantCpf}}, amounts,
                {{"I1_18", 12, 38, kAmount, Check::None, Write::OnLeave}, {"I1_9", 13, 38, kAmount}}});
    static const std::vector<DetailField> cumulative = {
        {"I1_8", 3, 38, kCpf, Check::DependantCpf, Write::InPlace, Open::DependantRow},
        {"I1_4", 4, 38, kAmount, Check::RraTax},
        {"I1_6", 5, 38, kAmount, Check::RraTax},
        {"I1_5", 6, 38, kAmount},
        {"I1_3", 7, 38, "@s18", Check::Document},
        {"I1_12", 8, 38, kAmount, Check::RraTax},
        {"I1_22", 8, 61, kCpf, Check::RecipientCpf, Write::InPlace, Open::Alimony},
        {"DT_LC", 10, 38, "@D", Check::ReceiptDate},
        {"TIPOCR", 9, 17, "@!", Check::Choice},
        {"I1_21", 10, 61, "@z 999.9", Check::RraMonths, Write::InPlace, Open::Exclusive},
    };
    if (grid == 20) return cumulative;
    return grid == 2 ? dependants : holder;
}

rt::table::Table& income_rows() { return tables::ws().current(kIncomeArea); }

Value variable(const char* name) { return common::Global{name}.value(); }

rt::Date form_date() {
    const Value d = variable("DT_LC");
    return d.is_date() ? d.as_date() : rt::Date();
}

bool write_to_row(const DetailField& f) {
    rt::table::Table& t = income_rows();
    if (rt::equals(t.get(f.name), variable(f.name), true)) return true;
    return put_row(t, {{f.name, variable(f.name)}});
}

void refresh_field() {
    if (rt::Get* g = rt::current_get()) {
        g->update_buffer();
        g->display();
    }
}

bool limited(const char* name, int mode) {
    const Value args[] = {Value(std::string(name)), Value(mode)};
    const Value answer = rt::call_function("VEJALIM", args);
    return !answer.is_logical() || answer.as_bool();
}

bool checked(const DetailField& f, int grid) {
    const common::Global var{f.name};
    switch (f.check) {
        case Check::None: break;
        case Check::DependantCpf:
            if (!VERCPFDEPE(var.text())) return false;
            break;
        case Check::RecipientCpf: {
            Value v = var.value();
            if (!check_cell(CellCheck::Cpf, grid, v) || !VE_RELDEP(var.text(), f.name, 2)) return false;
            break;
        }
        case Check::Document: {
            Value v = var.value();
            if (!check_cell(CellCheck::Document, grid, v)) return false;
            var.set(v);
            refresh_field();
            break;
        }
        case Check::Limit1: return limited(f.name, 1);
        case Check::Limit2: return limited(f.name, 2);
        case Check::RraTax: return write_to_row(f) && CALC_RAA(1, 0, form_date());
        case Check::RraMonths: return write_to_row(f) && CALC_RAA(1, 1, form_date());
        case Check::ReceiptDate: {
            const rt::Date d = form_date();
            if (!d.empty() && d.year() != kReceiptYear) {
                notice({"O ano do recebimento deve ser 2011"});
                return false;
            }
            break;
        }
        case Check::Choice: return VERAA(var.value(), 1);
    }
    return f.write == Write::OnLeave || write_to_row(f);
}

bool is_open(const DetailField& f) {
    switch (f.open) {
        case Open::Always: return true;
        case Open::Alimony: return common::number_of(variable("I1_12")) != 0;
        case Open::Exclusive: return rt::UPPER(rt::TRIM(common::Global{"TIPOCR"}.text())) == "N";
        case Open::DependantRow: return rt::UPPER(rt::TRIM(income_rows().get("I1_11").as_string())) == "N";
    }
    return true;
}

void show_fixed(int grid) {
    rt::table::Table& t = income_rows();
    rt::at_say(kNameRow, kNameCol, rt::PADR(t.get("I1_2").as_string(), kNameWidth));
    if (grid == 20 && rt::UPPER(rt::TRIM(t.get("TIPOCR").as_string())) == "N")
        rt::at_say(kTaxRow, kTaxCol, rt::TRANSFORM(t.get("I1_20"), kAmount));
}

}  // namespace

KeyOutcome income_detail(GridRun& grid) {
    const int code = grid.description().code;
    rt::table::Table& t = income_rows();
    if (grid.column() != 1 || t.eof()) return KeyOutcome::Stay;
    if (rt::TRIM(t.get("I1_2").as_string()).empty()) {
        notice({"Preencha o nome da fonte pagadora antes de usar esse recurso!"});
        return KeyOutcome::Stay;
    }
    const std::vector<DetailField>& fields = fields_of(code);
    for (const DetailField& f : fields) common::Global{f.name}.set(t.get(f.name));
    MTELA1(dialog::kIncomeDetail, code);
    for (bool reading = true; reading;) {
        show_fixed(code);
        for (const DetailField& f : fields) {
            rt::Get& get = rt::at_get(f.row, f.col, std::string("M->") + f.name, f.picture);
            get.valid([&f, code] { return checked(f, code); });
            if (f.open != Open::Always) get.when([&f] { return is_open(f); });
        }
        reading = rt::READ();
    }
    for (const DetailField& f : fields)
        if (f.write == Write::OnLeave) write_to_row(f);
    common::FECHAJAN(mtela1_frame(dialog::kIncomeDetail, code)->window);
    grid.browse().refresh_all();
    return KeyOutcome::Stay;
}

}  // namespace qv::declaration::grids
