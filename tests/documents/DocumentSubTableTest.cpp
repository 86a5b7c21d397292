// The sub-table editors, each shown modally for a parent key: a new row
// takes the parent's key and the next value of the editor's own counter,
// blanks pass the required check, an empty field is refused, and closing
// while editing asks first.
#include "documents/SubTableBase.h"
#include "documents/Yszs.h"
#include "tests/app/WhenModal.h"
#include "tests/documents/DocumentWorld.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TEditorCase {
    std::function<TfrmBase*(TComponent*)> Create;
    const char* Caption;
    const char* Table;
    const char* Key;
    const char* Required;
    const char* Message;
};

void PrintTo(const TEditorCase& Case, std::ostream* Out) {
    *Out << Case.Table;
}

class SubTableTest : public DocumentWorld, public ::testing::TestWithParam<TEditorCase> {
public:
    SubTableTest() {
        Data.ADOConnection1->Execute("insert into KORIM_YSZSBNB (NXMLXID, XMBH, XMMC) values (100, 'OLD', '旧项目')");
        Open(frmMain->ActionYszs, frmyszs);
    }
    // Types Text over the editor's whole text.
    static void TypeInto(TfrmBase* Editor, const std::string& Name, const std::string& Text) {
        auto* edit = Editor->Named(Name);
        edit->SetFocus();
        Editor->Named<TcvInplaceEdit>(Name)->SelectAllText();
        uitest::Type(edit, VK_DELETE);
        for (char c : Text)
            uitest::Type(edit, 0, std::string(1, c));
    }
};

TEST_P(SubTableTest, NewRowsTakeTheParentKeyAndTheirOwnCounterAndBlanksPass) {
    const TEditorCase& c = GetParam();
    // The parent's own row shows; a row of another parent never does.
    Data.ADOConnection1->Execute(std::string("insert into ") + c.Table + " (" + c.Key + ", NXMLXID, " + c.Required +
                                 ") values (50, 100, 'seed'), (60, 7, 'other')");
    std::unique_ptr<TfrmBase> editor(c.Create(Form));
    editor->NXMLXID = "100";
    std::string caption;
    int rows = 0;
    bool keptEditing = false;
    ExpectRecordPictures(*editor);
    WhenModal work([&] { return editor->Modal(); }, [&] {
        caption = editor->Caption();
        rows = editor->ADODataSet1->RecordCount();
        Act(editor->DataSetInsert2);
        const std::string required = std::string("edt_") + c.Required;
        Act(editor->DataSetPost2);
        TypeInto(editor.get(), required, " ");
        Act(editor->DataSetPost2);
        Act(editor->DataSetInsert2);
        // Cancel to the save question keeps the window open and editing.
        Dialogs.Answers = {IDCANCEL};
        editor->Close();
    });
    WhenModal afterQuestion([&] { return editor->Modal() && Dialogs.Boxes().size() == 2; }, [&] {
        keptEditing = editor->ADODataSet1->State() == dsInsert;
        Act(editor->DataSetCancel2);
        editor->Close();
    });
    editor->ShowModal();
    EXPECT_EQ(caption, c.Caption);
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(keptEditing);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{c.Message, "保存修改吗？"}));
    EXPECT_EQ(Shared(std::string("select ") + c.Key + "||':'||" + c.Required + " from " + c.Table +
                     " where NXMLXID=100 order by " + c.Key),
              (std::vector<std::string>{"1: ", "50:seed"}));
}

INSTANTIATE_TEST_SUITE_P(
    Editors, SubTableTest,
    ::testing::Values(
        TEditorCase{MakeSubTableEditor<TfrmSQJJZB>, "申请经济指标完成情况", "KORIM_SQJJZBNB", "JJZBID", "ZBMC",
                    "请输入指标名称"},
        TEditorCase{MakeSubTableEditor<TfrmSQJSZB>, "申请技术指标完成情况", "KORIM_SQJSZBNB", "JSZBID", "ZBMC",
                    "请输入指标名称"},
        TEditorCase{MakeSubTableEditor<TfrmSQJSHZB>, "申请建设指标完成情况", "KORIM_SQJSHZBNB", "JSHZBID", "ZBMC",
                    "请输入指标名称"},
        TEditorCase{MakeSubTableEditor<TfrmSQZYCJDW>, "申请主要参加单位", "KORIM_SQZYCJDWNB", "DWID", "DWMC",
                    "请输入单位名称"},
        TEditorCase{MakeSubTableEditor<TfrmYSJJZB>, "验收经济指标完成情况", "KORIM_YSJJZBNB", "JJZBID", "ZBMC",
                    "请输入指标名称"},
        TEditorCase{MakeSubTableEditor<TfrmYSJSZB>, "验收技术指标完成情况", "KORIM_YSJSZBNB", "JSZBID", "ZBMC",
                    "请输入指标名称"},
        TEditorCase{MakeSubTableEditor<TfrmYSJSHZB>, "验收建设指标完成情况", "KORIM_YSJSHZBNB", "JSHZBID", "ZBMC",
                    "请输入指标名称"},
        TEditorCase{MakeSubTableEditor<TfrmYSWYHRYB>, "验收委员会人员表", "KORIM_YSWYHRYBNB", "RYID", "XM",
                    "请输入姓名"}));

} // namespace
