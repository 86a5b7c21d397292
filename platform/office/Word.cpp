// Documents kept as RTF text: a bookmark is the text between its
// {\*\bkmkstart NAME} and {\*\bkmkend NAME} groups, so typing replaces what
// lies between them and the bookmark keeps enclosing the typed text.
#include "platform/office/Word.h"

#include "platform/os/Shell.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const BookmarkStart = "{\\*\\bkmkstart ";
const char* const BookmarkEnd = "{\\*\\bkmkend ";

bool SameNameNoCase(std::string_view A, std::string_view B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// The [begin, end) of the first group Keyword + Name + "}" at or after From;
// begin is npos when there is none.
std::pair<size_t, size_t> FindGroup(const std::string& Content, const char* Keyword, const std::string& Name,
                                    size_t From = 0) {
    const std::string keyword = Keyword;
    for (size_t at = Content.find(keyword, From); at != std::string::npos; at = Content.find(keyword, at + 1)) {
        const size_t nameStart = at + keyword.size();
        const size_t close = Content.find('}', nameStart);
        if (close == std::string::npos) break;
        if (SameNameNoCase(std::string_view(Content).substr(nameStart, close - nameStart), Name))
            return {at, close + 1};
    }
    return {std::string::npos, std::string::npos};
}

// Text as RTF: \, { and } escaped, printable ASCII as it is, a line break
// (CR LF, CR or LF) as a paragraph, everything else as \uN? of its UTF-16
// units (N signed, as RTF reads it; the ? is the fallback readers skip).
std::string RtfText(const std::string& Text) {
    std::string rtf;
    const std::u32string characters = Utf8ToCodePoints(Text);
    auto unit = [&rtf](char32_t value) { rtf += "\\u" + std::to_string(static_cast<int16_t>(value)) + "?"; };
    for (size_t i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[i];
        if (c == U'\\' || c == U'{' || c == U'}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            rtf += static_cast<char>(c);
        } else if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < characters.size() && characters[i + 1] == U'\n') ++i;
            rtf += "\\par ";
        } else if (c > 0xFFFF) {
            const char32_t v = c - 0x10000;
            unit(0xD800 + (v >> 10));
            unit(0xDC00 + (v & 0x3FF));
        } else {
            unit(c);
        }
    }
    return rtf;
}

std::string ReadWholeFile(const std::string& FileName) {
    std::ifstream in(fs::path(FileName), std::ios::binary);
    if (!in) throw EOfficeError("无法读取文件：" + FileName);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::string& FileName, const std::string& Content) {
    std::ofstream out(fs::path(FileName), std::ios::binary | std::ios::trunc);
    out << Content;
    out.close();
    if (!out) throw EOfficeError("无法写入文件：" + FileName);
}

// A new folder of our own below the temporary folder.
std::string NewTemporaryFolder() {
    std::string pattern = GetTempDir() + "corvanta-document-XXXXXX";
    if (!mkdtemp(pattern.data())) throw EOfficeError("无法建立临时文件夹");
    return pattern + "/";
}

} // namespace

bool TWordDocument::BookmarkExists(const std::string& Name) const {
    return FindGroup(FContent, BookmarkStart, Name).first != std::string::npos;
}

void TWordDocument::SelectBookmark(const std::string& Name) {
    const auto start = FindGroup(FContent, BookmarkStart, Name);
    if (start.first == std::string::npos) throw EOfficeError("文档中没有书签 " + Name);
    const auto end = FindGroup(FContent, BookmarkEnd, Name, start.second);
    FSelStart = start.second;
    FSelEnd = end.first == std::string::npos ? start.second : end.first;
}

void TWordDocument::TypeText(const std::string& Text) {
    if (FOpenedAsIs) throw EOfficeError("不能在此文档中输入文字：" + FFullName);
    const std::string rtf = RtfText(Text);
    FContent.replace(FSelStart, FSelEnd - FSelStart, rtf);
    FSelStart += rtf.size();
    FSelEnd = FSelStart;
}

void TWordDocument::SaveAs(const std::string& FileName) {
    if (WordProcessorHoldsOpen(FileName)) throw EOfficeError("文件已被打开：" + FileName);
    if (FOpenedAsIs) {
        std::error_code error;
        if (!fs::equivalent(fs::path(FFullName), fs::path(FileName), error))
            WriteWholeFile(FileName, ReadWholeFile(FFullName));
    } else {
        WriteWholeFile(FileName, FContent);
    }
    FFullName = FileName;
}

void TWordDocument::Close() {
    FApplication->Remove(this);
}

TWordApplication::TWordApplication() = default;
TWordApplication::~TWordApplication() = default;

TWordApplication* TWordApplication::GetOrStart() {
    static std::unique_ptr<TWordApplication> running;
    if (!WordProcessorAvailable()) return nullptr;
    if (!running) running = std::make_unique<TWordApplication>();
    return running.get();
}

TWordDocument* TWordApplication::Add(const std::string& Template) {
    std::string content = ReadWholeFile(Template);
    if (content.rfind("{\\rtf", 0) != 0) throw EOfficeError("不是可用的模版：" + Template);
    auto document = std::make_unique<TWordDocument>();
    document->FApplication = this;
    document->FContent = std::move(content);
    document->FTemplateName = ExtractFileName(Template);
    FDocuments.push_back(std::move(document));
    return FDocuments.back().get();
}

TWordDocument* TWordApplication::Open(const std::string& FileName) {
    if (!FileExists(FileName)) throw EOfficeError("文件不存在：" + FileName);
    auto document = std::make_unique<TWordDocument>();
    document->FApplication = this;
    document->FFullName = ExpandFileName(FileName);
    document->FOpenedAsIs = true;
    FDocuments.push_back(std::move(document));
    return FDocuments.back().get();
}

TWordDocument* TWordApplication::ActiveDocument() const {
    return FDocuments.empty() ? nullptr : FDocuments.back().get();
}

void TWordApplication::SetVisible(bool Value) {
    FVisible = Value;
    if (!Value) return;
    for (const auto& document : FDocuments)
        if (!document->FShown) Show(*document);
}

void TWordApplication::Show(TWordDocument& Document) {
    Document.FShown = true;
    std::string file = Document.FFullName;
    if (file.empty()) {
        file = NewTemporaryFolder() + Document.FTemplateName;
        WriteWholeFile(file, Document.FContent);
    } else if (WordProcessorHoldsOpen(file)) {
        return;
    }
    if (ShellExecute("open", file) <= 32 && StartWordProcessor(file) <= 32)
        throw EOfficeError("无法打开文档：" + file);
}

void TWordApplication::Remove(TWordDocument* Document) {
    std::erase_if(FDocuments, [Document](const auto& document) { return document.get() == Document; });
}
