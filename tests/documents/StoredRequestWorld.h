// The project application window with one complete application stored and
// listed as the current row, its folder beside the user's database, and the
// shell recorded instead of starting programs.
#pragma once

#include "platform/ui/MessageBoxCodes.h"
#include "tests/documents/RequestWorld.h"
#include "tests/platform/office/WordTestSupport.h"
#include "zip/ZipReader.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// The entry names of a zip archive, sorted.
inline std::vector<std::string> ArchiveEntries(const std::string& Archive) {
    zip::TZipReader reader(nullptr);
    reader.SetZipName(Archive);
    reader.ReadZip();
    std::vector<std::string> names;
    for (int i = 0; i < reader.GetCount(); ++i)
        names.push_back(reader.GetFilename(i));
    std::sort(names.begin(), names.end());
    return names;
}

class StoredRequestWorld : public RequestWorld {
public:
    static constexpr const char* Id = "2026120001";

    StoredRequestWorld() {
        FillComplete();
        EXPECT_TRUE(Form->SaveApplication());
        // Saved: the list may close without asking.
        Form->ModifiedFlag = false;
        Requery();
        std::filesystem::create_directories(Folder);
    }

    void Requery() const {
        Form->qry_main->Close();
        Form->qry_main->Open();
    }
    // A file of the application folder (or a path below it).
    void Put(const std::string& Name, const std::string& Text = "x") const {
        WriteFileContents(Folder + "/" + Name, Text);
    }
    std::string Source(const std::string& Name, const std::string& Text = "x") const {
        WriteFileContents(Sources / Name, Text);
        return Sources / Name;
    }
    // Text, caption and icon of the last box.
    std::tuple<std::string, std::string, UINT> LastBox() const {
        const auto boxes = Dialogs.Boxes();
        if (boxes.empty()) return {"<no box>", "", 0};
        return {boxes.back().Text, boxes.back().Caption, boxes.back().Flags & MB_ICONMASK};
    }
    static std::tuple<std::string, std::string, UINT> WindowBox(const std::string& Text, UINT Icon) {
        return {Text, "提示", Icon};
    }

    std::string Folder = UserFolder + Id;
    std::string TaskBook = Folder + "/" + Id + "@科技项目设计书.doc";
    TScratchFolder Sources;
    LaunchRecorder Shell;
};
