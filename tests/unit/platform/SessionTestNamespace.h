#pragma once
// Keeps one test's named session objects apart from every real calculator and from other test
// processes running at the same time: on POSIX they live in a private runtime directory that is
// removed afterwards; on Windows, with one namespace per logon session, their names carry the
// test process's id.

#include <memory>
#include <string>

class SessionTestNamespace {
public:
    SessionTestNamespace();
    ~SessionTestNamespace();
    SessionTestNamespace(const SessionTestNamespace&) = delete;
    SessionTestNamespace& operator=(const SessionTestNamespace&) = delete;

    // The name a test uses for base.
    std::string Name(const std::string& base) const;

private:
    struct Scope;
    std::unique_ptr<Scope> scope_;
};
