#pragma once
// Whether a screen reader listens for keystrokes at the accessibility registry. A reader that
// takes its keys its own way registers no keystroke listener; then a key offered to the
// registry would only wait for an answer nobody gives, so the program does not offer it.
// The registry is asked once and again whenever a listener goes; a listener that comes counts
// at once.

#include <dbus/dbus.h>

class RegistryKeystrokes {
public:
    // Asks the registry on the accessibility bus, whose connection the GLib main context serves.
    explicit RegistryKeystrokes(DBusConnection* bus);
    ~RegistryKeystrokes();
    RegistryKeystrokes(const RegistryKeystrokes&) = delete;
    RegistryKeystrokes& operator=(const RegistryKeystrokes&) = delete;

    // True until the registry has said that no keystroke listener is registered, so that no
    // key goes around a reader before the answer.
    bool Listened() const { return listened_; }

private:
    static DBusHandlerResult Filter(DBusConnection* bus, DBusMessage* message, void* self);
    static void Answered(DBusPendingCall* call, void* self);
    void Ask();

    DBusConnection* bus_;
    DBusPendingCall* pending_ = nullptr;
    bool listened_ = true;
};

// Whether the registry's list of keystroke listeners names any.
bool AnyKeystrokeListener(DBusMessage* reply);
