// The main window's layout and behaviour. Document windows tell it when they
// close (ChildClosed); that call is also how the exit learns whether each of
// them really closed.
#include "app/Main.h"

#include "app/About.h"
#include "app/ApplicationFolder.h"
#include "app/Code.h"
#include "app/Flush.h"
#include "app/Msgassert.h"
#include "app/OneUseForm.h"
#include "app/SysPublic.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Focus.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"

TfrmMain* frmMain = nullptr;

namespace {

constexpr int TaskButtonWidth = 93;
// The program's icon in the strip above the task bar, at its small size.
constexpr int TopStripIconSize = 16;
constexpr int WallpaperTileWidth = 19;
constexpr int WallpaperTileHeight = 28;
const char* const WallpaperFile = "pictures/wallpaper.jpg";
const char* const HelpFile = "thelp.html";

// The task buttons' pictures: small pages in four colours, one drawn at
// random for each new document window.
void AddPageImages(TImageList* List) {
    static constexpr TColor Colours[] = {0x3C8CD2, 0x4BAA5A, 0xC07830, 0x9050B4};
    for (TColor colour : Colours) {
        TBitmap page;
        page.SetSize(16, 16);
        TCanvas* canvas = page.Canvas();
        canvas->Brush()->SetColor(clFuchsia);
        canvas->FillRect(Rect(0, 0, 16, 16));
        canvas->Brush()->SetColor(clWhite);
        canvas->Pen()->SetColor(colour);
        canvas->Rectangle(2, 1, 14, 15);
        for (int y = 4; y <= 11; y += 2) {
            canvas->MoveTo(4, y);
            canvas->LineTo(12, y);
        }
        List->AddMasked(&page, clFuchsia);
    }
}

// The left strip's glyphs, one letter a pixel; '.' is the transparent colour,
// which a glyph takes from its bottom-left pixel.
constexpr int GlyphSize = 16;
const char* const HelpGlyph[GlyphSize] = {
    "................", ".....NNNNNN.....", "...NNBBBBBBNN...", "..NBBBBBBBBBBN..",
    "..NBBBWWWWBBBN..", ".NBBBWWBBWWBBBN.", ".NBBBWWBBWWBBBN.", ".NBBBBBBBWWBBBN.",
    ".NBBBBBBWWBBBBN.", ".NBBBBBWWBBBBBN.", ".NBBBBBWWBBBBBN.", "..NBBBBBBBBBBN..",
    "..NBBBBWWBBBBN..", "...NNBBWWBBNN...", ".....NNNNNN.....", "................",
};
const char* const ExitGlyph[GlyphSize] = {
    "................", ".KKKKKKKK.......", ".KOOOOOOK.......", ".KOOOOOOK.......",
    ".KOOOOOOK..R....", ".KOOOOOOK..RR...", ".KOOOOOOK..RRR..", ".KOOOYRRRRRRRRR.",
    ".KOOOYRRRRRRRRR.", ".KOOOOOOK..RRR..", ".KOOOOOOK..RR...", ".KOOOOOOK..R....",
    ".KOOOOOOK.......", ".KOOOOOOK.......", ".KKKKKKKK.......", "................",
};

void SetGlyph(TSpeedButton* Button, const char* const (&Rows)[GlyphSize]) {
    static constexpr struct {
        char Letter;
        TColor Colour;
    } Palette[] = {{'.', clFuchsia}, {'N', clNavy}, {'B', clBlue}, {'W', clWhite},
                   {'K', clBlack},   {'O', 0x004080}, {'Y', clYellow}, {'R', clRed}};
    TBitmap glyph;
    glyph.SetSize(GlyphSize, GlyphSize);
    for (int y = 0; y < GlyphSize; ++y)
        for (int x = 0; x < GlyphSize; ++x)
            for (const auto& p : Palette)
                if (p.Letter == Rows[y][x]) glyph.Canvas()->SetPixels(x, y, p.Colour);
    Button->SetGlyph(&glyph);
}

} // namespace

