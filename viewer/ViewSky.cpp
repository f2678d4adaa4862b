// The sky over the frames: the sun's centre and limb, circles of equal elongation, spokes of
// equal position angle and the planets in the field, from each frame's own geometry and time.
#include "viewer/SkyrakeView.h"

#include "analysis/sky/Ephemeris.h"
#include "tools/KnownCometsDlg.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double elongations[] = {2, 5, 10, 20, 30}; // solar radii
constexpr double outermost = 30;

QString observerText(ObserverPlace place)
{
    switch (place) {
    case ObserverPlace::Header:
        return CSkyrakeView::tr("观测者的位置：取自文件头");
    case ObserverPlace::Geostationary:
        return CSkyrakeView::tr("GOES-19 的位置：地球静止轨道，西经 75.2°");
    case ObserverPlace::L1:
        break;
    }
    return CSkyrakeView::tr("SOHO 的位置：地球位置的 0.99 倍（L1）");
}

} // namespace

void CSkyrakeView::OnSkyOverlay()
{
    setSkyShown(!m_showSky);
}

void CSkyrakeView::OnKnownComets()
{
    CKnownCometsDlg dialog(knownCometsText(), window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    setKnownComets(dialog.text());
    ShowCurrent();
}

void CSkyrakeView::setSkyShown(bool shown)
{
    m_showSky = shown;
    ShowCurrent();
    Q_EMIT shownChanged();
}

void CSkyrakeView::DrawSky(QPainter& target)
{
    const CPictureItem* item = current();
    if (!m_showSky || !item)
        return;
    const FrameGeometry& geometry = geometryOf(*item);
    if (!geometry.known())
        return;
    const auto onWindow = [&](double elongation, double angle) {
        return m_placement.toWindow(picturePoint(geometry, {elongation, angle}));
    };
    target.save();
    target.setRenderHint(QPainter::Antialiasing);
    const QColor ink(255, 210, 0, 190);
    target.setPen(QPen(ink, 1));
    target.setBrush(Qt::NoBrush);
    // The limb and the circles, traced through the camera's distortion.
    for (const double elongation : {1.0, 2.0, 5.0, 10.0, 20.0, 30.0}) {
        QPainterPath circle(onWindow(elongation, 0));
        for (int angle = 2; angle <= 360; angle += 2)
            circle.lineTo(onWindow(elongation, angle));
        target.drawPath(circle);
    }
    for (const double elongation : elongations)
        target.drawText(onWindow(elongation, 315) + QPointF(3, -3), tr("%1 R☉").arg(elongation));
    for (int angle = 0; angle < 360; angle += 30) {
        target.drawLine(onWindow(1, angle), onWindow(outermost, angle));
        target.drawText(onWindow(outermost, angle) + QPointF(3, -3), tr("%1°").arg(angle));
    }
    // The planets and known comets in the field, named, as the frame's camera saw them.
    for (const BodyInFrame& body : bodiesOn(*item, knownComets())) {
        const QPointF at = m_placement.toWindow(body.position);
        target.drawEllipse(at, 7, 7);
        target.drawText(at + QPointF(9, -9), body.name);
    }
    // Whence the spacecraft's place came, which the planets' places depend on.
    // A header whose distortion tables wcslib cannot read is placed by its linear WCS alone.
    QString note = observerText(observerOf(*item).place);
    if (geometry.linearOnly)
        note += tr("；畸变查找表未用，仅按线性 WCS");
    target.drawText(QPointF(8, m_clientRect.height() - 8), note);
    const QPointF sun = m_placement.toWindow(geometry.sun);
    target.drawLine(sun - QPointF(6, 0), sun + QPointF(6, 0));
    target.drawLine(sun - QPointF(0, 6), sun + QPointF(0, 6));
    target.restore();
}
