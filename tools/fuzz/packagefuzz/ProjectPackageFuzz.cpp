// Fuzz target: the project application window's 导入项目, with the task
// book of the seeds' application beside a mutated transfer file.
#include "documents/Request.h"
#include "tools/fuzz/packagefuzz/FuzzInstallation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TFuzzInstallation::Get().ImportInput(Data, Size, "iodata.mdb", "2026110001@科技项目设计书.doc",
                                         [] { frmRequest->ActionInProject->Execute(); });
    return 0;
}
