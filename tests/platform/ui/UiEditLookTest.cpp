// How the text controls look, read back from the window as it shows: the
// disabled and read-only colours of edits, memos and combo boxes, the grey
// text of disabled choices, a password's echo, and a selection that shows
// only with the focus.
#include "UiTestSupport.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace uitest;
using platform_ui::test::RenderedPixel;
using platform_ui::test::RenderedPixels;

namespace {

uint32_t Rgb(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A point inside the text field, clear of the frame and of a combo box's button.
uint32_t FieldPixel(TWinControl* control) {
    return RenderedPixel(control->Handle(), control->Width() / 3, control->Height() / 2);
}

TWinControl* MakeTextControl(const std::string& Kind, TComponent* Owner) {
    if (Kind == "edit") return new TEdit(Owner);
    if (Kind == "mask edit") return new TMaskEdit(Owner);
    if (Kind == "memo") return new TMemo(Owner);
    return new TComboBox(Owner);
}

// One of the controls stacked down a test form, 48 pixels apart.
TWinControl* AddTextControl(const std::string& Kind, TForm* Form, int Row) {
    TWinControl* control = MakeTextControl(Kind, Form);
    control->SetParent(Form);
    control->SetBounds(8, 8 + 48 * Row, 160, 40);
    return control;
}

// A test form whose first edit takes the focus, so the controls added below
// it show no selection.
TForm* FormWithFocusedEdit() {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(10, 10, 400, 300);
    AddTextControl("edit", form, 0);
    return form;
}

// Text is smoothed: its strokes show as strong reds, not one exact colour.
bool ShowsRedText(TWinControl* control) {
    const auto pixels = RenderedPixels(control->Handle());
    return std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) {
        return (p >> 16) >= 0xC0 && ((p >> 8) & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
    });
}

} // namespace

TEST(UiEditLook, DisabledTextFieldsShowTheLight3DColourAndEnabledOnesTheirColor) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(10, 10, 400, 300);
    int y = 8;
    for (const std::string kind : {"edit", "mask edit", "memo", "combo box"}) {
        TWinControl* control = MakeTextControl(kind, form);
        control->SetParent(form);
        control->SetBounds(8, y, 160, 40);
        y += 48;
        // Disabled before its window exists, as forms often do.
        control->SetEnabled(false);
        form->Show();
        EXPECT_EQ(FieldPixel(control), Rgb(cl3DLight)) << kind << " disabled at creation";
        control->SetEnabled(true);
        EXPECT_EQ(FieldPixel(control), Rgb(clWindow)) << kind << " enabled";
        control->SetColor(clYellow);
        EXPECT_EQ(FieldPixel(control), Rgb(clYellow)) << kind << " coloured";
        control->SetEnabled(false);
        EXPECT_EQ(FieldPixel(control), Rgb(cl3DLight)) << kind << " disabled";
        control->SetEnabled(true);
        EXPECT_EQ(FieldPixel(control), Rgb(clYellow)) << kind << " enabled again";
    }
    delete form;
}

TEST(UiEditLook, ReadOnlyTextFieldsShowTheFaceColourAndTheirTextInTheFontColour) {
    TForm* form = FormWithFocusedEdit();
    int row = 1;
    for (const std::string kind : {"edit", "mask edit", "memo"}) {
        TWinControl* control = AddTextControl(kind, form, row++);
        const auto setReadOnly = [control](bool Value) {
            if (auto* edit = dynamic_cast<TCustomEdit*>(control)) edit->SetReadOnly(Value);
            if (auto* memo = dynamic_cast<TCustomMemo*>(control)) memo->SetReadOnly(Value);
        };
        // Read-only before its window exists, as the browsing state leaves it.
        setReadOnly(true);
        control->SetColor(clYellow);
        form->Show();
        EXPECT_EQ(FieldPixel(control), Rgb(clBtnFace)) << kind << " read-only at creation";
        setReadOnly(false);
        EXPECT_EQ(FieldPixel(control), Rgb(clYellow)) << kind << " writable";
        setReadOnly(true);
        EXPECT_EQ(FieldPixel(control), Rgb(clBtnFace)) << kind << " read-only";
        control->SetText("HHHH");
        control->Font()->SetColor(clRed);
        EXPECT_TRUE(ShowsRedText(control)) << kind << " read-only text in red";
    }
    delete form;
}

