#pragma once

#include "pictures/PictureItem.h"
#include "platform/Himetric.h"
#include "platform/Picture.h"
#include "viewer/SkyrakeView.h"

#include "../support/ModalScript.h"
#include "../support/ViewHarness.h"
#include "pictures/PictureListDlg.h"

#include <QListWidget>

#include <QImage>

#include <memory>

// A picture of one colour, `width` x `height` pixels, sized in HIMETRIC for the view's
// resolution so that it shows at exactly its pixel size at zoom 1.
inline std::unique_ptr<CPictureItem> solidItem(const CSkyrakeView& view, const QString& name, int width,
                                               int height, QRgb colour)
{
    QImage pixels(width, height, QImage::Format_RGB32);
    pixels.fill(colour);
    auto picture = std::make_unique<Picture>(std::move(pixels), pixelsToHimetric(width, view.dpiX()),
                                             pixelsToHimetric(height, view.dpiY()));
    return std::make_unique<CPictureItem>(std::move(picture), name, QStringLiteral("/pictures/") + name);
}

// Appends `item` to the harness's sequence and shows the head, as File Open ends.
inline void show(ViewHarness& harness, std::unique_ptr<CPictureItem> item)
{
    harness.view->appendPicture(std::move(item));
    harness.view->ShowFirst();
    ViewHarness::settle();
}

// The state the view's update handler gives command `id` now.
inline CmdUI commandState(const CSkyrakeView& view, int id)
{
    return CommandRouter{&view.commands()}.state(id);
}

// Carries command `id` out as a menu, key or button does: only when its rule allows it.
inline bool runCommand(const CSkyrakeView& view, int id)
{
    return CommandRouter{&view.commands()}.execute(id);
}

inline constexpr QRgb gridGrey = 0xff808080u;

// Zooms and moves the view's pictures as the commands would, and shows the current one.
inline void setZoom(CSkyrakeView& view, double zoom)
{
    Placement placement = view.placement();
    placement.setZoom(zoom);
    view.setPlacement(placement);
}

inline void moveTo(CSkyrakeView& view, int offsetX, int offsetY)
{
    Placement placement = view.placement();
    placement.moveTo(offsetX, offsetY);
    view.setPlacement(placement);
}

// Deletes every picture in the picture list, as the observer would, and closes it.
inline void deleteAllPictures(CSkyrakeView& view)
{
    ModalScript script;
    script.on<CPictureListDlg>([](CPictureListDlg* dialog) {
        while (dialog->m_list->count() > 0) {
            dialog->m_list->setCurrentRow(0);
            dialog->OnDelete();
        }
        dialog->accept();
    });
    script.run([&view] { view.OnPictureList(); });
}
