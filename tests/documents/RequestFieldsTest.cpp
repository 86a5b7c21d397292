// The project application window's controls: what creation puts in them, the
// cascades between the code boxes, the check-box groups and their limits,
// what digit and amount fields accept, input methods, loading a stored row
// and the keys that walk the fields.
#include "tests/documents/RequestWorld.h"

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Clipbrd.h"
#include "platform/ui/Colors.h"
#include "platform/ui/MessageBoxCodes.h"
#include "platform/ui/Messages.h"

namespace {

class RequestFieldsTest : public ::testing::Test, public RequestWorld {
protected:
    std::vector<std::string> Items(const char* Box) const {
        std::vector<std::string> items;
        auto* box = Named<TCodeComboBox>(Box);
        for (int i = 0; i < box->Items()->Count(); ++i)
            items.push_back(box->codes()->Strings(i) + "=" + box->Items()->Strings(i));
        return items;
    }
    TLabel* LabelCaptioned(TWinControl* Parent, const std::string& Caption) const {
        for (int i = 0; i < Parent->ControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(Parent->Controls(i)); label && label->Caption() == Caption)
                return label;
        return nullptr;
    }
};

TEST_F(RequestFieldsTest, CreationFillsTheListsAndDefaultsAndShowingBrowses) {
    EXPECT_EQ(Items("ccb_YTLX").front(), "=");
    EXPECT_EQ(Items("ccb_CJDW3XZ").front(), "=");
    EXPECT_EQ(Items("ccb_CJDW3XZ").back(), "32=其他");
    EXPECT_EQ(Items("ccb_DWLB").front(), "1=部属高校");
    EXPECT_EQ(Items("ccb_JHLBDM").front(), "01=重大科技专项");
    for (const std::string& field : Items("ccb_JSLYDM"))
        EXPECT_EQ(field[1], '=') << field;
    EXPECT_EQ(Form->ccb_ZGBMDM->ItemIndex(), 0);
    EXPECT_EQ(Form->ccb_DWSZSDM->Text(), "杭州市");
    EXPECT_EQ(Form->ccb_DWSZXQDM->Items()->Count(), 0);
    EXPECT_EQ(Form->met_SBNF->Text(), FormatDateTime("yyyy", Now()));
    EXPECT_EQ(Form->met_XMFZRCSN2->Text(), FormatDateTime("yyyy", Now()));
    EXPECT_EQ(Form->met_prjend->Text(), FormatDateTime("yyyymm", Now()));
    EXPECT_EQ(Form->pgc_main->ActivePageIndex(), 0);
    TLabel* to = LabelCaptioned(Named("GroupBox1"), "至");
    ASSERT_NE(to, nullptr);
    EXPECT_EQ(to->Left(), 630);
    EXPECT_NE(LabelCaptioned(Named("GroupBox9"), "国家或地区："), nullptr);

    EXPECT_FALSE(Form->ModifiedFlag);
    EXPECT_TRUE(Form->tbInsert->Enabled());
    EXPECT_FALSE(Form->tbSave->Enabled());
    EXPECT_TRUE(Form->edt_XMMC->ReadOnly());
    EXPECT_FALSE(Form->ccb_DWLB->Enabled());
    EXPECT_FALSE(Named("ChkBox_hzfs_jsyj")->Enabled());
}

TEST_F(RequestFieldsTest, CodeBoxesCascade) {
    StartNew();
    Choose("ccb_JHLBDM", "10");
    EXPECT_FALSE(Form->ccb_JSLYDM->Enabled());
    EXPECT_EQ(Form->ccb_JSLYDM->Color(), cl3DLight);
    EXPECT_FALSE(Form->ccb_JSLYDM_other->Enabled());
    EXPECT_TRUE(Form->ccb_XKLYDM->Enabled());
    EXPECT_EQ(Form->ccb_XKLYDM->Color(), clWindow);
    Choose("ccb_XKLYDM", Form->ccb_XKLYDM->codes()->Strings(0));
    Choose("ccb_JHLBDM", "01");
    EXPECT_TRUE(Form->ccb_JSLYDM->Enabled());
    EXPECT_FALSE(Form->ccb_XKLYDM->Enabled());
    EXPECT_EQ(Form->ccb_XKLYDM->Text(), "");

    Choose("ccb_JSLYDM", "C");
    EXPECT_EQ(Items("ccb_JSLYDM_other"), (std::vector<std::string>{"C01=航空技术", "C02=航天技术"}));
    EXPECT_TRUE(Form->ccb_JSLYDM_other->Enabled());
    EXPECT_EQ(Form->ccb_JSLYDM_other->ItemIndex(), -1);
    // A field without subdivisions leaves the subdivision box off.
    Form->ccb_JSLYDM->Items()->Add("无细分");
    Form->ccb_JSLYDM->codes()->Add("Z");
    Choose("ccb_JSLYDM", "Z");
    EXPECT_EQ(Form->ccb_JSLYDM_other->Items()->Count(), 0);
    EXPECT_FALSE(Form->ccb_JSLYDM_other->Enabled());
    EXPECT_EQ(Form->ccb_JSLYDM_other->Color(), cl3DLight);

    Choose("ccb_DWSZSDM", "330100");
    EXPECT_EQ(Items("ccb_DWSZXQDM").front(), "330102=上城区");
    EXPECT_EQ(Form->ccb_DWSZXQDM->Items()->Count(), 13);
}

TEST_F(RequestFieldsTest, UnitTypeDecidesBetweenEnterpriseNatureAndIntermediaryType) {
    struct TCase {
        const char* Type;
        bool Nature;
        bool Intermediary;
    };
    StartNew();
    for (const TCase& c : {TCase{"6", true, false}, TCase{"7", false, true}, TCase{"1", false, false}}) {
        SCOPED_TRACE(c.Type);
        Choose("ccb_DWLB", "6");
        Check("ChkBox_qyxz_my");
        Choose("ccb_DWLB", "7");
        Choose("ccb_ZJJGLB", "41");
        Choose("ccb_DWLB", c.Type);
        EXPECT_EQ(Form->GroupBox_qyxz->Enabled(), c.Nature);
        EXPECT_EQ(Named<TCheckBox>("ChkBox_qyxz_my")->Checked(), false);
        EXPECT_EQ(Form->CheckedCount(0), 0);
        EXPECT_EQ(Form->ccb_ZJJGLB->Enabled(), c.Intermediary);
        EXPECT_EQ(Form->ccb_ZJJGLB->Text(), c.Intermediary ? "生产力促进中心" : "");
    }
}

TEST_F(RequestFieldsTest, CheckBoxGroupsKeepTheirLimitsAndOneEnterpriseSize) {
    StartNew();
    Choose("ccb_DWLB", "6");
    Check("ChkBox_qyxz_big");
    Check("ChkBox_qyxz_mid");
    EXPECT_FALSE(Named<TCheckBox>("ChkBox_qyxz_big")->Checked());
    EXPECT_EQ(Form->CheckedCount(0), 1);
    Check("ChkBox_qyxz_xh");
    Check("ChkBox_qyxz_my");
    EXPECT_TRUE(Dialogs.Boxes().empty());
    Check("ChkBox_qyxz_gj");
    ASSERT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Dialogs.Boxes()[0].Text, "企业性质最多只能选择三项！");
    EXPECT_EQ(Dialogs.Boxes()[0].Caption, "操作提示");
    EXPECT_EQ(Dialogs.Boxes()[0].Flags & MB_ICONMASK, MB_ICONWARNING);
    EXPECT_FALSE(Named<TCheckBox>("ChkBox_qyxz_gj")->Checked());
    EXPECT_EQ(Form->CheckedCount(0), 3);

