// Shared routines: boxes through the platform's message box, folders through
// the shell services and the runtime's directory search.
#include "app/SysPublic.h"

#include "platform/os/Shell.h"
#include "platform/rtl/FileUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

#include <vector>

namespace SysPublic {

namespace {

const char* const MessageCaption = "提示信息";
// Every entry kind the directory search reports (read-only ... archive).
constexpr Integer SearchAttributes = 63;

// Sub-folders of Folder (which ends in "/"), depth first, each before its own.
void CollectFolders(const std::string& Folder, std::vector<std::string>& Folders) {
    TSearchRec sr;
    if (FindFirst(Folder + "*.*", SearchAttributes, sr) != 0) return;
    do {
        // A folder is known by its directory bit: hidden or read-only
        // folders are folders too, not files.
        if ((sr.Attr & faDirectory) && sr.Name != "." && sr.Name != "..") {
            const std::string sub = Folder + sr.Name + PathDelim;
            Folders.push_back(sub);
            CollectFolders(sub, Folders);
        }
    } while (FindNext(sr) == 0);
    FindClose(sr);
}

} // namespace

void ShowMsg(HWND Owner, const std::string& Text, int Kind) {
    UINT icon = MB_ICONINFORMATION;
    if (Kind == 2)
        icon = MB_ICONWARNING;
    else if (Kind == 3)
        icon = MB_ICONERROR;
    MessageBox(Owner, Text, MessageCaption, MB_OK | icon);
}

bool Confirm(const std::string& Text, bool Warn) {
    return MessageBox(Application->Handle(), Text, MessageCaption,
                      MB_YESNO | (Warn ? MB_ICONERROR : MB_ICONINFORMATION)) == IDYES;
}

bool DeleteFolder(const std::string& Path) {
    std::string path = Path;
    if (!path.empty() && path.back() == PathDelim) path.pop_back();
    return ShellDeleteTree(path);
}

bool DeleteFolder2(const std::string& Path) {
    try {
        return ShellDeleteTree(Path);
    } catch (...) {
        return false;
    }
}

bool FolderHasFiles(const std::string& Folder, const std::string& Key) {
    if (Key.empty()) return false;
    try {
        std::string folder = Folder;
        if (folder.empty() || folder.back() != PathDelim) folder += PathDelim;
        TStringList list;
        ListFiles(folder + Key, &list);
        return list.Count() > 0;
    } catch (...) {
        return false;
    }
}

bool ListFiles(const std::string& Folder, TStrings* List) {
    const std::string start = Folder + PathDelim;
    std::vector<std::string> folders;
    CollectFolders(start, folders);
    folders.push_back(start);
    for (const std::string& folder : folders) {
        TSearchRec sr;
        if (FindFirst(folder + "*.*", SearchAttributes, sr) != 0) continue;
        do {
            if (!(sr.Attr & faDirectory)) List->Add(folder + sr.Name);
        } while (FindNext(sr) == 0);
        FindClose(sr);
    }
    return true;
}

bool OpenDocument(const std::string& Path) {
    const int result = ShellExecute("open", Path);
    if (result > 32) return true;
    std::string text;
    switch (result) {
    case 0:
        text = "内存不足！";
        break;
    case 2:
        text = "没有找到文件";
        break;
    case 3:
        text = "目录错误";
        break;
    case 11:
        text = "错误的文件格式";
        break;
    default:
        text = "执行" + Path + "出错";
        break;
    }
    Application->MessageBox(text, MessageCaption, MB_ICONINFORMATION);
    return false;
}

} // namespace SysPublic
