#pragma once
// Key handlers installed for one phase of the declaration and removed, with
// the earlier handlers put back, when the phase ends.
#include <utility>
#include <vector>

#include "runtime/screen/keys.hpp"

namespace qv::declaration {

class KeyBindings {
public:
    KeyBindings() = default;
    KeyBindings(const KeyBindings&) = delete;
    KeyBindings& operator=(const KeyBindings&) = delete;
    ~KeyBindings() { clear(); }

    void bind(int code, rt::KeyHandler handler) { saved_.emplace_back(code, rt::SETKEY(code, std::move(handler))); }
    // Binds the key to a routine by name, only when the routine exists.
    void bind_routine(int code, const char* routine);
    void clear() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) rt::SETKEY(it->first, std::move(it->second));
        saved_.clear();
    }

private:
    std::vector<std::pair<int, rt::KeyHandler>> saved_;
};

}  // namespace qv::declaration
