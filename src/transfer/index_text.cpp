#include "transfer/index_text.hpp"

namespace qv::transfer {
namespace {

constexpr std::string_view kItemOpen = "<item";
constexpr std::string_view kCopyOpen = "<copiaIdentificador";
// A root closed without items ends so.
constexpr std::string_view kEmptyRootEnd = R"(Declaracao"/>)";

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool starts_with(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// The CPF an item tag stands for, as a view into the tag; empty for another
// tag ("<item cpf=\"" takes the first eleven characters).
std::string_view cpf_of_item(std::string_view tag) {
    constexpr std::string_view kLead = "<item cpf=\"";
    if (!starts_with(tag, kLead) || tag.size() < kLead.size() + 14) return {};
    return tag.substr(kLead.size(), 14);
}

bool ends_with(std::string_view s, std::string_view p) {
    return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}

std::string root_pieces(std::string_view uri) {
    std::string out = "<classe xmlns=\"";
    out += uri;
    out += "\"";
    out += R"( classeJava="serpro.ppgd.irpf.ColecaoIdDeclaracao")";
    out += R"( tipoItens="serpro.ppgd.irpf.IdentificadorDeclaracao")";
    return out;
}

}  // namespace

void for_each_tag(std::string_view text, const std::function<bool(std::string_view)>& visit) {
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && blank(text[at])) ++at;
        if (at >= text.size() || text[at] == '\0') break;
        // The tag's end, then a NUL within the tag: each search only as far
        // as this tag reaches.
        const std::size_t close = text.find('>', at);
        const std::string_view tag = text.substr(at, close == std::string_view::npos ? close : close + 1 - at);
        if (tag.find('\0') != std::string_view::npos || close == std::string_view::npos) break;
        if (!visit(tag)) break;
        at = close + 1;
    }
}

std::vector<std::string> index_tags(std::string_view text) {
    std::vector<std::string> tags;
    for_each_tag(text, [&tags](std::string_view tag) {
        tags.emplace_back(tag);
        return true;
    });
    return tags;
}

std::string index_root(std::string_view uri, std::string_view stamp) {
    return root_pieces(uri) + " dataHoraSalvamento=\"" + std::string(stamp) + "\">";
}

std::string rebuilt_index_root(std::string_view uri) { return root_pieces(uri) + ">"; }

std::string item_cpf(std::string_view tag) { return std::string(cpf_of_item(tag)); }

void updated_index(std::string& out, std::string_view old_text, std::string_view ccpf, std::string_view item,
                   std::string_view uri, std::string_view stamp) {
    out.clear();
    out.reserve(old_text.size() + item.size() + kClassClose.size() + 256);
    if (old_text.empty()) {
        out += kXmlDeclaration;
        out += index_root(uri, stamp);
    } else {
        for_each_tag(old_text, [&](std::string_view tag) {
            if (starts_with(tag, kItemOpen)) {
                if (cpf_of_item(tag) != ccpf) out += tag;
                return true;
            }
            if (starts_with(tag, kClassClose)) return false;
            if (ends_with(tag, kEmptyRootEnd)) {
                out += index_root(uri, stamp);
                return false;
            }
            out += tag;
            return true;
        });
    }
    out += item;
    out += kClassClose;
}

std::string updated_index(std::string_view old_text, std::string_view ccpf, std::string_view item,
                          std::string_view uri, std::string_view stamp) {
    std::string out;
    updated_index(out, old_text, ccpf, item, uri, stamp);
    return out;
}

std::string item_from_declaration(std::string_view declaration) {
    std::string item;
    for_each_tag(declaration, [&item](std::string_view tag) {
        if (starts_with(tag, kCopyOpen)) item = std::string(kItemOpen) + std::string(tag.substr(kCopyOpen.size()));
        return item.empty() && !starts_with(tag, kClassClose);
    });
    return item;
}

}  // namespace qv::transfer
