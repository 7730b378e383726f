// The cash book's rural activity: properties, the year's results, the
// monthly receipts and expenses, rural assets and debts, all of the
// activity in Brazil.
#include <cstdint>
#include <vector>

#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

constexpr int kStep = 10;   // rural items are numbered 0, 10, 20, ... leaving room between them

tb::Table& rural_row(int code, const std::string& cpf) {
    tb::Table& t = new_row(code, cpf);
    t.put("ATV_BRASIL", Value("S"));
    return t;
}

void properties(SourceTables& src, const std::vector<std::uint32_t>& rows, const std::string& cpf) {
    tb::Table& old = *src.get(15);
    for (const std::uint32_t r : rows) {
        old.go_to(r);
        tb::Table& t = rural_row(16, cpf);
        for (int k = 1; k <= 7; ++k) copy_as(old, "I2_0" + std::to_string(k), t, "I2R_0" + std::to_string(k));
        t.commit();
    }
}

// The taxpayer's results row (found or added) with the cash book's figures.
tb::Table& results(SourceTables& src, const std::string& cpf) {
    std::uint32_t found = 0;
    for_each_row(15, cpf, [&](tb::Table& t) {
        if (!found) found = t.recno();
    });
    tb::Table& t = found ? table(15) : rural_row(15, cpf);
    if (found) t.go_to(found);
    if (tb::Table* old = src.get(10)) {
        const auto rows = src.rows(10, cpf);
        if (!rows.empty()) {
            old->go_to(rows.front());
            copy_as(*old, "I4_04", t, "I4R_04");
            copy_as(*old, "I4_07", t, "I4R_07");
            copy_shared(*old, t, {"I5_09", "I5_10", "I7_V1"});
            for (int mm = 1; mm <= 12; ++mm) {
                const std::string m = (mm < 10 ? "0" : "") + std::to_string(mm);
                for (const char* s : {"OR", "OD"}) copy_as(*old, "I3_" + m + s, t, "I3_" + m + s);
            }
            for (int k = 1; k <= 5; ++k)
                for (const char* s : {"A", "B", "C", "S", "V1"}) {
                    const std::string f = "I7_" + std::to_string(k) + s;
                    copy_as(*old, f, t, f);
                }
        }
    }
    t.put("SO_TOTAL", Value(true));
    t.commit();
    return t;
}

// Rural receipts and expenses of the cash book (its income rows of kind
// "R"); true when any was written.
bool monthly_entries(SourceTables& src, const std::string& cpf) {
    tb::Table* old = src.get(2);
    if (!old) return false;
    bool any = false;
    for (const std::uint32_t r : src.rows(2, cpf)) {
        old->go_to(r);
        if (text_of(*old, "I1_1") != "R" || number_of(*old, "I1_413") == 0) continue;
        tb::Table& t = rural_row(19, cpf);
        copy_shared(*old, t, {"DT_LC", "TIPOCR"});
        copy_as(*old, "I1_2", t, "DESCR");
        copy_as(*old, "I1_413", t, "VALOR");
        t.commit();
        any = true;
    }
    return any;
}

// Rural assets (17, from the cash book's 12) or debts (18, from its 13),
// replacing the taxpayer's rows.
void items(SourceTables& src, int code, int source, const std::string& cpf) {
    delete_rows(code, cpf);
    tb::Table* old = src.get(source);
    if (!old) return;
    const bool assets = code == 17;
    int number = 0;
    for (const std::uint32_t r : src.rows(source, cpf)) {
        old->go_to(r);
        tb::Table& t = rural_row(code, cpf);
        t.put(assets ? "I8R_0" : "I9R_0", Value(number));
        number += kStep;
        copy_shared(*old, t, {"ITEM"});
        if (assets) {
            copy_shared(*old, t, {"CODIGO"});
            copy_as(*old, "I8_1", t, "I8R_1");
            copy_as(*old, "I8_2", t, "I8R_2");
        } else {
            for (int k = 1; k <= 4; ++k) copy_as(*old, "I9_" + std::to_string(k), t, "I9R_" + std::to_string(k));
        }
        t.commit();
    }
}

}  // namespace

void mark_rural_register(const std::string& cpf) {
    for_each_row(9, cpf, [](tb::Table& reg) {
        reg.put("TEMRURAL", Value("S"));
        reg.put("ATV_BRASIL", Value("S"));
    });
}

void CONV_IRM_WZK(SourceTables& src, const std::string& cpf) {
    if (!src.get(15)) return;
    const auto rows = src.rows(15, cpf);
    if (rows.empty()) return;
    mark_rural_register(cpf);
    properties(src, rows, cpf);
    const std::uint32_t at = results(src, cpf).recno();
    if (monthly_entries(src, cpf)) {
        tb::Table& t = table(15);
        t.go_to(at);
        t.put("SO_TOTAL", Value(false));
        t.commit();
    }
    items(src, 17, 12, cpf);
    items(src, 18, 13, cpf);
}

}  // namespace qv::converter
