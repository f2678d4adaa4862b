#pragma once

#include "platform/Desktop.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

// A scripted desktop for tests: file dialogs answer from a queue, message boxes and links are
// recorded instead of shown. Installed for its lifetime.
class FakeDesktop : public Desktop
{
public:
    FakeDesktop();
    ~FakeDesktop() override;

    void messageBox(const QString& text) override;
    std::optional<QStringList> choosePictureFiles() override;
    std::optional<QString> chooseSaveFile() override;
    void openLink(const QString& target) override;
    std::optional<QString> chooseSessionFile() override { return openSession; }
    void notify(const QString& title, const QString& text, QWidget*) override
    {
        notifications << title + QStringLiteral(": ") + text;
    }

    // The next picture file dialog returns these paths (OK) ...
    void queueFiles(const QStringList& paths) { m_fileAnswers.push_back({true, paths}); }
    // ... or is cancelled.
    void queueCancel() { m_fileAnswers.push_back({false, {}}); }

    QStringList messages;               // every message box text, in order
    QStringList links;                  // every link handed to the shell
    QStringList notifications;          // every notification, "TITLE: TEXT"
    int fileDialogs = 0;                // how many picture file dialogs were shown
    std::optional<QString> saveAs;      // what the Save As dialog answers
    std::optional<QString> openSession; // what the session Open dialog answers
    // Runs inside each message box, as if the user looked at it before pressing OK.
    std::function<void(const QString&)> onMessage;

private:
    struct FileAnswer
    {
        bool ok;
        QStringList paths;
    };
    std::deque<FileAnswer> m_fileAnswers;
};
