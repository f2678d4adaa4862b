// The display stretch: one mapping from data values to what is shown for every picture of the
// sequence, measured on the reference frames once and again on demand.
#include "viewer/SkyrakeView.h"

#include "platform/CommandIds.h"

#include <algorithm>

void CSkyrakeView::stretchPictures(bool all)
{
    if (all)
        m_stretched.clear();
    std::vector<const Picture*> frames;
    bool unmeasured = false;
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        const Picture* picture = PictureList::GetAt(pos)->m_pPicture.get();
        frames.push_back(picture);
        unmeasured = unmeasured || !m_stretch.measuredFor(*picture);
    }
    if (unmeasured)
        m_stretch.measure(frames);
    for (POSITION pos = m_pictures.GetHeadPosition(); pos; pos = PictureList::next(pos)) {
        Picture& picture = *PictureList::GetAt(pos)->m_pPicture;
        if (std::find(m_stretched.begin(), m_stretched.end(), &picture) != m_stretched.end())
            continue;
        m_stretch.apply(picture);
        m_stretched.push_back(&picture);
    }
}

void CSkyrakeView::setStretchSettings(const StretchSettings& settings)
{
    m_stretch.setSettings(settings);
    stretchPictures(true);
    ShowCurrent();
}

void CSkyrakeView::OnStretchCurve(StretchCurve curve)
{
    StretchSettings settings = m_stretch.settings();
    settings.curve = curve;
    setStretchSettings(settings);
}

void CSkyrakeView::OnStretchLimits(StretchLimits limits)
{
    StretchSettings settings = m_stretch.settings();
    settings.limits = limits;
    setStretchSettings(settings);
}

void CSkyrakeView::OnStretchInvert()
{
    StretchSettings settings = m_stretch.settings();
    settings.invert = !settings.invert;
    setStretchSettings(settings);
}

void CSkyrakeView::OnStretchRemeasure()
{
    // The reference may have changed (the head deleted, frames of another kind added).
    setStretchSettings(m_stretch.settings());
}

void CSkyrakeView::OnUpdateStretchRemeasure(CmdUI& ui) const
{
    ui.Enable(!m_pictures.IsEmpty());
}

void CSkyrakeView::registerStretchCommands()
{
    CommandMap& map = m_commands;
    const std::pair<int, StretchCurve> curves[] = {
        {cmd::StretchNone, StretchCurve::None},   {cmd::StretchLinear, StretchCurve::Linear},
        {cmd::StretchSqrt, StretchCurve::Sqrt},   {cmd::StretchLog, StretchCurve::Log},
        {cmd::StretchAsinh, StretchCurve::Asinh}, {cmd::StretchHistEq, StretchCurve::HistEq}};
    for (const auto& [id, curve] : curves) {
        map.on(id, [this, curve] { OnStretchCurve(curve); });
        map.onUpdate(id, [this, curve](CmdUI& ui) { ui.SetRadio(m_stretch.settings().curve == curve); });
    }
    const std::pair<int, StretchLimits> limits[] = {{cmd::LimitsMinMax, StretchLimits::MinMax},
                                                    {cmd::LimitsPercentile, StretchLimits::Percentile},
                                                    {cmd::LimitsZScale, StretchLimits::ZScale}};
    for (const auto& [id, kind] : limits) {
        map.on(id, [this, kind] { OnStretchLimits(kind); });
        map.onUpdate(id, [this, kind](CmdUI& ui) { ui.SetRadio(m_stretch.settings().limits == kind); });
    }
    map.on(cmd::StretchInvert, [this] { OnStretchInvert(); });
    map.onUpdate(cmd::StretchInvert, [this](CmdUI& ui) { ui.SetCheck(m_stretch.settings().invert); });
    map.on(cmd::StretchRemeasure, [this] { OnStretchRemeasure(); });
    map.onUpdate(cmd::StretchRemeasure, [this](CmdUI& ui) { OnUpdateStretchRemeasure(ui); });
}
