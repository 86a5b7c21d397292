// The image editor. Its text is the value; the window shows no edit control
// but the painting of the class operations, so an editor and a cell look the
// same. The popup list carries each value's image index as the item's object.
#include "editors/ImageEdit.h"

#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/ui/Focus.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace {

// The image number written at Position of ImageIndexes; -1 when the list is
// shorter or the entry is not a number.
int ImageIndexAt(const TStrings* ImageIndexes, int Position) {
    int index = -1;
    if (!ImageIndexes || Position < 0 || Position >= ImageIndexes->Count()) return -1;
    return TryStrToInt(Trim(ImageIndexes->Get(Position)), index) ? index : -1;
}

void DrawListImage(HDC DC, TCustomImageList* Images, int Index, int X, int Y) {
    if (Index >= 0 && Index < Images->Count()) ImageList_Draw(Images->Handle(), Index, DC, X, Y, ILD_NORMAL);
}

// Draws the text editor's content with Text in place of the value.
bool DrawTextAsValue(const TcvTextEditClassOps& Ops, HDC DC, const TRect& Rect, TcvEditViewData& ViewData,
              const std::string& Text) {
    const Variant value = ViewData.Value;
    ViewData.Value = Text;
    const bool result = Ops.TcvTextEditClassOps::DrawContent(DC, Rect, ViewData);
    ViewData.Value = value;
    return result;
}

} // namespace

// ---- TcvImageEditClassOps ------------------------------------------------------

std::unique_ptr<TcvEditViewData> TcvImageEditClassOps::CreateViewData() const {
    return std::make_unique<TcvImageEditViewData>();
}

int TcvImageEditClassOps::CalcHeight(const TcvEditViewData& ViewData) const {
    const int height = TcvDropDownEditClassOps::CalcHeight(ViewData);
    const auto* v = dynamic_cast<const TcvImageEditViewData*>(&ViewData);
    return v && v->Images ? std::max(height, v->Images->Height()) : height;
}

bool TcvImageEditClassOps::DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const {
    auto* v = dynamic_cast<TcvImageEditViewData*>(&ViewData);
    if (!v) return TcvDropDownEditClassOps::DrawContent(DC, Rect, ViewData);
    const std::string value = v->Value.IsNull() || v->Value.IsEmpty() ? std::string() : VarToStr(v->Value);
    int descriptionIndex = -1;
    int imageIndex = -1;
    TcvInplaceImageEdit::FindValueIndexes(value, v->ImageIndexes, descriptionIndex, imageIndex, v->DefaultImages,
                                          v->Values, v->Descriptions);
    const int imageWidth = v->Images ? v->Images->Width() : 0;
    const int imageHeight = v->Images ? v->Images->Height() : 0;
    const bool paints = !v->MeasureRequest;
    const bool fills = paints && !v->UnfocusedHighlight;

    if (!v->ShowDescription) {
        if (imageWidth == 0) return DrawTextAsValue(*this, DC, Rect, ViewData, {});
        if (fills) FillRect(DC, &Rect, v->Brush);
        if (paints)
            DrawListImage(DC, v->Images, imageIndex, Rect.Left + (Rect.Width() - imageWidth) / 2,
                          Rect.Top + (Rect.Height() - imageHeight) / 2);
        return true;
    }
    const std::string text = descriptionIndex != -1 ? v->Descriptions->Get(descriptionIndex) : value;
    TRect rest = Rect;
    if (imageWidth != 0) {
        const TRect column{Rect.Left, Rect.Top, std::min(Rect.Right, Rect.Left + imageWidth), Rect.Bottom};
        if (fills) FillRect(DC, &column, v->Brush);
        if (paints) DrawListImage(DC, v->Images, imageIndex, column.Left, Rect.Top + (Rect.Height() - imageHeight) / 2);
        rest.Left = column.Right;
    }
    return DrawTextAsValue(*this, DC, rest, ViewData, text);
}

// ---- TcvInplaceImageEdit --------------------------------------------------------

const TcvInplaceEditClass& TcvInplaceImageEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceImageEdit, TcvImageEditClassOps>::Instance();
}

void TcvInplaceImageEdit::FindValueIndexes(const std::string& Value, const TStrings* ImageIndexes,
                                           int& DescriptionIndex, int& ImageIndex, bool DefaultImages,
                                           const TStrings* Values, const TStrings* Descriptions) {
    const int position = Values ? Values->IndexOf(Value) : -1;
    DescriptionIndex = Descriptions && position >= 0 && Descriptions->Count() > position ? position : -1;
    ImageIndex = position;
    if (!DefaultImages && position >= 0 && ImageIndexes && ImageIndexes->Count() > position)
        ImageIndex = ImageIndexAt(ImageIndexes, position);
}

