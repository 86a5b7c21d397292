// The project application window opened through the main window's 项目申报
// for a logged-in user, with helpers that act as the user does: focus a
// field on its page, type into it, choose an item, and a complete
// application that passes every save rule.
#pragma once

#include "app/DataModule.h"
#include "documents/Request.h"
#include "platform/rtl/SysUtils.h"
#include "tests/app/UserWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

class RequestWorld : public UserWorld {
public:
    RequestWorld() : UserWorld("u001", true) {
        DM = new TDM(nullptr);
        frmMain->Show();
        RegisterRequestWindow(frmMain);
        frmMain->ActionRequest->Execute();
        ProcessMessages();
        Form = frmRequest;
    }
    ~RequestWorld() {
        delete frmRequest;
        delete DM;
        DM = nullptr;
        ProcessMessages();
    }

    template <class T = TWinControl> T* Named(const std::string& Name) const {
        auto* control = dynamic_cast<T*>(Form->FindComponent(Name));
        EXPECT_NE(control, nullptr) << Name;
        return control;
    }
    // The page the control sits on.
    int PageOf(TWinControl* Control) const {
        for (TWinControl* parent = Control->Parent(); parent; parent = parent->Parent())
            if (auto* page = dynamic_cast<TTabSheet*>(parent)) return page->PageIndex();
        return -1;
    }
    void Focus(TWinControl* Control) const {
        Form->pgc_main->SetActivePageIndex(PageOf(Control));
        Control->SetFocus();
        ProcessMessages();
    }
    // Focuses the edit, empties it and types Text.
    void Type(const std::string& Name, const std::string& Text) const {
        auto* edit = Named(Name);
        if (uitest::FocusedControl() == edit) {
            if (auto* e = dynamic_cast<TCustomEdit*>(edit)) e->SelectAll();
        } else {
            // Emptied before the focus comes: a masked edit emptied while
            // focused keeps its caret behind the mask.
            edit->SetText("");
            Focus(edit);
        }
        // One key per character, Chinese ones whole.
        for (size_t i = 0; i < Text.size();) {
            size_t length = 1;
            while (i + length < Text.size() && (static_cast<unsigned char>(Text[i + length]) & 0xC0) == 0x80)
                ++length;
            uitest::Type(edit, 0, Text.substr(i, length));
            i += length;
        }
    }
    // The user picks the item whose code is Code, as from the list.
    void Choose(const std::string& Name, const std::string& Code) const {
        auto* box = Named<TCodeComboBox>(Name);
        Focus(box);
        box->SetItemIndex(box->codes()->IndexOf(Code));
        if (box->OnChange) box->OnChange(box);
        ProcessMessages();
    }
    // Empties an edit or a code combo box.
    void Empty(const std::string& Name) const {
        auto* control = Named(Name);
        if (auto* box = dynamic_cast<TCodeComboBox*>(control)) box->SetItemIndex(-1);
        control->SetText("");
        ProcessMessages();
    }
    void Check(const std::string& Name, bool Checked = true) const {
        Named<TCheckBox>(Name)->SetChecked(Checked);
        ProcessMessages();
    }
    // Moves the focus to a control of the same page outside the groups that
    // have exit rules, so the rules of the field or group left run.
    void Leave() const {
        const char* const Neutral[] = {"edt_XMMC", "edt_ZTC1", "edt_XMFZRXM1", "edt_CJDW1"};
        const int page = std::max(0, PageOf(uitest::FocusedControl()));
        Named(Neutral[page])->SetFocus();
        ProcessMessages();
    }

    // A new application in editing state under Id.
    void StartNew(const std::string& Id = "2026120001") const {
        Form->ClearControls(Form->pgc_main);
        Form->CurrentId = Id;
        Form->CurrentIdIsNew = true;
        Form->SetBrowsing(false);
        ProcessMessages();
    }

