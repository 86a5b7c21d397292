// editordemo: the editor controls on one form.
//   editordemo               edits a scratch database in the temporary folder
//   editordemo FILE          edits FILE, made with the demo's tables when missing
//   editordemo --check FILE  types into record 1 of FILE as a user would and
//                            reports each step; exits 0 when all passed
#include "editors/ExEdtr.h"
#include "platform/rtl/FileUtils.h"
#include "tools/editordemo/DemoCheck.h"
#include "tools/editordemo/EditorDemoForm.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--check") {
        if (argc != 3) {
            std::fprintf(stderr, "usage: %s --check FILE\n", argv[0]);
            return 2;
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1); // before anything opens a window
        cvExEdtr::TUnitScope editorsUnit;
        return RunDemoCheck(argv[2]);
    }
    cvExEdtr::TUnitScope editorsUnit;
    std::unique_ptr<TTempFile> scratch;
    std::string fileName = first;
    if (fileName.empty()) {
        scratch = std::make_unique<TTempFile>(std::string(), "editordemo", ".db");
        DeleteFile(scratch->FileName()); // made again with the demo's tables
        fileName = scratch->FileName();
    }
    Application->SetTitle("编辑控件演示");
    TfrmEditorDemo* frmEditorDemo = nullptr;
    Application->CreateForm(frmEditorDemo);
    frmEditorDemo->OpenDatabase(fileName);
    Application->Run();
    return 0;
}
