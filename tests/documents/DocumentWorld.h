// The world of the shared-database document windows: a logged-in user's main
// window, the data module on the scratch program folder's voltrane.mdb, the
// progress window of the transfer packages, and helpers that act as the user
// does: type into an editor on its page, choose a list item, run an action as
// its button would.
#pragma once

#include "app/DataModule.h"
#include "app/Progress.h"
#include "documents/DocumentWindow.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "tests/app/UserWorld.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class DocumentWorld : public UserWorld {
public:
    DocumentWorld() : UserWorld("u001", true) {
        DM = &Data;
        CreateFormInstance(frmProgress, nullptr);
        frmMain->Show();
        RegisterDocumentWindows(frmMain);
    }
    ~DocumentWorld() {
        delete Form;
        Forget();
        delete frmProgress;
        frmProgress = nullptr;
        ProcessMessages();
        DM = nullptr;
    }

    // Opens a window through the main window's action; Global is the
    // window's global variable.
    template <class T> void Open(TAction* Action, T*& Global) {
        Action->Execute();
        ProcessMessages();
        Form = Global;
        Forget = [&Global] { Global = nullptr; };
    }

    template <class T = TWinControl> T* Named(const std::string& Name) const { return Form->Named<T>(Name); }
    int PageOf(TControl* Control) const {
        for (TWinControl* parent = Control->Parent(); parent; parent = parent->Parent())
            if (auto* page = dynamic_cast<TTabSheet*>(parent)) return page->PageIndex();
        return -1;
    }
    // Focuses the editor on its page, selects its text and types Text over it.
    void Type(const std::string& Name, const std::string& Text) const {
        auto* edit = Named(Name);
        Form->PageControl1->SetActivePageIndex(PageOf(edit));
        edit->SetFocus();
        ProcessMessages();
        if (auto* editor = dynamic_cast<TcvInplaceEdit*>(edit)) editor->SelectAllText();
        if (Text.empty()) uitest::Type(edit, VK_DELETE);
        for (size_t i = 0; i < Text.size();) {
            size_t length = 1;
            while (i + length < Text.size() && (static_cast<unsigned char>(Text[i + length]) & 0xC0) == 0x80)
                ++length;
            uitest::Type(edit, 0, Text.substr(i, length));
            i += length;
        }
    }
    void Choose(const std::string& Name, const std::string& Item) const {
        auto* box = Named<TComboBox>(Name);
        box->SetItemIndex(box->Items()->IndexOf(Item));
        ProcessMessages();
    }
    // Runs an action as its tool button does: a silent abort ends it quietly.
    static void Act(TAction* Action) {
        try {
            Action->Execute();
        } catch (const EAbort&) {
        }
        ProcessMessages();
    }
    // The buttons shown, in order, carry the data module's record pictures:
    // new, edit, delete, save, cancel, refresh, exit.
    void ExpectRecordPictures(const TDataSetToolBar& Bar) const {
        EXPECT_EQ(Bar.ToolBar2->Images(), Data.ImageList1);
        std::vector<int> shown;
        for (int i = 0; i < Bar.ToolBar2->ButtonCount(); ++i)
            if (Bar.ToolBar2->Buttons(i)->Visible()) shown.push_back(Bar.ToolBar2->Buttons(i)->ImageIndex());
        EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    }
    TDataSetState State() const { return Form->ADODataSet1->State(); }
    std::string Field(const std::string& Column) const { return Form->ADODataSet1->FieldByName(Column)->AsString(); }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : Dialogs.Boxes())
            texts.push_back(box.Text);
        return texts;
    }
    // The first column of every row of a query on the shared database.
    std::vector<std::string> Shared(const std::string& SQL) const {
        TADOQuery query(nullptr);
        query.SetConnection(Data.ADOConnection1);
        query.SQL()->SetText(SQL);
        query.Open();
        std::vector<std::string> values;
        for (; !query.Eof(); query.Next())
            values.push_back(query.Fields()[0]->IsNull() ? "<null>" : query.Fields()[0]->AsString());
        return values;
    }

    TDM Data{nullptr};
    TfrmDocument* Form = nullptr;
    std::function<void()> Forget = [] {};
};