TfrmMain::TfrmMain(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("frmMain");
    SetCaption("Corvanta2.0");
    SetFormStyle(fsMDIForm);
    SetWindowState(wsMaximized);
    SetBorderStyle(bsSingle);
    SetColor(clBtnShadow);
    SetVisible(false);
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };

    adocon = build.Component<TADOConnection>("adocon");
    adocon->SetMode(cmShareDenyNone);
    adocon->SetLoginPrompt(false);

    ImageList1 = build.Component<TImageList>("ImageList1");
    AddPageImages(ImageList1);

    ActionList1 = build.Component<TActionList>("ActionList1");
    // The four document windows come later; until then their actions stay off.
    ActionRequest = build.Action(ActionList1, "ActionRequest", "项目申报", ShortCut(VK_F2, {}));
    ActionZqjcb = build.Action(ActionList1, "ActionZqjcb", "中期检查表", ShortCut(VK_F3, {}));
    ActionYssq = build.Action(ActionList1, "ActionYssq", "验收申请", ShortCut(VK_F4, {}));
    ActionYszs = build.Action(ActionList1, "ActionYszs", "验收证书", ShortCut(VK_F5, {}));
    for (TAction* document : {ActionRequest, ActionZqjcb, ActionYssq, ActionYszs})
        document->SetEnabled(false);
    ActionClose = build.Action(ActionList1, "ActionClose", "关闭", scNone);
    ActionClose->SetEnabled(false);
    ActionClose->OnExecute = [this](TObject* Sender) { ActionCloseExecute(Sender); };
    ActionExit = build.Action(ActionList1, "ActionExit", "退出", scNone);
    ActionExit->OnExecute = [this](TObject* Sender) { ActionExitExecute(Sender); };
    ActionInfo = build.Action(ActionList1, "ActionInfo", "信息维护", scNone);
    ActionInfo->OnExecute = [this](TObject* Sender) { ActionInfoExecute(Sender); };
    ActionCode = build.Action(ActionList1, "ActionCode", "代码维护", scNone);
    ActionCode->OnExecute = [this](TObject* Sender) { ActionCodeExecute(Sender); };
    ActionUpdate = build.Action(ActionList1, "ActionUpdate", "强制更新", scNone);
    ActionUpdate->OnExecute = [this](TObject* Sender) { ActionUpdateExecute(Sender); };

    MainMenu1 = build.Component<TMainMenu>("MainMenu1");
    MainMenu1->SetImages(ImageList1);
    TMenuItem* bar = MainMenu1->Items();
    FileMenu = build.MenuItem(bar, "", "文件(&A)");
    FileMenu->SetGroupIndex(0);
    for (TAction* document : {ActionRequest, ActionZqjcb, ActionYssq, ActionYszs})
        build.MenuItem(FileMenu, "", document);
    build.MenuItem(FileMenu, "", "-");
    N7 = build.MenuItem(FileMenu, "N7", ActionClose);
    build.MenuItem(FileMenu, "", "-");
    build.MenuItem(FileMenu, "", ActionExit);
    // The failed automatic update sends the user here for the forced one.
    // Group 3 is the project application window's: its own maintenance menu
    // stands in this one's place while it is active.
    MaintainMenu = build.MenuItem(bar, "", "维护");
    MaintainMenu->SetGroupIndex(3);
    for (TAction* maintain : {ActionInfo, ActionCode, ActionUpdate})
        build.MenuItem(MaintainMenu, "", maintain);
    HelpMenu = build.MenuItem(bar, "", "帮助(&H)");
    HelpMenu->SetGroupIndex(9);
    N12 = build.MenuItem(HelpMenu, "N12", "帮助");
    N12->SetShortCut(ShortCut(VK_F1, {}));
    N12->OnClick = [this](TObject* Sender) { N12Click(Sender); };
    N11 = build.MenuItem(HelpMenu, "N11", "关于");
    N11->SetShortCut(ShortCut('A', {ssCtrl}));
    N11->OnClick = [this](TObject* Sender) { N11Click(Sender); };
    SetMenu(MainMenu1);

    Panel1 = build.Control<TPanel>(this, "Panel1");
    Panel1->SetAlign(alTop);
    Panel1->SetHeight(22);
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetCaption("");

    Image1 = build.Control<TImage>(Panel1, "Image1");
    Image1->SetAlign(alLeft);
    Image1->SetWidth(22);
    Image1->SetCenter(true);
    Image1->Picture()->Icon()->SetHandle(LoadIcon(HInstance, "MAINICON", TopStripIconSize));

    TaskBar = build.Control<TTaskBar>(Panel1, "TaskBar");
    TaskBar->SetAlign(alClient);
    TaskBar->SetFlat(true);
    TaskBar->SetShowCaptions(true);
    TaskBar->SetList(true);
    TaskBar->SetButtonWidth(TaskButtonWidth);
    TaskBar->SetWrapable(false);
    TaskBar->SetImages(ImageList1);
    TaskBar->SetShowed(true);
    TaskBar->SetVisible(false);

    Panel2 = build.Control<TPanel>(this, "Panel2");
    Panel2->SetAlign(alLeft);
    Panel2->SetWidth(30);
    Panel2->SetBevelOuter(bvNone);
    Panel2->SetCaption("");

    Image2 = build.Control<TImage>(Panel2, "Image2");
    Image2->SetAlign(alClient);
    Image2->SetStretch(true);

    SpeedButton5 = build.Control<TSpeedButton>(Panel2, "SpeedButton5", {3, 8, 24, 24});
    SpeedButton5->SetFlat(true);
    SetGlyph(SpeedButton5, HelpGlyph);
    SpeedButton5->SetHint("详细帮助");
    SpeedButton5->SetShowHint(true);
    SpeedButton5->OnClick = [this](TObject* Sender) { SpeedButton5Click(Sender); };

    SpeedButton6 = build.Control<TSpeedButton>(Panel2, "SpeedButton6", {3, 36, 24, 24});
    SpeedButton6->SetFlat(true);
    SetGlyph(SpeedButton6, ExitGlyph);
    SpeedButton6->SetHint("退出");
    SpeedButton6->SetShowHint(true);
    SpeedButton6->OnClick = [this](TObject* Sender) { SpeedButton6Click(Sender); };

    StatusBar1 = build.Control<TStatusBar>(this, "StatusBar1");
    // The form's colour is meant for the MDI client, not for the bar.
    StatusBar1->SetColor(clBtnFace);
    for (int width : {300, 300, 100})
        StatusBar1->Panels()->Add()->SetWidth(width);
    StatusBar1->Panels()->Items(2)->SetText("欢迎使用");

    MDIWallpaper1 = build.Component<TMDIWallpaper>("MDIWallpaper1");
    MDIWallpaper1->SetTileWidth(WallpaperTileWidth);
    MDIWallpaper1->SetTileHeight(WallpaperTileHeight);
    // A program folder without the tile still works, on the plain client colour.
    if (const std::string tile = ApplicationFolder() + WallpaperFile; FileExists(tile)) {
        MDIWallpaper1->Picture()->LoadFromFile(tile);
        Image2->Picture()->Assign(MDIWallpaper1->Picture());
    }
    MDIWallpaper1->SetClientIsOwnerForm(true);

    PopupMenu1 = build.Component<TPopupMenu>("PopupMenu1");
    MenuItem1 = build.MenuItem(PopupMenu1->Items(), "MenuItem1", "显示主窗口");
    MenuItem1->SetVisible(false);
    MenuItem1->OnClick = [this](TObject* Sender) { MenuItem1Click(Sender); };
    MenuItem3 = build.MenuItem(PopupMenu1->Items(), "MenuItem3", "关闭");
    MenuItem3->OnClick = [this](TObject* Sender) { MenuItem3Click(Sender); };

    TrayIcon1 = build.Component<TTrayIcon>("TrayIcon1");
    TrayIcon1->SetHint("Corvanta2.0");
    TrayIcon1->SetPopupMenu(PopupMenu1);
    TrayIcon1->SetCycleInterval(0);
    TrayIcon1->SetIconIndex(0);
    if (Application->Icon()) TrayIcon1->SetIcon(Application->Icon());
}

