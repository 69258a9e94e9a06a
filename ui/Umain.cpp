// TfrmMain: the calculator window's tables and handlers. Each handler is a few lines that call
// the engine, the settings store or the form; the routing lives in Form.

#include "Umain.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "AmountText.h"
#include "KeyboardMap.h"
#include "PastedAmount.h"
#include "Placement.h"
#include "SkinDrawing.h"
#include "SpokenMessages.h"

namespace {

constexpr int ClientWidth = 126;
constexpr int ClientHeight = 224;
// "MS Sans Serif" 8 point bold, the design's font, draws its digits 8 pixels high at 96 dots
// per inch.
constexpr int LabelDigitHeight = 8;

const std::string EntryLabel = "lblRechner";
const std::string LastNumberLabel = "lblRechnerLetzteZahl";
const std::string OperatorLabel = "lblRechnerOperant";
// The display as a whole, as a screen reader finds it: no control, but the element it is on.
const std::string DisplayElement = "Anzeige";

struct KeySurface {
    std::string_view Name;  // its click handler is the name followed by "Click"
    Rect Bounds;
    std::string_view Key;
    std::string_view Hint;
    std::string_view Spoken;  // what a screen reader calls it
};

// Bottom first: where two surfaces overlap by a pixel row, the later one takes the click.
constexpr std::array<KeySurface, 18> KeySurfaces{{
    {"Image10", {8, 191, 26, 21}, "0", "", "Null"},
    {"img1", {8, 171, 26, 21}, "1", "", "Eins"},
    {"Img2", {35, 170, 26, 21}, "2", "", "Zwei"},
    {"Image11", {36, 190, 26, 21}, ",", "", "Komma"},
    {"Image12",
     {61, 190, 26, 21},
     "=",
     "Ergebnis berechnen (oder Return/Enter auf der Tastatur)",
     "Gleich"},
    {"Image9", {61, 171, 26, 21}, "3", "", "Drei"},
    {"Image24", {88, 171, 26, 43}, "+", "plus", "Plus"},
    {"Image13", {88, 150, 26, 21}, "-", "minus", "Minus"},
    {"Image14", {61, 151, 26, 21}, "6", "", "Sechs"},
    {"Image15",
     {35, 150, 26, 21},
     "5",
     "",
     "F\xC3\xBC"
     "nf"},
    {"Image16", {9, 149, 26, 21}, "4", "", "Vier"},
    {"Image20", {8, 130, 26, 21}, "7", "", "Sieben"},
    {"Image19", {35, 130, 26, 21}, "8", "", "Acht"},
    {"Image18", {61, 130, 26, 21}, "9", "", "Neun"},
    {"Image17", {88, 131, 26, 21}, "x", "mal nehmen", "Mal"},
    {"Image21", {88, 110, 26, 21}, ":", "teilen", "Geteilt durch"},
    {"Image22",
     {36, 112, 26, 21},
     "A",
     "AC (alles zur\xC3\xBC"
     "cksetzen oder Taste ESC)",
     "Alles l\xC3\xB6"
     "schen"},
    {"Image23",
     {9, 112, 26, 21},
     "C",
     "C (Zahl erneut eingeben)",
     "Eingabe l\xC3\xB6"
     "schen"},
}};

// What a screen reader finds, in the order it reads: the display from the top, then the keys
// row by row as they lie on the keypad.
constexpr std::array<std::string_view, 18> KeysInReadingOrder{
    "C", "A", ":", "7", "8", "9", "x", "4", "5", "6", "-", "1", "2", "3", "+", "0", ",", "="};

// What a key shows where it is drawn as text, in high contrast: the key text, except for the
// operators and all clear, which show their usual signs.
std::string FaceText(std::string_view key) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 4> signs{{
        {"-", "\xE2\x88\x92"},  // minus sign
        {"x", "\xC3\x97"},      // multiplication sign
        {":", "\xC3\xB7"},      // division sign
        {"A", "AC"},
    }};
    for (const auto& [text, sign] : signs) {
        if (key == text) {
            return std::string(sign);
        }
    }
    return std::string(key);
}

