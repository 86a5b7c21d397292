// Ini files kept as their lines, so comments and order survive a rewrite.
// Writing goes to a temporary file in the target's folder that is renamed
// over the target, so a reader never sees half a file.
#include "platform/rtl/IniFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"

namespace {

struct TIniLine {
    bool IsEntry = false;
    std::string Key;   // entries only
    std::string Value; // entries only
    std::string Raw;   // comments, blank and other lines
};

struct TIniSection {
    std::string Name;
    std::vector<TIniLine> Lines;
};

bool IsAsciiText(const std::string& S) {
    for (char c : S)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool SameName(const std::string& A, const std::string& B) {
    if (IsAsciiText(A) && IsAsciiText(B)) return SameText(A, B);
    return AnsiLowerCase(A) == AnsiLowerCase(B);
}

} // namespace

struct TIniContent {
    std::vector<std::string> Preamble; // lines before the first section
    std::vector<TIniSection> Sections;
    // What the file was when last read or written, for TIniFile.
    bool Stamped = false;
    struct stat Stamp {};

    TIniSection* FindSection(const std::string& Name) {
        for (TIniSection& s : Sections)
            if (SameName(s.Name, Name)) return &s;
        return nullptr;
    }

    static TIniLine* FindEntry(TIniSection& Section, const std::string& Key) {
        for (TIniLine& line : Section.Lines)
            if (line.IsEntry && SameName(line.Key, Key)) return &line;
        return nullptr;
    }

    void Parse(const std::string& Text) {
        Preamble.clear();
        Sections.clear();
        TStringList lines;
        lines.SetText(Text.rfind("\xEF\xBB\xBF", 0) == 0 ? Text.substr(3) : Text);
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string raw = lines.Get(i);
            const std::string line = Trim(raw);
            if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
                Sections.push_back({line.substr(1, line.rfind(']') - 1), {}});
                continue;
            }
            TIniLine entry;
            const size_t eq = line.find('=');
            if (!line.empty() && line[0] != ';' && line[0] != '#' && eq != std::string::npos) {
                entry.IsEntry = true;
                entry.Key = Trim(line.substr(0, eq));
                entry.Value = Trim(line.substr(eq + 1));
            } else {
                entry.Raw = raw;
            }
            if (Sections.empty())
                Preamble.push_back(raw);
            else
                Sections.back().Lines.push_back(std::move(entry));
        }
    }

    std::string Render() const {
        std::string r;
        for (const std::string& line : Preamble)
            r += line + sLineBreak;
        for (const TIniSection& s : Sections) {
            r += "[" + s.Name + "]" + sLineBreak;
            for (const TIniLine& line : s.Lines)
                r += (line.IsEntry ? line.Key + "=" + line.Value : line.Raw) + sLineBreak;
        }
        return r;
    }
};

// ---- TCustomIniFile -----------------------------------------------------------------

Integer TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, Integer Default) {
    const std::string text = Trim(ReadString(Section, Ident, ""));
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint32_t v = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            const char c = char(std::tolower(static_cast<unsigned char>(text[i])));
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0 || v > 0x0FFFFFFF) return Default;
            v = v * 16 + uint32_t(digit);
        }
        return Integer(v);
    }
    return StrToIntDef(text, Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, Integer Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Ident) >= 0;
}

// ---- TMemIniFile ----------------------------------------------------------------------

