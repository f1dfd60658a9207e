// quillane-samplegen OUTDIR: draws the pictures of the sample catalog and
// writes them with test.pk2 into OUTDIR. The output depends only on this
// program, so running it twice gives identical files.
#include <QCoreApplication>
#include <QTextStream>

#include "samplegen/catalog.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  QTextStream err(stderr);
  if (args.size() != 2 || args[1].startsWith(QLatin1Char('-'))) {
    err << "usage: quillane-samplegen OUTDIR\n";
    return 2;
  }
  QStringList written;
  QString error;
  if (!samplegen::GenerateSample(args[1], &written, &error)) {
    err << "quillane-samplegen: " << error << "\n";
    return 1;
  }
  QTextStream(stdout) << "wrote " << written.size() << " files to " << args[1] << "\n";
  return 0;
}
