// Loading the accessibility libraries on demand; see OleLibraries.h.
#include "OleLibraries.h"

#include <optional>

namespace {

template <typename Function>
bool Find(HMODULE library, const char* name, Function& function) {
    if (library == nullptr) {
        return false;
    }
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return function != nullptr;
}

std::optional<OleLibraries> Load() {
    HMODULE ole32 = LoadLibraryW(L"ole32.dll");
    HMODULE oleaut32 = LoadLibraryW(L"oleaut32.dll");
    HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    OleLibraries found;
    decltype(&OleInitialize) initialize = nullptr;
    if (!Find(ole32, "OleInitialize", initialize) ||
        !Find(ole32, "CoDisconnectObject", found.DisconnectObject) ||
        !Find(oleaut32, "SysAllocStringLen", found.AllocateString) ||
        !Find(oleaut32, "SysFreeString", found.FreeString) ||
        !Find(oleacc, "LresultFromObject", found.ResultFromObject) ||
        !Find(oleacc, "CreateStdAccessibleObject", found.CreateStandardObject)) {
        return std::nullopt;
    }
    // Marshalling the object to the reader's process needs COM on this, the GUI, thread. It
    // stays started for the rest of the program.
    if (FAILED(initialize(nullptr))) {
        return std::nullopt;
    }
    HMODULE automation = LoadLibraryW(L"uiautomationcore.dll");
    if (!Find(automation, "UiaProviderFromIAccessible", found.ProviderFromAccessible) ||
        !Find(automation, "UiaRaiseNotificationEvent", found.RaiseNotification)) {
        found.ProviderFromAccessible = nullptr;
        found.RaiseNotification = nullptr;
    }
    return found;
}

}  // namespace

const OleLibraries* LoadOleLibraries() {
    static const std::optional<OleLibraries> libraries = Load();
    return libraries ? &*libraries : nullptr;
}
