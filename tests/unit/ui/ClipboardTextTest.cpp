// How much of the clipboard a paste reads: the first 4096 characters, counted in characters
// whatever their encoding, never half a character, never past the end of the text.

#include <gtest/gtest.h>

#include <string>

#include "ClipboardText.h"

namespace {

TEST(ClipboardTextLength, Utf8StopsAfterTheLimitInWholeCharacters) {
    const std::string limitOfA(ClipboardTextLimit, 'a');
    const std::string oneShortOfA(ClipboardTextLimit - 1, 'a');
    const std::string umlaut = "\xC3\xA4";         // two bytes
    const std::string euro = "\xE2\x82\xAC";       // three bytes
    const std::string emoji = "\xF0\x9F\x98\x80";  // four bytes
    const struct {
        std::string Text;
        std::size_t Expected;
    } cases[] = {
        {"", 0},
        {"1234,5", 6},
        {limitOfA, ClipboardTextLimit},
        {limitOfA + "b", ClipboardTextLimit},
        {limitOfA + std::string(1000000, 'b'), ClipboardTextLimit},
        // The last character that fits comes whole, however many bytes it takes.
        {oneShortOfA + umlaut + "b", ClipboardTextLimit + 1},
        {oneShortOfA + euro + "b", ClipboardTextLimit + 2},
        {oneShortOfA + emoji + emoji, ClipboardTextLimit + 3},
        {std::string(ClipboardTextLimit, '\0'), 0},
        {std::string("12\0", 3) + limitOfA, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClipboardTextLength(c.Text.data(), c.Text.size()), c.Expected)
            << c.Text.size() << " bytes starting \"" << c.Text.substr(0, 8) << "\"";
    }
    // Fewer units on hand than the text seems to have: never read beyond them.
    EXPECT_EQ(ClipboardTextLength(limitOfA.data(), 10), 10u);
    EXPECT_EQ(ClipboardTextLength(static_cast<const char*>(nullptr), 0), 0u);
}

TEST(ClipboardTextLength, Utf16KeepsSurrogatePairsTogether) {
    const std::wstring limitOfA(ClipboardTextLimit, L'a');
    const std::wstring oneShortOfA(ClipboardTextLimit - 1, L'a');
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    const struct {
        std::wstring Text;
        std::size_t Expected;
    } cases[] = {
        {L"", 0},
        {L"1234,5", 6},
        {limitOfA, ClipboardTextLimit},
        {limitOfA + L"b", ClipboardTextLimit},
        {oneShortOfA + L"\u00e4b", ClipboardTextLimit},
        {oneShortOfA + pair + L"b", ClipboardTextLimit + 1},
        {L"12" + std::wstring(1, L'\0') + limitOfA, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClipboardTextLength(c.Text.data(), c.Text.size()), c.Expected)
            << c.Text.size() << " units";
    }
}

}  // namespace
