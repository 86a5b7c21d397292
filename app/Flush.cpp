// The data update. The temporary copy of the template is attached to the
// user's connection, checked, filled in one transaction (every row counted
// in) and then renamed over the user's file, which replaces it atomically:
// at every moment one complete database is there.
#include "app/Flush.h"

#include "app/ApplicationFolder.h"
#include "app/DatabaseCopy.h"
#include "app/ImportedTables.h"
#include "app/Main.h"
#include "app/UserAccount.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/MessageQueue.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

const char* const TemplateFile = "maindata.mdb";
const char* const TemporaryFile = "tempmaindata.mdb";
const char* const TemporaryAlias = "tempmaindata";

Integer RowCount(TADOConnection* Connection, const std::string& Schema, const std::string& Table) {
    TADOQuery count(nullptr);
    count.SetConnection(Connection);
    count.SQL()->SetText("select count(*) from " + SQLQuotedName(Schema) + "." + SQLQuotedName(Table));
    count.Open();
    return count.Fields()[0]->AsInteger();
}

// The template brings its own layout, so it is checked against itself: tables
// and indexes only (no view that never ends, no trigger that changes the rows
// copied in), each table within bounds, and no user's rows of its own.
void CheckTemplate(TADOConnection* Connection) {
    TADOQuery objects(nullptr);
    objects.SetConnection(Connection);
    objects.SQL()->SetText(std::string("select type, name from ") + TemporaryAlias + ".sqlite_master");
    std::vector<std::string> tables;
    for (objects.Open(); !objects.Eof(); objects.Next()) {
        const std::string type = objects.Fields()[0]->AsString();
        if (type == "table")
            tables.push_back(objects.Fields()[1]->AsString());
        else if (type != "index")
            throw EImportRefused(WrongStructureText);
    }
    for (const std::string& table : tables) {
        const int rows = CheckImportedTable(Connection, TemporaryAlias, table, TemporaryAlias);
        if (rows != 0 && (table == "pass" || table == "KJJHSB")) throw EImportRefused(WrongStructureText);
    }
}

} // namespace

Tfrmflush::Tfrmflush(TComponent* AOwner) : TfrmPop(AOwner) {
    TFormBuilder build(this);
    SetName("frmflush");
    SetBorderStyle(bsDialog);
    SetCaption("强制更新");
    SetClientWidth(320);
    SetClientHeight(136);

    Label1 = build.Control<TLabel>(this, "Label1", {16, 20, 130, 13}, "请输入您登陆的口令：");

    EdtPass = build.Control<TEdit>(this, "EdtPass", {150, 16, 150, 21});
    EdtPass->SetMaxLength(12);
    EdtPass->SetPasswordChar(U'*');
    EdtPass->SetTabOrder(0);

    btn_ok = build.Control<TButton>(this, "btn_ok", {144, 48, 75, 25}, "确定");
    btn_ok->SetTabOrder(1);
    btn_ok->OnClick = [this](TObject* Sender) { btn_okClick(Sender); };

    btn_cancel = build.Control<TButton>(this, "btn_cancel", {226, 48, 75, 25}, "取消");
    btn_cancel->SetTabOrder(2);
    btn_cancel->OnClick = [this](TObject* Sender) { btn_cancelClick(Sender); };

    lab_showflush = build.Control<TLabel>(this, "lab_showflush", {16, 84, 290, 13}, "");

    Gauge = build.Control<TGauge>(this, "Gauge", {16, 102, 288, 20});
    Gauge->SetMinValue(0);
    Gauge->SetMaxValue(100);
    Gauge->SetForeColor(clNavy);
    Gauge->SetBackColor(clInfoBk);

    FlatPainter1->SetActive(true);
    SetActiveControl(EdtPass);
}

bool Tfrmflush::DoFlush(TADOConnection* Connection) {
    lab_showflush->SetCaption("正在进行数据导出，请稍候。。。");
    Gauge->SetProgress(0);
    ProcessMessages();

    const std::string userFile = Connection->DatabaseFileName();
    const std::string temporary = ExtractFilePath(userFile) + TemporaryFile;
    try {
        if (FileExists(temporary) && !DeleteFile(temporary)) throw EInOutError("cannot delete " + temporary);
        if (!CopyFile(ApplicationFolder() + TemplateFile, temporary, true))
            throw EInOutError("cannot copy the template to " + temporary);
        if (!Connection->Connected()) Connection->Open();
        {
            const auto attached = AttachImportedFile(Connection, temporary, TemporaryAlias, WrongStructureText);
            CheckTemplate(Connection);
            auto query = std::make_unique<TADOQuery>(nullptr);
            query->SetConnection(Connection);
            query->SQL()->SetText("select KJJHSBID from KJJHSB");
            query->Open();
            TADOCommand copy(nullptr);
            copy.SetConnection(Connection);
            copy.SetCommandText(
                CopyRowsByNameSQL(Connection, "KJJHSB", TemporaryAlias, "main", "KJJHSBID = :KJJHSBID"));
            const std::string copyPass = CopyRowsByNameSQL(Connection, "pass", TemporaryAlias, "main");
            const int count = query->RecordCount();

            TTransactionGuard transaction(Connection);
            for (int i = 0; !query->Eof(); ++i) {
                copy.Parameters()->ParamByName("KJJHSBID")->SetValue(query->Fields()[0]->Value());
                copy.Execute();
                query->Next();
                Gauge->SetProgress(static_cast<int>(std::lround(i * 100.0 / count)));
            }
            Connection->Execute(copyPass);
            for (const char* table : {"KJJHSB", "pass"})
                if (RowCount(Connection, TemporaryAlias, table) != RowCount(Connection, "main", table))
                    throw EImportRefused(ImportFailedText);
            transaction.Commit();
            query.reset();
            attached->Detach();
        }
        Connection->Close();
        // rename() replaces the user's file in one step: a crash leaves either
        // the old database or the new one, never none.
        if (std::rename(temporary.c_str(), userFile.c_str()) != 0) throw EInOutError("cannot replace " + userFile);
        Connection->Open();
        Gauge->SetProgress(100);
        return true;
    } catch (const std::exception&) {
        DeleteFile(temporary);
        try {
            if (!Connection->Connected()) Connection->Open();
        } catch (const std::exception&) {
            // The old file is still there; the caller's next statement reports it.
        }
        return false;
    }
}

void Tfrmflush::btn_okClick(TObject*) {
    const std::string password = Trim(EdtPass->Text());
    if (password.empty()) return;
    std::optional<bool> updated;
    {
        TScreenCursorScope hourGlass(crHourGlass);
        if (UserPasswordMatches(frmMain->adocon, frmMain->UserCode, password)) updated = DoFlush(frmMain->adocon);
    }
    if (!updated) {
        MessageBox(Handle(), "您输入的密码不正确", "提示", MB_OK | MB_ICONINFORMATION);
        return;
    }
    MessageBox(Handle(), *updated ? "数据强制更新成功！" : "数据强制更新失败！", "提示", MB_OK | MB_ICONINFORMATION);
    Fire(OnUserDatabaseReopened, this);
    Close();
}

void Tfrmflush::btn_cancelClick(TObject*) {
    Close();
}
