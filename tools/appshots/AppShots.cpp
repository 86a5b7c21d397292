// appshots OUTPUT_FOLDER: draws the login window and the main window (its
// wallpaper, a logged-in user and the project application window listing two
// applications) into login.png and main.png. It works on a scratch copy of the built program folder and a
// scratch home, so nothing of a real installation is touched.
#include "app/DataModule.h"
#include "app/Login.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "documents/Request.h"
#include "platform/data/ADODB.h"
#include "platform/ui/Forms.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

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
    // Two applications, the first with a task book.
    database.Execute("insert into KJJHSB(KJJHSBID,XMMC,JHLBDM,RWSWJM) values(2026120001,'节水灌溉技术','01',"
                     "'2026120001@科技项目设计书.doc'),(2026120002,'城市垃圾分类处理','02','')");
    return connection;
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
        RegisterRequestWindow(frmMain);
        frmMain->ActionRequest->Execute();
        saved = Save(frmMain, output / "main.png") && saved;
    } catch (const std::exception& E) {
        std::fprintf(stderr, "appshots: %s\n", E.what());
    }
    std::error_code ignored;
    fs::remove_all(program, ignored);
    fs::remove_all(home, ignored);
    return saved ? 0 : 1;
}
