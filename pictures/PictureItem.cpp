#include "pictures/PictureItem.h"

#include <QByteArray>

#include <cstring>

CPictureItem::CPictureItem(std::unique_ptr<Picture> picture, QString name, QString pathName)
    : m_pPicture(std::move(picture)), m_name(std::move(name)), m_pathName(std::move(pathName)),
      m_facts(frameInfoOf(m_name, m_pPicture ? m_pPicture->keywords() : QHash<QString, QString>()))
{}

qsizetype CPictureItem::byteCount() const
{
    return (m_pPicture ? m_pPicture->byteCount() : 0) + (m_shown ? m_shown->byteCount() : 0);
}

void DiscardItem(std::unique_ptr<CPictureItem> item)
{
    if (item) {
        item->m_shown.reset();
        item->m_pPicture.reset();
    }
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
