#pragma once

#include <QDialog>

class QPlainTextEdit;

// View > 已知彗星: the known comets' orbital elements, one comet a line in the Minor Planet
// Center's one-line format, pasted or loaded from a file (CometEls.txt).
class CKnownCometsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CKnownCometsDlg(const QString& text, QWidget* parent = nullptr);

    QString text() const;
    void accept() override;

private:
    void load();

    QPlainTextEdit* m_elements = nullptr;
};
