// The table of the program's resources, filled before main by the generated
// source, and bitmaps and icons loaded from it.
#include "platform/ui/Resources.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/private/GdiPrivate_p.h"
#include "platform/ui/private/Resources_p.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace {

// Any address tells the program's module apart from the system's (nullptr).
const char ProgramModule = 0;

using ResourceKey = std::pair<TResourceType, std::string>;

// A function's static, so registrations from other sources' initialisers find it made.
std::map<ResourceKey, std::span<const Byte>>& Table() {
    static std::map<ResourceKey, std::span<const Byte>> table;
    return table;
}

} // namespace

const HINSTANCE HInstance = const_cast<char*>(&ProgramModule);

void RegisterResource(TResourceType Type, const char* Name, const Byte* Data, size_t Size) {
    Table().emplace(ResourceKey{Type, UpperCase(Name)}, std::span<const Byte>(Data, Size));
}

HBITMAP LoadBitmap(HINSTANCE Instance, const char* BitmapName) {
    if (!BitmapName || !platform_ui::FindResourceBytes(Instance, TResourceType::Bitmap, BitmapName)) return nullptr;
    TBitmap bitmap;
    bitmap.LoadFromResourceName(Instance, BitmapName);
    return bitmap.ReleaseHandle();
}

HBITMAP LoadBitmap(HINSTANCE Instance, int BitmapId) {
    if (Instance || BitmapId != OBM_CHECKBOXES) return nullptr;
    // Drawn by the same DrawFrameControl that paints the controls, so the sizes agree.
    constexpr int Box = 13;
    static constexpr UINT rows[] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
    static constexpr UINT columns[] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
    HBITMAP bitmap = CreateBitmap(Box * 4, Box * 3, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) {
            RECT r{column * Box, row * Box, (column + 1) * Box, (row + 1) * Box};
            DrawFrameControl(dc, &r, DFC_BUTTON, rows[row] | columns[column]);
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

HICON LoadIcon(HINSTANCE Instance, const char* IconName, int Size) {
    const auto bytes =
        IconName ? platform_ui::FindResourceBytes(Instance, TResourceType::Icon, IconName) : std::nullopt;
    if (!bytes) return nullptr;
    return platform_ui::CreateIconFromFile(*bytes, Size ? Size : GetSystemMetrics(SM_CXICON));
}

namespace platform_ui {

std::optional<std::span<const Byte>> FindResourceBytes(HINSTANCE Instance, TResourceType Type, std::string_view Name) {
    if (Instance != HInstance) return std::nullopt;
    const auto it = Table().find(ResourceKey{Type, UpperCase(Name)});
    if (it == Table().end()) return std::nullopt;
    return it->second;
}

bool IsPng(std::span<const Byte> Bytes) {
    static constexpr Byte signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return Bytes.size() >= sizeof signature && std::equal(std::begin(signature), std::end(signature), Bytes.begin());
}

} // namespace platform_ui
