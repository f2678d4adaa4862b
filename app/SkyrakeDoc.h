#pragma once

#include "platform/CommandMap.h"

#include <QString>

class RecentFileList;

// The document: an empty placeholder. All pictures and viewing state live in the view; the
// document only answers the framework's New, Open and Save.
class CSkyrakeDoc
{
public:
    CSkyrakeDoc();

    const CommandMap& commands() const { return m_commands; }
    // Files the document is opened from or saved to go on this list (not owned; may be null).
    void setRecentFileList(RecentFileList* list) { m_recentFiles = list; }

    bool OnNewDocument();
    // Opens `path` as the document. It reads nothing from the file, but the file must be there
    // to be read.
    bool OnOpenDocument(const QString& path);
    // Writes the document (which holds nothing) to `path`: an empty file.
    bool saveTo(const QString& path);
    // The file the document was last opened from or saved to; empty until then.
    const QString& pathName() const { return m_pathName; }

private:
    void OnFileSave();
    void SetPathName(const QString& path);

    QString m_pathName;
    RecentFileList* m_recentFiles = nullptr;
    CommandMap m_commands;
};
