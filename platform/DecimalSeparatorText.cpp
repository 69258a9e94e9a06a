// Choosing a usable decimal separator from a locale's text.

#include "DecimalSeparatorText.h"

char DecimalSeparatorFromText(const char* text) {
    if (text == nullptr) {
        return '.';
    }
    const char first = text[0];
    return first > ' ' && first < '\x7f' ? first : '.';
}
