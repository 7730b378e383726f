#include "common/entry_notices.hpp"

#include "common/avisosn.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/ui/get_settings.hpp"

namespace qv::common {

using rt::operator""_cp;

void install_entry_notices() {
    rt::set_entry_notice([](rt::EntryRefusal why) {
        switch (why) {
            case rt::EntryRefusal::BadDate:
                AVISOSN("Data inválida! Confira o dia, o mês e o ano."_cp, 0);
                break;
            case rt::EntryRefusal::TooLarge:
                AVISOSN("O valor digitado é maior do que o campo comporta."_cp, 0);
                break;
            case rt::EntryRefusal::Negative:
                AVISOSN("Não é permitido valor negativo nesse campo."_cp, 0);
                break;
        }
    });
}

}  // namespace qv::common
