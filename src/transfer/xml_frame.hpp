#pragma once
// The declaration file as a whole: the working values its sections share,
// the fixed order of the 26 sections under the root, and the writers of
// those sections by element name. Writers of sections kept elsewhere are
// registered by name; a section without a writer is left out.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include "runtime/core/date.hpp"
#include "transfer/xml_writer.hpp"

namespace qv::transfer {

// A person of the dependants' table as the payments see it.
struct ListedPerson {
    int number = 0;
    std::string name;
    int code = 0;
    std::string cpf;
};

// The legal-person sources of one side (taxpayer or dependants).
struct SourceTotals {
    double income = 0, withheld = 0, social_security = 0, thirteenth = 0;
    std::string largest_source;   // I1_3 of the source with the largest income
    double largest = 0;
    bool any = false;
};

// What one generation shares between its sections.
struct Generation {
    Generation(XmlWriter& writer, rt::Date day, std::string time_stamp)
        : out(writer), today(day), stamp(std::move(time_stamp)) {}

    XmlWriter& out;
    rt::Date today;
    std::string stamp;            // "dd/mm/yyyy hh:mm:ss", one for the whole file
    bool abroad = false;          // EXTERIOR
    std::string cexter = "0";     // CEXTER
    std::string ccpf;             // CCPF, "999.999.999-99"
    std::string ctipo = "0";      // CTIPO
    std::vector<ListedPerson> people;   // dependants list, heirs left out
    int dependants_proper = 0;
    SourceTotals holder, dependants;
    double dependants_judicial_deposits = 0;   // set by section 4, read by the summary
    double electoral_donations = 0;            // NELEICAO, set by the payments
};

using SectionWriter = std::function<void(Generation&)>;

// The 26 section elements in the order they stand under the root.
std::span<const std::string_view> section_order();
// Sets (or replaces) the writer of a section by its element name; an
// empty writer takes the section's writer away.
void register_section_writer(std::string_view element, SectionWriter writer);
// nullptr when the section has no writer.
const SectionWriter* section_writer(std::string_view element);

// The identifier attribute set (cpf .. transmitida, the last closing the
// element with "/>") after an element opened in `out`: the copy identifier,
// the summary's identifiers and the item of the tax program's index.
void IDENTIF(XmlWriter& out, const Generation& g);
inline void IDENTIF(Generation& g) { IDENTIF(g.out, g); }

// The pre-walks: dependants list and legal-person totals (with the
// globals they reset or replace), and the working values.
void prepare_generation(Generation& g);

// Writes the whole document through `g.out`: the XML declaration line, the
// root and every section in order, the copy identifier and the root's end.
void write_document(Generation& g);

// Creates `path` and writes the document into it; false when the file
// cannot be created (the file error is shown) or written (the file is then
// not to be used).
bool write_declaration_file(const std::string& path, rt::Date today, std::string_view hhmmss);

// The terminal's own file a generation writes first: "Decla<NUSU>.XML" in
// the work folder LOCTRAB.
std::string work_file_name();

// The namespace URI of the root: the variable XMLNS_IRPF, else the
// environment variable QV_XMLNS_IRPF, else the default.
std::string namespace_uri();
inline constexpr std::string_view kDefaultNamespace = "urn:irpf2012:declaracao";

}  // namespace qv::transfer
