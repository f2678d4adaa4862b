// The candidate list: the chosen candidate's cutouts blink at the playback interval, Enter centres
// it, Delete dismisses it from the list and the window, and a new search over the same frames
// leaves it out.
#include "../support/FakeDesktop.h"
#include "../support/ModalScript.h"
#include "../support/SampleFiles.h"
#include "../support/ViewHarness.h"
#include "analysis/Cutout.h"
#include "tools/CandidateDlg.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Pixels of the tracks' colour within 12 window pixels of `at`.
int trackPixels(const QImage& window, QPointF at)
{
    int count = 0;
    for (int y = int(at.y()) - 12; y <= int(at.y()) + 12; ++y)
        for (int x = int(at.x()) - 12; x <= int(at.x()) + 12; ++x)
            count += window.valid(x, y) && window.pixel(x, y) == qRgb(0, 200, 255);
    return count;
}

TEST(CandidateList, CutoutsBlinkEnterCentresAndDeleteDismissesForLaterSearches)
{
    FakeDesktop desktop;
    QTemporaryDir dir;
    ViewHarness harness(600, 400);
    harness.load(writeSampleSequence(dir.path()));
    CSkyrakeView* view = harness.view;
    ASSERT_EQ(view->pictures().GetCount(), 8);
    view->playback().setInterval(100);
    std::vector<const Picture*> pictures;
    QStringList names;
    for (POSITION pos = view->pictures().GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        pictures.push_back(PictureList::GetAt(pos)->m_pPicture.get());
        names << PictureList::GetAt(pos)->m_name;
    }

    int listed = -1;
    ModalScript script;
    script.on<CCandidateDlg>([&](CCandidateDlg* dialog) {
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("candidates"));
        auto* shown = dialog->findChild<QLabel*>(QStringLiteral("cutout"));
        auto* frame = dialog->findChild<QLabel*>(QStringLiteral("cutoutFrame"));
        listed = table->rowCount();
        if (listed == 0 || view->candidates().size() != size_t(listed)) {
            dialog->reject();
            return;
        }
        // The best candidate's cutout of the first frame, then of the next after the interval.
        const Candidate best = view->candidates().front();
        const auto showsFrame = [&](int f) {
            const QImage expected = enlargedCutout(cutout(*pictures[size_t(f)], best.positions[size_t(f)]),
                                                   CCandidateDlg::enlargement);
            return frame->text() == names[f] &&
                   shown->pixmap().toImage().convertToFormat(QImage::Format_RGB32) == expected;
        };
        EXPECT_TRUE(showsFrame(0));
        QElapsedTimer waited;
        waited.start();
        while (frame->text() == names[0] && waited.elapsed() < 3000)
            QTest::qWait(10);
        EXPECT_TRUE(showsFrame(1)) << frame->text().toStdString();

        // Enter puts the chosen candidate in the middle of the window.
        QTest::keyClick(table, Qt::Key_Return);
        const QPointF here = best.positions[size_t(view->currentIndex())] * view->placement().zoom() +
                             QPointF(view->placement().offsetX(), view->placement().offsetY());
        EXPECT_LT(QLineF(here, QPointF(300, 200)).length(), 1.0);

        // Delete takes it out of the list and the window.
        EXPECT_GT(trackPixels(view->windowImage(), here), 0);
        QTest::keyClick(table, Qt::Key_Delete);
        EXPECT_EQ(table->rowCount(), listed - 1);
        ASSERT_EQ(view->candidates().size(), size_t(listed - 1));
        EXPECT_EQ(trackPixels(view->windowImage(), here), 0);
        dialog->reject();
    });
    script.run([&] { view->OnSearchMovers(); });
    ASSERT_GE(listed, 1) << "the search found nothing";

    // Searching again over the same frames does not bring the dismissed one back, unless the
    // dismissals are forgotten.
    const auto listedBySearch = [&] {
        script.on<CCandidateDlg>([&](CCandidateDlg* dialog) {
            listed = dialog->findChild<QTableWidget*>(QStringLiteral("candidates"))->rowCount();
            dialog->reject();
        });
        script.run([&] { view->OnSearchMovers(); });
        return listed;
    };
    const int kept = int(view->candidates().size());
    EXPECT_EQ(listedBySearch(), kept);
    EXPECT_EQ(view->dismissedCandidates().dismissals().size(), 1u);
    view->setDismissedCandidates({});
    EXPECT_EQ(listedBySearch(), kept + 1);
}

TEST(CandidateList, FalseAlarmsShowAsOneInSoManyWindows)
{
    const struct
    {
        double falseAlarms;
        const char* text;
    } cases[] = {{0.02, "1/50"},      {0.5, "1/2"},   {0.0011, "1/909"}, {0.001, "1/1000"},
                 {0.0009, "<1/1000"}, {0, "<1/1000"}, {2.5, "2.5"}};
    for (const auto& c : cases)
        EXPECT_EQ(falseAlarmText(c.falseAlarms), QString::fromLatin1(c.text)) << c.falseAlarms;
}

} // namespace
