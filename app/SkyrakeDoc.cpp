#include "app/SkyrakeDoc.h"

#include "app/RecentFileList.h"
#include "platform/CommandIds.h"
#include "platform/Desktop.h"

#include <QFile>

CSkyrakeDoc::CSkyrakeDoc()
{
    m_commands.on(cmd::FileSave, [this] { OnFileSave(); });
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    SetPathName(path);
    return true;
}

bool CSkyrakeDoc::saveTo(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.close();
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
    QString path = m_pathName;
    if (path.isEmpty()) {
        const std::optional<QString> chosen = Desktop::instance().chooseSaveFile();
        if (!chosen)
            return;
        path = *chosen;
    }
    if (!saveTo(path))
        Desktop::instance().messageBox(QObject::tr("无法保存文件 %1").arg(path));
}
