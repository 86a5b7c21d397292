// docpackages export-applications PROGRAM_DIR USER OUT.zip
// docpackages import-applications PROGRAM_DIR USER IN.zip
// docpackages bench-applications PROGRAM_DIR
// Runs the project application window headless for a registered user as
// after the login and drives its package menu items: every file dialog gets
// the given file, every Yes/No question a Yes, and each message box is
// printed as one line.
#include "app/ApplicationFolder.h"
#include "app/DataModule.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "documents/Request.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageBoxCodes.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

const char* const Usage = "usage: docpackages export-applications PROGRAM_DIR USER OUT.zip\n"
                          "       docpackages import-applications PROGRAM_DIR USER IN.zip\n"
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
    bool Exported = false;
    bool ErrorShown = false;
};

// The answers a user gives who wants the run done with File.
TDialogHook Answering(const std::string& File, TRunRecord& Record) {
    return [File, &Record](const TDialogRequest& Request) {
        TDialogAnswer answer;
        if (Request.Kind == TDialogKind::MessageBox) {
            std::printf("box icon=%s caption=%s text=%s\n", IconName(Request.Flags).c_str(), Request.Caption.c_str(),
                        OneLine(Request.Text).c_str());
            std::fflush(stdout);
            if (Request.Text == "数据导出成功") Record.Exported = true;
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

// Clicks the menu item Item of the project application window with File as
// every dialog's answer.
TRunRecord RunMenuItem(const std::string& Item, const std::string& File) {
    TRunRecord record;
    TDialogHookScope answers(Answering(ExpandFileName(File), record));
    if (auto* item = dynamic_cast<TMenuItem*>(frmRequest->FindComponent(Item))) {
        try {
            item->Click();
        } catch (const std::exception& E) {
            Application->ShowException(E);
        }
    }
    Application->ProcessMessages();
    return record;
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
    const double exportSeconds = SecondsOf([&] { record = RunMenuItem("N11", package); });
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
    return Finish(record.Exported && zipStatus == 0);
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const bool transfer = (command == "export-applications" || command == "import-applications") && argc == 5;
    if (!transfer && !(command == "bench-applications" && argc == 3)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("CORVANTA_PROGRAM_DIR", ExpandFileName(argv[2]).c_str(), 1);
    if (command == "bench-applications") return RunBenchmark();
    const std::string user = argv[3];
    try {
        if (!OpenSession(user)) {
            std::fprintf(stderr, "docpackages: user %s is not registered in %s\n", user.c_str(), argv[2]);
            return Finish(false);
        }
        const bool exporting = command == "export-applications";
        const TRunRecord record = RunMenuItem(exporting ? "N11" : "N12", argv[4]);
        CloseSession();
        return Finish(exporting ? record.Exported : !record.ErrorShown);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "docpackages: %s\n", E.what());
        return Finish(false);
    }
}
