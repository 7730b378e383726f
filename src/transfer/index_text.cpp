#include "transfer/index_text.hpp"

namespace qv::transfer {
namespace {

constexpr std::string_view kItemOpen = "<item";
constexpr std::string_view kCopyOpen = "<copiaIdentificador";
// A root closed without items ends so.
constexpr std::string_view kEmptyRootEnd = R"(Declaracao"/>)";

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool starts_with(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

std::string root_pieces(std::string_view uri) {
    std::string out = "<classe xmlns=\"";
    out += uri;
    out += "\"";
    out += R"( classeJava="serpro.ppgd.irpf.ColecaoIdDeclaracao")";
    out += R"( tipoItens="serpro.ppgd.irpf.IdentificadorDeclaracao")";
    return out;
}

}  // namespace

std::vector<std::string> index_tags(std::string_view text) {
    std::vector<std::string> tags;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && blank(text[at])) ++at;
        if (at >= text.size() || text[at] == '\0') break;
        const std::size_t close = text.find('>', at);
        const std::size_t nul = text.find('\0', at);
        if (close == std::string_view::npos || (nul != std::string_view::npos && nul < close)) break;
        tags.emplace_back(text.substr(at, close + 1 - at));
        at = close + 1;
    }
    return tags;
}

std::string index_root(std::string_view uri, std::string_view stamp) {
    return root_pieces(uri) + " dataHoraSalvamento=\"" + std::string(stamp) + "\">";
}

std::string rebuilt_index_root(std::string_view uri) { return root_pieces(uri) + ">"; }

std::string item_cpf(std::string_view tag) {
    // "<item cpf=\"" takes the first eleven characters.
    constexpr std::string_view kLead = "<item cpf=\"";
    if (!starts_with(tag, kLead) || tag.size() < kLead.size() + 14) return {};
    return std::string(tag.substr(kLead.size(), 14));
}

std::string updated_index(std::string_view old_text, std::string_view ccpf, std::string_view item,
                          std::string_view uri, std::string_view stamp) {
    std::string out;
    if (old_text.empty()) {
        out = std::string(kXmlDeclaration) + index_root(uri, stamp);
    } else {
        for (const auto& tag : index_tags(old_text)) {
            if (starts_with(tag, kItemOpen)) {
                if (item_cpf(tag) != ccpf) out += tag;
                continue;
            }
            if (starts_with(tag, kClassClose)) break;
            const std::string_view t = tag;
            if (t.size() >= kEmptyRootEnd.size() && t.substr(t.size() - kEmptyRootEnd.size()) == kEmptyRootEnd) {
                out += index_root(uri, stamp);
                break;
            }
            out += tag;
        }
    }
    out += item;
    out += kClassClose;
    return out;
}

std::string item_from_declaration(std::string_view declaration) {
    for (const auto& tag : index_tags(declaration)) {
        if (starts_with(tag, kCopyOpen)) return std::string(kItemOpen) + tag.substr(kCopyOpen.size());
        if (starts_with(tag, kClassClose)) break;
    }
    return {};
}

}  // namespace qv::transfer
