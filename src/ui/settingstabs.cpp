// The window's reactions to every setting change of the settings tabs.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstring>

#include "editing/templatecols.h"
#include "i18n/messages.h"
#include "imaging/pixoran.h"
#include "ui/backgroundtab.h"
#include "ui/logotab.h"
#include "ui/mainwindow.h"
#include "ui/preview.h"
#include "ui/qtlifecycleui.h"
#include "ui/settingsbinder.h"
#include "ui/tabhelpers.h"
#include "ui/translatewidgets.h"

namespace ui {
void MainWindow::SettingChanged(const char* name) {
  auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
  if (is("FilenameEdit2")) {
    session_->PrepareBackground(2);
    backgroundTab_->ShowPicture(session_->di2);
  } else if (is("FilenameEdit3")) {
    session_->PrepareBackground(3);
  } else if (is("GrayScaleCheck") || is("LightenCheck") || is("HellEd") || is("SatEd")) {
    session_->PrepareBackgrounds();
    backgroundTab_->ShowPicture(session_->di2);
  } else if (is("FilenameEdit1")) {
    session_->LoadLogo();
    logoTab_->ShowPicture(session_->di3);
  } else if (is("PreDefAnzPreisEd")) {
    doc_.SetChanged();
  } else if (is("LayoutCombo")) {
    keyEdit_->setFocus();
  }
  Record("Einstellung ändern", QString::fromLatin1(name));
  Repaint();
}

}  // namespace ui