    for (const char* box :
         {"ChkBox_yqcg_other", "ChkBox_yqcg_lw", "ChkBox_yqcg_xcp", "ChkBox_yqcg_zz", "ChkBox_yqcg_xcl"})
        Check(box);
    EXPECT_EQ(Dialogs.Boxes().back().Text, "预期成果最多只能选择四项");
    EXPECT_FALSE(Named<TCheckBox>("ChkBox_yqcg_xcl")->Checked());
    // Codes are stored in box order, not in the order of the clicks.
    int codes[4];
    Form->EncodeYQCG(codes);
    EXPECT_EQ(std::vector<int>(codes, codes + 4), (std::vector<int>{1, 6, 7, 11}));
    Form->ClearGroupYQCG();
    EXPECT_EQ(Form->CheckedCount(2), 0);
}

TEST_F(RequestFieldsTest, DigitAndAmountFieldsHoldOnlyTheirCharactersTypedOrPasted) {
    struct TCase {
        const char* Edit;
        const char* Typed;
        const char* Pasted;
        const char* Held;
    };
    const TCase cases[] = {
        // Six bytes at most: the paste is cut there, then its wide digit dropped.
        {"edt_YZBM", "0x1", "00１10", "0100"}, {"met_SBNF", "20a2", "", "202"},
        {"edt_XMMC", "a-", "名.", "a-名."},    {"edt_YQNXZCZ", "-1a", "2.5万", "-12.5"},
        {"edt_ZLSQFM", "1a-", "2.b", "12"},
    };
    StartNew();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Edit);
        Type(c.Edit, c.Typed);
        if (*c.Pasted) {
            Clipboard()->SetAsText(c.Pasted);
            Named<TCustomEdit>(c.Edit)->PasteFromClipboard();
            ProcessMessages();
        }
        EXPECT_EQ(Named(c.Edit)->Text(), c.Held);
        Named(c.Edit)->SetText("");
    }
}

TEST_F(RequestFieldsTest, TheResearchContentHoldsSixHundredGbkBytes) {
    StartNew();
    auto* memo = Named<TMemo>("mem_ZYYJNR");
    Focus(memo);
    std::string content;
    for (int i = 0; i < 340; ++i)
        content += "研";
    platform_ui::test::SendQtInputMethodCommit(memo->Handle(), content);
    ProcessMessages();
    EXPECT_EQ(Utf8Length(memo->Text()), 300u) << "300 Chinese characters, the column's 600 bytes";
}

