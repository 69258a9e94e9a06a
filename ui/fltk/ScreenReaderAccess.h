#pragma once
// The calculator offered to screen readers on Linux. After the first paint it asks the
// accessibility bus whether an assistive technology listens; once one does, it loads the ATK
// library (beside the program in the build tree, else in the installed library directory),
// serves GLib's main context from FLTK's loop through the descriptors it waits on, and offers
// every key to the screen reader first. Switched off, it stops both and keeps the library for
// the next time. Until then it costs a remembered activation.

#include <deque>
#include <memory>

#include "AccessibilityBus.h"
#include "AccessibleWindow.h"
#include "Form.h"
#include "PaintedTexts.h"
#include "ReaderKeys.h"
#include "ReaderLoop.h"

class Fl_Window;

class ScreenReaderAccess final : public AccessibleWindow {
public:
    // painted tells where the window's texts lie on it.
    ScreenReaderAccess(Fl_Window& window, const PaintedTexts& painted);
    ~ScreenReaderAccess() override;
    ScreenReaderAccess(const ScreenReaderAccess&) = delete;
    ScreenReaderAccess& operator=(const ScreenReaderAccess&) = delete;

    // The form the screen reader reads, or nullptr once it is gone; from then on the reader's
    // objects are defunct.
    void Attach(Form* form);
    // Asks the bus; call once the window is painted, so that the start never waits for it.
    void Start();
    // The form's news.
    void Changed(std::size_t element, AccessibleChange change);
    // The popup menu with these items is open, its first item chosen; it closed again.
    void MenuShown(const std::vector<std::string>& items);
    void MenuClosed();
    void Say(std::size_t element, const std::string& message);

    std::string Title() override;
    std::size_t ElementCount() override;
    AccessibleElement Element(std::size_t index) override;
    Rect ScreenBounds() override;
    std::optional<std::size_t> ElementAt(Point client) override;
    std::vector<Rect> CharacterPlaces(std::size_t index) override;
    bool Active() override;
    void Press(std::size_t index) override;

private:
    void Switched(bool listens);
    void Load();
    void Resume();
    void Pause();
    void Serve();
    void Rewatch();
    bool OfferKey(const ReaderKey& key);
    static void PressPending(void* access);

    Fl_Window& window_;
    const PaintedTexts& painted_;
    Form* form_ = nullptr;
    std::deque<std::size_t> presses_;
    ReaderLoop loop_;
    // Lives exactly while the library is served: loaded and accessibility switched on.
    std::unique_ptr<ReaderKeys> keys_;
    AccessibilityBus bus_;
    // Last, so that it goes first: it holds on to this window.
    std::unique_ptr<AccessibilityBridge> bridge_;
};
