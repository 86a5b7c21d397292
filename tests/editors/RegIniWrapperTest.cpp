// The layout storage wrapper over an ini file and over the registry.
#include "editors/RegIniWrapper.h"

#include "platform/os/Registry.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "tests/platform/os/ScratchHome.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(RegIniWrapper, EraseSectionTreeErasesTheSectionAndThoseBelowItOnly) {
    TScratchFolder folder;
    TMemIniFile ini(folder / "layout.ini");
    for (const char* section : {"frm_Grid", "frm_Grid\\Columns", "frm_Grid\\Columns\\0", "frm_Grid2", "frm_GridX\\A",
                                "Frm_Grid\\Other"})
        ini.WriteInteger(section, "Width", 1);
    TcvRegIniWrapper wrapper;
    wrapper.SetStore(&ini);
    wrapper.EraseSectionTree("frm_Grid");
    TStringList left;
    wrapper.ReadSections(&left);
    ASSERT_EQ(left.Count(), 3);
    EXPECT_EQ(left.Strings(0), "frm_Grid2");
    EXPECT_EQ(left.Strings(1), "frm_GridX\\A");
    EXPECT_EQ(left.Strings(2), "Frm_Grid\\Other");
}

TEST(RegIniWrapper, BinaryDataLivesInTheRegistryOnly) {
    ScratchHome home;
    TRegIniFile registry("Software\\Layouts");
    TcvRegIniWrapper wrapper;
    wrapper.SetStore(&registry);
    const char bytes[] = {1, 2, 3, 4, 5};
    wrapper.WriteBinaryData("Grid", "Widths", bytes, 5);
    char buffer[8] = {};
    EXPECT_EQ(wrapper.ReadBinaryData("Grid", "Widths", nullptr, 0), 5) << "the size";
    EXPECT_EQ(wrapper.ReadBinaryData("Grid", "Widths", buffer, 3), 3) << "a smaller buffer";
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(wrapper.ReadBinaryData("Grid", "Missing", buffer, 8), 0);
    EXPECT_EQ(wrapper.ReadBinaryData("Nowhere", "Widths", buffer, 8), 0);
    EXPECT_EQ(registry.CurrentPath(), "Software\\Layouts") << "the current key is kept";

    TScratchFolder folder;
    TMemIniFile ini(folder / "layout.ini");
    wrapper.SetStore(&ini);
    wrapper.WriteBinaryData("Grid", "Widths", bytes, 5);
    EXPECT_EQ(wrapper.ReadBinaryData("Grid", "Widths", buffer, 8), 0);
    TStringList sections;
    wrapper.ReadSections(&sections);
    EXPECT_EQ(sections.Count(), 0);
}

} // namespace
