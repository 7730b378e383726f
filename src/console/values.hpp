#pragma once
// The argument checker of the console layer and two small formatting
// helpers.
#include <stdexcept>
#include <string>
#include <string_view>
#include "runtime/core/value.hpp"

namespace qv::console {

// A run-time error as the runtime's error handler reports it.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::string subsystem, int code, std::string description, std::string operation);
    const std::string& subsystem() const { return subsystem_; }
    int code() const { return code_; }
    const std::string& description() const { return description_; }
    const std::string& operation() const { return operation_; }

private:
    std::string subsystem_;
    int code_;
    std::string description_;
    std::string operation_;
};

// The value, or its default when it is missing (nil): `types` are the type
// letters allowed ("C", "NC", "U" for any); `default_text` is how the caller
// wrote the default (empty: no default given, the type's empty value is
// taken instead). A wrong type raises RuntimeError "BASE" 1127; its
// operation is `caller` (the calling routine and its line).
rt::Value DEFAULTVALUE(const rt::Value& value, const rt::Value& fallback, std::string_view types,
                       std::string_view name, std::string_view default_text = {},
                       std::string_view caller = {});

// The value as text (C, D, L and N; anything else ""), under a picture.
std::string VALUES(const rt::Value& value, std::string_view picture = {});
// The length of VALUES.
std::size_t LENU(const rt::Value& value, std::string_view picture = {});

}  // namespace qv::console
