#include "analysis/SungrazerReport.h"

#include <algorithm>
#include <cmath>

namespace {

// Half away from zero, as the report's numbers are rounded everywhere.
int rounded(double value)
{
    return int(std::round(value));
}

QSize reportedSize(const QSize& frame, int size)
{
    return size > 0 && frame.width() > 0 ? QSize(size, size * frame.height() / frame.width()) : frame;
}

} // namespace

QPoint reportedPosition(const Measurement& measurement, const SungrazerOptions& options)
{
    const QSize frame = measurement.frameSize;
    const QSize shown = reportedSize(frame, options.size);
    const double sx = frame.width() > 0 ? double(shown.width()) / frame.width() : 1.0;
    const double sy = frame.height() > 0 ? double(shown.height()) / frame.height() : 1.0;
    // Scaled about the picture's edge, then the centre of pixel i (at i + 0.5) reported as i.
    const QPointF reported = zeroBased(QPointF(measurement.position.x() * sx, measurement.position.y() * sy));
    const double x = reported.x();
    double y = reported.y();
    if (options.origin == SungrazerOptions::Corner::LowerLeft)
        y = shown.height() - 1 - y;
    return {rounded(x), rounded(y)};
}

QString sungrazerReport(std::vector<Measurement> measurements, const SungrazerOptions& options)
{
    std::stable_sort(measurements.begin(), measurements.end(),
                     [](const Measurement& a, const Measurement& b) {
                         if (a.info.time.isValid() != b.info.time.isValid())
                             return a.info.time.isValid();
                         return a.info.time < b.info.time;
                     });
    QString camera = QStringLiteral("unknown");
    for (const Measurement& m : measurements) {
        if (m.info.camera != Camera::Unknown) {
            camera = cameraName(m.info.camera);
            break;
        }
    }
    const QSize size =
        measurements.empty() ? QSize() : reportedSize(measurements.front().frameSize, options.size);
    const QString date = !measurements.empty() && measurements.front().info.time.isValid()
                             ? measurements.front().info.time.toUTC().toString(QStringLiteral("yyyy-MM-dd"))
                             : QStringLiteral("unknown");
    // The project's form takes LASCO C2 and C3 only; any other camera's positions go by mail, a
    // plain list with whole dates and times, since such a track may cross midnight.
    const bool formCamera = camera == cameraName(Camera::C2) || camera == cameraName(Camera::C3) ||
                            camera == QLatin1String("unknown");
    QString text = QStringLiteral("Camera: %1\n").arg(camera);
    if (!formCamera)
        text += QStringLiteral("The Sungrazer project's report form takes LASCO C2 and C3 only: "
                               "mail these times and positions instead.\n");
    text += size.isValid() ? QStringLiteral("Image size: %1x%2\n").arg(size.width()).arg(size.height())
                           : QStringLiteral("Image size: unknown\n");
    text += QStringLiteral("(0,0) position: %1\n")
                .arg(options.origin == SungrazerOptions::Corner::UpperLeft ? QStringLiteral("upper left")
                                                                           : QStringLiteral("lower left"));
    if (formCamera)
        text += QStringLiteral("Date of first image: %1\n").arg(date);
    for (const Measurement& m : measurements) {
        const QPoint at = reportedPosition(m, options);
        if (!formCamera) {
            const QString when =
                m.info.time.isValid() ? frameTimeText(m.info) : QStringLiteral("time unknown");
            text += QStringLiteral("%1  %2,%3\n").arg(when).arg(at.x()).arg(at.y());
            continue;
        }
        const QString time = m.info.time.isValid() ? m.info.time.toUTC().toString(QStringLiteral("HH:mm"))
                                                   : QStringLiteral("--:--");
        text += QStringLiteral("%1 %2,%3\n").arg(time).arg(at.x()).arg(at.y());
    }
    return text;
}
