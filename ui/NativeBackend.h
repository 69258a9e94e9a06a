#pragma once
// The native side of start-up, one implementation per platform, picked by CMake: connecting to
// the window system, the backend the calculator window is built on, its event loop, and the
// message box for a start that failed. With it, one start-up routine serves every platform.

#include <functional>
#include <memory>
#include <string>

#include "FormBackend.h"

class NativeBackend : public FormBackend {
public:
    // Shows the attached form's window and runs the event loop until the window closes, however
    // that is asked for. Calls `windowGone` once the window is off the screen: after the loop,
    // and also before answering the system where it ends the process once answered (the end of
    // the session on Windows). It may thus run twice, and does the second time what is left.
    virtual void Run(const std::function<void()>& windowGone) = 0;
};

// The backend on the user's window system, or nullptr when there is none to show anything on;
// the reason is then written to standard error.
std::unique_ptr<NativeBackend> OpenNativeBackend();

// A stop message box without an owner window, for what escapes start-up.
void ShowStartupMessage(const std::string& text, const std::string& caption);