// The operator as it is said; a blank display says nothing.
std::string SpokenOperator(const std::string& caption) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 5> words{{
        {"+", "plus"},
        {"-", "minus"},
        {"x", "mal"},
        {":", "geteilt durch"},
        {"=", "gleich"},
    }};
    for (const auto& [shown, spoken] : words) {
        if (caption == shown) {
            return std::string(spoken);
        }
    }
    return caption.find_first_not_of(' ') == std::string::npos ? "" : caption;
}

Control Label(const std::string& name, Rect bounds, std::string_view caption,
              TextAlignment alignment) {
    return {.Name = name,
            .Kind = ControlKind::Label,
            .Bounds = bounds,
            .Caption = std::string(caption),
            .Alignment = alignment,
            .DigitHeight = LabelDigitHeight};
}

// The entry and last-number labels drag the window like the body and carry its menu.
Control DragLabel(const std::string& name, Rect bounds, std::string_view caption) {
    Control label = Label(name, bounds, caption, TextAlignment::Right);
    label.ControlCursor = PointerShape::SizeAll;
    label.HasPopupMenu = true;
    return label;
}

// The window's controls, bottom to top, before any handler is bound.
std::vector<Control> ControlTable() {
    std::vector<Control> controls;
    controls.push_back({.Name = "Image7", .Kind = ControlKind::Picture});
    controls.push_back({.Name = "Image1",
                        .Kind = ControlKind::Surface,
                        .Bounds = {0, 0, 129, 225},
                        .ControlCursor = PointerShape::SizeAll,
                        .Hint = "hier klicken und \"ziehen\" zum Verschieben",
                        .HasPopupMenu = true});
    for (const KeySurface& key : KeySurfaces) {
        controls.push_back({.Name = std::string(key.Name),
                            .Kind = ControlKind::Surface,
                            .Bounds = key.Bounds,
                            .ControlCursor = PointerShape::Hand,
                            .Hint = std::string(key.Hint),
                            .HasPopupMenu = true,
                            .AccessibleName = std::string(key.Spoken),
                            .AccessibleShortcut = KeyboardShortcut(std::string(key.Key)),
                            .FaceText = FaceText(key.Key)});
    }
    controls.push_back(DragLabel(EntryLabel, {14, 59, 80, 17}, InitialEntryText));
    controls.back().AccessibleDescription = "Eingabe";
    controls.push_back(DragLabel(LastNumberLabel, {14, 43, 80, 17}, InitialLastNumberText));
    controls.back().AccessibleDescription = "Letzte Zahl";
    // The operator label only shows: it neither drags nor opens the menu.
    controls.push_back(
        Label(OperatorLabel, {94, 43, 12, 17}, InitialOperatorText, TextAlignment::Center));
    controls.back().AccessibleDescription = "Rechenzeichen";
    controls.back().SpokenCaption = SpokenOperator;
    return controls;
}

// The display as one element, spanning its three texts.
AccessibleDisplay DisplayAsAWhole(const Form& form) {
    AccessibleDisplay display{.Name = DisplayElement, .Description = "Anzeige"};
    for (const std::string& label : {LastNumberLabel, OperatorLabel, EntryLabel}) {
        const Rect& text = form.ControlNamed(label).Bounds;
        Rect& all = display.Bounds;
        if (all.Width == 0) {
            all = text;
        } else {
            const int right = std::max(all.Right(), text.Right());
            const int bottom = std::max(all.Bottom(), text.Bottom());
            all.Left = std::min(all.Left, text.Left);
            all.Top = std::min(all.Top, text.Top);
            all.Width = right - all.Left;
            all.Height = bottom - all.Top;
        }
    }
    return display;
}

// The keys that complete a calculation: after them the display shows a result.
bool CompletesCalculation(const KeyText& key) {
    return key == "=" || key == "+" || key == "-" || key == "x" || key == ":";
}

// What the engine's entry was before a key, to tell a digit it had no room for: one that left
// a typed entry and its decimal place as they were. A zero typed on an entry of zero changes
// nothing either, yet takes nothing away.
struct EntryBefore {
    bool Typing;
    Currency Entry;
    std::int32_t DecimalDivisor;

    explicit EntryBefore(const CalculatorEngine& engine)
        : Typing(engine.EntryTyped() && engine.PendingOperator() != "="),
          Entry(engine.Entry()),
          DecimalDivisor(engine.DecimalDivisor()) {}

