// The display stretch: one mapping from data values to what is shown for every picture of the
// sequence, measured on the reference frames once and again on demand.
#include "viewer/SkyrakeView.h"

#include "platform/CommandIds.h"

void CSkyrakeView::setStretchSettings(const StretchSettings& settings)
{
    SkyrakeWork::setStretchSettings(settings);
    ShowCurrent();
}

void CSkyrakeView::OnStretchCurve(StretchCurve curve)
{
    StretchSettings settings = stretchSettings();
    settings.curve = curve;
    setStretchSettings(settings);
}

void CSkyrakeView::OnStretchLimits(StretchLimits limits)
{
    StretchSettings settings = stretchSettings();
    settings.limits = limits;
    setStretchSettings(settings);
}

void CSkyrakeView::OnStretchInvert()
{
    StretchSettings settings = stretchSettings();
    settings.invert = !settings.invert;
    setStretchSettings(settings);
}

void CSkyrakeView::OnStretchRemeasure()
{
    // The reference may have changed (the head deleted, frames of another kind added).
    setStretchSettings(stretchSettings());
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
        map.onUpdate(id, [this, curve](CmdUI& ui) { ui.SetRadio(stretchSettings().curve == curve); });
    }
    const std::pair<int, StretchLimits> limits[] = {{cmd::LimitsMinMax, StretchLimits::MinMax},
                                                    {cmd::LimitsPercentile, StretchLimits::Percentile},
                                                    {cmd::LimitsZScale, StretchLimits::ZScale}};
    for (const auto& [id, kind] : limits) {
        map.on(id, [this, kind] { OnStretchLimits(kind); });
        map.onUpdate(id, [this, kind](CmdUI& ui) { ui.SetRadio(stretchSettings().limits == kind); });
    }
    map.on(cmd::StretchInvert, [this] { OnStretchInvert(); });
    map.onUpdate(cmd::StretchInvert, [this](CmdUI& ui) { ui.SetCheck(stretchSettings().invert); });
    map.on(cmd::BackgroundRemoved, [this] {
        setBackgroundRemoved(!backgroundRemoved());
        ShowCurrent();
    });
    map.onUpdate(cmd::BackgroundRemoved, [this](CmdUI& ui) {
        ui.Enable(m_pictures.GetCount() >= 2);
        ui.SetCheck(backgroundRemoved());
    });
    map.on(cmd::StretchRemeasure, [this] { OnStretchRemeasure(); });
    map.onUpdate(cmd::StretchRemeasure, [this](CmdUI& ui) { OnUpdateStretchRemeasure(ui); });
}
