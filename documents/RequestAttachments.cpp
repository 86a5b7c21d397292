// The project application's attachments: files named by the id and "@" in
// the application folder and its sub-folders, the task book and the transfer
// files left out. Unlike the shared routines these catch nothing but the
// failures of the files they copy and delete, which they tell.
#include "documents/Request.h"

#include "app/Attachment.h"
#include "app/ImportStaging.h"
#include "app/SysPublic.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Dialogs.h"
#include "zip/ZipWriter.h"

namespace {

const char* const BoxCaption = "提示";

} // namespace

void TfrmRequest::ActionOpenAttachmentExecute(TObject*) {
    const std::string id = ListText("KJJHSBID");
    // Without a row there is nothing to work on: an empty id would name the
    // user's own folder, with the user's database in it.
    if (id.empty()) return;
    const std::vector<std::string> files = SysPublic::AttachmentFiles(ApplicationFolderOf(id), id);
    if (files.empty()) {
        MessageBox(Handle(), "该记录没有附件", BoxCaption, MB_OK | MB_ICONERROR);
        return;
    }
    std::string chosen;
    if (ChooseAttachment(files, chosen)) SysPublic::OpenDocument(chosen);
}

void TfrmRequest::ActionInAttachmentExecute(TObject*) {
    const std::string id = ListText("KJJHSBID");
    if (id.empty()) return;
    TOpenDialog dialog(nullptr);
    dialog.SetFilter("所有文件|*.*");
    dialog.SetOptions(dialog.Options() + ofAllowMultiSelect);
    if (!dialog.Execute()) return;
    try {
        SysPublic::CopyInAttachments(ApplicationFolderOf(id), id, *dialog.Files());
    } catch (const EImportRefused& refusal) {
        MessageBox(Handle(), refusal.Message(), BoxCaption, MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox(Handle(), "导入附件成功", BoxCaption, MB_OK | MB_ICONINFORMATION);
    RefreshMainMenu();
}

void TfrmRequest::ActionOutAttachmentExecute(TObject*) {
    const std::string id = ListText("KJJHSBID");
    if (id.empty()) return;
    zip::TZipWriter writer(nullptr);
    for (const std::string& file : SysPublic::AttachmentFiles(ApplicationFolderOf(id), id))
        writer.FilesList()->Add(file);
    TSaveDialog dialog(nullptr);
    dialog.SetFileName("科技项目附件.zip");
    dialog.SetFilter("压缩文件|*.zip");
    if (!dialog.Execute()) return;
    const std::string archive = dialog.FileName();
    if (FileExists(archive)) {
        if (MessageBox(Handle(), "是否覆盖本地同名文件", BoxCaption, MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
        // Packing into the old archive would keep its entries.
        if (!DeleteFile(archive)) {
            MessageBox(Handle(), FileFailureText, BoxCaption, MB_OK | MB_ICONERROR);
            return;
        }
    }
    writer.SetZipName(archive);
    writer.SetRecurse(true);
    writer.Zip();
    MessageBox(Handle(), "导出附件成功", BoxCaption, MB_OK | MB_ICONINFORMATION);
}

void TfrmRequest::ActionDeleteAttachmentExecute(TObject*) {
    const std::string id = ListText("KJJHSBID");
    if (id.empty()) return;
    // One that cannot be deleted does not keep the others; the user is told.
    bool deleted = true;
    for (const std::string& file : SysPublic::AttachmentFiles(ApplicationFolderOf(id), id))
        deleted = DeleteFile(file) && deleted;
    if (deleted)
        MessageBox(Handle(), "删除附件成功", BoxCaption, MB_OK | MB_ICONINFORMATION);
    else
        MessageBox(Handle(), FileFailureText, BoxCaption, MB_OK | MB_ICONERROR);
    RefreshMainMenu();
}
