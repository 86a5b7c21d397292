// The class framework's object model: TObject, TPersistent (Assign) and
// TComponent (ownership, names, state, loading bracket and free
// notification), plus the generic update guard.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Types.h"

class TObject {
public:
    virtual ~TObject() = default;
    // The unqualified C++ class name of the dynamic type ("TStringList").
    std::string ClassName() const;
};

// The unqualified C++ class name of Type, as ClassName gives it.
std::string ClassNameOf(const std::type_info& Type);

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Fires an event through a copy of it: a handler may free the sender, and the
// event stored in it with it, while it runs (a one-shot timer deleting itself).
// True when a handler was assigned.
template <class Event, class... Args> bool Fire(const Event& Handler, Args&&... Arguments) {
    if (!Handler) return false;
    const Event running = Handler;
    running(std::forward<Args>(Arguments)...);
    return true;
}

class TPersistent : public TObject {
public:
    // Copies Source into this object; without support on either side it
    // raises EConvertError "Cannot assign a <Source> to a <this>".
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

// How text sits in a control or a field (fields pass theirs to the controls
// that show them).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

// A component is freed by its owner; deleting it directly also removes it
// from its owner. Components created inside a TComponentLoading bracket of
// their owner start in csLoading.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    // Raises EListError "List index out of bounds (<i>)".
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees the owned components, last first.
    void DestroyComponents();
    // Case-insensitive; nullptr when absent.
    TComponent* FindComponent(const std::string& AName) const;

    const std::string& Name() const { return FName; }
    // The name is an identifier (or empty) unique among the owner's
    // components, compared without case. Raises EComponentError
    // "''<name>'' is not a valid component name" or "A component named <name> already exists".
    virtual void SetName(const std::string& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }
    void SetDesigning(bool Value, bool SetChildren = true);
    // Sets csDestroying on this component and those it owns.
    void Destroying();

    // Both components tell each other when freed (Notification opRemove).
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

protected:
    // Called at the end of the loading bracket; clears csLoading.
    virtual void Loaded();
    // Passed on to the owned components, as the framework does.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);

private:
    friend class TComponentLoading;
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void CollectTree(std::vector<TComponent*>& List);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    intptr_t FTag = 0;
    TComponentState FComponentState;
};

// The loading bracket: csLoading on Root and everything it owns (also what is
// created while the bracket is open); at its end each of them, Root first,
// gets Loaded. Left through an exception, it only clears csLoading.
class TComponentLoading {
public:
    explicit TComponentLoading(TComponent* Root);
    ~TComponentLoading() noexcept(false);
    TComponentLoading(const TComponentLoading&) = delete;
    TComponentLoading& operator=(const TComponentLoading&) = delete;

private:
    TComponent* FRoot;
    TUnwindingTest FScope;
};

// Holds BeginUpdate/EndUpdate of anything that has them; EndUpdate runs as
// TScopeGuard runs its end action.
template <typename T> class TUpdateGuard {
public:
    explicit TUpdateGuard(T& Target) : FEndUpdate(BeginUpdate(Target)) {}
    explicit TUpdateGuard(T* Target) : TUpdateGuard(*Target) {}

private:
    struct TEndUpdate {
        T& Target;
        void operator()() const { Target.EndUpdate(); }
    };
    // Begins before the guard exists, so a failing BeginUpdate is not ended.
    static TEndUpdate BeginUpdate(T& Target) {
        Target.BeginUpdate();
        return {Target};
    }
    TScopeGuard<TEndUpdate> FEndUpdate;
};
