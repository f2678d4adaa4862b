#pragma once

#include "pictures/PictureList.h"
#include "platform/CommandMap.h"
#include "platform/Surface.h"

#include <QPen>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

class QPainter;
class QPrinter;

// The one view: it holds all of the program's working state (the picture sequence and its
// current position, placement and zoom, channel and grid switches, drag state, off-screen
// surfaces, playback and the report) and handles every command that works on it.
//
// Drawing: everything the window shows is composed in `m_window`, an image of the client area;
// paintEvent() only copies it to the screen. OnDraw() runs deferred, outside paintEvent(), so
// that a failed render can show its message box.
class CSkyrakeView : public QWidget
{
    Q_OBJECT
public:
    explicit CSkyrakeView(QWidget* parent = nullptr);
    ~CSkyrakeView() override;

    // The view's message map: its command handlers and update handlers by id.
    const CommandMap& commands() const { return m_commands; }
    // The route of the right-button menu's commands: the view, then the document.
    void setDocumentCommands(const CommandMap* document);

    // ---- The picture sequence (pictures/) -------------------------------------------------
    CPictureItem* m_pCurrent = nullptr; // the item being shown; refers into m_pictures
    PictureList m_pictures;
    POSITION m_curPos = nullptr; // node of m_pictures, or null: no current picture
    QString m_path;              // full path of the file being imported

    // ---- Colours and pen ------------------------------------------------------------------
    const QRgb m_brushBlack = qRgb(0, 0, 0);
    const QRgb m_brushCyan = qRgb(0, 255, 255);    // mask that removes red
    const QRgb m_brushMagenta = qRgb(255, 0, 255); // mask that removes green
    const QRgb m_brushYellow = qRgb(255, 255, 0);  // mask that removes blue

    // ---- Placement, window pixels ---------------------------------------------------------
    int m_offsetX = 0; // client x of the picture's top-left corner; may be negative
    int m_offsetY = 0; // client y of the picture's top-left corner
    double m_zoom = 1.0;

    // ---- Drag state, window pixels ----------------------------------------------------------
    int m_dragStartX = 0; // client point where the drag began
    int m_dragStartY = 0;
    int m_dragOrgX = 0; // offsets when the drag began
    int m_dragOrgY = 0;
    bool m_dragging = false;

    bool m_playing = false;
    bool m_needSurfaces = true;
    bool m_showGrid = true;
    bool m_showRed = true;
    bool m_showGreen = true;
    bool m_showBlue = true;
    QPen m_gridPen;

    QString m_report;

    // ---- Off-screen surfaces, client-sized --------------------------------------------------
    Surface m_dcWork;      // current picture as rendered, channel masks applied
    Surface m_dcMask;      // one mask colour at a time
    Surface m_dcComposite; // reference picture of the difference composite

    int m_imageWidth = 0;  // displayed (zoomed) width in window pixels, as last rendered
    int m_imageHeight = 0; // displayed (zoomed) height in window pixels
    QRect m_clientRect;    // client rectangle as of the last paint; left and top are 0
    int m_interval = 300;  // playback interval, milliseconds
    // Renders asked for without a current picture, refused; stays 0 unless a caller is wrong.
    int m_rendersRefused = 0;

    // ---- Display operations -----------------------------------------------------------------
    bool RenderCurrent();
    void PresentWork();
    void ShowCurrent();
    void DrawGrid(QPainter& target);
    void OnDraw();
    // Draws what the window shows onto a printer page, scaled to the page.
    void printPage(QPrinter& printer);
    // Schedules OnDraw() (the framework's invalidation of the whole client area).
    void InvalidateRect();
    // What the window shows now: the composed image of the client area.
    const QImage& windowImage() const { return m_window.image(); }
    // Logical pixels per inch, x and y (LOGPIXELSX, LOGPIXELSY).
    int dpiX() const;
    int dpiY() const;

