#pragma once
// Whether the calculator offers itself to screen readers: where the session bus is, found from
// the environment before anything of D-Bus is loaded, and what the accessibility bus's status
// properties say. No D-Bus, no toolkit: the answers are handed in.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The session bus's address as libdbus finds it, but never one that would start a bus: the
// value of DBUS_SESSION_BUS_ADDRESS when it is set and not empty, else the socket "bus" in
// XDG_RUNTIME_DIR when there is one. Nothing when the session has no bus.
std::optional<std::string> SessionBusAddress(
    const char* addressVariable, const char* runtimeDirectory,
    const std::function<bool(const std::string& path)>& isSocket);

// A value for a D-Bus address, with every byte the address syntax reserves written as %XX.
std::string EscapeBusAddressValue(std::string_view value);

// The org.a11y.Status properties as the bus reports them, all at first and then those that
// changed. Either switch on means an assistive technology listens, as Qt reads them.
class AccessibilityStatus {
public:
    void Update(std::string_view property, bool value);
    bool Wanted() const { return isEnabled_ || screenReaderEnabled_; }

private:
    bool isEnabled_ = false;
    bool screenReaderEnabled_ = false;
};
