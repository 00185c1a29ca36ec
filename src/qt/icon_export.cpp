// zylicon: writes the application icon as the files the desktops want, at build time:
// <dir>/<n>x<n>/zyltool.png for the hicolor theme (n = 16, 32, 48, 64, 128, 256), and
// <dir>/zyltool.ico (every size) for the Windows resources.

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

// An icon file whose images are PNG streams, which Windows reads since Vista: a 6-byte
// header, a 16-byte entry per image, then the images.
QByteArray icoOf(const std::vector<QByteArray>& pngs, const std::vector<int>& sizes) {
    constexpr int kHeaderSize = 6;
    constexpr int kEntrySize = 16;
    constexpr int kIconType = 1;
    QByteArray ico;
    putLe16(ico, 0);
    putLe16(ico, kIconType);
    putLe16(ico, static_cast<int>(pngs.size()));
    int offset = kHeaderSize + kEntrySize * static_cast<int>(pngs.size());
    for (std::size_t i = 0; i < pngs.size(); ++i) {
        // One byte each, in which 0 stands for 256.
        ico.append(static_cast<char>(sizes[i] & 0xFF));  // width
        ico.append(static_cast<char>(sizes[i] & 0xFF));  // height
        ico.append('\0');                                // no palette
        ico.append('\0');
        putLe16(ico, 1);   // colour planes
        putLe16(ico, 32);  // bits per pixel
        putLe32(ico, static_cast<int>(pngs[i].size()));
        putLe32(ico, offset);
        offset += static_cast<int>(pngs[i].size());
    }
    for (const QByteArray& png : pngs) {
        ico.append(png);
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

    std::vector<QByteArray> pngs;
    std::vector<int> sizes;
    for (const int size : kSizes) {
        const QString sizeDir = QStringLiteral("%1/%2x%2").arg(dir).arg(size);
        pngs.push_back(pngOf(icon, size));
        sizes.push_back(size);
        if (!QDir().mkpath(sizeDir) || !writeFile(sizeDir + QStringLiteral("/zyltool.png"), pngs.back())) {
            return 1;
        }
    }
    return writeFile(dir + QStringLiteral("/zyltool.ico"), icoOf(pngs, sizes)) ? 0 : 1;
}
