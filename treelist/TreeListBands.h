// Bands: the header groups that divide the column area of the tree-list
// control. A column belongs to a band by the band's collection index, so
// moving or freeing a band rewrites the columns' BandIndex. At most one band
// is pinned left (the first shown) and one right (the last shown); a pinned
// band keeps its position.
#pragma once

#include "platform/rtl/Collection.h"

#include <string>

class TCustomcvTreeListControl;

enum TcvGridBandFixed { bfNone, bfLeft, bfRight };

class TcvTreeListBand : public TCollectionItem {
public:
    // Joins the collection with the defaults.
    explicit TcvTreeListBand(TCollection* Collection);
    // Columns of this band lose it; those of later bands follow their band
    // down by one (not while the control is destroyed or loading).
    ~TcvTreeListBand() override;

    // Alignment, Fixed, MinWidth, OnlyOwnColumns, Sizing and Width back to
    // their defaults; Visible, Caption and the Disable flags stay.
    virtual void RestoreDefaults();
    // From another band through the setters inside one collection update;
    // the Disable flags are not copied.
    void Assign(TPersistent* Source) override;
    // Clamped; nothing for a fixed band. The columns keep their band.
    void SetIndex(int Value) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool DisableCustomizing() const { return FDisableCustomizing; }
    void SetDisableCustomizing(bool Value);
    bool DisableDragging() const { return FDisableDragging; }
    void SetDisableDragging(bool Value) { FDisableDragging = Value; }
    TcvGridBandFixed Fixed() const { return FFixed; }
    // Pinning moves the band to its end and unpins the band that was there;
    // a hidden band stays bfNone.
    void SetFixed(TcvGridBandFixed Value);
    int MinWidth() const { return FMinWidth; }
    // Negative becomes 0; Width is clamped again.
    void SetMinWidth(int Value);
    bool OnlyOwnColumns() const { return FOnlyOwnColumns; }
    void SetOnlyOwnColumns(bool Value) { FOnlyOwnColumns = Value; }
    bool Sizing() const { return FSizing; }
    void SetSizing(bool Value);
    bool Visible() const { return FVisible; }
    // Hiding unpins the band.
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    // Raised to MinWidth.
    void SetWidth(int Value);

    // The control's answers for this band (0 or -1 without a control).
    int VisibleIndex() const;
    int GetColumnCountInBandRow(int Row) const;
    int GetColumnAt(int Row, int Position) const;
    int GetBandRowCountOf() const;

    // The control whose bands these are; nullptr for a free collection.
    TCustomcvTreeListControl* TreeList() const;

private:
    TAlignment FAlignment = taCenter;
    std::string FCaption;
    bool FDisableCustomizing = false;
    bool FDisableDragging = false;
    TcvGridBandFixed FFixed = bfNone;
    int FMinWidth = 30;
    bool FOnlyOwnColumns = false;
    bool FSizing = true;
    bool FVisible = true;
    int FWidth = 250;
};

class TcvTreeListBands : public TCollection {
public:
    TcvTreeListBands();

    TcvTreeListBand* Add() { return static_cast<TcvTreeListBand*>(TCollection::Add()); }
    TcvTreeListBand* Items(int Index) const { return static_cast<TcvTreeListBand*>(TCollection::Items(Index)); }

    // Shown bands, counted in collection order.
    int VisibleCount() const;
    // nullptr out of range.
    TcvTreeListBand* VisibleItems(int VisibleIndex) const;
    // -1 for a hidden band or an index out of range.
    int GetVisibleIndex(int Index) const;
    // -1 out of range.
    int GetAbsoluteIndex(int VisibleIndex) const;

    // Repins the first left and first right band at the ends when the pins
    // do not stand at the first and last shown band.
    void CheckFixedBands();

    TCustomcvTreeListControl* TreeList() const { return FTreeList; }
    // Set by the control once its first band is in, so that band runs no layout.
    void SetTreeList(TCustomcvTreeListControl* Value) { FTreeList = Value; }
    TPersistent* Owner() const override;

protected:
    // More than one band ends the default layout; outside loading the
    // control drops its cache, checks the pins and lays out its headers.
    void Update(TCollectionItem* Item) override;

private:
    bool PinsValid() const;

    TCustomcvTreeListControl* FTreeList = nullptr;
};
