// Actions and action lists: state changes reach every linked client at once.
#include "platform/ui/ActnList.h"

#include "platform/ui/Forms.h"

#include <algorithm>

// ---- TBasicAction -----------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    // Clients keep no pointer to a freed action.
    for (TComponent* client : std::vector<TComponent*>(FClients)) {
        if (auto* control = dynamic_cast<TControl*>(client))
            control->SetAction(nullptr);
        else if (auto* item = dynamic_cast<TMenuItem*>(client))
            item->SetAction(nullptr);
    }
}

bool TBasicAction::Execute() {
    return Fire(OnExecute, this);
}

bool TBasicAction::Update() {
    return Fire(OnUpdate, this);
}

void TBasicAction::RegisterClient(TComponent* Client) {
    if (std::find(FClients.begin(), FClients.end(), Client) == FClients.end()) FClients.push_back(Client);
}

void TBasicAction::UnregisterClient(TComponent* Client) {
    std::erase(FClients, Client);
}

bool RelinkAction(TBasicAction*& Link, TBasicAction* Value, TComponent* Client) {
    if (Link == Value) return false;
    if (Link) {
        Link->UnregisterClient(Client);
        Link->RemoveFreeNotification(Client);
    }
    Link = Value;
    if (Value) {
        Value->RegisterClient(Client);
        Value->FreeNotification(Client);
    }
    return true;
}

bool ExecuteActionOn(TBasicAction* Action, TObject* Target) {
    if (!Target || !Action->HandlesTarget(Target)) return false;
    Action->ExecuteTarget(Target);
    return true;
}

bool UpdateActionOn(TBasicAction* Action, TObject* Target) {
    if (!Target || !Action->HandlesTarget(Target)) return false;
    Action->UpdateTarget(Target);
    return true;
}

namespace {

template <typename TOffer> bool OfferToFocus(TOffer Offer) {
    for (TWinControl* control = Screen ? Screen->ActiveControl() : nullptr; control; control = control->Parent())
        if (Offer(control)) return true;
    return false;
}

} // namespace

bool ExecuteActionOnFocus(TBasicAction* Action) {
    return OfferToFocus([Action](TControl* Control) { return Control->ExecuteAction(Action); });
}

bool UpdateActionOnFocus(TBasicAction* Action) {
    return OfferToFocus([Action](TControl* Control) { return Control->UpdateAction(Action); });
}

void TBasicAction::Change() {
    for (TComponent* client : std::vector<TComponent*>(FClients)) {
        if (auto* control = dynamic_cast<TControl*>(client))
            control->ActionChange(this, false);
        else if (auto* item = dynamic_cast<TMenuItem*>(client))
            item->ActionChange(this);
    }
}

// ---- TContainedAction -------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() {
    SetActionList(nullptr);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
    if (FActionList == Value) return;
    if (FActionList) std::erase(FActionList->FActions, this);
    FActionList = Value;
    if (Value) Value->FActions.push_back(this);
}

int TContainedAction::Index() const {
    if (!FActionList) return -1;
    const auto& list = FActionList->FActions;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

bool TContainedAction::Execute() {
    if (FActionList) {
        bool handled = false;
        Fire(FActionList->OnExecute, this, handled);
        if (handled) return true;
    }
    return TBasicAction::Execute();
}

bool TContainedAction::Update() {
    if (FActionList) {
        bool handled = false;
        Fire(FActionList->OnUpdate, this, handled);
        if (handled) return true;
    }
    return TBasicAction::Update();
}

// ---- TCustomAction ----------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

void TCustomAction::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    Change();
}

void TCustomAction::SetHint(const std::string& Value) {
    if (FHint == Value) return;
    FHint = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    Change();
}

bool TCustomAction::Execute() {
    Update();
    return FEnabled && TContainedAction::Execute();
}

// ---- TCustomActionList ------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
    for (TContainedAction* action : std::vector<TContainedAction*>(FActions))
        action->SetActionList(nullptr);
}

TContainedAction* TCustomActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FActions[static_cast<size_t>(Index)];
}

bool TCustomActionList::IsShortCut(TMessage& Message) {
    const TShortCut sc = ShortCutFromMessage(Message);
    if (sc == scNone) return false;
    for (TContainedAction* action : std::vector<TContainedAction*>(FActions))
        if (auto* custom = dynamic_cast<TCustomAction*>(action); custom && custom->ShortCut() == sc)
            return custom->Execute();
    return false;
}

void TCustomActionList::UpdateActions() {
    for (TContainedAction* action : std::vector<TContainedAction*>(FActions))
        action->Update();
}
