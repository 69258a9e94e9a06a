// The ATK object types of the calculator and the tree that holds them; see AtkElements.h.
//
// Five GObject types share one instance layout and one set of AtkObject methods, which read the
// kind of object they serve; the types differ in the interfaces they carry: the frame is an
// AtkWindow with a place on the screen, a push button has its place and one action, a label and
// the display their place and their text. Every method runs inside GLib's signal or D-Bus dispatch,
// so none lets an exception out: a failure answers as an empty object would.
#include "AtkElements.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>

namespace {

enum class ObjectKind { Application, Frame, Button, Label, Display, Menu, MenuItem };

// The index of a menu or menu item whose menu has closed: a reader that still holds it finds
// it defunct.
constexpr std::size_t ClosedMenu = static_cast<std::size_t>(-1);

bool InMenu(ObjectKind kind) {
    return kind == ObjectKind::Menu || kind == ObjectKind::MenuItem;
}

struct RechnerAtkObject {
    AtkObject Parent;
    AtkElementTree* Tree;
    ObjectKind Kind;
    std::size_t Index;
};

RechnerAtkObject& Instance(gpointer object) {
    return *static_cast<RechnerAtkObject*>(object);
}

template <typename Result, typename Work>
Result Guarded(Result fallback, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return fallback;
    }
}

// The action's programmatic name, as toolkits name a button's press; what a reader says for it
// comes from the window.
constexpr const char* PressActionName = "press";

// ---- AtkObject

const gchar* GetName(AtkObject* object) {
    return Guarded<const gchar*>("", [&] {
        RechnerAtkObject& self = Instance(object);
        AtkElementTree& tree = *self.Tree;
        if (self.Kind == ObjectKind::Application || self.Kind == ObjectKind::Frame) {
            return tree.Title();
        }
        if (InMenu(self.Kind)) {
            return self.Kind == ObjectKind::MenuItem ? tree.MenuItemName(self.Index) : "";
        }
        return tree.KeepName(self.Index, tree.SpokenName(self.Index));
    });
}

const gchar* GetDescription(AtkObject* object) {
    return Guarded<const gchar*>("", [&] {
        RechnerAtkObject& self = Instance(object);
        if (self.Kind == ObjectKind::Application || self.Kind == ObjectKind::Frame ||
            InMenu(self.Kind)) {
            return "";
        }
        return self.Tree->KeepDescription(self.Index,
                                          self.Tree->Window().Element(self.Index).Description);
    });
}

gint GetChildCount(AtkObject* object) {
    const RechnerAtkObject& self = Instance(object);
    switch (self.Kind) {
        case ObjectKind::Application:
            return 1;
        case ObjectKind::Frame:
            return static_cast<gint>(self.Tree->ElementCount() + (self.Tree->Menu() ? 1 : 0));
        case ObjectKind::Menu:
            return self.Index == ClosedMenu ? 0 : static_cast<gint>(self.Tree->MenuItemCount());
        case ObjectKind::Button:
        case ObjectKind::Label:
        case ObjectKind::Display:
        case ObjectKind::MenuItem:
            break;
    }
    return 0;
}

AtkObject* RefChild(AtkObject* object, gint index) {
    const RechnerAtkObject& self = Instance(object);
    AtkObject* child = nullptr;
    if (self.Kind == ObjectKind::Application && index == 0) {
        child = self.Tree->Frame();
    } else if (self.Kind == ObjectKind::Frame && index >= 0) {
        const auto at = static_cast<std::size_t>(index);
        child = at == self.Tree->ElementCount() ? self.Tree->Menu() : self.Tree->Element(at);
    } else if (self.Kind == ObjectKind::Menu && self.Index != ClosedMenu && index >= 0) {
        child = self.Tree->MenuItem(static_cast<std::size_t>(index));
    }
    return child != nullptr ? static_cast<AtkObject*>(g_object_ref(child)) : nullptr;
}

