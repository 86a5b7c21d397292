// The published properties of the tree list control, its bands and its
// columns, for component streams.
#pragma once

// Once per process; the graphics objects' tables come with them.
void RegisterTreeListProperties();
