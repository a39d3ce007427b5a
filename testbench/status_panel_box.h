#pragma once
// The "Device Status" group box: shows the latest panel image the polling thread rendered, at
// the drawing area's offset inside the box.

#include <QGroupBox>
#include <QImage>

class StatusPanelBox final : public QGroupBox {
    Q_OBJECT
public:
    explicit StatusPanelBox(QWidget* parent = nullptr);

    void SetImage(const QImage& image);
    void ClearImage();
    const QImage& Image() const { return m_image; }

signals:
    void sizeChanged(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage m_image;
};