gint GetIndexInParent(AtkObject* object) {
    const RechnerAtkObject& self = Instance(object);
    switch (self.Kind) {
        case ObjectKind::Application:
            return -1;
        case ObjectKind::Frame:
            return 0;
        case ObjectKind::Menu:
            return static_cast<gint>(self.Tree->ElementCount());
        case ObjectKind::Button:
        case ObjectKind::Label:
        case ObjectKind::Display:
        case ObjectKind::MenuItem:
            break;
    }
    return static_cast<gint>(self.Index);
}

AtkStateSet* RefStateSet(AtkObject* object) {
    AtkStateSet* states = atk_state_set_new();
    const RechnerAtkObject& self = Instance(object);
    if (self.Tree->Defunct() || (InMenu(self.Kind) && self.Index == ClosedMenu)) {
        atk_state_set_add_state(states, ATK_STATE_DEFUNCT);
        return states;
    }
    for (const AtkStateType state : {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE}) {
        atk_state_set_add_state(states, state);
    }
    Guarded(false, [&] {
        AccessibleWindow& window = self.Tree->Window();
        // An empty text shows nothing, so a reader reviewing the window skips it rather than
        // reading a blank line.
        if (self.Kind != ObjectKind::Label || !window.Element(self.Index).Name.empty()) {
            atk_state_set_add_state(states, ATK_STATE_VISIBLE);
            atk_state_set_add_state(states, ATK_STATE_SHOWING);
        }
        if (self.Kind == ObjectKind::Frame) {
            if (window.Active()) {
                atk_state_set_add_state(states, ATK_STATE_ACTIVE);
            }
        } else if (self.Kind == ObjectKind::MenuItem) {
            // The first item is the chosen one for as long as the menu is open.
            atk_state_set_add_state(states, ATK_STATE_SELECTABLE);
            atk_state_set_add_state(states, ATK_STATE_FOCUSABLE);
            if (self.Index == 0) {
                atk_state_set_add_state(states, ATK_STATE_SELECTED);
                atk_state_set_add_state(states, ATK_STATE_FOCUSED);
            }
        } else if (self.Kind != ObjectKind::Application && self.Kind != ObjectKind::Menu) {
            const AccessibleElement element = window.Element(self.Index);
            if (element.Focusable) {
                atk_state_set_add_state(states, ATK_STATE_FOCUSABLE);
            }
            if (element.Focused) {
                atk_state_set_add_state(states, ATK_STATE_FOCUSED);
            }
            if (self.Kind == ObjectKind::Display) {
                // Text a reader reads but the user does not edit: no caret, no typing into it.
                atk_state_set_add_state(states, ATK_STATE_READ_ONLY);
                atk_state_set_add_state(states, ATK_STATE_SINGLE_LINE);
            }
        }
        return true;
    });
    return states;
}

AtkAttributeSet* AddAttribute(AtkAttributeSet* attributes, const char* name, const char* value) {
    auto* attribute = static_cast<AtkAttribute*>(g_malloc(sizeof(AtkAttribute)));
    attribute->name = g_strdup(name);
    attribute->value = g_strdup(value);
    return g_slist_prepend(attributes, attribute);
}

// The display texts are a polite live region: a screen reader speaks each change once the user
// pauses, whole ("12,5", not the "5" that was added), and wherever its focus is.
AtkAttributeSet* GetAttributes(AtkObject* object) {
    AtkAttributeSet* attributes = nullptr;
    if (Instance(object).Kind == ObjectKind::Label) {
        attributes = AddAttribute(attributes, "live", "polite");
        attributes = AddAttribute(attributes, "container-live", "polite");
        attributes = AddAttribute(attributes, "atomic", "true");
        attributes = AddAttribute(attributes, "container-atomic", "true");
    }
    return attributes;
}

// ---- AtkComponent

