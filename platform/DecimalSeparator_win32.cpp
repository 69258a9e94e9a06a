// The user's decimal separator on Windows: the regional settings of the current user.

#include <windows.h>

#include <iterator>

#include "DecimalSeparator.h"
#include "DecimalSeparatorText.h"

char ReadUserDecimalSeparator() {
    // The setting holds at most three characters and the terminator.
    char text[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text,
                       static_cast<int>(std::size(text))) == 0) {
        return '.';
    }
    return DecimalSeparatorFromText(text);
}
