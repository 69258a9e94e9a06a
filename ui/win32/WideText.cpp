// Conversion between the form's UTF-8 and Win32's UTF-16; see WideText.h.
#include "WideText.h"

#include <windows.h>

#include <limits>

namespace {

int Length(std::size_t size) {
    // Beyond what the system functions take, nothing of the calculator's comes near.
    return size > static_cast<std::size_t>(std::numeric_limits<int>::max())
               ? 0
               : static_cast<int>(size);
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
    const int size = Length(text.size());
    if (size == 0) {
        return {};
    }
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), needed);
    }
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    const int size = Length(text.size());
    if (size == 0) {
        return {};
    }
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), needed, nullptr, nullptr);
    }
    return narrow;
}
