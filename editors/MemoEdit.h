// The multi-line text editor: the text editor made multi-line with scroll
// bars, word wrap and a selection bar, and its own rules for Enter, Tab and
// the vertical keys so that it can live in a grid cell, where those keys
// otherwise move between rows. Its Lines read and write the window's lines
// directly; they hold nothing of their own.
#pragma once

#include "editors/TextEdit.h"
#include "platform/rtl/StringList.h"

#include <memory>
#include <string>

class TcvInplaceMemoEdit;

// The lines of a memo editor's window. Without a window there are none, and
// a line index that does not exist is ignored.
class TcvMemoStrings : public TStrings {
public:
    explicit TcvMemoStrings(TcvInplaceMemoEdit* Memo) : FMemo(Memo) {}

    // The last line counts only when it holds characters.
    int Count() const override;
    // The whole line, however long, without its break.
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    std::string Text() const override;
    // Sets the text without change notifications; raises EInvalidOperation
    // "Text exceeds memo capacity" when the window refuses it.
    void SetText(const std::string& Value) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const;
    // Replaces the characters from Start to End with S.
    void Replace(int Start, int End, const std::string& S);

    TcvInplaceMemoEdit* FMemo;
};

class TcvInplaceMemoEdit : public TcvInplaceTextEdit {
public:
    explicit TcvInplaceMemoEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceMemoEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // Published properties; the first three recreate the window on a change.
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Without it, Enter goes to the form (its default button) and types nothing.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    TcvMemoStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }

    void GetViewValue(Variant& Value, bool FromDefinition) override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    bool WantsTab() override { return FWantTabs; }
    bool PaintsDisplayValue() override { return false; }
    void SelectAllText() override;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    bool FHideScrollBars = true;
    std::unique_ptr<TcvMemoStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};