// The frame is the window's client area; an element's bounds are in client coordinates, which
// are also the window's and the frame's own.
Rect Extents(const RechnerAtkObject& self, AtkCoordType coordinates) {
    AccessibleWindow& window = self.Tree->Window();
    const Rect client = window.ScreenBounds();
    Rect extents = self.Kind == ObjectKind::Frame ? Rect{0, 0, client.Width, client.Height}
                                                  : window.Element(self.Index).Bounds;
    const bool fromScreen = coordinates == ATK_XY_SCREEN ||
                            (coordinates == ATK_XY_PARENT && self.Kind == ObjectKind::Frame);
    if (fromScreen) {
        extents.Left += client.Left;
        extents.Top += client.Top;
    }
    return extents;
}

void GetExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
                AtkCoordType coordinates) {
    const Rect extents = Guarded(Rect{}, [&] { return Extents(Instance(component), coordinates); });
    *x = extents.Left;
    *y = extents.Top;
    *width = extents.Width;
    *height = extents.Height;
}

AtkObject* RefAccessibleAtPoint(AtkComponent* component, gint x, gint y, AtkCoordType coordinates) {
    const RechnerAtkObject& self = Instance(component);
    if (self.Kind != ObjectKind::Frame) {
        return nullptr;
    }
    return Guarded<AtkObject*>(nullptr, [&]() -> AtkObject* {
        AccessibleWindow& window = self.Tree->Window();
        Point client{x, y};
        if (coordinates == ATK_XY_SCREEN || coordinates == ATK_XY_PARENT) {
            const Rect screen = window.ScreenBounds();
            client = {x - screen.Left, y - screen.Top};
        }
        const auto index = window.ElementAt(client);
        AtkObject* found = index ? self.Tree->Element(*index) : nullptr;
        return found != nullptr ? static_cast<AtkObject*>(g_object_ref(found)) : nullptr;
    });
}

AtkLayer GetLayer(AtkComponent* component) {
    return Instance(component).Kind == ObjectKind::Frame ? ATK_LAYER_WINDOW : ATK_LAYER_WIDGET;
}

void InitComponent(gpointer interface, gpointer) {
    auto* component = static_cast<AtkComponentIface*>(interface);
    component->get_extents = GetExtents;
    component->ref_accessible_at_point = RefAccessibleAtPoint;
    component->get_layer = GetLayer;
}

// ---- AtkAction

std::string ActionWords(AtkAction* action) {
    const RechnerAtkObject& self = Instance(action);
    return self.Tree->Window().Element(self.Index).Action;
}

gboolean DoAction(AtkAction* action, gint number) {
    const RechnerAtkObject& self = Instance(action);
    return Guarded<gboolean>(FALSE, [&]() -> gboolean {
        if (number != 0 || ActionWords(action).empty()) {
            return FALSE;
        }
        self.Tree->Window().Press(self.Index);
        return TRUE;
    });
}

gint GetActionCount(AtkAction* action) {
    return Guarded(0, [&] { return ActionWords(action).empty() ? 0 : 1; });
}

const gchar* GetActionName(AtkAction*, gint number) {
    return number == 0 ? PressActionName : nullptr;
}

const gchar* GetActionWords(AtkAction* action, gint number) {
    return Guarded<const gchar*>(nullptr, [&]() -> const gchar* {
        const RechnerAtkObject& self = Instance(action);
        return number == 0 ? self.Tree->KeepAction(self.Index, ActionWords(action)) : nullptr;
    });
}

// The keyboard key that enters the key, as the keyboard calls it.
const gchar* GetKeybinding(AtkAction* action, gint number) {
    return Guarded<const gchar*>(nullptr, [&]() -> const gchar* {
        const RechnerAtkObject& self = Instance(action);
        if (number != 0) {
            return nullptr;
        }
        return self.Tree->KeepShortcut(self.Index,
                                       self.Tree->Window().Element(self.Index).Shortcut);
    });
}

void InitAction(gpointer interface, gpointer) {
    auto* action = static_cast<AtkActionIface*>(interface);
    action->do_action = DoAction;
    action->get_n_actions = GetActionCount;
    action->get_name = GetActionName;
    action->get_localized_name = GetActionWords;
    action->get_description = GetActionWords;
    action->get_keybinding = GetKeybinding;
}

