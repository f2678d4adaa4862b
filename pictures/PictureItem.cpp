#include "pictures/PictureItem.h"

#include <QByteArray>

#include <cstring>

void DiscardItem(std::unique_ptr<CPictureItem> item)
{
    if (item)
        item->m_pPicture.reset();
    item.reset();
}

int compareNames(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    const size_t common = size_t(std::min(x.size(), y.size()));
    // memcmp compares as unsigned char.
    if (const int c = std::memcmp(x.constData(), y.constData(), common))
        return c;
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}
