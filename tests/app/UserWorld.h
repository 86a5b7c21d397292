// The world of the windows that work on a logged-in user's database: a
// scratch program folder, the main window with its connection adocon open on
// user/<code>/maindata.mdb (a copy of the template with the user's pass row),
// the wait window, and a recorder that answers every box. As the program's
// main form, the main window can hold document windows.
#pragma once

#include "app/DataModule.h"
#include "app/Main.h"
#include "app/Message.h"
#include "tests/app/ScratchProgramFolder.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class UserWorld {
public:
    explicit UserWorld(const std::string& Code = "u001", bool MainForm = false) : UserCode(Code) {
        UserFolder = Program.Path() + "user/" + Code + "/";
        std::filesystem::create_directories(UserFolder);
        std::filesystem::copy_file(Program.Path() + "maindata.mdb", UserFolder + "maindata.mdb");
        if (MainForm)
            Application->CreateForm(frmMain);
        else
            CreateFormInstance(frmMain, nullptr);
        CreateFormInstance(frmMessage, nullptr);
        frmMain->UserCode = Code;
        frmMain->UserDbPath = UserFolder + "maindata.mdb";
        frmMain->UserConnectionString = DatabaseConnectionString(frmMain->UserDbPath);
        frmMain->adocon->SetConnectionString(frmMain->UserConnectionString);
        frmMain->adocon->Open();
        Exec("insert into pass(username,passone,DWMC,YZBM) values(:u,'secret','测试单位','012345')", {Code});
    }
    ~UserWorld() {
        delete frmMessage;
        frmMessage = nullptr;
        delete frmMain;
        frmMain = nullptr;
        // Widgets of destroyed windows go between messages; without this
        // drain a later test's window can meet a dead one's widget.
        ProcessMessages();
    }
    UserWorld(const UserWorld&) = delete;
    UserWorld& operator=(const UserWorld&) = delete;

    TADOConnection* Connection() const { return frmMain->adocon; }

    // Runs a statement on the user's connection with ? values bound in order.
    Integer Exec(const std::string& SQL, const std::vector<Variant>& Values = {}) const {
        TADOCommand command(nullptr);
        command.SetConnection(frmMain->adocon);
        command.SetCommandText(SQL);
        for (size_t i = 0; i < Values.size(); ++i)
            command.Parameters()->Items(static_cast<Integer>(i))->SetValue(Values[i]);
        return command.Execute();
    }
    // The first column of every row of a query on the user's connection.
    std::vector<std::string> Column(const std::string& SQL) const {
        TADOQuery query(nullptr);
        query.SetConnection(frmMain->adocon);
        query.SQL()->SetText(SQL);
        query.Open();
        std::vector<std::string> values;
        for (; !query.Eof(); query.Next())
            values.push_back(query.Fields()[0]->IsNull() ? "<null>" : query.Fields()[0]->AsString());
        return values;
    }

    ScratchProgramFolder Program;
    std::string UserCode;
    std::string UserFolder;
    uitest::DialogRecorder Dialogs;
};
