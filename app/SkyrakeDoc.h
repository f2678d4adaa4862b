#pragma once

#include "platform/CommandMap.h"

#include <QByteArray>
#include <QString>

#include <functional>

class RecentFileList;

// What the document writes and reads: the session of the view, given by the application.
struct DocumentContent
{
    std::function<QByteArray()> save;
    // False when the bytes are not a document this program reads.
    std::function<bool(const QByteArray& bytes, const QString& path)> open;
};

// The document: the pictures and viewing state live in the view; the document answers New, Open,
// Save and Save As, and its file holds the view's session.
class CSkyrakeDoc
{
public:
    CSkyrakeDoc();

    const CommandMap& commands() const { return m_commands; }
    // Files the document is opened from or saved to go on this list (not owned; may be null).
    void setRecentFileList(RecentFileList* list) { m_recentFiles = list; }

    void setContent(DocumentContent content) { m_content = std::move(content); }

    bool OnNewDocument();
    // Opens `path` as the document: its session is restored. False, with nothing changed, for a
    // file that can't be read or holds no session.
    bool OnOpenDocument(const QString& path);
    // Writes the document to `path` at once or not at all (a failed write leaves the old file).
    bool saveTo(const QString& path);
    // The file the document was last opened from or saved to; empty until then.
    const QString& pathName() const { return m_pathName; }

private:
    void OnFileSave();
    void OnFileSaveAs();
    void SetPathName(const QString& path);

    QString m_pathName;
    RecentFileList* m_recentFiles = nullptr;
    DocumentContent m_content;
    CommandMap m_commands;
};
