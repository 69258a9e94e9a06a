// Named session objects on Windows: named mutexes in the session namespace, created without
// initial ownership; only their existence matters, ownership is never taken.

#include <windows.h>

#include "NamedSessionObject.h"
#include "SessionObjectName.h"

struct NamedSessionObject::Hold {
    explicit Hold(HANDLE mutex) : Mutex(mutex) {}
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() { CloseHandle(Mutex); }

    HANDLE Mutex;
};

NamedSessionObject::NamedSessionObject(const std::string& name) {
    if (!IsValidSessionObjectName(name)) {
        return;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        return;
    }
    // Read before anything else can overwrite the thread's last error.
    state_ = GetLastError() == ERROR_ALREADY_EXISTS ? SessionObjectState::AlreadyExisted
                                                    : SessionObjectState::Created;
    hold_ = std::make_unique<Hold>(mutex);
}

NamedSessionObject::~NamedSessionObject() = default;

bool NamedSessionObjectExists(const std::string& name) {
    if (!IsValidSessionObjectName(name)) {
        return false;
    }
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (mutex == nullptr) {
        // A mutex we may not open still exists: another account in the session holds it.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    CloseHandle(mutex);
    return true;
}
