// Session test namespaces on POSIX: a private runtime directory per test.

#include "SessionTestNamespace.h"
#include "TestDirectories_posix.h"

struct SessionTestNamespace::Scope {
    PrivateRuntimeDirectory Runtime;
};

SessionTestNamespace::SessionTestNamespace() : scope_(std::make_unique<Scope>()) {}

SessionTestNamespace::~SessionTestNamespace() = default;

std::string SessionTestNamespace::Name(const std::string& base) const {
    return base;
}
