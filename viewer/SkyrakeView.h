#pragma once

#include "analysis/DismissedCandidates.h"
#include "analysis/FrameRender.h"
#include "analysis/MoverSearch.h"
#include "analysis/SequenceStretch.h"
#include "analysis/Track.h"
#include "pictures/PictureList.h"
#include "platform/CommandMap.h"
#include "platform/PaneBar.h"
#include "platform/Surface.h"
#include "viewer/Placement.h"

#include <QPen>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>

class QMenu;
class QPainter;
class QPrinter;

// The one view: it holds the program's working state (the picture sequence and its current
// position, the placement, channel and grid switches, off-screen surfaces, playback and the
// report) and handles every command that works on it. The state is its own: the command line,
// the benchmarks and the tests reach it through the few operations below.
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
    // The right-button menu; each of its actions carries a command id as its data.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }

    // ---- The sequence ---------------------------------------------------------------------
    // Appends a picture at the tail, as File Open does; the shown picture stays.
    void appendPicture(std::unique_ptr<CPictureItem> item);
    // Removes every picture (a session replaces the sequence); the window shows none.
    void clearPictures();
    // Makes the picture at `index` current and shows it; nothing for an index beyond the sequence.
    void showPicture(int index);
    const PictureList& pictures() const { return m_pictures; }
    // The current picture's name; empty without one.
    QString currentName() const;
    // The current position as an index from the head; -1 without a current picture.
    int currentIndex() const;
    // The full path of the file an import took last.
    const QString& importPath() const { return m_path; }

    // ---- What is shown and how -------------------------------------------------------------
    const Placement& placement() const { return m_placement; }
    // Moves and zooms the pictures to `placement` and shows the current one there.
    void setPlacement(const Placement& placement);
    bool gridShown() const { return m_showGrid; }
    void setGridShown(bool shown);
    Channels channels() const { return {m_showRed, m_showGreen, m_showBlue}; }
    void setChannels(Channels channels);
    // The display stretch every picture is shown through.
    const StretchSettings& stretchSettings() const { return m_stretch.settings(); }
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

    // ---- Playback and the report -------------------------------------------------------------
    bool isPlaying() const { return m_playing; }
    int interval() const { return m_interval; }
    void setInterval(int milliseconds) { m_interval = milliseconds; }
    // The one playback timer (timer 1) and the pause at the wrap.
    const QTimer& playbackTimer() const { return m_timer; }
    const QTimer& pauseTimer() const { return m_pauseTimer; }
    bool isPausing() const { return m_pauseTimer.isActive(); }
    // The end of the wrap pause: the head is shown and the ticks resume.
    void endPlaybackPause();
    // The report's lines, the header line first (the size header is added when it is shown).
    const QString& report() const { return m_report; }
    void setReport(const QString& report) { m_report = report; }
    // The measured positions, one per frame at most, in sequence order.
    std::vector<Measurement> measurements() const;
    // The measurement of the frame at `index`, if it has one.
    std::optional<Measurement> measurementAt(int index) const;
    // Restores a frame's measurement (a session); nothing for an index beyond the sequence.
    void setMeasurement(int index, const QPointF& clicked, const QPointF& position, bool refined);
    bool marksShown() const { return m_showMarks; }
    // Whether the search lists also the weak tracks that turn up in windows without a comet more
    // than once in 20 (kept in the settings).
    bool commonCandidatesShown() const { return m_showCommonCandidates; }
    void setCommonCandidatesShown(bool shown) { m_showCommonCandidates = shown; }
    void setMarksShown(bool shown);

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
    // The last search's candidates, best first, those dismissed before left out; cleared when the
    // sequence changes.
    const std::vector<Candidate>& candidates() const { return m_candidates; }
    // Dismisses the candidate at `index`: it leaves the candidates, and later searches over the
    // same frames leave it out.
    void dismissCandidate(int index);
    // The candidates dismissed on any sequence, kept in the session.
    const DismissedCandidates& dismissedCandidates() const { return m_dismissed; }
    void setDismissedCandidates(DismissedCandidates dismissed) { m_dismissed = std::move(dismissed); }
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
    // After every change of the sequence, whatever made it: pane 4 shows the count, and new
    // pictures are shown through the stretch.
    void onSequenceChanged();
    void showPictureCount() const;
    // Panes 3 and 8: the name of the picture rendered and when it was taken.
    void showFrameFacts(const CPictureItem& item) const;
    // Shows every picture not yet stretched through the stretch, measuring it first where it has
    // no limits for the kind of picture; `all` stretches every picture again.
    void stretchPictures(bool all);
    // The measurement of a confirmed position in `item`, at `clicked` (picture pixels).
    void measure(const CPictureItem& item, QPointF clicked);
    Measurement measurementOf(const CPictureItem& item, QPointF clicked, QPointF position,
                              bool refined) const;
    // Moves the pictures so that `picture` (picture pixels) stands in the middle of the window.
    void centreOn(QPointF picture);
    // Marks and grid over what the window shows.
    void drawOverlays();
    // Makes the surfaces cover the client area (they grow with the window, never shrink).
    void ensureSurfaces();
    // Where the frames stand on the work surfaces now.
    FrameLayout layout() const;
    // The item at the current position; null without one.
    CPictureItem* current() const;
    bool hasCurrentPicture() const { return !m_pictures.IsEmpty() && m_curPos != nullptr; }
    // Makes the node at `pos` current and shows it.
    void makeCurrent(POSITION pos);
    // Keeps the current position on a node of the sequence when `removed` leaves it.
    void onPictureRemoved(POSITION removed);
    // Whether an update rule enables its command now.
    bool allows(void (CSkyrakeView::*rule)(CmdUI&) const) const;
    // Steps to `pos` by hand (next, previous), ending a wrap pause.
    void stepTo(POSITION pos);
    // Ends a wrap pause early: ticks resume at the full interval from the current picture.
    void cancelPause();
    // Shows the picture a tick or the end of the wrap pause moved to; a failed render stops
    // playback after its message.
    void showTick();

    // ---- The picture sequence ---------------------------------------------------------------
    PictureList m_pictures;
    POSITION m_curPos = nullptr; // node of m_pictures, or null: no current picture
    QString m_path;              // full path of the file being imported

    // ---- Placement, switches, pen -----------------------------------------------------------
    Placement m_placement;
    bool m_showGrid = true;
    bool m_showRed = true;
    bool m_showGreen = true;
    bool m_showBlue = true;
    QPen m_gridPen;
    SequenceStretch m_stretch;
    std::vector<const Picture*> m_stretched; // pictures shown through the current stretch

    // ---- Off-screen surfaces, client-sized ----------------------------------------------------
    Surface m_dcWork;      // current picture as rendered, channel masks applied
    Surface m_dcComposite; // reference picture of the difference composite
    Surface m_window;      // what the window shows
    bool m_needSurfaces = true;
    QRect m_clientRect; // client rectangle as of the last paint, window pixels; left and top are 0

    // ---- Playback and the report --------------------------------------------------------------
    bool m_playing = false;
    int m_interval = 300; // playback interval, milliseconds
    QTimer m_timer;       // timer 1: playback ticks
    QTimer m_pauseTimer;  // the 500 ms pause at the wrap
    bool m_reportingTickFailure = false;
    QString m_report;
    std::map<const CPictureItem*, Measurement> m_measured; // one per frame
    bool m_showMarks = true;
    bool m_showCommonCandidates = false;
    std::vector<Candidate> m_candidates;
    DismissedCandidates m_dismissed;

    int m_rendersRefused = 0;
    bool m_drawPending = false;
    CommandMap m_commands;
    CommandRouter m_contextRoute;
    QMenu* m_contextMenu = nullptr;
};