    // ---- Commands: placement and zoom -------------------------------------------------------
    void OnZoomIn();
    void OnZoomOut();
    void OnPanLeft();
    void OnPanRight();
    void OnPanUp();
    void OnPanDown();
    void OnInitialPosition();

    // ---- Commands: channels and grid ----------------------------------------------------------
    void OnChannelRed();
    void OnChannelGreen();
    void OnChannelBlue();
    void OnGrid();

    // ---- Commands: import and the picture list ----------------------------------------------
    void OnFileOpen();
    void OnImportPictures();
    void OnPictureList();
    void ShowFirst();

    // ---- Commands: playback -----------------------------------------------------------------
    void OnNextPicture();
    void OnPrevPicture();
    void OnPlayStart();
    void OnPlayStop();
    void OnSetSpeed();
    void OnTimer();
    // The one playback timer (timer 1) and the pause at the wrap.
    const QTimer& playbackTimer() const { return m_timer; }
    bool isPausing() const { return m_pauseTimer.isActive(); }
    const QTimer& pauseTimer() const { return m_pauseTimer; }
    // The end of the wrap pause: the head is shown and the ticks resume.
    void endPlaybackPause();

    // ---- Commands: composite and report -------------------------------------------------------
    void OnComposite();
    void RenderReference(CPictureItem* reference);
    void OnViewReport();
    // The current picture's size in pixels at zoom 1, to the nearest pixel; (0, 0) without a
    // current picture.
    QSize NaturalSize() const;

    // ---- Pointer ------------------------------------------------------------------------------
    void OnLButtonDown(QPoint point);
    void OnLButtonUp();
    void OnMouseMove(QPoint point);
    void OnSetCursor();
    void OnRButtonDown(QPoint globalPoint);
    void OnLButtonDblClk(QPoint point);

    // ---- Update handlers (enable, check and radio rules) --------------------------------------
    void OnUpdateZoom(CmdUI& ui) const;
    void OnUpdatePanLeft(CmdUI& ui) const;
    void OnUpdatePanRight(CmdUI& ui) const;
    void OnUpdatePanUp(CmdUI& ui) const;
    void OnUpdatePanDown(CmdUI& ui) const;
    void OnUpdateChannelRed(CmdUI& ui) const;
    void OnUpdateChannelGreen(CmdUI& ui) const;
    void OnUpdateChannelBlue(CmdUI& ui) const;
    void OnUpdateGrid(CmdUI& ui) const;
    void OnUpdatePlayStart(CmdUI& ui) const;
    void OnUpdateMultiPicture(CmdUI& ui) const;

    // Fires after every command the view carried out, so the frame can refresh its buttons.
Q_SIGNALS:
    void commandDone();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void registerCommands();
    void setStatusPane(int index, const QString& text) const;
    // Makes the surfaces cover the client area (they grow with the window, never shrink).
    void ensureSurfaces();
    // Applies the masks of the hidden channels to `surface` over the client rectangle.
    void maskHiddenChannels(Surface& surface);
    // Makes the node at `pos` current and shows it.
    void makeCurrent(POSITION pos);
    // Keeps the current position on a node of the sequence when `removed` leaves it.
    void onPictureRemoved(POSITION removed);
    // Whether an update rule enables its command now.
    bool allows(void (CSkyrakeView::*rule)(CmdUI&) const) const;
    // Steps to `pos` by hand (next, previous), ending a wrap pause.
    void stepTo(POSITION pos);
    bool hasCurrentPicture() const { return !m_pictures.IsEmpty() && m_curPos != nullptr; }
    // Shows the picture a tick or the end of the wrap pause moved to; a failed render stops
    // playback after its message.
    void showTick();

    Surface m_window; // what the window shows
    bool m_drawPending = false;
    bool m_reportingTickFailure = false;
    QTimer m_timer;      // timer 1: playback ticks
    QTimer m_pauseTimer; // the 500 ms pause at the wrap
    CommandMap m_commands;
    CommandRouter m_contextRoute;
};
