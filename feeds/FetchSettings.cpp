#include "feeds/FetchSettings.h"

#include <QSettings>

namespace {

QString sourceKey(const Feed& feed)
{
    return QStringLiteral("Fetch/%1").arg(QLatin1String(feed.key));
}

} // namespace

QString frameLibrary()
{
    return QSettings().value(QStringLiteral("Fetch/library"), defaultFrameLibrary()).toString();
}

void setFrameLibrary(const QString& library)
{
    QSettings().setValue(QStringLiteral("Fetch/library"), library);
}

QUrl feedSource(const Feed& feed)
{
    return QUrl(QSettings().value(sourceKey(feed), QLatin1String(feed.defaultUrl)).toString());
}

void setFeedSource(const Feed& feed, const QUrl& source)
{
    QSettings settings;
    if (source == QUrl(QLatin1String(feed.defaultUrl)))
        settings.remove(sourceKey(feed)); // the archive's own address follows the program
    else
        settings.setValue(sourceKey(feed), source.toString());
}

FetchRequest lastFetchRequest()
{
    const QSettings settings;
    FetchRequest request;
    request.feed =
        feedNamed(settings.value(QStringLiteral("Fetch/feed")).toString()).value_or(feedOf(FeedKind::C3));
    request.size = settings.value(QStringLiteral("Fetch/size"), 1024).toInt() == 512 ? 512 : 1024;
    request.last = std::max(1, settings.value(QStringLiteral("Fetch/last"), 10).toInt());
    request.library = frameLibrary();
    request.base = feedSource(request.feed);
    return request;
}

void rememberFetchRequest(const FetchRequest& request)
{
    QSettings settings;
    settings.setValue(QStringLiteral("Fetch/feed"), QLatin1String(request.feed.key));
    settings.setValue(QStringLiteral("Fetch/size"), request.size);
    settings.setValue(QStringLiteral("Fetch/last"), request.last);
}
