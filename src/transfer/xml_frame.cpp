#include "transfer/xml_frame.hpp"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>

#include "common/file_errors.hpp"
#include "declaration/calc/declaration_values.hpp"
#include "runtime/core/text.hpp"
#include "tables/state.hpp"
#include "transfer/xml_sections.hpp"

namespace qv::transfer {

namespace {

constexpr std::array<std::string_view, 26> kSections = {
    "contribuinte", "conjuge", "rendPJ", "rendPJComExigibilidade", "rendPFTitular", "rendPFDependente",
    "rendAcm", "rendIsentos", "rendTributacaoExclusiva", "impostoPago", "dependentes", "alimentandos",
    "herdeiros", "pagamentos", "bens", "dividas", "espolio", "resumo", "comparativo", "doacoes", "saida",
    "rendaVariavel", "atividadeRural", "ganhosDeCapital", "moedaEstrangeira", "copiaIdentificador"};

std::map<std::string, SectionWriter, std::less<>>& writers() {
    static std::map<std::string, SectionWriter, std::less<>> table;
    return table;
}

void register_own_sections() {
    static std::once_flag once;
    std::call_once(once, [] {
        const std::pair<std::string_view, void (*)(Generation&)> own[] = {
            {"contribuinte", write_contribuinte},
            {"conjuge", write_conjuge},
            {"rendPJ", write_rend_pj},
            {"rendPJComExigibilidade", write_rend_pj_exigibilidade},
            {"rendPFTitular", write_rend_pf_titular},
            {"rendPFDependente", write_rend_pf_dependente},
            {"rendAcm", write_rend_acm},
            {"rendIsentos", write_rend_isentos},
            {"rendTributacaoExclusiva", write_rend_exclusiva},
            {"impostoPago", write_imposto_pago},
            {"dependentes", write_dependentes},
            {"alimentandos", write_alimentandos},
            {"herdeiros", write_herdeiros},
            {"pagamentos", write_pagamentos},
            {"bens", write_bens},
            {"dividas", write_dividas},
            {"espolio", write_espolio},
            {"resumo", write_resumo},
            {"comparativo", write_comparativo},
            {"doacoes", write_doacoes},
            {"saida", write_saida},
            {"copiaIdentificador", [](Generation& g) {
                 g.out.open("copiaIdentificador");
                 IDENTIF(g);
             }},
        };
        for (const auto& [name, fn] : own)
            if (!writers().contains(name)) writers().emplace(std::string(name), fn);
    });
}

// Step 2: the people of the dependants' table, heirs left out.
void collect_people(Generation& g) {
    g.people.clear();
    g.dependants_proper = 0;
    each_row(kPeopleArea, [&](rt::table::Table& t) {
        const int code = static_cast<int>(field_amount(t, "CODIDEPEN"));
        if (code == 100) return;
        g.people.push_back({static_cast<int>(field_amount(t, "NRODEPEN")), field_text(t, "NOMEDEPEN"), code,
                            field_text(t, "CPFDEPEN")});
        if (code < 97) ++g.dependants_proper;
    });
}

void add_source(SourceTotals& side, rt::table::Table& t) {
    const double income = field_amount(t, "I1_4");
    side.income += income;
    side.withheld += field_amount(t, "I1_5");
    side.social_security += field_amount(t, "I1_6");
    side.thirteenth += field_amount(t, "I1_7");
    if (!side.any || income > side.largest) {
        side.largest = income;
        side.largest_source = field_text(t, "I1_3");
        side.any = true;
    }
}

// Step 3: the legal-person totals of both sides.
void walk_sources(Generation& g) {
    g.holder = {};
    g.dependants = {};
    double exempt = 0, exclusive = 0, foreign = 0;
    each_row(kSourcesArea, [&](rt::table::Table& t) {
        const std::string kind = rt::UPPER(rt::LEFT(field_text(t, "I1_1"), 1));
        if (kind == "J") add_source(g.holder, t);
        if (kind != "D") return;
        add_source(g.dependants, t);
        exempt += field_amount(t, "I1_9");
        exclusive += field_amount(t, "I1_10");
        foreign += field_amount(t, "I1_13");
    });
    declaration::set_amount("I4_01", g.holder.thirteenth);
    declaration::set_amount("I4_07", g.dependants.thirteenth);
    for (const char* name : {"NIMPFTIT", "NIMPFDEP", "NTRIFTIT", "NISENTIT"}) declaration::set_amount(name, 0.0);
    declaration::set_amount("NISENDEP", exempt);
    declaration::set_amount("NTRIFDEP", exclusive);
    declaration::set_amount("NMENDEP", foreign);
}

// A file that cannot be created for want of its folder is a missing path,
// not a missing file.
int creation_error_code(int errnum) { return errnum == ENOENT ? 3 : common::dos_error_code(errnum); }

void write_root(Generation& g) {
    g.out.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    g.out.open("classe");
    g.out.text("xmlns", namespace_uri());
    g.out.text("classeJava", "serpro.ppgd.irpf.DeclaracaoIRPF");
    g.out.text("dataHoraSalvamento", g.stamp, Close::Start);
}

}  // namespace

std::span<const std::string_view> section_order() { return kSections; }

void register_section_writer(std::string_view element, SectionWriter writer) {
    register_own_sections();
    if (!writer) writers().erase(std::string(element));
    else writers().insert_or_assign(std::string(element), std::move(writer));
}

const SectionWriter* section_writer(std::string_view element) {
    register_own_sections();
    const auto it = writers().find(element);
    return it == writers().end() ? nullptr : &it->second;
}

std::string namespace_uri() {
    std::string setting = rt::ALLTRIM(declaration::text("XMLNS_IRPF"));
    if (setting.empty())
        if (const char* env = std::getenv("QV_XMLNS_IRPF")) setting = rt::ALLTRIM(env);
    return setting.empty() ? std::string(kDefaultNamespace) : setting;
}

std::string work_file_name() {
    return tables::in_folder(global_text("LOCTRAB"), "Decla" + rt::ALLTRIM(global_text("NUSU")) + ".XML");
}

void prepare_generation(Generation& g) {
    collect_people(g);
    walk_sources(g);
    g.abroad = rt::UPPER(rt::ALLTRIM(declaration::text("UF"))) == "EX";
    g.cexter = g.abroad ? "1" : "0";
    g.ccpf = cpf_text(declaration::text("CPF"));
    g.ctipo = declaration::is("USAPADRAO", 'S') ? "1" : "0";
}

void write_document(Generation& g) {
    write_root(g);
    for (std::string_view section : kSections) {
        if (const SectionWriter* writer = section_writer(section)) (*writer)(g);
    }
    g.out.end("classe");
}

bool write_declaration_file(const std::string& path, rt::Date today, std::string_view hhmmss) {
    XmlWriter out;
    if (!out.create(path)) {
        common::VEJAERRO(creation_error_code(out.create_error()), path);
        return false;
    }
    Generation g{out, today, time_stamp(today, hhmmss)};
    prepare_generation(g);
    write_document(g);
    return out.close();
}

}  // namespace qv::transfer
