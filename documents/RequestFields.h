// The fields of the project application window as tables: which control
// carries which column, of what kind, where it sits, and the check-box
// groups. The layout, the loading and the gathering of values all read them.
#pragma once

#include "platform/ui/FormBuilder.h"

#include <span>

// How a control is edited and how its value is stored.
enum TRequestFieldKind {
    fkText,       // free text, stored trimmed
    fkDigitsText, // only 0-9 typed, stored as text
    fkDigits,     // only 0-9 typed, stored as an integer, empty as null
    fkAmount,     // 0-9, "-" and "." typed, stored as a number, empty as null
    fkYear,       // masked year, stored as text
    fkYearMonth,  // masked year and month, stored as two texts
    fkTextCode,   // code combo whose code is stored as text
    fkNumberCode, // code combo whose code is stored as a number, empty as null
    fkMemo,
};

// A field row; Column is the control's name without its prefix. MaxLength
// counts bytes of code page 936 (0: none).
struct TRequestField {
    TFieldRow Row;
    int MaxLength;
};

// A group box or the control holding a field row: Parent is a page or group.
struct TRequestFrame {
    const char* Name;
    const char* Caption;
    const char* Parent;
    TBounds Bounds;
};

// One box of a check-box group, with the code it stands for.
struct TCheckBoxRow {
    const char* Group;
    const char* Name;
    int Code;
    const char* Caption;
};

std::span<const TRequestFrame> RequestFrames();
// In the order of the controls on the pages.
std::span<const TRequestField> RequestFields();
std::span<const TCheckBoxRow> RequestCheckBoxes();

// The control name of a field: its kind's prefix and its column.
std::string ControlName(int Kind, const std::string& Column);