    bool RefusedDigit(const KeyText& key, const CalculatorEngine& after) const {
        const bool digit = key.size() == 1 && key[0] >= '0' && key[0] <= '9';
        return digit && Typing && after.Entry() == Entry &&
               after.DecimalDivisor() == DecimalDivisor &&
               (after.DecimalMode() || Entry != Currency());
    }
};

std::vector<std::string> AccessibleOrder() {
    std::vector<std::string> order{DisplayElement, LastNumberLabel, OperatorLabel, EntryLabel};
    for (const std::string_view key : KeysInReadingOrder) {
        for (const KeySurface& surface : KeySurfaces) {
            if (surface.Key == key) {
                order.emplace_back(surface.Name);
            }
        }
    }
    return order;
}

}  // namespace

TfrmMain::TfrmMain(FormBackend& backend, TfrmMainServices services)
    : services_(std::move(services)),
      thousandsSeparator_(services_.ReadThousandsSeparator ? services_.ReadThousandsSeparator()
                                                           : std::string()),
      form_(backend, "Rechner", ClientWidth, ClientHeight, ControlTable(), DrawSkin({})),
      engine_(*this) {
    for (const KeySurface& key : KeySurfaces) {
        form_.ControlNamed(std::string(key.Name)).OnClick = [this, k = std::string(key.Key)] {
            ProcessKey(k);
        };
    }
    for (const std::string& name : {std::string("Image1"), EntryLabel, LastNumberLabel}) {
        Control& dragControl = form_.ControlNamed(name);
        dragControl.OnMouseDown = [this](MouseButton b, Point p) { Image1MouseDown(b, p); };
        dragControl.OnMouseMove = [this](Point p) { Image1MouseMove(p); };
        dragControl.OnMouseUp = [this](MouseButton b, Point p) { Image1MouseUp(b, p); };
    }
    form_.AccessibleOrder = AccessibleOrder();
    form_.Display = DisplayAsAWhole(form_);
    form_.Display.Text = ShownNumber();
    form_.PopupMenu = {
        {"Schlie\xC3\x9F"
         "en",
         [this] { Schlieen1Click(); }}};
    form_.Handlers = {
        .OnShow = [this] { FormShow(); },
        .OnActivate = [this] { FormActivate(); },
        .OnDeactivate = [this] { FormDeactivate(); },
        .OnKeyPress = [this](char32_t typed) { FormKeyPress(typed); },
        .OnKeyDown = [this](char32_t key, KeyModifiers modifiers) { FormKeyDown(key, modifiers); },
        .OnCloseTimer = [this] { TimerCloseTimer(); },
        .OnRegionalSettingsChanged = [this] { RegionalSettingsChanged(); },
        .OnClipboardText = [this](const std::string& text) { PasteAmount(text); },
    };
    form_.SkinAtScale = DrawSkin;
    SetConversionMessageHook(
        [this] { form_.ShowMessage("Konvertierungsfehler!", "Betrag nicht korrekt."); });
    form_.Scale();
    form_.SetOpacity(InitialOpacity);
    form_.StartCloseTimer(CloseTimerInterval);
}

TfrmMain::~TfrmMain() {
    SetConversionMessageHook(nullptr);
}

void TfrmMain::FormShow() {
    if (services_.StoredPosition == nullptr) {
        PlaceFrom(services_.Settings.ReadSettings(PositionNames));
        return;
    }
    // Shown at the default place while a large legacy file is still being read.
    const std::optional<std::vector<StoredSetting>> stored = services_.StoredPosition->Values();
    positionPending_ = !stored;
    PlaceFrom(stored.value_or(std::vector<StoredSetting>{}));
}

void TfrmMain::PlaceFrom(const std::vector<StoredSetting>& stored) {
    const Point place = PlaceWindow(
        [&](const std::string& name) {
            const auto found = std::find_if(stored.begin(), stored.end(),
                                            [&](const StoredSetting& s) { return s.Name == name; });
            return found == stored.end() ? std::string() : services_.Settings.TakeSetting(*found);
        },
        form_.Screens(), form_.ClientWidth(), form_.ClientHeight());
    form_.MoveWindow(place);
}

void TfrmMain::PlaceAtArrivedPosition() {
    if (!positionPending_) {
        return;
    }
    const std::optional<std::vector<StoredSetting>> stored =
        services_.StoredPosition->ArrivedValues();
    if (!stored) {
        return;
    }
    positionPending_ = false;
    if (!movedByUser_ && !Dragging) {
        PlaceFrom(*stored);
    }
}

