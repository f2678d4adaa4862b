#pragma once

#include "analysis/SungrazerReport.h"
#include "model/CandidateSky.h"

#include <QDialog>

#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPlainTextEdit;

// A frame of the sequence as the track check sees it: its name and when it was taken.
struct SequenceFrame
{
    QString name;
    QDateTime time; // invalid when unknown
};

// "掠日彗星报告": the report the Sungrazer project's form asks for, with the track check's
// figures and flags, the corner and image size to report in, COPY and Save As.
class CSungrazerDlg : public QDialog
{
    Q_OBJECT
public:
    CSungrazerDlg(std::vector<Measurement> measurements, std::vector<SequenceFrame> frames,
                  QWidget* parent = nullptr);

    // The report as shown now, lines ended by "\n".
    QString reportText() const;
    // The track check's figures and flags as shown.
    QString checkText() const;
    // Adds where the measured track lies in the sky to the track check.
    void showSky(const TrackSky& sky);

private:
    void update();
    void OnCopy();
    void OnSaveAs();
    SungrazerOptions options() const;

    std::vector<Measurement> m_measurements; // in sequence order
    std::vector<SequenceFrame> m_frames;
    QButtonGroup* m_corner = nullptr;
    QComboBox* m_size = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QLabel* m_check = nullptr;
    QStringList m_skyLines;
};
