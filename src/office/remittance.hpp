#pragma once
// The bank's collection remittance file: 400-column records with CR LF, one
// header, one detail per slip, one trailer.
#include <string>
#include <vector>

#include "runtime/core/date.hpp"

namespace qv::office {

struct Issuer {
    std::string agency, account, name, cnpj, cpf, wallet;   // BOL_AGENCI .. BOL_CARTEI
};

struct Payer {
    std::string street_type, street, number, district, cep, city, state;   // from the register
};

struct Slip {
    long document = 0;    // NRODOCUM
    long reference = 0;   // NOSSONRO
    rt::Date due;         // DATADOC
    double amount = 0;    // VALORDOC
    std::string name;     // NOMESAC
    std::string cpf;      // CPFSAC
    Payer payer;
};

std::string remittance_header(const Issuer& issuer, rt::Date generated);
std::string remittance_detail(const Issuer& issuer, const Slip& slip, rt::Date generated, int sequence);
std::string remittance_trailer(int sequence);
// The whole file, CR LF after every record.
std::string remittance_file(const Issuer& issuer, const std::vector<Slip>& slips, rt::Date generated);

}  // namespace qv::office