// ---- AtkText: a label's text is what it is called, so that reading it and hearing its name
// agree ("plus", not "+"); the display's text is the number it shows, typed or a result.

std::string LabelText(AtkText* text) {
    const RechnerAtkObject& self = Instance(text);
    return self.Tree->Window().Element(self.Index).Name;
}

gint CharacterCount(const std::string& text) {
    return static_cast<gint>(g_utf8_strlen(text.c_str(), -1));
}

gchar* GetText(AtkText* text, gint start, gint end) {
    return Guarded<gchar*>(nullptr, [&] {
        const std::string whole = LabelText(text);
        const gint count = CharacterCount(whole);
        // An end of -1 means the end of the text.
        const gint last = end < 0 || end > count ? count : end;
        const gint first = start < 0 ? 0 : start > last ? last : start;
        return g_utf8_substring(whole.c_str(), first, last);
    });
}

gint GetCharacterCount(AtkText* text) {
    return Guarded(0, [&] { return CharacterCount(LabelText(text)); });
}

gunichar GetCharacterAtOffset(AtkText* text, gint offset) {
    return Guarded(gunichar{0}, [&] {
        const std::string whole = LabelText(text);
        if (offset < 0 || offset >= CharacterCount(whole)) {
            return gunichar{0};
        }
        return g_utf8_get_char(g_utf8_offset_to_pointer(whole.c_str(), offset));
    });
}

gint GetCaretOffset(AtkText*) {
    return 0;
}

// The text is one run without attributes of its own: the run is the whole text, wherever the
// offset lies in it, and nothing past its end.
AtkAttributeSet* GetRunAttributes(AtkText* text, gint offset, gint* start, gint* end) {
    const gint count = Guarded(0, [&] { return CharacterCount(LabelText(text)); });
    const bool inside = offset >= 0 && offset <= count;
    *start = inside ? 0 : -1;
    *end = inside ? count : -1;
    return nullptr;
}

AtkAttributeSet* GetDefaultAttributes(AtkText*) {
    return nullptr;
}

// What a reader reads by character, word, line or more: the texts are one line of one sentence,
// so anything above a word is the whole text, and words lie between blanks ("geteilt durch").
enum class TextUnit { Character, Word, Whole };

gchar* TextAround(AtkText* text, gint offset, TextUnit unit, gint* start, gint* end) {
    *start = -1;
    *end = -1;
    return Guarded<gchar*>(nullptr, [&] {
        const std::string whole = LabelText(text);
        const gint count = CharacterCount(whole);
        if (offset < 0 || offset > count || (unit == TextUnit::Character && offset == count)) {
            return g_strdup("");
        }
        gint first = 0;
        gint last = count;
        if (unit == TextUnit::Character) {
            first = offset;
            last = offset + 1;
        } else if (unit == TextUnit::Word) {
            const auto blankAt = [&](gint at) {
                return g_unichar_isspace(
                    g_utf8_get_char(g_utf8_offset_to_pointer(whole.c_str(), at)));
            };
            first = offset;
            while (first > 0 && !blankAt(first - 1)) {
                --first;
            }
            last = offset;
            while (last < count && !blankAt(last)) {
                ++last;
            }
        }
        *start = first;
        *end = last;
        return g_utf8_substring(whole.c_str(), first, last);
    });
}

gchar* GetStringAtOffset(AtkText* text, gint offset, AtkTextGranularity granularity, gint* start,
                         gint* end) {
    const TextUnit unit = granularity == ATK_TEXT_GRANULARITY_CHAR   ? TextUnit::Character
                          : granularity == ATK_TEXT_GRANULARITY_WORD ? TextUnit::Word
                                                                     : TextUnit::Whole;
    return TextAround(text, offset, unit, start, end);
}

TextUnit UnitOf(AtkTextBoundary boundary) {
    return boundary == ATK_TEXT_BOUNDARY_CHAR ? TextUnit::Character
           : boundary == ATK_TEXT_BOUNDARY_WORD_START || boundary == ATK_TEXT_BOUNDARY_WORD_END
               ? TextUnit::Word
               : TextUnit::Whole;
}

