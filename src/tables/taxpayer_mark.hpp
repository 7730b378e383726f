#pragma once
// Which terminal has a taxpayer in hand. A declaration is edited in copies
// private to a terminal and written back whole when it is saved, so two
// terminals editing one taxpayer, or one editing while another deletes it,
// renumbers it or copies rows into it, would each undo the other's work.
// Whoever works on a taxpayer's rows first takes the taxpayer's mark.
//
// The marks of a client folder live in one small file of the folder,
// CPFUSO.LCK, that every terminal on the folder sees: a line per mark, the
// CPF and the terminal number, each line held by a byte-range lock for as
// long as the mark is taken. A line whose lock is free is no mark (its
// terminal let it go, or ended, or was killed: the system frees the locks of
// a process that ends however it ends), so nothing is ever left to clean up.
// A lock on the file's first byte makes the look and the taking one step.
// Only byte-range locks are used: they hold on network mounts too.
#include <string>
#include <string_view>
#include <vector>

namespace qv::tables {

enum class MarkOutcome {
    Taken,           // the mark is ours now (or already was)
    HeldElsewhere,   // another terminal has it: see `terminal`
    Unavailable,     // the folder's mark file cannot be had: see `problem`
};

struct MarkClaim {
    MarkOutcome outcome = MarkOutcome::Taken;
    std::string terminal;   // the terminal that has the taxpayer
    std::string problem;    // the system's message when Unavailable (CP850)
    std::string cpf;        // the taxpayer held, when a whole folder was asked for
    explicit operator bool() const { return outcome == MarkOutcome::Taken; }
};

// Takes the mark of `cpf` in client folder `folder` (CP850 name) for this
// terminal; never waits. Taken again by the same program, it is counted,
// and released as many times.
MarkClaim take_taxpayer_mark(std::string_view folder, std::string_view cpf);
void release_taxpayer_mark(std::string_view folder, std::string_view cpf);
// The terminal that has the taxpayer, empty when no other terminal has it.
std::string taxpayer_mark_holder(std::string_view folder, std::string_view cpf);

// The declaration open for editing on this terminal (at most one): its
// mark is taken when it is loaded and let go when its work copies close.
MarkClaim take_editing_mark(std::string_view folder, std::string_view cpf);
void release_editing_mark();

// "Contribuinte 111.111.111-11 em uso no terminal 05."
std::string taxpayer_in_use_text(std::string_view cpf, std::string_view terminal);
// Why the rows of `cpf` (by default the claim's) may not be written: the
// text above when another terminal has the taxpayer, the mark file's
// problem otherwise; empty when the claim was granted.
std::string refusal_text(const MarkClaim& claim, std::string_view cpf = {});

// A whole client folder for this terminal while the object lives, for an
// operation that replaces the folder's tables (a restore). Refused while
// another terminal has any taxpayer of the folder (claim() names it); once
// granted, no other terminal takes a taxpayer of the folder until it goes:
// its asking ends with the mark file in use.
class FolderMark {
public:
    explicit FolderMark(std::string_view folder);
    ~FolderMark();
    FolderMark(const FolderMark&) = delete;
    FolderMark& operator=(const FolderMark&) = delete;

    const MarkClaim& claim() const { return claim_; }
    explicit operator bool() const { return static_cast<bool>(claim_); }

private:
    std::string folder_;
    MarkClaim claim_;
};

// The marks an operation over several taxpayers takes one by one and lets
// go together when it ends.
class TaxpayerMarks {
public:
    TaxpayerMarks() = default;
    ~TaxpayerMarks();
    TaxpayerMarks(const TaxpayerMarks&) = delete;
    TaxpayerMarks& operator=(const TaxpayerMarks&) = delete;

    MarkClaim take(std::string_view folder, std::string_view cpf);
    void release_all();

private:
    struct Held {
        std::string folder, cpf;
    };
    std::vector<Held> held_;
};

}  // namespace qv::tables
