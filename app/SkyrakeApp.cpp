#include "app/SkyrakeApp.h"

#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/Links.h"
#include "app/MainFrame.h"
#include "app/SkyrakeDoc.h"
#include "viewer/SkyrakeView.h"

#include <QApplication>
#include <QSettings>

CSkyrakeApp::CSkyrakeApp()
{
    m_commands.on(cmd::AppAbout, [this] { OnAbout(); });
    for (int id = cmd::LinkSungrazerHome; id <= cmd::LinkPersonalHome; ++id)
        m_commands.on(id, [id] { OpenLink(linkTarget(id)); });
    m_commands.on(cmd::AuthorHome, [this] { OnAuthorHome(); });
    m_commands.on(cmd::MailAuthor, [this] { OnMailAuthor(); });
    m_commands.on(cmd::FileNew, [this] { OnFileNew(); });
    m_commands.on(cmd::AppExit, [this] { m_frame->close(); });
}

CSkyrakeApp::~CSkyrakeApp() = default;

bool CSkyrakeApp::InitInstance()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("skyrake"));
    m_document = std::make_unique<CSkyrakeDoc>();
    if (!m_document->OnNewDocument())
        return false;
    m_frame = std::make_unique<CMainFrame>(m_document.get(), &m_commands);
    return true;
}

void CSkyrakeApp::OnAbout()
{
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

void CSkyrakeApp::OnAuthorHome()
{
    OpenLink(linkTarget(cmd::AuthorHome));
}

void CSkyrakeApp::OnMailAuthor()
{
    OpenLink(linkTarget(cmd::MailAuthor));
}

void CSkyrakeApp::OnFileNew()
{
    // New re-initialises the one empty document and repaints; pictures and settings stay.
    m_document->OnNewDocument();
    m_frame->view()->InvalidateRect();
}
