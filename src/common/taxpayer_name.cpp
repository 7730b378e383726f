#include "common/taxpayer_name.hpp"

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/value.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/workspace.hpp"
#include "runtime/ui/read.hpp"

namespace qv::common {

namespace {

const Global kNomeContr{"NOMECONTR"};
const Global kCpf{"CPF"};
const Global kAlj{"ALJ"};
const Global kAcj{"ACJ"};
const Global kNt{"NT"};

constexpr long kNameWidth = 53;

int origin(const Global& positions) {
    const auto nt = static_cast<std::size_t>(kNt.number(1));
    return static_cast<int>(number_of(positions.value().at(nt)));
}

}  // namespace

bool VER_NOME() {
    rt::table::Table* reg = rt::table::workspace().table(kRegisterArea);
    if (reg == nullptr) return true;
    // The name is typed anew: a name left from the taxpayer shown would
    // stay behind the letters typed over it.
    const rt::Value shown = kNomeContr.value();
    kNomeContr.set(rt::Value(rt::SPACE(kNameWidth)));

    rt::GetList gets;
    gets.emplace_back(origin(kAlj) + 1, origin(kAcj) + 18, "M->NOMECONTR", "@!");
    if (!rt::READ(gets) || rt::LASTKEY() == rt::key::ESC) {
        // Esc gives the search up: nobody is chosen, the CPF is asked again.
        kNomeContr.set(shown);
        rt::call_routine("MOSTR_PAG", {rt::Value(2)});
        return false;
    }
    reg->set_order(2);
    if (!reg->seek(rt::Value(rt::TRIM(kNomeContr.text())), /*soft=*/true)) rt::call_routine("GERAL");
    kCpf.set(reg->get("CPF"));
    kNomeContr.set(reg->get("NOMECONTR"));
    rt::call_routine("MOSTR_PAG", {rt::Value(2)});
    reg->set_order(1);
    MENS();
    return true;
}

}  // namespace qv::common