    // Every required field of a new application, typed or chosen, groups
    // that add up. Category 01, technical field H with a subdivision.
    void FillComplete(const std::string& Name = "节水灌溉技术") const {
        StartNew();
        const std::vector<std::pair<const char*, const char*>> typed = {
            {"edt_XMMC", Name.c_str()},
            {"met_SBNF", "2026"},
            {"met_prjstart", "202601"},
            {"met_prjend", "202712"},
            {"edt_DWMC", "测试单位"},
            {"edt_DWFZR", "张三"},
            {"edt_DWFZRZWZC", "所长"},
            {"edt_DWFZRLXDH", "01012345678"},
            {"edt_XMLXRXM", "李四"},
            {"edt_LXRDH", "01087654321"},
            {"edt_YZBM", "010010"},
            {"mem_ZYYJNR", "研究内容"},
            {"edt_ZTC1", "灌溉"},
            {"edt_ZLSQFM", "1"},
            {"edt_ZLSQSYXX", "2"},
            {"edt_ZLSQWGSJ", "0"},
            {"edt_ZLSQFMS", "0"},
            {"edt_ZLSQSYXXS", "0"},
            {"edt_ZLSQWGSJS", "0"},
            {"edt_RJZZQ", "1"},
            // Leaving the patents group shows its page again: the benefits come after it.
            {"edt_YQNXZCZ", "100"},
            {"edt_YQNXZLS", "10.5"},
            {"edt_YQNCKCH", "0"},
            {"edt_XMFZRXM1", "王五"},
            {"met_XMFZRCSN1", "1970"},
            {"edt_XMFZRLXDH1", "13900000000"},
            {"edt_XMRYZS", "10"},
            {"edt_YFRYS35SYX", "4"},
            {"edt_GJRS", "3"},
            {"edt_ZJRS", "3"},
            {"edt_CJRS", "3"},
            {"edt_QTRS", "1"},
            {"edt_YTRYJRYS", "2"},
            {"edt_YTRJF", "6"},
            {"edt_DWZCTR", "1"},
            {"edt_ZFBKTR", "2"},
            {"edt_QTTR", "3"},
            {"edt_XMZTZ", "15"},
            {"edt_SQSBK", "5"},
            {"edt_BMPP", "4"},
            {"edt_DWZC", "3"},
            {"edt_YHDK", "2"},
            {"edt_QTLY", "1"},
            {"edt_CDDWZGZRS", "100"},
            {"edt_CDDWKJRYS", "50"},
            {"edt_CDDWYFKJRYS", "20"},
            {"edt_NYFJF", "30"},
            {"edt_YYZLS", "5"},
            {"edt_RJZZQS", "1"},
            {"edt_FMZLS", "2"},
            {"edt_NCZ", "1000"},
            {"edt_NXSE", "900"},
            {"edt_NCH", "10"},
            {"edt_NSJSJ", "50"},
            {"edt_NLR", "80"},
        };
        for (const auto& [name, text] : typed)
            Type(name, text);
        const std::vector<std::pair<std::string, std::string>> chosen = {
            {"ccb_JHLBDM", "01"},  {"ccb_ZGBMDM", Form->ccb_ZGBMDM->codes()->Strings(0)},
            {"ccb_JSLYDM", "H"},   {"ccb_JSLYDM_other", "H01"},
            {"ccb_DWLB", "6"},     {"ccb_DWSZSDM", Form->ccb_DWSZSDM->codes()->Strings(0)},
            {"ccb_XMFZRXB1", "1"}, {"ccb_XMFZRXL1", "1"},
            {"ccb_XMFZRXW1", "1"}, {"ccb_XMFZRZC1", "1"},
        };
        for (const auto& [name, code] : chosen)
            Choose(name, code);
        Choose("ccb_DWSZXQDM", Form->ccb_DWSZXQDM->codes()->Strings(0));
        Leave();
    }

    // The columns of the stored row with this id, null as "<null>".
    std::string Stored(const std::string& Column, const std::string& Id = "2026120001") const {
        const auto values = this->Column("select " + Column + " from KJJHSB where KJJHSBID=" + Id);
        return values.empty() ? "<no row>" : values[0];
    }

    // A stored application, listed after the next refresh.
    void Insert(const std::string& Id, const std::string& Name, const std::string& TaskBook = "",
                const std::string& Category = "01") const {
        Exec("insert into KJJHSB(KJJHSBID, XMMC, RWSWJM, JHLBDM) values(?, ?, ?, ?)",
             {StrToInt64(Id), Name, TaskBook, Category});
    }
    void Refresh() const {
        Form->DatasetRefresh->Execute();
        ProcessMessages();
    }
    // The texts of the message boxes shown since Count boxes had been.
    std::vector<std::string> BoxesSince(size_t Count) const {
        std::vector<std::string> texts;
        const auto boxes = Dialogs.Boxes();
        for (size_t i = Count; i < boxes.size(); ++i)
            texts.push_back(boxes[i].Text);
        return texts;
    }

    TfrmRequest* Form = nullptr;
};
