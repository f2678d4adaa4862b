#include "app/Links.h"

#include "app/CommandIds.h"
#include "platform/Desktop.h"

namespace {

// Host A: the Sungrazer Project, where SOHO comet finds are reported.
// Host B: the meteor society whose site keeps the history of the sungrazers.
// Host C: the SOHO project, with the realtime coronagraph pictures.
// Host D: the LASCO coronagraph team.
// Host E: COBS, the comet observers' database hosted at Crni Vrh observatory.
// Host F and the mail: SkyRake's own. It publishes no homepage or mailbox yet; until it does,
// the homepage is the SOHO project's site, where its pictures come from, and mail goes to the
// local user skyrake.
constexpr const char* hostA = "sungrazer.nrl.navy.mil";
constexpr const char* hostB = "www.arbeitskreis-meteore.de";
constexpr const char* hostC = "sohowww.nascom.nasa.gov";
constexpr const char* hostD = "lasco-www.nrl.navy.mil";
constexpr const char* hostE = "cobs.si";
constexpr const char* hostF = "sohowww.nascom.nasa.gov";
constexpr const char* authorMail = "skyrake@localhost";

QString web(const char* host, const char* path = "")
{
    return QStringLiteral("http://%1%2").arg(QLatin1String(host), QLatin1String(path));
}

} // namespace

QString linkTarget(int id)
{
    switch (id) {
    case cmd::LinkSungrazerHome:
        return web(hostA, "/");
    case cmd::LinkSungrazerHistory:
        return web(hostB, "/comets/sungrazer.html");
    case cmd::LinkRecentReports:
        return web(hostA, "/recent.html");
    case cmd::LinkReportForm:
        return web(hostA, "/cometform.html");
    case cmd::LinkC3_512:
        return web(hostC, "/data/realtime/realtime-c3-512.html");
    case cmd::LinkC3_1024:
        return web(hostC, "/data/realtime/realtime-c3-1024.html");
    case cmd::LinkC2_512:
        return web(hostC, "/data/realtime/realtime-c2-512.html");
    case cmd::LinkC2_1024:
        return web(hostC, "/data/realtime/realtime-c2-1024.html");
    case cmd::LinkBlackWhite:
        return web(hostD, "/realtime.html");
    case cmd::LinkArchive:
        return web(hostD, "/cgi-bin/wdb/lasco/images/form");
    case cmd::LinkPersonalHome:
        return web(hostE);
    case cmd::AuthorHome:
        return web(hostF);
    case cmd::MailAuthor:
        return QStringLiteral("mailto:%1").arg(QLatin1String(authorMail));
    default:
        return {};
    }
}

QString authorMailAddress()
{
    return QLatin1String(authorMail);
}

void OpenLink(const QString& target)
{
    Desktop::instance().openLink(target);
}
