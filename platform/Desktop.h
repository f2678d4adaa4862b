#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// The desktop services the program asks for: a one-line message box with an OK button, the
// multiple-selection picture file dialog, handing a link to the desktop shell and notifications. Tests
// install their own implementation to script the dialogs and see every text.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Modal message box, one line of text, one OK button.
    virtual void messageBox(const QString& text) = 0;
    // The Open dialog for picture files; the chosen paths in the dialog's order, or nothing
    // when it was not ended with OK.
    virtual std::optional<QStringList> choosePictureFiles() = 0;
    // The Save As dialog for the document; the chosen path, or nothing when cancelled.
    virtual std::optional<QString> chooseSaveFile() = 0;
    // Hands a web or mailto: target to the desktop shell; the outcome is not looked at.
    virtual void openLink(const QString& target) = 0;
    // The Open dialog for a saved session; the chosen path, or nothing when cancelled.
    virtual std::optional<QString> chooseSessionFile() { return std::nullopt; }
    // A desktop notification (the freedesktop.org notification service where there is one) and
    // the window's attention asked for in the taskbar.
    virtual void notify(const QString& title, const QString& text, QWidget* window) = 0;

    // The services in use: the real ones unless a test installed others.
    static Desktop& instance();
    // Installs `desktop` (not owned); nullptr goes back to the real services.
    static void install(Desktop* desktop);
};

// The real services on Qt's widgets.
class QtDesktop : public Desktop
{
    Q_DECLARE_TR_FUNCTIONS(QtDesktop)

public:
    void messageBox(const QString& text) override;
    std::optional<QStringList> choosePictureFiles() override;
    std::optional<QString> chooseSaveFile() override;
    void openLink(const QString& target) override;
    std::optional<QString> chooseSessionFile() override;
    void notify(const QString& title, const QString& text, QWidget* window) override;
};