TEST_F(RequestFieldsTest, ACodeBoxRefusesTypedTextThatIsNoItem) {
    StartNew();
    Type("ccb_DWLB", "企业");
    Leave();
    EXPECT_TRUE(Dialogs.Boxes().empty());
    Type("ccb_DWLB", "公司");
    Leave();
    ASSERT_EQ(Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Dialogs.Boxes()[0].Text, "选择项不可被改动或手工录入!!");
    EXPECT_EQ(Dialogs.Boxes()[0].Flags & MB_ICONMASK, MB_ICONERROR);
    EXPECT_EQ(Form->ccb_DWLB->Text(), "");
    EXPECT_EQ(uitest::FocusedControl(), Form->ccb_DWLB);
}

TEST_F(RequestFieldsTest, InputMethodsStayOnlyWhereChineseIsTyped) {
    for (const char* name : {"edt_ZLSQFM", "edt_YZBM", "edt_YQNXZCZ", "met_SBNF", "met_prjstart", "ccb_DWLB"})
        EXPECT_EQ(Named(name)->ImeMode(), imDisable) << name;
    for (const char* name : {"edt_XMMC", "edt_DWMC", "edt_DWDZ", "edt_ZTC1", "mem_ZYYJNR"})
        EXPECT_NE(Named(name)->ImeMode(), imDisable) << name;
}

TEST_F(RequestFieldsTest, AStoredRowLoadsBackIntoTheControls) {
    FillComplete();
    Type("edt_XMFZRXM2", "赵六");
    Choose("ccb_XMFZRXB2", "2");
    Empty("edt_XMFZRXM2");
    Check("ChkBox_qyxz_my");
    Check("ChkBox_qyxz_mid");
    ASSERT_TRUE(Form->SaveApplication());
    Exec("update KJJHSB set DWSZQYDM1='x' where KJJHSBID=2026120001");

    StartNew("");
    // Cancelled, so the refresh may load the stored row.
    Form->DatasetCancel->Execute();
    Form->DatasetRefresh->Execute();
    EXPECT_EQ(Form->CurrentId, "2026120001");
    EXPECT_EQ(Form->LoadedName, "节水灌溉技术");
    const std::vector<std::pair<const char*, const char*>> shown = {{"edt_XMMC", "节水灌溉技术"},
                                                                    {"edt_YZBM", "010010"},
                                                                    {"edt_ZNDM", ""},
                                                                    {"met_prjstart", "202601"},
                                                                    {"ccb_JSLYDM", "先进制造与自动化"},
                                                                    {"ccb_JSLYDM_other", "工业生产过程控制系统"},
                                                                    {"ccb_DWSZXQDM", "上城区"},
                                                                    {"ccb_XMFZRXB2", ""},
                                                                    {"edt_YQNXZLS", "10.5"},
                                                                    {"mem_ZYYJNR", "研究内容"}};
    for (const auto& [control, text] : shown)
        EXPECT_EQ(Named(control)->Text(), text) << control;
    EXPECT_TRUE(Named<TCheckBox>("ChkBox_qyxz_mid")->Checked());
    EXPECT_TRUE(Named<TCheckBox>("ChkBox_qyxz_my")->Checked());
    EXPECT_EQ(Form->CheckedCount(0), 2);
    EXPECT_FALSE(Named("ccb_XMFZRXB2")->Enabled());
    EXPECT_EQ(Dialogs.Boxes().back().Text, "单位所在区域的数据内容不合法！");
    EXPECT_EQ(Dialogs.Boxes().back().Caption, "数据错误");

    // Saved again unchanged: the empty guide code passes and nothing moves.
    Form->SetBrowsing(false);
    ASSERT_TRUE(Form->SaveApplication());
    EXPECT_EQ(Stored("ZNDM"), "");
    EXPECT_EQ(Stored("QYXZ1"), "32");
}

TEST_F(RequestFieldsTest, ArrowsAndEnterWalkTheFieldsExceptInACodeBox) {
    StartNew();
    Focus(Form->edt_XMMC);
    uitest::Type(Form->edt_XMMC, VK_RETURN, "\r");
    EXPECT_EQ(uitest::FocusedControl(), Form->met_SBNF);
    uitest::Type(Form->met_SBNF, VK_UP);
    EXPECT_EQ(uitest::FocusedControl(), Form->edt_XMMC);
    Focus(Form->mem_ZYYJNR);
    uitest::Type(Form->mem_ZYYJNR, VK_RETURN, "\r");
    EXPECT_EQ(Form->mem_ZYYJNR->Text(), "");
    EXPECT_NE(uitest::FocusedControl(), Form->mem_ZYYJNR);
    Focus(Form->ccb_DWLB);
    uitest::Type(Form->ccb_DWLB, VK_DOWN);
    EXPECT_EQ(uitest::FocusedControl(), Form->ccb_DWLB);
}

} // namespace
