// Resources compiled into the program: bitmaps, icons and cursors kept by name
// in the program's module, HInstance. The build's corvanta_resources() turns
// files into a source of the executable that registers them before main runs.
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

enum class TResourceType { Bitmap, Icon, Cursor };

// Called by the generated source; Data stays valid for the program's life.
// Names are kept upper-case and looked up in any case; of two resources with
// one type and name the first stays.
void RegisterResource(TResourceType Type, const char* Name, const Byte* Data, size_t Size);

// A bitmap resource (a BMP file, or a PNG flattened onto white) as a new
// bitmap the caller deletes; nullptr when the module has none of that name.
HBITMAP LoadBitmap(HINSTANCE Instance, const char* BitmapName);

// The system's bitmaps, loaded with Instance nullptr.
// OBM_CHECKBOXES: four columns (unchecked, checked, pushed, pushed and
// checked) of three rows (check box, radio button, three-state box), each
// picture a system check box's size.
constexpr int OBM_CHECKBOXES = 32759;
// A system bitmap as a new bitmap the caller deletes; nullptr for another
// instance or an unknown id.
HBITMAP LoadBitmap(HINSTANCE Instance, int BitmapId);

// The icon resource IconName (an ICO file) as a new icon the caller destroys:
// drawn at the file's size nearest to Size (0: the system's icon size), it
// carries every size of the file, so window and tray icons pick their own.
// nullptr when the module has none of that name.
HICON LoadIcon(HINSTANCE Instance, const char* IconName, int Size = 0);
