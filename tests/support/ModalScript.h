#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QObject>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

// Drives the modal dialogs that a command opens: each step runs, in order, on the modal
// dialog that is open when the step's turn comes, inside that dialog's own event loop. A step
// usually ends by closing its dialog; one that leaves it open lets the next step work on it.
class ModalScript
{
public:
    ModalScript& then(std::function<void(QWidget*)> step)
    {
        m_steps.push_back(std::move(step));
        return *this;
    }

    // A step for a dialog of class D; a modal of another class fails the step (counted in
    // wrongDialogs) and closes it.
    template <typename D> ModalScript& on(std::function<void(D*)> step)
    {
        return then([this, step = std::move(step)](QWidget* widget) {
            if (auto* dialog = qobject_cast<D*>(widget)) {
                step(dialog);
                return;
            }
            ++wrongDialogs;
            widget->close();
        });
    }

    // Runs `command` with the steps armed; returns how many steps ran.
    int run(const std::function<void()>& command)
    {
        schedule();
        command();
        return int(m_next);
    }

    int stepsRun() const { return int(m_next); }
    int wrongDialogs = 0;

private:
    void schedule()
    {
        QTimer::singleShot(0, &m_context, [this] { poll(); });
    }

    void poll()
    {
        if (m_next >= m_steps.size())
            return;
        // A progress dialog (a long search's, on a slow or busy machine) is no step's dialog: it
        // closes by itself, and closing it would cancel the work.
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && !qobject_cast<QProgressDialog*>(modal))
            m_steps[m_next++](modal);
        schedule();
    }

    std::vector<std::function<void(QWidget*)>> m_steps;
    size_t m_next = 0;
    QObject m_context; // pending polls die with the script
};

// Clicks the button named `name` of `dialog`; false when it has none.
inline bool clickButton(QWidget* dialog, const char* name)
{
    auto* button = dialog->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!button)
        return false;
    button->click();
    return true;
}
