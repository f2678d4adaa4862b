#pragma once

// The state an update handler gives one command: enabled, checked, radio-marked.
// Menus and toolbar buttons show it; a disabled command is never carried out.
class CmdUI
{
public:
    void Enable(bool on = true) { m_enabled = on; }
    void SetCheck(bool on = true) { m_checked = on; }
    void SetRadio(bool on = true) { m_radio = on; }

    bool enabled() const { return m_enabled; }
    bool checked() const { return m_checked; }
    bool radio() const { return m_radio; }
    // A check mark or a radio mark: both show as a ticked item or a pressed button.
    bool marked() const { return m_checked || m_radio; }

private:
    bool m_enabled = true;
    bool m_checked = false;
    bool m_radio = false;
};
