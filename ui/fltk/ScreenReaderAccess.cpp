// The calculator offered to screen readers; see ScreenReaderAccess.h.
#include "ScreenReaderAccess.h"

#include "CallbackGuard.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* LibraryName = "librechner-atk.so";

// Where the library may be: beside the program (the build tree), then in the installed library
// directory, found from the program's own place so that a moved installation still finds it.
std::vector<std::string> LibraryPlaces() {
    std::array<char, 4096> program{};
    const ssize_t length = readlink("/proc/self/exe", program.data(), program.size() - 1);
    if (length <= 0) {
        return {};
    }
    const std::string path(program.data(), static_cast<std::size_t>(length));
    const std::string directory = path.substr(0, path.rfind('/') + 1);
    return {directory + LibraryName, directory + RECHNER_ATK_LIBRARY_DIRECTORY + "/" + LibraryName};
}

// The library's entry point, from the first place that holds the library.
OpenAccessibilityFunction FindLibrary() {
    for (const auto& place : LibraryPlaces()) {
        if (void* library = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return reinterpret_cast<OpenAccessibilityFunction>(
                dlsym(library, OpenAccessibilityName));
        }
    }
    return nullptr;
}

}  // namespace

ScreenReaderAccess::ScreenReaderAccess(Fl_Window& window, const PaintedTexts& painted)
    : window_(window),
      painted_(painted),
      loop_([this] { Serve(); }),
      bus_([this](bool listens) { Switched(listens); },
           [this](const std::function<void()>& work) { GuardCallback(form_, work); }) {}

ScreenReaderAccess::~ScreenReaderAccess() {
    Pause();
    Fl::remove_timeout(PressPending, this);
    bridge_.reset();
}

void ScreenReaderAccess::Attach(Form* form) {
    form_ = form;
    if (form_ == nullptr && bridge_) {
        bridge_->FormGone();
        Rewatch();
    }
}

void ScreenReaderAccess::Start() {
    bus_.Start();
}

void ScreenReaderAccess::Changed(std::size_t element, AccessibleChange change) {
    if (bridge_) {
        bridge_->Changed(element, change);
        Rewatch();
    }
}

void ScreenReaderAccess::MenuShown(const std::vector<std::string>& items) {
    if (bridge_) {
        bridge_->MenuShown(items);
        Rewatch();
    }
}

void ScreenReaderAccess::MenuClosed() {
    if (bridge_) {
        bridge_->MenuClosed();
        Rewatch();
    }
}

void ScreenReaderAccess::Say(std::size_t element, const std::string& message) {
    if (bridge_) {
        bridge_->Say(element, message);
        Rewatch();
    }
}

void ScreenReaderAccess::Switched(bool listens) {
    if (!listens) {
        Pause();
        return;
    }
    if (!bridge_) {
        Load();
    }
    if (bridge_) {
        Resume();
    }
}

void ScreenReaderAccess::Load() {
    // Once loaded, the library stays: ATK cannot be unloaded, and a screen reader that comes
    // back finds the calculator at once.
    const OpenAccessibilityFunction open = FindLibrary();
    if (open == nullptr) {
        std::fprintf(stderr, "rechner: no screen reader support: %s is missing\n", LibraryName);
        return;
    }
    bridge_.reset(open(this));
    if (!bridge_) {
        std::fprintf(stderr, "rechner: the accessibility bus cannot be reached\n");
    }
}

void ScreenReaderAccess::Resume() {
    if (!keys_) {
        keys_ =
            std::make_unique<ReaderKeys>([this](const ReaderKey& key) { return OfferKey(key); });
    }
    Rewatch();
}

// Nothing of the library runs any more until it is switched on again: no descriptor is
// watched, no key offered.
void ScreenReaderAccess::Pause() {
    keys_.reset();
    loop_.Stop();
}

void ScreenReaderAccess::Serve() {
    GuardCallback(form_, [&] { Rewatch(); });
}

// Inside the form's guard: lets the library handle what is due and waits for what it names.
void ScreenReaderAccess::Rewatch() {
    if (keys_) {
        loop_.Watch(bridge_->ServeEvents());
    }
}

bool ScreenReaderAccess::OfferKey(const ReaderKey& key) {
    bool taken = false;
    GuardCallback(form_, [&] {
        taken = bridge_->KeyEvent(key);
        Rewatch();
    });
    return taken;
}

std::string ScreenReaderAccess::Title() {
    return form_ != nullptr ? form_->Title() : std::string();
}

std::size_t ScreenReaderAccess::ElementCount() {
    return form_ != nullptr ? form_->AccessibleCount() : 0;
}

AccessibleElement ScreenReaderAccess::Element(std::size_t index) {
    return form_ != nullptr ? form_->Accessible(index) : AccessibleElement{};
}

Rect ScreenReaderAccess::ScreenBounds() {
    return {window_.x(), window_.y(), window_.w(), window_.h()};
}

std::optional<std::size_t> ScreenReaderAccess::ElementAt(Point client) {
    return form_ != nullptr ? form_->AccessibleAt(client) : std::nullopt;
}

std::vector<Rect> ScreenReaderAccess::CharacterPlaces(std::size_t index) {
    if (form_ == nullptr) {
        return {};
    }
    const AccessibleElement element = form_->Accessible(index);
    return painted_.CharactersOf(element.Name, element.Bounds);
}

bool ScreenReaderAccess::Active() {
    return form_ != nullptr && form_->Active();
}

void ScreenReaderAccess::Press(std::size_t index) {
    // The screen reader's call returns first; the key is entered from the loop, as a click is.
    presses_.push_back(index);
    if (presses_.size() == 1) {
        Fl::add_timeout(0.0, PressPending, this);
    }
}

void ScreenReaderAccess::PressPending(void* access) {
    auto& self = *static_cast<ScreenReaderAccess*>(access);
    while (!self.presses_.empty()) {
        const std::size_t index = self.presses_.front();
        self.presses_.pop_front();
        GuardCallback(self.form_, [&] {
            if (self.form_ != nullptr) {
                self.form_->PressAccessible(index);
            }
        });
    }
}
