#include "FitsWriter.h"

#include <fitsio.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

void writeCards(fitsfile* file, const FitsContent& content, int* status)
{
    for (const auto& [key, value] : content.cards) {
        const QByteArray card = key.leftJustified(8, ' ') + "= " + value.rightJustified(20, ' ');
        fits_write_record(file, card.leftJustified(80, ' ', true).constData(), status);
    }
}

} // namespace

QByteArray fitsBytes(const FitsContent& content)
{
    // Through a file: a compressed image's heap is written as the file closes.
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("frame.fits"));
    fitsfile* file = nullptr;
    int status = 0;
    fits_create_file(&file, QFile::encodeName(path).constData(), &status);
    long axes[2] = {content.width, content.height};
    const LONGLONG count = LONGLONG(content.width) * content.height;
    // NaN is written through cfitsio's null value, which a compressed image keeps as ZBLANK.
    float nothing = -1e30f;
    std::vector<float> values = content.values;
    for (float& v : values) {
        if (std::isnan(v))
            v = nothing;
    }
    if (content.riceCompressed) {
        fits_create_img(file, FLOAT_IMG, 0, nullptr, &status);
        fits_set_compression_type(file, RICE_1, &status);
        fits_create_img(file, FLOAT_IMG, 2, axes, &status);
        writeCards(file, content, &status);
        fits_write_imgnull(file, TFLOAT, 1, count, values.data(), &nothing, &status);
        std::vector<float> uncertainty(values.size(), 0.5f);
        fits_create_img(file, FLOAT_IMG, 2, axes, &status);
        fits_write_key_str(file, "EXTNAME", "Uncertainty array", nullptr, &status);
        fits_write_img(file, TFLOAT, 1, count, uncertainty.data(), &status);
    } else {
        fits_create_img(file, FLOAT_IMG, 2, axes, &status);
        writeCards(file, content, &status);
        fits_write_imgnull(file, TFLOAT, 1, count, values.data(), &nothing, &status);
    }
    fits_close_file(file, &status);
    QFile written(path);
    return status == 0 && written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}
