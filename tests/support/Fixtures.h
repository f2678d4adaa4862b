#pragma once

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

// Path of a test picture under tests/fixtures, e.g. fixture("real/lasco_c3_20130513_1654_512.jpg").
inline QString fixture(const QString& relative)
{
    return QStringLiteral(SKYRAKE_FIXTURES "/") + relative;
}

// The bytes of a test file under tests/fixtures; empty, and a test failure added, when it is missing.
inline QByteArray fixtureBytes(const QString& relative)
{
    QFile file(fixture(relative));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture " << relative.toStdString();
    return file.readAll();
}

inline const QString lasco512Jpg = QStringLiteral("real/lasco_c3_20130513_1654_512.jpg");
inline const QString lasco512Gif = QStringLiteral("real/lasco_c3_20130513_1654_512.gif");
inline const QString lasco1024Jpg = QStringLiteral("real/lasco_c3_20130513_1654_1024.jpg");
inline const QString lasco1024Gif = QStringLiteral("real/lasco_c3_20130513_1654_1024.gif");
