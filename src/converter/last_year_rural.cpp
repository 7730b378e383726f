// Last year's rural activity opening this year's: the properties, the
// herd at the start of the year, the assets still held and the debts
// still open.
#include "converter/last_year_import.hpp"
#include "converter/table_rows.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

namespace {

using rt::Value;

// The herd at the end of last year: what there was, was born and was
// bought, less what died and was sold.
double herd_at_year_end(tb::Table& old, const std::string& kind) {
    auto n = [&](int line) { return number_of(old, ("I7_" + std::to_string(line) + kind).c_str()); };
    return n(1) + n(2) + n(3) - (n(4) + n(5));
}

void summaries(SourceTables& src, const std::string& cpf) {
    each_source(src, 15, cpf, [&](tb::Table& old) {
        tb::Table& t = new_row(15, cpf);
        copy_shared(old, t, {"ATV_BRASIL", "I7_V1"});
        copy_as(old, "I5_08", t, "I4R_04");
        copy_as(old, "I5_09", t, "I5_10");
        for (const char* kind : {"B", "S", "C", "A"}) t.put(std::string("I7_1") + kind, Value(herd_at_year_end(old, kind)));
        const bool other_herd = !rt::ALLTRIM(text_of(old, "I7_V1")).empty();
        t.put("I7_1V1", Value(other_herd ? herd_at_year_end(old, "V1") : 0.0));
        t.put("SO_TOTAL", Value(false));
        t.commit();
    });
}

// Assets not sold (I8R_4 1 marks a sale) and debts with a closing value,
// numbered again from 1 with room of ten between items.
void items(SourceTables& src, const std::string& cpf, bool assets) {
    int item = 0;
    each_source(src, assets ? 17 : 18, cpf, [&](tb::Table& old) {
        if (assets ? number_of(old, "I8R_4") == 1 : number_of(old, "I9R_3") <= 0) return;
        tb::Table& t = new_row(assets ? 17 : 18, cpf);
        ++item;
        t.put("ITEM", Value(item));
        copy_shared(old, t, {"ATV_BRASIL"});
        if (assets) {
            t.put("I8R_0", Value(10 * item));
            copy_shared(old, t, {"I8R_1", "I8R_4", "CODIGO"});
            t.put("I8R_2", Value(0.0));
        } else {
            t.put("I9R_0", Value(10 * item));
            copy_shared(old, t, {"I9R_1"});
            copy_as(old, "I9R_3", t, "I9R_2");
            t.put("I9R_3", Value(0.0));
        }
        t.commit();
    });
}

}  // namespace

void CONV_HELPAR(SourceTables& src, const std::string& cpf) {
    mark_rural_register(cpf);
    each_source(src, 16, cpf, [&](tb::Table& old) {
        tb::Table& t = new_row(16, cpf);
        copy_shared(old, t, {"ATV_BRASIL", "I2R_01", "I2R_02", "I2R_03", "I2R_04", "I2R_05", "I2R_06", "I2R_07"});
        t.commit();
    });
    summaries(src, cpf);
    items(src, cpf, true);
    items(src, cpf, false);
}

}  // namespace qv::converter
