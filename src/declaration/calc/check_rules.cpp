// The rules of the declaration check, stage by stage. Each rule looks at the
// open declaration's values and work copies and records its findings with
// MARCAERRO; the order of the rules is the order of the error list.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>

#include "declaration/calc/declaration_check.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::declaration {

namespace {

using rt::operator""_cp;
using Row = rt::table::Table;

constexpr int kBaseYear = 2011;
constexpr int kDependantsArea = 23;
constexpr int kAssetsArea = 24;
constexpr int kDebtsArea = 25;
constexpr int kGainsArea = 27;
constexpr int kRuralPropertiesArea = 36;
constexpr int kStageColumn = 15;
// Dollar rate of the end of the year for the assets held abroad.
constexpr double kYearEndDollar = 1.741;

void stage(std::string_view label) { show_check_progress(kStageColumn, label); }

bool blank(std::string_view name) {
    const rt::Value* v = rt::variables().find(rt::variables().intern(name));
    return v == nullptr || rt::EMPTY(*v);
}
bool any_blank(std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [](const char* n) { return blank(n); });
}
bool blank(Row& r, std::string_view field) { return r.field_index(field) < 0 || rt::EMPTY(r.get(field)); }
bool any_blank(Row& r, std::initializer_list<const char*> fields) {
    return std::any_of(fields.begin(), fields.end(), [&](const char* f) { return blank(r, f); });
}
std::string trimmed(Row& r, std::string_view field) {
    return r.field_index(field) < 0 ? std::string() : rt::ALLTRIM(r.get(field).as_string());
}
int code_of(Row& r, std::string_view field) { return static_cast<int>(field_number(r, field)); }
bool one_of(int code, std::initializer_list<int> codes) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}
std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }
bool estate_final() { return is("DECFINAL", 'S'); }
int rows_in(int area) {
    int n = 0;
    for_each_row(area, [&](Row&) { ++n; });
    return n;
}
double column_total(int area, std::string_view field) {
    double total = 0.0;
    for_each_row(area, [&](Row& r) { total += field_number(r, field); });
    return total;
}

// The monthly sheet of every person of the declaration, month by month.
double sheet_month(int column, int month) {
    return column_total(kPersonSheetArea, "I2_" + std::to_string(column) + two(month));
}

// True when more than 3 months have an amount in `column` and one of them
// exceeds three times `year_total` shared among those months.
bool month_far_above_average(int column, double year_total) {
    std::array<double, 12> months{};
    int used = 0;
    for (int m = 1; m <= 12; ++m) {
        months[static_cast<std::size_t>(m - 1)] = sheet_month(column, m);
        if (months[static_cast<std::size_t>(m - 1)] != 0.0) ++used;
    }
    if (used <= 3) return false;
    const double limit = 3.0 * year_total / used;
    return std::any_of(months.begin(), months.end(), [&](double v) { return v > limit; });
}

void calculation_rules() {
    stage("Cálculos da Pag. 4  "_cp);
    bool negative = false;
    for (int n = 1; n <= 8; ++n) negative = negative || amount("I4_" + two(n)) < 0.0;
    if (negative) MARCAERRO(1);
    negative = false;
    for (int n = 1; n <= 16; ++n) negative = negative || amount("I3_" + two(n)) < 0.0;
    if (negative) MARCAERRO(2);
    if (amount("I3_12") > 0.0 && blank("I3_12D")) MARCAERRO(3);
    if ((amount("I4_05") > 0.0 && blank("I4_05D")) || (amount("I4_09") > 0.0 && blank("I4_09D"))) MARCAERRO(4);
    if (logical("SO_REC")) {
        bool unpaid = false;
        for_each_row(kPersonSheetArea, [&](Row& r) {
            for (int m = 1; m <= 12; ++m)
                unpaid = unpaid || (field_number(r, "I2_6" + two(m)) > 0.0 && field_number(r, "I2_5" + two(m)) == 0.0);
        });
        if (unpaid) MARCAERRO(9);
    }
    if (month_far_above_average(1, amount("I13_03") + amount("I13_04"))) MARCAERRO(10);
    if (month_far_above_average(3, amount("I13_18"))) MARCAERRO(11);
    if (amount("I13_18") > amount("I13_03") + amount("I13_04")) MARCAERRO(73);
    if (!blank("CPFINVENT") && any_blank({"NOMINVENT", "ENDINVENT"})) MARCAERRO(28);
    if (estate_final()) {
        const bool missing = is("DECJUDI", 'S')
            ? any_blank({"DATAPARTI", "DATADECIS", "NROPROCES", "VARACIVIL", "COMARCA", "UFPROCES"})
            : any_blank({"DATALAVRA", "NOMECARTO", "CNPJCARTO", "MUNICARTO", "LIVRCARTO", "FOLHCARTO", "UFPROCES"});
        if (missing) MARCAERRO(32);
    }
}

