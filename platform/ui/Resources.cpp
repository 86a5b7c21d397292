// The table of the program's resources, filled before main by the generated
// source, and bitmaps and icons loaded from it.
#include "platform/ui/Resources.h"

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
