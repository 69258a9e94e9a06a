// ReadSetting and WriteSettings over recording in-memory stores: which store is asked, in which
// order, what gets copied where, and that no failure leaves the store.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "Settings.h"

namespace {

using Calls = std::vector<std::string>;

// How a fake store's reads or writes fail.
enum class Failure { None, Busy, Broken };

void Fail(Failure failure, const std::string& what) {
    if (failure == Failure::Busy) {
        throw StoreBusy(what + " busy");
    }
    if (failure == Failure::Broken) {
        throw std::runtime_error(what + " failed");
    }
}

// "name=value name=value", as the calls log it.
std::string Listed(const SettingValues& values) {
    std::string listed;
    for (const auto& [name, value] : values) {
        listed += (listed.empty() ? "" : " ") + name + "=" + value;
    }
    return listed;
}

class FakeRegistry : public RegistryKeyStore {
public:
    explicit FakeRegistry(Calls& calls) : calls_(calls) {}

    std::map<std::string, std::string> Values;
    std::set<std::string> NotStrings;  // names holding a value of another type
    Failure Reads = Failure::None;
    Failure Writes = Failure::None;

    std::string ReadString(const std::string& name) override {
        calls_.push_back("registry read " + name);
        Fail(Reads, "registry read");
        if (NotStrings.contains(name)) {
            throw std::runtime_error("not a string");
        }
        const auto found = Values.find(name);
        return found == Values.end() ? "" : found->second;
    }
    void WriteStrings(const SettingValues& values) override {
        calls_.push_back("registry write " + Listed(values));
        Fail(Writes, "registry write");
        for (const auto& [name, value] : values) {
            NotStrings.erase(name);
            Values[name] = value;
        }
    }

private:
    Calls& calls_;
};

class FakeProfile : public ProfileStore {
public:
    explicit FakeProfile(Calls& calls) : calls_(calls) {}

    std::map<std::string, std::string> Values;  // "section/name"
    Failure Reads = Failure::None;
    Failure Writes = Failure::None;
    bool Quick = true;

    bool ReadsQuickly() override { return Quick; }
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& defaultValue, std::size_t bufferSize) override {
        calls_.push_back("profile read " + section + "/" + name + " default '" + defaultValue +
                         "' buffer " + std::to_string(bufferSize));
        Fail(Reads, "profile read");
        const auto found = Values.find(section + "/" + name);
        const std::string value = found == Values.end() ? defaultValue : found->second;
        return value.substr(0, bufferSize - 1);
    }
    void WriteStrings(const std::string& section, const SettingValues& values) override {
        calls_.push_back("profile write " + section + "/" + Listed(values));
        Fail(Writes, "profile write");
        for (const auto& [name, value] : values) {
            Values[section + "/" + name] = value;
        }
    }

private:
    Calls& calls_;
};

struct Stores {
    Calls Log;
    FakeRegistry Registry{Log};
    FakeProfile Profile{Log};
    SettingsStore Store{Registry, Profile};
};

const std::string LegacyRead = "profile read Einstellungen/CalcLeft default '' buffer 300";

struct ReadCase {
    std::string Situation;
    std::optional<std::string> Registry;
    bool RegistryNotString = false;
    Failure RegistryRead = Failure::None;
    std::optional<std::string> Legacy;
    Failure LegacyRead = Failure::None;
    std::string Expected;
    Calls ExpectedCalls;
};

