// Builds a form in code as its form resource would: every component is owned
// by the form and named, every control gets its parent and bounds, and the
// whole build runs inside the form's loading bracket, so each component gets
// Loaded once, when the builder goes out of scope.
#pragma once

#include "platform/rtl/Classes.h"

#include <functional>
#include <span>
#include <string>

class TAction;
class TActionList;
class TControl;
class TMenuItem;
class TPageControl;
class TTabSheet;
class TWinControl;
using TShortCut = Word;

// A control's place on its parent, as SetBounds takes it.
struct TBounds {
    int Left;
    int Top;
    int Width;
    int Height;
};

// One field of a form laid out from a table: the control that carries Column,
// made by the factory of ControlClass, with its label to the left at
// LabelLeft. It sits in Group, or on Page when Group is empty; both are names
// of controls the form already has.
struct TFieldRow {
    const char* Column;
    int ControlClass;
    const char* Label;
    const char* Page;
    const char* Group;
    int LabelLeft;
    TBounds Position;
};

class TFormBuilder;
// Makes the control of one class for a row, on Parent at the row's position.
using TFieldFactory = std::function<TControl*(TFormBuilder& Build, TWinControl* Parent, const TFieldRow& Row)>;

class TFormBuilder {
public:
    // Opens the loading bracket of Form; Form owns everything made here.
    explicit TFormBuilder(TComponent* Form) : FForm(Form), FLoading(Form) {}

    // A component without a window: an action list, a menu, a connection.
    template <class T> T* Component(const std::string& Name) {
        auto* component = new T(FForm);
        component->SetName(Name);
        return component;
    }

    // A control that its alignment places; the caller sets Align and size.
    template <class T> T* Control(TWinControl* Parent, const std::string& Name) {
        T* control = Component<T>(Name);
        control->SetParent(Parent);
        return control;
    }

    template <class T> T* Control(TWinControl* Parent, const std::string& Name, const TBounds& Bounds) {
        T* control = Control<T>(Parent, Name);
        control->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width, Bounds.Height);
        return control;
    }

    // Caption and text are one property of a control.
    template <class T>
    T* Control(TWinControl* Parent, const std::string& Name, const TBounds& Bounds, const std::string& Text) {
        T* control = Control<T>(Parent, Name, Bounds);
        control->SetText(Text);
        return control;
    }

    // The next page of Pages; a page joins its page control, not just a parent.
    TTabSheet* Page(TPageControl* Pages, const std::string& Name, const std::string& Caption);

    TMenuItem* MenuItem(TMenuItem* Parent, const std::string& Name, const std::string& Caption);
    // An item that shows and runs Action.
    TMenuItem* MenuItem(TMenuItem* Parent, const std::string& Name, TAction* Action);

    TAction* Action(TActionList* List, const std::string& Name, const std::string& Caption, TShortCut ShortCut);

    // Lays out Row: its label, then the control that Factories[Row.ControlClass]
    // makes. Raises EComponentError when the form has no such page or group.
    TControl* Field(const TFieldRow& Row, std::span<const TFieldFactory> Factories);

private:
    TComponent* FForm;
    TComponentLoading FLoading;
};
