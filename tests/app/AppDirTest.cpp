// Where the program finds its data: beside the executable (build tree, unpacked folder) or in
// ../share/tessaro (installed).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/os/SFAppDir.h"
#include "support/TempDir.h"

using SF_SOFT_BASE::ResolveApplicationDirectory;
using testsupport::TempDir;

// Any data file beside the executable wins over an installed share/tessaro; without data anywhere
// the executable's own directory is used.
TEST(ApplicationDirectory, BesideTheExecutableThenShareTessaroThenTheExecutableDirectory) {
    for (std::string beside :
         {"Lang_0.xml", "ProductParameter.csv", "Tessaro.css", "Skin/x.png", "tessaro"}) {
        TempDir root;
        root.write("bin/" + beside, "x");
        root.write("share/tessaro/Lang_0.xml", "x");
        const std::string bin = root.file("bin");
        const std::string installed = std::filesystem::canonical(root.file("share/tessaro"));
        EXPECT_EQ(ResolveApplicationDirectory(bin), beside == "tessaro" ? installed : bin)
            << beside;
        std::filesystem::remove_all(root.file("share"));
        EXPECT_EQ(ResolveApplicationDirectory(bin), bin) << beside;
    }
    // The build tree is a complete application directory.
    EXPECT_EQ(ResolveApplicationDirectory(TESSARO_APP_DIR), std::string(TESSARO_APP_DIR));
}

TEST(ApplicationDirectory, OverrideDropsTrailingSlashes) {
    SF_SOFT_BASE::SetApplicationDirectory("/opt/tessaro//");
    EXPECT_EQ(SF_SOFT_BASE::ApplicationDirectory(), "/opt/tessaro");
}
