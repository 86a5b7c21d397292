// The check drives the demo form as a user would: key presses as Qt delivers
// them to the window that holds the focus, Chinese as input-method commits,
// and the post button clicked. A step checks what the field holds once the
// editor has been left, and the last one reads the row back from the file.
#include "tools/editordemo/DemoCheck.h"

#include "editors/BlobEdit.h"
#include "editors/DBEditors.h"
#include "editors/GraphicEdit.h"
#include "editors/PictureValue.h"
#include "platform/data/ADODB.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Focus.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/testhooks/WmTestHooks.h"
#include "tools/editordemo/DemoStrip.h"
#include "tools/editordemo/EditorDemoForm.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform_ui::test::TMouseEventKind;

void Settle() {
    for (int i = 0; i < 3; ++i) {
        platform_ui::test::PumpQt(5);
        ProcessMessages();
    }
}

void Press(Word Key, const std::string& Text) {
    platform_ui::test::SendQtKey(GetFocus(), Key, 0, Text);
    Settle();
}

// Printable ASCII, one key per character, as typing makes them.
void TypeKeys(const std::string& Text) {
    for (char c : Text)
        Press(0, std::string(1, c));
}

void Commit(const std::string& Text) {
    platform_ui::test::SendQtInputMethodCommit(GetFocus(), Text);
    Settle();
}

// A left click at the centre of Area (Control's client coordinates).
void ClickAt(TWinControl* Control, const TRect& Area) {
    const TPoint centre{(Area.Left + Area.Right) / 2, (Area.Top + Area.Bottom) / 2};
    platform_ui::test::SendQtMouse(Control->Handle(), TMouseEventKind::Press, centre, MK_LBUTTON, MK_LBUTTON);
    platform_ui::test::SendQtMouse(Control->Handle(), TMouseEventKind::Release, centre, MK_LBUTTON, 0);
    Settle();
}

void ClickOn(TWinControl* Control) {
    ClickAt(Control, Control->ClientRect());
}

std::string Quoted(const std::string& Text) {
    return "'" + Text + "'";
}

// What is wrong with Field's value, empty when it reads Expected.
std::string TextDiffers(TField* Field, const std::string& Expected) {
    const std::string value = Field->AsString();
    return value == Expected ? std::string()
                             : Field->FieldName() + " reads " + Quoted(value) + ", not " + Quoted(Expected);
}

// A date field's value is a number of days too; its fault names the date.
std::string NumberDiffers(TField* Field, double Expected) {
    if (!Field->IsNull() && std::fabs(Field->AsFloat() - Expected) < 1e-9) return {};
    const bool isDate = Field->DataType() == ftDate || Field->DataType() == ftDateTime;
    return Field->FieldName() + " reads " + Quoted(Field->AsString()) + ", not " +
           (isDate ? DateTimeToStr(Expected) : FloatToStr(Expected));
}

std::string FocusLeft(TWinControl* From, TWinControl* To) {
    if (GetFocus() == To->Handle()) return {};
    return std::string("the focus did not go from ") + From->Name() + " to " + To->Name();
}

// The first of the answers that tells of a fault; empty when none does.
std::string FirstFault(std::initializer_list<std::string> Answers) {
    for (const std::string& answer : Answers)
        if (!answer.empty()) return answer;
    return {};
}

struct TStep {
    const char* Name;
    std::function<std::string()> Run; // what went wrong; empty when the step passed
};

// Runs the steps in order, one report line each; true when all passed.
bool RunSteps(const std::vector<TStep>& Steps) {
    bool passed = true;
    for (const TStep& step : Steps) {
        std::string fault;
        try {
            fault = step.Run();
        } catch (const std::exception& e) {
            fault = e.what();
        }
        if (fault.empty()) {
            std::printf("ok %s\n", step.Name);
        } else {
            std::printf("FAIL %s: %s\n", step.Name, fault.c_str());
            passed = false;
        }
        std::fflush(stdout);
    }
    return passed;
}

constexpr const char* PicsSchema = "create table PICS(ID INTEGER PRIMARY KEY, PIC IMAGE);"
                                   "insert into PICS(ID) values (1);";

} // namespace

