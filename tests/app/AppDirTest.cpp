// Where the program finds its data: beside the executable (build tree, unpacked folder) or in
// ../share/tessaro (installed).
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/os/SFAppDir.h"
#include "support/TempDir.h"

using SF_SOFT_BASE::ResolveApplicationDirectory;
using testsupport::TempDir;

TEST(ApplicationDirectory, DataBesideTheExecutableWins) {
    for (const char* marker : {"Lang_0.xml", "ProductParameter.csv", "Tessaro.css", "Skin/x.png"}) {
        TempDir root;
        root.write(std::string("bin/") + marker, "x");
        root.write("share/tessaro/Lang_0.xml", "x");
        EXPECT_EQ(ResolveApplicationDirectory(root.file("bin")), root.file("bin")) << marker;
    }
}

TEST(ApplicationDirectory, InstalledLayoutUsesShareTessaro) {
    TempDir root;
    root.write("bin/tessaro", "x");
    root.write("share/tessaro/Lang_0.xml", "x");
    EXPECT_EQ(ResolveApplicationDirectory(root.file("bin")),
              std::filesystem::canonical(root.file("share/tessaro")).string());
}

TEST(ApplicationDirectory, NoDataAnywhereFallsBackToTheExecutableDirectory) {
    TempDir root;
    root.write("bin/tessaro", "x");
    EXPECT_EQ(ResolveApplicationDirectory(root.file("bin")), root.file("bin"));
}

TEST(ApplicationDirectory, OverrideDropsTrailingSlashes) {
    SF_SOFT_BASE::SetApplicationDirectory("/opt/tessaro//");
    EXPECT_EQ(SF_SOFT_BASE::ApplicationDirectory(), "/opt/tessaro");
}

// The build tree is a complete application directory.
TEST(ApplicationDirectory, BuildTreeResolvesToItself) {
    EXPECT_EQ(ResolveApplicationDirectory(TESSARO_APP_DIR), std::string(TESSARO_APP_DIR));
}