int TfrmMain::RandomImageIndex() {
    std::uniform_int_distribution<int> index(0, ImageList1->Count() - 1);
    return index(FRandom);
}

TCustomForm* TfrmMain::FindChild(const std::type_info& FormClass) const {
    for (int i = 0; i < MDIChildCount(); ++i)
        if (TCustomForm* child = MDIChildren(i); typeid(*child) == FormClass) return child;
    return nullptr;
}

void TfrmMain::ShowChild(TCustomForm* Form) {
    if (Form->WindowState() == wsMinimized)
        Form->SetWindowState(wsMaximized);
    else
        ShowWindow(Form->Handle(), SW_SHOWNA);
    if (!Form->Visible()) Form->SetVisible(true);
    Form->BringToFront();
    // The window's own focus: a document window's SetFocus would ask for a
    // parent form, which it does not have.
    if (IsWindowVisible(Form->Handle())) ::SetFocus(Form->Handle());
}

void TfrmMain::ChildCreated(TCustomForm* Form, int ImageIndex) {
    Form->SetWindowState(wsMaximized);
    TaskBar->AddTask(Form, ImageIndex);
    ActionClose->SetEnabled(true);
}

void TfrmMain::ChildClosed(TCustomForm* Form) {
    TaskBar->RemoveTask(Form);
    // The closing window still counts.
    ActionClose->SetEnabled(MDIChildCount() >= 2);
    FLastClosedChild = Form;
}

