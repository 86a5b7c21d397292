// The image editor: its value is one of a fixed list of values, each shown as
// an image of an image list and, optionally, a description. It has no caret:
// it paints the image (and description) of its value, steps through the
// values with the keys and the wheel, jumps by the first letter of a
// description, and drops down a list of every value with its large image.
// Cells paint through the class operations from an image view data.
#pragma once

#include "editors/DropDownEdit.h"
#include "editors/PopupListBox.h"

#include <memory>
#include <string>

class TChangeLink;
class TCustomImageList;
class TStrings;
class TStringList;

class TcvImageEditViewData : public TcvDropDownEditViewData {
public:
    bool DefaultImages = true;
    TStrings* Descriptions = nullptr;
    TStrings* ImageIndexes = nullptr;
    TCustomImageList* Images = nullptr;
    bool ShowDescription = true;
    TStrings* Values = nullptr;
};

class TcvImageEditClassOps : public TcvDropDownEditClassOps {
public:
    std::unique_ptr<TcvEditViewData> CreateViewData() const override;
    // At least the images' height.
    int CalcHeight(const TcvEditViewData& ViewData) const override;
    // The value's image, centred without a description; with one, an image
    // column at the left and the description (or the value) beside it.
    bool DrawContent(HDC DC, const TRect& Rect, TcvEditViewData& ViewData) const override;
};

class TcvInplaceImageEdit : public TcvInplaceDropDownEdit {
public:
    explicit TcvInplaceImageEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass());
    ~TcvInplaceImageEdit() override;

    static const TcvInplaceEditClass& StaticClass();

    // The value's position in Values, and its description's (-1 when there
    // is none). Its image is that position with DefaultImages, else the
    // number in ImageIndexes there: -1 when missing or not a number, so a
    // bad entry never fails a paint.
    static void FindValueIndexes(const std::string& Value, const TStrings* ImageIndexes, int& DescriptionIndex,
                                 int& ImageIndex, bool DefaultImages, const TStrings* Values,
                                 const TStrings* Descriptions);

    // Published properties.
    bool DefaultImages() const { return FDefaultImages; }
    void SetDefaultImages(bool Value);
    TStrings* Descriptions() const;
    void SetDescriptions(TStrings* Value);
    TStrings* ImageIndexes() const;
    void SetImageIndexes(TStrings* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // An in-place editor steps with the navigation keys too.
    bool Incremental() const { return FIncremental; }
    void SetIncremental(bool Value) { FIncremental = Value; }
    // The popup list's images (Images when none).
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    bool MultiLineText() const { return FMultiLineText; }
    void SetMultiLineText(bool Value);
    bool ShowDescription() const { return FShowDescription; }
    void SetShowDescription(bool Value);
    TStrings* Values() const;
    void SetValues(TStrings* Value);
    TcvPopupImageListBox* PopupList() const { return FPopupList; }

    // The image editor's virtual operations, in the order descendants know them.
    // Writes S as the text and marks the editor modified, when it differs and
    // the value may change.
    virtual void SetValueText(const std::string& S);

    void CloseUp(bool Accept) override;
    void DropDown() override;
    void StepValue(int Delta, int Reserved) override;
    std::unique_ptr<TcvEditViewData> CreateViewData(bool FromDefinition) override;
    bool HasEditControl() override { return false; }
    bool CanRestoreText() override { return true; }
    void HideEditorWindow() override;

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Moves Link from the old list to Value's and stores Value in Field.
    void ReplaceImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value);
    void FillPopupList();
    void SearchDescription(char32_t C);

    bool FDefaultImages = true;
    std::unique_ptr<TStringList> FDescriptions;
    std::unique_ptr<TChangeLink> FImagesChangeLink;
    std::unique_ptr<TStringList> FImageIndexes;
    TCustomImageList* FImages = nullptr;
    bool FIncremental = false;
    std::unique_ptr<TChangeLink> FLargeImagesChangeLink;
    TCustomImageList* FLargeImages = nullptr;
    bool FMultiLineText = false;
    TcvPopupImageListBox* FPopupList; // owned as a component
    bool FShowDescription = true;
    std::unique_ptr<TStringList> FValues;
};
