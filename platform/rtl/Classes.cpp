// The component model: ownership, names, free notification and the loading
// bracket, in the order the class framework does them (owned components are
// freed last first; a removal is broadcast before the component leaves).
#include "platform/rtl/Classes.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

std::string TObject::ClassName() const {
    return ClassNameOf(typeid(*this));
}

std::string ClassNameOf(const std::type_info& Type) {
    const char* mangled = Type.name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

// ---- TPersistent --------------------------------------------------------------------

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    const std::string sourceName = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

// ---- TComponent -----------------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell every holder, newest first; a holder may drop others meanwhile.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FComponents[size_t(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    const auto& list = FOwner->FComponents;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent->FName.empty()) ValidateRename(AComponent, "", AComponent->FName);
    Insert(AComponent);
    if (FComponentState.Contains(csLoading)) AComponent->FComponentState.Include(csLoading);
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    const auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        Remove(last);
        delete last;
    }
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("''" + NewName + "'' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
    if (AComponent && !SameText(CurName, NewName)) {
        TComponent* existing = FindComponent(NewName);
        if (existing && existing != AComponent)
            throw EComponentError("A component named " + NewName + " already exists");
    }
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    const auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
    if (FFreeNotifies.empty()) FComponentState.Exclude(csFreeNotification);
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    // Walk by index from the end: a handler may free components meanwhile.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) {
            i = ComponentCount();
            continue;
        }
        FComponents[size_t(i)]->Notification(AComponent, Operation);
    }
}

void TComponent::CollectTree(std::vector<TComponent*>& List) {
    List.push_back(this);
    for (TComponent* c : FComponents)
        c->CollectTree(List);
}

// ---- TComponentLoading ----------------------------------------------------------------

TComponentLoading::TComponentLoading(TComponent* Root) : FRoot(Root) {
    std::vector<TComponent*> tree;
    FRoot->CollectTree(tree);
    for (TComponent* c : tree)
        c->FComponentState.Include(csLoading);
}

TComponentLoading::~TComponentLoading() noexcept(false) {
    std::vector<TComponent*> tree;
    FRoot->CollectTree(tree);
    if (FScope.Unwinding()) {
        for (TComponent* c : tree)
            c->FComponentState.Exclude(csLoading);
        return;
    }
    std::vector<TComponent*> loading;
    for (TComponent* c : tree)
        if (c->FComponentState.Contains(csLoading)) loading.push_back(c);
    for (TComponent* c : loading)
        c->Loaded();
}
