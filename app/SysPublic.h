// Shared routines of the application: message boxes with the fixed caption,
// the yes/no question, deleting a folder tree through the shell, listing the
// files below a folder, opening a file with its associated program, and the
// transfer packages of the shared database's documents.
#pragma once

#include "platform/rtl/StringList.h"
#include "platform/ui/WinTypes.h"

#include <string>
#include <vector>

namespace SysPublic {

// Kind 1 information, 2 warning, 3 error, anything else information.
void ShowMsg(HWND Owner, const std::string& Text, int Kind);
// Yes/No; Warn shows the error icon instead of the information icon.
bool Confirm(const std::string& Text, bool Warn);
// Deletes a folder tree (or a file); one trailing "/" is dropped first.
// Exceptions pass on.
bool DeleteFolder(const std::string& Path);
// The same with the path exactly as given; an exception yields false.
bool DeleteFolder2(const std::string& Path);
// True when at least one file lies below Folder + Key; false for an empty
// key and on any failure.
bool FolderHasFiles(const std::string& Folder, const std::string& Key);
// Appends the path of every file below Folder to List: the files of the
// sub-folders (depth first, a folder before its own sub-folders) before the
// folder's own files. Always true.
bool ListFiles(const std::string& Folder, TStrings* List);
// Opens the file with its associated program; a failure is told in a box.
bool OpenDocument(const std::string& Path);

// Attachments: the files of a document lie in BaseFolder + Key, each named Key
// + "@" + its own name. The first four do nothing for an empty key and tell
// the user the outcome, failures included (with the operation's prefix).
//
// Copies the files the user picks into the attachment folder, replacing
// files of the same name.
void ImportAttachment(const std::string& BaseFolder, const std::string& Key);
// Copies Files into Folder, each as Key + "@" + its own name (shortened when
// the file system cannot hold it), replacing files of the same name, all of
// them or none: Folder is made when it is missing. Raises EImportRefused
// ("文件I/O错误") when one does not copy. The import step of both kinds of
// attachment folder.
void CopyInAttachments(const std::string& Folder, const std::string& Key, const TStrings& Files);
// Lets the user pick one attachment in the chooser and opens it.
void OpenAttachment(const std::string& BaseFolder, const std::string& Key);
// Packs every file of the attachment folder into a zip the user names.
void ExportAttachments(const std::string& BaseFolder, const std::string& Key);
// Deletes the attachment folder with its files, without asking; a file that
// cannot be deleted is told as "文件I/O错误".
void DeleteAttachments(const std::string& BaseFolder, const std::string& Key);
// A project application's task book, named by its key: Key + "@科技项目设计书.doc".
std::string TaskBookFileName(const std::string& Key);
// The files below Folder, in listing order, that are attachments of Key: all
// but Key's task book, "iodata.ldb" and "iodata.mdb" (names compared exactly).
std::vector<std::string> AttachmentFiles(const std::string& Folder, const std::string& Key);
// True when Folder holds one of those.
bool HasAttachmentFiles(const std::string& Folder, const std::string& Key);

// Document kinds of the transfer packages: 1 mid-term check tables, 2
// acceptance applications, 3 acceptance certificates; any other kind has no
// tables. BaseFolder is the kind's attachment base folder.
//
// Packs the documents whose keys (NXMLXID, as text) are given, with their
// sub-table rows and attachment files, into a package the user names. Tells
// the user the outcome; an empty list does nothing.
void ExportProjects(const std::string& BaseFolder, const TStrings& Keys, int Kind);
// Adds the documents of a package the user chooses under new keys from the
// shared database's counter, their attachment files renamed to the new keys,
// and tells the user the outcome. The package is checked whole first; a
// refused or failed import leaves the counter, the rows and the folders as
// they were.
void ImportProject(const std::string& BaseFolder, int Kind);

} // namespace SysPublic
