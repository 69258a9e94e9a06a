#pragma once
// The session's accessibility switch, read over D-Bus from the accessibility bus's status
// properties and then followed as it changes. libdbus is loaded at run time and only when the
// session has a bus, so the program links nothing of D-Bus and a session without a bus maps
// none of it. The conversation runs on FLTK's loop: one question, then the signals as they
// come, never a wait. It keeps listening, so that switching accessibility off is followed too.

#include <functional>
#include <memory>

#include "AccessibilityStatus.h"

struct DBusConnection;
struct DBusMessage;
struct DBusMessageIter;

class AccessibilityBus {
public:
    // Runs the work the way every FLTK callback of the program runs: inside the form's guard.
    using Guard = std::function<void(const std::function<void()>& work)>;

    // `switched` runs from the event loop whenever the bus's answer to "does an assistive
    // technology listen?" changes, first when it says yes.
    AccessibilityBus(std::function<void(bool listens)> switched, Guard guard);
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    // Connects and asks; nothing happens when the session has no bus or it cannot be reached.
    void Start();
    // Hangs up; libdbus stays loaded, as unloading it is not safe.
    void Stop();

private:
    struct Functions;
    static void Readable(int descriptor, void* bus);
    void Receive();
    void Read(DBusMessage* message);
    void ReadProperties(DBusMessageIter* properties);

    std::function<void(bool listens)> switched_;
    Guard guard_;
    bool listens_ = false;  // what `switched` was told last
    std::unique_ptr<Functions> functions_;
    DBusConnection* connection_ = nullptr;
    int descriptor_ = -1;
    unsigned question_ = 0;  // the serial number of the question, which its answer names
    AccessibilityStatus status_;
};
