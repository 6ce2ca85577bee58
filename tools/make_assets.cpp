// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// Regenerates assets/diagram.bmp, assets/lumera.ico and the desktop icons;
// usage: make_assets <assets-dir> [<hicolor-dir>].
#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QSaveFile>
#include <QString>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

void putU8(QByteArray& out, int v) {
    out.append(char(quint8(v)));
}

void putU16(QByteArray& out, quint16 v) {
    putU8(out, v & 0xff);
    putU8(out, v >> 8);
}

void putU32(QByteArray& out, quint32 v) {
    putU16(out, quint16(v & 0xffff));
    putU16(out, quint16(v >> 16));
}

// The classic BITMAPINFOHEADER; every DIB we write (the diagram and the icon images) uses it.
void putInfoHeader(QByteArray& out, int width, int height, int bitCount, quint32 imageSize,
                   quint32 pixelsPerMetre) {
    putU32(out, 40);
    putU32(out, quint32(width));
    putU32(out, quint32(height));
    putU16(out, 1);
    putU16(out, quint16(bitCount));
    putU32(out, 0); // BI_RGB
    putU32(out, imageSize);
    putU32(out, pixelsPerMetre);
    putU32(out, pixelsPerMetre);
    putU32(out, 0); // palette size implied by the bit count
    putU32(out, 0);
}

int paddedRowBytes(int width, int bitCount) {
    return (width * bitCount + 31) / 32 * 4;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
    return true;
}

// ---------------------------------------------------------------- energy-level diagram

constexpr int kDiagramWidth = 338;
constexpr int kDiagramHeight = 311;
constexpr int kAxisX = 43;
constexpr int kAxisTop = 15; // just below the unit label
constexpr int kLineRight = 324;
constexpr std::array kLevelRows{25, 49, 95, 163, 307};
constexpr quint32 kPixelsPerMetre = 3780; // 96 dpi

bool isInk(QRgb pixel) {
    return qGray(pixel) < 128;
}

QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Draws `text` so that its ink starts at the top-left of `box` and stays inside it. 12 px gives
// Liberation Sans 9-pixel capitals; when that does not fit, the rendering is first narrowed and
// then made smaller. Glyphs are drawn aliased and thresholded so the bitmap stays two-colour.
bool drawFitted(QImage& canvas, const QString& text, const QRect& box) {
    for (int pixelSize = 12; pixelSize >= 8; --pixelSize) {
        for (int stretch = 100; stretch >= 75; --stretch) {
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPixelSize(pixelSize);
            font.setStretch(stretch);
            font.setStyleStrategy(QFont::NoAntialias);
            font.setHintingPreference(QFont::PreferFullHinting);
            font.setWordSpacing(2); // hinted spaces come out too narrow to part the words

            QImage scratch(box.width() * 2 + 32, box.height() * 3 + 32, QImage::Format_RGB32);
            scratch.fill(Qt::white);
            QPainter painter(&scratch);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(16, scratch.height() * 2 / 3, text);
            painter.end();

            const QRect ink = inkBounds(scratch);
            if (ink.isEmpty() || ink.width() > box.width() || ink.height() > box.height())
                continue;
            for (int y = ink.top(); y <= ink.bottom(); ++y)
                for (int x = ink.left(); x <= ink.right(); ++x)
                    if (isInk(scratch.pixel(x, y)))
                        canvas.setPixel(box.left() + x - ink.left(), box.top() + y - ink.top(),
                                        qRgb(0, 0, 0));
            std::printf("\"%s\": %d px, stretch %d%%, ink %dx%d at (%d,%d)\n", qPrintable(text),
                        pixelSize, stretch, ink.width(), ink.height(), box.left(), box.top());
            return true;
        }
    }
    std::fprintf(stderr, "make_assets: \"%s\" does not fit %dx%d\n", qPrintable(text), box.width(),
                 box.height());
    return false;
}

