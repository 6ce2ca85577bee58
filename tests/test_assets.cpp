// Byte-level checks of the checked-in bitmaps: the energy-level diagram and the application icon.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QTest>

#include <vector>

namespace {

QByteArray readAsset(const char* name) {
    const QByteArray root = qgetenv("LUMERA_SOURCE_DIR");
    if (root.isEmpty())
        return {};
    QFile file(QString::fromLocal8Bit(root) + QStringLiteral("/assets/") +
               QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 u8(const QByteArray& bytes, qsizetype at) {
    return quint8(bytes.at(at));
}
quint32 u16(const QByteArray& bytes, qsizetype at) {
    return u8(bytes, at) | u8(bytes, at + 1) << 8;
}
quint32 u32(const QByteArray& bytes, qsizetype at) {
    return u16(bytes, at) | u16(bytes, at + 2) << 16;
}
qint32 s32(const QByteArray& bytes, qsizetype at) {
    return qint32(u32(bytes, at));
}

// The diagram: 338 x 311, 24 bpp, rows of 338 * 3 = 1014 bytes padded to 1016, stored bottom-up.
constexpr int kWidth = 338;
constexpr int kHeight = 311;
constexpr int kRowBytes = 1016;
constexpr int kPixelOffset = 54;
constexpr int kAxisX = 43;
constexpr int kLineLeft = 43;
constexpr int kLineRight = 324;
constexpr int kLevelRows[] = {25, 49, 95, 163, 307};
const QRect kUnitBox(QPoint(40, 4), QPoint(51, 12));
const QRect kHeadingBox(QPoint(74, 8), QPoint(231, 18));

bool isLevelRow(int y) {
    for (int row : kLevelRows)
        if (y == row)
            return true;
    return false;
}

// An icon image unpacked here, independently of Qt's ico plugin, so the two can be compared.
struct IconImage {
    int size = 0;
    int bitCount = 0;
    std::vector<QRgb> palette;
    std::vector<int> index;  // palette index per pixel, top row first
    std::vector<bool> clear; // AND mask bit per pixel, top row first

    int at(int x, int y) const { return index[size_t(y) * size_t(size) + size_t(x)]; }
    bool clearAt(int x, int y) const { return clear[size_t(y) * size_t(size) + size_t(x)]; }
};

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private:
    QByteArray m_bmp;
    QByteArray m_ico;

    bool black(int x, int y) const {
        const qsizetype at =
            kPixelOffset + qsizetype(kHeight - 1 - y) * kRowBytes + qsizetype(x) * 3;
        return m_bmp.at(at) == 0 && m_bmp.at(at + 1) == 0 && m_bmp.at(at + 2) == 0;
    }

    IconImage iconImage(int entry) const {
        const qsizetype dir = 6 + qsizetype{16} * entry;
        if (dir + 16 > m_ico.size())
            return {};
        const qsizetype dib = u32(m_ico, dir + 12);
        if (dib + 40 > m_ico.size())
            return {};
        IconImage image;
        image.size = int(u8(m_ico, dir));
        image.bitCount = int(u16(m_ico, dib + 14));
        if (image.bitCount != 1 && image.bitCount != 4)
            return {};
        const int colours = 1 << image.bitCount;
        const int size = image.size;
        const qsizetype xorBits = dib + 40 + qsizetype{4} * colours;
        const int xorRow = (size * image.bitCount + 31) / 32 * 4;
        const qsizetype andBits = xorBits + qsizetype(xorRow) * size;
        const int andRow = (size + 31) / 32 * 4;
        if (andBits + qsizetype(andRow) * size > m_ico.size())
            return {};
        for (int i = 0; i < colours; ++i)
            image.palette.push_back(u32(m_ico, dib + 40 + qsizetype{4} * i));
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int bit = x * image.bitCount;
                const int byte =
                    int(u8(m_ico, xorBits + qsizetype(size - 1 - y) * xorRow + bit / 8));
                image.index.push_back((byte >> (8 - image.bitCount - bit % 8)) & (colours - 1));
                const int mask = int(u8(m_ico, andBits + qsizetype(size - 1 - y) * andRow + x / 8));
                image.clear.push_back(((mask >> (7 - x % 8)) & 1) != 0);
            }
        }
        return image;
    }

private slots:
    void initTestCase() {
        QVERIFY2(!qEnvironmentVariableIsEmpty("LUMERA_SOURCE_DIR"), "LUMERA_SOURCE_DIR not set");
        m_bmp = readAsset("diagram.bmp");
        m_ico = readAsset("lumera.ico");
        QVERIFY2(!m_bmp.isEmpty(), "assets/diagram.bmp missing or empty");
        QVERIFY2(!m_ico.isEmpty(), "assets/lumera.ico missing or empty");
        // Every diagram check below indexes pixels by the layout, so the length must match it.
        QCOMPARE(m_bmp.size(), qsizetype(kPixelOffset + kRowBytes * kHeight));
    }

