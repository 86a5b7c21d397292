// editordemo: the editor controls on one form.
//   editordemo             edits a scratch database in the temporary folder
//   editordemo FILE        edits FILE, made with the demo's tables when missing
#include "editors/ExEdtr.h"
#include "platform/rtl/FileUtils.h"
#include "tools/editordemo/EditorDemoForm.h"

#include <memory>
#include <string>

int main(int argc, char** argv) {
    cvExEdtr::TUnitScope editorsUnit;
    std::unique_ptr<TTempFile> scratch;
    std::string fileName = argc > 1 ? argv[1] : "";
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
