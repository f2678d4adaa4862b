#include "analysis/Track.h"

#include <QCoreApplication>

#include <cmath>
#include <set>

namespace {

// The flags' texts, translated in the context "Track" (lupdate finds them by the class).
struct Track
{
    Q_DECLARE_TR_FUNCTIONS(Track)
};

double hoursBetween(const QDateTime& from, const QDateTime& to)
{
    return double(from.msecsTo(to)) / 3.6e6;
}

// y = a + b t by least squares.
std::pair<double, double> line(const std::vector<double>& t, const std::vector<double>& y)
{
    const double n = double(t.size());
    double st = 0, sy = 0, stt = 0, sty = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        st += t[i];
        sy += y[i];
        stt += t[i] * t[i];
        sty += t[i] * y[i];
    }
    const double b = (n * sty - st * sy) / (n * stt - st * st);
    return {(sy - b * st) / n, b};
}

} // namespace

double TrackFit::speed() const
{
    return std::hypot(vx, vy);
}

double TrackFit::positionAngle() const
{
    // Up is -y in the picture, left is -x.
    const double degrees = std::atan2(-vx, -vy) * 180.0 / M_PI;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

QPointF TrackFit::at(const QDateTime& time) const
{
    const double t = hoursBetween(origin, time);
    return {x0 + vx * t, y0 + vy * t};
}

std::optional<TrackFit> fitTrack(const std::vector<Measurement>& measurements)
{
    std::vector<const Measurement*> timed;
    for (const Measurement& m : measurements) {
        if (m.info.time.isValid())
            timed.push_back(&m);
    }
    if (timed.size() < 2)
        return std::nullopt;
    TrackFit fit;
    fit.origin = timed.front()->info.time;
    std::vector<double> t, x, y;
    for (const Measurement* m : timed) {
        t.push_back(hoursBetween(fit.origin, m->info.time));
        x.push_back(m->position.x());
        y.push_back(m->position.y());
    }
    if (std::all_of(t.begin(), t.end(), [&](double v) { return v == t.front(); }))
        return std::nullopt;
    std::tie(fit.x0, fit.vx) = line(t, x);
    std::tie(fit.y0, fit.vy) = line(t, y);
    return fit;
}

QStringList trackFlags(const std::vector<Measurement>& measurements, const std::optional<TrackFit>& fit)
{
    QStringList flags;
    std::set<Camera> cameras;
    std::set<std::pair<int, int>> sizes;
    bool untimed = false;
    for (const Measurement& m : measurements) {
        if (m.info.camera != Camera::Unknown)
            cameras.insert(m.info.camera);
        sizes.insert({m.frameSize.width(), m.frameSize.height()});
        untimed = untimed || !m.info.time.isValid();
        if (fit && m.info.time.isValid()) {
            const QPointF off = m.position - fit->at(m.info.time);
            const double residual = std::hypot(off.x(), off.y());
            if (residual > maxResidual)
                flags << Track::tr("%1 的位置偏离直线轨迹 %2 像素（超过 1.5 像素）。")
                             .arg(m.frame)
                             .arg(residual, 0, 'f', 1);
        }
    }
    const int needed = cameras.size() == 1 && *cameras.begin() == Camera::C2 ? 2 : 3;
    if (int(measurements.size()) < needed)
        flags << (needed == 2 ? Track::tr("C2 图片至少需要 2 个位置。")
                              : Track::tr("C3 图片至少需要 3 个位置。"));
    if (cameras.size() > 1)
        flags << Track::tr("测量来自不止一个相机的图片。");
    if (sizes.size() > 1)
        flags << Track::tr("测量来自不止一种大小的图片。");
    for (size_t i = 1; i < measurements.size(); ++i) {
        const QDateTime& before = measurements[i - 1].info.time;
        const QDateTime& after = measurements[i].info.time;
        if (before.isValid() && after.isValid() && after <= before) {
            flags << Track::tr("图片的时间没有随顺序递增。");
            break;
        }
    }
    std::set<QDate> days;
    for (const Measurement& m : measurements) {
        if (m.info.time.isValid())
            days.insert(m.info.time.toUTC().date());
    }
    if (days.size() > 1)
        flags << Track::tr("轨迹跨过了世界时午夜：报告表只能填一个日期。");
    if (untimed)
        flags << Track::tr("有图片不知道拍摄时间。");
    return flags;
}
