#include "declaration/entry/form_runner.hpp"

#include <cctype>
#include <string>

#include "declaration/entry/frame_painter.hpp"
#include "runtime/core/date.hpp"
#include "runtime/core/functions.hpp"
#include "runtime/core/picture.hpp"
#include "runtime/core/text.hpp"
#include "runtime/core/varstore.hpp"
#include "runtime/screen/screen.hpp"
#include "runtime/ui/read.hpp"

namespace qv::declaration {

namespace {

int field_row(int page, const PageField& f) { return page_row(page) + f.row; }
int field_col(int page, const PageField& f) { return f.absolute ? f.col : page_col(page) + f.col; }

}  // namespace

rt::GetCondition built_condition(std::string_view text) {
    if (text.empty()) return {};
    return rt::condition_from_text(text);
}

void ensure_variable(const PageField& field) {
    auto& vars = rt::variables();
    if (vars.exists(field.var)) return;
    switch (field.type) {
        case 'C': vars.set(field.var, rt::Value(rt::SPACE(field.width))); break;
        case 'D': vars.set(field.var, rt::Value(rt::Date())); break;
        default: vars.set(field.var, rt::Value(0)); break;
    }
}

void show_fields(int page, std::span<const PageField> fields) {
    for (const PageField& f : fields) {
        ensure_variable(f);
        const std::string shown = rt::TRANSFORM(rt::variables().get(f.var), f.picture);
        rt::at_say(field_row(page, f), field_col(page, f), shown);
    }
}

bool run_form(int page, std::span<const PageField> fields) {
    for (const PageField& f : fields) {
        ensure_variable(f);
        rt::Get& get = rt::at_get(field_row(page, f), field_col(page, f), std::string("M->") + f.var, f.picture);
        if (auto check = built_condition(f.valid)) get.valid(std::move(check));
        if (auto condition = built_condition(f.when)) get.when(std::move(condition));
    }
    return rt::READ();
}

}  // namespace qv::declaration
