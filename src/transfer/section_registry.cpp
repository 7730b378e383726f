#include "transfer/section_writers.hpp"
#include "transfer/xml_frame.hpp"

namespace qv::transfer {

// Set again before each generation: cheap, and a writer taken away in the
// meantime is back.
void register_section_writers() {
    register_section_writer("rendaVariavel", [](Generation& g) { write_variable_income(g.out); });
    register_section_writer("atividadeRural", [](Generation& g) { write_rural_activity(g.out); });
    register_section_writer("ganhosDeCapital", [](Generation& g) { write_capital_gains(g.out); });
    register_section_writer("moedaEstrangeira", [](Generation& g) { write_foreign_currency(g.out); });
}

}  // namespace qv::transfer
