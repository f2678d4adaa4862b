#include "analysis/SequenceStretch.h"

#include "platform/Picture.h"

namespace {

bool hasValues(const Picture& picture)
{
    return !picture.values().empty();
}

// A table's levels over every value of the frame, as grey pixels.
QImage mapValues(const StretchTable& table, const Picture& picture)
{
    QImage shown(picture.pixelWidth(), picture.pixelHeight(), QImage::Format_RGB32);
    const float* values = picture.values().data();
    for (int y = 0; y < shown.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
        const float* row = values + qsizetype(y) * shown.width();
        for (int x = 0; x < shown.width(); ++x) {
            const int level = table.level(row[x]);
            line[x] = qRgb(level, level, level);
        }
    }
    return shown;
}

// A table over every channel level of the decoded pixels.
QImage mapLevels(const StretchTable& table, const Picture& picture)
{
    const QImage& decoded = picture.decoded();
    QImage shown(decoded.size(), QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(decoded.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            to[x] = table.map(from[x]);
    }
    return shown;
}

} // namespace

void SequenceStretch::setSettings(const StretchSettings& settings)
{
    m_settings = settings;
    m_levels.reset();
    m_values.reset();
}

StretchSettings SequenceStretch::valueSettings() const
{
    StretchSettings settings = m_settings;
    if (settings.curve == StretchCurve::None) {
        settings.curve = StretchCurve::Linear;
        settings.limits = StretchLimits::ZScale;
    }
    return settings;
}

void SequenceStretch::measure(std::span<const Picture* const> frames)
{
    m_levels.reset();
    m_values.reset();
    for (const Picture* frame : frames) {
        if (hasValues(*frame) && !m_values) {
            const StretchSettings settings = valueSettings();
            const float* values = frame->values().data();
            const int w = frame->pixelWidth();
            const int h = frame->pixelHeight();
            const FloatAxis axis(stretchLimits(settings, values, w, h, w));
            const std::vector<quint32> histogram = settings.curve == StretchCurve::HistEq
                                                       ? floatHistogram(values, w, h, w, axis)
                                                       : std::vector<quint32>{};
            m_values = StretchTable::forFloats(settings, axis, &histogram);
        } else if (!hasValues(*frame) && !m_levels) {
            const Range range = m_settings.curve == StretchCurve::None
                                    ? Range{0, 255}
                                    : stretchLimits(m_settings, frame->decoded());
            const std::vector<quint32> histogram = m_settings.curve == StretchCurve::HistEq
                                                       ? byteHistogram(frame->decoded(), range)
                                                       : std::vector<quint32>{};
            m_levels = StretchTable::forBytes(m_settings, range, &histogram);
        }
        if (m_levels && m_values)
            break;
    }
}

bool SequenceStretch::measuredFor(const Picture& picture) const
{
    return hasValues(picture) ? m_values.has_value() : m_levels.has_value();
}

std::shared_ptr<const Picture> SequenceStretch::shownOf(const Picture& picture) const
{
    QImage shown;
    if (hasValues(picture) && m_values)
        shown = mapValues(*m_values, picture);
    else if (!hasValues(picture) && m_levels && !m_levels->isIdentity())
        shown = mapLevels(*m_levels, picture);
    if (shown.isNull())
        return nullptr;
    return std::make_shared<const Picture>(std::move(shown), picture.himetricWidth(),
                                           picture.himetricHeight());
}
