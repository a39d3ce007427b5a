#pragma once
// The Print page's preview frame: a sunken frame of the card's proportions, as large as its room
// allows, that shows ">>> Document Preview <<<" while it has no picture and otherwise its
// picture stretched smoothly into the frame inset by one pixel.

#include <QImage>
#include <QWidget>

class PreviewFrame final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewFrame(QWidget* parent = nullptr);

    // A null image empties the frame.
    void SetImage(const QImage& image);
    const QImage& Image() const { return m_image; }
    // The frame itself: the largest rectangle of the card's proportions in the widget.
    QRect FrameRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
