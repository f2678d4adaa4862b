#pragma once

#include "app/RecentFileList.h"
#include "platform/CommandMap.h"

#include <QString>

#include <memory>

class CMainFrame;
class CSkyrakeDoc;

// The application: starts the document and the main window, keeps the settings, and handles
// the commands that need no view: About, the web links, New, Open and Exit.
class CSkyrakeApp
{
public:
    CSkyrakeApp();
    ~CSkyrakeApp();

    // Names the place of the program's settings (its organisation and application names); what
    // reads them before the application object starts calls it first.
    static void SetRegistryKey();
    // Reads the settings, creates the document and the main window and shows it maximised;
    // false when that failed.
    bool InitInstance();
    // Writes the settings back; the program's exit code.
    int ExitInstance();

    CMainFrame* mainFrame() const { return m_frame.get(); }
    CSkyrakeDoc* document() const { return m_document.get(); }
    const CommandMap& commands() const { return m_commands; }
    RecentFileList& recentFiles() { return m_recentFiles; }

    void OnAbout();
    // Opens a saved session; a file that holds none is named in a message.
    bool OpenSession(const QString& path);

private:
    void OnFileNew();
    void OnFileOpen();
    void OnFileOpenSession();
    // Keeps the interface's language for the next start.
    void OnLanguage(const QString& language);

    CommandMap m_commands;
    RecentFileList m_recentFiles{4};
    QString m_language; // the interface's language at the next start
    std::unique_ptr<CSkyrakeDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
