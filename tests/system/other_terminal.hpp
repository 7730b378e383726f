#pragma once
// Another terminal working on a shared table: a forked child that opens
// the table with its own handle, does its work (a change, a lock), reports
// it and holds on until told to let go; its locks go with it.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "runtime/table/table.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::test_support {

class OtherTerminal {
public:
    // `work` runs in the child on the table opened shared; false when it
    // failed (the constructor then throws).
    OtherTerminal(const std::string& path, std::function<bool(rt::table::Table&)> work) {
        if (::pipe(to_child_) != 0 || ::pipe(to_parent_) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(to_child_[1]);
            ::close(to_parent_[0]);
            run_child(path, work);
        }
        // Only the child writes to the parent: a child that dies is an end
        // of file here, never a wait for ever.
        ::close(to_child_[0]);
        ::close(to_parent_[1]);
        to_child_[0] = to_parent_[1] = -1;
        char c = 0;
        if (::read(to_parent_[0], &c, 1) != 1 || c != 'L') {
            int status = 0;
            ::waitpid(pid_, &status, 0);
            throw std::runtime_error("the other terminal failed (status " + std::to_string(status) + ")");
        }
    }
    ~OtherTerminal() {
        release();
        int status = 0;
        ::waitpid(pid_, &status, 0);
        for (int fd : {to_child_[0], to_child_[1], to_parent_[0], to_parent_[1]})
            if (fd >= 0) ::close(fd);
    }
    OtherTerminal(const OtherTerminal&) = delete;
    OtherTerminal& operator=(const OtherTerminal&) = delete;

    // Tells the child to free its locks and waits until it has.
    void release() {
        if (released_) return;
        released_ = true;
        const char c = 'R';
        if (::write(to_child_[1], &c, 1) != 1) return;
        char ack = 0;
        if (::read(to_parent_[0], &ack, 1) != 1) return;
    }

private:
    [[noreturn]] void run_child(const std::string& path, const std::function<bool(rt::table::Table&)>& work) {
        bool ok = false;
        try {
            rt::table::Workspace w;
            rt::table::Table& t = w.use_in(1, path, {});
            t.go_top();
            ok = work(t);
            const char c = ok ? 'L' : 'X';
            if (::write(to_parent_[1], &c, 1) != 1) ::_exit(2);
            char r = 0;
            if (::read(to_child_[0], &r, 1) != 1) ::_exit(3);
            t.unlock();
            w.close_all();
            const char ack = 'A';
            if (::write(to_parent_[1], &ack, 1) != 1) ::_exit(4);
        } catch (...) {
            ::_exit(5);
        }
        ::_exit(ok ? 0 : 1);
    }

    pid_t pid_ = -1;
    int to_child_[2]{-1, -1};
    int to_parent_[2]{-1, -1};
    bool released_ = false;
};

}  // namespace qv::test_support
