// Shared pieces of the editor tests: a host container that logs what its
// editor hands it, an editor hosted in it on a shown form, standalone class
// objects for editor classes, a window count and a memory image for cells.
#pragma once

#include "editors/Container.h"
#include "editors/InplaceEdit.h"
#include "editors/PictureValue.h"

#include "platform/rtl/Utf8.h"
#include "platform/ui/EditWindow.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/platform/ui/WmRecorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace editortest {

// A host that logs the keys and characters its editor passes on. It refuses
// "#" as an edit character and counts its row with Up and Down.
class TTestContainer : public TCustomcvContainer {
public:
    using TCustomcvContainer::TCustomcvContainer;
    std::vector<std::string> Calls;
    bool Modifiable = true;
    int Row = 5;

    bool CanEditModify() override { return Modifiable; }
    bool IsValidEditChar(char32_t Key) override { return Key != U'#'; }
    void EditorKeyDown(Word& Key, TShiftState Shift) override {
        char text[24];
        std::snprintf(text, sizeof text, "key %02X", Key);
        Calls.push_back(text);
        if (Key == VK_DOWN) ++Row;
        if (Key == VK_UP) --Row;
        TCustomcvContainer::EditorKeyDown(Key, Shift);
    }
    // The rows an editor asked to move to, "up" or "down".
    std::vector<std::string> RowMoves;
    void EditorMoveFocusedRow(bool Up) override { RowMoves.push_back(Up ? "up" : "down"); }

protected:
    void KeyPress(char32_t& Key) override {
        Calls.push_back("char " + Utf8FromCodePoint(Key));
        TCustomcvContainer::KeyPress(Key);
    }
};

// An editor of Class in a test container on a shown form.
struct HostedEditor {
    TForm* Form = nullptr;
    TTestContainer* Host = nullptr;
    TcvInplaceEdit* Editor = nullptr;
    explicit HostedEditor(const TcvInplaceEditClass& Class) {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(10, 10, 300, 200);
        Host = new TTestContainer(Form);
        Host->SetParent(Form);
        Host->SetBounds(0, 0, 280, 160);
        Editor = Class.CreateEditor(Host);
        Editor->SetParent(Host);
        Form->Show();
        SettleActivation();
    }
    ~HostedEditor() { delete Form; }
    HostedEditor(const HostedEditor&) = delete;
    HostedEditor& operator=(const HostedEditor&) = delete;
    // Loads a value as a host does, then opens the editor over a cell.
    void Open(const std::string& Value) {
        Host->BeginInitEditor();
        Editor->SetEditValue(Value);
        Editor->SetModified(false);
        Host->EndInitEditor();
        Editor->ShowEditor({10, 10, 60, 28});
        ProcessMessages();
        Host->Calls.clear();
    }
};

// The class object of a standalone editor of class TEditor with the
// operations of ClassBase (the editor classes themselves are in place).
template <class TEditor, class ClassBase> class TStandaloneClass : public ClassBase {
public:
    static const TStandaloneClass& Instance() {
        static const TStandaloneClass instance;
        return instance;
    }
    TcvInplaceEdit* CreateEditor(TComponent* AOwner) const override { return new TEditor(AOwner, *this); }
    bool IsInplace() const override { return false; }
};

// A standalone editor of Class on a panel of a shown form, focused.
template <class TEditor> struct EditorOnForm {
    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    TEditor* Edit = nullptr;
    explicit EditorOnForm(const TcvInplaceEditClass& Class) {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(30, 30, 320, 200);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(0, 0, 300, 160);
        Edit = static_cast<TEditor*>(Class.CreateEditor(Form));
        Edit->SetParent(Panel);
        Edit->SetLeft(10);
        Edit->SetTop(10);
        Form->Show();
        SettleActivation();
        Edit->SetFocus();
        ProcessMessages();
    }
    ~EditorOnForm() { delete Form; }
    EditorOnForm(const EditorOnForm&) = delete;
    EditorOnForm& operator=(const EditorOnForm&) = delete;
    CHARRANGE Selection() {
        CHARRANGE r;
        SendMessage(Edit->Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

// The stored bytes of a picture filled with Color, as a blob field holds them.
inline std::string BlobOf(TColor Color, int Width, int Height) {
    auto bitmap = uitest::Filled(Width, Height, Color);
    TPicture picture;
    picture.SetGraphic(bitmap.get());
    std::string s;
    cvExEdtr::SavePictureToString(&picture, s);
    return s;
}

// Every window there is, top-level and child: painting a cell must not change it.
inline int CountWindows() {
    int count = 0;
    EnumWindows([&](HWND top) {
        ++count;
        EnumChildWindows(top, [&](HWND) { return ++count, true; });
        return true;
    });
    return count;
}

// A 40 x 30 colour image on a memory DC, white to start with.
class CellImage : public ::testing::Test {
protected:
    void SetUp() override {
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateCompatibleBitmap(nullptr, Width, Height);
        Old = SelectObject(DC, Bitmap);
        const TRect all{0, 0, Width, Height};
        FillRect(DC, &all, White);
    }
    void TearDown() override {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
        DeleteObject(White);
        DeleteObject(Blue);
    }
    int Width = 40;
    int Height = 30;
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    HBRUSH White = CreateSolidBrush(0xFFFFFF);
    HBRUSH Blue = CreateSolidBrush(0xFF0000);
};

} // namespace editortest
