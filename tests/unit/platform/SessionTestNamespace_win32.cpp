// Session test namespaces on Windows: the session's one namespace, with names made unique per
// test process.

#include <windows.h>

#include "SessionTestNamespace.h"

struct SessionTestNamespace::Scope {};

SessionTestNamespace::SessionTestNamespace() = default;

SessionTestNamespace::~SessionTestNamespace() = default;

std::string SessionTestNamespace::Name(const std::string& base) const {
    return base + "-" + std::to_string(GetCurrentProcessId());
}
