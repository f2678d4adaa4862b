#pragma once

#include "platform/CommandMap.h"

#include <memory>

class CMainFrame;
class CSkyrakeDoc;

// The application: starts the document and the main window, and handles the commands that
// need no view: About, the web links, New and Exit.
class CSkyrakeApp
{
public:
    CSkyrakeApp();
    ~CSkyrakeApp();

    // Creates the document and the main window; false when that failed.
    bool InitInstance();
    CMainFrame* mainFrame() const { return m_frame.get(); }
    CSkyrakeDoc* document() const { return m_document.get(); }
    const CommandMap& commands() const { return m_commands; }

    void OnAbout();
    void OnAuthorHome();
    void OnMailAuthor();

private:
    void OnFileNew();

    CommandMap m_commands;
    std::unique_ptr<CSkyrakeDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
