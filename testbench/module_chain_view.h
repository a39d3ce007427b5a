#pragma once
// The "Device Module List is Here..." area: white, with the pictures of the module chain side
// by side, the row centred horizontally and top-aligned.

#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>

class ModuleChainView final : public QWidget {
    Q_OBJECT
public:
    explicit ModuleChainView(QWidget* parent = nullptr);

    // Lays out `pictures` left to right, the whole row centred in the area; an empty list
    // clears the area.
    void SetPictures(const QList<QImage>& pictures);
    // Rectangles of the pictures in the area's coordinates, in chain order.
    const QList<QRect>& PictureRects() const { return m_rects; }

    // The row layout: rectangles of the given sizes, left to right, top at 0, the row
    // shifted right by (areaWidth - total width) / 2.
    static QList<QRect> LayoutRow(const QList<QSize>& sizes, int areaWidth);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relayout();

    QList<QImage> m_pictures;
    QList<QRect> m_rects;
};
