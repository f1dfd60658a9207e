// Writers for the save formats that Qt's image I/O cannot write.
#pragma once

#include <QIODevice>
#include <string>

#include "imaging/dib/dib.h"

// Uncompressed 24-bit Truevision Targa, bottom-left origin, with the
// version 2 footer. Pictures with a
// colour table are expanded to 24 bits (Qt's reader takes only true colour).
bool WriteTga(const dib& d, QIODevice& out, std::string& why);
