// Routines of the data-aware editors that work on fields alone.
#pragma once

class TField;

namespace cvDBEdtr {

// True when the lookup field Field belongs to a dataset whose key field (the
// one Field's KeyFields names) can be modified: only then may choosing a list
// value write the key.
bool CanModifyLookupKey(const TField* Field);

} // namespace cvDBEdtr
