// Named session objects within one process, the same on every platform: holding, a second
// creation of a held name, release, and names that are refused.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "NamedSessionObject.h"
#include "SessionTestNamespace.h"

TEST(NamedSessionObject, SecondCreationOfAHeldNameReportsAlreadyExisted) {
    const SessionTestNamespace scope;
    const std::string name = scope.Name("Held");
    EXPECT_FALSE(NamedSessionObjectExists(name)) << name << " before any creation";
    {
        const NamedSessionObject first(name);
        EXPECT_EQ(first.State(), SessionObjectState::Created) << name << " first creation";
        EXPECT_TRUE(NamedSessionObjectExists(name)) << name << " while held";
        const NamedSessionObject second(name);
        EXPECT_EQ(second.State(), SessionObjectState::AlreadyExisted) << name << " second creation";
    }
    EXPECT_FALSE(NamedSessionObjectExists(name)) << name << " after both were destroyed";
    const NamedSessionObject again(name);
    EXPECT_EQ(again.State(), SessionObjectState::Created) << name << " creation after release";
}

TEST(NamedSessionObject, EveryHolderKeepsTheNameAlive) {
    const SessionTestNamespace scope;
    const std::string name = scope.Name("Shared");
    std::optional<NamedSessionObject> first(std::in_place, name);
    const NamedSessionObject second(name);
    ASSERT_EQ(second.State(), SessionObjectState::AlreadyExisted) << name;
    first.reset();
    EXPECT_TRUE(NamedSessionObjectExists(name)) << name << " held by the second only";
    const NamedSessionObject third(name);
    EXPECT_EQ(third.State(), SessionObjectState::AlreadyExisted) << name << " held by the second";
}

TEST(NamedSessionObject, NamesAreDistinctAndCaseSensitive) {
    const SessionTestNamespace scope;
    const NamedSessionObject held(scope.Name("Calc"));
    ASSERT_EQ(held.State(), SessionObjectState::Created);
    for (const char* other : {"calc", "CALC", "Calc2", "Cal"}) {
        EXPECT_FALSE(NamedSessionObjectExists(scope.Name(other)))
            << other << " while only " << scope.Name("Calc") << " is held";
    }
}

TEST(NamedSessionObject, InvalidNamesFailAndNeverExist) {
    const SessionTestNamespace scope;
    for (const std::string& name : {std::string(), std::string("a/b"), std::string("Global\\x"),
                                    std::string("cut\0off", 7), std::string(201, 'n')}) {
        const NamedSessionObject object(name);
        EXPECT_EQ(object.State(), SessionObjectState::Failed) << "name \"" << name << "\"";
        EXPECT_FALSE(NamedSessionObjectExists(name)) << "name \"" << name << "\"";
    }
}
