// stored-contrast-window: the calculator's window as rechner.exe shows it, on a backend that takes
// the high-contrast setting from where it is stored (HKCU\Control Panel\Accessibility\HighContrast,
// "Flags") instead of asking the system. Wine 8 always reports the setting off and refuses to
// change it, so this is how the tests see the window switch under Wine: the decision, the colours,
// the messages and the drawing are the program's own. The settings are the user's, as for
// rechner.exe; the host's close signal is not polled.

#include <windows.h>

#include <cwchar>
#include <optional>

#include "AmountText.h"
#include "DecimalSeparator.h"
#include "SystemColours.h"
#include "Umain.h"
#include "UserSettings.h"
#include "Win32Backend.h"

namespace {

DWORD StoredFlags() {
    wchar_t flags[16] = {};
    DWORD size = sizeof(flags);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast", L"Flags",
                     RRF_RT_REG_SZ, nullptr, flags, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return std::wcstoul(flags, nullptr, 10);
}

class StoredContrastBackend : public Win32Backend {
public:
    using Win32Backend::Win32Backend;

    std::optional<SystemColours> HighContrastColours() override {
        HIGHCONTRASTW setting{};
        setting.cbSize = sizeof(setting);
        setting.dwFlags = StoredFlags();
        return ::HighContrastColours(setting, [](int index) { return GetSysColor(index); });
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SetDecimalSeparator(ReadUserDecimalSeparator());
    StoredContrastBackend backend(instance);
    UserSettings settings;
    TfrmMain window(backend, {settings.Store(), [] { return false; }, ReadUserDecimalSeparator,
                              ReadUserThousandsSeparator});
    backend.Run([] {});
    return 0;
}