TEST(UiEditLook, DisabledChoicesShowTheirTextInTheGreyTextColour) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(10, 10, 400, 300);
    auto* list = new TComboBox(form);
    list->SetStyle(csDropDownList);
    list->Items()->Add("HHHH");
    auto* radio = new TRadioButton(form);
    auto* check = new TCheckBox(form);
    const std::vector<std::pair<std::string, TWinControl*>> controls = {
        {"drop-down list", list}, {"radio button", radio}, {"check box", check}};
    int y = 8;
    for (const auto& [kind, control] : controls) {
        control->SetParent(form);
        control->SetBounds(8, y, 160, 24);
        y += 32;
        control->SetText("HHHH");
        control->SetEnabled(false);
    }
    form->Show();
    list->SetItemIndex(0);
    // Smoothing may lighten a stroke a little; a pale grey is far lighter.
    for (const auto& [kind, control] : controls) {
        const auto pixels = RenderedPixels(control->Handle());
        const bool grey = std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) {
            return (p >> 16) <= 0x90 && ((p >> 8) & 0xFF) <= 0x90 && (p & 0xFF) <= 0x90;
        });
        EXPECT_TRUE(grey) << kind;
    }
    delete form;
}

TEST(UiEditLook, PasswordEditEchoesItsPasswordChar) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(10, 10, 400, 300);
    auto add = [form](int top, const char* text) {
        auto* edit = new TEdit(form);
        edit->SetParent(form);
        edit->SetBounds(8, top, 120, 21);
        edit->SetText(text);
        return edit;
    };
    add(104, ""); // first in tab order: the edits compared show no caret or selection
    TEdit* password = add(8, "ab1");
    password->SetPasswordChar(U'*');
    TEdit* stars = add(40, "***");
    TEdit* hashes = add(72, "###");
    form->Show();
    EXPECT_EQ(RenderedPixels(password->Handle()), RenderedPixels(stars->Handle()));
    password->SetPasswordChar(U'#');
    EXPECT_EQ(RenderedPixels(password->Handle()), RenderedPixels(hashes->Handle()));
    password->SetPasswordChar(0);
    EXPECT_NE(RenderedPixels(password->Handle()), RenderedPixels(hashes->Handle()));
    delete form;
}

TEST(UiEditLook, SelectionShowsOnlyWhileTheControlHasTheFocus) {
    for (const std::string kind : {"edit", "memo"}) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        form->SetBounds(10, 10, 400, 300);
        auto add = [&](int top) {
            TWinControl* control = MakeTextControl(kind, form);
            control->SetParent(form);
            control->SetBounds(8, top, 120, 40);
            control->SetText("abc");
            return control;
        };
        TWinControl* selected = add(8); // first in tab order: focused and selected on showing
        TWinControl* twin = add(56);
        form->Show();
        if (auto* memo = dynamic_cast<TMemo*>(selected)) memo->SelectAll();
        const std::vector<uint32_t> unselected = RenderedPixels(twin->Handle());
        EXPECT_NE(RenderedPixels(selected->Handle()), unselected) << kind << " focused";
        twin->SetFocus();
        EXPECT_EQ(RenderedPixels(selected->Handle()), unselected) << kind << " unfocused";
        delete form;
    }
}

TEST(UiEditLook, TextFieldsShowTheirFontColour) {
    TForm* form = FormWithFocusedEdit();
    int row = 1;
    for (const std::string kind : {"edit", "memo", "combo box"}) {
        TWinControl* control = AddTextControl(kind, form, row++);
        control->SetText("HHHH");
        form->Show();
        EXPECT_FALSE(ShowsRedText(control)) << kind;
        control->Font()->SetColor(clRed);
        EXPECT_TRUE(ShowsRedText(control)) << kind << " in red";
    }
    delete form;
}

TEST(UiEditLook, EditsWithoutThe3DLookHaveASingleLineFrame) {
    TForm* form = nullptr;
    CreateFormInstance(form, nullptr);
    form->SetBounds(10, 10, 400, 300);
    int y = 8;
    for (const std::string kind : {"edit", "memo"}) {
        TWinControl* control = MakeTextControl(kind, form);
        control->SetParent(form);
        control->SetBounds(8, y, 160, 40);
        y += 48;
        control->SetColor(clYellow);
        form->Show();
        const int middle = control->Height() / 2;
        control->SetCtl3D(false);
        EXPECT_EQ(RenderedPixel(control->Handle(), 0, middle), Rgb(clWindowFrame)) << kind;
        EXPECT_EQ(RenderedPixel(control->Handle(), 1, middle), Rgb(clYellow)) << kind;
        EXPECT_EQ(RenderedPixel(control->Handle(), control->Width() - 1, middle), Rgb(clWindowFrame)) << kind;
    }
    delete form;
}
