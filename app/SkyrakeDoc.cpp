#include "app/SkyrakeDoc.h"

#include "app/CommandIds.h"
#include "platform/Desktop.h"

#include <QFile>

CSkyrakeDoc::CSkyrakeDoc()
{
    m_commands.on(cmd::FileSave, [this] { OnFileSave(); });
}

bool CSkyrakeDoc::OnNewDocument()
{
    // Nothing to reset: the document holds no data, and the pictures belong to the view.
    return true;
}

bool CSkyrakeDoc::saveTo(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.close();
    m_pathName = path;
    return true;
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
