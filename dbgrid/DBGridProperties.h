// The published properties of the data-aware grid and its columns, for
// component streams (stored layouts).
#pragma once

// Once per process; the tree list's tables come with them.
void RegisterDBGridProperties();
