// A download's size cap: a body longer than the cap is refused whether the server announces it or
// streams it without end, is not asked for again, and a body at the cap still arrives whole.
#include "LoopbackHttp.h"

#include "feeds/Downloader.h"

#include <QEventLoop>
#include <QTimer>

#include <optional>

#include <gtest/gtest.h>

namespace {

TEST(Downloader, ABodyOverTheCapIsRefusedAnnouncedOrStreamedAndNotAskedAgain)
{
    constexpr qint64 cap = 1 << 20;
    struct Case
    {
        const char* what;
        Route route;
        QString failure; // empty: the body arrives whole
    };
    const QString tooLong = QStringLiteral("larger than %1 bytes").arg(cap);
    const Case cases[] = {
        {"endless body, no length", Route::endless(), tooLong},
        {"announced over the cap", Route::announced(cap + 1, QByteArray(1000, 'x')), tooLong},
        {"a body at the cap", Route::whole(QByteArray(cap, 'x')), QString()},
    };
    for (const Case& c : cases) {
        LoopbackHttp server;
        ASSERT_TRUE(server.listening());
        server.routes["/frame"] = c.route;
        DownloadRules rules;
        rules.maxBytes = cap;
        rules.stallMs = 5000;
        rules.firstBackOffMs = 10;
        Downloader downloader(rules);
        std::optional<Download> got;
        QEventLoop loop;
        QTimer::singleShot(20000, &loop, &QEventLoop::quit); // a cap that never bites must not hang the test
        downloader.get(server.url(QStringLiteral("/frame")), [&](const Download& d) {
            got = d;
            loop.quit();
        });
        loop.exec();
        ASSERT_TRUE(got) << c.what;
        EXPECT_EQ(got->failure, c.failure) << c.what;
        EXPECT_EQ(got->body.size(), c.failure.isEmpty() ? cap : 0) << c.what;
        EXPECT_EQ(server.asked["/frame"], 1) << c.what;
    }
}

} // namespace
