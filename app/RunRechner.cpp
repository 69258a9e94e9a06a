// Rechner, the companion calculator of the household-budget program Tembra Lidorn.
//
// The program is one window, TfrmMain (ui/Umain.h), a painted calculator whose key surfaces and
// labels are lightweight controls of a toolkit-free form (ui/Form.h). The form routes every
// event to its controls and handlers and asks its backend (ui/NativeBackend.h: FLTK on X11 in
// ui/fltk/, Win32 in ui/win32/) for everything native: the window, painting, opacity, menus and
// message boxes. The engine (engine/) turns key texts into the three display texts; settings/
// remembers the window's position; platform/ supplies the named session objects that keep the
// program single and let the host close it. Start-up only guards the single instance, creates
// the window and runs the loop. To understand everything else, start reading TfrmMain's
// constructor.

#include "RunRechner.h"

#include <exception>
#include <string>

#include "AmountText.h"
#include "DecimalSeparator.h"
#include "Form.h"
#include "NamedSessionObject.h"
#include "NativeBackend.h"
#include "SessionObjectNames.h"
#include "Umain.h"
#include "UserSettings.h"

namespace {

const std::string Title = "Rechner";

// The host raises this to close a running calculator. Asking whether someone holds it answers
// the same as creating it and seeing it already there, without leaving anything behind, and at
// a fraction of the system calls: the poll runs five times a second for the whole session.
bool CloseSignalRaised() {
    return NamedSessionObjectExists(CloseSignalName);
}

}  // namespace

int RunRechner() {
    // Everything is inside the boundary, connecting to the window system included: a window that
    // cannot be created is told like any other failed start, in a box without an owner, and the
    // program still ends normally. By the time the box shows, the backend is gone, so nothing of
    // it receives messages while the box's loop runs.
    try {
        SetDecimalSeparator(ReadUserDecimalSeparator());

        // Held until the calculator closes. A calculator that already runs stays as it is, and
        // this one ends without showing anything. A failed creation runs as the first instance.
        const NamedSessionObject active(CalculatorActiveName);
        if (active.State() == SessionObjectState::AlreadyExisted) {
            return 0;
        }

        const std::unique_ptr<NativeBackend> backend = OpenNativeBackend();
        if (!backend) {
            return 1;
        }
        UserSettings settings;
        TfrmMain frmMain(*backend, {settings.Store(), CloseSignalRaised, ReadUserDecimalSeparator});
        backend->Run();
    } catch (...) {
        try {
            ShowStartupMessage(ExceptionMessageText(std::current_exception()), Title);
        } catch (...) {
            // A box that cannot even be built leaves nothing else to tell the user with.
        }
    }
    return 0;
}
