// The one-time reset of the program's registry key at start-up.
#include "app/RegistryReset.h"

#include "platform/os/Registry.h"
#include "platform/rtl/StringList.h"

void ResetProgramRegistryKey() {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(ProgramRegistryKey, false)) return;
    // This step is housekeeping: a default value of another kind only means
    // "not reset yet", and a key we cannot write must not stop the program.
    try {
        std::string done;
        try {
            done = registry.ReadString("");
        } catch (const ERegistryException&) {
        }
        if (done == "1") return;
        TStringList names;
        registry.GetValueNames(&names);
        for (int i = 0; i < names.Count(); ++i) {
            if (!names.Strings(i).empty()) registry.DeleteValue(names.Strings(i));
        }
        registry.WriteString("", "1");
    } catch (const ERegistryException&) {
    }
}
