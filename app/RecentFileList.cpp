#include "app/RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace {
QString entryKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

void RecentFileList::ReadList(QSettings& settings)
{
    m_files.clear();
    settings.beginGroup(QLatin1String(section));
    for (int i = 0; i < m_size; ++i) {
        const QString path = settings.value(entryKey(i)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files.append(path);
    }
    settings.endGroup();
}

void RecentFileList::WriteList(QSettings& settings) const
{
    settings.beginGroup(QLatin1String(section));
    // Entries beyond the ones written now would come back at the next start.
    settings.remove(QString());
    for (int i = 0; i < m_files.size(); ++i)
        settings.setValue(entryKey(i), m_files.at(i));
    settings.endGroup();
}

void RecentFileList::Add(const QString& path)
{
    if (path.isEmpty() || m_size <= 0)
        return;
    // The same file reached by another spelling of its path is still one entry.
    const QString full = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(full);
    m_files.prepend(full);
    while (m_files.size() > m_size)
        m_files.removeLast();
}
