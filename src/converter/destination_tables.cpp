#include "converter/destination_tables.hpp"

#include "tables/opening.hpp"

namespace qv::converter {

bool CRIA_BASE() {
    for (const int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 15, 16, 17, 18, 20})
        if (!tables::ABERTURA(code)) return false;
    // The descriptions of occupations and natures are looked up when found.
    tables::ABERTURA(58);
    tables::ABERTURA(59);
    return true;
}

}  // namespace qv::converter
