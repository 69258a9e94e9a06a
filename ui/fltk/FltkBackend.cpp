// The FLTK backend; see FltkBackend.h.
#include "FltkBackend.h"

#include "CallbackGuard.h"
#include "CloseRequests.h"
#include "DesktopResolution.h"
#include "DesktopWatch.h"
#include "FltkWindow.h"
#include "FormFont.h"
#include "HighContrastTheme.h"
#include "HintWindow.h"
#include "ProgramIcon.h"
#include "ScreenReaderAccess.h"
#include "StopMessage.h"
#include "X11Window.h"
#include "XSettingsWatch.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdio>

namespace {

Fl_Cursor FltkCursor(PointerShape cursor) {
    switch (cursor) {
        case PointerShape::Hand:
            return FL_CURSOR_HAND;
        case PointerShape::SizeAll:
            return FL_CURSOR_MOVE;
        case PointerShape::Arrow:
            break;
    }
    return FL_CURSOR_DEFAULT;
}

Fl_Color FltkColour(Colour colour) {
    return fl_rgb_color(colour.Red, colour.Green, colour.Blue);
}

// Connects FLTK to the X display named by $DISPLAY. False when it cannot be opened; FLTK on its
// own would end the program with its fatal-error handler instead.
bool OpenDisplay() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    fl_open_display(display);
    return true;
}

// The display that OpenDisplay tries, for the message when it fails: its name in quotes, or the
// note that DISPLAY is not set.
std::string DisplayForMessages() {
    const std::string name = XDisplayName(nullptr);
    return name.empty() ? "(DISPLAY is not set)" : "\"" + name + "\"";
}

}  // namespace

std::unique_ptr<NativeBackend> OpenNativeBackend() {
    // Without a display there is no window to show a message in.
    if (!OpenDisplay()) {
        std::fprintf(stderr, "rechner: cannot open the X display %s\n",
                     DisplayForMessages().c_str());
        return nullptr;
    }
    return std::make_unique<FltkBackend>();
}

void ShowStartupMessage(const std::string& text, const std::string& caption) {
    // Nothing listens for the session's signals any more: they end the program, box and all.
    ReleaseEndingSignals();
    ShowStopMessage(text, caption);
}

FltkBackend::FltkBackend()
    : window_(std::make_unique<FltkWindow>()),
      hint_(std::make_unique<HintWindow>()),
      screenReader_(std::make_unique<ScreenReaderAccess>(*window_, window_->TextPlaces())),
      closeRequests_(std::make_unique<CloseRequests>()),
      desktop_(std::make_unique<DesktopWatch>([this] { DesktopScaleChanged(); },
                                              [this] { MonitorsChanged(); })),
      activation_([this](Activation activation) { ActivationChanged(activation); }),
      desktopSettings_(std::make_unique<XSettingsWatch>([this] { DesktopThemeChanged(); },
                                                        [this] { DesktopScaleChanged(); })) {
    UseProgramIcon();
}

FltkBackend::~FltkBackend() {
    AttachForm(nullptr);
    for (auto& [timer, slot] : timers_) {
        Fl::remove_timeout(TimerElapsed, &slot);
    }
}

void FltkBackend::Run(const std::function<void()>& windowGone) {
    if (form_ == nullptr) {
        return;
    }
    Form& form = *form_;
    // Heard from the start: a close that comes while the window is still on its way ends the
    // program as one that comes later does.
    closeRequests_->Listen([&form] { form.RunGuarded([&] { form.Close(); }); });
    window_->copy_label(form.Title().c_str());
    window_->xclass(form.Title().c_str());
    // The placement runs before the window maps, so it never shows at the default place first.
    form.Show();
    // The faces are open before the map, so that the content follows it at once.
    fontConfiguration_.Wait();
    std::vector<int> digitHeights;
    for (const Control& control : form.Controls()) {
        if (control.DigitHeight > 0) {
            digitHeights.push_back(control.DigitHeight);
        }
    }
    OpenFormFonts(digitHeights);
    window_->show();
    const XWindowId xid = fl_xid(window_.get());
    if (opacity_) {
        SetWindowOpacity(xid, *opacity_);
    }
    PresentAboveOthers(xid);
    if (WaitForFirstPaint()) {
        // A window manager may pull a new window wholly onto the screen as it maps it; by the
        // first paint it has, and the window may be moved again. Input handled while waiting
        // counts: a drag that already moved the window is the user's word.
        form.RunGuarded([&] { form.WindowMoved(); });
        ApplyShape();
        // The first picture reaches the screen before anything is asked of the session's buses.
        Fl::flush();
        screenReader_->Start();
    }
    Fl::run();
    windowGone();
}

