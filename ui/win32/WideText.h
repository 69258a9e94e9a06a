#pragma once
// UTF-8, the form's text, to and from UTF-16, the text of the Win32 "W" functions. Invalid
// input never fails: it becomes U+FFFD, as the system's own conversion makes it.

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
