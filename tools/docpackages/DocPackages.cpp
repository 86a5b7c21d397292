// docpackages export-applications PROGRAM_DIR USER OUT.zip
// docpackages import-applications PROGRAM_DIR USER IN.zip
// docpackages export-documents PROGRAM_DIR KIND OUT.zip
// docpackages import-documents PROGRAM_DIR KIND IN.zip
// docpackages bench-applications PROGRAM_DIR
// Runs the project application window headless for a registered user as
// after the login, or the document window of KIND (1 mid-term table, 2
// acceptance application, 3 acceptance certificate), and drives its package
// menu items: every file dialog gets the given file, every Yes/No question a
// Yes, and each message box is printed as one line.
#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "documents/DocumentWindow.h"
#include "documents/Request.h"
#include "documents/Yssq.h"
#include "documents/Yszs.h"
#include "documents/Zqjcb.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/MessageBoxCodes.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const char* const Usage = "usage: docpackages export-applications PROGRAM_DIR USER OUT.zip\n"
                          "       docpackages import-applications PROGRAM_DIR USER IN.zip\n"
                          "       docpackages export-documents PROGRAM_DIR KIND OUT.zip\n"
                          "       docpackages import-documents PROGRAM_DIR KIND IN.zip\n"
                          "       docpackages bench-applications PROGRAM_DIR\n";

std::string IconName(UINT Flags) {
    switch (Flags & MB_ICONMASK) {
    case MB_ICONWARNING:
        return "warning";
    case MB_ICONERROR:
        return "error";
    case MB_ICONQUESTION:
        return "question";
    default:
        return "information";
    }
}

// Line breaks as the two characters \n, so one box stays one line.
std::string OneLine(const std::string& Text) {
    std::string line;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            line += "\\n";
            if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
        } else {
            line += Text[i];
        }
    }
    return line;
}

struct TRunRecord {
    std::vector<std::string> Texts;
    bool ErrorShown = false;
    bool Showed(const std::string& Text) const { return std::find(Texts.begin(), Texts.end(), Text) != Texts.end(); }
};

// The answers a user gives who wants the run done with File.
TDialogHook Answering(const std::string& File, TRunRecord& Record) {
    return [File, &Record](const TDialogRequest& Request) {
        TDialogAnswer answer;
        if (Request.Kind == TDialogKind::MessageBox) {
            std::printf("box icon=%s caption=%s text=%s\n", IconName(Request.Flags).c_str(), Request.Caption.c_str(),
                        OneLine(Request.Text).c_str());
            std::fflush(stdout);
            Record.Texts.push_back(Request.Text);
            if ((Request.Flags & MB_ICONMASK) == MB_ICONERROR) Record.ErrorShown = true;
            const UINT buttons = Request.Flags & MB_TYPEMASK;
            answer.Result = buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
        } else if (Request.Kind != TDialogKind::Beep) {
            answer.Result = IDOK;
            answer.Files = {File};
        }
        return answer;
    };
}

// The main window and the project application window as after USER's login.
bool OpenSession(const std::string& User) {
    const std::string database = ApplicationFolder() + "user/" + User + "/maindata.mdb";
    if (!FileExists(database)) return false;
    CreateProgramWindows();
    frmMain->UserCode = User;
    frmMain->UserDbPath = database;
    StartUserSession(DatabaseConnectionString(database), User);
    TADOQuery registered(nullptr);
    registered.SetConnection(frmMain->adocon);
    registered.SQL()->SetText("select count(*) from pass where username=:user");
    registered.Parameters()->ParamByName("user")->SetValue(User);
    registered.Open();
    if (registered.Fields()[0]->AsInteger() == 0) return false;
    RegisterRequestWindow(frmMain);
    frmMain->Show();
    frmMain->ActionRequest->Execute();
    Application->ProcessMessages();
    return frmRequest != nullptr;
}

void CloseSession() {
    delete frmRequest;
    FreeProgramWindows();
}

