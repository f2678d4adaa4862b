#pragma once
// What the sweep's fault tests share: a comet sequence with its true track, a look into a
// database, and the program run as a process of its own.
#include "Fixtures.h"
#include "Programs.h"

#include "sample/SequenceMaker.h"
#include "sweep/Sweep.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

#include <gtest/gtest.h>

#include <functional>
#include <map>

// A 512-pixel sequence with the sample comet written as PNG files into `dir`; the true head
// positions by file name.
inline std::map<QString, QPointF> writeComet(const QString& dir, int frames)
{
    SampleOptions options;
    options.size = 512;
    options.frames = frames;
    std::map<QString, QPointF> truth;
    for (const SampleFrame& frame : makeSequence(QImage(fixture(lasco1024Jpg)), options)) {
        const QString name = frame.name + QStringLiteral(".png");
        EXPECT_TRUE(frame.picture.save(QDir(dir).filePath(name)));
        truth[name] = frame.comets.front();
    }
    return truth;
}

inline void cutOff(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() / 2));
}

// The rows a query gives, each row's columns joined by spaces.
inline QStringList rows(const QString& database, const QString& statement)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
        db.setDatabaseName(database);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
        while (query.next()) {
            QStringList columns;
            for (int i = 0; i < query.record().count(); ++i)
                columns << query.value(i).toString();
            rows << columns.join(QLatin1Char(' '));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("look"));
    return rows;
}

struct Finished
{
    int code = -1;
    QString errors;
};

// The program itself sweeping `frames` into `database`; `inChild` runs in the child before it
// starts (limits, another user).
inline Finished sweepProcess(const QStringList& arguments, const std::function<void()>& inChild = {})
{
    QProcess process;
    process.setProgram(QStringLiteral(SKYRAKE_BINARY));
    process.setArguments(arguments);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start();
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}
