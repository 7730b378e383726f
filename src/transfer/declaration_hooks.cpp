#include "transfer/declaration_hooks.hpp"

#include "runtime/core/clock.hpp"
#include "transfer/section_writers.hpp"
#include "transfer/xml_frame.hpp"
#include "transfer/xml_sections.hpp"
#include "transfer/xml_values.hpp"

namespace qv::transfer {

std::string Moment::stamp() const { return time_stamp(day, time); }

Moment generation_moment() { return {rt::DATE(), rt::TIME()}; }

std::string tax_program_namespace() { return namespace_uri(); }

bool write_declaration(const std::string& path, const Moment& moment) {
    register_section_writers();
    return write_declaration_file(path, moment.day, moment.time);
}

std::string identifier_item(const Moment& moment) {
    XmlWriter out;
    Generation g{out, moment.day, moment.stamp()};
    prepare_generation(g);
    out.open("item");
    IDENTIF(g);
    return out.take();
}

}  // namespace qv::transfer
