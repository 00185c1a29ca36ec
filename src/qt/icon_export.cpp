// zylicon: writes the application icon as the files the desktops want, at build time:
// <dir>/<n>x<n>/zyltool.png for the hicolor theme (n = 16, 32, 48, 64, 128, 256), and
// <dir>/zyltool.ico for the Windows program's icon resource: the drawing at 32 x 32 and
// 16 x 16 in the 16 colours of the standard palette, as the resource has always been.

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QtEndian>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "app_icon.h"

namespace {

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

// The icon is drawn for 16 and 32 pixels on a 16-colour grid. A larger size is that
// drawing with each pixel made a square block, from the largest drawing that fits a whole
// number of times, so the edges stay as sharp as the drawing's.
QImage imageOf(const QIcon& icon, int size) {
    QList<QSize> drawn = icon.availableSizes();
    std::sort(drawn.begin(), drawn.end(), [](QSize a, QSize b) { return a.width() > b.width(); });
    for (const QSize& source : drawn) {
        if (source.width() <= size && size % source.width() == 0) {
            return icon.pixmap(source).toImage().scaled(size, size, Qt::IgnoreAspectRatio,
                                                        Qt::FastTransformation);
        }
    }
    return icon.pixmap(size, size)
        .toImage()
        .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QByteArray pngOf(const QIcon& icon, int size) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    imageOf(icon, size).save(&buffer, "PNG");
    return png;
}

void putLe16(QByteArray& out, int value) {
    const quint16 le = qToLittleEndian(static_cast<quint16>(value));
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void putLe32(QByteArray& out, int value) {
    const quint32 le = qToLittleEndian(static_cast<quint32>(value));
    out.append(reinterpret_cast<const char*>(&le), 4);
}

// The 16 colours of Windows' standard palette, which the drawing keeps to.
constexpr QRgb kPalette[16] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
};
constexpr int kIconSizes[] = {32, 16};

int paletteIndex(QRgb pixel) {
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < 16; ++i) {
        const int dr = qRed(pixel) - qRed(kPalette[i]);
        const int dg = qGreen(pixel) - qGreen(kPalette[i]);
        const int db = qBlue(pixel) - qBlue(kPalette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// One image of an icon file as Windows' icon resources hold it: a bitmap header of twice
// the height, the palette, the 4-bit colour rows and the 1-bit transparency mask, each
// bottom row first and padded to 4 bytes. A pixel that is mostly transparent is masked.
QByteArray iconImageOf(const QImage& image) {
    const int size = image.width();
    const int colourRow = (size / 2 + 3) / 4 * 4;
    const int maskRow = (size / 8 + 3) / 4 * 4;
    QByteArray bytes;
    putLe32(bytes, 40);  // header size
    putLe32(bytes, size);
    putLe32(bytes, size * 2);  // the colours and the mask
    putLe16(bytes, 1);         // planes
    putLe16(bytes, 4);         // bits per pixel
    putLe32(bytes, 0);         // no compression
    putLe32(bytes, (colourRow + maskRow) * size);
    for (int i = 0; i < 4; ++i) {
        putLe32(bytes, 0);  // resolution, colours used and important: all
    }
    for (const QRgb colour : kPalette) {
        bytes.append(static_cast<char>(qBlue(colour)));
        bytes.append(static_cast<char>(qGreen(colour)));
        bytes.append(static_cast<char>(qRed(colour)));
        bytes.append('\0');
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = argb.pixel(x, y);
            const int index = qAlpha(pixel) < 128 ? 0 : paletteIndex(pixel);
            row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
        }
        bytes.append(row);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(argb.pixel(x, y)) < 128) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        bytes.append(row);
    }
    return bytes;
}

// The icon file: a 6-byte header, a 16-byte entry per image, then the images.
QByteArray icoOf(const QIcon& icon) {
    constexpr int kHeaderSize = 6;
    constexpr int kEntrySize = 16;
    constexpr int kIconType = 1;
    std::vector<QByteArray> images;
    for (const int size : kIconSizes) {
        images.push_back(iconImageOf(imageOf(icon, size)));
    }
    QByteArray ico;
    putLe16(ico, 0);
    putLe16(ico, kIconType);
    putLe16(ico, static_cast<int>(images.size()));
    int offset = kHeaderSize + kEntrySize * static_cast<int>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        ico.append(static_cast<char>(kIconSizes[i]));  // width
        ico.append(static_cast<char>(kIconSizes[i]));  // height
        ico.append(static_cast<char>(16));             // colours
        ico.append('\0');
        putLe16(ico, 1);  // colour planes
        putLe16(ico, 4);  // bits per pixel
        putLe32(ico, static_cast<int>(images[i].size()));
        putLe32(ico, offset);
        offset += static_cast<int>(images[i].size());
    }
    for (const QByteArray& image : images) {
        ico.append(image);
    }
    return ico;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "zylicon: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zylicon DIR\n");
        return 2;
    }
    // Pixmaps need a GUI application, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QIcon icon = appIcon();

    for (const int size : kSizes) {
        const QString sizeDir = QStringLiteral("%1/%2x%2").arg(dir).arg(size);
        if (!QDir().mkpath(sizeDir) ||
            !writeFile(sizeDir + QStringLiteral("/zyltool.png"), pngOf(icon, size))) {
            return 1;
        }
    }
    return writeFile(dir + QStringLiteral("/zyltool.ico"), icoOf(icon)) ? 0 : 1;
}
