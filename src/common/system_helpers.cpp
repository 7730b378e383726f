#include "common/system_helpers.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <span>

#include "common/avisosn.hpp"
#include "common/calculator.hpp"
#include "common/globals.hpp"
#include "common/paths.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/process.hpp"
#include "runtime/screen/keys.hpp"
#include "runtime/table/workspace.hpp"

namespace qv::common {

namespace {


int& last_error() {
    static int e = 0;
    return e;
}

bool remember(bool ok) {
    last_error() = ok ? 0 : errno;
    return ok;
}

int remember_fd(int fd) {
    last_error() = fd < 0 ? errno : 0;
    return fd;
}

std::string os_name(std::string_view name) { return fs_path(name).string(); }

bool is_file_target(const std::string& name) {
    const std::string upper = rt::UPPER(name);
    return name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
           upper.ends_with(".TXT") || upper.ends_with(".PRN");
}

// Position of the first element that `better` prefers to every other.
template <class Better>
rt::Value extreme(const rt::Value& array, Better better) {
    if (!array.is_array()) return {};
    const auto& items = *array.as_array();
    std::size_t best = 0;
    for (std::size_t i = 1; i < items.size(); ++i)
        if (better(items[i].as_number(), items[best].as_number())) best = i;
    return rt::Value(items.empty() ? 0 : static_cast<int>(best + 1));
}

}  // namespace

bool LF_ISFILE(std::string_view name, bool isfolder) {
    struct stat st {};
    if (::stat(os_name(name).c_str(), &st) != 0) return false;
    return isfolder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

bool CRIADIR(std::string_view folder) {
    std::string path = os_name(folder);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return remember(::mkdir(path.c_str(), 0777) == 0);
}

bool LF_MKDIR(std::string_view folder) { return CRIADIR(folder); }

bool ALTDIR(std::string_view folder) { return remember(::chdir(os_name(folder).c_str()) == 0); }

int LF_FOPEN(std::string_view name, int mode) {
    const int flags = (mode & 3) == 1 ? O_WRONLY : (mode & 3) == 2 ? O_RDWR : O_RDONLY;
    return remember_fd(::open(os_name(name).c_str(), flags | O_CLOEXEC));
}

int LF_FCREATE(std::string_view name, int) {
    return remember_fd(::open(os_name(name).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

bool LF_FERASE(std::string_view name) { return remember(::unlink(os_name(name).c_str()) == 0); }

int LF_FERROR() { return last_error(); }

bool LPT_OK(int port) {
    if (port < 1 || port > 9) return false;
    const std::string queue = rt::ALLTRIM(Global{"NOMEREDE"}.text());
    if (queue.empty() || is_file_target(queue)) return true;
    const auto answer = rt::os::run_capture({"lpstat", "-p", queue}, true);
    if (!answer || answer->status != 0) return false;
    return answer->output.find("disabled") == std::string::npos;
}

rt::Value OKEI(int set) {
    const rt::Value answer = AVISOSN("Confirma os dados ?", set);
    Global{"CRESP"}.set(answer);
    return answer;
}

bool DBGRAVAR() { return rt::LASTKEY() != rt::key::ESC; }

void FIMSISTEMA() { rt::table::workspace().close_all(); }

rt::Value AMAX(const rt::Value& array) { return extreme(array, [](double a, double b) { return a > b; }); }
rt::Value AMIN(const rt::Value& array) { return extreme(array, [](double a, double b) { return a < b; }); }

rt::Value DIMENSIONS(const rt::Value& array) {
    rt::Value out = rt::Value::array();
    for (const rt::Value* level = &array; level->is_array(); level = &level->as_array()->front()) {
        out.as_array()->push_back(rt::Value(static_cast<int>(level->as_array()->size())));
        if (level->as_array()->empty()) break;
    }
    return out;
}

rt::Value ACOMP(const rt::Value& array) {
    if (!array.is_array() || array.as_array()->empty()) return {};
    return array.as_array()->front();
}

std::function<rt::Value(const std::optional<rt::Value>&)> ABLOCK(std::string name, int index) {
    return [name = std::move(name), index](const std::optional<rt::Value>& v) -> rt::Value {
        const rt::Value array = Global{name}.value();
        if (!array.is_array() || index < 1 || index > static_cast<int>(array.as_array()->size())) return {};
        rt::Value& slot = (*array.as_array())[static_cast<std::size_t>(index - 1)];
        if (v) slot = *v;
        return slot;
    };
}

void register_system_helpers() {
    static std::once_flag once;
    std::call_once(once, [] {
        using Args = std::span<const rt::Value>;
        auto arg = [](Args a, std::size_t i) { return i < a.size() ? a[i] : rt::Value(); };
        auto text = [arg](Args a, std::size_t i) { return arg(a, i).as_string(); };
        rt::register_function("LF_ISFILE", [=](Args a) { return rt::Value(LF_ISFILE(text(a, 0), arg(a, 1).as_bool())); });
        rt::register_function("CRIADIR", [=](Args a) { return rt::Value(CRIADIR(text(a, 0))); });
        rt::register_function("LF_MKDIR", [=](Args a) { return rt::Value(LF_MKDIR(text(a, 0))); });
        rt::register_function("ALTDIR", [=](Args a) { return rt::Value(ALTDIR(text(a, 0))); });
        rt::register_function("LF_FERASE", [=](Args a) { return rt::Value(LF_FERASE(text(a, 0))); });
        rt::register_function("LF_FERROR", [](Args) { return rt::Value(LF_FERROR()); });
        rt::register_function("LPT_OK", [=](Args a) { return rt::Value(LPT_OK(static_cast<int>(arg(a, 0).as_number()))); });
        rt::register_function("OKEI", [=](Args a) { return OKEI(a.empty() ? 2 : static_cast<int>(arg(a, 0).as_number())); });
        rt::register_function("DBGRAVAR", [](Args) { return rt::Value(DBGRAVAR()); });
        rt::register_function("FIMSISTEMA$", [](Args) {
            FIMSISTEMA();
            return rt::Value();
        });
        // No pointer device and no debugger on this console: nothing to do.
        for (const char* nothing : {"OMOUSE", "ALTD", "TELA_INIC"})
            rt::register_function(nothing, [](Args) { return rt::Value(); });
        rt::register_function("AMAX", [=](Args a) { return AMAX(arg(a, 0)); });
        rt::register_function("AMIN", [=](Args a) { return AMIN(arg(a, 0)); });
        rt::register_function("DIMENSIONS", [=](Args a) { return DIMENSIONS(arg(a, 0)); });
        rt::register_function("ACOMP", [=](Args a) { return ACOMP(arg(a, 0)); });
        rt::register_function("CALCULADORA", [=](Args a) {
            std::optional<int> row, col;
            if (arg(a, 1).type() == rt::Type::Number) row = static_cast<int>(arg(a, 1).as_number());
            if (arg(a, 2).type() == rt::Type::Number) col = static_cast<int>(arg(a, 2).as_number());
            return rt::Value(CALCULADORA(a.empty() ? 9 : static_cast<int>(arg(a, 0).as_number()), row, col));
        });
    });
}

}  // namespace qv::common
