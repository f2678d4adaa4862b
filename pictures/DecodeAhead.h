#pragma once

#include "pictures/LoadPictureFile.h"

#include <QStringList>
#include <QThread>

#include <algorithm>
#include <deque>
#include <future>

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
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // The decoded picture of file `index`, or why there is none; files are taken strictly in
    // order. `room` is how many more files the loop can possibly look at after this one (the
    // limit's headroom), so that files the limit will stop at are not decoded for nothing.
    LoadResult take(qsizetype index, qsizetype room)
    {
        fill(index, room);
        std::future<LoadResult> next = std::move(m_pending.front());
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
    std::deque<std::future<LoadResult>> m_pending;
};
