// libFuzzer target for picture loading: any bytes either decode into a picture that renders
// at a few zooms, or are refused. Nothing may crash, hang or read out of bounds.
#include "pictures/Completeness.h"
#include "pictures/LoadPictureFile.h"
#include "platform/Picture.h"
#include "platform/Surface.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    isCompletePicture(bytes);
    const auto picture = decodePicture(bytes, 96, 96);
    if (!picture)
        return 0;
    Surface surface(64, 48);
    const int w = picture->himetricWidth();
    const int h = picture->himetricHeight();
    for (const double zoom : {1.0, 0.37, 2.5}) {
        const int dw = int(picture->pixelWidth() * zoom);
        const int dh = int(picture->pixelHeight() * zoom);
        picture->render(surface, -3, -5, dw, dh, 0, h, w, -h);
    }
    return 0;
}
