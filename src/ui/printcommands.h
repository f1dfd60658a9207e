// The window's printing: the printer the catalog is printed on (and laid out
// for), the commands "Drucken", "Einzelne Seite drucken...", "Drucker
// einrichten" and "Preisliste erzeugen...", and their dialogs
// TPrintOnePageForm and TPreisListeForm.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "platform/printer.h"

class Feedback;
class QPrinter;
class QTextEdit;
class QPushButton;

namespace render {
class RenderSession;
}

namespace ui {

// "Eine Seite drucken...": the page number 1 ... 1000000 in `page`, which
// keeps the value entered for the next time. True with OK.
bool RunPrintOnePageDialog(QWidget* parent, int& page);

class PrintCommands;

// "Preisliste": the price list in an editable rich-text box in a fixed-pitch
// font; "Drucken" prints what the box holds, edits included.
class TPreisListeForm : public QDialog {
  Q_OBJECT
 public:
  TPreisListeForm(QWidget* parent, PrintCommands& printing);
  QTextEdit* RichEdit1 = nullptr;
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // "Drucken"
  QPushButton* BitBtn3 = nullptr;  // "Drucker einrichten..."
};

class PrintCommands {
 public:
  struct Hooks {
    // DruckenDialoganzeigenvordemDrucken1: show the print dialog first.
    std::function<bool()> showPrintDialog;
    // The printer's page changed (setup or print dialog): lay the preview
    // out for it and repaint.
    std::function<void(const platform::PrinterPage&)> printerChanged;
    // After a print: the page count may have changed.
    std::function<void()> repaint;
  };

  // `window` parents the dialogs; errors go to `feedback` captioned with
  // the application's title.
  PrintCommands(QWidget* window, render::RenderSession& session, Feedback& feedback, Hooks hooks);
  ~PrintCommands();

  // The printer of every print command; the system's default queue, or
  // Qt's PDF output without a file when the system has none (then printing
  // says so). Tests may point it at a PDF file.
  QPrinter& printer() { return *printer_; }
  // The page the catalog is laid out for on this printer.
  platform::PrinterPage Page() const;

  void Print();         // DruckenBtnClick
  void PrintOnePage();  // EinzelneSeitedrucken1Click
  void PrinterSetup();  // Druckereinrichten1Click (and the price list's BitBtn3)
  void PriceList();     // Preislisteerzeugen1Click
  // BitBtn2 of the price list: prints `box` as it stands.
  void PrintPriceList(const QTextEdit& box);

  // The one-page dialog's PageEd, kept while the program runs.
  int onePage = 1;
  // The price list window while it is open (tests drive it).
  TPreisListeForm* openPriceList = nullptr;
  // Called with the price list window before it is shown modally (tests).
  std::function<void(TPreisListeForm&)> onPriceListShown;

 private:
  bool AskPrintDialog();
  void Report(const std::string& error);

  QWidget* window_;
  render::RenderSession& session_;
  Feedback& feedback_;
  Hooks hooks_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace ui
