// The view's message map and every enable, check and radio rule of its commands.
#include "viewer/SkyrakeView.h"

#include "platform/CommandIds.h"

void CSkyrakeView::registerCommands()
{
    CommandMap& map = m_commands;
    map.on(cmd::ZoomIn, [this] { OnZoomIn(); });
    map.on(cmd::ZoomOut, [this] { OnZoomOut(); });
    map.onUpdate({cmd::ZoomIn, cmd::ZoomOut}, [this](CmdUI& ui) { OnUpdateZoom(ui); });

    map.on(cmd::PanLeft, [this] { OnPanLeft(); });
    map.on(cmd::PanRight, [this] { OnPanRight(); });
    map.on(cmd::PanUp, [this] { OnPanUp(); });
    map.on(cmd::PanDown, [this] { OnPanDown(); });
    map.onUpdate(cmd::PanLeft, [this](CmdUI& ui) { OnUpdatePanLeft(ui); });
    map.onUpdate(cmd::PanRight, [this](CmdUI& ui) { OnUpdatePanRight(ui); });
    map.onUpdate(cmd::PanUp, [this](CmdUI& ui) { OnUpdatePanUp(ui); });
    map.onUpdate(cmd::PanDown, [this](CmdUI& ui) { OnUpdatePanDown(ui); });
    map.on(cmd::InitialPosition, [this] { OnInitialPosition(); });

    map.on(cmd::ChannelRed, [this] { OnChannelRed(); });
    map.on(cmd::ChannelGreen, [this] { OnChannelGreen(); });
    map.on(cmd::ChannelBlue, [this] { OnChannelBlue(); });
    map.on(cmd::Grid, [this] { OnGrid(); });
    map.onUpdate(cmd::ChannelRed, [this](CmdUI& ui) { OnUpdateChannelRed(ui); });
    map.onUpdate(cmd::ChannelGreen, [this](CmdUI& ui) { OnUpdateChannelGreen(ui); });
    map.onUpdate(cmd::ChannelBlue, [this](CmdUI& ui) { OnUpdateChannelBlue(ui); });
    map.onUpdate(cmd::Grid, [this](CmdUI& ui) { OnUpdateGrid(ui); });

    map.on(cmd::FileOpen, [this] { OnFileOpen(); });
    map.on(cmd::ImportPictures, [this] { OnImportPictures(); });
    map.on(cmd::PictureList, [this] { OnPictureList(); });

    map.on(cmd::NextPicture, [this] { OnNextPicture(); });
    map.on(cmd::PrevPicture, [this] { OnPrevPicture(); });
    map.on(cmd::PlayStart, [this] { OnPlayStart(); });
    map.on(cmd::PlayStop, [this] { OnPlayStop(); });
    map.on(cmd::SetSpeed, [this] { OnSetSpeed(); });
    map.onUpdate(cmd::PlayStart, [this](CmdUI& ui) { OnUpdatePlayStart(ui); });
    map.onUpdate({cmd::NextPicture, cmd::PrevPicture, cmd::PlayStop, cmd::Composite},
                 [this](CmdUI& ui) { OnUpdateMultiPicture(ui); });

    map.on(cmd::Composite, [this] { OnComposite(); });
    map.on(cmd::ViewReport, [this] { OnViewReport(); });
    registerStretchCommands();
    map.on(cmd::MeasureMarks, [this] { OnMeasureMarks(); });
    map.onUpdate(cmd::MeasureMarks, [this](CmdUI& ui) { ui.SetCheck(m_showMarks); });
    map.on(cmd::SkyOverlay, [this] { OnSkyOverlay(); });
    map.onUpdate(cmd::SkyOverlay, [this](CmdUI& ui) { ui.SetCheck(m_showSky); });
    map.on(cmd::KnownComets, [this] { OnKnownComets(); });
    map.on(cmd::SungrazerReport, [this] { OnSungrazerReport(); });
    map.on(cmd::SearchMovers, [this] { OnSearchMovers(); });
    map.onUpdate(cmd::SearchMovers, [this](CmdUI& ui) { ui.Enable(m_pictures.GetCount() >= 4); });
    map.on(cmd::CandidateList, [this] { OnCandidateList(); });
    map.onUpdate(cmd::CandidateList, [this](CmdUI& ui) { OnUpdateCandidateList(ui); });
    map.on(cmd::SearchShowCommon, [this] { setCommonCandidatesShown(!commonCandidatesShown()); });
    map.onUpdate(cmd::SearchShowCommon, [this](CmdUI& ui) { ui.SetCheck(commonCandidatesShown()); });
}

void CSkyrakeView::OnUpdateZoom(CmdUI& ui) const
{
    ui.Enable(!m_pictures.IsEmpty());
}

// The pan rules test the offsets and the displayed size; without a current picture there is
// nothing to move, so they are off then.
void CSkyrakeView::OnUpdatePanLeft(CmdUI& ui) const
{
    ui.Enable(hasCurrentPicture() && m_placement.canPanLeft());
}

void CSkyrakeView::OnUpdatePanRight(CmdUI& ui) const
{
    ui.Enable(hasCurrentPicture() && m_placement.canPanRight(m_clientRect.width()));
}

void CSkyrakeView::OnUpdatePanUp(CmdUI& ui) const
{
    ui.Enable(hasCurrentPicture() && m_placement.canPanUp());
}

void CSkyrakeView::OnUpdatePanDown(CmdUI& ui) const
{
    ui.Enable(hasCurrentPicture() && m_placement.canPanDown(m_clientRect.height()));
}

void CSkyrakeView::OnUpdateChannelRed(CmdUI& ui) const
{
    ui.SetCheck(m_showRed);
    ui.Enable(hasCurrentPicture());
}

void CSkyrakeView::OnUpdateChannelGreen(CmdUI& ui) const
{
    ui.SetCheck(m_showGreen);
    ui.Enable(hasCurrentPicture());
}

void CSkyrakeView::OnUpdateChannelBlue(CmdUI& ui) const
{
    ui.SetCheck(m_showBlue);
    ui.Enable(hasCurrentPicture());
}

void CSkyrakeView::OnUpdateGrid(CmdUI& ui) const
{
    ui.Enable(hasCurrentPicture());
    ui.SetCheck(m_showGrid);
}

void CSkyrakeView::OnUpdatePlayStart(CmdUI& ui) const
{
    ui.SetRadio(m_playback.isPlaying());
    ui.Enable(m_pictures.GetCount() > 1);
}

void CSkyrakeView::OnUpdateMultiPicture(CmdUI& ui) const
{
    ui.Enable(m_pictures.GetCount() > 1);
}

// ---- Channels and grid ------------------------------------------------------------------

void CSkyrakeView::OnChannelRed()
{
    m_showRed = !m_showRed;
    ShowCurrent();
}

void CSkyrakeView::OnChannelGreen()
{
    m_showGreen = !m_showGreen;
    ShowCurrent();
}

void CSkyrakeView::OnChannelBlue()
{
    m_showBlue = !m_showBlue;
    ShowCurrent();
}

void CSkyrakeView::OnGrid()
{
    setGridShown(!m_showGrid);
}

void CSkyrakeView::setChannels(Channels channels)
{
    m_showRed = channels.red;
    m_showGreen = channels.green;
    m_showBlue = channels.blue;
    ShowCurrent();
}

void CSkyrakeView::setGridShown(bool shown)
{
    m_showGrid = shown;
    ShowCurrent();
}
