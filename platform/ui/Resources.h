// Resources compiled into the program: bitmaps and cursors kept by name in the
// program's module, HInstance. The build's corvanta_resources() turns files into
// a source of the executable that registers them before main runs.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/ui/WinTypes.h"

#include <cstddef>

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// The program's module: where its own resources are looked up.
using HINSTANCE = void*;
extern const HINSTANCE HInstance;

enum class TResourceType { Bitmap, Cursor };

// Called by the generated source; Data stays valid for the program's life.
// Names are kept upper-case and looked up in any case; of two resources with
// one type and name the first stays.
void RegisterResource(TResourceType Type, const char* Name, const Byte* Data, size_t Size);

// A bitmap resource (a BMP file, or a PNG flattened onto white) as a new
// bitmap the caller deletes; nullptr when the module has none of that name.
HBITMAP LoadBitmap(HINSTANCE Instance, const char* BitmapName);
