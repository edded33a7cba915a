#pragma once

// PNG images with real checksums, and animations made of them, for tests.

#include "cursor/file/cursorwriter.h"

#include <QByteArray>
#include <QtEndian>

namespace cursorbytes {

inline QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

inline QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    quint32 crc = 0xffffffffu;
    for (const char c : body) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return be32(quint32(data.size())) + body + be32(~crc);
}

inline const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

inline QByteArray ihdr(quint32 w, quint32 h, char depth = 8, char colourType = 6)
{
    return pngChunk("IHDR", be32(w) + be32(h) + depth + colourType + QByteArray(3, '\0'));
}

// Rows of filter byte 0 and black pixels, as a zlib stream (qCompress puts the length first).
inline QByteArray idat(quint32 w, quint32 h, int bytesPerPixel = 4)
{
    return pngChunk("IDAT", qCompress(QByteArray(qsizetype(h) * (1 + w * bytesPerPixel), '\0'), 9).mid(4));
}

inline QByteArray png(quint32 w, quint32 h, const QByteArray &extra = {})
{
    return pngSignature + ihdr(w, h) + extra + idat(w, h) + pngChunk("IEND", {});
}

inline QByteArray toBytes(const std::vector<std::uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), qsizetype(v.size()));
}

// An animation of count copies of one w x h PNG.
inline QByteArray repeatedFrames(quint32 w, quint32 h, int count)
{
    const QByteArray image = png(w, h);
    cursorfile::Cursor cursor;
    cursor.frames.assign(std::size_t(count), {int(w), int(h), 0, 0, {}, {image.begin(), image.end()}});
    return toBytes(cursorfile::writeAni(cursor));
}

// 1.5 MB on disk, and 4096 frames that each inflate to 256x256: a gigabyte of pixels.
inline QByteArray hugeFramesFile()
{
    return repeatedFrames(256, 256, 4096);
}

} // namespace cursorbytes
