// Every routine a program calls by name is registered in that program: the
// names are gathered from the sources (calls by name, keys bound to
// routines, the menu's option routines, expressions written as text such as
// the pages' and grids' checks), then each program's own registration is
// run in a child process of its own and asked for every name.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "converter/converter_routines.hpp"
#include "runtime/core/expr.hpp"
#include "runtime/core/functions.hpp"
#include "shell/routine_registry.hpp"

namespace qv::shell::testing {
namespace {

namespace fs = std::filesystem;

enum class Program { Main, Converter };

// Which programs run the code of a source folder: the converter's folder is
// the converter's alone; the lowest subsystems are compiled into both.
std::vector<Program> programs_of(const std::string& folder) {
    if (folder == "converter") return {Program::Converter};
    if (folder == "common" || folder == "tables" || folder == "console") return {Program::Main, Program::Converter};
    if (folder == "runtime") return {};
    return {Program::Main};
}

struct Use {
    std::string name;
    std::string where;
    std::string expression;   // the text of an expression naming it, if any
};

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string unescape(const std::string& literal) {
    std::string out;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        if (literal[i] == '\\' && i + 1 < literal.size()) {
            const char c = literal[++i];
            out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += literal[i];
        }
    }
    return out;
}

// The names one source text calls by name.
std::vector<Use> uses_in(const std::string& text, const std::string& where) {
    static const std::regex by_name(
        R"re(\b(?:call|call_named|call_routine|call_function|call_as_bool|call_if_present|has_function|find_function|run_named|call_by_name|named_check|accepts|zoom)\(\s*"([A-Z][A-Z0-9_]*)")re");
    static const std::regex bound(R"re(\bbind(?:_routine)?\([^,()]+,\s*"([A-Z][A-Z0-9_]*)")re");
    static const std::regex option(R"re(case \d+: return "([A-Z][A-Z0-9_]*)";)re");
    static const std::regex options_table(R"re(option_routine\(int id\) \{[^}]*\})re");
    static const std::regex literal(R"re("((?:[^"\\\n]|\\.)*)")re");
    static const std::regex call_in_text(R"re((?:^|[^A-Za-z0-9_>])([A-Z][A-Z0-9_]*)\()re");
    std::vector<Use> uses;
    for (const std::regex* re : {&by_name, &bound})
        for (std::sregex_iterator it(text.begin(), text.end(), *re), end; it != end; ++it)
            uses.push_back({(*it)[1], where, {}});
    // The menu's option items name their routines in one table.
    for (std::sregex_iterator t(text.begin(), text.end(), options_table), end; t != end; ++t) {
        const std::string table = (*t)[0];
        for (std::sregex_iterator it(table.begin(), table.end(), option); it != end; ++it)
            uses.push_back({(*it)[1], where, {}});
    }
    for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
        const std::string body = unescape((*it)[1]);
        for (std::sregex_iterator c(body.begin(), body.end(), call_in_text); c != end; ++c)
            uses.push_back({(*c)[1], where, body});
    }
    return uses;
}

std::vector<Use> uses_of(Program program) {
    std::vector<Use> uses;
    const fs::path src = fs::path(QV_SOURCE_DIR) / "src";
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".hpp")) continue;
        const std::string folder = fs::relative(entry.path(), src).begin()->string();
        bool ours = false;
        for (Program p : programs_of(folder)) ours = ours || p == program;
        if (!ours) continue;
        for (Use& u : uses_in(read_file(entry.path()), fs::relative(entry.path(), src).string())) uses.push_back(u);
    }
    return uses;
}

// True when the text, with every routine it calls known, is an expression
// as a whole (display texts such as "AREA(ha)    Nro" are not).
bool whole_expression(const std::string& text, std::set<std::string>& stand_ins) {
    for (int tries = 0; tries < 20; ++tries) {
        try {
            rt::Expr::compile(text);
            return true;
        } catch (const std::exception& e) {
            static const std::regex unknown(R"re(unknown function ([A-Z0-9_]+))re");
            std::smatch m;
            const std::string what = e.what();
            if (!std::regex_search(what, m, unknown)) return false;
            stand_ins.insert(m[1]);
            rt::register_function(m[1].str(), [](std::span<const rt::Value>) { return rt::Value(); });
        }
    }
    return false;
}

// The names of `uses` that `registered` does not know, each with a place
// that calls it. Runs where the program's routines are registered.
std::map<std::string, std::string> missing_names(const std::vector<Use>& uses,
                                                 const std::function<bool(const std::string&)>& registered) {
    std::map<std::string, std::string> missing;
    std::map<std::string, bool> known;
    for (const Use& u : uses) known.emplace(u.name, registered(u.name));
    std::set<std::string> stand_ins;
    for (const Use& u : uses) {
        if (known[u.name]) continue;
        if (!u.expression.empty() && !whole_expression(u.expression, stand_ins)) continue;
        missing.emplace(u.name, u.where);
    }
    return missing;
}

void register_program(Program program) {
    if (program == Program::Main) register_system_routines();
    else converter::register_converter_routines();
}

// The missing names of a program, worked out in a child process so that
// each program's registration stands alone.
std::string missing_in(Program program, const std::string& pretend_missing = {}) {
    const std::vector<Use> uses = uses_of(program);
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        register_program(program);
        std::string out;
        for (const auto& [name, where] : missing_names(uses, [&](const std::string& n) {
                 return n != pretend_missing && rt::has_function(n);
             }))
            out += name + " (" + where + ")\n";
        const ssize_t ignored = ::write(fds[1], out.data(), out.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) out += "the registration ended abnormally\n";
    return out;
}

TEST(RoutineNames, EveryNameTheMainProgramCallsIsRegisteredInIt) { EXPECT_EQ(missing_in(Program::Main), ""); }

TEST(RoutineNames, EveryNameTheConverterCallsIsRegisteredInIt) { EXPECT_EQ(missing_in(Program::Converter), ""); }

TEST(RoutineNames, ARegistrationTakenAwayIsFound) {
    // Names reached by a call, by a bound key, by a menu option and from an
    // expression written as text.
    for (const char* name : {"EDITA", "GERAL5", "SELAREA", "MOS_CAL"}) {
        const std::string missing = missing_in(Program::Main, name);
        EXPECT_NE(missing.find(std::string(name) + " ("), std::string::npos) << name;
    }
}

TEST(RoutineNames, DisplayTextsAreNotTakenForCalls) {
    const auto uses = uses_in(R"x(line("AREA(ha)    Nro S.R.F"); put("Marque a letra S(sim) aqui"); f("FR1(%)");)x", "x");
    std::vector<Use> expressions;
    for (const Use& u : uses)
        if (!u.expression.empty()) expressions.push_back(u);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const auto missing = missing_names(expressions, [](const std::string&) { return false; });
        ::_exit(missing.empty() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace qv::shell::testing
