#pragma once

#include "analysis/FrameRender.h"
#include "model/Playback.h"
#include "model/SkyrakeWork.h"
#include "platform/CommandMap.h"
#include "platform/PaneBar.h"
#include "platform/Surface.h"
#include "viewer/Placement.h"

#include <QPen>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>

class QMenu;
class QPainter;
class QPrinter;

// The one view: it shows the work (the picture sequence and its current frame, measurements,
// candidates, the stretch and the report, all kept by the work it derives from) and routes input
// to it; it holds what is the window's own: the placement, channel and grid switches, off-screen
// surfaces and playback.
//
// Drawing: everything the window shows is composed in `m_window`, an image of the client area;
// paintEvent() only copies it to the screen. OnDraw() runs deferred, outside paintEvent(), so
// that a failed render can show its message box.
class CSkyrakeView : public QWidget, public SkyrakeWork
{
    Q_OBJECT
public:
    explicit CSkyrakeView(QWidget* parent = nullptr);
    ~CSkyrakeView() override;

    // The view's message map: its command handlers and update handlers by id.
    const CommandMap& commands() const { return m_commands; }
    // The route of the right-button menu's commands: the view, then the document.
    void setDocumentCommands(const CommandMap* document);
    // The right-button menu; each of its actions carries a command id as its data.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }

    // ---- The sequence ---------------------------------------------------------------------
    // Makes the picture at `index` current and shows it; nothing for an index beyond the sequence.
    void showPicture(int index);

    // ---- What is shown and how -------------------------------------------------------------
    const Placement& placement() const { return m_placement; }
    // Moves and zooms the pictures to `placement` and shows the current one there.
    void setPlacement(const Placement& placement);
    bool gridShown() const { return m_showGrid; }
    void setGridShown(bool shown);
    Channels channels() const { return {m_showRed, m_showGreen, m_showBlue}; }
    void setChannels(Channels channels);
    // Measures the new stretch's limits on the reference frames and shows every picture through it.
    void setStretchSettings(const StretchSettings& settings);
    // What the window shows now: the composed image of the client area.
    const QImage& windowImage() const { return m_window.image(); }
    // Logical pixels per inch, x and y (LOGPIXELSX, LOGPIXELSY).
    int dpiX() const;
    int dpiY() const;
    // Renders asked for without a current picture, refused; stays 0 unless a caller is wrong.
    int rendersRefused() const { return m_rendersRefused; }
    // Bytes held by the decoded pictures and the surfaces, for memory accounting.
    qsizetype memoryInUse() const;

    // ---- Playback and marks ------------------------------------------------------------------
    Playback& playback() { return m_playback; }
    const Playback& playback() const { return m_playback; }
    // The end of the wrap pause: the head is shown and the ticks resume.
    void endPlaybackPause();
    bool marksShown() const { return m_showMarks; }
    void setMarksShown(bool shown);
    // The sky overlay: the sun, circles of elongation and position-angle spokes.
    bool skyShown() const { return m_showSky; }
    void setSkyShown(bool shown);

    // ---- Display operations -----------------------------------------------------------------
    bool RenderCurrent();
    void PresentWork();
    void ShowCurrent();
    void ShowFirst();
    void DrawGrid(QPainter& target);
    // The measured positions on the window (the current frame's in its own colour) and the
    // track's predicted position in the current frame.
    void DrawMarks(QPainter& target);
    // The candidates' tracks, each with its number at its place in the current frame.
    void DrawCandidates(QPainter& target);
    // The sky overlay over the current frame, where its geometry is known.
    void DrawSky(QPainter& target);
    void OnDraw();
    // Schedules OnDraw() (the framework's invalidation of the whole client area).
    void InvalidateRect();
    // Draws what the window shows onto a printer page, scaled to the page.
    void printPage(QPrinter& printer);

    // ---- Commands -----------------------------------------------------------------------------
    void OnZoomIn();
    void OnZoomOut();
    void OnPanLeft();
    void OnPanRight();
    void OnPanUp();
    void OnPanDown();
    void OnInitialPosition();
    void OnChannelRed();
    void OnChannelGreen();
    void OnChannelBlue();
    void OnGrid();
    void OnFileOpen();
    void OnImportPictures();
    void OnPictureList();
    void OnNextPicture();
    void OnPrevPicture();
    void OnPlayStart();
    void OnPlayStop();
    void OnSetSpeed();
    void OnTimer();
    void OnComposite();
    void OnViewReport();
    void OnStretchCurve(StretchCurve curve);
    void OnStretchLimits(StretchLimits limits);
    void OnStretchInvert();
    // Measures the limits again on the sequence's reference frames.
    void OnStretchRemeasure();
    void OnMeasureMarks();
    void OnSungrazerReport();
    // Searches the sequence for movers on a worker thread, with progress and cancel, then lists
    // the candidates.
    void OnSearchMovers();
    void OnCandidateList();
    void OnSkyOverlay();
    // The known comets' orbital elements, pasted or loaded.
    void OnKnownComets();
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
    void OnUpdateStretchRemeasure(CmdUI& ui) const;
    void OnUpdateCandidateList(CmdUI& ui) const;

Q_SIGNALS:
    // Fires after every command the view carried out, so the frame can refresh its buttons.
    void commandDone();
    // Fires whenever what the window shows may have changed (another frame, its place or zoom,
    // the channels, the grid, the overlays): the buttons' states follow it.
    void shownChanged();

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
    void registerStretchCommands();
    void setStatusPane(Pane pane, const QString& text) const;
    // Pane 9: where `picture` lies in the sky, in the current frame; why not, or nothing.
    QString skyText(QPointF picture) const;
    void showPictureCount() const;
    // Panes 3 and 8: the name of the picture rendered and when it was taken.
    void showFrameFacts(const CPictureItem& item) const;
    // Moves the pictures so that `picture` (picture pixels) stands in the middle of the window.
    void centreOn(QPointF picture);
    // Marks and grid over what the window shows.
    void drawOverlays();
    // Makes the surfaces cover the client area (they grow with the window, never shrink).
    void ensureSurfaces();
    // Where the frames stand on the work surfaces now.
    FrameLayout layout() const;
    // Makes the node at `pos` current and shows it.
    void makeCurrent(POSITION pos);
    // Whether an update rule enables its command now.
    bool allows(void (CSkyrakeView::*rule)(CmdUI&) const) const;
    // Steps to `pos` by hand (next, previous), ending a wrap pause.
    void stepTo(POSITION pos);
    // Shows the picture a tick or the end of the wrap pause moved to; a failed render stops
    // playback after its message.
    void showTick();

    // ---- Placement, switches, pen -----------------------------------------------------------
    Placement m_placement;
    bool m_showGrid = true;
    bool m_showRed = true;
    bool m_showGreen = true;
    bool m_showBlue = true;
    QPen m_gridPen;

    // ---- Off-screen surfaces, client-sized ----------------------------------------------------
    Surface m_dcWork;      // current picture as rendered, channel masks applied
    Surface m_dcComposite; // reference picture of the difference composite
    Surface m_window;      // what the window shows
    bool m_needSurfaces = true;
    QRect m_clientRect; // client rectangle as of the last paint, window pixels; left and top are 0

    // ---- Playback and marks -------------------------------------------------------------------
    Playback m_playback;
    bool m_reportingTickFailure = false;
    bool m_showMarks = true;
    bool m_showSky = false;

    int m_rendersRefused = 0;
    bool m_drawPending = false;
    CommandMap m_commands;
    CommandRouter m_contextRoute;
    QMenu* m_contextMenu = nullptr;
};
