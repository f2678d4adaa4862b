#include "pictures/FrameInfo.h"

#include <QFileInfo>
#include <QStringView>

#include <optional>

namespace {

// ASCII digits only: QChar::isDigit() would also take other scripts' digits.
bool allDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool oneOf(QStringView text, std::initializer_list<const char16_t*> choices)
{
    for (const char16_t* choice : choices) {
        if (text.compare(QStringView(choice), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

Camera cameraFrom(QStringView text)
{
    if (text.compare(u"C2", Qt::CaseInsensitive) == 0)
        return Camera::C2;
    if (text.compare(u"C3", Qt::CaseInsensitive) == 0)
        return Camera::C3;
    if (text.compare(u"ccor1", Qt::CaseInsensitive) == 0 || text.compare(u"CCOR-1", Qt::CaseInsensitive) == 0)
        return Camera::Ccor1;
    if (text.compare(u"ccor2", Qt::CaseInsensitive) == 0 || text.compare(u"CCOR-2", Qt::CaseInsensitive) == 0)
        return Camera::Ccor2;
    if (text.compare(u"PUNCH", Qt::CaseInsensitive) == 0)
        return Camera::Punch;
    return Camera::Unknown;
}

// "<W>by<H>", as CCOR-1 names give a frame's size.
bool isFrameSize(QStringView text)
{
    const qsizetype by = text.indexOf(u"by");
    return by > 0 && allDigits(text.left(by)) && by + 2 < text.size() && allDigits(text.mid(by + 2));
}

// "YYYY-MM-DD" or "YYYY/MM/DD".
std::optional<QDate> parseDate(QStringView text)
{
    if (text.size() != 10 || (text[4] != u'-' && text[4] != u'/') || text[7] != text[4])
        return std::nullopt;
    const QStringView year = text.mid(0, 4), month = text.mid(5, 2), day = text.mid(8, 2);
    if (!allDigits(year) || !allDigits(month) || !allDigits(day))
        return std::nullopt;
    const QDate date(year.toInt(), month.toInt(), day.toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

struct TimeOfDay
{
    QTime time;
    bool hasSeconds = false;
};

// "hh:mm", "hh:mm:ss" or "hh:mm:ss.f..." with an optional trailing Z. The fraction is kept to the
// millisecond, truncated, so that 23:59:59.9999 stays on its day.
std::optional<TimeOfDay> parseTime(QStringView text)
{
    if (text.endsWith(u'Z'))
        text.chop(1);
    if (text.size() < 5 || text[2] != u':')
        return std::nullopt;
    const QStringView hours = text.mid(0, 2), minutes = text.mid(3, 2);
    if (!allDigits(hours) || !allDigits(minutes))
        return std::nullopt;
    TimeOfDay result;
    int seconds = 0, milliseconds = 0;
    if (text.size() > 5) {
        const QStringView rest = text.mid(5);
        if (rest.size() < 3 || rest[0] != u':' || !allDigits(rest.mid(1, 2)))
            return std::nullopt;
        seconds = rest.mid(1, 2).toInt();
        result.hasSeconds = true;
        if (rest.size() > 3) {
            const QStringView fraction = rest.mid(4);
            if (rest[3] != u'.' || !allDigits(fraction))
                return std::nullopt;
            const QString padded = fraction.left(3).toString().leftJustified(3, u'0');
            milliseconds = padded.toInt();
        }
    }
    result.time = QTime(hours.toInt(), minutes.toInt(), seconds, milliseconds);
    if (!result.time.isValid())
        return std::nullopt;
    return result;
}

} // namespace

FrameInfo frameInfoFromName(const QString& fileName)
{
    QString name = QFileInfo(fileName).fileName();
    if (name.endsWith(u".gz"))
        name.chop(3);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QStringView extension = QStringView(name).mid(dot + 1);
    if (!oneOf(extension, {u"jpg", u"jpeg", u"gif", u"png", u"fts", u"fits"}))
        return {};
    // The older browse names carry no size: YYYYMMDD_HHMM_c2.gif.
    const QList<QStringView> parts = QStringView(name).left(dot).split(u'_');
    if ((parts.size() != 3 && parts.size() != 4) || parts[0].size() != 8 || parts[1].size() != 4 ||
        !allDigits(parts[0]) || !allDigits(parts[1]) ||
        (parts.size() == 4 && !oneOf(parts[3], {u"256", u"512", u"1024"}) && !isFrameSize(parts[3])))
        return {};
    const Camera camera = cameraFrom(parts[2]);
    // LASCO names give the side alone, CCOR names both sides.
    const bool ccor = camera == Camera::Ccor1 || camera == Camera::Ccor2;
    if (camera == Camera::Unknown || camera == Camera::Punch ||
        ccor != (parts.size() == 4 && isFrameSize(parts[3])))
        return {};
    const QDate date(parts[0].mid(0, 4).toInt(), parts[0].mid(4, 2).toInt(), parts[0].mid(6, 2).toInt());
    const QTime time(parts[1].mid(0, 2).toInt(), parts[1].mid(2, 2).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    FrameInfo info;
    info.time = QDateTime(date, time, Qt::UTC);
    info.camera = camera;
    return info;
}

FrameInfo frameInfoFromHeader(const HeaderKeyword& keyword)
{
    FrameInfo info;
    for (const char* key : {"DETECTOR", "INSTRUME", "PROJECT", "OBSRVTRY"}) {
        info.camera = cameraFrom(keyword(key).trimmed());
        if (info.camera != Camera::Unknown)
            break;
    }

    const QString dateObs = keyword("DATE-OBS").trimmed();
    const QStringView dateText = QStringView(dateObs).left(10);
    std::optional<TimeOfDay> time;
    if (dateObs.size() > 10) {
        if (dateObs[10] != u'T')
            return info;
        time = parseTime(QStringView(dateObs).mid(11));
    } else {
        time = parseTime(keyword("TIME-OBS").trimmed());
    }
    const std::optional<QDate> date = parseDate(dateText);
    if (date && time) {
        info.time = QDateTime(*date, time->time, Qt::UTC);
        info.hasSeconds = time->hasSeconds;
    }
    return info;
}

FrameInfo mergeFrameInfo(const FrameInfo& header, const FrameInfo& name)
{
    FrameInfo merged = header.time.isValid() ? header : name;
    merged.camera = header.camera != Camera::Unknown ? header.camera : name.camera;
    return merged;
}

QString frameTimeText(const FrameInfo& info)
{
    if (!info.time.isValid())
        return {};
    const QDateTime utc = info.time.toUTC();
    const QString format =
        info.hasSeconds ? QStringLiteral("yyyy-MM-dd HH:mm:ss") : QStringLiteral("yyyy-MM-dd HH:mm");
    return utc.toString(format) + QStringLiteral(" UT");
}

QString cameraName(Camera camera)
{
    switch (camera) {
    case Camera::C2:
        return QStringLiteral("C2");
    case Camera::C3:
        return QStringLiteral("C3");
    case Camera::Ccor1:
        return QStringLiteral("CCOR-1");
    case Camera::Ccor2:
        return QStringLiteral("CCOR-2");
    case Camera::Punch:
        return QStringLiteral("PUNCH");
    case Camera::Unknown:
        break;
    }
    return {};
}

FrameInfo frameInfoOf(const QString& fileName, const QHash<QString, QString>& keywords)
{
    const FrameInfo named = frameInfoFromName(fileName);
    if (keywords.isEmpty())
        return named;
    const FrameInfo header =
        frameInfoFromHeader([&keywords](const char* key) { return keywords.value(QLatin1String(key)); });
    return mergeFrameInfo(header, named);
}
