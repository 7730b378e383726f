#include "office/letter_document.hpp"

#include <algorithm>

#include "common/globals.hpp"
#include "common/messages.hpp"
#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"
#include "transfer/shared_file.hpp"

namespace qv::office {

using rt::operator""_cp;

namespace {

constexpr std::string_view kHeaderOpen = common::kLetterHeaderOpen;
constexpr std::string_view kHeaderClose = "\xB3\xB2";   // "│▓"
constexpr std::size_t kHeaderSize = 19;

int field(std::string_view header, std::size_t from, std::size_t len) {
    return static_cast<int>(rt::VAL(header.substr(from, len)));
}

}  // namespace

std::string FORMATA(const LetterFormat& f) {
    return std::string(kHeaderOpen) + rt::STR(f.left, 3) + rt::STR(f.right, 3) + rt::STR(f.width, 3) +
           rt::STR(f.lines, 2) + rt::STR(f.top, 2) + rt::STR(f.bottom, 2) + std::string(kHeaderClose);
}

LetterParts MEMORDOC(std::string_view file_text) {
    LetterParts parts;
    if (file_text.substr(0, 2) != kHeaderOpen) {
        parts.text = std::string(file_text);
        return parts;
    }
    const std::string_view h = file_text.substr(0, kHeaderSize);
    parts.format = {field(h, 2, 3), field(h, 5, 3), field(h, 8, 3), field(h, 11, 2), field(h, 13, 2), field(h, 15, 2)};
    // A damaged header must not leave a letter that cannot be printed.
    if (parts.format.width <= 0) parts.format.width = LetterFormat{}.width;
    if (parts.format.lines <= parts.format.top + parts.format.bottom) parts.format.lines = LetterFormat{}.lines;
    parts.text = std::string(file_text.substr(std::min(kHeaderSize, file_text.size())));
    return parts;
}

std::string letter_file_text(const LetterFormat& f, std::string_view text) {
    return (f == LetterFormat{} ? std::string() : FORMATA(f)) + std::string(text);
}

LetterDoc ABRTXT(std::string_view name) {
    LetterDoc doc;
    doc.name = letter_file_name(name);
    if (const auto content = transfer::read_whole_file(common::fs_path(letter_path(doc.name)).string())) {
        LetterParts parts = MEMORDOC(*content);
        doc.format = parts.format;
        doc.text = std::move(parts.text);
    }
    return doc;
}

bool EDITWRITE(LetterDoc& doc) {
    if (!doc.modified) {
        common::MENS(15, "O arquivo não foi modificado. Não será gravado."_cp);
        return false;
    }
    common::MENS(0, "Gravando " + doc.name);
    const std::string path = common::fs_path(common::letter_save_path(doc.name)).string();
    if (transfer::replace_file(path, letter_file_text(doc.format, doc.text)) != 0) {
        common::MENS(11, "Erro na gravação"_cp);
        return false;
    }
    doc.modified = false;
    common::MENS(15, "Gravação OK"_cp);
    return true;
}

}  // namespace qv::office
