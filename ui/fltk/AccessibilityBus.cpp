// The accessibility switch over D-Bus; see AccessibilityBus.h.
#include "AccessibilityBus.h"

#include <dbus/dbus.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <FL/Fl.H>

#include <cstdlib>
#include <utility>

namespace {

constexpr const char* BusName = "org.a11y.Bus";
constexpr const char* BusPath = "/org/a11y/bus";
constexpr const char* StatusInterface = "org.a11y.Status";
constexpr const char* PropertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* StatusChangedRule =
    "type='signal',sender='org.a11y.Bus',path='/org/a11y/bus',"
    "interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'";

bool IsSocket(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

template <typename Function>
bool Resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace

// The part of libdbus this uses, found in the library loaded at run time.
struct AccessibilityBus::Functions {
    decltype(&dbus_error_init) ErrorInit;
    decltype(&dbus_error_free) ErrorFree;
    decltype(&dbus_connection_open_private) OpenPrivate;
    decltype(&dbus_bus_register) Register;
    decltype(&dbus_bus_add_match) AddMatch;
    decltype(&dbus_connection_close) Close;
    decltype(&dbus_connection_unref) ConnectionUnref;
    decltype(&dbus_connection_get_unix_fd) GetUnixFd;
    decltype(&dbus_connection_read_write) ReadWrite;
    decltype(&dbus_connection_pop_message) PopMessage;
    decltype(&dbus_connection_send) Send;
    decltype(&dbus_connection_flush) Flush;
    decltype(&dbus_message_new_method_call) NewMethodCall;
    decltype(&dbus_message_append_args) AppendArgs;
    decltype(&dbus_message_unref) MessageUnref;
    decltype(&dbus_message_get_type) GetType;
    decltype(&dbus_message_get_reply_serial) GetReplySerial;
    decltype(&dbus_message_is_signal) IsSignal;
    decltype(&dbus_message_iter_init) IterInit;
    decltype(&dbus_message_iter_get_arg_type) IterArgType;
    decltype(&dbus_message_iter_recurse) IterRecurse;
    decltype(&dbus_message_iter_next) IterNext;
    decltype(&dbus_message_iter_get_basic) IterBasic;

    // Nothing when libdbus is missing or lacks a function.
    static std::unique_ptr<Functions> Load() {
        void* library = dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            return nullptr;
        }
        auto f = std::make_unique<Functions>();
        const bool complete =
            Resolve(library, "dbus_error_init", f->ErrorInit) &&
            Resolve(library, "dbus_error_free", f->ErrorFree) &&
            Resolve(library, "dbus_connection_open_private", f->OpenPrivate) &&
            Resolve(library, "dbus_bus_register", f->Register) &&
            Resolve(library, "dbus_bus_add_match", f->AddMatch) &&
            Resolve(library, "dbus_connection_close", f->Close) &&
            Resolve(library, "dbus_connection_unref", f->ConnectionUnref) &&
            Resolve(library, "dbus_connection_get_unix_fd", f->GetUnixFd) &&
            Resolve(library, "dbus_connection_read_write", f->ReadWrite) &&
            Resolve(library, "dbus_connection_pop_message", f->PopMessage) &&
            Resolve(library, "dbus_connection_send", f->Send) &&
            Resolve(library, "dbus_connection_flush", f->Flush) &&
            Resolve(library, "dbus_message_new_method_call", f->NewMethodCall) &&
            Resolve(library, "dbus_message_append_args", f->AppendArgs) &&
            Resolve(library, "dbus_message_unref", f->MessageUnref) &&
            Resolve(library, "dbus_message_get_type", f->GetType) &&
            Resolve(library, "dbus_message_get_reply_serial", f->GetReplySerial) &&
            Resolve(library, "dbus_message_is_signal", f->IsSignal) &&
            Resolve(library, "dbus_message_iter_init", f->IterInit) &&
            Resolve(library, "dbus_message_iter_get_arg_type", f->IterArgType) &&
            Resolve(library, "dbus_message_iter_recurse", f->IterRecurse) &&
            Resolve(library, "dbus_message_iter_next", f->IterNext) &&
            Resolve(library, "dbus_message_iter_get_basic", f->IterBasic);
        return complete ? std::move(f) : nullptr;
    }
};

AccessibilityBus::AccessibilityBus(std::function<void(bool listens)> switched, Guard guard)
    : switched_(std::move(switched)), guard_(std::move(guard)) {}

AccessibilityBus::~AccessibilityBus() {
    Stop();
}

void AccessibilityBus::Start() {
    const auto address = SessionBusAddress(std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                                           std::getenv("XDG_RUNTIME_DIR"), IsSocket);
    if (!address || connection_ != nullptr) {
        return;
    }
    if (!functions_ && !(functions_ = Functions::Load())) {
        return;
    }
    const Functions& f = *functions_;
    DBusError error;
    f.ErrorInit(&error);
    connection_ = f.OpenPrivate(address->c_str(), &error);
    if (connection_ != nullptr && !f.Register(connection_, &error)) {
        f.Close(connection_);
        f.ConnectionUnref(connection_);
        connection_ = nullptr;
    }
    f.ErrorFree(&error);
    if (connection_ == nullptr || !f.GetUnixFd(connection_, &descriptor_)) {
        Stop();
        return;
    }
    // Without an error to fill, neither call waits for the bus to answer.
    f.AddMatch(connection_, StatusChangedRule, nullptr);
    DBusMessage* question = f.NewMethodCall(BusName, BusPath, PropertiesInterface, "GetAll");
    if (question != nullptr) {
        const char* interface = StatusInterface;
        f.AppendArgs(question, DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID);
        dbus_uint32_t serial = 0;
        f.Send(connection_, question, &serial);
        question_ = serial;
        f.MessageUnref(question);
        f.Flush(connection_);
    }
    Fl::add_fd(descriptor_, FL_READ, Readable, this);
    // Registering may have read more than its own answer.
    guard_([this] { Receive(); });
}

void AccessibilityBus::Stop() {
    if (descriptor_ >= 0) {
        Fl::remove_fd(descriptor_);
        descriptor_ = -1;
    }
    if (connection_ != nullptr) {
        functions_->Close(connection_);
        functions_->ConnectionUnref(connection_);
        connection_ = nullptr;
    }
}

void AccessibilityBus::Readable(int, void* bus) {
    auto& self = *static_cast<AccessibilityBus*>(bus);
    self.guard_([&] { self.Receive(); });
}

void AccessibilityBus::Receive() {
    const Functions& f = *functions_;
    const bool open = f.ReadWrite(connection_, 0);
    while (DBusMessage* message = f.PopMessage(connection_)) {
        Read(message);
        f.MessageUnref(message);
    }
    if (!open) {
        Stop();
    }
    if (status_.Wanted() != listens_) {
        listens_ = status_.Wanted();
        switched_(listens_);
    }
}

void AccessibilityBus::Read(DBusMessage* message) {
    const Functions& f = *functions_;
    DBusMessageIter arguments;
    if (!f.IterInit(message, &arguments)) {
        return;
    }
    if (f.GetType(message) == DBUS_MESSAGE_TYPE_METHOD_RETURN &&
        f.GetReplySerial(message) == question_) {
        ReadProperties(&arguments);
    } else if (f.IsSignal(message, PropertiesInterface, "PropertiesChanged") &&
               f.IterArgType(&arguments) == DBUS_TYPE_STRING) {
        const char* interface = nullptr;
        f.IterBasic(&arguments, &interface);
        if (std::string_view(interface) == StatusInterface && f.IterNext(&arguments)) {
            ReadProperties(&arguments);
        }
    }
    // An error answer (no accessibility bus in this session) leaves the switch off; the signal
    // still comes should one start later.
}

// Reads an a{sv} of properties, taking the boolean ones.
void AccessibilityBus::ReadProperties(DBusMessageIter* properties) {
    const Functions& f = *functions_;
    if (f.IterArgType(properties) != DBUS_TYPE_ARRAY) {
        return;
    }
    DBusMessageIter entry;
    for (f.IterRecurse(properties, &entry); f.IterArgType(&entry) == DBUS_TYPE_DICT_ENTRY;
         f.IterNext(&entry)) {
        DBusMessageIter pair;
        f.IterRecurse(&entry, &pair);
        if (f.IterArgType(&pair) != DBUS_TYPE_STRING) {
            continue;
        }
        const char* name = nullptr;
        f.IterBasic(&pair, &name);
        DBusMessageIter value;
        if (!f.IterNext(&pair) || f.IterArgType(&pair) != DBUS_TYPE_VARIANT) {
            continue;
        }
        f.IterRecurse(&pair, &value);
        if (f.IterArgType(&value) == DBUS_TYPE_BOOLEAN) {
            dbus_bool_t on = FALSE;
            f.IterBasic(&value, &on);
            status_.Update(name, on != FALSE);
        }
    }
}
