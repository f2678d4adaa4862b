// Measuring in the view: a confirmed double-click records the centre of the object under it, one
// per frame; marks show on every frame; the Sungrazer report reads the measurements.
#include "../support/FakeDesktop.h"
#include "../support/Fixtures.h"
#include "../support/ModalScript.h"
#include "../viewer/ViewTestSupport.h"
#include "tools/CandidateDlg.h"
#include "tools/ConfirmDlg.h"
#include "tools/ReportDlg.h"
#include "tools/SungrazerDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The synthetic comet's frames under LASCO archive names, 12 minutes apart; the dot's centre
// in each, picture pixels.
const QPointF comet[] = {{360.5, 300.5}, {352.5, 294.5}, {344.5, 288.5}, {336.5, 282.5}};

class Measure : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QStringList paths;
        const char* times[] = {"1654", "1706", "1718", "1730"};
        for (int i = 0; i < 4; ++i) {
            paths << dir.filePath(QStringLiteral("20130513_%1_c3_512.jpg").arg(QLatin1String(times[i])));
            QFile::copy(fixture(QStringLiteral("derived/c3_synthetic_comet_f%1.jpg").arg(i)), paths.last());
        }
        harness.load(paths);
    }

    // A confirmed double-click at `point`; the report dialog that follows is closed.
    void measureAt(QPoint point)
    {
        ModalScript script;
        script.on<CConfirmDlg>([](CConfirmDlg* dialog) { clickButton(dialog, "ok"); });
        script.on<CReportDlg>([](CReportDlg* dialog) { clickButton(dialog, "ok"); });
        ASSERT_EQ(script.run([&] { view->OnLButtonDblClk(point); }), 2);
    }

    QTemporaryDir dir;
    FakeDesktop desktop;
    ViewHarness harness{600, 400};
    CSkyrakeView* view = harness.view;
};

TEST_F(Measure, EachFrameKeepsOneCentreNearTheObjectAndDeletingTheFrameDropsIt)
{
    for (int i = 0; i < 4; ++i) {
        // Clicks up to two pixels off the dot.
        measureAt((comet[i] + QPointF(i % 2 ? 2 : -1, 1)).toPoint());
        view->OnNextPicture();
    }
    measureAt(QPoint(359, 299)); // the first frame again: replaces its measurement
    std::vector<Measurement> measured = view->measurements();
    ASSERT_EQ(measured.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(measured[size_t(i)].refined);
        EXPECT_LT(QLineF(measured[size_t(i)].position, comet[i]).length(), 0.7);
        EXPECT_EQ(measured[size_t(i)].info.camera, Camera::C3);
    }
    // The Part's report holds every confirmed line, the repeated one too.
    EXPECT_EQ(view->report().count(QStringLiteral("\r\n")), 1 + 5);

    // The current frame's mark is green, a ring six pixels out from the centre.
    const QPoint ring = (measured[0].position + QPointF(6, 0)).toPoint();
    bool green = false;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QRgb pixel = view->windowImage().pixel(ring + QPoint(dx, dy));
            green = green || (qGreen(pixel) > 150 && qRed(pixel) < 100);
        }
    }
    EXPECT_TRUE(green);

    deleteAllPictures(*view);
    EXPECT_TRUE(view->measurements().empty());
}

TEST_F(Measure, TheSungrazerReportChecksTheTrackAndCopiesWithCrLf)
{
    for (int i = 0; i < 3; ++i) {
        measureAt(comet[i].toPoint());
        view->OnNextPicture();
    }
    QString report, check;
    ModalScript script;
    script.on<CSungrazerDlg>([&](CSungrazerDlg* dialog) {
        report = dialog->reportText();
        check = dialog->checkText();
        clickButton(dialog, "lowerLeft");
        clickButton(dialog, "copy");
        clickButton(dialog, "close");
    });
    script.run([&] { view->OnSungrazerReport(); });
    EXPECT_EQ(report, QStringLiteral(
                          "Camera: C3\nImage size: 512x512\n(0,0) position: upper left\n"
                          "Date of first image: 2013-05-13\n16:54 360,300\n17:06 352,294\n17:18 344,288\n"));
    // 10 pixels a frame, 12 minutes apart: 50 pixels an hour.
    const QRegularExpressionMatch speed =
        QRegularExpression(QStringLiteral("每小时 ([0-9.]+) 像素")).match(check);
    ASSERT_TRUE(speed.hasMatch()) << check.toStdString();
    EXPECT_NEAR(speed.captured(1).toDouble(), 50.0, 2.0);
    EXPECT_TRUE(check.contains(QStringLiteral("20130513_1730_c3_512.jpg：预计位置"))) << check.toStdString();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral(
                  "Camera: C3\r\nImage size: 512x512\r\n(0,0) position: lower left\r\n"
                  "Date of first image: 2013-05-13\r\n16:54 360,211\r\n17:06 352,217\r\n17:18 344,223\r\n"));
}

TEST_F(Measure, TheSearchFindsTheCometAndItsTrackBecomesTheMeasurements)
{
    // The candidate list comes up once the search ends (after a progress dialog if it takes a
    // while); the best candidate's positions are taken as measurements. The synthetic dot moves
    // 10 pixels a 512-pixel frame, faster than any comet crosses C3's wide field: it is searched
    // under C2's names, where a comet may move so.
    QStringList paths;
    const char* times[] = {"1654", "1706", "1718", "1730"};
    for (int i = 0; i < 4; ++i) {
        paths << dir.filePath(QStringLiteral("20130513_%1_c2_512.jpg").arg(QLatin1String(times[i])));
        QFile::copy(fixture(QStringLiteral("derived/c3_synthetic_comet_f%1.jpg").arg(i)), paths.last());
    }
    deleteAllPictures(*view);
    harness.load(paths);
    QString summary;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CCandidateDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        summary = dialog->findChild<QLabel*>(QStringLiteral("summary"))->text();
        clickButton(dialog, "take");
    });
    poll.start();
    view->OnSearchMovers();
    ASSERT_FALSE(view->candidates().empty()) << summary.toStdString();
    const std::vector<Measurement> measured = view->measurements();
    ASSERT_EQ(measured.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_LT(QLineF(measured[size_t(i)].position, comet[i]).length(), 1.0) << i;
        EXPECT_TRUE(measured[size_t(i)].refined) << i; // a clear object: its own centre, not the track's
    }
    // A change of the sequence drops the candidates: their positions were per frame.
    deleteAllPictures(*view);
    EXPECT_TRUE(view->candidates().empty());
}

} // namespace
