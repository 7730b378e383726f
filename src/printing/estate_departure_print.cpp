// The identification's blocks of an estate declaration (the executor and
// the court decision or the public deed) and of a definitive departure (the
// attorney and the dates of non-residence and residence).
#include <string>

#include "common/globals.hpp"
#include "printing/declaration_pages.hpp"
#include "printing/page_layout.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"

namespace qv::printing {

using common::Global;

namespace {

std::string date_of(std::string_view global) { return rt::TRANSFORM(Global{global}.value(), "@D"); }
std::string count_of(std::string_view global) { return rt::ALLTRIM(shown(number(global), "@Z 9999999")); }

void court_decision() {
    line(0, "INFORMACOES SOBRE A DECISAO JUDICIAL");
    put(0, "Nro. do processo: " + text("NROPROCES"));
    line(45, "Vara: " + text("VARACIVIL"));
    put(0, "Comarca: " + text("COMARCA"));
    line(45, "UF: " + text("UFPROCES"));
    put(0, "Data da decisao judicial: " + date_of("DATAPARTI"));
    line(45, "Transito em julgado: " + date_of("DATADECIS"));
}

void public_deed() {
    line(0, "INFORMACOES SOBRE A ESCRITURA PUBLICA");
    put(0, "CNPJ do cartorio: " + rt::TRANSFORM(rt::Value(text("CNPJCARTO")), "@r 99.999.999/9999-99"));
    line(45, "Data da lavratura: " + date_of("DATALAVRA"));
    line(0, "Nome do cartorio: " + text("NOMECARTO"));
    put(0, "Livro: " + count_of("LIVRCARTO"));
    line(45, "Folha: " + count_of("FOLHCARTO"));
    put(0, "Municipio: " + text("MUNICARTO"));
    line(45, "UF: " + text("UFPROCES"));
}

}  // namespace

void representative(std::string_view title) {
    line(0, title);
    put(0, "CPF: " + rt::TRANSFORM(rt::Value(text("CPFINVENT")), kCpfPicture));
    line(30, "Nome: " + text("NOMINVENT"));
    line(0, "Endereco: " + text("ENDINVENT"));
}

void estate_and_departure() {
    if (text("DECFINAL") == "S") {
        PULA_PAG(10);
        line(0, "ESPOLIO");
        representative("INDENTIFICACAO DO INTERESSADO COMO PODERES DE INVENTARIANTE");
        if (text("DECJUDI") == "S") court_decision();
        else public_deed();
        separator();
    } else if (text("DECSAIDA") == "S") {
        PULA_PAG(8);
        line(0, "SAIDA");
        representative("INDENTIFICACAO DO PROCURADOR");
        line(0, "Data da condicao de nao residente: " + date_of("DATASAIDA"));
        line(0, "Data da condicao de residente:     " + date_of("DATADECIS"));
        separator();
    }
}

}  // namespace qv::printing
