#include "converter/declaration_file.hpp"

#include <fstream>
#include <iterator>

#include "common/documents.hpp"
#include "common/paths.hpp"
#include "runtime/core/cp850.hpp"
#include "runtime/core/text.hpp"

namespace qv::converter {

using rt::operator""_cp;

std::string LELINHA(FileBuffer& file) {
    const std::size_t start = file.pos;
    std::size_t end = start;
    while (end < file.bytes.size() && file.bytes[end] != '\n' && file.bytes[end] != '\0') ++end;
    if (end < file.bytes.size()) ++end;
    file.pos = end;
    return file.bytes.substr(start, end - start);
}

std::string receipt_number(std::string_view ten_digits) {
    const std::string digits = rt::ALLTRIM(ten_digits);
    if (digits.empty()) return {};
    std::string out = digits + common::MODULO_11(digits);
    return out + common::MODULO_11(out);
}

std::optional<Header> read_header(std::string_view first_line) {
    const Line line(first_line);
    const std::string year = line.raw(9, 12);
    if (year != "2011" && year != "2012") return std::nullopt;
    Header h;
    h.kind = line.raw(1, 4);
    h.file_kind = line.raw(1, 8);
    h.year = std::stoi(year);
    h.receipt = receipt_number(line.raw(165, 174));
    h.previous = receipt_number(line.raw(204, 213));
    return h;
}

namespace {

std::string without_line_end(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '\0')) s.pop_back();
    return s;
}

}  // namespace

DeclarationFile parse_declaration(std::string name, std::string bytes) {
    DeclarationFile file;
    file.name = std::move(name);
    if (bytes.empty()) {
        file.fault = FileFault::Empty;
        return file;
    }
    FileBuffer buffer{std::move(bytes), 0};
    bool ended = false;
    while (buffer.pos < buffer.bytes.size()) {
        std::string line = LELINHA(buffer);
        ended = !line.empty() && line.back() == '\n';
        file.texts.push_back(without_line_end(std::move(line)));
    }
    const auto header = read_header(file.texts.front());
    if (!header) {
        file.fault = FileFault::NotDeclaration;
        return file;
    }
    file.header = *header;
    if (file.texts.size() < 2 || Line(file.texts[1]).type() != "16") {
        file.fault = FileFault::WrongLayout;
        return file;
    }
    if (!ended || Line(file.texts.back()).type() != "T9") file.fault = FileFault::Truncated;
    return file;
}

DeclarationFile read_declaration(const std::string& path) {
    std::ifstream in(common::fs_path(path), std::ios::binary);
    if (!in) {
        DeclarationFile file;
        file.name = common::TIRA_DIR(path);
        file.fault = FileFault::Unreadable;
        return file;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse_declaration(common::TIRA_DIR(path), std::move(bytes));
}

std::string fault_text(FileFault fault) {
    switch (fault) {
        case FileFault::Unreadable: return "Erro de leitura";
        case FileFault::Empty: return "arquivo vazio";
        case FileFault::NotDeclaration: return "não é uma declaração de 2011 ou 2012"_cp;
        case FileFault::WrongLayout: return "Leiaute diferente do esperado.Não é possível converter"_cp;
        case FileFault::Truncated: return "arquivo incompleto, nada convertido";
        case FileFault::None: break;
    }
    return {};
}

}  // namespace qv::converter
