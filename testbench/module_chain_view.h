#pragma once
// The "Device Module List is Here..." area: white, with the pictures of the module chain side
// by side, the row centred horizontally and top-aligned. A module type's picture is drawn the
// first time a chain holds that type, not at start-up.

#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "module_pictures.h"

class ModuleChainView final : public QWidget {
    Q_OBJECT
public:
    explicit ModuleChainView(QWidget* parent = nullptr);

    // Shows one picture per module id (the picture of its type), left to right, the whole row
    // centred in the area; an empty chain clears the area.
    void SetChain(const std::vector<std::uint8_t>& moduleIds);
    // Rectangles of the pictures in the area's coordinates, in chain order.
    const QList<QRect>& PictureRects() const { return m_rects; }
    // How many type pictures have been drawn so far.
    int PicturesDrawn() const { return m_cache.Drawn(); }

    // The row layout: rectangles of the given sizes, left to right, top at 0, the row
    // shifted right by (areaWidth - total width) / 2.
    static QList<QRect> LayoutRow(const QList<QSize>& sizes, int areaWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relayout();

    ModulePictureCache m_cache;
    QList<QImage> m_pictures;
    QList<QRect> m_rects;
};
