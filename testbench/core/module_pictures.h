#pragma once
// Schematic pictures of the module types, shown side by side as the module chain.

#include <QImage>
#include <QSize>

#include <array>

// Picture size of a module type (high nibble of a module id); zero for types without picture.
QSize ModulePictureSize(int moduleType);

// The picture of a module type, drawn anew on every call; an empty image for types 0 and 8-15
// (and any value outside 0-15).
QImage ModulePicture(int moduleType);

// The pictures of the module types, each drawn the first time it is asked for and kept, so
// that nothing is drawn before a chain is shown. Used on the GUI thread only.
class ModulePictureCache {
public:
    // The picture of a module type (ModulePicture), drawn on the first call for that type.
    const QImage& Picture(int moduleType);
    // How many pictures have been drawn so far.
    int Drawn() const { return m_drawn; }

private:
    static constexpr int kTypes = 16;
    std::array<QImage, kTypes> m_pictures;
    std::array<bool, kTypes> m_done{};
    int m_drawn = 0;
};
