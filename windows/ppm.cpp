#include "windows/ppm.h"

#include <cctype>

namespace {

// The next header number after blanks, and the position just after it; -1 when there is none
// or it is out of bounds.
int headerNumber(QByteArrayView bytes, qsizetype &at)
{
    while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at])))
        ++at;
    int value = 0;
    const qsizetype start = at;
    while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9' && at - start < 5)
        value = value * 10 + (bytes[at++] - '0');
    return at == start ? -1 : value;
}

}

QImage readPpm(QByteArrayView bytes)
{
    if (!bytes.startsWith("P6"))
        return {};
    qsizetype at = 2;
    const int width = headerNumber(bytes, at);
    const int height = headerNumber(bytes, at);
    const int maximum = headerNumber(bytes, at);
    // One blank ends the header.
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || maximum != 255 || at >= bytes.size()
        || !std::isspace(static_cast<unsigned char>(bytes[at])))
        return {};
    ++at;
    const qsizetype rowBytes = qsizetype(width) * 3;
    if (bytes.size() - at != rowBytes * height)
        return {};
    const QImage rows(reinterpret_cast<const uchar *>(bytes.data() + at), width, height, rowBytes,
                      QImage::Format_RGB888);
    return rows.convertToFormat(QImage::Format_RGB32);
}
