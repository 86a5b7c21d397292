// Component streaming: a component, its published properties and its child
// components written as a binary stream and read back into a component.
//
// Each class describes what it publishes in a property table, registered at
// start-up next to the class. An object's properties are those of the tables
// of its class and its bases, base first, each in table order. A value is
// written only when it differs from its default.
//
// The stream ("TPF0" signature, then the root component):
//   component: short string class name, short string name, properties,
//              byte 0, child components, byte 0;
//   property:  short string name, tagged value (TaggedValues.h);
//   an owned object's properties are written as "Object.Property";
//   a reference is vaIdent + the component's name; a binary property is
//   vaBinary + int32 size + bytes; a collection is vaCollection, then per
//   item vaList + properties + byte 0, then byte 0.
// Short strings are one length byte and the bytes. A stream is read whole and
// checked before anything is applied, so damaged bytes change nothing.
#pragma once

#include "platform/rtl/ComponentClasses.h"
#include "platform/rtl/Variants.h"

#include <functional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <vector>

class TCollection;
class TStream;

enum TPropertyKind {
    pkValue,      // a number, flag, text, enumeration or set held in a Variant
    pkReference,  // another component, stored by name
    pkObject,     // an owned object whose own properties are stored
    pkCollection, // an owned collection, its items stored in order
    pkBinary      // bytes written and read by the class itself
};

struct TPublishedProperty {
    std::string Name;
    TPropertyKind Kind = pkValue;
    // pkValue: Unassigned means "always stored".
    Variant Default;
    std::function<Variant(TPersistent*)> Get;
    std::function<void(TPersistent*, const Variant&)> Set;
    // pkReference.
    std::function<TComponent*(TPersistent*)> GetReference;
    std::function<void(TPersistent*, TComponent*)> SetReference;
    // pkObject and pkCollection: the owned object.
    std::function<TPersistent*(TPersistent*)> GetObject;
    // pkValue, pkObject and pkBinary: stored only when Stored answers true
    // (or is empty). ReadData gets a stream holding exactly the property's
    // bytes.
    std::function<bool(TPersistent*)> Stored;
    std::function<void(TPersistent*, TStream*)> WriteData;
    std::function<void(TPersistent*, TStream*)> ReadData;
};

// The child components streamed after a component's properties, and how a
// read child is made: of the registered class, with the stored name. Without
// StoreNames the children go unnamed and Create names them.
struct TChildComponents {
    std::function<std::vector<TComponent*>(TPersistent*)> Get;
    std::function<TComponent*(TPersistent* Parent, const TComponentClass& Class, const std::string& Name)> Create;
    bool StoreNames = true;
};

class TPropertyTable {
public:
    TPropertyTable(std::type_index Type, std::type_index Base, std::function<bool(const TPersistent*)> Describes)
        : FType(Type), FBase(Base), FDescribes(std::move(Describes)) {}

    std::type_index Type() const { return FType; }
    // typeid(void) when the class has no streamed base.
    std::type_index Base() const { return FBase; }
    bool Describes(const TPersistent* Instance) const { return FDescribes(Instance); }
    const std::vector<TPublishedProperty>& Properties() const { return FProperties; }
    const TChildComponents& Children() const { return FChildren; }

    void Add(TPublishedProperty Property) { FProperties.push_back(std::move(Property)); }
    void SetLastStored(std::function<bool(TPersistent*)> Stored) { FProperties.back().Stored = std::move(Stored); }
    void SetChildren(TChildComponents Children) { FChildren = std::move(Children); }

private:
    std::type_index FType;
    std::type_index FBase;
    std::function<bool(const TPersistent*)> FDescribes;
    std::vector<TPublishedProperty> FProperties;
    TChildComponents FChildren;
};

namespace ComponentStreaming {
// Property values in and out of a Variant: enumerations and characters as
// integers, sets as their bits.
template <class T> Variant ToVariant(const T& Value) {
    using V = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<V, bool>)
        return Variant(Value);
    else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
        return Variant(int32_t(Value));
    else if constexpr (std::is_floating_point_v<V>)
        return Variant(double(Value));
    else if constexpr (std::is_convertible_v<V, std::string>)
        return Variant(std::string(Value));
    else
        return Variant(int32_t(uint32_t(Value.Bits())));
}
template <class T> T FromVariant(const Variant& Value) {
    using V = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<V, bool>)
        return Value.AsBoolean();
    else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
        return V(Value.AsInteger());
    else if constexpr (std::is_floating_point_v<V>)
        return V(Value.AsFloat());
    else if constexpr (std::is_convertible_v<V, std::string>)
        return Value.AsString();
    else
        return V::FromBits(uint32_t(Value.AsInteger()));
}
} // namespace ComponentStreaming

