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

void PaneBar::setPaneText(Pane pane, const QString& text)
{
    const int index = int(pane);
    if (index < 0 || index >= paneCount)
        return;
    QLabel* label = m_panes[size_t(index)];
    // Every render rewrites the picture's name; repaint only what changed.
    if (label->text() == text)
        return;
    label->setText(text);
    label->repaint();
}

QString PaneBar::paneText(Pane pane) const
{
    const int index = int(pane);
    if (index < 0 || index >= paneCount)
        return {};
    if (index == 0 && !currentMessage().isEmpty())
        return currentMessage();
    return m_panes[size_t(index)]->text();
}

void PaneBar::setPaneWidth(Pane pane, int width)
{
    const int index = int(pane);
    if (index <= 0 || index >= paneCount)
        return;
    m_panes[size_t(index)]->setFixedWidth(width);
}

int PaneBar::paneWidth(Pane pane) const
{
    const int index = int(pane);
    if (index < 0 || index >= paneCount)
        return 0;
    return m_panes[size_t(index)]->width();
}

void setPaneText(const QWidget* widget, Pane pane, const QString& text)
{
    if (!widget)
        return;
    if (auto* bar = widget->window()->findChild<PaneBar*>(QStringLiteral("101")))
        bar->setPaneText(pane, text);
}
