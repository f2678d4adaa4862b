#pragma once

#include "platform/Picture.h"

#include <QString>

#include <memory>

// One loaded picture: the decoded picture and the name under which it is shown, ordered and
// reported.
class CPictureItem
{
public:
    CPictureItem(std::unique_ptr<Picture> picture, QString name, QString pathName)
        : m_pPicture(std::move(picture)), m_name(std::move(name)), m_pathName(std::move(pathName))
    {}

    std::unique_ptr<Picture> m_pPicture;
    // The file name: the path's final component. Identity for order and duplicates.
    QString m_name;
    // The full path as the file dialog returned it.
    QString m_pathName;
};

// Releases the item's picture, then destroys the item.
void DiscardItem(std::unique_ptr<CPictureItem> item);

// Byte order of the names in UTF-8, as unsigned bytes: case-sensitive (B.gif < a.gif), numbers
// compared digit by digit (10.gif < 9.gif). Negative, zero or positive like strcmp.
int compareNames(const QString& a, const QString& b);