void income_rules() {
    stage("Rendimentos         ");
    for_each_row(kIncomeArea, [](Row& r) {
        const std::string kind = trimmed(r, "I1_1");
        const bool payer_kind = kind == "J" || kind == "D" || kind == "A";
        const bool has_name = !blank(r, "I1_2");
        if (!has_name && field_number(r, "I1_4") != 0.0) {
            if (kind == "J") MARCAERRO(12);
            else if (kind == "D" || kind == "A") MARCAERRO(42);
        }
        if (payer_kind && has_name) {
            double sum = 0.0;
            for (const char* f : {"I1_4", "I1_7", "I1_15", "I1_16", "I1_17", "I1_18", "I1_9", "I1_10", "I1_19", "I1_20"})
                sum += field_number(r, f);
            if (sum == 0.0) MARCAERRO(26);
        }
        if (blank(r, "I1_3") && (field_number(r, "I1_4") != 0.0 || field_number(r, "I1_15") != 0.0)) {
            if (kind == "J" || kind == "A") MARCAERRO(13);
            else if (kind == "D") MARCAERRO(43);
        }
        if (field_number(r, "I1_5") > field_number(r, "I1_4")) MARCAERRO(kind == "J" ? 14 : 44);
        if (kind == "D" && blank(r, "I1_8")) MARCAERRO(45);
        if (field_number(r, "I1_15") > 0.0 && trimmed(r, "I1_3").size() < 18) MARCAERRO(74);
        if (kind == "A" && trimmed(r, "TIPOCR") != "S" && blank(r, "I1_21")) MARCAERRO(75);
    });
}

void dependant_rules() {
    stage("Dependentes         ");
    for_each_row(kDependantsArea, [](Row& r) {
        const int code = code_of(r, "CODIDEPEN");
        if (blank(r, "NOMEDEPEN")) MARCAERRO(15);
        if (code == 0) MARCAERRO(16);
        const rt::Date birth = r.get("DATADEPEN").as_date();
        if (birth.empty()) {
            if (code < 100) MARCAERRO(17);
            return;
        }
        const int age = kBaseYear - birth.year();
        if (age <= 21 && one_of(code, {22, 25})) MARCAERRO(55);
        else if (age >= 22 && age <= 25 && one_of(code, {21, 24})) MARCAERRO(57);
        else if ((age > 21 && code == 41) || (age > 25 && one_of(code, {22, 25}))) MARCAERRO(56);
        if (code < 98 && age >= 18 && blank(r, "CPFDEPEN")) MARCAERRO(46);
    });
}

void asset_rules() {
    stage("Doações e Pagamentos"_cp);
    bool costs_missing = false;
    double abroad = 0.0;
    for_each_row(kAssetsArea, [&](Row& r) {
        const int code = code_of(r, "I7_1");
        if (estate_final() && code >= 1 && code <= 19 &&
            any_blank(r, {"ENDEIMO", "NUMIMO", "COMPIMO", "BAIRIMO", "CEPIMO", "MUNICIMO", "UFIMO"}))
            MARCAERRO(76);
        costs_missing = costs_missing || (code >= 1 && code <= 28 && amount("DESPNAO") == 0.0);
        if (trimmed(r, "I7_7") == "S") abroad += field_number(r, "I7_4");
    });
    if (costs_missing) MARCAERRO(24);
    if (abroad / kYearEndDollar > 99999.0) MARCAERRO(50);
    const bool estate_occupation = rt::ALLTRIM(text("CODAT")) == "81";
    if (estate_occupation && any_blank({"CPFINVENT", "NOMINVENT", "ENDINVENT"})) MARCAERRO(58);
    if (amount("OUTRDES") == 0.0 && amount("DESPADRAO") == 0.0) MARCAERRO(estate_occupation ? 51 : 25);
}

