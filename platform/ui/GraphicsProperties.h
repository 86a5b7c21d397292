// The published properties of the graphics objects, for component streams.
#pragma once

// Once per process.
void RegisterGraphicsProperties();