gchar* GetTextAtOffset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start,
                       gint* end) {
    return TextAround(text, offset, UnitOf(boundary), start, end);
}

// The unit next to the one at the offset, before or after it; the blanks between two words
// belong to neither, and the whole text has nothing beside it.
gchar* TextBeside(AtkText* text, gint offset, AtkTextBoundary boundary, bool after, gint* start,
                  gint* end) {
    const TextUnit unit = UnitOf(boundary);
    gint first = -1;
    gint last = -1;
    g_free(TextAround(text, offset, unit, &first, &last));
    const auto next = Guarded<std::optional<gint>>(std::nullopt, [&]() -> std::optional<gint> {
        if (unit == TextUnit::Character) {
            return after ? offset + 1 : offset - 1;
        }
        if (first < 0 || unit == TextUnit::Whole) {
            return std::nullopt;
        }
        const std::string whole = LabelText(text);
        const gint count = CharacterCount(whole);
        const auto blankAt = [&](gint at) {
            return g_unichar_isspace(g_utf8_get_char(g_utf8_offset_to_pointer(whole.c_str(), at)));
        };
        gint at = after ? last : first - 1;
        while (at >= 0 && at < count && blankAt(at)) {
            at += after ? 1 : -1;
        }
        return at >= 0 && at < count ? std::optional<gint>(at) : std::nullopt;
    });
    if (!next) {
        *start = -1;
        *end = -1;
        return g_strdup("");
    }
    return TextAround(text, *next, unit, start, end);
}

gchar* GetTextBeforeOffset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start,
                           gint* end) {
    return TextBeside(text, offset, boundary, false, start, end);
}

gchar* GetTextAfterOffset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start,
                          gint* end) {
    return TextBeside(text, offset, boundary, true, start, end);
}

// Where the characters lie: where their glyphs were painted, moved as the element's place is
// from its client coordinates. A text not painted as it reads is right-aligned in its place,
// each character taking an equal share of it.
Rect CharacterPlace(AtkText* text, gint offset, AtkCoordType coordinates) {
    const RechnerAtkObject& self = Instance(text);
    const Rect place = Extents(self, coordinates);
    const gint count = CharacterCount(LabelText(text));
    if (count == 0 || offset < 0 || offset >= count) {
        return {place.Right(), place.Top, 0, place.Height};
    }
    const std::vector<Rect> painted = self.Tree->Window().CharacterPlaces(self.Index);
    if (painted.size() == static_cast<std::size_t>(count)) {
        const Rect client = self.Tree->Window().Element(self.Index).Bounds;
        Rect glyph = painted[static_cast<std::size_t>(offset)];
        glyph.Left += place.Left - client.Left;
        glyph.Top += place.Top - client.Top;
        return glyph;
    }
    const int share = std::min(place.Width / count, place.Height);
    return {place.Right() - (count - offset) * share, place.Top, share, place.Height};
}

void GetCharacterExtents(AtkText* text, gint offset, gint* x, gint* y, gint* width, gint* height,
                         AtkCoordType coordinates) {
    const Rect place = Guarded(Rect{}, [&] { return CharacterPlace(text, offset, coordinates); });
    *x = place.Left;
    *y = place.Top;
    *width = place.Width;
    *height = place.Height;
}

void GetRangeExtents(AtkText* text, gint start, gint end, AtkCoordType coordinates,
                     AtkTextRectangle* rectangle) {
    const Rect place = Guarded(Rect{}, [&] {
        const Rect first = CharacterPlace(text, start, coordinates);
        const Rect last = CharacterPlace(text, std::max(start, end - 1), coordinates);
        return Rect{first.Left, first.Top, last.Right() - first.Left, first.Height};
    });
    *rectangle = {place.Left, place.Top, place.Width, place.Height};
}

