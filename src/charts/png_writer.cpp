#include "charts/png_writer.h"

#include <QFile>
#include <QImage>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <spng.h>

namespace dramolex::charts {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
struct ContextFreer {
    void operator()(spng_ctx* c) const { spng_ctx_free(c); }
};

QString systemError(const QString& path) { return path + ": " + QString::fromLocal8Bit(std::strerror(errno)); }

QString encode(const QImage& rgb, std::FILE* file)
{
    std::unique_ptr<spng_ctx, ContextFreer> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx) return QStringLiteral("out of memory");
    spng_ihdr header{};
    header.width = static_cast<uint32_t>(rgb.width());
    header.height = static_cast<uint32_t>(rgb.height());
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    int error = spng_set_ihdr(ctx.get(), &header);
    if (!error) error = spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, SPNG_DISABLE_FILTERING);
    if (!error) error = spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, 1);
    if (!error) error = spng_set_png_file(ctx.get(), file);
    const auto rowBytes = static_cast<size_t>(rgb.width()) * 3;
    if (!error && static_cast<size_t>(rgb.bytesPerLine()) == rowBytes) {
        error = spng_encode_image(ctx.get(), rgb.constBits(), rowBytes * static_cast<size_t>(rgb.height()), SPNG_FMT_PNG,
                                  SPNG_ENCODE_FINALIZE);
    } else if (!error) {
        // Rows with padding go one at a time.
        error = spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
        for (int y = 0; !error && y < rgb.height(); ++y) {
            error = spng_encode_row(ctx.get(), rgb.constScanLine(y), rowBytes);
            if (error == SPNG_EOI) error = 0;
        }
    }
    if (error) return QString::fromLatin1(spng_strerror(error));
    return {};
}

} // namespace

QString writePng(const QImage& image, const QString& path)
{
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    const QString partial = path + QStringLiteral(".part");
    const QByteArray partialName = QFile::encodeName(partial);
    QString failure;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(partialName.constData(), "wb"));
        if (!file) return systemError(path);
        failure = encode(rgb, file.get());
        // The encoder's own word for a failed write says nothing; the system's does.
        if (!failure.isEmpty() && std::ferror(file.get())) failure = systemError(path);
        if (failure.isEmpty() && std::fflush(file.get()) != 0) failure = systemError(path);
        if (failure.isEmpty() && std::fclose(file.release()) != 0) failure = systemError(path);
    }
    if (failure.isEmpty() && std::rename(partialName.constData(), QFile::encodeName(path).constData()) != 0) {
        failure = systemError(path);
    }
    if (!failure.isEmpty()) {
        std::remove(partialName.constData());
        if (!failure.startsWith(path)) failure = path + ": " + failure;
    }
    return failure;
}

} // namespace dramolex::charts
