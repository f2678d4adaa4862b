#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

// The program itself, started with no display at all: no DISPLAY, WAYLAND_DISPLAY or platform.
// Returns what it printed on standard output; `errors`, when given, gets standard error.
inline QString runSkyrake(const QStringList& arguments, QString* errors = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SKYRAKE_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    const QString printedErrors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 0) << printedErrors.toStdString();
    if (errors)
        *errors = printedErrors;
    return QString::fromUtf8(process.readAllStandardOutput());
}
