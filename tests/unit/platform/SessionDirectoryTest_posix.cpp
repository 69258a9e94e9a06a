// Choosing the session directory on POSIX: $XDG_RUNTIME_DIR when it is private, else a private
// fallback directory that is created when missing and, when it cannot be trusted, refused for
// one under the user's home. Every case runs under scratch directories instead of the real /tmp
// and home.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "SessionDirectory_posix.h"
#include "SessionLock_posix.h"
#include "TestDirectories_posix.h"

namespace {

// An owner who is not us, for the cases that need root to set up.
constexpr uid_t Stranger = 65534;

std::string FallbackName() {
    return "rechner-" + std::to_string(geteuid());
}

// The shared place under `base`, the private one under `home`.
SessionPlaces PlacesUnder(const std::string& base, const std::string& home) {
    return {base + "/" + FallbackName(), home + "/.cache/rechner-host"};
}

bool IsDirectory(const FileDescriptor& directory, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return directory.Valid() && fstat(directory.Get(), &opened) == 0 &&
           lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

mode_t PermissionsOf(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// What a test puts at a path before the directory is chosen.
enum class PathKind {
    PrivateDirectory,
    GroupReadable,
    OthersEnterable,
    GroupWritable,
    Symlink,
    File
};

const char* Describe(PathKind kind) {
    switch (kind) {
        case PathKind::PrivateDirectory:
            return "private directory";
        case PathKind::GroupReadable:
            return "directory mode 0750";
        case PathKind::OthersEnterable:
            return "directory mode 0701";
        case PathKind::GroupWritable:
            return "directory mode 0770";
        case PathKind::Symlink:
            return "symbolic link to a private directory";
        case PathKind::File:
            return "regular file";
    }
    return "?";
}

void Prepare(PathKind kind, const std::string& path, const std::string& scratch) {
    const auto makeDirectory = [&](mode_t mode) {
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0) << path;
        ASSERT_EQ(chmod(path.c_str(), mode), 0) << path;
    };
    switch (kind) {
        case PathKind::PrivateDirectory:
            return makeDirectory(0700);
        case PathKind::GroupReadable:
            return makeDirectory(0750);
        case PathKind::OthersEnterable:
            return makeDirectory(0701);
        case PathKind::GroupWritable:
            return makeDirectory(0770);
        case PathKind::Symlink: {
            const std::string target = scratch + "/target";
            ASSERT_EQ(mkdir(target.c_str(), 0700), 0) << target;
            ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
            return;
        }
        case PathKind::File: {
            const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
            ASSERT_GE(file, 0) << path;
            close(file);
            return;
        }
    }
}

}  // namespace

TEST(OpenSessionDirectory, UsesAPrivateRuntimeDirectoryAndCreatesNoFallback) {
    const ScratchDirectory runtime;
    const ScratchDirectory base;
    const FileDescriptor directory =
        OpenSessionDirectory(runtime.Path().c_str(), PlacesUnder(base.Path(), base.Path()),
                             DirectoryAccess::CreateIfMissing);
    EXPECT_TRUE(IsDirectory(directory, runtime.Path())) << runtime.Path();
    EXPECT_TRUE(base.Entries().empty()) << "fallback created beside a usable " << runtime.Path();
}

TEST(OpenSessionDirectory, FallsBackToAFreshPrivateDirectoryWhenTheRuntimeDirectoryIsUnusable) {
    for (const char* runtimeValue :
         {static_cast<const char*>(nullptr), "", "relative/dir", "/nonexistent/rechner-runtime"}) {
        const ScratchDirectory base;
        const FileDescriptor directory = OpenSessionDirectory(
            runtimeValue, PlacesUnder(base.Path(), base.Path()), DirectoryAccess::CreateIfMissing);
        const std::string fallback = base.Path() + "/" + FallbackName();
        const std::string described = runtimeValue != nullptr ? runtimeValue : "(unset)";
        EXPECT_TRUE(IsDirectory(directory, fallback)) << "runtime directory " << described;
        EXPECT_EQ(PermissionsOf(fallback), 0700u) << "runtime directory " << described;
    }
    for (const PathKind kind : {PathKind::GroupReadable, PathKind::OthersEnterable,
                                PathKind::GroupWritable, PathKind::Symlink, PathKind::File}) {
        const ScratchDirectory scratch;
        const ScratchDirectory base;
        const std::string runtime = scratch.Path() + "/runtime";
        Prepare(kind, runtime, scratch.Path());
        const FileDescriptor directory =
            OpenSessionDirectory(runtime.c_str(), PlacesUnder(base.Path(), base.Path()),
                                 DirectoryAccess::CreateIfMissing);
        EXPECT_TRUE(IsDirectory(directory, base.Path() + "/" + FallbackName()))
            << "runtime directory is a " << Describe(kind);
    }
}

TEST(OpenSessionDirectory, ReusesAnExistingPrivateFallback) {
    const ScratchDirectory base;
    const std::string fallback = base.Path() + "/" + FallbackName();
    Prepare(PathKind::PrivateDirectory, fallback, base.Path());
    const FileDescriptor directory = OpenSessionDirectory(
        nullptr, PlacesUnder(base.Path(), base.Path()), DirectoryAccess::ExistingOnly);
    EXPECT_TRUE(IsDirectory(directory, fallback)) << fallback;
}

TEST(OpenSessionDirectory, AFallbackOthersCouldTamperWithGivesWayToOneUnderTheHome) {
    for (const PathKind kind : {PathKind::GroupReadable, PathKind::OthersEnterable,
                                PathKind::GroupWritable, PathKind::Symlink, PathKind::File}) {
        const ScratchDirectory base;
        const ScratchDirectory home;
        const SessionPlaces places = PlacesUnder(base.Path(), home.Path());
        Prepare(kind, places.Shared, base.Path());
        const FileDescriptor created =
            OpenSessionDirectory(nullptr, places, DirectoryAccess::CreateIfMissing);
        EXPECT_TRUE(IsDirectory(created, places.Private)) << "fallback is a " << Describe(kind);
        EXPECT_EQ(PermissionsOf(places.Private), 0700u) << "fallback is a " << Describe(kind);
        // Every later process meets the same place, also one that only asks.
        const FileDescriptor asked =
            OpenSessionDirectory(nullptr, places, DirectoryAccess::ExistingOnly);
        EXPECT_TRUE(IsDirectory(asked, places.Private)) << "fallback is a " << Describe(kind);
        const SessionHold hold = HoldSessionName(created, "TembraLidornCalcActive");
        EXPECT_EQ(hold.State, SessionObjectState::Created) << "fallback is a " << Describe(kind);
        EXPECT_TRUE(IsSessionNameHeld(asked, "TembraLidornCalcActive"))
            << "fallback is a " << Describe(kind);
    }
}

TEST(OpenSessionDirectory, RefusesTheStartWhenNeitherPlaceCanBeTrusted) {
    // What is at the shared place, and where the home place is: none, missing, or a link.
    enum class Home { None, Missing, Linked };
    for (const auto& [shared, homePlace] :
         {std::pair{PathKind::GroupWritable, Home::Linked},
          std::pair{PathKind::Symlink, Home::None}, std::pair{PathKind::File, Home::Missing}}) {
        const ScratchDirectory base;
        const ScratchDirectory home;
        SessionPlaces places = PlacesUnder(base.Path(), home.Path());
        Prepare(shared, places.Shared, base.Path());
        if (homePlace == Home::None) {
            places.Private.clear();
        } else if (homePlace == Home::Missing) {
            places.Private = home.Path() + "/nonexistent/.cache/rechner-host";
        } else {
            ASSERT_EQ(mkdir((home.Path() + "/.cache").c_str(), 0700), 0);
            Prepare(PathKind::Symlink, places.Private, home.Path());
        }
        EXPECT_THROW(OpenSessionDirectory(nullptr, places, DirectoryAccess::CreateIfMissing),
                     std::runtime_error)
            << "shared place is a " << Describe(shared);
        const FileDescriptor asked =
            OpenSessionDirectory(nullptr, places, DirectoryAccess::ExistingOnly);
        EXPECT_FALSE(asked.Valid()) << "shared place is a " << Describe(shared);
        EXPECT_FALSE(IsSessionNameHeld(asked, "TembraLidornCalcActive"));
    }
}

TEST(OpenSessionDirectory, RefusesDirectoriesOwnedBySomeoneElse) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "giving a directory to another owner needs root";
    }
    const ScratchDirectory base;
    const std::string runtime = base.Path() + "/runtime";
    const std::string fallback = base.Path() + "/" + FallbackName();
    for (const std::string& path : {runtime, fallback}) {
        Prepare(PathKind::PrivateDirectory, path, base.Path());
        ASSERT_EQ(chown(path.c_str(), Stranger, Stranger), 0) << path;
    }
    // Another user who took the shared place first is refused, and the home place serves.
    const SessionPlaces places = PlacesUnder(base.Path(), base.Path());
    const FileDescriptor directory =
        OpenSessionDirectory(runtime.c_str(), places, DirectoryAccess::CreateIfMissing);
    EXPECT_TRUE(IsDirectory(directory, places.Private))
        << "runtime directory and fallback owned by " << Stranger;
    EXPECT_EQ(HoldSessionName(directory, "TembraLidornCalcActive").State,
              SessionObjectState::Created);
}

TEST(OpenSessionDirectory, ExistingOnlyCreatesNoFallback) {
    const ScratchDirectory base;
    const FileDescriptor directory = OpenSessionDirectory(
        nullptr, PlacesUnder(base.Path(), base.Path()), DirectoryAccess::ExistingOnly);
    EXPECT_FALSE(directory.Valid()) << "no fallback under " << base.Path();
    EXPECT_TRUE(base.Entries().empty()) << "asking created something under " << base.Path();
    EXPECT_FALSE(IsSessionNameHeld(directory, "TembraLidornCalcActive"));
}
