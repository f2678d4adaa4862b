#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a gzip file under tests/fixtures, unpacked: the real archive frames are kept as
// the archives serve them, .fts.gz. Empty (and a test failure added) when the file is missing or
// not whole.
QByteArray gunzippedFixture(const QString& relative);
