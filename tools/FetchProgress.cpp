#include "tools/FetchProgress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>
#include <QProgressDialog>

std::optional<FetchOutcome> fetchWithProgress(const FetchRequest& request, QWidget* parent,
                                              const DownloadRules& rules)
{
    QProgressDialog progress(QCoreApplication::translate("FetchProgress", "正在读取档案的图片列表..."),
                             QCoreApplication::translate("FetchProgress", "取消"), 0, 0, parent);
    progress.setWindowTitle(QCoreApplication::translate("FetchProgress", "获取图片"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setValue(0);

    FrameFetch fetch(request, rules);
    QEventLoop waiting;
    bool cancelled = false;
    QObject::connect(&fetch, &FrameFetch::done, &waiting, &QEventLoop::quit);
    QObject::connect(&progress, &QProgressDialog::canceled, &waiting, [&] {
        cancelled = true;
        fetch.cancel();
        waiting.quit();
    });
    QObject::connect(&fetch, &FrameFetch::progress, &progress, [&](int done, int wanted, qint64 bytes) {
        progress.setMaximum(std::max(wanted, 1));
        progress.setLabelText(QCoreApplication::translate("FetchProgress", "已获取 %1 / %2 幅图片，%3")
                                  .arg(done)
                                  .arg(wanted)
                                  .arg(QLocale().formattedDataSize(bytes)));
        progress.setValue(std::min(done, std::max(wanted, 1)));
    });
    fetch.start();
    waiting.exec();
    if (cancelled)
        return std::nullopt;
    return fetch.outcome();
}
