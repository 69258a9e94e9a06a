// The user's separators on Windows: the regional settings of the current user.

#include <windows.h>

#include <iterator>
#include <string>

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

std::string ReadUserThousandsSeparator() {
    // Read as UTF-16, since the ANSI code page may not hold it (a narrow no-break space), and
    // handed on as UTF-8 like the clipboard's text. The setting holds at most three characters.
    wchar_t wide[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, wide,
                       static_cast<int>(std::size(wide))) == 0) {
        return {};
    }
    char text[32] = {};
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, static_cast<int>(std::size(text)), nullptr,
                            nullptr) == 0) {
        return {};
    }
    return ThousandsSeparatorFromText(text);
}
