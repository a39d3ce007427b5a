#pragma once
// The Print page's preview frame: a sunken frame that shows ">>> Document Preview <<<" while it
// has no picture, and otherwise its picture stretched smoothly into the frame inset by one pixel.
// It keeps the card's proportions when the layout lets it.

#include <QFrame>
#include <QImage>

class PreviewFrame final : public QFrame {
    Q_OBJECT
public:
    explicit PreviewFrame(QWidget* parent = nullptr);

    // A null image empties the frame.
    void SetImage(const QImage& image);
    const QImage& Image() const { return m_image; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
