#pragma once
// Schematic pictures of the module types, shown side by side as the module chain.

#include <QImage>
#include <QSize>

// Picture size of a module type (high nibble of a module id); zero for types without picture.
QSize ModulePictureSize(int moduleType);

// The picture of a module type, drawn anew on every call; an empty image for types 0 and 8-15
// (and any value outside 0-15).
QImage ModulePicture(int moduleType);
