// Message boxes and common dialogs on Qt, behind the one test hook.
#include "platform/ui/Dialogs.h"

#include "platform/ui/MessageQueue.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/private/ClassicLook_p.h"
#include "platform/ui/private/QtApplication_p.h"
#include "platform/ui/private/WindowManager_p.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace {

TDialogHook& Hook() {
    static TDialogHook hook;
    return hook;
}

QString ToQt(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string FromQt(const QString& s) {
    return s.toUtf8().toStdString();
}

// Win32 boxes break lines at "\r\n" and at a lone "\r" (which the program's
// texts use); Qt breaks only at "\n".
QString BoxText(const std::string& text) {
    return ToQt(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
}

// A box or dialog of Qt's own runs as a window of the program's: above the
// window that opened it, and that window active again once it closes.
int RunAsOwnedDialog(QDialog& dialog, HWND owner) {
    platform_ui::KeepAboveOwner(&dialog, owner);
    const int result = dialog.exec();
    platform_ui::QtDialogClosed();
    return result;
}

// A message box has the decorations of a dialog form: a title bar with the
// close box alone.
constexpr DWORD MessageBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// A box is at least as wide as its caption with the title bar's icon and
// buttons beside it, as Win32 sizes one; a short text would leave the window
// manager a stub of a title ("提…"). QMessageBox keeps no minimum width of
// its own, so a spacer across its grid holds one.
void KeepCaptionWhole(QMessageBox& box) {
    const int titleButtons = 4 * GetSystemMetrics(SM_CXSIZE);
    const int width = QFontMetrics(box.font()).horizontalAdvance(box.windowTitle()) + titleButtons;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

int RunMessageBox(const TDialogRequest& r) {
    QMessageBox box;
    box.setWindowFlags(platform_ui::DesktopWindowFlags(MessageBoxStyle, WS_EX_DLGMODALFRAME, true));
    box.setWindowTitle(ToQt(r.Caption));
    box.setText(BoxText(r.Text));
    switch (r.Flags & MB_ICONMASK) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONASTERISK:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Button {
        const char* Text;
        QMessageBox::ButtonRole Role;
        int Id;
    };
    std::vector<Button> buttons;
    switch (r.Flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons = {{"确定", QMessageBox::AcceptRole, IDOK}, {"取消", QMessageBox::RejectRole, IDCANCEL}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{"中止(&A)", QMessageBox::RejectRole, IDABORT},
                   {"重试(&R)", QMessageBox::AcceptRole, IDRETRY},
                   {"忽略(&I)", QMessageBox::AcceptRole, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{"是(&Y)", QMessageBox::YesRole, IDYES},
                   {"否(&N)", QMessageBox::NoRole, IDNO},
                   {"取消", QMessageBox::RejectRole, IDCANCEL}};
        break;
    case MB_YESNO:
        buttons = {{"是(&Y)", QMessageBox::YesRole, IDYES}, {"否(&N)", QMessageBox::NoRole, IDNO}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{"重试(&R)", QMessageBox::AcceptRole, IDRETRY}, {"取消", QMessageBox::RejectRole, IDCANCEL}};
        break;
    default:
        buttons = {{"确定", QMessageBox::AcceptRole, IDOK}};
        break;
    }
    std::vector<QPushButton*> made;
    for (const auto& b : buttons)
        made.push_back(box.addButton(ToQt(b.Text), b.Role));
    const size_t def = ((r.Flags & MB_DEFMASK) >> 8);
    if (def < made.size()) box.setDefaultButton(made[def]);
    // Escape answers Cancel where there is one, as on Win32; a lone OK box closes with OK.
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].Id == IDCANCEL || buttons.size() == 1) box.setEscapeButton(made[i]);
    platform_ui::GiveClassicLook(&box);
    KeepCaptionWhole(box);
    RunAsOwnedDialog(box, r.Owner);
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return buttons[i].Id;
    return buttons.size() == 1 ? IDOK : IDCANCEL;
}

// "Text files|*.txt;*.doc|All|*.*" becomes Qt's "Text files (*.txt *.doc);;All (*.*)".
QString QtFilter(const std::string& filter, int index, QString* selected) {
    QStringList parts = ToQt(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString entry = parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
        if (i / 2 + 1 == index) *selected = entry;
        out << entry;
    }
    return out.join(";;");
}

// A dialog without a title of its own takes the standard caption of its kind.
QString FileDialogCaption(const TDialogRequest& r) {
    if (!r.Caption.empty()) return ToQt(r.Caption);
    switch (r.Kind) {
    case TDialogKind::SaveFile:
    case TDialogKind::SavePicture:
        return QStringLiteral("另存为");
    case TDialogKind::SelectFolder:
        return QStringLiteral("浏览文件夹");
    default:
        return QStringLiteral("打开");
    }
}

TDialogAnswer RunFileDialog(const TDialogRequest& r) {
    TDialogAnswer answer;
    QFileDialog dialog;
    dialog.setWindowTitle(FileDialogCaption(r));
    // Qt's own dialog speaks Chinese through its translations; a desktop's
    // native one would speak the desktop's language.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!r.InitialDir.empty()) dialog.setDirectory(ToQt(r.InitialDir));
    if (!r.FileName.empty()) dialog.selectFile(ToQt(r.FileName));
    if (!r.DefaultExt.empty()) dialog.setDefaultSuffix(ToQt(r.DefaultExt));
    QString selected;
    if (r.Kind == TDialogKind::SelectFolder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        const bool save = r.Kind == TDialogKind::SaveFile || r.Kind == TDialogKind::SavePicture;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile
                                : (r.MultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
        if (!r.Filter.empty()) {
            dialog.setNameFilter(QtFilter(r.Filter, r.FilterIndex, &selected));
            if (!selected.isEmpty()) dialog.selectNameFilter(selected);
        }
    }
    if (RunAsOwnedDialog(dialog, r.Owner) != QDialog::Accepted) return answer;
    answer.Result = IDOK;
    for (const QString& f : dialog.selectedFiles())
        answer.Files.push_back(FromQt(f));
    const QStringList filters = dialog.nameFilters();
    answer.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (answer.FilterIndex < 1) answer.FilterIndex = r.FilterIndex;
    return answer;
}

} // namespace

TDialogHook SetDialogHook(TDialogHook hook) {
    TDialogHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

TDialogAnswer RunDialog(const TDialogRequest& request) {
    if (request.Kind != TDialogKind::Beep) CancelCaptureOutside(nullptr);
    if (Hook()) return Hook()(request);
    platform_ui::EnsureQtApplication();
    switch (request.Kind) {
    case TDialogKind::MessageBox: {
        TDialogAnswer a;
        a.Result = RunMessageBox(request);
        return a;
    }
    case TDialogKind::Beep:
        QApplication::beep();
        return {};
    default:
        return RunFileDialog(request);
    }
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    TDialogRequest r;
    r.Kind = TDialogKind::MessageBox;
    r.Owner = owner;
    r.Text = text;
    r.Caption = caption;
    r.Flags = flags;
    return RunDialog(r).Result;
}

void MessageBeep(UINT type) {
    TDialogRequest r;
    r.Kind = TDialogKind::Beep;
    r.Flags = type;
    RunDialog(r);
}

// ---- The dialog components --------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::DoExecute(TDialogKind Kind) {
    TDialogRequest r;
    r.Kind = Kind;
    r.Caption = FTitle;
    r.Filter = FFilter;
    r.FilterIndex = FFilterIndex;
    r.InitialDir = FInitialDir;
    r.FileName = FFileName;
    r.DefaultExt = FDefaultExt;
    r.MultiSelect = FOptions.Contains(ofAllowMultiSelect);
    const TDialogAnswer answer = RunDialog(r);
    if (answer.Result != IDOK || answer.Files.empty()) return false;
    FFiles->Clear();
    for (const std::string& f : answer.Files)
        FFiles->Add(f);
    FFileName = answer.Files.front();
    FFilterIndex = answer.FilterIndex;
    return true;
}

bool TOpenDialog::Execute() {
    return DoExecute(TDialogKind::OpenFile);
}

bool TSaveDialog::Execute() {
    return DoExecute(TDialogKind::SaveFile);
}

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory) {
    TDialogRequest r;
    r.Kind = TDialogKind::SelectFolder;
    r.Caption = Caption;
    r.InitialDir = Directory.empty() ? Root : Directory;
    const TDialogAnswer answer = RunDialog(r);
    if (answer.Result != IDOK || answer.Files.empty()) return false;
    Directory = answer.Files.front();
    return true;
}
