// The windows are made as after a login (docpackages does the same); the
// fingerprint covers only what an import may touch, so it stays cheap.
#include "tools/fuzz/packagefuzz/FuzzInstallation.h"

#include "app/DataModule.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "documents/DocumentWindow.h"
#include "documents/Request.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageBoxCodes.h"
#include "tests/support/HandMadeZip.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

const char* const User = "fuzz";
const char* const DocumentFolders[] = {"zqjcb", "yssq", "yszs"};
const char* const SharedTables[] = {"KORIM_NWZQJCB",   "KORIM_YSSQNB",     "KORIM_SQJJZBNB",   "KORIM_SQJSHZBNB",
                                    "KORIM_SQJSZBNB",  "KORIM_SQZYCJDWNB", "KORIM_YSZSBNB",    "KORIM_YSJJZBNB",
                                    "KORIM_YSJSHZBNB", "KORIM_YSJSZBNB",   "KORIM_YSWYHRYBNB", "KORIM_YSXMRYBNB",
                                    "SYS_MaxID"};

std::string Contents(const fs::path& File) {
    std::ifstream in(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Append(std::string& Print, const fs::path& Path) {
    std::error_code error;
    if (!fs::exists(Path, error)) return;
    if (!fs::is_directory(Path, error)) {
        Print += Path.string() + "\n" + Contents(Path) + "\n";
        return;
    }
    for (const auto& entry : fs::recursive_directory_iterator(Path))
        Print += entry.path().string() + (entry.is_directory() ? "/\n" : "\n" + Contents(entry.path()) + "\n");
}

} // namespace

TFuzzInstallation& TFuzzInstallation::Get() {
    static TFuzzInstallation installation;
    return installation;
}

TFuzzInstallation::TFuzzInstallation() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char pattern[] = "/tmp/packagefuzz.XXXXXX";
    FFolder = IncludeTrailingPathDelimiter(mkdtemp(pattern));
    setenv("CORVANTA_HOME", (FFolder + "home").c_str(), 1);
    // The folder's files without the program itself, which no import reads.
    for (const auto& entry : fs::directory_iterator(CORVANTA_BUILT_PROGRAM_DIR))
        if (entry.path().filename() != "corvanta")
            fs::copy(entry.path(), FFolder + entry.path().filename().string(), fs::copy_options::recursive);
    setenv("CORVANTA_PROGRAM_DIR", FFolder.c_str(), 1);
    FUserFolder = FFolder + "user/" + User + "/";
    fs::create_directories(FUserFolder);
    fs::copy_file(FFolder + "maindata.mdb", FUserFolder + "maindata.mdb");

    CreateProgramWindows();
    frmMain->UserCode = User;
    frmMain->UserDbPath = FUserFolder + "maindata.mdb";
    StartUserSession(DatabaseConnectionString(frmMain->UserDbPath), User);
    frmMain->adocon->Execute(std::string("insert into pass(username, passone) values('") + User + "', 'fuzz')");
    RegisterRequestWindow(frmMain);
    RegisterDocumentWindows(frmMain);
    frmMain->Show();
    frmMain->ActionRequest->Execute();
    Application->ProcessMessages();
}

std::string TFuzzInstallation::Fingerprint() const {
    std::string print;
    Append(print, FUserFolder);
    for (const char* folder : DocumentFolders)
        Append(print, FFolder + folder);
    Append(print, FFolder + "voltrane.mdb");
    return print;
}

void TFuzzInstallation::Clear() const {
    frmMain->adocon->Execute("delete from KJJHSB");
    for (const char* table : SharedTables)
        DM->ADOConnection1->Execute(std::string("delete from ") + table);
    for (const auto& entry : fs::directory_iterator(FUserFolder))
        if (entry.path().filename() != "maindata.mdb") fs::remove_all(entry.path());
    for (const char* folder : DocumentFolders)
        if (fs::exists(FFolder + folder))
            for (const auto& entry : fs::directory_iterator(FFolder + folder))
                fs::remove_all(entry.path());
    if (frmRequest) frmRequest->qry_main->Requery();
}

void TFuzzInstallation::ImportInput(const uint8_t* Data, size_t Size, const std::string& TransferName,
                                    const std::string& Companion, const std::function<void()>& Import) {
    const std::string bytes(reinterpret_cast<const char*>(Data), Size);
    TFuzzInstallation::Import(bytes, Import);
    TFuzzInstallation::Import(HandMadeZip({{TransferName, bytes}, {Companion, "x"}}), Import);
}

bool TFuzzInstallation::Import(const std::string& Package, const std::function<void()>& Import) {
    const std::string file = FFolder + "package.zip";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << Package;
    const std::string before = Fingerprint();
    bool succeeded = false;
    {
        TDialogHookScope answers([&](const TDialogRequest& Request) {
            TDialogAnswer answer;
            if (Request.Kind == TDialogKind::MessageBox) {
                if (Request.Text.rfind("项目导入成功", 0) == 0) succeeded = true;
                answer.Result = (Request.Flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
            } else if (Request.Kind != TDialogKind::Beep) {
                answer.Result = IDOK;
                answer.Files = {file};
            }
            return answer;
        });
        Import();
        Application->ProcessMessages();
    }
    if (succeeded) {
        Clear();
    } else if (Fingerprint() != before) {
        std::fprintf(stderr, "a refused import changed the installation\n");
        std::abort();
    }
    return succeeded;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TFuzzInstallation::Get();
    return 0;
}
