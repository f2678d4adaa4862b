#pragma once

#include "analysis/MoverSearch.h"

#include <QDialog>

#include <functional>
#include <vector>

class QTableWidget;

// The search's candidates, best first: each one's score, speed, direction and the frames it was
// seen in. Choosing one centres it in the window; "转为测量" makes its positions the frames'
// measurements.
class CCandidateDlg : public QDialog
{
    Q_OBJECT
public:
    // `centre` is called with a chosen candidate's index.
    CCandidateDlg(const std::vector<Candidate>& candidates, std::function<void(int)> centre,
                  QWidget* parent = nullptr);

    // The candidate whose positions were taken as measurements; -1 for none.
    int taken() const { return m_taken; }

private:
    int chosen() const;

    QTableWidget* m_table = nullptr;
    std::function<void(int)> m_centre;
    int m_taken = -1;
};