TcvInplaceImageEdit::TcvInplaceImageEdit(TComponent* AOwner, const TcvInplaceEditClass& Class)
    : TcvInplaceDropDownEdit(AOwner, Class), FDescriptions(std::make_unique<TStringList>()),
      FImagesChangeLink(std::make_unique<TChangeLink>()), FImageIndexes(std::make_unique<TStringList>()),
      FLargeImagesChangeLink(std::make_unique<TChangeLink>()), FPopupList(new TcvPopupImageListBox(this)),
      FValues(std::make_unique<TStringList>()) {
    SetControlStyle(ControlStyle() + csCaptureMouse);
    FPopupList->SetVisible(false);
    FPopupList->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PopupMouseUp(Sender, Button, Shift, X, Y);
    };
    SetPopup(FPopupList);
    SetTextAreaOpens(true);
    const auto repaint = [this](TObject*) { PropertiesChanged(); };
    FImagesChangeLink->OnChange = repaint;
    FLargeImagesChangeLink->OnChange = repaint;
}

TcvInplaceImageEdit::~TcvInplaceImageEdit() {
    SetImages(nullptr);
    SetLargeImages(nullptr);
    SetPopup(nullptr);
}

TStrings* TcvInplaceImageEdit::Descriptions() const {
    return FDescriptions.get();
}

TStrings* TcvInplaceImageEdit::ImageIndexes() const {
    return FImageIndexes.get();
}

TStrings* TcvInplaceImageEdit::Values() const {
    return FValues.get();
}

void TcvInplaceImageEdit::SetDefaultImages(bool Value) {
    if (FDefaultImages == Value) return;
    FDefaultImages = Value;
    PropertiesChanged();
}

void TcvInplaceImageEdit::SetDescriptions(TStrings* Value) {
    FDescriptions->Assign(Value);
    PropertiesChanged();
}

void TcvInplaceImageEdit::SetImageIndexes(TStrings* Value) {
    FImageIndexes->Assign(Value);
    PropertiesChanged();
}

void TcvInplaceImageEdit::SetValues(TStrings* Value) {
    FValues->Assign(Value);
    PropertiesChanged();
}

void TcvInplaceImageEdit::ReplaceImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value) {
    if (Field == Value) return;
    if (Field) {
        Field->UnRegisterChanges(Link);
        TCustomImageList* other = &Field == &FImages ? FLargeImages : FImages;
        if (other != Field) Field->RemoveFreeNotification(this);
    }
    Field = Value;
    if (Value) {
        Value->RegisterChanges(Link);
        Value->FreeNotification(this);
    }
    PropertiesChanged();
}

void TcvInplaceImageEdit::SetImages(TCustomImageList* Value) {
    ReplaceImageList(FImages, FImagesChangeLink.get(), Value);
}

void TcvInplaceImageEdit::SetLargeImages(TCustomImageList* Value) {
    ReplaceImageList(FLargeImages, FLargeImagesChangeLink.get(), Value);
}

void TcvInplaceImageEdit::SetMultiLineText(bool Value) {
    if (FMultiLineText == Value) return;
    FMultiLineText = Value;
    PropertiesChanged();
}

void TcvInplaceImageEdit::SetShowDescription(bool Value) {
    if (FShowDescription == Value) return;
    FShowDescription = Value;
    PropertiesChanged();
}

void TcvInplaceImageEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TcvInplaceDropDownEdit::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FLargeImages) FLargeImages = nullptr;
}

void TcvInplaceImageEdit::SetValueText(const std::string& S) {
    if (S == Text() || !IsEditable() || !CanModify()) return;
    SetText(S);
    SetModified(true);
}

std::unique_ptr<TcvEditViewData> TcvInplaceImageEdit::CreateViewData(bool FromDefinition) {
    std::unique_ptr<TcvEditViewData> viewData = TcvInplaceDropDownEdit::CreateViewData(FromDefinition);
    if (auto* v = dynamic_cast<TcvImageEditViewData*>(viewData.get())) {
        v->DefaultImages = FDefaultImages;
        v->Descriptions = FDescriptions.get();
        v->ImageIndexes = FImageIndexes.get();
        v->Images = FImages;
        v->ShowDescription = FShowDescription;
        v->Values = FValues.get();
        v->Focused = v->Focused && !IsInplace() && !DroppedDown();
        if (FMultiLineText) v->VerticalTextMode = 3;
    }
    return viewData;
}

// ---- stepping and searching --------------------------------------------------------

