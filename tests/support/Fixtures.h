#pragma once

#include <QString>

// Path of a test picture under tests/fixtures, e.g. fixture("real/lasco_c3_20130513_1654_512.jpg").
inline QString fixture(const QString& relative)
{
    return QStringLiteral(SKYRAKE_FIXTURES "/") + relative;
}

inline const QString lasco512Jpg = QStringLiteral("real/lasco_c3_20130513_1654_512.jpg");
inline const QString lasco512Gif = QStringLiteral("real/lasco_c3_20130513_1654_512.gif");
inline const QString lasco1024Jpg = QStringLiteral("real/lasco_c3_20130513_1654_1024.jpg");
inline const QString lasco1024Gif = QStringLiteral("real/lasco_c3_20130513_1654_1024.gif");
