// Named session objects on POSIX systems: lock files in $XDG_RUNTIME_DIR or in a private
// directory under /tmp.

#include <cstdlib>

#include "NamedSessionObject.h"
#include "SessionDirectory_posix.h"
#include "SessionLock_posix.h"

struct NamedSessionObject::Hold {
    FileDescriptor Lock;
};

NamedSessionObject::NamedSessionObject(const std::string& name) {
    const FileDescriptor directory = OpenSessionDirectory(
        std::getenv("XDG_RUNTIME_DIR"), DefaultFallbackBase, DirectoryAccess::CreateIfMissing);
    SessionHold hold = HoldSessionName(directory, name);
    State_ = hold.State;
    if (hold.Lock.Valid()) {
        Hold_ = std::make_unique<Hold>(Hold{std::move(hold.Lock)});
    }
}

NamedSessionObject::~NamedSessionObject() = default;

bool NamedSessionObjectExists(const std::string& name) {
    const FileDescriptor directory = OpenSessionDirectory(
        std::getenv("XDG_RUNTIME_DIR"), DefaultFallbackBase, DirectoryAccess::ExistingOnly);
    return IsSessionNameHeld(directory, name);
}
