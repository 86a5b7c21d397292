// Component streaming. Writing builds the whole stream in memory before a
// byte reaches the target; reading parses the whole stream into a tree first
// (every length and count checked against the bytes left, nesting capped),
// then applies the tree, so damaged bytes change nothing.
#include "platform/rtl/ComponentStreaming.h"

#include "platform/rtl/Collection.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TaggedValues.h"

#include <algorithm>
#include <cstring>

namespace {

const char Signature[] = "TPF0";

std::vector<TPropertyTable>& Tables() {
    static std::vector<TPropertyTable> tables;
    return tables;
}

const TPropertyTable* TableOf(std::type_index Type) {
    for (const TPropertyTable& table : Tables())
        if (table.Type() == Type) return &table;
    return nullptr;
}

// Instance's tables, most derived first: the longest chain of bases among
// the tables that describe it.
std::vector<const TPropertyTable*> TableChain(const TPersistent* Instance) {
    std::vector<const TPropertyTable*> best;
    for (const TPropertyTable& table : Tables()) {
        if (!table.Describes(Instance)) continue;
        std::vector<const TPropertyTable*> chain;
        for (const TPropertyTable* t = &table; t; t = TableOf(t->Base()))
            chain.push_back(t);
        if (chain.size() > best.size()) best = std::move(chain);
    }
    return best;
}

// The children streamed with Instance: those of its most derived table that
// has any; nullptr without.
const TChildComponents* ChildrenOf(const TPersistent* Instance) {
    for (const TPropertyTable* table : TableChain(Instance))
        if (table->Children().Get) return &table->Children();
    return nullptr;
}

const TPublishedProperty* FindProperty(const TPersistent* Instance, const std::string& Name) {
    for (const TPublishedProperty* property : PublishedProperties(Instance))
        if (SameText(property->Name, Name)) return property;
    return nullptr;
}

[[noreturn]] void WriteError() {
    throw EWriteError("Stream write error");
}

// Writing ----------------------------------------------------------------------------

class TComponentWriter {
public:
    void Component(TComponent* Instance, int Depth, bool StoreName = true) {
        if (Depth > MaxComponentStreamDepth) WriteError();
        ShortString(Instance->ClassName());
        ShortString(StoreName ? Instance->Name() : std::string());
        Properties(Instance, "", Depth);
        FBytes.push_back(0);
        if (const TChildComponents* children = ChildrenOf(Instance))
            for (TComponent* child : children->Get(Instance))
                Component(child, Depth + 1, children->StoreNames);
        FBytes.push_back(0);
    }
    const std::string& Bytes() const { return FBytes; }

private:
    void ShortString(const std::string& Text) {
        if (Text.size() > 255) WriteError();
        FBytes.push_back(char(Byte(Text.size())));
        FBytes += Text;
    }
    void Properties(TPersistent* Instance, const std::string& Prefix, int Depth) {
        if (Depth > MaxComponentStreamDepth) WriteError();
        for (const TPublishedProperty* property : PublishedProperties(Instance))
            Property(Instance, *property, Prefix + property->Name, Depth);
    }
    void Property(TPersistent* Instance, const TPublishedProperty& Property, const std::string& Name, int Depth) {
        switch (Property.Kind) {
        case pkValue: {
            if (Property.Stored && !Property.Stored(Instance)) return;
            const Variant value = Property.Get(Instance);
            if (!Property.Default.IsEmpty() && value == Property.Default) return;
            ShortString(Name);
            FBytes += EncodeTaggedValue(value);
            return;
        }
        case pkReference:
            if (TComponent* component = Property.GetReference(Instance)) {
                ShortString(Name);
                FBytes.push_back(char(vaIdent));
                ShortString(component->Name());
            }
            return;
        case pkObject:
            if (Property.Stored && !Property.Stored(Instance)) return;
            if (TPersistent* object = Property.GetObject(Instance)) Properties(object, Name + ".", Depth + 1);
            return;
        case pkCollection: {
            auto* collection = static_cast<TCollection*>(Property.GetObject(Instance));
            if (!collection || collection->Count() == 0) return;
            ShortString(Name);
            FBytes.push_back(char(vaCollection));
            for (int i = 0; i < collection->Count(); ++i) {
                FBytes.push_back(char(vaList));
                Properties(collection->Items(i), "", Depth + 1);
                FBytes.push_back(0);
            }
            FBytes.push_back(0);
            return;
        }
        case pkBinary: {
            if (!Property.Stored(Instance)) return;
            TMemoryStream data;
            Property.WriteData(Instance, &data);
            ShortString(Name);
            FBytes.push_back(char(vaBinary));
            AppendLittleEndian(FBytes, int32_t(data.Size()));
            FBytes.append(static_cast<const char*>(data.Memory()), size_t(data.Size()));
            return;
        }
        }
    }

