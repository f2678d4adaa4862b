#pragma once

#include "pictures/LoadFailure.h"

#include <QByteArray>

#include <optional>

// Whether the bytes begin with gzip's magic number: many FITS archives serve their frames as
// NNNNNNNN.fts.gz.
bool isGzip(const QByteArray& bytes);

// The bytes a gzip stream holds (every member, as gunzip reads them), or nothing, with `why`
// set: LoadFailure::CutOff for a stream that ends early, Damaged for one that is not gzip or
// fails its check, PictureTooLarge for one that would unpack to more than `limit` bytes (it is
// stopped there: a small file that unpacks to gigabytes never gets the memory).
std::optional<QByteArray> gunzip(const QByteArray& bytes, qint64 limit, LoadFailure* why = nullptr);

// The first `count` bytes a gzip stream holds (fewer where it holds fewer), from as much of the
// stream as `bytes` has: a FITS file's header, read without its data. Empty for bytes that are
// not gzip or are damaged before that.
QByteArray gunzipHead(const QByteArray& bytes, qint64 count);
