// The notification area stand-in: a table of icons by (window, id).
#include "components/NotifyIcon.h"

#include <map>
#include <utility>

namespace {

struct AreaState {
    bool Exists = false;
    std::map<std::pair<HWND, UINT>, NOTIFYICONDATA> Icons;
};

AreaState& Area() {
    static AreaState area;
    return area;
}

} // namespace

bool Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA& Data) {
    AreaState& area = Area();
    if (!area.Exists) return false;
    const auto key = std::make_pair(Data.hWnd, Data.uID);
    const auto it = area.Icons.find(key);
    switch (Message) {
    case NIM_ADD:
        if (it != area.Icons.end()) return false;
        area.Icons.emplace(key, Data);
        return true;
    case NIM_MODIFY:
        if (it == area.Icons.end()) return false;
        it->second = Data;
        return true;
    case NIM_DELETE:
        if (it == area.Icons.end()) return false;
        area.Icons.erase(it);
        return true;
    default:
        return false;
    }
}

bool NotificationAreaExists() {
    return Area().Exists;
}

namespace notifyarea_test {

void SetAreaExists(bool Value) {
    Area().Exists = Value;
    if (!Value) Area().Icons.clear();
}

const NOTIFYICONDATA* FindIcon(HWND Wnd, UINT Id) {
    const auto& icons = Area().Icons;
    const auto it = icons.find(std::make_pair(Wnd, Id));
    return it == icons.end() ? nullptr : &it->second;
}

} // namespace notifyarea_test
