#pragma once
// The calibration preview of the printer page: the card picture inside the card outline,
// moved by X/Y Start Position, clipped at Y End Position and stretched by Y Scale. Painted by
// Qt's own back buffer. The picture is resampled only when the picture, the picture
// rectangle's size or the part of it that shows changed, and then only that part; a repaint
// with nothing changed draws what was resampled before.

#include <QImage>
#include <QWidget>

#include <functional>

#include "card_preview.h"

class QPainter;

class CCardPreview final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCardPreview)

public:
    // The four shown values: X Start, Y Start, Y End, Y Scale.
    struct Values {
        int dx = 0, dy = 0, e = 0, s = 0;
    };
    using ValueSource = std::function<Values()>;

    // The preview frame on the page. The widget is the frame shrunk by one pixel on every side
    // (O), which it paints whole; the page places it one pixel inside the frame.
    static constexpr int kFrameWidth = 200;
    static constexpr int kFrameHeight = 250;
    static constexpr int kFrameInset = 1;

    explicit CCardPreview(ValueSource values, QWidget* parent = nullptr);

    // Takes image A from a 24-bit bitmap file's bytes (empty picture when they are none). The
    // pixels are read where they lie in the bytes, which the preview keeps.
    void SetPicture(const QByteArray& bmpFile);
    bool HasPicture() const { return !m_source.isNull(); }

    // Repaint with the values now shown. Rescale is the same: a new Y Scale gives a new
    // picture size, which the next paint sees and resamples for.
    void Repaint() { update(); }
    void Rescale() { update(); }

    // Frame O (the whole widget) and card area C, both shrunk by one pixel, in widget
    // coordinates.
    halvard::preview::Box Frame() const;
    halvard::preview::Box Card() const;
    // The rectangles the next paint uses.
    halvard::preview::PreviewRects Rects() const;
    // Size of the resampled picture B (null size while none), of which only the part that
    // shows is made.
    QSize ResampledSize() const { return m_partOf; }
    // How often the picture was resampled.
    int ResampleCount() const { return m_resampleCount; }

    QSize sizeHint() const override {
        return {kFrameWidth - 2 * kFrameInset, kFrameHeight - 2 * kFrameInset};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Resamples the part of B that shows with these rectangles, unless it is made already.
    void UpdatePart(const halvard::preview::PreviewRects& r);
    // The drawing rules, onto any surface of the widget's size.
    void Render(QPainter& p, const halvard::preview::PreviewRects& r) const;

    ValueSource m_values;
    QByteArray m_file;                     // the bitmap file
    halvard::preview::Rgb24View m_source;  // image A, inside m_file
    QImage m_part;                         // the part of image B that shows
    QSize m_partOf;                        // B's size
    QRect m_partRect;                      // where m_part lies in B
    int m_resampleCount = 0;
    QImage m_drawn;  // the whole drawing, as last made
    halvard::preview::PreviewRects m_drawnRects;
    qint64 m_drawnPart = 0;
};
