// ReadSetting and WriteSetting over the two real files, as the calculator uses them: first run,
// migration from the legacy file, a value of another type, and stores that cannot be written.

#include <gtest/gtest.h>

#include <string>

#include "FileStores.h"
#include "Settings.h"
#include "SettingsTestSupport.h"

namespace {

using namespace std::string_literals;

const std::string RegistryStart =
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn]\r\n";

struct UserFiles {
    ScratchDirectory Scratch;
    std::filesystem::path Registry = Scratch / "Tembra-Lidorn" / "registry.reg";
    std::filesystem::path Legacy = Scratch / "Tembra-Lidorn" / "Quenvik.ini";
    RegistryFileStore RegistryStore{Registry};
    ProfileFileStore LegacyStore{Legacy};
    SettingsStore Store{RegistryStore, LegacyStore};
};

TEST(SettingsFiles, FirstRunCreatesAnEmptyValueInBothFiles) {
    UserFiles files;
    EXPECT_EQ(files.Store.ReadSetting("CalcLeft"), "");
    EXPECT_EQ(Visible(ReadBytes(files.Registry)), Visible(RegistryStart + "\"CalcLeft\"=\"\"\r\n"));
    EXPECT_EQ(Visible(ReadBytes(files.Legacy)), Visible("[Einstellungen]\r\nCalcLeft=\r\n"));
}

TEST(SettingsFiles, ALegacyValueMovesIntoTheRegistryAndTheHostsFileStaysAsItWas) {
    UserFiles files;
    const std::string host =
        "; Tembra Lidorn\n[Konten]\nGiro=1200,50\n\n[Einstellungen]\nCalcLeft = 300 \nFarbe=blau";
    WriteBytes(files.Legacy, host);
    EXPECT_EQ(files.Store.ReadSetting("CalcLeft"), "300");
    EXPECT_EQ(Visible(ReadBytes(files.Registry)),
              Visible(RegistryStart + "\"CalcLeft\"=\"300\"\r\n"));
    EXPECT_EQ(Visible(ReadBytes(files.Legacy)), Visible(host)) << "the same value changes nothing";
}

TEST(SettingsFiles, ARegistryValueOfAnotherTypeIsReplacedByTheLegacyText) {
    UserFiles files;
    WriteBytes(files.Registry, RegistryStart + "\"CalcLeft\"=dword:00000005\r\n");
    WriteBytes(files.Legacy, "[Einstellungen]\r\nCalcLeft=55\r\n");
    EXPECT_EQ(files.Store.ReadSetting("CalcLeft"), "55");
    EXPECT_EQ(Visible(ReadBytes(files.Registry)),
              Visible(RegistryStart + "\"CalcLeft\"=\"55\"\r\n"));
}

TEST(SettingsFiles, WrittenValuesAreReadBackFromBothFiles) {
    UserFiles files;
    files.Store.WriteSettings({{"CalcTop", "120"}});
    files.Store.WriteSettings({{"CalcLeft", "-50"}});
    EXPECT_EQ(files.RegistryStore.ReadString("CalcTop"), "120");
    EXPECT_EQ(files.LegacyStore.ReadString("Einstellungen", "CalcTop", "", 300), "120");
    EXPECT_EQ(files.Store.ReadSetting("CalcLeft"), "-50");
    EXPECT_EQ(files.LegacyStore.ReadString("Einstellungen", "CalcLeft", "", 300), "-50");
}

TEST(SettingsFiles, ALongLegacyValueIsCutTo299Characters) {
    UserFiles files;
    WriteBytes(files.Legacy, "[Einstellungen]\r\nCalcLeft=" + std::string(400, '1') + "\r\n");
    EXPECT_EQ(files.Store.ReadSetting("CalcLeft"), std::string(299, '1'));
    EXPECT_EQ(files.RegistryStore.ReadString("CalcLeft"), std::string(299, '1'));
}

TEST(SettingsFiles, AnUnwritableDirectoryIsSwallowed) {
    UserFiles files;
    WriteBytes(files.Scratch / "Tembra-Lidorn", "a file where the directory should be");
    std::string value = "unset";
    EXPECT_NO_THROW(value = files.Store.ReadSetting("CalcLeft"));
    EXPECT_EQ(value, "");
    EXPECT_NO_THROW(files.Store.WriteSettings({{"CalcLeft", "5"}}));
    EXPECT_EQ(ReadBytes(files.Scratch / "Tembra-Lidorn"), "a file where the directory should be");
}

TEST(SettingsFiles, AReadOnlyLegacyFileStaysWhileTheRegistryIsWritten) {
    UserFiles files;
    const std::string host = "[Einstellungen]\r\nCalcLeft=5\r\n";
    WriteBytes(files.Legacy, host);
    std::filesystem::permissions(files.Legacy, std::filesystem::perms::owner_read);
    EXPECT_NO_THROW(files.Store.WriteSettings({{"CalcLeft", "6"}}));
    EXPECT_EQ(ReadBytes(files.Legacy), host);
    EXPECT_EQ(files.RegistryStore.ReadString("CalcLeft"), "6");
}

TEST(SettingsFiles, AForeignRegistryFileIsNeverOverwritten) {
    UserFiles files;
    const std::string foreign = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn]\r\n";
    WriteBytes(files.Registry, foreign);
    WriteBytes(files.Legacy, "[Einstellungen]\r\nCalcLeft=300\r\n");
    EXPECT_EQ(files.Store.ReadSetting("CalcLeft"), "300");
    files.Store.WriteSettings({{"CalcLeft", "400"}});
    EXPECT_EQ(ReadBytes(files.Registry), foreign);
    EXPECT_EQ(files.Store.ReadSetting("CalcLeft"), "400") << "the legacy file took the write";
}

}  // namespace
