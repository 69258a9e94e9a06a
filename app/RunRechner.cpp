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
#include <optional>
#include <string>

#include "AmountText.h"
#include "DecimalSeparator.h"
#include "Form.h"
#include "NamedSessionObject.h"
#include "NativeBackend.h"
#include "Placement.h"
#include "SessionObjectNames.h"
#include "SettingsPrefetch.h"
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
        // Last gone: after the last write of the position, so that a host that waits for it
        // finds the program's files free.
        const NamedSessionObject process(CalculatorProcessName);
        SetDecimalSeparator(ReadUserDecimalSeparator());

        // First made, last gone: whichever way the program ends, a pending write of the position
        // gets its grace after everything else has gone.
        UserSettings settings;
        // Held until the calculator's window has gone. A calculator that already runs stays as
        // it is, and this one ends without showing anything. A failed creation runs as the first
        // instance; a session without a safe place for the object is told as a failed start.
        std::optional<NamedSessionObject> active(std::in_place, CalculatorActiveName);
        if (active->State() == SessionObjectState::AlreadyExisted) {
            return 0;
        }

        // Read while the window is built, and gone before the settings are.
        SettingsPrefetch position(settings.Store(), PositionNames);
        const std::unique_ptr<NativeBackend> backend = OpenNativeBackend();
        if (!backend) {
            return 1;
        }
        TfrmMain frmMain(*backend, {settings.Store(), CloseSignalRaised, ReadUserDecimalSeparator,
                                    ReadUserThousandsSeparator, &position});
        backend->Run([&] {
            // A calculator started from now on shows its own window, even while this one still
            // stores the position: it reads the position stored before, and this one's write
            // lands after.
            active.reset();
            settings.FinishWriting();
        });
    } catch (...) {
        try {
            ShowStartupMessage(ExceptionMessageText(std::current_exception()), Title);
        } catch (...) {
            // A box that cannot even be built leaves nothing else to tell the user with.
        }
    }
    return 0;
}
