#include "declaration/loop/declara_variables.hpp"

#include <string>

#include "common/calendar_names.hpp"
#include "common/globals.hpp"
#include "runtime/core/clock.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"

namespace qv::declaration {

namespace {

void declare(const std::string& name, rt::Value v) { rt::variables().declare_declaration(name, std::move(v)); }

std::string two(int n) { return rt::STRZERO(n, 2); }

rt::Value row_of(std::size_t cols, const rt::Value& fill) {
    rt::Value row = rt::Value::array(cols);
    for (auto& cell : *row.as_array()) cell = fill;
    return row;
}

rt::Value matrix(std::size_t rows, std::size_t cols, const rt::Value& fill) {
    rt::Value m = rt::Value::array(rows);
    for (auto& r : *m.as_array()) r = row_of(cols, fill);
    return m;
}

// Rows 1-12 labelled by month, row 13 the totals; value cells blank.
rt::Value month_matrix(std::size_t cols, std::size_t first, std::size_t last, int width, bool full_name,
                       const char* totals) {
    rt::Value m = matrix(13, cols, rt::Value());
    for (std::size_t r = 1; r <= 13; ++r) {
        rt::Array& row = *(*m.as_array())[r - 1].as_array();
        const int month = static_cast<int>(r);
        const std::string name = common::TRAZ_MES(month);
        row[0] = r == 13 ? rt::Value(totals)
                         : rt::Value(two(month) + "-" + (full_name ? name : rt::LEFT(name, 3)));
        for (std::size_t c = first; c <= last; ++c) row[c - 1] = rt::Value(rt::SPACE(width));
    }
    return m;
}

void own_state() {
    for (const char* n : {"PARE", "ULT_MES", "OPCCL", "TOT_RUR", "LEAO_ATRAS", "NSRECEITA", "NSIMPOSTO", "NTOTDEP",
                          "NSDEDUCAO", "N_DEPEN"})
        declare(n, rt::Value(0));
    declare("ULT_MES", rt::Value(1));
    declare("OPCCL", rt::Value(1));
    for (const char* n : {"REFAZ_IND", "SEMPF", "VER_CR"}) declare(n, rt::Value(false));
    declare("EDI_CAMPO", rt::Value(""));
    declare("MATATU", rt::Value::array());
    declare("NDEP", row_of(12, rt::Value(0)));
    declare("MRENVAR", matrix(28, 13, rt::Value(0)));
    declare("MRENFIN", matrix(6, 13, rt::Value(0)));
}

void page_lines() {
    for (int x = 1; x <= 9; ++x)
        for (int m = 1; m <= 16; ++m) declare("I2_" + std::to_string(x) + two(m), rt::Value(0));
    for (int i = 1; i <= 16; ++i) declare("I3_" + two(i), rt::Value(0));
    for (int i = 1; i <= 9; ++i) declare("I4_" + two(i), rt::Value(0));
    for (int i = 1; i <= 50; ++i) declare("I13_" + two(i), rt::Value(0));
    for (int i = 1; i <= 7; ++i) declare("I4R_" + two(i), rt::Value(0));
    for (int m = 1; m <= 12; ++m) {
        declare("I3_" + two(m) + "OR", rt::Value(0));
        declare("I3_" + two(m) + "OD", rt::Value(0));
        for (const char* p : {"REC_MES", "VAL_TRI", "IMP_DEV", "IMP_LEI"}) declare(p + two(m), rt::Value(0));
    }
    for (int i = 1; i <= 5; ++i)
        for (const char* s : {"B", "S", "C", "A", "V1", "V2"}) declare("I7_" + std::to_string(i) + s, rt::Value(0));
    for (const char* n : {"I9_2", "I9_3", "I13_1C", "I13_2C", "I13_3C", "I13_4C", "I13_5C"}) declare(n, rt::Value(0));
    declare("I9_4", rt::Value("N"));
    declare("I9_5", rt::Value("N"));
}

void defaults() {
    declare("I1_11", rt::Value("S"));
    declare("CPF", common::Global{"ULT_CPF"}.value().is_string() ? common::Global{"ULT_CPF"}.value()
                                                                  : rt::Value(rt::SPACE(11)));
    for (const char* n : {"TEMRURAL", "DECFINAL", "DECSAIDA", "PEQ_VALOR", "VEN_VISTA"}) declare(n, rt::Value("N"));
    for (const char* n : {"DECJUDI", "USAPADRAO", "SO_SIMPLES"}) declare(n, rt::Value("S"));
    declare("INDALERTA", rt::Value(10));
    declare("CAL_AUTO", rt::Value(1));
    declare("DAY_TRADE", rt::Value("1"));
    declare("TIPO_BEM", rt::Value(1));
    declare("BEM_NRO", rt::Value(1));
    declare("RVAR_NRO", rt::Value(1));
    declare("SIMB_MOED", rt::Value("R$ "));
    declare("DATA_CUST", rt::Value(rt::DATE()));
    declare("PIC_USU", rt::Value("@Ez 99,999,999,999.9999"));
    declare("SO_TOTAL", rt::Value(true));
    declare("ATV_BRASIL", rt::Value(" "));
    declare("TELA", rt::Value(1));
    declare("TELVEL", rt::Value(1));
    declare("TELMAX", rt::Value(11));
    declare("TELANT", rt::Value(0));
    declare("SEM_SALV", rt::Value(rt::TIME()));
    for (const char* n : {"NT", "OPCIR_1", "ULTTECLA", "TELAMAX", "TEM_USO", "TAM_USO", "TEMGAST", "INI_DECLA",
                          "FIM_DECLA"})
        declare(n, rt::Value(0));
    for (const char* n : {"TECLAMUDA", "PVEZ", "JA_CALC", "LRECUPERA", "ZOOM_BEM", "ZOOM_DIV", "ZOOM_BEM2",
                          "ZOOM_DIV2"})
        declare(n, rt::Value(false));
    declare("INI", rt::Value("N"));
    declare("SO_MOS", rt::Value(1));
}

// Working values of the pages, released with the declaration.
void page_work() {
    for (const char* n : {"NADVOGADO", "NALUGUEL", "NOUTROS", "NAJUSTE", "NTOTEMPREG", "NDOABENS", "NPARTIDO",
                          "QUAL_MES", "TAM_OLD", "QTD_DEP", "OPC"})
        declare(n, rt::Value(0));
    for (const char* n : {"TROCOU", "LINVER", "LEAO_CAL", "SO_WZK"}) declare(n, rt::Value(false));
    for (const char* n : {"CCALCINV", "NUSACOMP", "ATV_ANTES"}) declare(n, rt::Value(" "));
}

void month_matrices() {
    declare("CALC_MENS", month_matrix(3, 2, 3, 11, false, "Totais"));
    declare("REC_MENSAL", month_matrix(9, 2, 8, 11, false, "Totais"));
    declare("REC_GANHO", month_matrix(6, 3, 6, 14, true, "<- Totais ->"));
    declare("REND_RURAL", matrix(12, 2, rt::Value(0)));
    declare("TRECRUR", row_of(13, rt::Value(0)));
    declare("TDESRUR", row_of(13, rt::Value(0)));
    declare("MES_NEG", rt::Value(12));
}

}  // namespace

void create_declaration_variables() {
    own_state();
    page_lines();
    defaults();
    page_work();
    month_matrices();
}

}  // namespace qv::declaration
