#pragma once

#include "pictures/PictureList.h"

#include <QString>

#include <functional>

// How one import entry point treats the chosen files.
struct ImportRules
{
    // At most this many pictures in the sequence, tested before each file ("加载图片过多");
    // 0 for no limit.
    int limit = 0;
    // Ordered placing with duplicate refusal (InsertByName) instead of appending at the tail.
    bool ordered = false;
    // Called with each decoded picture before its item is made; false skips the file.
    std::function<bool(const Picture&)> accept;
    // Receives the path of the file in hand (the view keeps the last one).
    QString* pathHolder = nullptr;
};

enum class ImportOutcome
{
    Cancelled, // the file dialog was not ended with OK
    Done,
};

// The import loop shared by File Open, Import pictures and the list dialog's Import button:
// the file dialog, then each chosen file in the dialog's order is decoded and placed by `rules`.
// `afterLoop` runs after the loop, under the wait cursor (the entry point's closing step).
ImportOutcome ImportFiles(PictureList& list, const ImportRules& rules,
                          const std::function<void()>& afterLoop = {});
