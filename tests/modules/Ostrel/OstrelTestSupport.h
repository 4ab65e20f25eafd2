#pragma once

// Drives the proxies as the notes editor will: made by class id from the
// built server, reached through IDispatch and IViewObject only.

#include "Ostrel/OstrelLib.h"

#include "component/DispatchDriver.h"
#include "component/Registry.h"
#include "component/Values.h"
#include "component/ViewObject.h"

#include <QtGui/QImage>
#include <QtGui/QPaintDevice>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainter>

#include <gtest/gtest.h>

#define EXPECT_HR(expected, actual) EXPECT_EQ(Component::ResultName(expected), Component::ResultName(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(Component::ResultName(expected), Component::ResultName(actual))

struct CountingSite : Component::IObjectSite
{
    int changes = 0;
    void OnViewChange() override { ++changes; }
};

// One proxy with its dispatch driver and a site that counts redraw requests.
struct Proxy
{
    Component::ComPtr<Component::IViewObject> view;
    Component::DispatchDriver dispatch;
    CountingSite site;

    explicit Proxy(const QUuid &classId)
    {
        Component::HRESULT hr = Component::E_FAIL;
        view = Component::CreateInstance<Component::IViewObject>(classId, &hr);
        EXPECT_HR(Component::S_OK, hr);
        if (view) {
            dispatch.Attach(view.Get());
            view->SetSite(&site);
        }
    }
    ~Proxy()
    {
        if (view)
            view->SetSite(nullptr);
    }
    Proxy(const Proxy &) = delete;
    Proxy &operator=(const Proxy &) = delete;

    QSize Pixels() const
    {
        QSize himetric;
        view->GetExtent(&himetric);
        return Component::HimetricToPixels(himetric);
    }

    // The proxy drawn on a white image of its own size (or 'size').
    QImage Render(QSize size = {}, Component::DrawTarget target = Component::DrawTarget::Screen) const
    {
        if (size.isEmpty())
            size = Pixels();
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        view->Draw(&painter, image.rect(), target);
        return image;
    }
};

// A paint device that keeps the texts and fonts drawn on it instead of
// pixels, so that a proxy's text can be read back exactly.
class TextRecorder : public QPaintDevice
{
public:
    explicit TextRecorder(int dpi = 96)
        : m_dpi(dpi)
    { }
    ~TextRecorder() override = default;

    QPaintEngine *paintEngine() const override { return &m_engine; }
    QString Text() const { return m_engine.texts.join(QString()); }
    QList<QFont> Fonts() const { return m_engine.fonts; }

    // What 'proxy' writes into a band of 'size'.
    static QString TextOf(const Proxy &proxy, QSize size = QSize(2000, 20),
        Component::DrawTarget target = Component::DrawTarget::Screen)
    {
        TextRecorder recorder;
        QPainter painter(&recorder);
        proxy.view->Draw(&painter, QRect(QPoint(0, 0), size), target);
        painter.end();
        return recorder.Text();
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 4000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 4000 * 254 / (10 * m_dpi);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        Engine()
            : QPaintEngine(QPaintEngine::AllFeatures)
        { }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override { }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        void drawPath(const QPainterPath &) override { }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawTextItem(const QPointF &, const QTextItem &item) override
        {
            texts.append(item.text());
            fonts.append(item.font());
        }
        Type type() const override { return QPaintEngine::User; }

        QStringList texts;
        QList<QFont> fonts;
    };
    mutable Engine m_engine;
    int m_dpi;
};

// How many pixels of 'image' inside 'area' have a colour other than 'colour'.
inline int PixelsOtherThan(const QImage &image, const QColor &colour, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) != colour ? 1 : 0;
    }
    return count;
}

// How many pixels of 'image' are dark (text).
inline int DarkPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
    }
    return count;
}