    std::string FBytes{Signature, 4};
};

// Reading ----------------------------------------------------------------------------

struct TStreamedProperty {
    std::string Name;
    Byte Tag = 0;
    Variant Value;
    std::string Text; // a reference's name, a binary property's bytes
    std::vector<std::vector<TStreamedProperty>> Items;
};

struct TStreamedComponent {
    std::string ClassName;
    std::string Name;
    std::vector<TStreamedProperty> Properties;
    std::vector<TStreamedComponent> Children;
};

// The fewest bytes a streamed collection item takes: vaList and its end.
constexpr Int64 MinItemSize = 2;

class TStreamParser {
public:
    explicit TStreamParser(TStream* Stream) : FReader(Stream) {}

    TStreamedComponent Root() {
        if (FReader.Bytes(4) != std::string(Signature, 4)) ReadError();
        std::string className = ShortString();
        if (className.empty()) ReadError();
        return Component(std::move(className), 0);
    }

private:
    std::string ShortString() { return FReader.Bytes(FReader.Number<Byte>()); }

    TStreamedComponent Component(std::string ClassName, int Depth) {
        if (Depth > MaxComponentStreamDepth) ReadError();
        TStreamedComponent component;
        component.ClassName = std::move(ClassName);
        component.Name = ShortString();
        component.Properties = Properties(Depth);
        for (std::string child = ShortString(); !child.empty(); child = ShortString())
            component.Children.push_back(Component(std::move(child), Depth + 1));
        return component;
    }
    std::vector<TStreamedProperty> Properties(int Depth) {
        if (Depth > MaxComponentStreamDepth) ReadError();
        std::vector<TStreamedProperty> properties;
        for (std::string name = ShortString(); !name.empty(); name = ShortString()) {
            TStreamedProperty property;
            property.Name = std::move(name);
            property.Tag = FReader.Number<Byte>();
            switch (property.Tag) {
            case vaIdent:
                property.Text = ShortString();
                break;
            case vaBinary:
                property.Text = FReader.Bytes(FReader.Count(1));
                break;
            case vaCollection:
                for (Byte marker = FReader.Number<Byte>(); marker != 0; marker = FReader.Number<Byte>()) {
                    if (marker != vaList || FReader.Left() < MinItemSize - 1) ReadError();
                    property.Items.push_back(Properties(Depth + 1));
                }
                break;
            default:
                property.Value = FReader.TaggedValue(property.Tag);
                break;
            }
            properties.push_back(std::move(property));
        }
        return properties;
    }

    TBoundedReader FReader;
};

[[noreturn]] void PropertyError(const TPersistent* Instance, const std::string& Name) {
    throw EReadError("Property " + Instance->ClassName() + "." + Name + " does not exist");
}

[[noreturn]] void InvalidValue() {
    throw EReadError("Invalid property value");
}

class TComponentApplier {
public:
    explicit TComponentApplier(TReferenceResolver Resolver) : FResolver(std::move(Resolver)) {}

