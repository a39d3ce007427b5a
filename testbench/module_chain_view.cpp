#include "module_chain_view.h"

#include <QPainter>

#include "vela_modules.h"

ModuleChainView::ModuleChainView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("moduleList"));
    setAccessibleName(QStringLiteral("Device Module List is Here..."));
    setMinimumHeight(133);
}

QList<QRect> ModuleChainView::LayoutRow(const QList<QSize>& sizes, int areaWidth) {
    QList<QRect> rects;
    int x = 0;
    for (const QSize& size : sizes) {
        rects.append(QRect(QPoint(x, 0), size));
        x += size.width();
    }
    const int shift = (areaWidth - x) / 2;
    for (QRect& r : rects)
        r.translate(shift, 0);
    return rects;
}

void ModuleChainView::SetChain(const std::vector<std::uint8_t>& moduleIds) {
    m_pictures.clear();
    for (std::uint8_t id : moduleIds)
        m_pictures.append(m_cache.Picture(vela::TypeOf(id)));
    Relayout();
    update();
}

void ModuleChainView::Relayout() {
    QList<QSize> sizes;
    for (const QImage& picture : m_pictures)
        sizes.append(picture.size());
    m_rects = LayoutRow(sizes, width());
}

void ModuleChainView::resizeEvent(QResizeEvent*) {
    Relayout();
}

void ModuleChainView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (qsizetype i = 0; i < m_pictures.size() && i < m_rects.size(); ++i)
        if (!m_pictures[i].isNull())
            painter.drawImage(m_rects[i].topLeft(), m_pictures[i]);
}
