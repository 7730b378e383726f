#pragma once
// Labels for the declaration's diskette in four label types (QUEMOD 1-4):
// one label a row on the first two, two and three side by side on the others.
#include <string>
#include <vector>

namespace qv::printing {

struct DiskLabel {
    std::string cpf;    // digits
    std::string name;
};

// Labels in a row of the label type.
int labels_per_row(int type);
// The lines of one row of labels (no trailing blank lines).
std::vector<std::string> label_row(int type, const std::vector<DiskLabel>& labels);

// Sheet 13: the labels of the taxpayer, or of every chosen taxpayer;
// printer kind 1 "NAO DOS", 0 another.
void FAZ_ETI(int kind);
// Prints one row of labels where the page stands.
void GERETI(int kind);

}  // namespace qv::printing
