#pragma once
// A paint device that takes every drawing command and keeps nothing. The
// table fuzzer renders the board onto it after each input: every widget's
// paint code runs with what the input left (texts laid out, pictures and
// frames asked for, the board's own cloth), while no pixel is filled, since
// nothing ever looks at the pixels.

#include <QPaintDevice>
#include <QPaintEngine>
#include <QSize>

namespace vornel::fuzz {

class NullPaintEngine final : public QPaintEngine {
public:
    NullPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    // The defaults of these would turn text and shapes into paths and
    // pictures into images: real work for nothing.
    void drawRects(const QRect*, int) override {}
    void drawRects(const QRectF*, int) override {}
    void drawLines(const QLine*, int) override {}
    void drawLines(const QLineF*, int) override {}
    void drawEllipse(const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPoints(const QPointF*, int) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}
    Type type() const override { return QPaintEngine::User; }
};

// Sized like a screen area at 96 dots per inch, one device pixel per pixel.
class NullPaintDevice final : public QPaintDevice {
public:
    explicit NullPaintDevice(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth: return size_.width();
            case PdmHeight: return size_.height();
            case PdmWidthMM: return size_.width() * 254 / 960;
            case PdmHeightMM: return size_.height() * 254 / 960;
            case PdmNumColors: return 0;
            case PdmDepth: return 32;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY: return 96;
            case PdmDevicePixelRatio: return 1;
            case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize size_;
    mutable NullPaintEngine engine_;
};

}  // namespace vornel::fuzz
