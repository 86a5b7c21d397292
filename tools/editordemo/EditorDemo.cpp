// editordemo: the editor controls on one form.
//   editordemo               edits a scratch database in the temporary folder
//   editordemo FILE          edits FILE, made with the demo's tables when missing
//   editordemo --check FILE  types into record 1 of FILE as a user would and
//                            reports each step; exits 0 when all passed
//   editordemo --check-picture FILE PICTURE
//                            stores PICTURE in FILE's PICS table through the
//                            strip's graphic editor, reads it back through a
//                            blob editor and prints "picture=<w>x<h>"
#include "editors/ExEdtr.h"
#include "platform/rtl/FileUtils.h"
#include "tools/editordemo/DemoCheck.h"
#include "tools/editordemo/EditorDemoForm.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

// The headless checks: an option, its operands and what runs them.
struct THeadlessCheck {
    const char* Option;
    const char* Operands;
    int OperandCount;
    std::function<int(char** Operands)> Run;
};

const THeadlessCheck HeadlessChecks[] = {
    {"--check", "FILE", 1, [](char** Operands) { return RunDemoCheck(Operands[0]); }},
    {"--check-picture", "FILE PICTURE", 2,
     [](char** Operands) { return RunPictureCheck(Operands[0], Operands[1]); }},
};

} // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    for (const THeadlessCheck& check : HeadlessChecks) {
        if (first != check.Option) continue;
        if (argc != check.OperandCount + 2) {
            std::fprintf(stderr, "usage: %s %s %s\n", argv[0], check.Option, check.Operands);
            return 2;
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1); // before anything opens a window
        cvExEdtr::TUnitScope editorsUnit;
        return check.Run(argv + 2);
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
