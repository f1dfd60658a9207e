// Structural checks that find truncated picture files before they are
// decoded. Qt's decoders for JPEG, BMP, GIF and TGA accept a file that ends
// early and fill the missing part with grey or black; these checks refuse
// such files instead.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <string>

// True when the picture data in `dev` (format as Qt names it: "jpeg", "bmp",
// "gif", "tga"; others are not checked) is complete. The device position is
// restored. `why` names what is missing.
bool PictureDataComplete(QIODevice& dev, const QByteArray& format, std::string& why);
