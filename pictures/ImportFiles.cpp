#include "pictures/ImportFiles.h"

#include "pictures/DecodeAhead.h"
#include "pictures/LoadPictureFile.h"
#include "platform/Desktop.h"
#include "platform/Dpi.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>

ImportOutcome ImportFiles(PictureList& list, const ImportRules& rules, const std::function<void()>& afterLoop)
{
    const std::optional<QStringList> chosen = Desktop::instance().choosePictureFiles();
    if (!chosen)
        return ImportOutcome::Cancelled;
    WaitCursor wait;
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
            LoadResult loaded = decoder.take(i, room);
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
