#include "darf/darf_dialog.hpp"

#include <string>
#include <vector>

#include "common/avisosn.hpp"
#include "common/globals.hpp"
#include "common/messages.hpp"
#include "darf/darf_charges.hpp"
#include "darf/darf_checks.hpp"
#include "darf/darf_dates.hpp"
#include "darf/darf_form.hpp"
#include "darf/darf_principal.hpp"
#include "darf/darf_selic.hpp"
#include "darf/darf_state.hpp"
#include "darf/darf_text.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "declaration/calc/due_dates.hpp"
#include "declaration/entry/dialog_painters.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/alert.hpp"
#include "runtime/ui/read.hpp"

namespace qv::darf {

using rt::operator""_cp;

namespace {

constexpr int kAskRow = 18;
constexpr int kDependantsArea = 23;
constexpr int kQuotaDates = 8;
// The lists of the kind of DARF and of one or several quotas.
constexpr int kKindList = 7, kQuotaList = 8;
constexpr int kDueDatesFrame = 3, kDependantFrame = 7;

enum class Step { Print, Leave, KindMenu };

void clear_ask_row() { rt::at_say(kAskRow, kFormLeft + 1, rt::SPACE(kFormRight - kFormLeft - 1)); }

// The eight quota due dates and the dollar rate, kept for the office.
void edit_due_dates() {
    rt::Value dates = common::Global{"DAT_VENC"}.value();
    if (!dates.is_array()) dates = rt::Value::array(kQuotaDates);
    while (static_cast<int>(dates.as_array()->size()) < kQuotaDates) dates.as_array()->push_back(rt::Value(rt::Date{}));
    auto array = dates.as_array();
    declaration::MTELA21(kDueDatesFrame);
    for (int k = 1; k <= kQuotaDates; ++k) {
        const int row = kPeriodRow + (k - 1) % 4, col = k <= 4 ? 3 : 30;
        rt::at_get(row, col + 9, "VCTO" + std::to_string(k),
                   [array, k] { return (*array)[std::size_t(k - 1)]; },
                   [array, k](const rt::Value& v) { (*array)[std::size_t(k - 1)] = v; }, "@d");
    }
    rt::at_get(kPeriodRow + 5, 20, "M->NVALDOLAR", "@z 99.9999");
    const bool confirmed = rt::READ();
    declaration::close_dialog("MTELA21", kDueDatesFrame);
    if (!confirmed) return;
    set("DAT_VENC", dates);
    if (!store_due_dates()) common::MENS(11, "Registro em uso em outro terminal");
}

bool has_record(bool titular) {
    bool found = false;
    declaration::for_each_row(declaration::kPersonSheetArea, [&](rt::table::Table& t) {
        const bool own = t.field_index("CPFDEPEN") < 0 || rt::ALLTRIM(t.get("CPFDEPEN").as_string()).empty();
        found = found || own == titular;
    });
    return found;
}

bool dependant_has_record(const std::string& cpf) {
    bool found = false;
    declaration::for_each_row(declaration::kPersonSheetArea, [&](rt::table::Table& t) {
        found = found || (t.field_index("CPFDEPEN") >= 0 && rt::ALLTRIM(t.get("CPFDEPEN").as_string()) == cpf);
    });
    return found;
}

std::string dependant_name(const std::string& cpf) {
    std::string name;
    declaration::for_each_row(kDependantsArea, [&](rt::table::Table& t) {
        if (name.empty() && t.field_index("CPFDEPEN") >= 0 && rt::ALLTRIM(t.get("CPFDEPEN").as_string()) == cpf)
            name = rt::TRIM(t.get("NOMEDEPEN").as_string());
    });
    return name;
}

// The carnê-leão slip is the titular's or a dependant's.
bool choose_person() {
    set("DARFTD", rt::Value("S"));
    if (!one_taxpayer()) return true;
    const bool titular = has_record(true), dependants = has_record(false);
    bool for_titular = titular || !dependants;
    if (titular && dependants)
        for_titular = common::AVISOSN("Responda com Sim Darf do Titular Não do Dependente."_cp, 2).as_string() == "S";
    if (for_titular) return true;
    set("DARFTD", rt::Value("N"));
    if (!common::Global{"CPFDEPEN"}.exists()) set("CPFDEPEN", rt::Value(rt::SPACE(11)));
    declaration::MTELA21(kDependantFrame);
    rt::Get& g = rt::at_get(kAskRow, 22, "M->CPFDEPEN", "@r 999.999.999-99");
    g.valid([] { return rt::call_as_bool("VERCPFDEPE"); });
    const bool typed = rt::READ();
    declaration::close_dialog("MTELA21", kDependantFrame);
    if (!typed) return false;
    const std::string cpf = rt::ALLTRIM(text("CPFDEPEN"));
    if (!dependant_has_record(cpf)) {
        common::MENS(11, "Esse dependente não tem rendimentos!"_cp);
        return false;
    }
    set("NOMEDEPEN", rt::Value(dependant_name(cpf)));
    return true;
}

// Asks the quota or month (and the last one for several slips); false on Esc.
bool ask_numbers(int k, bool several) {
    clear_ask_row();
    if (k == kQuota) {
        if (integer("QUE_QUOTA") < 1) set("QUE_QUOTA", rt::Value(1));
        rt::at_say(kAskRow, 3, several ? "Da quota:" : "Quota:");
        rt::at_get(kAskRow, 14, "M->QUE_QUOTA", "@z  9").valid([] { return integer("QUE_QUOTA") >= 1; });
        if (several) {
            rt::at_say(kAskRow, 20, "Ate a quota:");
            rt::at_get(kAskRow, 33, "M->ULT_QUOTA", "@z  9").valid([] { return CONF_QUOT(); });
        }
        if (!rt::READ()) return false;
        const int first = integer("QUE_QUOTA"), last = several ? integer("ULT_QUOTA") : first;
        set("QTD_DARF", rt::Value(last - first + 1));
        set("CDARFUTU", rt::Value("S"));
        if (several)
            set("CDARFUTU", common::AVISOSN("Ao imprimir Darfs com datas futuras imprime a Selic e o Total? (S/N)", 2));
        return true;
    }
    if (integer("MES_PGTO") < 1) set("MES_PGTO", rt::Value(1));
    rt::at_say(kAskRow, 3, several ? "Do mes:" : "Mes:");
    rt::at_get(kAskRow, 14, "M->MES_PGTO", "@z 99").valid([] { return VE_MPAG(integer("MES_PGTO")); });
    if (several) {
        if (integer("MES_FINAL") < integer("MES_PGTO")) set("MES_FINAL", rt::Value(integer("MES_PGTO")));
        rt::at_say(kAskRow, 20, "Ate o mes:");
        rt::at_get(kAskRow, 33, "M->MES_FINAL", "@z 99").valid([] { return VE_MPG2(integer("MES_PGTO"), integer("MES_FINAL")); });
    }
    if (!rt::READ()) return false;
    const int first = integer("MES_PGTO"), last = several ? integer("MES_FINAL") : first;
    set("QTD_DARF", rt::Value(last - first + 1));
    return true;
}

int first_number(int k) { return k == kQuota ? integer("QUE_QUOTA", 1) : integer("MES_PGTO", 1); }

// The kind whose figures the slip's fields hold: a free slip keeps what was
// typed for the free slip before it, never another kind's lines and code.
int g_fields_kind = 0;

void blank_free_slip() {
    const bool fresh = g_fields_kind != kFree;
    g_fields_kind = kFree;
    for (int i = 1; i <= kSlipTextLines; ++i)
        if (fresh || !common::Global{"DF_OUTR" + std::to_string(i)}.exists())
            set("DF_OUTR" + std::to_string(i), rt::Value(rt::SPACE(kSlipTextWidth)));
    if (fresh) {
        set("DF_CODIG", rt::Value(rt::SPACE(4)));
        set("IMPO_REAL", rt::Value(0.0));
        set("DF_JURO", rt::Value(0.0));
        set("DF_MULTA", rt::Value(0.0));
    }
    if (rt::TRIM(text("DF_CODIG")).empty()) set("DF_CODIG", rt::Value(rt::SPACE(4)));
    if (date("DF_PERIODO").empty()) set("DF_PERIODO", rt::Value(rt::Date::from_ymd(2011, 12, 31)));
    if (date("DF_VCTO").empty()) set("DF_VCTO", rt::Value(date("DF_PGTO")));
    set("DDATAUTIL", rt::Value(declaration::PROX_DIA(date("DF_VCTO"))));
    set("QTD_DARF", rt::Value(1));
    for (const char* name : {"IMPO_REAL", "DF_MULTA", "DF_JURO"})
        if (!common::Global{name}.exists()) set(name, rt::Value(0.0));
}

// The fields of the slip; a free slip has them all.
bool edit_slip(int k, int n) {
    if (k == kFree) {
        rt::at_get(kPeriodRow, kValueCol, "M->DF_PERIODO", "@d");
        rt::at_get(kPeriodRow, kChargesCol + 21, "M->DF_CODIG", "@r 9999");
    }
    rt::at_get(kDueRow, kValueCol, "M->DF_VCTO", "@d").valid([n] { return VALI_DATA(n, 1); });
    rt::at_get(kDueRow, kChargesCol + 21, "M->DF_PGTO", "@d").valid([n] { return VALI_DATA(n, 2); });
    rt::at_get(kWorkdayRow, kValueCol, "M->DDATAUTIL", "@d").when([] { return VEATRASO(); }).valid([] {
        CALCJU(1, 1);
        return true;
    });
    if (k == kFree) {
        rt::at_get(kLinesRow, kChargesCol + 18, "M->IMPO_REAL", "@Ez 99,999,999.99").valid([] {
            CALCJU(1);
            return true;
        });
        for (int i = 1; i <= kSlipTextLines; ++i) rt::at_get(kLinesRow + i - 1, 3, "M->DF_OUTR" + std::to_string(i));
        rt::at_get(kLinesRow + 2, kChargesCol + 6, "M->DF_JURO", "@ez 999.99").valid([] { return SO_JUROS(); });
    }
    return rt::READ();
}

// One pass from the kind menu to the confirmation.
Step run_kind() {
    const int k = pick("MTELA13", kKindList, kind());
    if (k == 0) {
        set("QUEDARF", rt::Value(kQuota));
        return Step::Leave;
    }
    set("QUEDARF", rt::Value(k));
    if (k == kEditDates) {
        edit_due_dates();
        return Step::Leave;
    }
    bool several = false;
    if (k <= kVariableIncome) {
        const int q = pick("MTELA13", kQuotaList, integer("QUANTDARF", 1));
        if (q == 0) return Step::KindMenu;
        set("QUANTDARF", rt::Value(q));
        several = q == 2;
    } else {
        set("QUANTDARF", rt::Value(1));
        set("QTD_DARF", rt::Value(1));
    }
    if (k == kCarneLeao && !choose_person()) return Step::Leave;
    if (k == kFree) {
        blank_free_slip();
        set_slip_number(1);
    }
    while (k <= kLateFiling) {
        if (!ask_numbers(k, several)) return Step::KindMenu;
        if (BUS_IMPO(first_number(k), k, kInteractive)) {
            g_fields_kind = k;
            break;
        }
        if (rt::LASTKEY() == rt::key::ESC) return Step::KindMenu;
    }
    clear_ask_row();
    for (;;) {
        const int n = slip_number();
        PREENCHE(n);
        show_form();
        // The charges shown are those of the dates shown.
        CALCJU(1, 1);
        edit_slip(k, n);
        // The interest shown lacks the months the rates table does not
        // hold: the clerk hears of it before confirming the slip.
        warn_selic_gaps();
        const int answer = rt::ALERT(std::vector<std::string>{"Confirma a altera\x87\xC6o ?"}, std::vector<std::string>{"Sim", "N\xC6o", "Ignore"});
        if (answer == 1) return Step::Print;
        if (answer != 2) return Step::KindMenu;
    }
}

}  // namespace

bool DARF() {
    const rt::Date paid = default_payment_date(rt::DATE());
    set("DF_PGTO", rt::Value(paid));
    set("DDATAUTIL", rt::Value(declaration::PROX_DIA(paid)));
    common::AVISO(rt::SPACE(80));
    open_form();
    for (;;) {
        const Step step = run_kind();
        if (step == Step::KindMenu) continue;
        close_form();
        return step == Step::Print;
    }
}

}  // namespace qv::darf
