// Product pictures for the benchmarks: 24 JPEG files of different widths
// and colours written into a temporary folder.
#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <string>
#include <vector>

inline std::vector<std::u16string> WriteBenchPictures(const QTemporaryDir& dir) {
  std::vector<std::u16string> pictures;
  for (int i = 0; i < 24; ++i) {
    QImage img(320 + 16 * i, 240, QImage::Format_RGB32);
    img.fill(QColor::fromHsv((i * 37) % 360, 120, 230));
    QPainter pt(&img);
    pt.setBrush(QColor::fromHsv((i * 53) % 360, 200, 160));
    pt.drawEllipse(40, 40, 160, 120);
    pt.end();
    const QString file = QDir(dir.path()).filePath(QString("bild%1.jpg").arg(i));
    img.save(file, "JPEG", 85);
    pictures.push_back(file.toStdU16String());
  }
  return pictures;
}
