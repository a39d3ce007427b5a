#pragma once
// The calibration preview of the printer page: the card picture inside the card outline,
// moved by X/Y Start Position, clipped at Y End Position and stretched by Y Scale. Painted by
// Qt's own back buffer; the picture is resampled only when the scale changed.

#include <QImage>
#include <QWidget>

#include <functional>

#include "card_preview.h"

class CCardPreview final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCardPreview)

public:
    // The four shown values: X Start, Y Start, Y End, Y Scale.
    struct Values {
        int dx = 0, dy = 0, e = 0, s = 0;
    };
    using ValueSource = std::function<Values()>;

    static constexpr int kFrameWidth = 200;
    static constexpr int kFrameHeight = 250;

    explicit CCardPreview(ValueSource values, QWidget* parent = nullptr);

    // Loads image A from a 24-bit bitmap file's bytes (empty picture when they are none).
    void SetPicture(const QByteArray& bmpFile);
    bool HasPicture() const { return !m_source.isNull(); }

    // Repaint with the values now shown; Rescale also resamples the picture first.
    void Repaint() { update(); }
    void Rescale();

    // Frame O and card area C, both shrunk by one pixel, in widget coordinates.
    halvard::preview::Box Frame() const;
    halvard::preview::Box Card() const;
    // The rectangles the next paint uses.
    halvard::preview::PreviewRects Rects() const;
    // Size of the resampled picture B (null size while none).
    QSize ResampledSize() const { return m_scaled.size(); }

    QSize sizeHint() const override { return {kFrameWidth, kFrameHeight}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ValueSource m_values;
    halvard::preview::Rgb24Image m_source;  // image A
    QImage m_sourceImage;                   // A, drawable
    QImage m_scaled;                        // image B
    bool m_resampled = false;
};
