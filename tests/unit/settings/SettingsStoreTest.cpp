// ReadSetting and WriteSetting over recording in-memory stores: which store is asked, in which
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

class FakeRegistry : public RegistryKeyStore {
public:
    explicit FakeRegistry(Calls& calls) : calls_(calls) {}

    std::map<std::string, std::string> Values;
    std::set<std::string> NotStrings;  // names holding a value of another type
    bool ReadsFail = false;
    bool WritesFail = false;

    std::string ReadString(const std::string& name) override {
        calls_.push_back("registry read " + name);
        if (ReadsFail || NotStrings.contains(name)) {
            throw std::runtime_error("registry read failed");
        }
        const auto found = Values.find(name);
        return found == Values.end() ? "" : found->second;
    }
    void WriteString(const std::string& name, const std::string& value) override {
        calls_.push_back("registry write " + name + "=" + value);
        if (WritesFail) {
            throw std::runtime_error("registry write failed");
        }
        NotStrings.erase(name);
        Values[name] = value;
    }

private:
    Calls& calls_;
};

class FakeProfile : public ProfileStore {
public:
    explicit FakeProfile(Calls& calls) : calls_(calls) {}

    std::map<std::string, std::string> Values;  // "section/name"
    bool ReadsFail = false;
    bool WritesFail = false;

    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& defaultValue, std::size_t bufferSize) override {
        calls_.push_back("profile read " + section + "/" + name + " default '" + defaultValue +
                         "' buffer " + std::to_string(bufferSize));
        if (ReadsFail) {
            throw std::runtime_error("profile read failed");
        }
        const auto found = Values.find(section + "/" + name);
        const std::string value = found == Values.end() ? defaultValue : found->second;
        return value.substr(0, bufferSize - 1);
    }
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override {
        calls_.push_back("profile write " + section + "/" + name + "=" + value);
        if (WritesFail) {
            throw std::runtime_error("profile write failed");
        }
        Values[section + "/" + name] = value;
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
    bool RegistryReadFails = false;
    std::optional<std::string> Legacy;
    bool LegacyReadFails = false;
    std::string Expected;
    Calls ExpectedCalls;
};

TEST(ReadSetting, PrefersTheRegistryAndCopiesTheLegacyValueIntoBothStores) {
    const std::string longValue(400, '7');
    const std::string cutValue(299, '7');
    const std::vector<ReadCase> cases = {
        {"registry holds 741",
         "741",
         false,
         false,
         "300",
         false,
         "741",
         {"registry read CalcLeft"}},
        {"registry lacks the value, legacy file holds 300",
         std::nullopt,
         false,
         false,
         "300",
         false,
         "300",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=300",
          "profile write Einstellungen/CalcLeft=300"}},
        {"registry value is empty",
         "",
         false,
         false,
         "300",
         false,
         "300",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=300",
          "profile write Einstellungen/CalcLeft=300"}},
        {"nothing stored anywhere",
         std::nullopt,
         false,
         false,
         std::nullopt,
         false,
         "",
         {"registry read CalcLeft", LegacyRead,
          "registry write CalcLeft=", "profile write Einstellungen/CalcLeft="}},
        {"registry value is a number",
         "5",
         true,
         false,
         "55",
         false,
         "55",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=55",
          "profile write Einstellungen/CalcLeft=55"}},
        {"registry cannot be read",
         "741",
         false,
         true,
         "55",
         false,
         "55",
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=55",
          "profile write Einstellungen/CalcLeft=55"}},
        {"legacy value of 400 characters",
         std::nullopt,
         false,
         false,
         longValue,
         false,
         cutValue,
         {"registry read CalcLeft", LegacyRead, "registry write CalcLeft=" + cutValue,
          "profile write Einstellungen/CalcLeft=" + cutValue}},
        {"legacy file cannot be read",
         std::nullopt,
         false,
         false,
         "300",
         true,
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
        stores.Registry.ReadsFail = c.RegistryReadFails;
        if (c.Legacy) {
            stores.Profile.Values["Einstellungen/CalcLeft"] = *c.Legacy;
        }
        stores.Profile.ReadsFail = c.LegacyReadFails;

        EXPECT_EQ(stores.Store.ReadSetting("CalcLeft"), c.Expected) << c.Situation;
        EXPECT_EQ(stores.Log, c.ExpectedCalls) << c.Situation;
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
    stores.Registry.WritesFail = true;
    stores.Profile.WritesFail = true;
    std::string value;
    EXPECT_NO_THROW(value = stores.Store.ReadSetting("CalcLeft")) << "both copies fail";
    EXPECT_EQ(value, "300") << "both copies fail";
}

TEST(WriteSetting, WritesTheRegistryThenTheLegacyFileWhateverFails) {
    const Calls expected = {"registry write CalcTop=120",
                            "profile write Einstellungen/CalcTop=120"};
    for (const bool registryFails : {false, true}) {
        for (const bool legacyFails : {false, true}) {
            const std::string situation = std::string("registry ") +
                                          (registryFails ? "fails" : "works") + ", legacy file " +
                                          (legacyFails ? "fails" : "works");
            Stores stores;
            stores.Registry.WritesFail = registryFails;
            stores.Profile.WritesFail = legacyFails;
            EXPECT_NO_THROW(stores.Store.WriteSetting("CalcTop", "120")) << situation;
            EXPECT_EQ(stores.Log, expected) << situation;
            EXPECT_EQ(stores.Registry.Values.contains("CalcTop"), !registryFails) << situation;
            EXPECT_EQ(stores.Profile.Values["Einstellungen/CalcTop"], legacyFails ? "" : "120")
                << situation;
        }
    }
}

}  // namespace
