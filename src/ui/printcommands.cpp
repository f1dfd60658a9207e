#include "ui/printcommands.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>

#include "core/codepage.h"
#include "csv/pricelistlines.h"
#include "i18n/messages.h"
#include "output/pricelistdocument.h"
#include "output/printjob.h"
#include "project/feedback.h"
#include "project/lifecycle.h"
#include "render/render.h"
#include "ui/translatewidgets.h"

namespace ui {

namespace {

// A wait cursor while a job is handed to the system.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

bool RunPrintOnePageDialog(QWidget* parent, int& page) {
  QDialog d(parent);
  d.setObjectName(QStringLiteral("TPrintOnePageForm"));
  d.setWindowTitle(QStringLiteral("Eine Seite drucken..."));
  auto* lay = new QHBoxLayout(&d);
  lay->addWidget(new QLabel(QStringLiteral("Seite:")));
  auto* box = new QSpinBox;
  box->setObjectName(QStringLiteral("PageEd"));
  box->setRange(1, 1000000);
  box->setValue(page);
  lay->addWidget(box);
  auto* bb = new QDialogButtonBox(&d);
  bb->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  QObject::connect(bb, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  lay->addWidget(bb);
  TranslateWidgetTree(&d);
  const bool ok = d.exec() == QDialog::Accepted;
  page = box->value();
  return ok;
}

TPreisListeForm::TPreisListeForm(QWidget* parent, PrintCommands& printing) : QDialog(parent) {
  setObjectName(QStringLiteral("TPreisListeForm"));
  setWindowTitle(QStringLiteral("Preisliste"));
  auto* lay = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  auto button = [&](const char* obj, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(QString::fromLatin1(obj));
    b->setAutoDefault(false);
    bar->addWidget(b);
    return b;
  };
  BitBtn1 = button("BitBtn1", "OK");
  BitBtn2 = button("BitBtn2", "Drucken");
  BitBtn3 = button("BitBtn3", "Drucker einrichten...");
  bar->addStretch(1);
  lay->addLayout(bar);
  RichEdit1 = new QTextEdit;
  RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
  RichEdit1->setAcceptRichText(true);
  RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MarkDataWidget(RichEdit1);
  lay->addWidget(RichEdit1, 1);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2, &QPushButton::clicked, this, [this, &printing] { printing.PrintPriceList(*RichEdit1); });
  connect(BitBtn3, &QPushButton::clicked, this, [&printing] { printing.PrinterSetup(); });
  resize(605, 520);
  if (QScreen* s = parent ? parent->screen() : QApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
}

PrintCommands::PrintCommands(QWidget* window, render::RenderSession& session, Feedback& feedback, Hooks hooks)
    : window_(window), session_(session), feedback_(feedback), hooks_(std::move(hooks)) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  printer_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                           : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

PrintCommands::~PrintCommands() = default;

platform::PrinterPage PrintCommands::Page() const { return platform::PrinterPageOf(*printer_); }

void PrintCommands::Report(const std::string& error) {
  feedback_.ShowMessage(ql::FromUtf8(error), lifecycle::kApplicationTitle, MessageIcon::Error);
}

bool PrintCommands::AskPrintDialog() {
  if (!hooks_.showPrintDialog || !hooks_.showPrintDialog()) return true;
  QPrintDialog d(printer_.get(), window_);
  // Printer and copies only: there is no page range to choose.
  d.setOption(QAbstractPrintDialog::PrintPageRange, false);
  d.setOption(QAbstractPrintDialog::PrintSelection, false);
  d.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  const bool ok = d.exec() == QDialog::Accepted;
  // Another printer or paper lays the catalog out anew.
  if (hooks_.printerChanged) hooks_.printerChanged(Page());
  return ok;
}

void PrintCommands::Print() {
  if (!AskPrintDialog()) return;
  output::PrintResult r;
  {
    WaitCursor wait;
    r = output::PrintCatalog(session_, *printer_, i18n::Msg(21));
  }
  if (!r.ok) Report(r.error);
  if (hooks_.repaint) hooks_.repaint();
}

void PrintCommands::PrintOnePage() {
  if (!RunPrintOnePageDialog(window_, onePage)) return;
  if (!AskPrintDialog()) return;
  output::PrintResult r;
  {
    WaitCursor wait;
    r = output::PrintCatalogPage(session_, *printer_, onePage, i18n::Msg(21));
  }
  if (!r.ok) Report(r.error);
  if (hooks_.repaint) hooks_.repaint();
}

void PrintCommands::PrinterSetup() {
  QPageSetupDialog d(printer_.get(), window_);
  d.exec();
  // Whatever the answer: the paper may have changed the layout everywhere.
  if (hooks_.printerChanged) hooks_.printerChanged(Page());
}

void PrintCommands::PriceList() {
  TPreisListeForm form(window_, *this);
  output::FillPriceListDocument(*form.RichEdit1->document(),
                                csv::BuildPriceList(session_.doc(), i18n::Msg(43)));
  TranslateWidgetTree(&form);
  openPriceList = &form;
  if (onPriceListShown) onPriceListShown(form);
  form.exec();
  openPriceList = nullptr;
}

void PrintCommands::PrintPriceList(const QTextEdit& box) {
  output::PrintResult r;
  {
    WaitCursor wait;
    r = output::PrintRichText(*box.document(), *printer_, i18n::Msg(44));
  }
  if (!r.ok) Report(r.error);
}

}  // namespace ui