void TfrmMain::AppMinimize(TObject*) {
    TrayIcon1->HideMainForm();
}

TfrmMain::~TfrmMain() {
    Application->OnMinimize = nullptr;
}

void TfrmMain::FormCreate(TObject*) {
    Application->OnMinimize = [this](TObject* Sender) { AppMinimize(Sender); };
}

void TfrmMain::FormShow(TObject*) {
    MenuItem1->SetVisible(true);
    // A double click on the tray icon chooses the default item; before the
    // first showing (during the login) it must not bring the window up.
    MenuItem1->SetDefault(true);
}

void TfrmMain::FormCloseQuery(TObject*, bool& CanClose) {
    if (Application->MessageBox("您真的要退出系统吗？", "提示", MB_OKCANCEL) != IDOK) {
        CanClose = false;
        return;
    }
    // A closed window is freed only once the pending messages are handled, so
    // the indexes stay put while we walk down them.
    for (int i = MDIChildCount() - 1; i >= 0; --i) {
        TCustomForm* child = MDIChildren(i);
        FLastClosedChild = nullptr;
        try {
            child->Close();
        } catch (const EAbort&) {
            // The window's own question was answered Cancel.
        }
        // A window that kept its data (or its user said Cancel) keeps the
        // program running, rather than losing that data with the process.
        if (FLastClosedChild != child) {
            CanClose = false;
            return;
        }
    }
}

void TfrmMain::ActionCloseExecute(TObject*) {
    if (MDIChildCount() > 0 && ActiveMDIChild()) ActiveMDIChild()->Close();
}

void TfrmMain::ActionExitExecute(TObject*) {
    Close();
}

void TfrmMain::ActionInfoExecute(TObject*) {
    TOneUseForm profile(frmmsgassert);
    frmmsgassert->edt_username->SetEnabled(false);
    frmmsgassert->edt_username->SetText(UserCode);
    frmmsgassert->chk_passwordClick(frmmsgassert);
    frmmsgassert->ShowModal();
}

void TfrmMain::ActionCodeExecute(TObject*) {
    TfrmCode* code = nullptr;
    TOneUseForm window(code);
    window->ShowModal();
}

void TfrmMain::ActionUpdateExecute(TObject*) {
    Tfrmflush* flush = nullptr;
    TOneUseForm window(flush);
    window->OnUserDatabaseReopened = OnUserDatabaseReopened;
    window->ShowModal();
}

void TfrmMain::ShowHelp() {
    SysPublic::OpenDocument(ApplicationFolder() + HelpFile);
}

void TfrmMain::N11Click(TObject*) {
    TOneUseForm about(dlgAbout);
    dlgAbout->ShowModal();
}

void TfrmMain::N12Click(TObject*) {
    ShowHelp();
}

void TfrmMain::SpeedButton5Click(TObject*) {
    ShowHelp();
}

void TfrmMain::SpeedButton6Click(TObject*) {
    Close();
}

void TfrmMain::MenuItem1Click(TObject*) {
    TrayIcon1->ShowMainForm();
}

void TfrmMain::MenuItem3Click(TObject*) {
    Close();
}
