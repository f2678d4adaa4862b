#pragma once

#include <QStatusBar>
#include <QString>

#include <array>

class QLabel;

// The status bar's panes by what they show.
enum class Pane : int
{
    Message = 0,  // prompts, else the idle text
    Position = 1, // picture position under the pointer
    Zoom = 2,
    Name = 3,  // the current picture's name
    Count = 4, // how many pictures are loaded
    CapsLock = 5,
    NumLock = 6,
    ScrollLock = 7,
    FrameTime = 8, // when the current frame was taken, where its name or header tells
    Sky = 9,       // elongation and position angle under the pointer, where the frame's geometry is known
};

// The main window's status bar: pane 0 is the message line (prompts, else the idle text),
// panes 1-7 fixed panes. Panes 5-7 are the keyboard lock indicators.
class PaneBar : public QStatusBar
{
    Q_OBJECT
public:
    static constexpr int paneCount = 10;

    explicit PaneBar(QWidget* parent = nullptr);

    // Writes a pane and repaints it at once. The message pane takes the text as its idle text.
    void setPaneText(Pane pane, const QString& text);
    QString paneText(Pane pane) const;
    // Width of a fixed pane, in pixels.
    void setPaneWidth(Pane pane, int width);
    int paneWidth(Pane pane) const;

private:
    std::array<QLabel*, paneCount> m_panes{};
};

// Writes a pane of the status bar of the window that holds `widget`; does nothing when that
// window has no status bar (for instance while it is hidden from a test).
void setPaneText(const QWidget* widget, Pane pane, const QString& text);
