#pragma once

#include "analysis/Cutout.h"
#include "analysis/search/MoverSearch.h"
#include "model/CandidateSky.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

// The search's candidates, best first: each one's score, speed, direction, the frames it was
// seen in and how often a track as strong turns up in frames without a mover. Beside the list the
// chosen candidate's cutouts blink at the playback interval, enlarged, each frame's name under
// it. Up and Down choose, Enter (or "居中显示") centres the chosen one in the window, Delete (or
// "排除") dismisses it, "转为测量" makes its positions the frames' measurements.
class CCandidateDlg : public QDialog
{
    Q_OBJECT
public:
    // `frames`: the sequence's frames, whose cutouts are shown; `interval`: milliseconds a
    // cutout shows. `centre` is called with a chosen candidate's index, `dismiss` with a
    // dismissed one's index in the list as it stands then (the candidates after it move up).
    CCandidateDlg(const std::vector<Candidate>& candidates, std::vector<CutoutFrame> frames, int interval,
                  std::function<void(int)> centre, std::function<void(int)> dismiss,
                  QWidget* parent = nullptr);

    // The candidate whose positions were taken as measurements, an index into the list as it
    // stands after dismissals; -1 for none.
    int taken() const { return m_taken; }

    // Adds each candidate's place in the sky (start and end, whether it heads for the sun, the
    // planet it keeps near), one per row in the list's order.
    void showSky(const std::vector<TrackSky>& skies);

    // Cutouts are shown this many times their size.
    static constexpr int enlargement = 4;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int chosen() const;
    void showChosen();
    void showCutout();
    void dismissChosen();
    void updateSummary();
    void fitToColumns();

    std::vector<Candidate> m_candidates;
    std::vector<CutoutFrame> m_frames;
    std::function<void(int)> m_centre;
    std::function<void(int)> m_dismiss;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_cutout = nullptr;
    QLabel* m_frameName = nullptr;
    QPushButton* m_buttons[3] = {}; // centre, dismiss, take: enabled while there is a candidate
    std::vector<QImage> m_cutouts;  // the chosen candidate's, enlarged, one per frame
    size_t m_shown = 0;             // the frame whose cutout shows
    QTimer m_blink;
    int m_dismissedHere = 0;
    int m_taken = -1;
};

// How often a track as strong turns up in a window of frames without a mover, for the list:
// "1/50" for 0.02, "<1/1000" below 0.001.
QString falseAlarmText(double falseAlarms);
