// The registry of streamable component classes: a stream that reads a
// component's class name finds the class here and makes the component.
// Names match in any letter case; a class is registered once at start-up.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <typeindex>

#include "platform/rtl/Classes.h"

// A component class a stream can name and make. ClassOf<T>() describes T.
class TComponentClass {
public:
    using TCreate = std::function<TComponent*(TComponent* AOwner)>;
    TComponentClass(std::type_index Type, std::string ClassName, TCreate Create)
        : FType(Type), FClassName(std::move(ClassName)), FCreate(std::move(Create)) {}

    const std::string& ClassName() const { return FClassName; }
    std::type_index Type() const { return FType; }
    // A new component of the class, owned by AOwner.
    TComponent* Create(TComponent* AOwner) const { return FCreate(AOwner); }

private:
    std::type_index FType;
    std::string FClassName;
    TCreate FCreate;
};

template <class T> TComponentClass ClassOf() {
    return TComponentClass(typeid(T), ClassNameOf(typeid(T)),
                           [](TComponent* AOwner) -> TComponent* { return new T(AOwner); });
}

// Registering a class again does nothing; another class of a registered name
// raises EFilerError "A class named <name> already exists".
void RegisterClass(const TComponentClass& AClass);
void RegisterClasses(std::initializer_list<TComponentClass> AClasses);
// The registered class of that name, or nullptr.
const TComponentClass* GetClass(const std::string& ClassName);
// As GetClass, but a name not registered raises EClassNotFound
// "Class <name> not found".
const TComponentClass& FindClass(const std::string& ClassName);
