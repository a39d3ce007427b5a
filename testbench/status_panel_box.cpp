#include "status_panel_box.h"

#include <QPainter>
#include <QResizeEvent>

#include "status_decoding.h"

StatusPanelBox::StatusPanelBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Device Status"), parent) {
    setObjectName(QStringLiteral("deviceStatus"));
}

void StatusPanelBox::SetImage(const QImage& image) {
    m_image = image;
    update();
}

void StatusPanelBox::ClearImage() {
    m_image = QImage();
    update();
}

void StatusPanelBox::paintEvent(QPaintEvent* event) {
    QGroupBox::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(StatusPanelArea(rect()).topLeft(), m_image);
}

void StatusPanelBox::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    emit sizeChanged(event->size());
}
