#pragma once
// Whether a screen reader on the accessibility bus listens for announcements, as the bus's
// registry keeps count of what each client registered for: asked once, then followed through
// the registry's signals and the bus's news of clients gone. Readers that speak announcements
// hear results and messages that way; older ones only hear what the focused object's name says.
// It shares the bridge's connection, and must hear the registry's signals before the bridge,
// which keeps them to itself.

#include <dbus/dbus.h>

#include <set>
#include <string>
#include <utility>

class AnnouncementListeners {
public:
    // Follows the registry on the accessibility bus the bridge talks on, served from GLib's
    // default main context; without a bus, nobody listens.
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
    // Takes a (bus name, event) pair from a registry's message, from the iterator on.
    void Registered(DBusMessageIter& pair, bool registered);
    void ClientGone(const std::string& client);

    DBusConnection* bus_;
    DBusPendingCall* pending_ = nullptr;
    // Each client and event that counts, as the registry told them.
    std::set<std::pair<std::string, std::string>> listeners_;
};
