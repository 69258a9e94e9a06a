// contrast-client: changes the desktop's high-contrast setting and colours as the display
// settings do, and tells every top-level window, for the end-to-end tests under Wine.
//
//   contrast-client high-contrast on|off
//       asks the system for the setting (SPI_SETHIGHCONTRAST, which tells the windows itself where
//       it works), stores it where the setting is kept
//       (HKCU\Control Panel\Accessibility\HighContrast, "Flags"), and broadcasts WM_SETTINGCHANGE
//       for it. Prints "setting taken" or "setting refused <error>", then what the system reports
//       afterwards: "reported on" or "reported off".
//   contrast-client colours <window> <window text> <button face> <button text> <highlight>
//                           <highlight text>
//       sets those system colours (RRGGBB each), which broadcasts WM_SYSCOLORCHANGE. Prints the
//       colours as they were, in the same order, so that a test can put them back.
//
// Exits 0 when done, 2 on a wrong argument.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr int Roles[] = {COLOR_WINDOW,  COLOR_WINDOWTEXT, COLOR_BTNFACE,
                         COLOR_BTNTEXT, COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT};
// HCF_AVAILABLE | HCF_HOTKEYAVAILABLE and more, as Windows stores it; the lowest bit is "on".
constexpr DWORD StoredFlagsOff = 126;

void Store(bool on) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const std::wstring flags = std::to_wstring(StoredFlagsOff | (on ? HCF_HIGHCONTRASTON : 0));
    RegSetValueExW(key, L"Flags", 0, REG_SZ, reinterpret_cast<const BYTE*>(flags.c_str()),
                   static_cast<DWORD>((flags.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

int SetHighContrast(bool on) {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    setting.dwFlags = HCF_AVAILABLE | (on ? HCF_HIGHCONTRASTON : 0);
    SetLastError(0);
    if (SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof(setting), &setting,
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
        std::printf("setting taken\n");
    } else {
        std::printf("setting refused %lu\n", GetLastError());
    }
    Store(on);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST,
                        reinterpret_cast<LPARAM>(L""), SMTO_ABORTIFHUNG, 5000, &result);
    HIGHCONTRASTW reported{};
    reported.cbSize = sizeof(reported);
    SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(reported), &reported, 0);
    std::printf("reported %s\n", (reported.dwFlags & HCF_HIGHCONTRASTON) != 0 ? "on" : "off");
    return 0;
}

int SetColours(char** hex) {
    COLORREF colours[std::size(Roles)];
    for (std::size_t index = 0; index < std::size(Roles); ++index) {
        const COLORREF before = GetSysColor(Roles[index]);
        std::printf("%02x%02x%02x%s", GetRValue(before), GetGValue(before), GetBValue(before),
                    index + 1 < std::size(Roles) ? " " : "\n");
        const unsigned long rgb = std::strtoul(hex[index], nullptr, 16);
        colours[index] = RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
    }
    SetSysColors(static_cast<int>(std::size(Roles)), Roles, colours);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "high-contrast" && argc == 3) {
        const std::string_view state = argv[2];
        if (state == "on" || state == "off") {
            return SetHighContrast(state == "on");
        }
    } else if (command == "colours" && argc == 2 + static_cast<int>(std::size(Roles))) {
        return SetColours(argv + 2);
    }
    return 2;
}
