#include "app/SkyrakeDoc.h"

#include "app/RecentFileList.h"
#include "platform/CommandIds.h"
#include "platform/Desktop.h"

#include <QFile>
#include <QSaveFile>

CSkyrakeDoc::CSkyrakeDoc()
{
    m_commands.on(cmd::FileSave, [this] { OnFileSave(); });
    m_commands.on(cmd::FileSaveAs, [this] { OnFileSaveAs(); });
}

bool CSkyrakeDoc::OnNewDocument()
{
    // Nothing to reset: the document holds no data, and the pictures belong to the view. The
    // new document has no file yet, so the next Save asks for one.
    m_pathName.clear();
    return true;
}

bool CSkyrakeDoc::OnOpenDocument(const QString& path)
{
    // A session is a small text; anything far larger is no session.
    constexpr qint64 largest = 16 * 1024 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largest)
        return false;
    const QByteArray bytes = file.readAll();
    if (m_content.open && !m_content.open(bytes, path))
        return false;
    SetPathName(path);
    return true;
}

bool CSkyrakeDoc::saveTo(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (m_content.save && file.write(m_content.save()) < 0)
        return false;
    if (!file.commit())
        return false;
    SetPathName(path);
    return true;
}

void CSkyrakeDoc::SetPathName(const QString& path)
{
    m_pathName = path;
    if (m_recentFiles)
        m_recentFiles->Add(path);
}

void CSkyrakeDoc::OnFileSave()
{
    if (m_pathName.isEmpty())
        OnFileSaveAs();
    else if (!saveTo(m_pathName))
        Desktop::instance().messageBox(QObject::tr("无法保存文件 %1").arg(m_pathName));
}

void CSkyrakeDoc::OnFileSaveAs()
{
    const std::optional<QString> chosen = Desktop::instance().chooseSaveFile();
    if (chosen && !saveTo(*chosen))
        Desktop::instance().messageBox(QObject::tr("无法保存文件 %1").arg(*chosen));
}