void TfrmMain::FormActivate() {
    form_.SetOpacity(ActiveOpacity);
}

void TfrmMain::FormDeactivate() {
    form_.SetOpacity(InactiveOpacity);
}

void TfrmMain::FormKeyPress(char32_t typed) {
    if (const auto key = TranslateTypedCharacter(typed)) {
        ProcessKey(*key);
    }
}

void TfrmMain::FormKeyDown(char32_t key, KeyModifiers modifiers) {
    if (!modifiers.Control || modifiers.Alt) {
        return;
    }
    if (key == U'c') {
        CopyDisplayedNumber();
    } else if (key == U'v') {
        form_.RequestClipboardText();
    }
}

void TfrmMain::Image1MouseDown(MouseButton, Point controlPoint) {
    Dragging = true;
    DragStartX = controlPoint.X;
    DragStartY = controlPoint.Y;
}

void TfrmMain::Image1MouseMove(Point controlPoint) {
    if (!Dragging) {
        return;
    }
    // The control moves with the window, so the pressed point stays under the pointer. One move
    // carries both coordinates, so the window never shows at the half-way corner.
    const Point window = form_.WindowPosition();
    form_.MoveWindow(
        {window.X + (controlPoint.X - DragStartX), window.Y + (controlPoint.Y - DragStartY)});
}

void TfrmMain::Image1MouseUp(MouseButton, Point) {
    Dragging = false;
    movedByUser_ = true;
    const Point window = form_.WindowPosition();
    services_.Settings.WriteSettings(
        {{"CalcLeft", std::to_string(window.X)}, {"CalcTop", std::to_string(window.Y)}});
}

void TfrmMain::TimerCloseTimer() {
    // The poll also serves a position read late, so that taking it needs no wake-up of its own.
    PlaceAtArrivedPosition();
    if (services_.CloseSignalRaised && services_.CloseSignalRaised()) {
        form_.Close();
    }
}

void TfrmMain::Schlieen1Click() {
    form_.Close();
}

void TfrmMain::SetEntryText(const std::string& text) {
    form_.SetCaption(EntryLabel, text);
}

void TfrmMain::SetLastNumberText(const std::string& text) {
    form_.SetCaption(LastNumberLabel, text);
}

void TfrmMain::SetOperatorText(const std::string& text) {
    form_.SetCaption(OperatorLabel, text);
}

std::string TfrmMain::ShownNumber() const {
    const std::string& entry = form_.ControlNamed(EntryLabel).Caption;
    return entry.empty() ? form_.ControlNamed(LastNumberLabel).Caption : entry;
}

void TfrmMain::CopyDisplayedNumber() {
    const std::string shown = ShownNumber();
    if (!shown.empty() && shown != ErrorText) {
        form_.CopyToClipboard(shown);
        form_.Say(CopiedMessage(shown));
    }
}

void TfrmMain::PasteAmount(const std::string& text) {
    // The message box of typed amounts does not apply: text that is no amount simply changes
    // nothing but what a reader is told.
    if (const std::optional<Currency> amount =
            ReadPastedAmount(text, DecimalSeparator(), thousandsSeparator_)) {
        engine_.EnterAmount(*amount);
        form_.ShowOnDisplay(ShownNumber(), false, PastedMessage(ShownNumber()));
    } else {
        form_.Say(RefusedPasteMessage());
    }
}

void TfrmMain::RegionalSettingsChanged() {
    if (services_.ReadDecimalSeparator) {
        SetDecimalSeparator(services_.ReadDecimalSeparator());
    }
    if (services_.ReadThousandsSeparator) {
        thousandsSeparator_ = services_.ReadThousandsSeparator();
    }
}

void TfrmMain::ProcessKey(const KeyText& key) {
    const EntryBefore before(engine_);
    const bool errorBefore = ShownNumber() == ErrorText;
    engine_.ProcessKey(key);
    const std::string shown = ShownNumber();
    std::string message;
    if (before.RefusedDigit(key, engine_)) {
        message = RefusedDigitMessage();
    } else if (shown == ErrorText && !errorBefore) {
        message = ErrorMessage();
    } else if (key == "A" || key == "C") {
        message = ClearedMessage(shown);
    }
    form_.ShowOnDisplay(shown, CompletesCalculation(key), message);
}
