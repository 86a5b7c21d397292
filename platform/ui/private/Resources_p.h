// Lookup of the resources compiled into the program, for platform/ui's loaders.
#pragma once

#include "platform/ui/Resources.h"

#include <optional>
#include <span>
#include <string_view>

namespace platform_ui {

// The bytes of Instance's resource of that type and name (any case).
std::optional<std::span<const Byte>> FindResourceBytes(HINSTANCE Instance, TResourceType Type, std::string_view Name);

// Whether the bytes start as a PNG file does.
bool IsPng(std::span<const Byte> Bytes);

} // namespace platform_ui
