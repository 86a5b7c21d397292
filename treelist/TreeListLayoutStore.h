// The tables of a stored layout. Each section of a layout (the view values,
// a band, a column) is one table of values: the value's name, what is
// written, what a read value does and its default. Saving writes a table's
// rows in order, loading reads the rows of one pass, so a name, its place in
// the order and its default are written down once for both directions.
// Descendants of the control store their own items with tables of their own.
#pragma once

#include "editors/RegIniWrapper.h"
#include "platform/rtl/TaggedValues.h"

#include <span>
#include <string>
#include <type_traits>

// The loading pass of a value unless its row names another.
inline constexpr int cvLayoutFirstPass = 1;

// What a stored value may hold, the shape this program writes with room for
// a form that has changed since: pixel extents (widths, heights) and
// indexes or counts. Anything else marks the layout as damaged.
inline constexpr int cvMaxLayoutExtent = 32767;
inline constexpr int cvMaxLayoutIndex = 65535;
inline bool IsLayoutExtent(int Value) {
    return Value >= 0 && Value <= cvMaxLayoutExtent;
}
// -1 stands for "none" (no band, not sorted, automatic).
inline bool IsLayoutIndex(int Value) {
    return Value >= -1 && Value <= cvMaxLayoutIndex;
}

template <class Item> struct TcvLayoutValue {
    const char* Name;
    // Written as 1 or 0; read as true when not 0.
    bool Boolean = false;
    // The value written, and the default of a read unless Default says.
    int (*Get)(const Item&) = nullptr;
    // What a read value does; nullptr for a value written only or read by
    // the caller.
    void (*Set)(Item&, int) = nullptr;
    // The loading pass that reads the value.
    int Pass = cvLayoutFirstPass;
    int (*Default)(const Item&) = nullptr;
    // Whether a read value has the stored shape; nullptr where any integer
    // is harmless (Booleans, identities, places that only order).
    bool (*Valid)(int) = IsLayoutIndex;
};

// A table as the routines take it (its item type comes from the item).
template <class Item> using TcvLayoutTable = std::type_identity_t<std::span<const TcvLayoutValue<Item>>>;

template <class Item>
void WriteLayoutValues(TcvRegIniWrapper& Store, const std::string& Section, const Item& AItem,
                       TcvLayoutTable<Item> Table) {
    for (const TcvLayoutValue<Item>& value : Table) {
        if (value.Boolean)
            Store.WriteBool(Section, value.Name, value.Get(AItem) != 0);
        else
            Store.WriteInteger(Section, value.Name, value.Get(AItem));
    }
}

// One value as stored, or its default when the section lacks it.
template <class Item>
int ReadLayoutValue(TcvRegIniWrapper& Store, const std::string& Section, const Item& AItem,
                    const TcvLayoutValue<Item>& Value) {
    const int fallback = Value.Default ? Value.Default(AItem) : Value.Get(AItem);
    if (Value.Boolean) return Store.ReadBool(Section, Value.Name, fallback != 0);
    return Store.ReadInteger(Section, Value.Name, fallback);
}

// Raises EReadError "Stream read error" unless every value of the table, as
// stored or defaulted, has its shape: a layout is checked whole before any
// of it is applied.
template <class Item>
void CheckLayoutValues(TcvRegIniWrapper& Store, const std::string& Section, const Item& AItem,
                       TcvLayoutTable<Item> Table) {
    for (const TcvLayoutValue<Item>& value : Table)
        if (!value.Boolean && value.Valid && !value.Valid(ReadLayoutValue(Store, Section, AItem, value))) ReadError();
}

// Reads and applies, in table order, the values of one pass that have a Set.
template <class Item>
void ReadLayoutValues(TcvRegIniWrapper& Store, const std::string& Section, Item& AItem, TcvLayoutTable<Item> Table,
                      int Pass) {
    for (const TcvLayoutValue<Item>& value : Table)
        if (value.Set && value.Pass == Pass) value.Set(AItem, ReadLayoutValue(Store, Section, AItem, value));
}
