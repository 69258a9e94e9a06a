// The user's separators on POSIX systems: LC_NUMERIC (or LC_ALL, or LANG) from the environment.

#include <clocale>
#include <optional>
#include <string>

#include "DecimalSeparator.h"
#include "DecimalSeparatorText.h"

namespace {

// One text of the user's numeric conventions, or nothing when the environment names no locale
// the system has.
std::optional<std::string> UserNumericText(char* std::lconv::*field) {
    // setlocale changes the whole process, and number formatting elsewhere (printf, strtod) must
    // keep behaving as before, so the previous LC_NUMERIC is put back. Start-up calls this on the
    // one thread before anything else runs, which is what setlocale requires.
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string previous = current != nullptr ? current : "C";
    if (std::setlocale(LC_NUMERIC, "") == nullptr) {
        return std::nullopt;
    }
    const char* text = std::localeconv()->*field;
    std::string copy = text != nullptr ? text : "";
    std::setlocale(LC_NUMERIC, previous.c_str());
    return copy;
}

}  // namespace

char ReadUserDecimalSeparator() {
    const std::optional<std::string> text = UserNumericText(&std::lconv::decimal_point);
    return text ? DecimalSeparatorFromText(text->c_str()) : '.';
}

std::string ReadUserThousandsSeparator() {
    const std::optional<std::string> text = UserNumericText(&std::lconv::thousands_sep);
    return text ? ThousandsSeparatorFromText(text->c_str()) : std::string();
}
