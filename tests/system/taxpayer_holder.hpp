#pragma once
// Another terminal with a taxpayer open: a forked child that takes the
// taxpayer's mark as its own terminal number and keeps it until it is
// killed, as a terminal is when its program ends abnormally.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "runtime/core/varstore.hpp"
#include "tables/taxpayer_mark.hpp"

namespace qv::test_support {

class TaxpayerHolder {
public:
    TaxpayerHolder(const std::string& folder, const std::string& cpf, const std::string& terminal = "05") {
        int ready[2];
        if (::pipe(ready) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            // A terminal is a program of its own: the tables this one has
            // open, and the locks on them, are not the child's.
            ::close(ready[0]);
            if (ready[1] > 3) ::close_range(3, static_cast<unsigned>(ready[1]) - 1, 0);
            ::close_range(static_cast<unsigned>(ready[1]) + 1, ~0U, 0);
            rt::variables().set("NUSU", rt::Value(terminal));
            const char c = tables::take_taxpayer_mark(folder, cpf) ? 'L' : 'X';
            if (::write(ready[1], &c, 1) != 1) ::_exit(2);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char c = 0;
        const bool ok = ::read(ready[0], &c, 1) == 1 && c == 'L';
        ::close(ready[0]);
        if (!ok) {
            kill();
            throw std::runtime_error("the other terminal could not take the taxpayer");
        }
    }
    ~TaxpayerHolder() { kill(); }
    TaxpayerHolder(const TaxpayerHolder&) = delete;
    TaxpayerHolder& operator=(const TaxpayerHolder&) = delete;

    // The terminal's program ends at once, without letting go of anything.
    void kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace qv::test_support
