#pragma once

#include <QStringList>

class QSettings;

// The most recently used document files, newest first, kept in the settings between runs. The
// menus show no recent-file items; the list is only remembered.
class RecentFileList
{
public:
    static constexpr const char* section = "Recent File List";

    explicit RecentFileList(int size) : m_size(size) {}

    // Reads File1..FileN of the section; empty and missing entries are skipped.
    void ReadList(QSettings& settings);
    // Rewrites the section with the entries there are, File1 the newest.
    void WriteList(QSettings& settings) const;
    // Puts `path` at the front, dropping an earlier entry for the same file and the oldest
    // entry beyond the list's size.
    void Add(const QString& path);

    const QStringList& files() const { return m_files; }
    int size() const { return m_size; }

private:
    int m_size;
    QStringList m_files;
};
