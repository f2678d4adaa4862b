// The command line: pictures named there are appended as File Open appends them, and the
// headless composite writes exactly what the view composes on screen.
#include "FakeDesktop.h"
#include "Fixtures.h"
#include "ViewHarness.h"

#include "app/CommandLine.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList cometFrames()
{
    QStringList frames;
    for (int i = 0; i < 4; ++i)
        frames << fixture(QStringLiteral("derived/c3_synthetic_comet_f%1.jpg").arg(i));
    return frames;
}

} // namespace

TEST(CommandLine, OptionsAndPicturesAreTakenApart)
{
    const CommandLine plain = parseCommandLine({"skyrake", "a.jpg", "b.gif"});
    EXPECT_EQ(plain.pictures, (QStringList{"a.jpg", "b.gif"}));
    EXPECT_TRUE(plain.error.isEmpty());
    EXPECT_TRUE(plain.compositeOut.isEmpty());

    const CommandLine composite = parseCommandLine({"skyrake", "--composite", "out.png", "a.jpg", "b.jpg"});
    EXPECT_EQ(composite.compositeOut, "out.png");
    EXPECT_EQ(composite.pictures, (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_EQ(parseCommandLine({"skyrake", "--composite=o.png", "a", "b"}).compositeOut, "o.png");

    EXPECT_TRUE(parseCommandLine({"skyrake", "--help"}).showHelp);
    EXPECT_TRUE(parseCommandLine({"skyrake", "--version"}).showVersion);
    // A file whose name starts with a dash is reached after "--".
    EXPECT_EQ(parseCommandLine({"skyrake", "--", "-odd.jpg"}).pictures, QStringList{"-odd.jpg"});

    EXPECT_FALSE(parseCommandLine({"skyrake", "--bogus"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--composite"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"skyrake", "--composite", "out.png", "one.jpg"}).error.isEmpty());
}

TEST(CommandLine, PicturesAreAppendedInTheGivenOrderSkippingUnreadableOnes)
{
    FakeDesktop desktop;
    ViewHarness harness(600, 400);
    const QStringList frames = cometFrames();
    appendPictures(*harness.view,
                   {frames[2], fixture(QStringLiteral("crafted/html_404_named.jpg")), frames[0]});
    const PictureList& pictures = harness.view->pictures();
    ASSERT_EQ(pictures.GetCount(), 2);
    EXPECT_EQ(PictureList::GetAt(pictures.GetHeadPosition())->m_name, "c3_synthetic_comet_f2.jpg");
    EXPECT_EQ(PictureList::GetAt(pictures.GetTailPosition())->m_name, "c3_synthetic_comet_f0.jpg");
    // The first picture of the sequence is shown, and no message box interrupts a start-up.
    EXPECT_EQ(harness.view->currentIndex(), 0);
    EXPECT_EQ(harness.pane(3), "c3_synthetic_comet_f2.jpg");
    EXPECT_EQ(harness.pane(4), QStringLiteral("共有2幅图片")); // at once, before any repaint
    EXPECT_TRUE(desktop.messages.isEmpty());
}

// The program itself, started with no display at all: no DISPLAY, WAYLAND_DISPLAY or platform.
QString runSkyrake(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SKYRAKE_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(CommandLine, VersionIsTheVersionRecords)
{
    EXPECT_EQ(runSkyrake({QStringLiteral("--version")}), QStringLiteral("skyrake 1.0.0.1\n"));
}

TEST(CommandLine, HeadlessCompositeNeedsNoDisplayAndEqualsTheViewsComposite)
{
    const QStringList frames = cometFrames();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("composite.png"));
    runSkyrake(QStringList{QStringLiteral("--composite"), out} + frames);
    const QImage written(out);
    ASSERT_EQ(written.size(), QSize(512, 512));

    ViewHarness harness(512, 512);
    harness.load(frames);
    harness.view->setGridShown(false);
    harness.view->OnComposite();
    const QImage shown = harness.view->windowImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(512, 512));
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), shown);

    // And it is a real difference picture: black where nothing moved, bright where the dot was.
    EXPECT_EQ(qGray(written.pixel(20, 20)), 0);
    EXPECT_GT(qGray(written.pixel(360, 300)), 60);
    EXPECT_GT(qGray(written.pixel(336, 282)), 60);
}

TEST(CommandLine, HeadlessCompositeNeedsTwoReadablePictures)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("composite.png"));
    EXPECT_NE(runHeadlessComposite(out, {cometFrames()[0], fixture(QStringLiteral("crafted/empty.jpg"))}), 0);
    EXPECT_FALSE(QFile::exists(out));
}