int RunDemoCheck(const std::string& FileName) {
    TfrmEditorDemo* form = nullptr;
    Application->CreateForm(form);
    form->OpenDatabase(FileName);
    form->Show();
    Settle();
    TDataSet* demo = form->qryDemo;
    const std::string note = "第一行\r\n第二行";
    const TDateTime inThreeDays = Date() + 3;

    const std::vector<TStep> steps = {
        {"record 1",
         [&] {
             demo->First();
             form->edtName->SetFocus();
             Settle();
             if (demo->FieldByName("ID")->AsInteger() != 1) return std::string("the first record is not ID 1");
             return GetFocus() == form->edtName->Handle() ? std::string() : std::string("NAME has no focus");
         }},
        {"NAME",
         [&] {
             TypeKeys("abcdefghijklmnopqrstuvwxyz");
             Press(VK_TAB, "\t");
             return FirstFault({TextDiffers(demo->FieldByName("NAME"), "ABCDEFGHIJKLMNOPQRST"),
                                FocusLeft(form->edtName, form->memNote)});
         }},
        {"NOTE",
         [&] {
             Commit("第一行");
             Press(VK_RETURN, "\r");
             Commit("第二行");
             Press(VK_TAB, "\t");
             return FirstFault({TextDiffers(demo->FieldByName("NOTE"), note), FocusLeft(form->memNote, form->dedDay)});
         }},
        {"DAY",
         [&] {
             TypeKeys("today +3");
             Press(VK_TAB, "\t");
             return FirstFault(
                 {NumberDiffers(demo->FieldByName("DAY"), inThreeDays), FocusLeft(form->dedDay, form->cedAmount)});
         }},
        {"AMOUNT",
         [&] {
             TypeKeys("1500");
             Press(VK_TAB, "\t");
             return FirstFault(
                 {NumberDiffers(demo->FieldByName("AMOUNT"), 999), FocusLeft(form->cedAmount, form->ledCode)});
         }},
        {"CODE",
         [&] {
             Commit("软");
             Press(VK_TAB, "\t");
             return FirstFault({TextDiffers(demo->FieldByName("CODE"), "02"),
                                GetFocus() == form->ledCode->Handle() ? "the focus stayed in CODE" : ""});
         }},
        {"post",
         [&] {
             ClickOn(form->btnPost);
             return demo->State() == dsBrowse ? std::string() : std::string("the record is still being edited");
         }},
        {"row",
         [&] {
             TADOConnection connection(nullptr);
             OpenDemoDatabase(&connection, FileName);
             TADOQuery row(nullptr);
             row.SetConnection(&connection);
             row.SQL()->SetText("select * from DEMO where ID = 1");
             row.Open();
             return FirstFault(
                 {TextDiffers(row.FieldByName("NAME"), "ABCDEFGHIJKLMNOPQRST"),
                  TextDiffers(row.FieldByName("NOTE"), note), NumberDiffers(row.FieldByName("DAY"), inThreeDays),
                  NumberDiffers(row.FieldByName("AMOUNT"), 999), TextDiffers(row.FieldByName("CODE"), "02")});
         }},
    };

    const bool passed = RunSteps(steps);
    delete form;
    return passed ? 0 : 1;
}

int RunPictureCheck(const std::string& FileName, const std::string& PictureFile) {
    TfrmEditorDemo* form = nullptr;
    Application->CreateForm(form);
    form->Show();
    Settle();
    TADOConnection connection(nullptr);
    OpenDatabaseFile(&connection, FileName, PicsSchema);
    TADOQuery pics(nullptr);
    pics.SetConnection(&connection);
    pics.SQL()->SetText("select * from PICS where ID = 1");
    // The picture open dialog answers with PictureFile; other dialogs are cancelled.
    TDialogHookScope dialogs([&](const TDialogRequest& Request) {
        TDialogAnswer answer;
        if (Request.Kind == TDialogKind::OpenPicture) answer = {IDOK, {PictureFile}, 1};
        return answer;
    });
    TcvInplaceGraphicEdit* graphic = form->gedPicture;
    std::string stored;

    const std::vector<TStep> steps = {
        {"open",
         [&] {
             pics.Open();
             if (pics.IsEmpty()) return std::string("PICS has no row 1");
             ClickAt(form->Strip, form->Strip->CellRect(form->Strip->CellIndex(graphic)));
             return form->Strip->OpenEditor() == graphic ? std::string()
                                                          : std::string("a click did not open the graphic editor");
         }},
        {"load",
         [&] {
             graphic->ButtonClick(ptbLoad);
             if (cvExEdtr::IsPictureEmpty(graphic->Picture())) return std::string("no picture was loaded");
             Press(VK_RETURN, "\r");
             return form->Strip->OpenEditor() ? std::string("Enter left the editor open") : std::string();
         }},
        {"post",
         [&] {
             cvExEdtr::SavePictureToString(graphic->Picture(), stored);
             pics.Edit();
             cvDBEdtr::AssignValueToField(pics.FieldByName("PIC"), stored);
             pics.Post();
             return pics.State() == dsBrowse ? std::string() : std::string("the row is still being edited");
         }},
        {"read back",
         [&] {
             TADOQuery row(nullptr);
             row.SetConnection(&connection);
             row.SQL()->SetText("select PIC from PICS where ID = 1");
             row.Open();
             TcvInplaceBlobEdit* blob = form->bedPicture;
             // The column tells the blob editor what kind of picture its field keeps.
             const TGraphicClass kind = cvExEdtr::GraphicClassOf(*graphic->Picture()->Graphic());
             blob->OnGetGraphicClass = [&](TObject*, TGraphicClass& GraphicClass) { GraphicClass = kind; };
             TSize size{};
             blob->OnAssignPicture = [&](TObject*, TPicture*& Picture) { size = {Picture->Width(), Picture->Height()}; };
             form->Strip->FillEditor(blob, row.FieldByName("PIC")->Value());
             if (VarToStr(blob->GetEditValue()) != stored) return std::string("PIC does not hold the picture's bytes");
             std::printf("picture=%dx%d\n", size.cx, size.cy);
             return size.cx == graphic->Picture()->Width() && size.cy == graphic->Picture()->Height()
                        ? std::string()
                        : std::string("the blob editor's picture differs from the loaded one");
         }},
    };
    const bool passed = RunSteps(steps);
    delete form;
    return passed ? 0 : 1;
}
