#include "common/calendar_names.hpp"

#include <array>
#include <string_view>

namespace qv::common {

std::string TRAZ_MES(int month) {
    static constexpr std::array<std::string_view, 12> names{
        "Janeiro  ", "Fevereiro", "Marco    ", "Abril    ", "Maio     ", "Junho    ",
        "Julho    ", "Agosto   ", "Setembro ", "Outubro  ", "Novembro ", "Dezembro "};
    if (month < 1 || month > 12) return {};
    return std::string(names[static_cast<std::size_t>(month - 1)]);
}

std::string DIA_SEMANA(rt::Date date) {
    static constexpr std::array<std::string_view, 7> names{
        "Domingo", "Segunda feira", "Terca feira", "Quarta feira", "Quinta feira", "Sexta feira", "Sabado"};
    const int dow = rt::DOW(date);
    if (dow < 1 || dow > 7) return {};
    return std::string(names[static_cast<std::size_t>(dow - 1)]);
}

}  // namespace qv::common