// The table of class T, built declaratively:
//   TPropertyTableOf<TMyGrid, TMyBase>()
//       .Value("Width", 100, &TMyGrid::Width, &TMyGrid::SetWidth)
//       .Reference("DataSource", &TMyGrid::DataSource, &TMyGrid::SetDataSource)
//       .Object("Font", &TMyGrid::Font)
//       .Register();
template <class T, class TBase = void> class TPropertyTableOf {
public:
    TPropertyTableOf()
        : FTable(typeid(T), typeid(TBase),
                 [](const TPersistent* Instance) { return dynamic_cast<const T*>(Instance) != nullptr; }) {}

    // Stored when different from Default; Unassigned: always stored.
    // Stored: when given, also only when it answers true (a value that
    // follows a default of its own until it is set). Accessors of T or of a
    // base of T.
    template <class C, class R, class P>
    TPropertyTableOf& Value(std::string Name, Variant Default, R (C::*Get)() const, void (C::*Set)(P),
                            std::function<bool(T*)> Stored = {}) {
        static_assert(std::is_base_of_v<C, T>);
        return Value(
            std::move(Name), std::move(Default),
            [Get](T* I) { return ComponentStreaming::ToVariant((I->*Get)()); },
            [Set](T* I, const Variant& V) { (I->*Set)(ComponentStreaming::FromVariant<std::remove_cvref_t<P>>(V)); },
            std::move(Stored));
    }
    // A property whose accessors are not plain members.
    TPropertyTableOf& Value(std::string Name, Variant Default, std::function<Variant(T*)> Get,
                            std::function<void(T*, const Variant&)> Set, std::function<bool(T*)> Stored = {}) {
        TPublishedProperty p;
        p.Name = std::move(Name);
        p.Default = std::move(Default);
        p.Get = [Get](TPersistent* I) { return Get(static_cast<T*>(I)); };
        p.Set = [Set](TPersistent* I, const Variant& V) { Set(static_cast<T*>(I), V); };
        FTable.Add(std::move(p));
        if (Stored) FTable.SetLastStored([Stored](TPersistent* I) { return Stored(static_cast<T*>(I)); });
        return *this;
    }
    template <class C, class R, class P>
    TPropertyTableOf& Reference(std::string Name, R* (C::*Get)() const, void (C::*Set)(P*)) {
        static_assert(std::is_base_of_v<C, T>);
        TPublishedProperty p;
        p.Name = std::move(Name);
        p.Kind = pkReference;
        p.GetReference = [Get](TPersistent* I) -> TComponent* { return (static_cast<T*>(I)->*Get)(); };
        p.SetReference = [Set](TPersistent* I, TComponent* Component) {
            (static_cast<T*>(I)->*Set)(dynamic_cast<P*>(Component));
        };
        FTable.Add(std::move(p));
        return *this;
    }
    // Stored: when given, the object's properties are written only when it
    // answers true (a font that follows its parent's is not).
    template <class C, class R>
    TPropertyTableOf& Object(std::string Name, R* (C::*Get)() const, std::function<bool(T*)> Stored = {}) {
        Owned(std::move(Name), pkObject, Get);
        if (Stored) FTable.SetLastStored([Stored](TPersistent* I) { return Stored(static_cast<T*>(I)); });
        return *this;
    }
    template <class C, class R> TPropertyTableOf& Collection(std::string Name, R* (C::*Get)() const) {
        static_assert(std::is_base_of_v<TCollection, R>);
        return Owned(std::move(Name), pkCollection, Get);
    }
    // DefineProperties: bytes of the class's own making.
    TPropertyTableOf& Binary(std::string Name, std::function<bool(T*)> Stored, std::function<void(T*, TStream*)> Write,
                             std::function<void(T*, TStream*)> Read) {
        TPublishedProperty p;
        p.Name = std::move(Name);
        p.Kind = pkBinary;
        p.Stored = [Stored](TPersistent* I) { return !Stored || Stored(static_cast<T*>(I)); };
        p.WriteData = [Write](TPersistent* I, TStream* S) { Write(static_cast<T*>(I), S); };
        p.ReadData = [Read](TPersistent* I, TStream* S) { Read(static_cast<T*>(I), S); };
        FTable.Add(std::move(p));
        return *this;
    }
    TPropertyTableOf& Children(std::function<std::vector<TComponent*>(T*)> Get,
                               std::function<TComponent*(T*, const TComponentClass&, const std::string&)> Create,
                               bool StoreNames = true) {
        FTable.SetChildren({[Get](TPersistent* I) { return Get(static_cast<T*>(I)); },
                            [Create](TPersistent* I, const TComponentClass& C, const std::string& N) {
                                return Create(static_cast<T*>(I), C, N);
                            },
                            StoreNames});
        return *this;
    }
    void Register();

private:
    template <class C, class R> TPropertyTableOf& Owned(std::string Name, TPropertyKind Kind, R* (C::*Get)() const) {
        static_assert(std::is_base_of_v<C, T>);
        TPublishedProperty p;
        p.Name = std::move(Name);
        p.Kind = Kind;
        p.GetObject = [Get](TPersistent* I) -> TPersistent* { return (static_cast<T*>(I)->*Get)(); };
        FTable.Add(std::move(p));
        return *this;
    }
    TPropertyTable FTable;
};

// Registering a class's table again replaces it.
void RegisterPropertyTable(TPropertyTable Table);
template <class T, class TBase> void TPropertyTableOf<T, TBase>::Register() {
    RegisterPropertyTable(std::move(FTable));
}

// The published properties of Instance, base classes first; empty when no
// table describes it.
std::vector<const TPublishedProperty*> PublishedProperties(const TPersistent* Instance);

// Finds the component a reference names; nullptr leaves the reference empty.
using TReferenceResolver = std::function<TComponent*(const std::string& Name)>;

// Instance and its children as a component stream, written at once after
// it was made whole in memory.
void WriteComponent(TStream* Stream, TComponent* Instance);
// Reads a component stream into Instance inside its loading bracket: a
// stored name that is not empty renames it; the children are made through
// the table's Create. References resolve through Resolver, by default among
// the components of Instance's owner (of Instance without one).
// Raises EReadError "Stream read error" for damaged bytes (a length or count
// beyond the end, an unknown tag, nesting deeper than
// MaxComponentStreamDepth) before anything is applied; EClassNotFound
// "Class <name> not found" and EReadError "Property <Class>.<name> does not
// exist" for names it cannot place.
void ReadComponent(TStream* Stream, TComponent* Instance, TReferenceResolver Resolver = {});

inline constexpr int MaxComponentStreamDepth = 32;
