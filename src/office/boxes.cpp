#include "office/boxes.hpp"

#include "common/globals.hpp"
#include "common/windows.hpp"
#include "runtime/core/text.hpp"

namespace qv::office {

void open_box(int id, int top, int left, int bottom, int right, const std::vector<std::string>& lines) {
    common::DEFINEJAN(id, common::Global("COR_TEL1").integer(30), common::Global("COR_TEL2").integer(31),
                      common::Global("COR_TEL3").integer(8), top, left, bottom, right, 1);
    common::ABREJAN(id);
    const long width = right - left - 1;
    std::string text;
    for (const std::string& line : lines) text += rt::PADR(line, width);
    common::ESCRJAN(id, text);
}

}  // namespace qv::office
