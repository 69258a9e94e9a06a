// The user's decimal separator on POSIX systems: LC_NUMERIC (or LC_ALL, or LANG) from the
// environment.

#include <clocale>
#include <string>

#include "DecimalSeparator.h"
#include "DecimalSeparatorText.h"

char ReadUserDecimalSeparator() {
    // setlocale changes the whole process, and number formatting elsewhere (printf, strtod) must
    // keep behaving as before, so the previous LC_NUMERIC is put back. Start-up calls this on the
    // one thread before anything else runs, which is what setlocale requires.
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string previous = current != nullptr ? current : "C";
    if (std::setlocale(LC_NUMERIC, "") == nullptr) {
        return '.';
    }
    const char separator = DecimalSeparatorFromText(std::localeconv()->decimal_point);
    std::setlocale(LC_NUMERIC, previous.c_str());
    return separator;
}
