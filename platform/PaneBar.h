#pragma once

#include <QStatusBar>
#include <QString>

#include <array>

class QLabel;

// The main window's status bar: pane 0 is the message line (prompts, else the idle text),
// panes 1-7 fixed panes. Panes 5-7 are the keyboard lock indicators.
class PaneBar : public QStatusBar
{
    Q_OBJECT
public:
    static constexpr int paneCount = 8;

    explicit PaneBar(QWidget* parent = nullptr);

    // Writes pane `index` and repaints it at once. Pane 0 takes the text as its idle text.
    void setPaneText(int index, const QString& text);
    QString paneText(int index) const;
    // Width of a fixed pane, in pixels.
    void setPaneWidth(int index, int width);
    int paneWidth(int index) const;

private:
    std::array<QLabel*, paneCount> m_panes{};
};

// Writes pane `index` of the status bar of the window that holds `widget`; does nothing when
// that window has no status bar (for instance while it is hidden from a test).
void setPaneText(const QWidget* widget, int index, const QString& text);