void InitText(gpointer interface, gpointer) {
    auto* text = static_cast<AtkTextIface*>(interface);
    text->get_text = GetText;
    text->get_character_count = GetCharacterCount;
    text->get_character_at_offset = GetCharacterAtOffset;
    text->get_caret_offset = GetCaretOffset;
    text->get_run_attributes = GetRunAttributes;
    text->get_default_attributes = GetDefaultAttributes;
    text->get_string_at_offset = GetStringAtOffset;
    text->get_text_at_offset = GetTextAtOffset;
    text->get_text_before_offset = GetTextBeforeOffset;
    text->get_text_after_offset = GetTextAfterOffset;
    text->get_character_extents = GetCharacterExtents;
    text->get_range_extents = GetRangeExtents;
}

// AtkWindow has only signals.
void InitWindow(gpointer, gpointer) {}

// ---- the types

void InitClass(gpointer typeClass, gpointer) {
    auto* object = static_cast<AtkObjectClass*>(typeClass);
    object->get_name = GetName;
    object->get_description = GetDescription;
    object->get_n_children = GetChildCount;
    object->ref_child = RefChild;
    object->get_index_in_parent = GetIndexInParent;
    object->ref_state_set = RefStateSet;
    object->get_attributes = GetAttributes;
}

GType RegisterType(const char* name,
                   std::initializer_list<std::pair<GType, GInterfaceInitFunc>> interfaces) {
    GTypeInfo info{};
    info.class_size = sizeof(AtkObjectClass);
    info.class_init = InitClass;
    info.instance_size = sizeof(RechnerAtkObject);
    const GType type = g_type_register_static(ATK_TYPE_OBJECT, name, &info, GTypeFlags{});
    for (const auto& [interfaceType, initialise] : interfaces) {
        const GInterfaceInfo interfaceInfo{initialise, nullptr, nullptr};
        g_type_add_interface_static(type, interfaceType, &interfaceInfo);
    }
    return type;
}

// Registered once per process, the first time an object of the kind is made.
GType TypeOf(ObjectKind kind) {
    static const GType application = RegisterType("RechnerAtkApplication", {});
    static const GType frame = RegisterType(
        "RechnerAtkFrame", {{ATK_TYPE_COMPONENT, InitComponent}, {ATK_TYPE_WINDOW, InitWindow}});
    static const GType button = RegisterType(
        "RechnerAtkButton", {{ATK_TYPE_COMPONENT, InitComponent}, {ATK_TYPE_ACTION, InitAction}});
    static const GType label = RegisterType(
        "RechnerAtkLabel", {{ATK_TYPE_COMPONENT, InitComponent}, {ATK_TYPE_TEXT, InitText}});
    static const GType display = RegisterType(
        "RechnerAtkDisplay", {{ATK_TYPE_COMPONENT, InitComponent}, {ATK_TYPE_TEXT, InitText}});
    static const GType menu = RegisterType("RechnerAtkMenu", {});
    static const GType menuItem = RegisterType("RechnerAtkMenuItem", {});
    switch (kind) {
        case ObjectKind::Application:
            return application;
        case ObjectKind::Frame:
            return frame;
        case ObjectKind::Button:
            return button;
        case ObjectKind::Display:
            return display;
        case ObjectKind::Menu:
            return menu;
        case ObjectKind::MenuItem:
            return menuItem;
        case ObjectKind::Label:
            break;
    }
    return label;
}

AtkObject* NewObject(AtkElementTree& tree, ObjectKind kind, std::size_t index, AtkRole role,
                     AtkObject* parent) {
    auto* object = static_cast<AtkObject*>(g_object_new(TypeOf(kind), nullptr));
    RechnerAtkObject& self = Instance(object);
    self.Tree = &tree;
    self.Kind = kind;
    self.Index = index;
    atk_object_set_role(object, role);
    if (parent != nullptr) {
        atk_object_set_parent(object, parent);
    }
    return object;
}

// Each role as ATK names it: the display is read-only text, which a reader speaks when its name
// changes while it has the focus; a label's changes it leaves unsaid.
std::pair<ObjectKind, AtkRole> KindOf(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::PushButton:
            return {ObjectKind::Button, ATK_ROLE_PUSH_BUTTON};
        case AccessibleRole::Display:
            return {ObjectKind::Display, ATK_ROLE_TEXT};
        case AccessibleRole::StaticText:
            break;
    }
    return {ObjectKind::Label, ATK_ROLE_LABEL};
}

}  // namespace

