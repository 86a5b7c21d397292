// Fuzz target: 导入项目 of the document window of one kind (chosen by the
// input's size), with an attachment of the seeds' document 1 beside a
// mutated transfer file.
#include "app/SysPublic.h"
#include "tools/fuzz/packagefuzz/FuzzInstallation.h"

namespace {

const char* const KindFolders[] = {"zqjcb/", "yssq/", "yszs/"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TFuzzInstallation& installation = TFuzzInstallation::Get();
    const int kind = int(Size % 3) + 1;
    installation.ImportInput(Data, Size, "iovoltrane.mdb", "1@报告.doc", [&] {
        SysPublic::ImportProject(installation.ProgramFolder() + KindFolders[kind - 1], kind);
    });
    return 0;
}
