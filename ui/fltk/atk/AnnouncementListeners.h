#pragma once
// Whether a screen reader on the accessibility bus listens for announcements, as the bus's
// registry keeps count of what each client registered for: asked once, then followed through
// the registry's signals. Readers that speak announcements hear results and messages that way;
// older ones only hear what the focused object's name says.

#include <dbus/dbus.h>

#include <set>
#include <string>
#include <utility>

class AnnouncementListeners {
public:
    // Watches the bus the bridge talks on, served from GLib's default main context.
    explicit AnnouncementListeners(DBusConnection* bus);
    ~AnnouncementListeners();
    AnnouncementListeners(const AnnouncementListeners&) = delete;
    AnnouncementListeners& operator=(const AnnouncementListeners&) = delete;

    bool Any() const { return !listeners_.empty(); }

    // Whether an event name a client registered for covers announcements.
    static bool CoversAnnouncements(const std::string& event);

private:
    static DBusHandlerResult Filter(DBusConnection* bus, DBusMessage* message, void* self);
    static void Answered(DBusPendingCall* call, void* self);
    // Takes (bus name, event) pairs from a registry's message, from the iterator on.
    void Registered(DBusMessageIter& pair, bool registered);

    DBusConnection* bus_;
    DBusPendingCall* pending_ = nullptr;
    // Each client and event that counts, as the registry told them.
    std::set<std::pair<std::string, std::string>> listeners_;
};
