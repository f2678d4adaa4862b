#pragma once

#include <QDialog>

class QLineEdit;
class QWidget;

// The playback interval dialog: a whole number of milliseconds from 100 to 10000.
class CSpeedDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int minInterval = 100;
    static constexpr int maxInterval = 10000;
    // What one click of the up-down arrows (or the Up and Down keys) adds or takes away.
    static constexpr int arrowStep = 100;

    explicit CSpeedDlg(int interval, QWidget* parent = nullptr);

    QLineEdit* m_intervalEdit = nullptr; // edit 1003
    QWidget* m_intervalSpin = nullptr;   // up-down 1004
    int m_value;                         // the interval, milliseconds

    void accept() override;
    // Steps the number in the field by `steps` arrow clicks, within the bounds.
    void stepBy(int steps);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Reads a whole number the way the dialog's field takes it (blanks around it allowed, an
// optional sign, digits only); false when the text is not one.
bool parseWholeNumber(const QString& text, int* value);