AtkElementTree::AtkElementTree(AccessibleWindow& window) : window_(window) {
    application_ = NewObject(*this, ObjectKind::Application, 0, ATK_ROLE_APPLICATION, nullptr);
    frame_ = NewObject(*this, ObjectKind::Frame, 0, ATK_ROLE_FRAME, application_);
    const std::size_t count = window_.ElementCount();
    for (std::vector<std::string>* kept :
         {&names_, &descriptions_, &actions_, &shortcuts_, &texts_}) {
        kept->resize(count);
    }
    for (std::size_t index = 0; index < count; ++index) {
        const AccessibleElement element = window_.Element(index);
        const auto [kind, role] = KindOf(element.Role);
        elements_.push_back(NewObject(*this, kind, index, role, frame_));
        if (kind != ObjectKind::Button) {
            texts_[index] = element.Name;
        }
    }
}

AtkElementTree::~AtkElementTree() {
    MenuClosed();
    for (AtkObject* element : elements_) {
        g_object_unref(element);
    }
    g_object_unref(frame_);
    g_object_unref(application_);
}

AtkObject* AtkElementTree::Element(std::size_t index) const {
    return index < elements_.size() ? elements_[index] : nullptr;
}

std::string AtkElementTree::SpokenName(std::size_t index) {
    const AccessibleElement element = window_.Element(index);
    return element.Role == AccessibleRole::Display ? passing_ : element.Name;
}

const char* AtkElementTree::KeepName(std::size_t index, std::string name) {
    return (names_.at(index) = std::move(name)).c_str();
}

const char* AtkElementTree::KeepDescription(std::size_t index, std::string description) {
    return (descriptions_.at(index) = std::move(description)).c_str();
}

const char* AtkElementTree::KeepAction(std::size_t index, std::string action) {
    return (actions_.at(index) = std::move(action)).c_str();
}

const char* AtkElementTree::KeepShortcut(std::size_t index, std::string shortcut) {
    return (shortcuts_.at(index) = std::move(shortcut)).c_str();
}

const char* AtkElementTree::Title() {
    title_ = window_.Title();
    return title_.c_str();
}

void AtkElementTree::NotifyName(std::size_t index) {
    // The bridge reads the new name back through GetName and sends it with the signal.
    g_object_notify(G_OBJECT(elements_[index]), "accessible-name");
}

void AtkElementTree::NameChanged(std::size_t index) {
    AtkObject* object = Element(index);
    if (object == nullptr || defunct_) {
        return;
    }
    if (Instance(object).Kind == ObjectKind::Button) {
        NotifyName(index);
        return;
    }
    // What the display shows is its text; its name only passes what is said.
    if (Instance(object).Kind == ObjectKind::Label) {
        NotifyName(index);
    }
    const std::string before = std::exchange(texts_[index], window_.Element(index).Name);
    const std::string& now = texts_[index];
    if (!before.empty()) {
        g_signal_emit_by_name(object, "text-remove", 0, CharacterCount(before), before.c_str());
    }
    if (!now.empty()) {
        g_signal_emit_by_name(object, "text-insert", 0, CharacterCount(now), now.c_str());
    }
}

void AtkElementTree::Say(std::size_t index, const std::string& text, bool announcements) {
    AtkObject* object = Element(index);
    if (object == nullptr || defunct_ || text.empty()) {
        return;
    }
    if (announcements) {
        // Said as it is, without the object's role or text, and the name stays as it was. A
        // reader that knows politeness gets the status message's, polite.
        static const guint notification = g_signal_lookup("notification", ATK_TYPE_OBJECT);
        static const guint announcement = g_signal_lookup("announcement", ATK_TYPE_OBJECT);
        constexpr gint Polite = 1;
        if (notification != 0) {
            g_signal_emit(object, notification, 0, text.c_str(), Polite);
        } else if (announcement != 0) {
            g_signal_emit(object, announcement, 0, text.c_str());
        }
        return;
    }
    // A reader speaks a name change of the element it is on, with the new name the signal
    // carries; the name empties again at once, so that it neither repeats the display's text
    // when the reader reads the element nor hides the next text equal to this one.
    passing_ = text;
    NotifyName(index);
    passing_.clear();
    NotifyName(index);
}

