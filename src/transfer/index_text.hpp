#pragma once
// The text of the tax program's declaration index "iddeclaracoes.xml": one
// `classe` root holding an `item` per declaration, tags written one after
// the other without line breaks.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::transfer {

inline constexpr std::string_view kIndexName = "iddeclaracoes.xml";
inline constexpr std::string_view kXmlDeclaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";
inline constexpr std::string_view kClassClose = "</classe>";

// The tags of a text, each up to and including its ">". Blanks and line
// breaks between tags are skipped, so a pretty-printed index reads the same;
// the reading stops at a NUL byte or at the end, and an unfinished last tag
// is left out.
std::vector<std::string> index_tags(std::string_view text);
// The same tags as views into `text`, one at a time, until `visit` answers
// false.
void for_each_tag(std::string_view text, const std::function<bool(std::string_view)>& visit);

// The root as the program writes it, with the time of writing.
std::string index_root(std::string_view uri, std::string_view stamp);
// The root of a rebuilt index: without the time of writing.
std::string rebuilt_index_root(std::string_view uri);

// The CPF ("999.999.999-99") an item stands for; empty for another tag.
std::string item_cpf(std::string_view tag);

// The index after this taxpayer's transfer: the old index without the item
// of `ccpf`, the new item at the end, then the closing tag. `old_text` empty
// means there was no index (it starts with the XML declaration and root).
// `item` is the whole new tag, "<item" + the identifier attributes.
std::string updated_index(std::string_view old_text, std::string_view ccpf, std::string_view item,
                          std::string_view uri, std::string_view stamp);
// The same written into `out`, whose storage is kept.
void updated_index(std::string& out, std::string_view old_text, std::string_view ccpf, std::string_view item,
                   std::string_view uri, std::string_view stamp);

// A declaration file's own identifier as an index item ("<item" + the
// attributes of its `copiaIdentificador`); empty when the file has none.
std::string item_from_declaration(std::string_view declaration);

}  // namespace qv::transfer