    void diagramHeader() {
        QCOMPARE(m_bmp.left(2), QByteArray("BM"));
        QCOMPARE(u32(m_bmp, 2), quint32(m_bmp.size()));
        QCOMPARE(u32(m_bmp, 6), 0u);
        QCOMPARE(u32(m_bmp, 10), quint32(kPixelOffset));
        QCOMPARE(u32(m_bmp, 14), 40u);
        QCOMPARE(s32(m_bmp, 18), kWidth);
        QCOMPARE(s32(m_bmp, 22), kHeight); // positive: bottom-up
        QCOMPARE(u16(m_bmp, 26), 1u);
        QCOMPARE(u16(m_bmp, 28), 24u);
        QCOMPARE(u32(m_bmp, 30), 0u);
        QCOMPARE(u32(m_bmp, 34), quint32(kRowBytes * kHeight));
        QCOMPARE(u32(m_bmp, 38), 3780u);
        QCOMPARE(u32(m_bmp, 42), 3780u);
        QCOMPARE(u32(m_bmp, 46), 0u);
    }

    void diagramIsPureBlackOnWhite() {
        for (int row = 0; row < kHeight; ++row) {
            const qsizetype start = kPixelOffset + qsizetype(row) * kRowBytes;
            for (int i = 0; i < kWidth * 3; i += 3) {
                const quint32 b = u8(m_bmp, start + i), g = u8(m_bmp, start + i + 1),
                              r = u8(m_bmp, start + i + 2);
                if (!((r == 0 && g == 0 && b == 0) || (r == 255 && g == 255 && b == 255)))
                    QFAIL(qPrintable(QStringLiteral("pixel (%1,%2) is #%3%4%5")
                                         .arg(i / 3)
                                         .arg(kHeight - 1 - row)
                                         .arg(r, 2, 16, QLatin1Char('0'))
                                         .arg(g, 2, 16, QLatin1Char('0'))
                                         .arg(b, 2, 16, QLatin1Char('0'))));
            }
            for (int pad = kWidth * 3; pad < kRowBytes; ++pad)
                QCOMPARE(u8(m_bmp, start + pad), 0u);
        }
    }

    void diagramLevelLine_data() {
        QTest::addColumn<int>("y");
        for (int y : kLevelRows)
            QTest::addRow("y=%d", y) << y;
    }

    void diagramLevelLine() {
        QFETCH(int, y);
        for (int x = kLineLeft; x <= kLineRight; ++x)
            QVERIFY2(black(x, y), qPrintable(QStringLiteral("gap at x=%1").arg(x)));
        QVERIFY(!black(kLineLeft - 1, y));
        QVERIFY(!black(kLineRight + 1, y));
        // One pixel thick: the rows either side are white right of the axis.
        for (int x = kLineLeft + 1; x <= kLineRight + 1; ++x) {
            QVERIFY2(!black(x, y - 1), qPrintable(QStringLiteral("ink above at x=%1").arg(x)));
            if (y + 1 < kHeight)
                QVERIFY2(!black(x, y + 1), qPrintable(QStringLiteral("ink below at x=%1").arg(x)));
        }
    }