void AtkElementTree::Focused(std::size_t index) {
    if (defunct_) {
        return;
    }
    atk_object_notify_state_change(frame_, ATK_STATE_ACTIVE, TRUE);
    g_signal_emit_by_name(frame_, "activate");
    if (AtkObject* object = Element(index)) {
        atk_object_notify_state_change(object, ATK_STATE_FOCUSED, TRUE);
    }
}

void AtkElementTree::FocusLost(std::size_t index) {
    if (defunct_) {
        return;
    }
    if (AtkObject* object = Element(index)) {
        atk_object_notify_state_change(object, ATK_STATE_FOCUSED, FALSE);
    }
    atk_object_notify_state_change(frame_, ATK_STATE_ACTIVE, FALSE);
    g_signal_emit_by_name(frame_, "deactivate");
}

AtkObject* AtkElementTree::MenuItem(std::size_t index) const {
    return index < menuItems_.size() ? menuItems_[index] : nullptr;
}

const char* AtkElementTree::MenuItemName(std::size_t index) const {
    return index < menuCaptions_.size() ? menuCaptions_[index].c_str() : "";
}

// The menu is the frame's last child while it is open, as a toolkit's popup lies above its
// window; a reader follows the focus to its chosen item, and back to the element it was on.
void AtkElementTree::MenuShown(const std::vector<std::string>& items) {
    MenuClosed();
    if (defunct_ || items.empty()) {
        return;
    }
    menuCaptions_ = items;
    menu_ = NewObject(*this, ObjectKind::Menu, 0, ATK_ROLE_POPUP_MENU, frame_);
    for (std::size_t index = 0; index < items.size(); ++index) {
        menuItems_.push_back(
            NewObject(*this, ObjectKind::MenuItem, index, ATK_ROLE_MENU_ITEM, menu_));
    }
    g_signal_emit_by_name(frame_, "children-changed::add", static_cast<guint>(elements_.size()),
                          menu_);
    atk_object_notify_state_change(menuItems_.front(), ATK_STATE_SELECTED, TRUE);
    atk_object_notify_state_change(menuItems_.front(), ATK_STATE_FOCUSED, TRUE);
}

void AtkElementTree::MenuClosed() {
    if (menu_ == nullptr) {
        return;
    }
    AtkObject* menu = std::exchange(menu_, nullptr);
    const std::vector<AtkObject*> items = std::exchange(menuItems_, {});
    menuCaptions_.clear();
    for (AtkObject* object : items) {
        Instance(object).Index = ClosedMenu;
    }
    Instance(menu).Index = ClosedMenu;
    if (!defunct_) {
        atk_object_notify_state_change(items.front(), ATK_STATE_FOCUSED, FALSE);
        g_signal_emit_by_name(frame_, "children-changed::remove",
                              static_cast<guint>(elements_.size()), menu);
        for (std::size_t index = 0; index < elements_.size(); ++index) {
            if (window_.Element(index).Focused) {
                atk_object_notify_state_change(elements_[index], ATK_STATE_FOCUSED, TRUE);
            }
        }
    }
    for (AtkObject* object : items) {
        g_object_unref(object);
    }
    g_object_unref(menu);
}

void AtkElementTree::FormGone() {
    if (std::exchange(defunct_, true)) {
        return;
    }
    for (AtkObject* element : elements_) {
        atk_object_notify_state_change(element, ATK_STATE_DEFUNCT, TRUE);
    }
    atk_object_notify_state_change(frame_, ATK_STATE_DEFUNCT, TRUE);
}
