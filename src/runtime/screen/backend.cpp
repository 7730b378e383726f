// The backend in force, and the switch to headless operation for tests.
#include "runtime/screen/backend.hpp"

#include "runtime/screen/screen_state.hpp"

namespace qv::rt {
namespace {

std::unique_ptr<Backend>& installed() {
    static std::unique_ptr<Backend> b;
    return b;
}

}  // namespace

Backend& backend() {
    auto& b = installed();
    if (!b) b = std::make_unique<HeadlessBackend>();
    return *b;
}

void set_backend(std::unique_ptr<Backend> b) {
    installed() = std::move(b);
    refresh_screen();
}

HeadlessBackend& use_headless() {
    auto fresh = std::make_unique<HeadlessBackend>();
    HeadlessBackend& ref = *fresh;
    detail::reset_colours();
    detail::reset_keyboard_state();
    detail::reset_screen_state();
    installed() = std::move(fresh);
    CLS();
    return ref;
}

}  // namespace qv::rt
