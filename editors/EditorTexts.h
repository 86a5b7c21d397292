// The editors' own texts, kept once, each beside its resource number; the
// numbers without a text here (38901, 38902, 38949, 38950,
// 38952-38956) carry none of their own in the editors.
#pragma once

// The date popup's buttons.
inline constexpr const char* SDatePopupToday = "Today"; // 38903
inline constexpr const char* SDatePopupClear = "Clear"; // 38904

// Captions of the popups' buttons and menus, 38905-38913.
inline constexpr const char* SPopupCaptions[] = {
    "&OK", "&Cancel", "&Close", "Cu&t", "&Copy", "&Paste", "&Delete", "&Save to file...", "&Load from file...",
};

// The tool bar's captions (38914-38919) and their hints (38920-38925), in
// the order of its buttons: cut, copy, paste, delete, load, save.
inline constexpr const char* SToolBarCaptions[] = {"Cu&t", "&Copy", "&Paste", "&Delete", "&Load...", "&Save To..."};
inline constexpr const char* SToolBarHints[] = {
    "Cut", "Copy", "Paste", "Delete", "Load from file...", "Save to file..."};

// The caption of the picture editor's tool window.
inline constexpr const char* SToolBoxCaption = "Toolbox"; // 38926

inline constexpr const char* SInvalidDate = "Invalid Date"; // 38927

// The words a date editor takes for dates, 38928-38947, in the order the
// keyword parser tries them.
inline constexpr const char* SDateKeywords[] = {
    "TODAY", "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY",
    "FIRST", "SECOND",    "THIRD",    "FOURTH", "FIFTH",  "SIXTH",   "SEVENTH",   "BOM",      "EOM",    "NOW",
};

// A value the editor's OnValidate refused.
inline constexpr const char* SInvalidInputValue = "Invalid input value. Use escape key to abandon changes"; // 38948

// The calculator's display after a failed operation.
inline constexpr const char* SCalculatorError = "Error"; // 38951