void payment_rules() {
    const int people = rows_in(kDependantsArea);
    double medical = 0.0, health_plans = 0.0;
    for_each_row(kPaymentsArea, [&](Row& r) {
        const int code = code_of(r, "I6_3");
        const int person = code_of(r, "I6_6");
        const std::string number = trimmed(r, "I6_2");
        const std::string suffix = " cod. " + rt::STRZERO(code, 2);
        if (blank(r, "I6_1")) MARCAERRO(18);
        if (number.empty() && !one_of(code, {2, 15, 16, 17, 18, 19, 20, 22})) MARCAERRO(19);
        if (one_of(code, {1, 21, 26, 36, 38, 40, 41, 42, 43, 71, 98}) && number.size() != 18) MARCAERRO(61, suffix);
        if (one_of(code, {9, 10, 11, 12, 13, 14, 30, 31, 33, 34, 50, 66, 70, 76, 80, 81, 91, 93, 94}) &&
            number.size() != 14)
            MARCAERRO(62, suffix);
        // Once per payment: the employee's registration is one fault.
        if (code == 50 && blank(r, "I6_7")) MARCAERRO(59);
        if (code == 50 && number.empty()) MARCAERRO(30);
        if (code == 0) MARCAERRO(31);
        if (field_number(r, "I6_4") == 0.0 && field_number(r, "I6_5") == 0.0) MARCAERRO(27);
        if (code >= 30 && code <= 34) {
            if (person == 0) MARCAERRO(35);
            else if (person > people) MARCAERRO(48);
        } else if (person > people) {
            MARCAERRO(47);
        }
        if (code > 38 && person > 0) MARCAERRO(77);
        if (code == 80 || code == 81) MARCAERRO(80);
        const double net = field_number(r, "I6_4") - field_number(r, "I6_5");
        if (code >= 9 && code <= 25) medical += net;
        if (code == 26) health_plans += net;
    });
    if (medical > 18000.0) MARCAERRO(49);
    if (health_plans > 10000.0 && medical > 10000.0) MARCAERRO(52);
}

void capital_gain_rules() {
    stage("Ganho de Capital    ");
    if (amount("I3_10") > 0.0) MARCAERRO(79);
    if (!is("RETIFICA", 'S')) {
        // Last year's declared totals against this declaration's 2010 column.
        if (column_total(kAssetsArea, "I7_9") != column_total(kAssetsArea, "I7_3")) MARCAERRO(40);
        if (column_total(kDebtsArea, "I8_6") != column_total(kDebtsArea, "I8_3")) MARCAERRO(41);
    } else if (blank("NRORECIBO")) {
        MARCAERRO(53);
    }
    bool any_gain = false;
    for_each_row(kGainsArea, [&](Row& r) {
        const bool earlier_sale = trimmed(r, "VENDAANT") == "S";
        if (trimmed(r, "VEN_PRAZO") == "S" &&
            field_number(r, "VAL_RECOL") > field_number(r, earlier_sale ? "VAL_DIFE" : "VAL_ALI"))
            MARCAERRO(78);
        const int kind = code_of(r, "TIPO_BEM");
        const bool described = !blank(r, "ESPC_BEM");
        if (kind >= 1 && kind <= 3) any_gain = true;
        if (kind == 1) {
            if (!described) MARCAERRO(60);
            if (any_blank(r, {"ENDEIMO", "CEPIMO", "MUNICIMO"})) MARCAERRO(20);
        } else if (kind == 2) {
            if (!described) MARCAERRO(63);
        } else if (kind == 3) {
            if (!described) MARCAERRO(64);
            if (field_number(r, "CUS_ATUAL") == 0.0 && !earlier_sale) MARCAERRO(23);
        }
    });
    if (amount("I4_02") > 0.0 && !any_gain) MARCAERRO(6);
}

void registration_rules() {
    stage("Dados Cadastrais    ");
    if (any_blank({"ENDERECO", "CEP", "MUNICIPIO", "UF"})) MARCAERRO(21);
    if (blank("TITULO") && !estate_final()) MARCAERRO(8);
    if (amount("SALDO") < 0.0) MARCAERRO(22);
    if (blank("CODMUNI")) MARCAERRO(34);
    if (blank("RECIBOANT")) MARCAERRO(54);
    if (is("TEMRURAL", 'S') && rows_in(kRuralPropertiesArea) == 0) MARCAERRO(65);
    for_each_row(kRuralPropertiesArea, [](Row& r) {
        static constexpr std::array<const char*, 7> fields{"I2R_01", "I2R_02", "I2R_03", "I2R_04",
                                                           "I2R_05", "I2R_06", "I2R_07"};
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (blank(r, fields[i])) MARCAERRO(66 + static_cast<int>(i));
    });
}

}  // namespace

void run_check_rules() {
    calculation_rules();
    income_rules();
    dependant_rules();
    asset_rules();
    payment_rules();
    capital_gain_rules();
    registration_rules();
}

}  // namespace qv::declaration