QByteArray encodeBmp24(const QImage& image) {
    const int rowBytes = paddedRowBytes(image.width(), 24);
    const auto imageSize = quint32(rowBytes * image.height());
    QByteArray out;
    out.append("BM");
    putU32(out, 14 + 40 + imageSize);
    putU32(out, 0);
    putU32(out, 14 + 40);
    putInfoHeader(out, image.width(), image.height(), 24, imageSize, kPixelsPerMetre);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            putU8(out, qBlue(pixel));
            putU8(out, qGreen(pixel));
            putU8(out, qRed(pixel));
        }
        for (int pad = image.width() * 3; pad < rowBytes; ++pad)
            putU8(out, 0);
    }
    return out;
}

bool makeDiagram(const QString& path) {
    QImage canvas(kDiagramWidth, kDiagramHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);

    for (int y = kAxisTop; y <= kLevelRows.back(); ++y)
        canvas.setPixel(kAxisX, y, qRgb(0, 0, 0));
    for (int y : kLevelRows)
        for (int x = kAxisX; x <= kLineRight; ++x)
            canvas.setPixel(x, y, qRgb(0, 0, 0));

    if (!drawFitted(canvas, QStringLiteral("эВ"), QRect(QPoint(40, 4), QPoint(51, 12))) ||
        !drawFitted(canvas, QStringLiteral("Схема энергетических уровней"),
                    QRect(QPoint(74, 8), QPoint(231, 18))))
        return false;
    return writeFile(path, encodeBmp24(canvas));
}

// ---------------------------------------------------------------- application icon

enum class Ink { Clear, Black, White, Cyan };

// A window sheet turned away to the right: vertical sides, top and bottom edges converging, and
// a caption band under the top edge closed off by a divider line.
struct Sheet {
    int left, right;
    int topAtLeft, topAtRight;
    int bottomAtLeft, bottomAtRight;
    int dividerAtLeft, dividerAtRight;
};

int edgeRow(const Sheet& sheet, int atLeft, int atRight, int x) {
    return atLeft + int(std::lround(double(atRight - atLeft) * (x - sheet.left) /
                                    (sheet.right - sheet.left)));
}

std::vector<Ink> drawSheet(int size, const Sheet& sheet) {
    std::vector<Ink> pixels(size_t(size * size), Ink::Clear);
    for (int x = sheet.left; x <= sheet.right; ++x) {
        const int top = edgeRow(sheet, sheet.topAtLeft, sheet.topAtRight, x);
        const int bottom = edgeRow(sheet, sheet.bottomAtLeft, sheet.bottomAtRight, x);
        const int divider = edgeRow(sheet, sheet.dividerAtLeft, sheet.dividerAtRight, x);
        for (int y = top; y <= bottom; ++y) {
            Ink ink = y < divider ? Ink::Cyan : Ink::White;
            if (x == sheet.left || x == sheet.right || y == top || y == bottom || y == divider)
                ink = Ink::Black;
            pixels[size_t(y) * size_t(size) + size_t(x)] = ink;
        }
    }
    return pixels;
}