// Clicks Item, when there is one, with File as every dialog's answer.
TRunRecord RunMenuItem(TMenuItem* Item, const std::string& File) {
    TRunRecord record;
    TDialogHookScope answers(Answering(ExpandFileName(File), record));
    if (Item) {
        try {
            Item->Click();
        } catch (const std::exception& E) {
            Application->ShowException(E);
        }
    }
    Application->ProcessMessages();
    return record;
}

// The menu item Name of the project application window.
TMenuItem* RequestMenuItem(const std::string& Name) {
    return dynamic_cast<TMenuItem*>(frmRequest->FindComponent(Name));
}

bool TransferApplications(bool Exporting, const std::string& User, const std::string& File) {
    if (!OpenSession(User)) {
        std::fprintf(stderr, "docpackages: user %s is not registered in %s\n", User.c_str(),
                     ApplicationFolder().c_str());
        return false;
    }
    const TRunRecord record = RunMenuItem(RequestMenuItem(Exporting ? "N11" : "N12"), File);
    CloseSession();
    return Exporting ? record.Showed("数据导出成功") : !record.ErrorShown;
}

struct TDocumentKind {
    const char* Kind;
    TAction* TfrmMain::*Action;
    TfrmDocument* (*Window)();
};

const TDocumentKind DocumentKinds[] = {
    {"1", &TfrmMain::ActionZqjcb, []() -> TfrmDocument* { return frmzqjcb; }},
    {"2", &TfrmMain::ActionYssq, []() -> TfrmDocument* { return frmyssq; }},
    {"3", &TfrmMain::ActionYszs, []() -> TfrmDocument* { return frmyszs; }},
};

TMenuItem* DocumentMenuItem(const TfrmDocument& Window, const std::string& Caption) {
    for (int i = 0; i < Window.DocumentMenu->Count(); ++i)
        if (Window.DocumentMenu->Items(i)->Caption() == Caption) return Window.DocumentMenu->Items(i);
    return nullptr;
}

// Opens the window of Kind through its main-window action, as its key does,
// and runs its menu item.
bool TransferDocuments(bool Exporting, const std::string& Kind, const std::string& File) {
    const auto* kind = std::find_if(std::begin(DocumentKinds), std::end(DocumentKinds),
                                    [&Kind](const TDocumentKind& Entry) { return Kind == Entry.Kind; });
    if (kind == std::end(DocumentKinds)) {
        std::fprintf(stderr, "docpackages: KIND is 1, 2 or 3, not %s\n", Kind.c_str());
        return false;
    }
    CreateProgramWindows();
    RegisterDocumentWindows(frmMain);
    frmMain->Show();
    (frmMain->*kind->Action)->Execute();
    Application->ProcessMessages();
    TfrmDocument* window = kind->Window();
    const TRunRecord record =
        RunMenuItem(window ? DocumentMenuItem(*window, Exporting ? "导出所有项目" : "导入项目") : nullptr, File);
    FreeProgramWindows();
    return record.Showed(Exporting ? "项目导出成功" : "项目导入成功");
}

int Finish(bool Ok) {
    std::puts(Ok ? "result=ok" : "result=failed");
    return Ok ? 0 : 1;
}

// ---- benchmark ----

constexpr int BenchApplications = 200;