TMemIniFile::TMemIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FContent(std::make_unique<TIniContent>()) {
    LoadFromFile();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadFromFile() {
    FContent->Stamped = ::stat(FileName().c_str(), &FContent->Stamp) == 0;
    if (!FContent->Stamped) {
        FContent->Parse("");
        return;
    }
    TStringStream text;
    TFileStream file(FileName(), fmOpenRead | fmShareDenyWrite);
    text.CopyFrom(&file, 0);
    FContent->Parse(text.DataString());
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    TIniSection* s = FContent->FindSection(Section);
    TIniLine* line = s ? TIniContent::FindEntry(*s, Ident) : nullptr;
    return line ? line->Value : Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    TIniSection* s = FContent->FindSection(Section);
    if (!s) {
        // A blank line sets the new section apart from the one before.
        if (!FContent->Sections.empty()) FContent->Sections.back().Lines.push_back({});
        FContent->Sections.push_back({Section, {}});
        s = &FContent->Sections.back();
    }
    if (TIniLine* line = TIniContent::FindEntry(*s, Ident)) {
        line->Value = Value;
        return;
    }
    // After the section's last entry, ahead of the blank lines that end it.
    size_t at = s->Lines.size();
    while (at > 0 && !s->Lines[at - 1].IsEntry && Trim(s->Lines[at - 1].Raw).empty())
        --at;
    TIniLine line;
    line.IsEntry = true;
    line.Key = Ident;
    line.Value = Value;
    s->Lines.insert(s->Lines.begin() + long(at), std::move(line));
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    TUpdateGuard<TStrings> guard(Strings);
    Strings->Clear();
    if (TIniSection* s = FContent->FindSection(Section))
        for (const TIniLine& line : s->Lines)
            if (line.IsEntry) Strings->Add(line.Key);
}

void TMemIniFile::ReadSections(TStrings* Strings) {
    TUpdateGuard<TStrings> guard(Strings);
    Strings->Clear();
    for (const TIniSection& s : FContent->Sections)
        Strings->Add(s.Name);
}

void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    TUpdateGuard<TStrings> guard(Strings);
    Strings->Clear();
    if (TIniSection* s = FContent->FindSection(Section))
        for (const TIniLine& line : s->Lines)
            if (line.IsEntry) Strings->Add(line.Key + "=" + line.Value);
}

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    TIniSection* s = FContent->FindSection(Section);
    if (!s) return;
    for (auto it = s->Lines.begin(); it != s->Lines.end(); ++it)
        if (it->IsEntry && SameName(it->Key, Ident)) {
            s->Lines.erase(it);
            return;
        }
}

void TMemIniFile::EraseSection(const std::string& Section) {
    auto& sections = FContent->Sections;
    for (auto it = sections.begin(); it != sections.end(); ++it)
        if (SameName(it->Name, Section)) {
            sections.erase(it);
            return;
        }
}

void TMemIniFile::UpdateFile() {
    const std::string text = FContent->Render();
    const std::string target = FileName();
    auto fail = [&](int error) {
        return EFCreateError("Cannot create file \"" + target + "\". " + std::strerror(error));
    };
    std::string folder = ExtractFilePath(ExpandFileName(target));
    std::string temp;
    try {
        temp = CreateTempFile(folder, "." + ExtractFileName(target) + ".");
    } catch (const EInOutError&) {
        throw fail(errno ? errno : EACCES);
    }
    // Keep the mode of the file being replaced; a new file gets the usual one.
    struct stat st;
    mode_t mode = 0;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = fd >= 0;
    int error = ok ? 0 : errno;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            error = errno;
        } else {
            done += size_t(n);
        }
    }
    if (ok && (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)) ok = false, error = errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) ok = false, error = errno;
    if (!ok) {
        ::unlink(temp.c_str());
        throw fail(error);
    }
    FContent->Stamped = ::stat(target.c_str(), &FContent->Stamp) == 0;
}

// ---- TIniFile -------------------------------------------------------------------------

void TIniFile::Refresh() {
    struct stat st;
    const bool exists = ::stat(FileName().c_str(), &st) == 0;
    const struct stat& old = FContent->Stamp;
    if (exists == FContent->Stamped &&
        (!exists || (st.st_ino == old.st_ino && st.st_size == old.st_size && st.st_mtim.tv_sec == old.st_mtim.tv_sec &&
                     st.st_mtim.tv_nsec == old.st_mtim.tv_nsec)))
        return;
    LoadFromFile();
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    Refresh();
    return TMemIniFile::ReadString(Section, Ident, Default);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    Refresh();
    TMemIniFile::WriteString(Section, Ident, Value);
    TMemIniFile::UpdateFile();
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    Refresh();
    TMemIniFile::ReadSection(Section, Strings);
}

void TIniFile::ReadSections(TStrings* Strings) {
    Refresh();
    TMemIniFile::ReadSections(Strings);
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    Refresh();
    TMemIniFile::ReadSectionValues(Section, Strings);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    Refresh();
    TMemIniFile::DeleteKey(Section, Ident);
    TMemIniFile::UpdateFile();
}

void TIniFile::EraseSection(const std::string& Section) {
    Refresh();
    TMemIniFile::EraseSection(Section);
    TMemIniFile::UpdateFile();
}
