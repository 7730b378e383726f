#pragma once
// Copying declaration rows of one taxpayer to another taxpayer registered
// in the same client folder: everything but the register, or one part.
#include <string>

namespace qv::office {

// The parts, as offered.
enum class Part { All = 1, Assets, CashBook, CompanyIncome, Payments, CapitalGains, Rural, RuralAssets, RuralCashBook,
                  RuralProperties };

struct PartCopy {
    std::string folder, original, destination;
    Part part = Part::All;
    bool add = true;   // SOBREPOE "S": keep the destination's rows
};

enum class PartCopyResult { Done, Nothing, Busy, InUse, Protected };

// Copies the part; Nothing when the original has no row of it (the
// message of the part is in `message`); InUse, with nothing copied, when
// another terminal has either taxpayer open (`message` names it);
// Protected, with nothing copied, when the destination's declaration has
// the status that protects it against change. A table
// that holds one record per taxpayer keeps the destination's own record
// when the copies are added to its rows.
PartCopyResult copy_part(const PartCopy& c, std::string* message = nullptr);
void TRANF_PARTE();
void SAI_FORA();

}  // namespace qv::office