    void diagramAxis() {
        // The axis starts just below the unit label, around y = 15.
        for (int y = 16; y <= kLevelRows[4]; ++y)
            QVERIFY2(black(kAxisX, y), qPrintable(QStringLiteral("gap at y=%1").arg(y)));
        for (int y = kLevelRows[4] + 1; y < kHeight; ++y)
            QVERIFY2(!black(kAxisX, y), qPrintable(QStringLiteral("ink at y=%1").arg(y)));
        // One pixel wide.
        for (int y = kUnitBox.bottom() + 1; y <= kLevelRows[4]; ++y) {
            QVERIFY2(!black(kAxisX - 1, y), qPrintable(QStringLiteral("ink left at y=%1").arg(y)));
            if (!isLevelRow(y))
                QVERIFY2(!black(kAxisX + 1, y),
                         qPrintable(QStringLiteral("ink right at y=%1").arg(y)));
        }
    }

    void diagramLettering() {
        QRect unitInk, headingInk;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (!black(x, y))
                    continue;
                const bool onLine = isLevelRow(y) && x >= kLineLeft && x <= kLineRight;
                const bool onAxis = x == kAxisX && y > kUnitBox.bottom();
                if (onLine || onAxis)
                    continue;
                if (kUnitBox.contains(x, y))
                    unitInk |= QRect(x, y, 1, 1);
                else if (kHeadingBox.contains(x, y))
                    headingInk |= QRect(x, y, 1, 1);
                else
                    QFAIL(qPrintable(QStringLiteral("stray ink at (%1,%2)").arg(x).arg(y)));
            }
        }
        // Lettering that shrank or lost glyphs leaves most of its box empty.
        QVERIFY2(unitInk.width() * 4 >= kUnitBox.width() * 3 &&
                     unitInk.height() * 4 >= kUnitBox.height() * 3,
                 "unit label too small");
        QVERIFY2(headingInk.width() * 4 >= kHeadingBox.width() * 3 &&
                     headingInk.height() * 4 >= kHeadingBox.height() * 3,
                 "heading too small");
    }

    void diagramDecodesWithQt() {
        QImage image;
        QVERIFY(image.loadFromData(m_bmp, "BMP"));
        QCOMPARE(image.size(), QSize(kWidth, kHeight));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if ((qGray(image.pixel(x, y)) == 0) != black(x, y))
                    QFAIL(qPrintable(QStringLiteral("Qt disagrees at (%1,%2)").arg(x).arg(y)));
    }

    void iconDirectory() {
        QVERIFY(m_ico.size() >= 6 + 3 * 16);
        QCOMPARE(u16(m_ico, 0), 0u);
        QCOMPARE(u16(m_ico, 2), 1u);
        QCOMPARE(u16(m_ico, 4), 3u);
        // The images follow the directory back to back and end with the file.
        quint32 expected = 6 + 3 * 16;
        for (int entry = 0; entry < 3; ++entry) {
            QCOMPARE(u32(m_ico, 6 + 16 * entry + 12), expected);
            expected += u32(m_ico, 6 + 16 * entry + 8);
        }
        QCOMPARE(expected, quint32(m_ico.size()));
    }

    void iconImage_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bitCount");
        QTest::newRow("32x32 2 colours") << 0 << 32 << 1;
        QTest::newRow("32x32 16 colours") << 1 << 32 << 4;
        QTest::newRow("16x16 16 colours") << 2 << 16 << 4;
    }

    void iconImage() {
        QFETCH(int, entry);
        QFETCH(int, size);
        QFETCH(int, bitCount);
        const qsizetype dir = 6 + qsizetype{16} * entry;
        const int colours = 1 << bitCount;
        QCOMPARE(int(u8(m_ico, dir)), size);
        QCOMPARE(int(u8(m_ico, dir + 1)), size);
        QCOMPARE(int(u8(m_ico, dir + 2)), colours);
        QCOMPARE(u8(m_ico, dir + 3), 0u);
        QCOMPARE(u16(m_ico, dir + 4), 1u);
        QCOMPARE(int(u16(m_ico, dir + 6)), bitCount);

        // The resource is exactly header + palette + XOR rows + AND rows, each row 4-byte aligned.
        const int xorRow = (size * bitCount + 31) / 32 * 4;
        const int andRow = (size + 31) / 32 * 4;
        QCOMPARE(qsizetype(u32(m_ico, dir + 8)),
                 qsizetype(40 + 4 * colours + (xorRow + andRow) * size));
        const qsizetype dib = u32(m_ico, dir + 12);
        QCOMPARE(u32(m_ico, dib), 40u);
        QCOMPARE(s32(m_ico, dib + 4), size);
        QCOMPARE(s32(m_ico, dib + 8), 2 * size);
        QCOMPARE(u16(m_ico, dib + 12), 1u);
        QCOMPARE(int(u16(m_ico, dib + 14)), bitCount);
        QCOMPARE(u32(m_ico, dib + 16), 0u);
        QVERIFY(u32(m_ico, dib + 32) == 0 || int(u32(m_ico, dib + 32)) == colours);

        const IconImage image = iconImage(entry);
        QCOMPARE(image.size, size);
        const QRgb blackEntry = 0x000000, whiteEntry = 0xffffff, cyanEntry = 0x00ffff;
        const std::vector<QRgb> expected =
            bitCount == 1
                ? std::vector<QRgb>{blackEntry, whiteEntry}
                : std::vector<QRgb>{0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00,
                                    0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
        QCOMPARE(image.palette.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            QVERIFY2(image.palette[i] == expected[i],
                     qPrintable(QStringLiteral("palette entry %1 is %2, expected %3")
                                    .arg(i)
                                    .arg(image.palette[i], 8, 16, QLatin1Char('0'))
                                    .arg(expected[i], 8, 16, QLatin1Char('0'))));

        int clear = 0, white = 0, cyan = 0, outline = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb colour = image.palette[size_t(image.at(x, y))];
                if (image.clearAt(x, y)) {
                    // Anything but black under the mask would invert the screen behind the icon.
                    QVERIFY2(colour == blackEntry,
                             qPrintable(QStringLiteral("non-black at (%1,%2)").arg(x).arg(y)));
                    ++clear;
                    continue;
                }
                white += colour == whiteEntry;
                cyan += colour == cyanEntry;
                outline += colour == blackEntry;
            }
        }
        QVERIFY2(clear > 0, "no transparent pixels");
        QVERIFY2(white > 0, "no white sheet");
        QVERIFY2(outline > 0, "no outline");
        if (bitCount == 4) {
            QVERIFY2(cyan > 0, "no cyan caption");
            // The caption runs along the top: in every column it lies above the white body.
            for (int x = 0; x < size; ++x) {
                int lowestCyan = -1, highestWhite = size;
                for (int y = 0; y < size; ++y) {
                    if (image.clearAt(x, y))
                        continue;
                    const QRgb colour = image.palette[size_t(image.at(x, y))];
                    if (colour == cyanEntry)
                        lowestCyan = y;
                    else if (colour == whiteEntry && highestWhite == size)
                        highestWhite = y;
                }
                QVERIFY2(lowestCyan < highestWhite,
                         qPrintable(QStringLiteral("caption below the body at x=%1").arg(x)));
            }
        }
    }

    void iconDecodesWithQt() {
        QBuffer buffer(&m_ico);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), 3);
        for (int entry = 0; entry < 3; ++entry) {
            QVERIFY(reader.jumpToImage(entry));
            const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
            const IconImage image = iconImage(entry);
            QVERIFY2(image.size > 0, "malformed image entry");
            QCOMPARE(decoded.size(), QSize(image.size, image.size));
            for (int y = 0; y < image.size; ++y) {
                for (int x = 0; x < image.size; ++x) {
                    const QRgb pixel = decoded.pixel(x, y);
                    const bool same =
                        image.clearAt(x, y)
                            ? qAlpha(pixel) == 0
                            : qAlpha(pixel) == 255 &&
                                  (pixel & 0xffffff) == image.palette[size_t(image.at(x, y))];
                    QVERIFY2(same, qPrintable(QStringLiteral("image %1 differs at (%2,%3)")
                                                  .arg(entry)
                                                  .arg(x)
                                                  .arg(y)));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestAssets)
#include "test_assets.moc"
