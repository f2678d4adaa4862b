#pragma once

#include "platform/CommandMap.h"

#include <QString>

// The document: an empty placeholder. All pictures and viewing state live in the view; the
// document only answers the framework's New and Save.
class CSkyrakeDoc
{
public:
    CSkyrakeDoc();

    const CommandMap& commands() const { return m_commands; }
    bool OnNewDocument();
    // Writes the document (which holds nothing) to `path`: an empty file.
    bool saveTo(const QString& path);
    // The file the document was last saved to; empty until the first save.
    const QString& pathName() const { return m_pathName; }

private:
    void OnFileSave();

    QString m_pathName;
    CommandMap m_commands;
};
