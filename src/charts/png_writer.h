#pragma once

#include <QString>

class QImage;

namespace dramolex::charts {

// Writes an image as PNG, fast: no row filtering and the lowest zlib level,
// which for flat-coloured charts costs a fraction of adaptive filtering and
// makes files only a little larger. The file is written beside its final
// name and renamed into place, so a reader never sees half an image.
// Returns an empty string on success, else "<path>: <reason>".
QString writePng(const QImage& image, const QString& path);

} // namespace dramolex::charts
