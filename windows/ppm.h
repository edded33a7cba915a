#pragma once

#include <QByteArrayView>
#include <QImage>

// A binary PPM picture (P6, 8 bits a channel) as an RGB32 image; a null image for anything
// else. Reading one takes no image plugin.
QImage readPpm(QByteArrayView bytes);
