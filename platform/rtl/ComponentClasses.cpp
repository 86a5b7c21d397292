// The registered component classes, in order of registration; a program
// registers a few dozen, so a search by name is a plain walk.
#include "platform/rtl/ComponentClasses.h"

#include <deque>

namespace {

// A deque: GetClass hands out addresses that later registrations keep valid.
std::deque<TComponentClass>& RegisteredClasses() {
    static std::deque<TComponentClass> classes;
    return classes;
}

} // namespace

void RegisterClass(const TComponentClass& AClass) {
    if (const TComponentClass* registered = GetClass(AClass.ClassName())) {
        if (registered->Type() == AClass.Type()) return;
        throw EFilerError("A class named " + AClass.ClassName() + " already exists");
    }
    RegisteredClasses().push_back(AClass);
}

void RegisterClasses(std::initializer_list<TComponentClass> AClasses) {
    for (const TComponentClass& aClass : AClasses)
        RegisterClass(aClass);
}

const TComponentClass* GetClass(const std::string& ClassName) {
    for (const TComponentClass& registered : RegisteredClasses())
        if (SameText(registered.ClassName(), ClassName)) return &registered;
    return nullptr;
}

const TComponentClass& FindClass(const std::string& ClassName) {
    const TComponentClass* found = GetClass(ClassName);
    if (!found) throw EClassNotFound("Class " + ClassName + " not found");
    return *found;
}
