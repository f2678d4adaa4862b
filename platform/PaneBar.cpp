#include "platform/PaneBar.h"

#include <QLabel>

PaneBar::PaneBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("101"));
    setSizeGripEnabled(false);
    for (int i = 0; i < paneCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("pane%1").arg(i));
        m_panes[size_t(i)] = label;
        if (i == 0) {
            // The message line: a normal widget, so that prompts shown with showMessage()
            // cover it and the idle text comes back when they end.
            label->setIndent(3);
            addWidget(label, 1);
        } else {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setIndent(2);
            addPermanentWidget(label);
        }
    }
}

void PaneBar::setPaneText(int index, const QString& text)
{
    if (index < 0 || index >= paneCount)
        return;
    QLabel* pane = m_panes[size_t(index)];
    // Every render rewrites the picture's name; repaint only what changed.
    if (pane->text() == text)
        return;
    pane->setText(text);
    pane->repaint();
}

QString PaneBar::paneText(int index) const
{
    if (index < 0 || index >= paneCount)
        return {};
    if (index == 0 && !currentMessage().isEmpty())
        return currentMessage();
    return m_panes[size_t(index)]->text();
}

void PaneBar::setPaneWidth(int index, int width)
{
    if (index <= 0 || index >= paneCount)
        return;
    m_panes[size_t(index)]->setFixedWidth(width);
}

int PaneBar::paneWidth(int index) const
{
    if (index < 0 || index >= paneCount)
        return 0;
    return m_panes[size_t(index)]->width();
}

void setPaneText(const QWidget* widget, int index, const QString& text)
{
    if (!widget)
        return;
    if (auto* bar = widget->window()->findChild<PaneBar*>(QStringLiteral("101")))
        bar->setPaneText(index, text);
}