bool FltkBackend::WaitForFirstPaint() {
    // Not FLTK's wait_for_expose: it waits on for an expose even when a close took the window
    // away meanwhile, and then it never returns.
    while (window_->shown() && !window_->Painted()) {
        Fl::wait();
        // Fl::wait draws before it waits, not after: an expose it just handled is drawn here.
        Fl::flush();
    }
    return window_->shown();
}

void FltkBackend::AttachForm(Form* form) {
    form_ = form;
    window_->Attach(form);
    screenReader_->Attach(form);
}

ScaleFactor FltkBackend::FormScale() {
    return DesktopScale(DesktopDotsPerInch(desktopSettings_->XftDpi(), CurrentDesktopResources()));
}

int FltkBackend::Scaled(int designPixels) const {
    // The factor the form took, which its work area may have limited.
    const ScaleFactor scale = form_ != nullptr ? form_->Scaling() : ScaleFactor{};
    return RoundedMulDiv(designPixels, scale.Numerator, scale.Denominator);
}

ScreenLayout FltkBackend::Screens() {
    ScreenLayout layout;
    for (int screen = 0; screen < Fl::screen_count(); ++screen) {
        Rect bounds;
        Fl::screen_xywh(bounds.Left, bounds.Top, bounds.Width, bounds.Height, screen);
        layout.Monitors.push_back(bounds);
    }
    for (int screen = 0; screen < Fl::screen_count(); ++screen) {
        Rect work;
        Fl::screen_work_area(work.Left, work.Top, work.Width, work.Height, screen);
        layout.WorkAreas.push_back(work);
    }
    // Not Fl::w() and Fl::h(): those are the work area, without the panels.
    layout.Primary = layout.Monitors.front();
    // The root window spans every monitor.
    layout.Desktop = {0, 0, DisplayWidth(fl_display, fl_screen),
                      DisplayHeight(fl_display, fl_screen)};
    return layout;
}

std::optional<SystemColours> FltkBackend::HighContrastColours() {
    return HighContrastThemeColours(desktopSettings_->ThemeName());
}

void FltkBackend::SetClientSize(int width, int height) {
    window_->size(width, height);
    window_->size_range(width, height, width, height);  // not resizable
}

void FltkBackend::SetColourKey(Colour key, const Picture& picture) {
    // X has no colour key: the window's shape leaves out the key's pixels instead.
    visible_ = ColourKeyMask(picture, key, window_->w(), window_->h());
    ApplyShape();
}

void FltkBackend::RemoveColourKey() {
    visible_.reset();
    ApplyShape();
}

void FltkBackend::ApplyShape() {
    if (!window_->shown()) {
        return;
    }
    if (visible_) {
        SetWindowShape(fl_xid(window_.get()), *visible_);
    } else {
        RemoveWindowShape(fl_xid(window_.get()));
    }
}

Point FltkBackend::WindowPosition() {
    return {window_->x(), window_->y()};
}

void FltkBackend::MoveWindow(Point topLeft) {
    window_->position(topLeft.X, topLeft.Y);
}

void FltkBackend::SetOpacity(int alpha) {
    opacity_ = alpha;
    if (window_->shown()) {
        SetWindowOpacity(fl_xid(window_.get()), alpha);
    }
}

void FltkBackend::Invalidate(const Rect& area) {
    window_->damage(FL_DAMAGE_ALL, area.Left, area.Top, area.Width, area.Height);
}

void FltkBackend::CloseWindow() {
    // The event loop ends when no window of ours is shown any more.
    hint_->hide();
    window_->hide();
    // Off the screen now, not when the connection is next used: the program may still spend a
    // moment on a pending write.
    XFlush(fl_display);
}

void FltkBackend::SetCursor(PointerShape cursor) {
    window_->cursor(FltkCursor(cursor));
}

void FltkBackend::SetCapture(bool) {
    // Nothing to do: while a button is held, X grabs the pointer for the window it was pressed
    // in, and FLTK sends every drag and the release to that window even outside it. Fl::grab()
    // would grab the whole display and take the events from the other windows.
}

void FltkBackend::StartTimer(FormTimer timer, int intervalMilliseconds) {
    TimerSlot& slot = timers_.try_emplace(timer, TimerSlot{this, timer, 0}).first->second;
    slot.Seconds = intervalMilliseconds / 1000.0;
    Fl::remove_timeout(TimerElapsed, &slot);
    Fl::add_timeout(slot.Seconds, TimerElapsed, &slot);
}

void FltkBackend::StopTimer(FormTimer timer) {
    if (const auto found = timers_.find(timer); found != timers_.end()) {
        Fl::remove_timeout(TimerElapsed, &found->second);
    }
}

