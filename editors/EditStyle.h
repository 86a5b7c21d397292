// Edit styles: the frame and button look of an editor in seven values. An
// editor's TcvEditStyle holds the values set on it; every other value comes
// from the editor's StyleController, or from the one default controller, or
// from the built-in defaults, in that order. A controller tells the editors
// bound to it when a value changes.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/ui/Colors.h"
#include "platform/ui/WinTypes.h"

#include <functional>
#include <vector>

class TcvInplaceEdit;

enum TcvEditBorderStyle { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
enum TcvEditButtonViewStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
enum TcvEditButtonTransparence { ebtNone, ebtInactive, ebtAlways, ebtHideInactive };
enum TcvEditEdge { edgLeft, edgTop, edgRight, edgBottom };
using TcvEditEdges = TSet<TcvEditEdge>;
enum TcvEditStyleValue {
    svBorderColor,
    svBorderStyle,
    svButtonStyle,
    svButtonTransparence,
    svEdges,
    svHotTrack,
    svShadow
};
using TcvEditStyleValues = TSet<TcvEditStyleValue>;

inline constexpr TcvEditEdges cvAllEdges{edgLeft, edgTop, edgRight, edgBottom};

// Sender is the controller, Link the editor being refreshed.
using TcvStyleChangedEvent = std::function<void(TObject* Sender, TObject* Link)>;

// The seven values an edit style shows, each with its built-in default.
struct TcvEditStyleData {
    TColor BorderColor = clWindowFrame;
    TcvEditBorderStyle BorderStyle = xbs3D;
    TcvEditButtonViewStyle ButtonStyle = btsDefault;
    TcvEditButtonTransparence ButtonTransparence = ebtNone;
    TcvEditEdges Edges = cvAllEdges;
    bool HotTrack = false;
    bool Shadow = false;
    friend bool operator==(const TcvEditStyleData&, const TcvEditStyleData&) = default;
};

// A component that editors bind to; it keeps the editors that listen to it.
class TcvStyleController : public TComponent {
public:
    explicit TcvStyleController(TComponent* AOwner);
    ~TcvStyleController() override;

    virtual void AddListener(TcvInplaceEdit* Editor);
    virtual void RemoveListener(TcvInplaceEdit* Editor);
    // Fires OnStyleChanged(this, Editor).
    virtual void NotifyListener(TcvInplaceEdit* Editor);

    // Changes between BeginUpdate and the matching EndUpdate reach the
    // listeners once, at the end.
    void BeginUpdate();
    void EndUpdate();
    // Tells every listener, in the order they came, unless updating or loading.
    void Changed();

    TcvStyleChangedEvent OnStyleChanged;

protected:
    void Loaded() override;

private:
    std::vector<TcvInplaceEdit*> FListeners;
    int FUpdateCount = 0;
};

class TcvEditStyleController : public TcvStyleController {
public:
    explicit TcvEditStyleController(TComponent* AOwner);

    TColor BorderColor() const { return FValues.BorderColor; }
    void SetBorderColor(TColor Value);
    TcvEditBorderStyle BorderStyle() const { return FValues.BorderStyle; }
    void SetBorderStyle(TcvEditBorderStyle Value);
    TcvEditButtonViewStyle ButtonStyle() const { return FValues.ButtonStyle; }
    void SetButtonStyle(TcvEditButtonViewStyle Value);
    TcvEditButtonTransparence ButtonTransparence() const { return FValues.ButtonTransparence; }
    void SetButtonTransparence(TcvEditButtonTransparence Value);
    TcvEditEdges Edges() const { return FValues.Edges; }
    void SetEdges(TcvEditEdges Value);
    bool HotTrack() const { return FValues.HotTrack; }
    void SetHotTrack(bool Value);
    bool Shadow() const { return FValues.Shadow; }
    void SetShadow(bool Value);

    // The defaults again, told to the listeners once.
    virtual void RestoreDefaults();
    // Skips an editor bound to another controller; refreshes the others
    // (PropertiesChanged) before OnStyleChanged.
    void NotifyListener(TcvInplaceEdit* Editor) override;
    // From another edit-style controller: the seven values, told once.
    void Assign(TPersistent* Source) override;

private:
    template <class T> void Store(T& Field, T Value);
    // All seven at once, told to the listeners once.
    void SetValues(const TcvEditStyleData& Value);
    TcvEditStyleData FValues;
};

// The style of one editor. Reading a value answers the stored one when it is
// assigned, otherwise GetDefault...; writing a value assigns it, even when it
// equals what was shown, and refreshes the editor.
class TcvEditStyle : public TPersistent {
public:
    // Registers the editor with the default controller for the style's life.
    explicit TcvEditStyle(TcvInplaceEdit* Editor);
    ~TcvEditStyle() override;
    TcvEditStyle(const TcvEditStyle&) = delete;
    TcvEditStyle& operator=(const TcvEditStyle&) = delete;

    TcvInplaceEdit* Editor() const { return FEditor; }

    TcvEditStyleValues AssignedValues() const { return FAssignedValues; }
    void SetAssignedValues(TcvEditStyleValues Value);
    TColor BorderColor() const;
    void SetBorderColor(TColor Value);
    TcvEditBorderStyle BorderStyle() const;
    void SetBorderStyle(TcvEditBorderStyle Value);
    TcvEditButtonViewStyle ButtonStyle() const;
    void SetButtonStyle(TcvEditButtonViewStyle Value);
    TcvEditButtonTransparence ButtonTransparence() const;
    void SetButtonTransparence(TcvEditButtonTransparence Value);
    TcvEditEdges Edges() const;
    void SetEdges(TcvEditEdges Value);
    bool HotTrack() const;
    void SetHotTrack(bool Value);
    bool Shadow() const;
    void SetShadow(bool Value);

    // Refreshes the owning editor (PropertiesChanged).
    virtual void Changed();
    // The value shown while one is not assigned: the editor's controller's,
    // else the default controller's, else the built-in one.
    virtual TColor GetDefaultBorderColor() const;
    virtual TcvEditBorderStyle GetDefaultBorderStyle() const;
    virtual TcvEditButtonViewStyle GetDefaultButtonStyle() const;
    virtual TcvEditButtonTransparence GetDefaultButtonTransparence() const;
    virtual TcvEditEdges GetDefaultEdges() const;
    virtual bool GetDefaultHotTrack() const;
    virtual bool GetDefaultShadow() const;
    virtual TcvEditStyleController* GetDefaultStyleController() const;
    // Every value follows the controller again.
    virtual void RestoreDefaults();
    // From another style: its seven shown values, all of them assigned here.
    void Assign(TPersistent* Source) override;

private:
    template <class T> void Store(TcvEditStyleValue Bit, T& Field, T Value);
    // The controller a default comes from: the editor's, else the default one.
    const TcvEditStyleController* SourceController() const;

    TcvInplaceEdit* FEditor;
    TcvEditStyleValues FAssignedValues;
    TcvEditStyleData FValues; // read only where assigned
};

// The controller every editor without one of its own follows; it exists from
// the first editor to the end of the program (nullptr once it has ended).
TcvEditStyleController* cvDefaultEditStyleController();
// The solid brush of clBtnShadow that editor and popup shadows are painted with.
HBRUSH cvEditShadowBrush();
