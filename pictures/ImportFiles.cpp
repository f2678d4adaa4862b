#include "pictures/ImportFiles.h"

#include "pictures/LoadPictureFile.h"
#include "platform/Desktop.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>

ImportOutcome ImportFiles(PictureList& list, const ImportRules& rules, const std::function<void()>& afterLoop)
{
    const std::optional<QStringList> chosen = Desktop::instance().choosePictureFiles();
    if (!chosen)
        return ImportOutcome::Cancelled;
    WaitCursor wait;
    for (const QString& path : *chosen) {
        if (rules.limit > 0 && list.GetCount() >= rules.limit) {
            Desktop::instance().messageBox(QCoreApplication::translate("Pictures", "加载图片过多"));
            break;
        }
        if (rules.pathHolder)
            *rules.pathHolder = path;
        std::optional<LoadedPicture> loaded = LoadPictureFile(path);
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
    if (afterLoop)
        afterLoop();
    return ImportOutcome::Done;
}
