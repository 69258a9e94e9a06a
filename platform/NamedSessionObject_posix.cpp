// Named session objects on POSIX systems: lock files in $XDG_RUNTIME_DIR or in a private
// directory under /tmp or, where that is taken, under the user's home.

#include <cstdlib>

#include "NamedSessionObject.h"
#include "SessionDirectory_posix.h"
#include "SessionLock_posix.h"

namespace {

// Looked up once: the close poll asks five times a second, and the user database may be remote.
const SessionPlaces& Places() {
    static const SessionPlaces places = DefaultSessionPlaces();
    return places;
}

}  // namespace

struct NamedSessionObject::Hold {
    FileDescriptor Lock;
};

NamedSessionObject::NamedSessionObject(const std::string& name) {
    const FileDescriptor directory = OpenSessionDirectory(std::getenv("XDG_RUNTIME_DIR"), Places(),
                                                          DirectoryAccess::CreateIfMissing);
    SessionHold hold = HoldSessionName(directory, name);
    state_ = hold.State;
    if (hold.Lock.Valid()) {
        hold_ = std::make_unique<Hold>(Hold{std::move(hold.Lock)});
    }
}

NamedSessionObject::~NamedSessionObject() = default;

bool NamedSessionObjectExists(const std::string& name) {
    const FileDescriptor directory = OpenSessionDirectory(std::getenv("XDG_RUNTIME_DIR"), Places(),
                                                          DirectoryAccess::ExistingOnly);
    return IsSessionNameHeld(directory, name);
}
