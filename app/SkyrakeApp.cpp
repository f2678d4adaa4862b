#include "app/SkyrakeApp.h"

#include "app/AboutDlg.h"
#include "app/CommandTable.h"
#include "app/DisplaySettings.h"
#include "app/Links.h"
#include "app/MainFrame.h"
#include "app/Session.h"
#include "app/SkyrakeDoc.h"
#include "platform/CommandIds.h"
#include "platform/Desktop.h"
#include "platform/Language.h"
#include "viewer/SkyrakeView.h"

#include <QApplication>
#include <QFileDialog>
#include <QScreen>
#include <QSettings>

CSkyrakeApp::CSkyrakeApp()
{
    m_commands.on(cmd::AppAbout, [this] { OnAbout(); });
    for (const CommandInfo& row : commandTable()) {
        if (row.link)
            m_commands.on(row.id, [target = QString::fromUtf8(row.link)] { OpenLink(target); });
    }
    m_commands.on(cmd::FileNew, [this] { OnFileNew(); });
    // The view takes Ctrl+O first (it appends pictures), so this one is reached only where the
    // view is not on the route.
    m_commands.on(cmd::FileOpen, [this] { OnFileOpen(); });
    m_commands.on(cmd::FileOpenSession, [this] { OnFileOpenSession(); });
    m_commands.on(cmd::AppExit, [this] { m_frame->close(); });
    for (const auto& [id, language] :
         {std::pair{cmd::LanguageChinese, "zh"}, std::pair{cmd::LanguageEnglish, "en"}}) {
        m_commands.on(id, [this, language = language] { OnLanguage(QString::fromLatin1(language)); });
        m_commands.onUpdate(id, [this, language = language](CmdUI& ui) {
            ui.SetRadio(m_language == QLatin1String(language));
        });
    }
}

CSkyrakeApp::~CSkyrakeApp() = default;

void CSkyrakeApp::SetRegistryKey()
{
    // The settings live under this organisation, in the file named after the application.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("skyrake"));
}

bool CSkyrakeApp::InitInstance()
{
    SetRegistryKey();
    QSettings settings;
    m_recentFiles.ReadList(settings);
    m_language = currentLanguage();

    m_document = std::make_unique<CSkyrakeDoc>();
    m_document->setRecentFileList(&m_recentFiles);
    if (!m_document->OnNewDocument())
        return false;
    m_frame = std::make_unique<CMainFrame>(m_document.get(), &m_commands);
    CSkyrakeView* view = m_frame->view();
    view->setStretchSettings(readStretchSettings(settings));
    view->setCommonCandidatesShown(settings.value(QStringLiteral("Search/showCommon"), false).toBool());
    view->setKnownComets(settings.value(QStringLiteral("Sky/comets")).toString());
    m_document->setContent({[view] { return sessionOf(*view); },
                            [view](const QByteArray& bytes, const QString& path) {
                                return restoreSession(*view, bytes, path);
                            }});
    // Always maximised, whatever the desktop asked for. The geometry first covers the screen's
    // available area, so that a desktop without a window manager to honour the request still
    // shows the whole window at full size.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_frame->setGeometry(screen->availableGeometry());
    m_frame->showMaximized();
    return true;
}

int CSkyrakeApp::ExitInstance()
{
    QSettings settings;
    m_recentFiles.WriteList(settings);
    if (m_frame) {
        writeStretchSettings(settings, m_frame->view()->stretchSettings());
        settings.setValue(QStringLiteral("Search/showCommon"), m_frame->view()->commonCandidatesShown());
        const QString comets = m_frame->view()->knownCometsText();
        if (comets.trimmed().isEmpty())
            settings.remove(QStringLiteral("Sky/comets"));
        else
            settings.setValue(QStringLiteral("Sky/comets"), comets);
    }
    settings.sync();
    return 0;
}

void CSkyrakeApp::OnAbout()
{
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

void CSkyrakeApp::OnFileNew()
{
    // New re-initialises the one empty document and repaints; pictures and settings stay.
    m_document->OnNewDocument();
    m_frame->view()->InvalidateRect();
}

void CSkyrakeApp::OnFileOpenSession()
{
    const std::optional<QString> path = Desktop::instance().chooseSessionFile();
    if (path)
        OpenSession(*path);
}

bool CSkyrakeApp::OpenSession(const QString& path)
{
    if (m_document->OnOpenDocument(path))
        return true;
    Desktop::instance().messageBox(
        QCoreApplication::translate("CSkyrakeApp", "%1 不是 SkyRake 保存的工作").arg(path));
    return false;
}

void CSkyrakeApp::OnFileOpen()
{
    const QString path = QFileDialog::getOpenFileName(m_frame.get());
    if (path.isEmpty())
        return;
    if (m_document->OnOpenDocument(path))
        m_frame->view()->InvalidateRect();
}

void CSkyrakeApp::OnLanguage(const QString& language)
{
    m_language = language;
    QSettings settings;
    settings.setValue(languageKey(), language);
    if (language != currentLanguage())
        Desktop::instance().messageBox(
            QCoreApplication::translate("CSkyrakeApp", "界面语言将在重新启动 SkyRake 以后改变。"));
}
