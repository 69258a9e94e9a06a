#pragma once
// Named session objects: a name that every program of the current logon session can create, hold
// and test for. It exists while at least one process holds it and vanishes with its last holder,
// however that process ends, a crash included. On Windows this is a named mutex created without
// initial ownership; elsewhere a locked file in a private per-user directory.

#include <memory>
#include <string>

enum class SessionObjectState { Created, AlreadyExisted, Failed };

class NamedSessionObject {
public:
    // Holds the name from here until destruction, also when another process held it already.
    // Throws std::runtime_error, saying why, when the session offers no place for the name
    // that another user could not take over.
    explicit NamedSessionObject(const std::string& name);
    ~NamedSessionObject();
    NamedSessionObject(const NamedSessionObject&) = delete;
    NamedSessionObject& operator=(const NamedSessionObject&) = delete;

    // AlreadyExisted when another holder had the name as ours was created. Failed when the name is
    // invalid or the system refused; then nothing is held.
    SessionObjectState State() const { return state_; }

private:
    // What the platform keeps open while the name is held; empty when creation failed.
    struct Hold;
    std::unique_ptr<Hold> hold_;
    SessionObjectState state_ = SessionObjectState::Failed;
};

// True when some process holds the name. Creates nothing, so asking neither keeps an object alive
// nor leaves anything behind.
bool NamedSessionObjectExists(const std::string& name);
