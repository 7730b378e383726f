// The terminal backend for real, inside a pseudo-terminal: a child process
// draws and waits for a key; the test plays the terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>

#include "runtime/screen/backend.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/screen/screen.hpp"

namespace qv::rt {
namespace {

class PtyChild {
public:
    // Runs body in a child whose terminal is a new pseudo-terminal; the exit
    // status of the child is body's return value, passed to exit().
    explicit PtyChild(const std::function<int()>& body) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        const std::string slave_name = ptsname(master_);
        pid_ = fork();
        if (pid_ == 0) {
            setsid();
            const int slave = open(slave_name.c_str(), O_RDWR);
            if (slave < 0) _exit(90);
            winsize ws{};
            ws.ws_row = 25;
            ws.ws_col = 80;
            ioctl(slave, TIOCSWINSZ, &ws);
            dup2(slave, 0);
            dup2(slave, 1);
            dup2(slave, 2);
            close(master_);
            setenv("TERM", "xterm-256color", 1);
            int code = 91;
            try {
                code = body();
            } catch (...) {
                code = 92;
            }
            std::exit(code);   // the way a program ends: the terminal is restored at exit
        }
    }
    ~PtyChild() {
        if (pid_ > 0 && !waited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }
    PtyChild(const PtyChild&) = delete;
    PtyChild& operator=(const PtyChild&) = delete;

    bool started() const { return pid_ > 0; }

    // Reads what the child writes until `text` has appeared (or the child
    // stops writing for long: a safety net, not a measurement).
    bool read_until(const std::string& text) {
        while (output_.find(text) == std::string::npos) {
            if (!read_some(10000)) return false;
        }
        return true;
    }
    void read_to_end() {
        while (read_some(10000)) {
        }
    }
    void send(const std::string& bytes) { (void)!write(master_, bytes.data(), bytes.size()); }
    int wait_status() {
        int status = 0;
        waitpid(pid_, &status, 0);
        waited_ = true;
        return status;
    }
    const std::string& output() const { return output_; }

private:
    bool read_some(int ms) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0) return false;
        char buf[4096];
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) return false;
        output_.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    int master_ = -1;
    pid_t pid_ = -1;
    bool waited_ = false;
    std::string output_;
};

TEST(TerminalBackend, DrawsReadsAKeyAndRestoresTheTerminal) {
    PtyChild child([] {
        use_terminal();
        SETCOLOR("W+/B");
        CLS();
        DISPBOX(1, 1, 4, 20, B_SINGLE);
        at_say(2, 3, "Ol\xA0 \x10 pronto");
        const int code = INKEY(-1);
        return code == key::CTRL_RIGHT ? 42 : 1;
    });
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.read_until("pronto")) << child.output();
    EXPECT_NE(child.output().find("\xe2\x94\x8c"), std::string::npos);   // ┌
    EXPECT_NE(child.output().find("\xe2\x96\xba"), std::string::npos);   // ►
    EXPECT_NE(child.output().find("Ol\xc3\xa1"), std::string::npos);     // Olá
    child.send("\x1b[1;5C");
    child.read_to_end();
    const int status = child.wait_status();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 42);
    EXPECT_NE(child.output().find("\x1b[?1049l"), std::string::npos);   // left the full-screen mode
}

TEST(TerminalBackend, EnterAndCtrlEnterStayApart) {
    PtyChild child([] {
        use_terminal();
        at_say(0, 0, "pronto");
        const int first = INKEY(-1);
        const int second = INKEY(-1);
        return first == key::ENTER && second == key::CTRL_ENTER ? 42 : 1;
    });
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.read_until("pronto")) << child.output();
    child.send("\r\n");
    child.read_to_end();
    const int status = child.wait_status();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 42);
}

TEST(TerminalBackend, ASignalRestoresTheTerminalAndStillEndsTheProgram) {
    PtyChild child([] {
        use_terminal();
        at_say(0, 0, "pronto");
        INKEY(-1);
        std::raise(SIGTERM);
        return 0;
    });
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(child.read_until("pronto")) << child.output();
    child.send("x");
    child.read_to_end();
    const int status = child.wait_status();
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_NE(child.output().find("\x1b[?1049l"), std::string::npos);
}

}  // namespace
}  // namespace qv::rt
