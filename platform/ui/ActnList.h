// Actions: a command with a caption, state and shortcut that menu items,
// buttons and tool buttons link to. Changing an action changes every linked
// client; OnUpdate runs when the program is idle and before a shortcut fires.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Menus.h"

#include <string>
#include <vector>

class TCustomActionList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;

    // Runs OnExecute (or the standard action's own work); false when nothing ran.
    virtual bool Execute();
    // Runs OnUpdate (or the standard action's own check); false when nothing ran.
    virtual bool Update();

    // Targets: an action with no handler of its own runs on what the focused
    // control stands for (a data-aware control offers its data source).
    virtual bool HandlesTarget(TObject* Target) { return (void)Target, false; }
    virtual void ExecuteTarget(TObject* Target) { (void)Target; }
    virtual void UpdateTarget(TObject* Target) { (void)Target; }

    void RegisterClient(TComponent* Client);
    void UnregisterClient(TComponent* Client);

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    // Tells the linked controls and menu items that a property changed.
    void Change();
    std::vector<TComponent*> FClients;
};

// Moves Client's link from the action in Link to Value: Client leaves the old
// action's clients and free notifications and joins the new one's. False when
// Link holds Value already.
bool RelinkAction(TBasicAction*& Link, TBasicAction* Value, TComponent* Client);

// Runs or updates Action on Target when the action handles it; true then.
bool ExecuteActionOn(TBasicAction* Action, TObject* Target);
bool UpdateActionOn(TBasicAction* Action, TObject* Target);
// Offers Action to the focused control, then to each control around it up to
// its form; true when one of them took it.
bool ExecuteActionOnFocus(TBasicAction* Action);
bool UpdateActionOnFocus(TBasicAction* Action);

class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* AOwner);
    ~TContainedAction() override;

    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& Value) { FCategory = Value; }
    int Index() const;

    bool Execute() override;
    bool Update() override;

private:
    TCustomActionList* FActionList = nullptr;
    std::string FCategory;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* AOwner);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);

    // Brings the state up to date, then runs only when enabled.
    bool Execute() override;

private:
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    std::string FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = scNone;
};

class TAction : public TCustomAction {
public:
    using TCustomAction::TCustomAction;
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* AOwner);
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value) { FImages = Value; }
    // Runs the enabled action whose shortcut the key message is.
    bool IsShortCut(TMessage& Message);
    // Runs every action's update.
    void UpdateActions();

    // The list sees executes and updates first; Handled stops them there.
    TActionEvent OnExecute;
    TActionEvent OnUpdate;

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
    using TCustomActionList::TCustomActionList;
};
