// The attachment routines of the shared-database documents: files copied into
// the document's own folder, picked in the chooser, packed into a zip and
// deleted; and the rule that tells a project application's attachments from
// its task book and transfer files.
#include "app/SysPublic.h"

#include "app/Attachment.h"
#include "app/ImportStaging.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Dialogs.h"
#include "zip/ZipWriter.h"

#include <functional>
#include <set>

namespace SysPublic {

namespace {

std::string AttachmentFolder(const std::string& BaseFolder, const std::string& Key) {
    return IncludeTrailingPathDelimiter(BaseFolder) + Key;
}

// Runs one operation for a non-empty key; any failure is told with Prefix.
void RunForKey(const std::string& Key, const std::string& Prefix, const std::function<void()>& Operation) {
    if (Key.empty()) return;
    try {
        Operation();
    } catch (const std::exception& failure) {
        ShowMsg(nullptr, Prefix + "\r\n" + failure.what(), 3);
    }
}

std::vector<std::string> FilesBelow(const std::string& Folder) {
    TStringList list;
    ListFiles(Folder, &list);
    std::vector<std::string> files;
    for (int i = 0; i < list.Count(); ++i)
        files.push_back(list.Get(i));
    return files;
}

} // namespace

void CopyInAttachments(const std::string& Folder, const std::string& Key, const TStrings& Files) {
    const std::string folder = ExcludeTrailingPathDelimiter(Folder);
    TImportStaging staging(ExtractFilePath(folder));
    staging.EnsureFolder(folder);
    std::set<std::string> names;
    for (int i = 0; i < Files.Count(); ++i) {
        const std::string name = FittingFileName(folder, Key + "@" + ExtractFileName(Files.Get(i)), names);
        names.insert(name);
        staging.StageCopy(Files.Get(i), folder + PathDelim + name);
    }
    staging.Place();
    staging.Keep();
}

void ImportAttachment(const std::string& BaseFolder, const std::string& Key) {
    RunForKey(Key, "导入附件出错：", [&] {
        TOpenDialog dialog(nullptr);
        dialog.SetFilter("所有文件|*.*");
        dialog.SetOptions(dialog.Options() + ofAllowMultiSelect);
        if (!dialog.Execute()) return;
        CopyInAttachments(AttachmentFolder(BaseFolder, Key), Key, *dialog.Files());
        ShowMsg(nullptr, "导入附件成功", 1);
    });
}

void OpenAttachment(const std::string& BaseFolder, const std::string& Key) {
    RunForKey(Key, "打开附件出错：", [&] {
        const std::vector<std::string> files = FilesBelow(AttachmentFolder(BaseFolder, Key));
        if (files.empty()) {
            ShowMsg(nullptr, "该记录没有附件", 3);
            return;
        }
        std::string chosen;
        if (ChooseAttachment(files, chosen)) OpenDocument(chosen);
    });
}

void ExportAttachments(const std::string& BaseFolder, const std::string& Key) {
    RunForKey(Key, "导出附件出错：", [&] {
        zip::TZipWriter writer(nullptr);
        for (const std::string& file : FilesBelow(AttachmentFolder(BaseFolder, Key)))
            writer.FilesList()->Add(file);
        TSaveDialog dialog(nullptr);
        dialog.SetFileName("项目附件.zip");
        dialog.SetFilter("压缩文件|*.zip");
        if (!dialog.Execute()) return;
        const std::string archive = dialog.FileName();
        if (FileExists(archive)) {
            if (!Confirm("是否覆盖本地同名文件", false)) return;
            // Packing into the old archive would keep its entries.
            if (!DeleteFile(archive)) throw EInOutError(FileFailureText);
        }
        writer.SetZipName(archive);
        writer.SetRecurse(true);
        writer.Zip();
        ShowMsg(nullptr, "导出附件成功", 1);
    });
}

void DeleteAttachments(const std::string& BaseFolder, const std::string& Key) {
    RunForKey(Key, "删除附件出错：", [&] {
        const std::string folder = AttachmentFolder(BaseFolder, Key);
        bool deleted = true;
        for (const std::string& file : FilesBelow(folder))
            deleted = DeleteFile(file) && deleted;
        if (!deleted) throw EInOutError(FileFailureText);
        if (DirectoryExists(folder) && !DeleteFolder(folder)) throw EInOutError(FileFailureText);
        ShowMsg(nullptr, "删除附件成功", 1);
    });
}

std::string TaskBookFileName(const std::string& Key) {
    return Key + "@科技项目设计书.doc";
}

std::vector<std::string> AttachmentFiles(const std::string& Folder, const std::string& Key) {
    const std::string taskBook = TaskBookFileName(Key);
    std::vector<std::string> attachments;
    for (const std::string& file : FilesBelow(Folder)) {
        const std::string name = ExtractFileName(file);
        if (name != taskBook && name != "iodata.ldb" && name != "iodata.mdb") attachments.push_back(file);
    }
    return attachments;
}

bool HasAttachmentFiles(const std::string& Folder, const std::string& Key) {
    return !AttachmentFiles(Folder, Key).empty();
}

} // namespace SysPublic