// The standard 16-colour palette as icon editors write it; index 14 is cyan, 15 white.
constexpr std::array<QRgb, 16> kPalette16{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xc0c0c0,
    0x808080, 0xff0000, 0x00ff00, 0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
constexpr std::array<QRgb, 2> kPalette2{0x000000, 0xffffff};

int paletteIndex(Ink ink, int bitCount) {
    switch (ink) {
    case Ink::White:
        return bitCount == 1 ? 1 : 15;
    case Ink::Cyan:
        return bitCount == 1 ? 0 : 14; // a solid black caption in monochrome
    case Ink::Clear:                   // black under a set mask bit leaves the screen unchanged
    case Ink::Black:
        break;
    }
    return 0;
}

// One icon image: BITMAPINFOHEADER (height doubled), palette, XOR bitmap, AND mask.
QByteArray encodeIconImage(const std::vector<Ink>& pixels, int size, int bitCount) {
    const int xorRow = paddedRowBytes(size, bitCount);
    const int andRow = paddedRowBytes(size, 1);
    QByteArray out;
    putInfoHeader(out, size, size * 2, bitCount, quint32((xorRow + andRow) * size), 0);
    if (bitCount == 1)
        for (QRgb colour : kPalette2)
            putU32(out, colour);
    else
        for (QRgb colour : kPalette16)
            putU32(out, colour);

    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(xorRow, '\0');
        for (int x = 0; x < size; ++x) {
            const int index = paletteIndex(pixels[size_t(y) * size_t(size) + size_t(x)], bitCount);
            const int bit = x * bitCount;
            row[bit / 8] = char(row[bit / 8] | (index << (8 - bitCount - bit % 8)));
        }
        out.append(row);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(andRow, '\0');
        for (int x = 0; x < size; ++x)
            if (pixels[size_t(y) * size_t(size) + size_t(x)] == Ink::Clear)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

// The window sheet at 32 and 16 pixels; the larger icons scale the 32-pixel drawing.
constexpr Sheet kLargeSheet{2, 29, 3, 7, 29, 25, 9, 12};
constexpr Sheet kSmallSheet{1, 14, 2, 4, 14, 12, 5, 7};

bool makeIcon(const QString& path) {
    const Sheet& large = kLargeSheet;
    const Sheet& small = kSmallSheet;
    struct Entry {
        int size;
        int bitCount;
        QByteArray data;
    };
    const std::array entries{
        Entry{32, 1, encodeIconImage(drawSheet(32, large), 32, 1)},
        Entry{32, 4, encodeIconImage(drawSheet(32, large), 32, 4)},
        Entry{16, 4, encodeIconImage(drawSheet(16, small), 16, 4)},
    };

    QByteArray out;
    putU16(out, 0);
    putU16(out, 1); // icon, not cursor
    putU16(out, quint16(entries.size()));
    auto offset = quint32(6 + 16 * entries.size());
    for (const Entry& entry : entries) {
        putU8(out, entry.size);
        putU8(out, entry.size);
        putU8(out, 1 << entry.bitCount);
        putU8(out, 0);
        putU16(out, 1);
        putU16(out, quint16(entry.bitCount));
        putU32(out, quint32(entry.data.size()));
        putU32(out, offset);
        offset += quint32(entry.data.size());
    }
    for (const Entry& entry : entries)
        out.append(entry.data);
    return writeFile(path, out);
}

// ---------------------------------------------------------------- desktop icons (hicolor theme)

QRgb inkColour(Ink ink) {
    switch (ink) {
    case Ink::Clear:
        return qRgba(0, 0, 0, 0);
    case Ink::Black:
        return qRgb(0, 0, 0);
    case Ink::White:
        return qRgb(255, 255, 255);
    case Ink::Cyan:
        return qRgb(0, 255, 255);
    }
    return 0;
}

// The pixel drawing of the .ico image of that size, with its clear pixels transparent.
QImage pixelIcon(int size, const Sheet& sheet) {
    const std::vector<Ink> pixels = drawSheet(size, sheet);
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, inkColour(pixels[size_t(y) * size_t(size) + size_t(x)]));
    return image;
}

// The corners of the 32-pixel sheet as outlines through pixel centres, in 32-unit space.
struct SheetOutline {
    std::array<QPointF, 4> body;    // top-left, top-right, bottom-right, bottom-left
    std::array<QPointF, 2> divider; // left and right end of the caption band's lower edge
};

SheetOutline outlineOf(const Sheet& sheet) {
    const auto at = [](int x, int y) { return QPointF(x + 0.5, y + 0.5); };
    return {{at(sheet.left, sheet.topAtLeft), at(sheet.right, sheet.topAtRight),
             at(sheet.right, sheet.bottomAtRight), at(sheet.left, sheet.bottomAtLeft)},
            {at(sheet.left, sheet.dividerAtLeft), at(sheet.right, sheet.dividerAtRight)}};
}

// The same sheet drawn smoothly at any size: the outline keeps the width of one 32-px pixel.
QImage vectorIcon(int size, const Sheet& sheet) {
    const SheetOutline outline = outlineOf(sheet);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    const QPolygonF body(QList<QPointF>(outline.body.begin(), outline.body.end()));
    const QPolygonF band(
        {outline.body[0], outline.body[1], outline.divider[1], outline.divider[0]});
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(inkColour(Ink::White)));
    painter.drawPolygon(body);
    painter.setBrush(QColor(inkColour(Ink::Cyan)));
    painter.drawPolygon(band);
    painter.setPen(
        QPen(QColor(inkColour(Ink::Black)), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(body);
    painter.drawLine(outline.divider[0], outline.divider[1]);
    return image;
}

// The scalable icon: the same outline in a 32-unit view box.
QByteArray vectorIconSvg(const Sheet& sheet) {
    const SheetOutline outline = outlineOf(sheet);
    const auto point = [](QPointF p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); };
    QString body;
    for (const QPointF& corner : outline.body)
        body += point(corner) + QLatin1Char(' ');
    const QString band = point(outline.body[0]) + QLatin1Char(' ') + point(outline.body[1]) +
                         QLatin1Char(' ') + point(outline.divider[1]) + QLatin1Char(' ') +
                         point(outline.divider[0]);
    const QString svg =
        QStringLiteral(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
            "viewBox=\"0 0 32 32\">\n"
            "  <polygon points=\"%1\" fill=\"#ffffff\"/>\n"
            "  <polygon points=\"%2\" fill=\"#00ffff\"/>\n"
            "  <polygon points=\"%1\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\" "
            "stroke-linejoin=\"miter\"/>\n"
            "  <line x1=\"%3\" y1=\"%4\" x2=\"%5\" y2=\"%6\" stroke=\"#000000\" "
            "stroke-width=\"1\"/>\n"
            "</svg>\n")
            .arg(body.trimmed(), band)
            .arg(outline.divider[0].x())
            .arg(outline.divider[0].y())
            .arg(outline.divider[1].x())
            .arg(outline.divider[1].y());
    return svg.toUtf8();
}

QByteArray encodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// <hicolor-dir>/<n>x<n>/apps/lumera.png and scalable/apps/lumera.svg, as a desktop looks them up.
bool makeDesktopIcons(const QDir& hicolor) {
    const auto write = [&](const QString& sizeDir, const QString& file, const QByteArray& bytes) {
        const QString dir = sizeDir + QStringLiteral("/apps");
        return hicolor.mkpath(dir) &&
               writeFile(hicolor.filePath(dir + QLatin1Char('/') + file), bytes);
    };
    const auto png = [&](int size, const QImage& image) {
        return write(QStringLiteral("%1x%1").arg(size), QStringLiteral("lumera.png"),
                     encodePng(image));
    };
    // The two sizes the .ico has are its very pixels; the others are drawn from the same outline.
    return png(16, pixelIcon(16, kSmallSheet)) && png(32, pixelIcon(32, kLargeSheet)) &&
           png(48, vectorIcon(48, kLargeSheet)) && png(256, vectorIcon(256, kLargeSheet)) &&
           write(QStringLiteral("scalable"), QStringLiteral("lumera.svg"),
                 vectorIconSvg(kLargeSheet));
}

} // namespace

int main(int argc, char* argv[]) {
    // Fonts must come from fontconfig, with no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_assets <assets-dir> [<hicolor-dir>]\n");
        return 2;
    }
    // A substitute font would silently change the diagram's lettering.
    const QString family = QFontInfo(QFont(QStringLiteral("Liberation Sans"))).family();
    if (family != QLatin1String("Liberation Sans")) {
        std::fprintf(stderr, "make_assets: Liberation Sans is not installed (got %s)\n",
                     qPrintable(family));
        return 1;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_assets: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = makeDiagram(dir.filePath(QStringLiteral("diagram.bmp"))) &&
              makeIcon(dir.filePath(QStringLiteral("lumera.ico")));
    if (ok && argc == 3) {
        ok = makeDesktopIcons(QDir(QString::fromLocal8Bit(argv[2])));
    }
    return ok ? 0 : 1;
}
