// The common controls: page control with tab sheets, status bar with panels,
// tool bar with tool buttons, progress bar. All paint themselves with GDI.
#pragma once

#include "platform/rtl/Collection.h"
#include "platform/ui/Controls.h"

#include <memory>
#include <string>
#include <vector>

class TCustomImageList;
class TPageControl;

class TTabSheet : public TCustomControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    int PageIndex() const;
    void SetPageIndex(int Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // Moves to the next (or previous) visible page, as Ctrl+Tab does.
    void SelectNextPage(bool GoForward);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // The rectangle of a page's tab (empty for a hidden tab).
    TRect TabRect(int Index);

    void WndProc(TMessage& Message) override;

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The user's change of tab: OnChanging may refuse it.
    bool CanChange();
    void Change();

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ShowPage(TTabSheet* Page);
    int TabHeight();
    std::vector<TRect> TabRects();

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    TCustomImageList* FImages = nullptr;
};

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
public:
    explicit TStatusPanel(TCollection* Collection);

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusBar;

class TStatusPanels : public TCollection {
public:
    explicit TStatusPanels(TStatusBar* StatusBar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TPersistent* Owner() const override;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // The rectangle a panel takes; the last one fills what is left.
    TRect PanelRect(int Index);

protected:
    void Paint() override;

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
};

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;
class TToolButton;

// What a tool button's custom drawing is told of its state.
enum TCustomDrawStateItem {
    cdsSelected,
    cdsGrayed,
    cdsDisabled,
    cdsChecked,
    cdsFocused,
    cdsDefault,
    cdsHot,
    cdsMarked,
    cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;
// Draws Button on Sender's Canvas at the button's BoundsRect; clearing
// DefaultDraw leaves the bar's own drawing of the button out.
using TTBCustomDrawBtnEvent =
    std::function<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);

    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Check buttons stay down; grouped ones release the others of their group.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool Value) { FGrouped = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Marked() const { return FMarked; }
    TToolBar* ToolBar() const;
    int Index() const;

    void Click() override;
    void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void TextChanged() override;

private:
    // The bar's OnCustomDrawButton; false when it did the drawing itself.
    bool CustomDraw(HDC DC);

    TToolButtonStyle FStyle = tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
    bool FAllowAllUp = false;
    bool FMarked = false;
    bool FPressed = false;
    bool FHot = false;
};

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    int ButtonCount() const;
    TToolButton* Buttons(int Index) const;
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    // Captions beside the images instead of below them.
    bool List() const { return FList; }
    void SetList(bool Value);
    bool Wrapable() const { return FWrapable; }
    void SetWrapable(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    TTBCustomDrawBtnEvent OnCustomDrawButton;

    // Alt and the letter a shown caption marks clicks that button.
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TToolButton;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    bool FFlat = false;
    bool FShowCaptions = false;
    bool FList = false;
    bool FWrapable = true;
    TCustomImageList* FImages = nullptr;
};

class TProgressBar : public TCustomControl {
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int Delta) { SetPosition(FPosition + Delta); }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);

protected:
    void Paint() override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
};
