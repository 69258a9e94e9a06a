// Following the registry's listeners for announcements; see AnnouncementListeners.h.
#include "AnnouncementListeners.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace {

constexpr const char* Registry = "org.a11y.atspi.Registry";
constexpr const char* RegistryPath = "/org/a11y/atspi/registry";
constexpr const char* ChangesRule =
    "type='signal',interface='org.a11y.atspi.Registry',path='/org/a11y/atspi/registry'";
constexpr const char* GoneRule =
    "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
    "member='NameOwnerChanged'";

// The next string in a structure, or "" where there is none.
std::string NextString(DBusMessageIter& iter) {
    const char* text = "";
    if (dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_STRING) {
        dbus_message_iter_get_basic(&iter, static_cast<void*>(&text));
        dbus_message_iter_next(&iter);
    }
    return text;
}

}  // namespace

AnnouncementListeners::AnnouncementListeners(DBusConnection* bus) : bus_(bus) {
    if (bus_ == nullptr) {
        return;
    }
    dbus_connection_ref(bus_);
    dbus_connection_add_filter(bus_, Filter, this, nullptr);
    dbus_bus_add_match(bus_, ChangesRule, nullptr);
    dbus_bus_add_match(bus_, GoneRule, nullptr);
    DBusMessage* ask =
        dbus_message_new_method_call(Registry, RegistryPath, Registry, "GetRegisteredEvents");
    if (ask != nullptr && dbus_connection_send_with_reply(bus_, ask, &pending_, -1) &&
        pending_ != nullptr) {
        dbus_pending_call_set_notify(pending_, Answered, this, nullptr);
    }
    if (ask != nullptr) {
        dbus_message_unref(ask);
    }
}

AnnouncementListeners::~AnnouncementListeners() {
    if (bus_ == nullptr) {
        return;
    }
    if (pending_ != nullptr) {
        dbus_pending_call_cancel(pending_);
        dbus_pending_call_unref(pending_);
    }
    dbus_bus_remove_match(bus_, ChangesRule, nullptr);
    dbus_bus_remove_match(bus_, GoneRule, nullptr);
    dbus_connection_remove_filter(bus_, Filter, this);
    dbus_connection_unref(bus_);
}

bool AnnouncementListeners::CoversAnnouncements(const std::string& event) {
    std::string name = event;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    while (!name.empty() && name.back() == ':') {
        name.pop_back();
    }
    return name == "object:announcement";
}

void AnnouncementListeners::Registered(DBusMessageIter& pair, bool registered) {
    std::string client = NextString(pair);
    std::string event = NextString(pair);
    if (!CoversAnnouncements(event)) {
        return;
    }
    if (registered) {
        listeners_.emplace(std::move(client), std::move(event));
    } else {
        listeners_.erase({client, event});
    }
}

void AnnouncementListeners::ClientGone(const std::string& client) {
    for (auto it = listeners_.begin(); it != listeners_.end();) {
        it = it->first == client ? listeners_.erase(it) : std::next(it);
    }
}

DBusHandlerResult AnnouncementListeners::Filter(DBusConnection*, DBusMessage* message, void* self) {
    auto& listeners = *static_cast<AnnouncementListeners*>(self);
    const bool registered =
        dbus_message_is_signal(message, Registry, "EventListenerRegistered") != 0;
    if (registered || dbus_message_is_signal(message, Registry, "EventListenerDeregistered")) {
        DBusMessageIter arguments;
        if (dbus_message_iter_init(message, &arguments)) {
            listeners.Registered(arguments, registered);
        }
    } else if (dbus_message_is_signal(message, DBUS_INTERFACE_DBUS, "NameOwnerChanged")) {
        DBusMessageIter arguments;
        if (dbus_message_iter_init(message, &arguments)) {
            const std::string client = NextString(arguments);
            NextString(arguments);
            if (NextString(arguments).empty()) {
                listeners.ClientGone(client);
            }
        }
    }
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

void AnnouncementListeners::Answered(DBusPendingCall* call, void* self) {
    auto& listeners = *static_cast<AnnouncementListeners*>(self);
    DBusMessage* reply = dbus_pending_call_steal_reply(call);
    dbus_pending_call_unref(listeners.pending_);
    listeners.pending_ = nullptr;
    if (reply == nullptr) {
        return;
    }
    DBusMessageIter arguments;
    DBusMessageIter pairs;
    if (dbus_message_iter_init(reply, &arguments) &&
        dbus_message_iter_get_arg_type(&arguments) == DBUS_TYPE_ARRAY) {
        dbus_message_iter_recurse(&arguments, &pairs);
        while (dbus_message_iter_get_arg_type(&pairs) == DBUS_TYPE_STRUCT) {
            DBusMessageIter pair;
            dbus_message_iter_recurse(&pairs, &pair);
            listeners.Registered(pair, true);
            dbus_message_iter_next(&pairs);
        }
    }
    dbus_message_unref(reply);
}
