#pragma once
// TfrmMain, the calculator window: its window and control tables, the key table, the handlers
// they bind, the keyboard map, dragging and placement, activation opacity and the close poll.
// It owns the engine and the drag state; the form runtime (Form.h) does the routing and the
// backend (FormBackend.h) the drawing.

#include <functional>
#include <memory>
#include <string>

#include "CalculatorDisplay.h"
#include "CalculatorEngine.h"
#include "Form.h"
#include "KeyText.h"
#include "Settings.h"
#include "SettingsPrefetch.h"

// What the window needs from outside the window: the settings store behind ReadSetting and
// WriteSettings, the probe of the host's close signal, the user's decimal and thousands
// separators; and the stored position when it is read ahead, else the window reads it when shown.
struct TfrmMainServices {
    SettingsStore& Settings;
    std::function<bool()> CloseSignalRaised;
    std::function<char()> ReadDecimalSeparator;
    std::function<std::string()> ReadThousandsSeparator;
    SettingsPrefetch* StoredPosition = nullptr;
};

class TfrmMain : public CalculatorDisplay {
public:
    static constexpr int InitialOpacity = 220;
    static constexpr int ActiveOpacity = 255;
    static constexpr int InactiveOpacity = 155;
    static constexpr int CloseTimerInterval = 200;

    TfrmMain(FormBackend& backend, TfrmMainServices services);
    ~TfrmMain() override;
    TfrmMain(const TfrmMain&) = delete;
    TfrmMain& operator=(const TfrmMain&) = delete;

    Form& GetForm() { return form_; }

    // Drag state.
    bool Dragging = false;
    int DragStartX = 0;
    int DragStartY = 0;

    // Handlers, named after their control and event.
    void FormShow();
    void FormActivate();
    void FormDeactivate();
    void FormKeyPress(char32_t typed);
    void FormKeyDown(char32_t key, KeyModifiers modifiers);
    void Image1MouseDown(MouseButton button, Point controlPoint);
    void Image1MouseMove(Point controlPoint);
    void Image1MouseUp(MouseButton button, Point controlPoint);
    void TimerCloseTimer();
    void Schlieen1Click();

    // The engine's display, written into the three labels.
    void SetEntryText(const std::string& text) override;
    void SetLastNumberText(const std::string& text) override;
    void SetOperatorText(const std::string& text) override;

    // The number the display shows as its main one: the entry, or else the last number.
    std::string ShownNumber() const;
    // Copies the number on display, exactly as displayed.
    void CopyDisplayedNumber();
    // Makes an amount from the clipboard the entry, as if typed; other text changes nothing.
    // The amount may be written as people write it (ReadPastedAmount).
    void PasteAmount(const std::string& text);
    // The next display write and paste use the user's current separators.
    void RegionalSettingsChanged();

private:
    void ProcessKey(const KeyText& key);
    // Moves the window to the stored position among `stored`, or the default place.
    void PlaceFrom(const std::vector<StoredSetting>& stored);
    // A position that was still being read when the window was shown, once it has come; unless
    // the user has moved the window meanwhile.
    void PlaceAtArrivedPosition();

    bool positionPending_ = false;
    bool movedByUser_ = false;

    TfrmMainServices services_;
    std::string thousandsSeparator_;
    Form form_;
    CalculatorEngine engine_;
};
