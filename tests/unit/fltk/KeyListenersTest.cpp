// ATK's key listeners as the screen-reader library keeps them: each sees every key with the
// fields a screen reader needs, one listener's yes takes the key, and listeners that come or go
// while a key is offered are handled as the registry's answers allow; and whether the registry
// has a keystroke listener at all.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyListeners.h"
#include "RegistryKeystrokes.h"

namespace {

struct Seen {
    std::vector<AtkKeyEventStruct> Events;
    std::vector<std::string> Texts;
    gint Answer = FALSE;
    guint RemoveOnCall = 0;
};

gint Listen(AtkKeyEventStruct* event, gpointer data) {
    auto& seen = *static_cast<Seen*>(data);
    seen.Events.push_back(*event);
    seen.Texts.emplace_back(event->string, static_cast<std::size_t>(event->length));
    if (seen.RemoveOnCall != 0) {
        RemoveKeyEventListener(seen.RemoveOnCall);
    }
    return seen.Answer;
}

const ReaderKey KeypadMinus{
    .Press = true, .Modifiers = 0x10, .Symbol = 0xffad, .Text = "-", .Code = 82, .Time = 123456};

}  // namespace

TEST(KeyListeners, EveryListenerSeesTheKeyAndOneYesTakesIt) {
    Seen first;
    Seen second{.Answer = TRUE};
    const guint one = AddKeyEventListener(Listen, &first);
    const guint two = AddKeyEventListener(Listen, &second);
    ASSERT_NE(one, 0u);
    ASSERT_NE(one, two);

    EXPECT_TRUE(OfferKey(KeypadMinus)) << "the second listener's yes takes the key";
    ReaderKey release = KeypadMinus;
    release.Press = false;
    release.Time += 80;
    second.Answer = FALSE;
    EXPECT_FALSE(OfferKey(release)) << "nobody took the release";
    first.Answer = TRUE;
    EXPECT_TRUE(OfferKey(release)) << "a yes is not undone by a later listener's no";
    first.Answer = FALSE;

    ASSERT_EQ(first.Events.size(), 3u) << "the first listener saw each, although it said no";
    ASSERT_EQ(second.Events.size(), 3u);
    const AtkKeyEventStruct& press = first.Events[0];
    EXPECT_EQ(press.type, ATK_KEY_EVENT_PRESS);
    EXPECT_EQ(press.state, 0x10u);
    EXPECT_EQ(press.keyval, 0xffadu);
    EXPECT_EQ(first.Texts[0], "-");
    EXPECT_EQ(press.keycode, 82);
    EXPECT_EQ(press.timestamp, 123456u);
    EXPECT_EQ(first.Events[1].type, ATK_KEY_EVENT_RELEASE);
    EXPECT_EQ(first.Events[1].timestamp, 123536u);

    RemoveKeyEventListener(two);
    EXPECT_FALSE(OfferKey(KeypadMinus));
    EXPECT_EQ(second.Events.size(), 3u) << "a removed listener hears nothing more";
    RemoveKeyEventListener(one);
    RemoveKeyEventListener(one);  // twice, or one never given: nothing happens
    EXPECT_FALSE(OfferKey(KeypadMinus)) << "without listeners every key is the calculator's";
    EXPECT_EQ(first.Events.size(), 4u);
    EXPECT_EQ(AddKeyEventListener(nullptr, nullptr), 0u);
}

TEST(KeyListeners, AListenerRemovedWhileAKeyIsOfferedIsNotAskedAnyMore) {
    // The bridge waits for the registry inside its listener and serves the bus meanwhile; what
    // the bus asks for there may remove another listener.
    Seen remover;
    Seen removed;
    const guint first = AddKeyEventListener(Listen, &remover);
    const guint second = AddKeyEventListener(Listen, &removed);
    remover.RemoveOnCall = second;
    EXPECT_FALSE(OfferKey(KeypadMinus));
    EXPECT_EQ(remover.Events.size(), 1u);
    EXPECT_TRUE(removed.Events.empty());
    RemoveKeyEventListener(first);
}

namespace {

// The registry's answer to GetKeystrokeListeners, with this many listeners.
DBusMessage* ListenersAnswer(int count) {
    DBusMessage* answer = dbus_message_new(DBUS_MESSAGE_TYPE_METHOD_RETURN);
    DBusMessageIter arguments;
    DBusMessageIter listeners;
    dbus_message_iter_init_append(answer, &arguments);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "(souua(iisi)u(bbb))",
                                     &listeners);
    for (int index = 0; index < count; ++index) {
        const char* bus = ":1.7";
        const char* path = "/org/a11y/atspi/listeners/0";
        const dbus_uint32_t zero = 0;
        const dbus_bool_t no = FALSE;
        DBusMessageIter listener;
        DBusMessageIter keys;
        DBusMessageIter flags;
        dbus_message_iter_open_container(&listeners, DBUS_TYPE_STRUCT, nullptr, &listener);
        dbus_message_iter_append_basic(&listener, DBUS_TYPE_STRING, &bus);
        dbus_message_iter_append_basic(&listener, DBUS_TYPE_OBJECT_PATH, &path);
        dbus_message_iter_append_basic(&listener, DBUS_TYPE_UINT32, &zero);
        dbus_message_iter_append_basic(&listener, DBUS_TYPE_UINT32, &zero);
        dbus_message_iter_open_container(&listener, DBUS_TYPE_ARRAY, "(iisi)", &keys);
        dbus_message_iter_close_container(&listener, &keys);
        dbus_message_iter_append_basic(&listener, DBUS_TYPE_UINT32, &zero);
        dbus_message_iter_open_container(&listener, DBUS_TYPE_STRUCT, nullptr, &flags);
        for (int flag = 0; flag < 3; ++flag) {
            dbus_message_iter_append_basic(&flags, DBUS_TYPE_BOOLEAN, &no);
        }
        dbus_message_iter_close_container(&listener, &flags);
        dbus_message_iter_close_container(&listeners, &listener);
    }
    dbus_message_iter_close_container(&arguments, &listeners);
    return answer;
}

}  // namespace

// Keys skip the registry only when it has said that no reader listens; an answer it could not
// give (an error, another shape) keeps them going to it.
TEST(KeyListeners, KeysGoToTheRegistryUnlessItListsNoKeystrokeListener) {
    struct Case {
        const char* Description;
        DBusMessage* Answer;
        bool Listened;
    };
    DBusMessage* failed = dbus_message_new(DBUS_MESSAGE_TYPE_ERROR);
    dbus_message_set_error_name(failed, DBUS_ERROR_UNKNOWN_METHOD);
    for (const Case& c :
         {Case{"none", ListenersAnswer(0), false}, Case{"one", ListenersAnswer(1), true},
          Case{"two", ListenersAnswer(2), true}, Case{"an error", failed, true},
          Case{"no list", dbus_message_new(DBUS_MESSAGE_TYPE_METHOD_RETURN), true},
          Case{"no answer", nullptr, true}}) {
        EXPECT_EQ(AnyKeystrokeListener(c.Answer), c.Listened) << c.Description;
        if (c.Answer != nullptr) {
            dbus_message_unref(c.Answer);
        }
    }
}