void FltkBackend::TimerElapsed(void* slot) {
    const auto& elapsed = *static_cast<TimerSlot*>(slot);
    Form* form = elapsed.Backend->form_;
    GuardCallback(form, [&] {
        // Rescheduled first, so that the form may stop or restart the timer from its handler.
        Fl::repeat_timeout(elapsed.Seconds, TimerElapsed, slot);
        if (form != nullptr) {
            form->Timer(elapsed.Timer);
        }
    });
}

void FltkBackend::ShowHint(const std::string& text, Point screenPointer) {
    hint_->ShowAt(
        text, screenPointer, [this](int pixels) { return Scaled(pixels); }, HighContrastColours());
}

void FltkBackend::HideHint() {
    hint_->hide();
}

int FltkBackend::ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer,
                               bool fromKeyboard) {
    // Value-initialised items are empty; the last one ends the menu.
    std::vector<Fl_Menu_Item> menu(items.size() + 1);
    // The menu's colours come from the button it is said to belong to: in high contrast, the
    // face's, the chosen item in the highlight colours; otherwise FLTK's own.
    Fl_Group::current(nullptr);  // a button of no window
    Fl_Menu_Button colours(0, 0, 0, 0);
    const std::optional<SystemColours> contrast = HighContrastColours();
    if (contrast) {
        colours.color(FltkColour(contrast->Window));
        colours.textcolor(FltkColour(contrast->WindowText));
        colours.selection_color(FltkColour(contrast->Highlight));
    }
    for (std::size_t index = 0; index < items.size(); ++index) {
        menu[index].label(items[index].c_str());
        menu[index].labelsize(Scaled(FL_NORMAL_SIZE));
        if (contrast) {
            menu[index].labelcolor(FltkColour(contrast->WindowText));
        }
    }
    // popup() takes coordinates relative to the window of the current event.
    const int windowLeft = Fl::event_x_root() - Fl::event_x();
    const int windowTop = Fl::event_y_root() - Fl::event_y();
    // An item picked beforehand is the highlighted one, and the menu lies with it at the point.
    const Fl_Menu_Item* picked = fromKeyboard ? menu.data() : nullptr;
    screenReader_->MenuShown(items);
    const Fl_Menu_Item* chosen = menu.front().popup(
        screenPointer.X - windowLeft, screenPointer.Y - windowTop, nullptr, picked, &colours);
    screenReader_->MenuClosed();
    return chosen != nullptr ? static_cast<int>(chosen - menu.data()) : -1;
}

void FltkBackend::ShowErrorMessage(const std::string& text, const std::string& caption) {
    ShowStopMessage(text, caption);
}

void FltkBackend::EndNestedLoops() {
    // The popup menu holds the grab, and its loop ends on Escape as when the user dismisses it.
    // The made-up key goes straight to the menu: no screen reader is to hear a key not pressed.
    if (Fl_Window* menu = Fl::grab(); menu != nullptr) {
        const int key = Fl::e_keysym;
        Fl::e_keysym = FL_Escape;
        Fl::handle_(FL_KEYBOARD, menu);
        Fl::e_keysym = key;
    }
    // The message box is the modal window; its loop runs while it is shown, as its OK button
    // knows.
    if (Fl_Window* box = Fl::modal(); box != nullptr && box != window_.get()) {
        box->hide();
    }
}

void FltkBackend::AccessibleChanged(std::size_t element, AccessibleChange change) {
    // FLTK has no accessibility interface of its own: the screen reader's objects are ours.
    screenReader_->Changed(element, change);
}

void FltkBackend::AccessibleMessage(std::size_t element, const std::string& message) {
    screenReader_->Say(element, message);
}

void FltkBackend::CopyToClipboard(const std::string& text) {
    Fl::copy(text.c_str(), static_cast<int>(text.size()), 1);
}

void FltkBackend::RequestClipboardText() {
    // The clipboard, not the primary selection. The owner answers through the event loop, and
    // the text arrives as the window's paste event; an owner that never answers blocks nothing.
    Fl::paste(*window_, 1);
}

void FltkBackend::DesktopScaleChanged() {
    // Any resource or setting may have changed; the form scales again only when the factor did.
    GuardCallback(form_, [&] {
        if (form_ != nullptr) {
            form_->ScaleChanged(FormScale());
        }
    });
}

void FltkBackend::MonitorsChanged() {
    GuardCallback(form_, [&] {
        if (form_ != nullptr && window_->shown()) {
            form_->ScreensChanged();
        }
    });
}

void FltkBackend::ActivationChanged(Activation activation) {
    GuardCallback(form_, [&] {
        if (form_ == nullptr) {
            return;
        } else if (activation == Activation::Active) {
            form_->Activate();
        } else {
            form_->Deactivate();
        }
    });
}

void FltkBackend::DesktopThemeChanged() {
    GuardCallback(form_, [&] {
        if (form_ != nullptr) {
            form_->ContrastChanged();
        }
    });
}
