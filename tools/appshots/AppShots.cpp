// appshots OUTPUT_FOLDER: draws the login window and the main window (its
// wallpaper, a logged-in user and two document windows) into login.png and
// main.png. It works on a scratch copy of the built program folder and a
// scratch home, so nothing of a real installation is touched.
#include "app/DataModule.h"
#include "app/Login.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "platform/data/ADODB.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Stands in for a document window, which the main window opens the same way.
class TSampleDocument : public TForm {
public:
    explicit TSampleDocument(TComponent* AOwner) : TForm(AOwner) {
        TFormBuilder build(this);
        SetFormStyle(fsMDIChild);
        SetCaption("示例文档一");
        build.Control<TLabel>(this, "", {16, 16, 300, 17}, "文档窗口打开在主窗口之中。");
        OnClose = [this](TObject*, TCloseAction& Action) {
            frmMain->ChildClosed(this);
            Action = caFree;
        };
    }
};

class TSecondSampleDocument : public TSampleDocument {
public:
    explicit TSecondSampleDocument(TComponent* AOwner) : TSampleDocument(AOwner) { SetCaption("示例文档二"); }
};

TSampleDocument* frmFirst = nullptr;
TSecondSampleDocument* frmSecond = nullptr;

fs::path ScratchFolder(const char* Name) {
    std::string pattern = (fs::temp_directory_path() / Name).string() + "-XXXXXX";
    return mkdtemp(pattern.data());
}

// What a registration leaves: the user's database with its pass row.
std::string RegisterSampleUser(const fs::path& Program, const std::string& Code) {
    const fs::path folder = Program / "user" / Code;
    fs::create_directories(folder);
    fs::copy_file(Program / "maindata.mdb", folder / "maindata.mdb");
    const std::string connection = DatabaseConnectionString((folder / "maindata.mdb").string());
    TADOConnection database(nullptr);
    database.SetConnectionString(connection);
    database.Open();
    TADOCommand insert(nullptr);
    insert.SetConnection(&database);
    insert.SetCommandText("insert into pass(username,passone,DWMC) values(:u,'demo','杭州示例研究所')");
    insert.Parameters()->Items(0)->SetValue(Code);
    insert.Execute();
    return connection;
}

void Place(TForm* Document, int Left, int Top) {
    Document->SetWindowState(wsNormal);
    Document->SetBounds(Left, Top, 420, 260);
}

bool Save(TWinControl* Window, const fs::path& File) {
    Application->ProcessMessages();
    if (!Window->SaveImage(File.string())) {
        std::fprintf(stderr, "appshots: cannot write %s\n", File.c_str());
        return false;
    }
    std::printf("%s\n", File.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: appshots OUTPUT_FOLDER\n");
        return 2;
    }
    const fs::path output = fs::absolute(argv[1]);
    fs::create_directories(output);
    const fs::path program = ScratchFolder("appshots-program");
    const fs::path home = ScratchFolder("appshots-home");
    fs::copy(CORVANTA_PROGRAM_DIR, program, fs::copy_options::recursive);
    setenv("CORVANTA_PROGRAM_DIR", program.c_str(), 1);
    setenv("CORVANTA_HOME", home.c_str(), 1);
    // Drawn into images, so no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    bool saved = false;
    try {
        CreateProgramWindows();
        CreateFormInstance(frmLogin, nullptr);
        frmLogin->EdtCode->SetText("demo01");
        frmLogin->Show();
        saved = Save(frmLogin, output / "login.png");
        delete frmLogin;
        frmLogin = nullptr;

        StartUserSession(RegisterSampleUser(program, "demo01"), "demo01");
        frmMain->SetBounds(0, 0, 1024, 720);
        frmMain->Show();
        frmMain->OpenChild(frmFirst, frmMain);
        frmMain->OpenChild(frmSecond, frmMain);
        Place(frmFirst, 40, 30);
        Place(frmSecond, 120, 110);
        saved = Save(frmMain, output / "main.png") && saved;
    } catch (const std::exception& E) {
        std::fprintf(stderr, "appshots: %s\n", E.what());
    }
    std::error_code ignored;
    fs::remove_all(program, ignored);
    fs::remove_all(home, ignored);
    return saved ? 0 : 1;
}
