// Stored grid looks. A layout keeps the whole state of a grid (columns,
// bands, options, filter and every other published property) as a component
// stream: Assign captures it from a grid, AssignTo gives it to a grid after
// resetting that grid to its defaults, so properties the stream leaves out
// take their default values. Layouts are grouped in a layout list; while a
// layout is edited it keeps a private carrier grid, the wrapper.
#pragma once

#include "dbgrid/DBGrid.h"
#include "platform/rtl/Classes.h"

#include <memory>
#include <string>
#include <vector>

class TcvDBGridLayout;
class TcvDBGridLayoutList;
class TMemoryStream;
class TStream;
class TWinControl;

// The layout's carrier grid while it is edited; renaming it has no effect.
class TcvDBGridWrapper : public TcvDBGrid {
public:
    TcvDBGridWrapper(TComponent* AOwner, TcvDBGridLayout* ALayout);

    void SetName(const std::string& NewName) override;
    // "<layout name>.(DBGrid)".
    std::string NamePath() const;
    // Does nothing: the carrier shares the captured grid's dataset and must
    // not filter it for that grid.
    void ApplyFilterToDataSet() override;

private:
    TcvDBGridLayout* FLayout;
};

class TcvDBGridLayout : public TComponent {
public:
    explicit TcvDBGridLayout(TComponent* AOwner);
    ~TcvDBGridLayout() override;

    // From a layout: its bytes. From a grid: the grid captured through the
    // wrapper, so the stored stream is the wrapper's. A wrapper is made
    // afresh for the new look. Anything else raises the assignment error.
    void Assign(TPersistent* Source) override;

    TcvDBGridLayoutList* LayoutList() const { return FLayoutList; }
    // The layout's parent component: moves it to that list (from its old one).
    void SetLayoutList(TcvDBGridLayoutList* Value);
    TcvDBGridWrapper* Wrapper() const { return FWrapper.get(); }
    bool Editing() const { return FWrapper != nullptr; }
    // On: makes the wrapper (parented in EditParent's client area when set)
    // and loads Data into it, or captures it into an empty Data. Off: stores
    // the wrapper into Data and frees it.
    void SetEditing(bool Value);
    TWinControl* EditParent() const { return FEditParent; }
    void SetEditParent(TWinControl* Value);
    TMemoryStream* Data() const { return FData.get(); }

    // The "Data" property: int32 size + the component stream, stored only
    // when Data is not empty (a wrapper is captured first). Reading checks
    // the size against the bytes left before taking any.
    bool IsDataStored() const;
    void WriteData(TStream* Stream);
    void ReadData(TStream* Stream);

    void SetName(const std::string& NewName) override;

    // The reset applied before a layout: every published grid property to
    // its default, the columns destroyed; the grid keeps its Name.
    static void ResetGridToDefaults(TCustomcvDBGrid* Grid);

protected:
    // To a grid: reset, then the stream read into it (the grid keeps its
    // Name). A damaged stream raises the stream error and leaves the grid
    // with its defaults.
    void AssignTo(TPersistent* Dest) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // A new wrapper loaded from Data: one that held an earlier look would
    // keep whatever the new stream leaves out (reading resets nothing).
    void RenewWrapper();
    void WriteGridToData(TCustomcvDBGrid* Grid);
    void ReadDataToGrid(TCustomcvDBGrid* Grid);

    TcvDBGridLayoutList* FLayoutList = nullptr;
    std::unique_ptr<TcvDBGridWrapper> FWrapper;
    TWinControl* FEditParent = nullptr;
    std::unique_ptr<TMemoryStream> FData;
};

class TcvDBGridLayoutList : public TComponent {
public:
    explicit TcvDBGridLayoutList(TComponent* AOwner);
    // Frees every layout still in the list.
    ~TcvDBGridLayoutList() override;

    int Count() const { return int(FLayouts.size()); }
    TcvDBGridLayout* Layouts(int Index) const;
    // The layouts streamed with the list: those owned by Root.
    std::vector<TComponent*> Children(TComponent* Root) const;
    // Told when a layout of the list is renamed.
    TNotifyEvent OnChange;

private:
    friend class TcvDBGridLayout;
    void Changed();

    std::vector<TcvDBGridLayout*> FLayouts;
};

namespace cvLayout {
// Registers the layout classes and the grid's property tables for
// streaming; once per process, like a unit's start-up.
void RegisterClasses();
} // namespace cvLayout