// The legacy file is written only where it may not hold the text already: a value it lacks, or
// one it holds longer than the buffer.
TEST(ReadSetting, PrefersTheRegistryAndCopiesTheLegacyValueIntoBothStores) {
    const std::string longValue(400, '7');
    const std::string cutValue(299, '7');
    const std::vector<ReadCase> cases = {
        {"registry holds 741",
         "741",
         false,
         Failure::None,
         "300",
         Failure::None,
         "741",
         {"registry read CalcLeft"}},
        {"registry lacks the value, legacy file holds 300",
         std::nullopt,
         false,
         Failure::None,
         "300",
         Failure::None,
         "300",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=300"}},
        {"registry value is empty",
         "",
         false,
         Failure::None,
         "300",
         Failure::None,
         "300",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=300"}},
        {"nothing stored anywhere",
         std::nullopt,
         false,
         Failure::None,
         std::nullopt,
         Failure::None,
         "",
         {"registry read CalcLeft", LegacyRead,
          "registry write CalcLeft=", "profile write Einstellungen/CalcLeft="}},
        {"registry value is a number",
         "5",
         true,
         Failure::None,
         "55",
         Failure::None,
         "55",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=55"}},
        {"registry cannot be read",
         "741",
         false,
         Failure::Broken,
         "55",
         Failure::None,
         "55",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=55"}},
        {"legacy value of 400 characters",
         std::nullopt,
         false,
         Failure::None,
         longValue,
         Failure::None,
         cutValue,
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=" + cutValue,
          "profile write Einstellungen/CalcLeft=" + cutValue}},
        {"legacy file cannot be read",
         std::nullopt,
         false,
         Failure::None,
         "300",
         Failure::Broken,
         "",
         {"registry read CalcLeft", LegacyRead}},
    };
    for (const ReadCase& c : cases) {
        Stores stores;
        if (c.Registry) {
            stores.Registry.Values["CalcLeft"] = *c.Registry;
        }
        if (c.RegistryNotString) {
            stores.Registry.NotStrings.insert("CalcLeft");
        }
        stores.Registry.Reads = c.RegistryRead;
        if (c.Legacy) {
            stores.Profile.Values["Einstellungen/CalcLeft"] = *c.Legacy;
        }
        stores.Profile.Reads = c.LegacyRead;

        EXPECT_EQ(stores.Store.ReadSetting("CalcLeft"), c.Expected) << c.Situation;
        EXPECT_EQ(stores.Log, c.ExpectedCalls) << c.Situation;
    }
}

TEST(ReadSettings, CopiesOnlyWhatIsTakenAndForgetsTheLegacyCopyAtTheNextWrite) {
    Stores stores;
    stores.Profile.Values["Einstellungen/CalcLeft"] = "300";
    stores.Profile.Quick = false;
    stores.Registry.Values["CalcTop"] = "90";
    const auto logged = [&] { return stores.Log.size(); };
    std::size_t loggedBeforeLongRead = 0;
    const std::vector<StoredSetting> read = stores.Store.ReadSettings(
        {"CalcLeft", "CalcTop", "Other"}, [&] { loggedBeforeLongRead = logged(); });
    EXPECT_EQ(loggedBeforeLongRead, 3u) << "told after the registry and before the legacy file";
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].Text, "300");
    EXPECT_EQ(read[1].Text, "90");
    EXPECT_TRUE(read[0].FromLegacyFile && !read[1].FromLegacyFile && read[2].FromLegacyFile);
    stores.Log.clear();
    for (const StoredSetting& setting : read) {
        stores.Store.TakeSetting(setting);
    }
    EXPECT_EQ(stores.Log, (Calls{"registry write CalcLeft=300",
                                 "registry write Other=", "profile write Einstellungen/Other="}));
    stores.Log.clear();
    stores.Store.WriteSettings({{"CalcLeft", "300"}, {"CalcTop", "90"}});
    EXPECT_EQ(stores.Log, (Calls{"registry write CalcLeft=300 CalcTop=90",
                                 "profile write Einstellungen/CalcLeft=300 CalcTop=90"}))
        << "the user put the window back where the legacy file had it";
}

// A store that keeps changing while it is read says nothing about what it holds: the window takes
// its fallback place for this run, and the stored position must survive until the host is done.
TEST(ReadSetting, AStoreThatKeepsChangingIsNoMissingValueAndNothingIsWritten) {
    struct Case {
        std::string Situation;
        Failure RegistryRead;
        Failure LegacyRead;
        Calls ExpectedCalls;
    };
    const std::vector<Case> cases = {
        {"registry changing", Failure::Busy, Failure::None, {"registry read CalcLeft"}},
        {"registry empty, legacy file changing",
         Failure::None,
         Failure::Busy,
         {"registry read CalcLeft", LegacyRead}},
    };
    for (const Case& c : cases) {
        Stores stores;
        stores.Registry.Values["CalcTop"] = "200";
        stores.Profile.Values["Einstellungen/CalcLeft"] = "300";
        stores.Registry.Reads = c.RegistryRead;
        stores.Profile.Reads = c.LegacyRead;
        EXPECT_EQ(stores.Store.ReadSetting("CalcLeft"), "") << c.Situation;
        EXPECT_EQ(stores.Log, c.ExpectedCalls) << c.Situation;
        EXPECT_EQ(stores.Registry.Values, (std::map<std::string, std::string>{{"CalcTop", "200"}}))
            << c.Situation;
        EXPECT_EQ(stores.Profile.Values["Einstellungen/CalcLeft"], "300") << c.Situation;
    }
}

TEST(ReadSetting, MigratedValueIsThenFoundInTheRegistry) {
    Stores stores;
    stores.Profile.Values["Einstellungen/CalcLeft"] = "300";
    stores.Store.ReadSetting("CalcLeft");
    stores.Log.clear();
    EXPECT_EQ(stores.Store.ReadSetting("CalcLeft"), "300") << "second read after migration";
    EXPECT_EQ(stores.Log, Calls{"registry read CalcLeft"}) << "second read after migration";
}

TEST(ReadSetting, HoldsNothingBetweenCalls) {
    Stores stores;
    stores.Registry.Values["CalcTop"] = "120";
    EXPECT_EQ(stores.Store.ReadSetting("CalcTop"), "120");
    stores.Registry.Values["CalcTop"] = "90";  // another program wrote in between
    EXPECT_EQ(stores.Store.ReadSetting("CalcTop"), "90") << "the store must not cache 120";
}

TEST(ReadSetting, FailedWritesOfTheCopyAreSwallowed) {
    Stores stores;
    stores.Profile.Values["Einstellungen/CalcLeft"] = "300";
    stores.Registry.Writes = Failure::Broken;
    stores.Profile.Writes = Failure::Busy;
    std::string value;
    EXPECT_NO_THROW(value = stores.Store.ReadSetting("CalcLeft")) << "both copies fail";
    EXPECT_EQ(value, "300") << "both copies fail";
}

// The outcome tells the writer whether trying again may help: only a busy store does.
TEST(WriteSettings, WritesBothValuesIntoEachStoreOnceWhateverFails) {
    const Calls expected = {"registry write CalcLeft=530 CalcTop=120",
                            "profile write Einstellungen/CalcLeft=530 CalcTop=120"};
    const char* names[] = {"works", "is busy", "fails"};
    for (const Failure registry : {Failure::None, Failure::Busy, Failure::Broken}) {
        for (const Failure legacy : {Failure::None, Failure::Busy, Failure::Broken}) {
            const std::string situation = std::string("registry ") +
                                          names[static_cast<int>(registry)] + ", legacy file " +
                                          names[static_cast<int>(legacy)];
            Stores stores;
            stores.Registry.Writes = registry;
            stores.Profile.Writes = legacy;
            SettingsStore::WriteOutcome outcome = SettingsStore::WriteOutcome::Done;
            EXPECT_NO_THROW(
                outcome = stores.Store.TryWriteSettings({{"CalcLeft", "530"}, {"CalcTop", "120"}}))
                << situation;
            EXPECT_EQ(stores.Log, expected) << situation;
            const bool busy = registry == Failure::Busy || legacy == Failure::Busy;
            EXPECT_EQ(outcome,
                      busy ? SettingsStore::WriteOutcome::Busy : SettingsStore::WriteOutcome::Done)
                << situation;
            EXPECT_EQ(stores.Registry.Values.contains("CalcTop"), registry == Failure::None)
                << situation;
            EXPECT_EQ(stores.Profile.Values.contains("Einstellungen/CalcTop"),
                      legacy == Failure::None)
                << situation;
        }
    }
}

}  // namespace
