#include "app/Links.h"

#include "app/CommandIds.h"
#include "platform/Desktop.h"

namespace {

// Host A: the sungrazing-comet project. Host B: a meteor society's sungrazer pages.
// Host C: the SOHO project. Host D: the coronagraph team. Hosts E and F: this project.
constexpr const char* hostA = "sungrazer.nrl.navy.mil";
constexpr const char* hostB = "www.arbeitskreis-meteore.de";
constexpr const char* hostC = "sohowww.nascom.nasa.gov";
constexpr const char* hostD = "lasco-www.nrl.navy.mil";

QString web(const char* host, const char* path)
{
    return QStringLiteral("http://%1%2").arg(QLatin1String(host), QLatin1String(path));
}

} // namespace

QString linkTarget(int id)
{
    switch (id) {
    case cmd::LinkSungrazerHome: return web(hostA, "/");
    case cmd::LinkSungrazerHistory: return web(hostB, "/comets/sungrazer.html");
    case cmd::LinkRecentReports: return web(hostA, "/recent.html");
    case cmd::LinkReportForm: return web(hostA, "/cometform.html");
    case cmd::LinkC3_512: return web(hostC, "/data/realtime/realtime-c3-512.html");
    case cmd::LinkC3_1024: return web(hostC, "/data/realtime/realtime-c3-1024.html");
    case cmd::LinkC2_512: return web(hostC, "/data/realtime/realtime-c2-512.html");
    case cmd::LinkC2_1024: return web(hostC, "/data/realtime/realtime-c2-1024.html");
    case cmd::LinkBlackWhite: return web(hostD, "/realtime.html");
    case cmd::LinkArchive: return web(hostD, "/cgi-bin/wdb/lasco/images/form");
    case cmd::LinkPersonalHome: return web("sohowww.nascom.nasa.gov", "");
    case cmd::AuthorHome: return web("sohowww.nascom.nasa.gov", "");
    case cmd::MailAuthor: return QStringLiteral("mailto:skyrake@localhost");
    default: return {};
    }
}

void OpenLink(const QString& target)
{
    Desktop::instance().openLink(target);
}
