#include "pictures/ImportFiles.h"

#include "pictures/LoadPictureFile.h"
#include "platform/Desktop.h"
#include "platform/Dpi.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <deque>
#include <future>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Decoded pictures are large (4 MB for a 1024 x 1024 frame) and come and go in groups. glibc maps
// each such block on its own and unmaps it when it is released, so every import would fault in
// every page of its pictures afresh, which on these machines costs more than decoding them. Kept
// in the heap, the pages of deleted pictures serve the next import.
void keepPictureMemory()
{
#ifdef __GLIBC__
    static const bool once = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
        return true;
    }();
    (void)once;
#endif
}

// Decodes the chosen files ahead of the loop on worker threads, in the dialog's order, so that
// the next picture is usually ready when the loop asks for it. Only the decoding runs ahead:
// the limit, the size check, the messages and the placing stay on this thread, file by file, in
// order. A file the loop never reaches is never placed; whatever was decoded for it is dropped
// with the queue.
class DecodeAhead
{
public:
    DecodeAhead(const QStringList& paths, int dpiX, int dpiY)
        : m_paths(paths), m_dpiX(dpiX), m_dpiY(dpiY), m_depth(std::max(1, QThread::idealThreadCount()))
    {}

    // The decoded picture of file `index`; files are taken strictly in order. `room` is how
    // many more files the loop can possibly look at after this one (the limit's headroom), so
    // that files the limit will stop at are not decoded for nothing.
    std::optional<LoadedPicture> take(qsizetype index, qsizetype room)
    {
        fill(index, room);
        std::future<std::optional<LoadedPicture>> next = std::move(m_pending.front());
        m_pending.pop_front();
        ++m_taken;
        return next.get();
    }

private:
    void fill(qsizetype index, qsizetype room)
    {
        const qsizetype last = std::min<qsizetype>(m_paths.size() - 1, index + std::max<qsizetype>(room, 0));
        while (m_taken + qsizetype(m_pending.size()) <= last && qsizetype(m_pending.size()) < m_depth) {
            const QString path = m_paths.at(m_taken + qsizetype(m_pending.size()));
            m_pending.push_back(std::async(
                std::launch::async, [path, x = m_dpiX, y = m_dpiY] { return LoadPictureFile(path, x, y); }));
        }
    }

    const QStringList m_paths;
    const int m_dpiX;
    const int m_dpiY;
    const qsizetype m_depth; // decodes in flight at most: one per core
    qsizetype m_taken = 0;
    std::deque<std::future<std::optional<LoadedPicture>>> m_pending;
};

} // namespace

ImportOutcome ImportFiles(PictureList& list, const ImportRules& rules, const std::function<void()>& afterLoop)
{
    const std::optional<QStringList> chosen = Desktop::instance().choosePictureFiles();
    if (!chosen)
        return ImportOutcome::Cancelled;
    WaitCursor wait;
    keepPictureMemory();
    {
        // The screen's resolution is read here, on the user-interface thread, for all files.
        DecodeAhead decoder(*chosen, displayDpiX(), displayDpiY());
        for (qsizetype i = 0; i < chosen->size(); ++i) {
            // Tested before each file, so the message shows only when a further file is waiting.
            if (rules.limit > 0 && list.GetCount() >= rules.limit) {
                Desktop::instance().messageBox(QCoreApplication::translate("Pictures", "加载图片过多"));
                break;
            }
            const QString& path = chosen->at(i);
            if (rules.pathHolder)
                *rules.pathHolder = path;
            const qsizetype room = rules.limit > 0 ? rules.limit - list.GetCount() - 1 : chosen->size();
            std::optional<LoadedPicture> loaded = decoder.take(i, room);
            if (!loaded)
                continue;
            if (rules.accept && !rules.accept(*loaded->picture))
                continue; // the picture is released with `loaded`
            auto item = std::make_unique<CPictureItem>(std::move(loaded->picture), loaded->name, path);
            if (rules.ordered)
                InsertByName(list, std::move(item));
            else
                list.AddTail(std::move(item));
        }
        // Leaving the block waits for decodes still in flight and drops their pictures.
    }
    if (afterLoop)
        afterLoop();
    return ImportOutcome::Done;
}
