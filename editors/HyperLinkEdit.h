// The hyperlink editor: a text editor whose text is a link, drawn underlined
// in the link colour under a hand cursor, and opened on a click, a double
// click or the start key. The shell gets web and mail addresses only
// (http, https, ftp, mailto, or a bare "www." host); OnStartClick, when set,
// takes every start instead.
#pragma once

#include "editors/TextEdit.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Messages.h"

#include <memory>
#include <string>

class TFont;

class TcvHyperLinkEditViewData : public TcvTextEditViewData {
public:
    // The link opens from the cell: the hand cursor shows over it.
    bool LinkActive = false;
};

class TcvHyperLinkEditClassOps : public TcvTextEditClassOps {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    TCursor GetCursor(int X, int Y, const TcvEditViewData& ViewData) const override;
};

class TcvInplaceHyperLinkEdit : public TcvInplaceTextEdit {
public:
    explicit TcvInplaceHyperLinkEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceHyperLinkEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    TColor EditFontColor() const { return FEditFontColor; }
    // Rebuilds the link font and repaints when the colour changes.
    void SetEditFontColor(TColor Value);
    bool SingleClick() const { return FSingleClick; }
    void SetSingleClick(bool Value) { FSingleClick = Value; }
    TShortCut StartKey() const { return FStartKey; }
    void SetStartKey(TShortCut Value) { FStartKey = Value; }
    // The editor's font, underlined, in EditFontColor.
    TFont* LinkFont();

    TNotifyEvent OnStartClick;

    // The address the shell may open for Text: an http, https, ftp or mailto
    // address as it is, a bare "www." host with "http://" before it; empty
    // for anything else (programs, paths, other schemes).
    static std::string ShellAddress(const std::string& Text);

    // The hyperlink editor's virtual operation: OnStartClick, or the shell
    // with the text's address.
    virtual void DoStart();

    void ActivateByClick() override;
    void SelectAllText() override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;

    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // The link's colour and underline on the edit window's text.
    void ApplyLinkFormat();
    // Opens from a single click: always in place, else with SingleClick or
    // while not editable; otherwise a double click opens.
    bool OpensOnClick();

    TColor FEditFontColor = clBlue;
    std::unique_ptr<TFont> FLinkFont;
    bool FSingleClick = false;
    TShortCut FStartKey = ShortCut(VK_RETURN, {ssCtrl});
    // Between a double click and its release.
    bool FDoubleClicked = false;
};
