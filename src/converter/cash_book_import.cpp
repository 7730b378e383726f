// A taxpayer from the cash-book program's tables: the same walk as last
// year's edition, with its own field names, year totals instead of monthly
// values, payments of code 69 turned into income, every gain and every
// asset carried, and its expense list.
#include <cmath>
#include <string_view>

#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"
#include "tables/folders.hpp"

namespace qv::converter {

namespace {

using rt::Value;

constexpr int kPensionCode = 69;

// The twelve two-digit months of a field family ("I1_4" -> I1_401..I1_412).
std::string month_field(std::string_view base, int mm) {
    return std::string(base) + (mm < 10 ? "0" : "") + std::to_string(mm);
}

double cents(double v) { return std::round(v * 100) / 100; }

// Copies the twelve months of a family and returns their sum.
double copy_months(tb::Table& from, std::string_view source, tb::Table& to, std::string_view dest) {
    double sum = 0;
    for (int mm = 1; mm <= 12; ++mm) {
        const std::string s = month_field(source, mm), d = month_field(dest, mm);
        copy_as(from, s.c_str(), to, d.c_str());
        sum += number_of(from, s.c_str());
    }
    return cents(sum);
}

// The declaration's calculation mode: 3 when a self-employment or rental
// income has a date of its own, 1 otherwise.
int calculation_mode(SourceTables& src, const std::string& cpf) {
    int mode = 1;
    each_source(src, 2, cpf, [&](tb::Table& old) {
        const std::string kind = text_of(old, "I1_1");
        if ((kind == "F" || kind == "L") && old.field_index("DT_LC") >= 0 && !rt::EMPTY(old.get("DT_LC"))) mode = 3;
    });
    return mode;
}

void declaration_record(SourceTables& src, const std::string& cpf) {
    const int mode = calculation_mode(src, cpf);
    tb::Table& d = new_row(1, cpf);
    d.put("CAL_AUTO", Value(mode));
    tb::Table* old = src.get(1);
    const auto rows = old ? src.rows(1, cpf) : std::vector<std::uint32_t>{};
    if (!rows.empty()) {
        old->go_to(rows.front());
        static const std::pair<const char*, const char*> pairs[] = {
            {"I3_01T", "I3_01"}, {"I3_02T", "I3_02"}, {"I3_03T", "I3_03"}, {"I3_04T", "I3_04"}, {"I3_05T", "I3_05"},
            {"I3_06T", "I3_11"}, {"I3_07T", "I3_06"}, {"I3_08T", "I3_07"}, {"I3_09T", "I3_08"}, {"I3_10T", "I3_09"},
            {"I3_11T", "I3_10"}, {"I3_12T", "I3_12"}, {"I3_12D", "I3_12D"}, {"I4_01T", "I4_01"}, {"I4_02T", "I4_02"},
            {"I4_03T", "I4_03"}, {"I4_04T", "I4_04"}, {"I4_05T", "I4_05"}, {"I4_05D", "I4_05D"},
            {"DESPNAO", "DESPNAO"}, {"PREJVEN", "PREJVEN"}, {"VALOR_FUT", "VALFUTUR"}};
        for (const auto& [from, to] : pairs) copy_as(*old, from, d, to);
        d.put("INDALERTA", Value(10));
    }
    d.commit();
}

void income_rows(SourceTables& src, const std::string& cpf) {
    each_source(src, 2, cpf, [&](tb::Table& old) {
        const std::string kind = text_of(old, "I1_1");
        if (kind == "R" || kind == "A") return;   // rural and alimony rows are not income sources here
        tb::Table& t = new_row(2, cpf);
        copy_shared(old, t, {"I1_1", "I1_2", "I1_3"});
        if (kind == "J" || kind == "D" || kind == "F" || kind == "L") {
            for (const char* f : {"I1_4", "I1_5", "I1_6", "I1_7"}) copy_as(old, (std::string(f) + "13").c_str(), t, f);
            if (kind == "D") copy_shared(old, t, {"I1_8", "I1_9", "I1_10"});
            if (kind == "F" || kind == "L") copy_shared(old, t, {"TIPOCR", "DT_LC"});
        } else {
            t.put("I1_4", Value(copy_months(old, "I1_4", t, "I1_4")));
            t.put("I1_5", Value(copy_months(old, "I1_5", t, "I1_5")));
        }
        t.put("I1_11", Value("S"));
        t.commit();
    });
}

// Payments; those of code 69 (private pension paid to the taxpayer) are
// income of kind "M" whose year total also goes to I13_31.
void payments(SourceTables& src, const std::string& cpf) {
    double pension = 0;
    each_source(src, 6, cpf, [&](tb::Table& old) {
        const double code = number_of(old, "I6_3");
        if (code == 0) return;
        if (code == kPensionCode) {
            tb::Table& t = new_row(2, cpf);
            t.put("I1_1", Value("M"));
            copy_as(old, "I6_1", t, "I1_2");
            const double year = copy_months(old, "I6_4", t, "I1_4");
            t.put("I1_4", Value(year));
            t.commit();
            pension += year;
            return;
        }
        tb::Table& t = new_row(6, cpf);
        copy_shared(old, t, {"I6_1", "I6_2", "I6_3", "I6_6"});
        if (code == 50) copy_shared(old, t, {"I6_7"});
        t.put("I6_4", Value(copy_months(old, "I6_4", t, "I6_4")));
        t.commit();
    });
    if (pension == 0) return;
    tb::Table& d = declaration_row(cpf);
    d.put("I13_31", Value(cents(number_of(d, "I13_31") + pension)));
    d.commit();
}

// Every gain of the cash book, with the description's parts joined, the
// share as a percentage and the tax and gain fields under this year's names.
void gains(SourceTables& src, const std::string& cpf) {
    each_source(src, 7, cpf, [&](tb::Table& old) {
        tb::Table& t = new_row(7, cpf);
        std::string description;
        for (const auto& f : old.fields()) {
            const std::string_view name = f.name;
            if (name.starts_with("ESPC_BEM")) description += old.get(f.name).as_string();
            else if (!name.starts_with("PREJU") && name != "PER_TRI") copy_as(old, f.name.c_str(), t, f.name.c_str());
        }
        t.put("ESPC_BEM", Value(description));
        t.put("PER_TRI", Value(number_of(old, "PER_TRI") * 100));
        copy_as(old, "VAL_IMPOS", t, "VAL_IMPOSV");
        copy_as(old, "GAN_TRI1", t, "GAN_TRIV");
        copy_as(old, "GAN_TRI2", t, "GAN_TRIP");
        t.commit();
    });
    each_source(src, 8, cpf, [&](tb::Table& old) {
        tb::Table& t = new_row(8, cpf);
        copy_all_shared(old, t);
        t.commit();
    });
}

// The cash book's monthly expenses (its table 11), whose sum over the
// year is what the declaration record keeps as undeducted.
void expenses(SourceTables& src, const std::string& cpf) {
    if (!src.get(11)) return;
    double monthly = 0;
    each_source(src, 11, cpf, [&](tb::Table& old) {
        tb::Table& t = new_row(10, cpf);
        t.put("CODDESP", Value(rt::VAL(text_of(old, "CODDESP"))));
        copy_shared(old, t, {"DESCDESP", "VALODESP"});
        t.commit();
        monthly += number_of(old, "VALODESP");
    });
    tb::Table& d = declaration_row(cpf);
    d.put("DESPNAO", Value(cents(monthly * 12)));
    d.commit();
}

}  // namespace

bool cash_book_taxpayer(SourceTables& src, const std::string& cpf) {
    carry_register(src, cpf, kCashBook);
    tables::MOSTRADOR(3, 1);
    declaration_record(src, cpf);
    income_rows(src, cpf);
    tables::MOSTRADOR(3, 1);
    carry_dependants(src, cpf);
    payments(src, cpf);
    carry_savings(src, cpf);
    tables::MOSTRADOR(3, 1);
    carry_blocks(src, cpf, 4, kCarrySold);
    carry_blocks(src, cpf, 5, kCarrySold);
    gains(src, cpf);
    expenses(src, cpf);
    join_asset_continuations(cpf);
    tables::MOSTRADOR(3, 1);
    CONV_IRM_WZK(src, cpf);
    return true;
}

}  // namespace qv::converter