// Bytes that do not compress, text that does, and a run of zeros: about
// half a megabyte per application beside its task book.
void WriteAttachments(const std::string& Folder, const std::string& Id, unsigned Seed) {
    std::string noise(200 * 1024, '\0');
    for (char& c : noise) {
        Seed = Seed * 1103515245u + 12345u;
        c = char(Seed >> 16);
    }
    std::string text;
    while (text.size() < 250 * 1024)
        text +=
            "项目研究内容及考核指标，关键技术与创新之处。Project " + Id + " line " + std::to_string(text.size()) + "\n";
    const std::pair<std::string, std::string> files[] = {
        {Id + "@科技项目设计书.doc", std::string(20 * 1024, 'd')},
        {Id + "@图纸.bin", noise},
        {Id + "@说明.txt", text},
        {Id + "@空白.dat", std::string(50 * 1024, '\0')},
    };
    for (const auto& [name, bytes] : files) {
        FILE* file = std::fopen((Folder + name).c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// A scratch user with BenchApplications complete applications, each with its
// task book and attachments; answers the user's folder.
std::string MakeBenchUser(const std::string& User) {
    const std::string folder = ApplicationFolder() + "user/" + User + "/";
    ForceDirectories(folder);
    CopyFile(ApplicationFolder() + "maindata.mdb", folder + "maindata.mdb", false);
    TADOConnection connection(nullptr);
    connection.SetConnectionString(DatabaseConnectionString(folder + "maindata.mdb"));
    connection.Open();
    connection.Execute("insert into pass(username,passone) values('" + User + "','bench')");
    connection.Execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                       std::to_string(BenchApplications) +
                       ") insert into KJJHSB(KJJHSBID) select 2026010000 + i from n");
    // Every column filled, then the ones whose rules want a shape of their own.
    TADOQuery columns(nullptr);
    columns.SetConnection(&connection);
    columns.SQL()->SetText("select name from pragma_table_info('KJJHSB') where name<>'KJJHSBID'");
    std::string assignments;
    for (columns.Open(); !columns.Eof(); columns.Next())
        assignments += (assignments.empty() ? "" : ",") + columns.Fields()[0]->AsString() + "='1'";
    connection.Execute("update KJJHSB set " + assignments);
    connection.Execute("update KJJHSB set SBNF='2026', ZNDM='', JHLBDM='01', JSLYDM='A01', XKLYDM='', "
                       "XMMC='基准项目' || KJJHSBID, RWSWJM=KJJHSBID || '@科技项目设计书.doc'");
    for (int i = 1; i <= BenchApplications; ++i) {
        const std::string id = std::to_string(2026010000 + i);
        ForceDirectories(folder + id);
        WriteAttachments(folder + id + "/", id, unsigned(i));
    }
    return folder;
}

double SecondsOf(const std::function<void()>& Work) {
    const auto start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int RunBenchmark() {
    const std::string user = "bench" + std::to_string(getpid());
    const std::string folder = MakeBenchUser(user);
    if (!OpenSession(user)) return Finish(false);
    const std::string package = folder + "bench-export.zip";
    TRunRecord record;
    const double exportSeconds = SecondsOf([&] { record = RunMenuItem(RequestMenuItem("N11"), package); });
    CloseSession();
    std::string folders;
    for (int i = 1; i <= BenchApplications; ++i)
        folders += " " + std::to_string(2026010000 + i);
    const std::string zipCommand = "cd '" + folder + "' && zip -r -q -6 bench-zip.zip" + folders + " temp/iodata.mdb";
    int zipStatus = 0;
    const double zipSeconds = SecondsOf([&] { zipStatus = std::system(zipCommand.c_str()); });
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().parent_path().filename().string().rfind("2026", 0) == 0)
            bytes += entry.file_size();
    std::printf("bench=applications count=%d mbytes=%.1f export_s=%.2f zip_s=%.2f\n", BenchApplications, bytes / 1e6,
                exportSeconds, zipSeconds);
    std::filesystem::remove_all(folder);
    return Finish(record.Showed("数据导出成功") && zipStatus == 0);
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const bool applications = command == "export-applications" || command == "import-applications";
    const bool documents = command == "export-documents" || command == "import-documents";
    if (!((applications || documents) && argc == 5) && !(command == "bench-applications" && argc == 3)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("CORVANTA_PROGRAM_DIR", ExpandFileName(argv[2]).c_str(), 1);
    if (command == "bench-applications") return RunBenchmark();
    const bool exporting = command.starts_with("export-");
    try {
        return Finish(applications ? TransferApplications(exporting, argv[3], argv[4])
                                   : TransferDocuments(exporting, argv[3], argv[4]));
    } catch (const std::exception& E) {
        std::fprintf(stderr, "docpackages: %s\n", E.what());
        return Finish(false);
    }
}
