// The about box's layout: the program's icon, title and build, and the usual
// warning under a bevel line.
#include "app/About.h"

#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"

TdlgAbout* dlgAbout = nullptr;

TdlgAbout::TdlgAbout(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("dlgAbout");
    SetBorderStyle(bsDialog);
    SetCaption("关于");
    SetPosition(poDesktopCenter);
    SetClientWidth(344);
    SetClientHeight(196);
    SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };

    ProgramIcon = build.Control<TImage>(this, "ProgramIcon", {16, 16, 32, 32});
    ProgramIcon->SetCenter(true);
    if (Application->Icon()) ProgramIcon->Picture()->Assign(Application->Icon());

    Label1 = build.Control<TLabel>(this, "Label1", {64, 16, 200, 16}, "Corvanta2.0");

    Version = build.Control<TLabel>(this, "Version", {64, 40, 200, 13}, "Build 531");

    Comments = build.Control<TLabel>(this, "Comments", {64, 64, 264, 13}, "科技计划项目申报客户端");

    Bevel1 = build.Control<TBevel>(this, "Bevel1", {8, 88, 328, 2});
    Bevel1->SetShape(bsTopLine);

    Warning = build.Control<TLabel>(this, "Warning", {8, 96, 328, 56},
                                    "警告：本软件受著作权法保护。未经许可擅自复制、传播本软件或其中任何部分，"
                                    "将承担相应的法律责任。");
    Warning->SetAutoSize(false);
    Warning->SetWordWrap(true);

    Button1 = build.Control<TButton>(this, "Button1", {134, 162, 75, 25}, "确定");
    Button1->SetDefault(true);
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
}

void TdlgAbout::FormCreate(TObject*) {
    Label1->Font()->SetStyle(Label1->Font()->Style() + fsBold);
}

void TdlgAbout::Button1Click(TObject*) {
    SetModalResult(mrOk);
}
