// The about box's layout: the program's icon, title and build, and the usual
// warning under a bevel line.
#include "app/About.h"

#include "platform/ui/Graphics.h"

TdlgAbout* dlgAbout = nullptr;

TdlgAbout::TdlgAbout(TComponent* AOwner) : TForm(AOwner) {
    TComponentLoading loading(this);
    SetName("dlgAbout");
    SetBorderStyle(bsDialog);
    SetCaption("关于");
    SetPosition(poDesktopCenter);
    SetClientWidth(344);
    SetClientHeight(196);
    SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };

    ProgramIcon = new TImage(this);
    ProgramIcon->SetName("ProgramIcon");
    ProgramIcon->SetParent(this);
    ProgramIcon->SetBounds(16, 16, 32, 32);
    ProgramIcon->SetCenter(true);
    if (Application->Icon()) ProgramIcon->Picture()->Assign(Application->Icon());

    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetBounds(64, 16, 200, 16);
    Label1->SetCaption("Corvanta2.0");

    Version = new TLabel(this);
    Version->SetName("Version");
    Version->SetParent(this);
    Version->SetBounds(64, 40, 200, 13);
    Version->SetCaption("Build 531");

    Comments = new TLabel(this);
    Comments->SetName("Comments");
    Comments->SetParent(this);
    Comments->SetBounds(64, 64, 264, 13);
    Comments->SetCaption("科技计划项目申报客户端");

    Bevel1 = new TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(this);
    Bevel1->SetBounds(8, 88, 328, 2);
    Bevel1->SetShape(bsTopLine);

    Warning = new TLabel(this);
    Warning->SetName("Warning");
    Warning->SetParent(this);
    Warning->SetAutoSize(false);
    Warning->SetWordWrap(true);
    Warning->SetBounds(8, 96, 328, 56);
    Warning->SetCaption("警告：本软件受著作权法保护。未经许可擅自复制、传播本软件或其中任何部分，"
                        "将承担相应的法律责任。");

    Button1 = new TButton(this);
    Button1->SetName("Button1");
    Button1->SetParent(this);
    Button1->SetBounds(134, 162, 75, 25);
    Button1->SetCaption("确定");
    Button1->SetDefault(true);
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
}

void TdlgAbout::FormCreate(TObject*) {
    Label1->Font()->SetStyle(Label1->Font()->Style() + fsBold);
}

void TdlgAbout::Button1Click(TObject*) {
    SetModalResult(mrOk);
}