void TcvInplaceImageEdit::StepValue(int Delta, int Reserved) {
    (void)Reserved;
    if (ReadOnly() || FValues->Count() == 0) return;
    const int position = FValues->IndexOf(Text());
    const int target = position < 0 ? 0 : std::clamp(position + Delta, 0, FValues->Count() - 1);
    SetValueText(FValues->Get(target));
}

// The next description after the value's (wrapping) whose first character
// is C, ASCII letters in either case.
void TcvInplaceImageEdit::SearchDescription(char32_t C) {
    const int count = FValues->Count();
    const int position = FValues->IndexOf(Text());
    const std::string typed = Utf8FromCodePoint(C);
    for (int k = 1; k <= count; ++k) {
        const int i = (position + k + (position < 0 ? count : 0)) % count;
        if (i >= FDescriptions->Count()) continue;
        if (SameText(Utf8Copy(FDescriptions->Get(i), 0, 1), typed)) {
            if (i != position) SetValueText(FValues->Get(i));
            return;
        }
    }
}

void TcvInplaceImageEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!IsInplace() || FIncremental) {
        const int page = DropDownRows() - 1;
        switch (Key) {
        case VK_PRIOR:
            StepValue(-page, 0);
            Key = 0;
            break;
        case VK_NEXT:
            StepValue(page, 0);
            Key = 0;
            break;
        case VK_END:
            StepValue(FValues->Count(), 0);
            Key = 0;
            break;
        case VK_HOME:
            StepValue(-FValues->Count(), 0);
            Key = 0;
            break;
        case VK_LEFT:
        case VK_UP:
            StepValue(-1, 0);
            Key = 0;
            break;
        case VK_RIGHT:
        case VK_DOWN:
            StepValue(1, 0);
            Key = 0;
            break;
        default:
            break;
        }
    }
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT)) {
        MoveContainerRow(Key == VK_LEFT);
        Key = 0;
    }
    TcvInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TcvInplaceImageEdit::KeyPress(char32_t& Key) {
    const char32_t typed = Key;
    TcvInplaceDropDownEdit::KeyPress(Key);
    if (typed >= 0x20 && typed != 0x7F) SearchDescription(typed);
}

void TcvInplaceImageEdit::WndProc(TMessage& Message) {
    TcvInplaceDropDownEdit::WndProc(Message);
    if (Message.Msg == WM_GETDLGCODE) Message.Result |= DLGC_WANTARROWS;
}

// ---- the popup list ----------------------------------------------------------------

void TcvInplaceImageEdit::FillPopupList() {
    TStrings* items = FPopupList->Items();
    items->BeginUpdate();
    items->Clear();
    for (int i = 0; i < FValues->Count(); ++i) {
        int image = FDefaultImages ? i : ImageIndexAt(FImageIndexes.get(), i);
        if (image < 0) image = -2;
        items->AddObject(i < FDescriptions->Count() ? FDescriptions->Get(i) : std::string(),
                         reinterpret_cast<TObject*>(static_cast<intptr_t>(image)));
    }
    items->EndUpdate();
}

void TcvInplaceImageEdit::DropDown() {
    if (!IsEditable() || !TakeFocus()) return;
    DoDropDown();
    if (FValues->Count() == 0) return;
    TcvPopupImageListBox* list = FPopupList;
    list->SetImages(FLargeImages ? FLargeImages : FImages);
    list->SetMultiLine(FMultiLineText);
    list->TakeLookOf(this);
    FillPopupList();
    list->SetClientHeight(std::min(FValues->Count(), DropDownRows()) * list->MeasuredItemHeight());
    if (DropDownWidth() != 0) {
        list->SetClientWidth(DropDownWidth());
    } else {
        const int imageWidth = list->Images() ? list->Images()->Width() : list->ItemHeight();
        list->SetClientWidth(imageWidth + std::max(list->WidestItemWidth() + 2, 10) + 4);
    }
    list->SetItemIndex(FValues->IndexOf(Text()));
    PositionPopup(list, true);
    ShowDroppedPopup();
}

void TcvInplaceImageEdit::CloseUp(bool Accept) {
    if (!DroppedDown()) return;
    HideDroppedPopup();
    const int index = FPopupList->ItemIndex();
    if (index < 0 || index >= FValues->Count()) return;
    Variant value = FValues->Get(index);
    DoCloseUp(value, Accept);
    if (Accept) SetValueText(VarToStr(value));
}

void TcvInplaceImageEdit::HideEditorWindow() {
    CloseUp(false);
    TcvInplaceDropDownEdit::HideEditorWindow();
}
