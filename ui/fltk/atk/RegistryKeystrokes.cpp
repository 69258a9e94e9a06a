// Whether a screen reader listens for keystrokes at the registry; see RegistryKeystrokes.h.
#include "RegistryKeystrokes.h"

namespace {

constexpr const char* Registry = "org.a11y.atspi.Registry";
constexpr const char* Controller = "/org/a11y/atspi/registry/deviceeventcontroller";
constexpr const char* ControllerInterface = "org.a11y.atspi.DeviceEventController";
constexpr const char* ListenerInterface = "org.a11y.atspi.DeviceEventListener";
constexpr const char* ListenerSignals =
    "type='signal',interface='org.a11y.atspi.DeviceEventListener'";

}  // namespace

bool AnyKeystrokeListener(DBusMessage* reply) {
    DBusMessageIter arguments;
    if (reply == nullptr || dbus_message_get_type(reply) != DBUS_MESSAGE_TYPE_METHOD_RETURN ||
        !dbus_message_iter_init(reply, &arguments) ||
        dbus_message_iter_get_arg_type(&arguments) != DBUS_TYPE_ARRAY) {
        // A registry that cannot tell may have listeners: keys go to it as before.
        return true;
    }
    DBusMessageIter listeners;
    dbus_message_iter_recurse(&arguments, &listeners);
    return dbus_message_iter_get_arg_type(&listeners) != DBUS_TYPE_INVALID;
}

RegistryKeystrokes::RegistryKeystrokes(DBusConnection* bus) : bus_(bus) {
    if (bus_ == nullptr) {
        return;
    }
    dbus_connection_ref(bus_);
    dbus_bus_add_match(bus_, ListenerSignals, nullptr);
    dbus_connection_add_filter(bus_, Filter, this, nullptr);
    Ask();
}

RegistryKeystrokes::~RegistryKeystrokes() {
    if (bus_ == nullptr) {
        return;
    }
    if (pending_ != nullptr) {
        dbus_pending_call_cancel(pending_);
        dbus_pending_call_unref(pending_);
    }
    dbus_connection_remove_filter(bus_, Filter, this);
    dbus_bus_remove_match(bus_, ListenerSignals, nullptr);
    dbus_connection_unref(bus_);
}

void RegistryKeystrokes::Ask() {
    if (pending_ != nullptr) {
        dbus_pending_call_cancel(pending_);
        dbus_pending_call_unref(pending_);
        pending_ = nullptr;
    }
    DBusMessage* question = dbus_message_new_method_call(Registry, Controller, ControllerInterface,
                                                         "GetKeystrokeListeners");
    if (question == nullptr) {
        return;
    }
    if (dbus_connection_send_with_reply(bus_, question, &pending_, DBUS_TIMEOUT_USE_DEFAULT) &&
        pending_ != nullptr) {
        dbus_pending_call_set_notify(pending_, Answered, this, nullptr);
    }
    dbus_message_unref(question);
}

void RegistryKeystrokes::Answered(DBusPendingCall* call, void* self) {
    auto& watch = *static_cast<RegistryKeystrokes*>(self);
    DBusMessage* reply = dbus_pending_call_steal_reply(call);
    watch.listened_ = AnyKeystrokeListener(reply);
    if (reply != nullptr) {
        dbus_message_unref(reply);
    }
    dbus_pending_call_unref(watch.pending_);
    watch.pending_ = nullptr;
}

DBusHandlerResult RegistryKeystrokes::Filter(DBusConnection*, DBusMessage* message, void* self) {
    auto& watch = *static_cast<RegistryKeystrokes*>(self);
    if (dbus_message_is_signal(message, ListenerInterface, "KeystrokeListenerRegistered")) {
        watch.listened_ = true;
    } else if (dbus_message_is_signal(message, ListenerInterface,
                                      "KeystrokeListenerDeregistered")) {
        watch.Ask();
    }
    // Others may follow the same signals on this connection.
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}