    void Component(TComponent* Instance, const TStreamedComponent& Streamed) {
        Properties(Instance, Streamed.Properties);
        if (Streamed.Children.empty()) return;
        const TChildComponents* children = ChildrenOf(Instance);
        for (const TStreamedComponent& streamed : Streamed.Children) {
            const TComponentClass& childClass = FindClass(streamed.ClassName);
            if (!children) throw EReadError(Instance->ClassName() + " holds no " + streamed.ClassName);
            Component(children->Create(Instance, childClass, streamed.Name), streamed);
        }
    }

private:
    void Properties(TPersistent* Instance, const std::vector<TStreamedProperty>& Streamed) {
        for (const TStreamedProperty& property : Streamed)
            Property(Instance, property);
    }
    void Property(TPersistent* Instance, const TStreamedProperty& Streamed) {
        // "Font.Color": the owned objects along the path.
        TPersistent* target = Instance;
        std::string name = Streamed.Name;
        for (size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.')) {
            const TPublishedProperty* object = FindProperty(target, name.substr(0, dot));
            if (!object || object->Kind != pkObject || !object->GetObject(target))
                PropertyError(target, name.substr(0, dot));
            target = object->GetObject(target);
            name.erase(0, dot + 1);
        }
        const TPublishedProperty* property = FindProperty(target, name);
        if (!property) PropertyError(target, name);
        switch (property->Kind) {
        case pkValue:
            if (Streamed.Tag == vaIdent || Streamed.Tag == vaBinary || Streamed.Tag == vaCollection) InvalidValue();
            property->Set(target, Streamed.Value);
            return;
        case pkReference:
            if (Streamed.Tag != vaIdent) InvalidValue();
            property->SetReference(target, FResolver(Streamed.Text));
            return;
        case pkObject:
            InvalidValue();
        case pkCollection: {
            if (Streamed.Tag != vaCollection) InvalidValue();
            auto* collection = static_cast<TCollection*>(property->GetObject(target));
            TUpdateGuard<TCollection> update(collection);
            collection->Clear();
            for (const std::vector<TStreamedProperty>& item : Streamed.Items)
                Properties(collection->Add(), item);
            return;
        }
        case pkBinary: {
            if (Streamed.Tag != vaBinary) InvalidValue();
            TMemoryStream data;
            data.WriteBuffer(Streamed.Text.data(), Integer(Streamed.Text.size()));
            data.SetPosition(0);
            property->ReadData(target, &data);
            return;
        }
        }
    }

    TReferenceResolver FResolver;
};

} // namespace

void RegisterPropertyTable(TPropertyTable Table) {
    std::vector<TPropertyTable>& tables = Tables();
    const auto same = [&](const TPropertyTable& Other) { return Other.Type() == Table.Type(); };
    tables.erase(std::remove_if(tables.begin(), tables.end(), same), tables.end());
    tables.push_back(std::move(Table));
}

std::vector<const TPublishedProperty*> PublishedProperties(const TPersistent* Instance) {
    std::vector<const TPropertyTable*> chain = TableChain(Instance);
    std::reverse(chain.begin(), chain.end());
    std::vector<const TPublishedProperty*> properties;
    for (const TPropertyTable* table : chain)
        for (const TPublishedProperty& property : table->Properties())
            properties.push_back(&property);
    return properties;
}

void WriteComponent(TStream* Stream, TComponent* Instance) {
    TComponentWriter writer;
    writer.Component(Instance, 0);
    Stream->WriteBuffer(writer.Bytes().data(), Integer(writer.Bytes().size()));
}

void ReadComponent(TStream* Stream, TComponent* Instance, TReferenceResolver Resolver) {
    const TStreamedComponent root = TStreamParser(Stream).Root();
    FindClass(root.ClassName);
    if (!Resolver) {
        TComponent* scope = Instance->Owner() ? Instance->Owner() : Instance;
        Resolver = [scope](const std::string& Name) { return scope->FindComponent(Name); };
    }
    TComponentLoading loading(Instance);
    if (!root.Name.empty()) Instance->SetName(root.Name);
    TComponentApplier(std::move(Resolver)).Component(Instance, root);
}
