// The interface language: the English translation covers every text a person reads in the
// windows, and "Язык / Language" in "&Опции" stores the choice for the next start.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>

#include "link/FaultCodes.h"
#include "support/UiTestHelpers.h"
#include "ui/app/Language.h"
#include "ui/widgets/UserStore.h"

namespace {
// Texts that stay as they are in every language: the language submenu's caption and the
// name of each language in that language, so that a person who cannot read the current
// interface still finds their own.
const QStringList kAllowed = {QStringLiteral("Язык / Language"), QStringLiteral("Русский")};

struct Shown {
  QString where;
  QString text;
};

void Add(std::vector<Shown>& out, const QObject* owner, const char* what, const QString& text) {
  if (text.isEmpty()) return;
  out.push_back({QStringLiteral("%1 '%2' %3")
                     .arg(QString::fromLatin1(owner->metaObject()->className()),
                          owner->objectName(), QString::fromLatin1(what)),
                 text});
}

void AddAction(std::vector<Shown>& out, const QAction* action) {
  Add(out, action, "text", action->text());
  Add(out, action, "tooltip", action->toolTip());
  Add(out, action, "status tip", action->statusTip());
  if (const QMenu* menu = action->menu()) {
    Add(out, menu, "title", menu->title());
    for (const QAction* inner : menu->actions()) AddAction(out, inner);
  }
}

bool InsideFileDialog(const QWidget* widget) {
  for (const QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
    if (qobject_cast<const QFileDialog*>(w)) return true;
  return false;
}

// What a person reads on one widget: its title, tips, caption, items and actions. The
// inside of a file dialog is Qt's own; the program gives it only the title and the filters.
void AddWidget(std::vector<Shown>& out, const QWidget* w) {
  if (InsideFileDialog(w)) return;
  if (w->isWindow()) Add(out, w, "window title", w->windowTitle());
  Add(out, w, "tooltip", w->toolTip());
  Add(out, w, "status tip", w->statusTip());
  Add(out, w, "what's this", w->whatsThis());
  if (auto* label = qobject_cast<const QLabel*>(w)) Add(out, w, "text", label->text());
  if (auto* button = qobject_cast<const QAbstractButton*>(w)) Add(out, w, "text", button->text());
  if (auto* group = qobject_cast<const QGroupBox*>(w)) Add(out, w, "title", group->title());
  if (auto* menu = qobject_cast<const QMenu*>(w)) Add(out, w, "title", menu->title());
  if (auto* box = qobject_cast<const QMessageBox*>(w)) Add(out, w, "text", box->text());
  if (auto* tabs = qobject_cast<const QTabWidget*>(w)) {
    for (int i = 0; i < tabs->count(); ++i) {
      Add(out, w, "tab", tabs->tabText(i));
      Add(out, w, "tab tooltip", tabs->tabToolTip(i));
    }
  }
  if (auto* combo = qobject_cast<const QComboBox*>(w))
    for (int i = 0; i < combo->count(); ++i) Add(out, w, "item", combo->itemText(i));
  if (auto* table = qobject_cast<const QTableWidget*>(w))
    for (int i = 0; i < table->columnCount(); ++i)
      if (const QTableWidgetItem* header = table->horizontalHeaderItem(i))
        Add(out, w, "column", header->text());
  if (auto* dialog = qobject_cast<const QFileDialog*>(w))
    for (const QString& filter : dialog->nameFilters()) Add(out, w, "filter", filter);
  for (const QAction* action : w->actions()) AddAction(out, action);
}

std::vector<Shown> ShownTexts(const QWidget* window) {
  std::vector<Shown> out;
  AddWidget(out, window);
  for (const QWidget* child : window->findChildren<QWidget*>()) AddWidget(out, child);
  return out;
}

// Every text of `window` that is still Russian; empty when the window speaks English.
QStringList RussianTexts(const QWidget* window) {
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  QStringList russian;
  for (const Shown& shown : ShownTexts(window))
    if (shown.text.contains(cyrillic) && !kAllowed.contains(shown.text))
      russian << shown.where + ": " + shown.text;
  return russian;
}

QString DataFile(const char* name) {
  return QDir(qEnvironmentVariable("TARVELO_SOURCE_DIR")).filePath(QStringLiteral("data/") + name);
}

// Sets TARVELO_LANGUAGE for one case and puts the test program's Russian back afterwards.
class LanguageTest : public ProgramTest {
 protected:
  void TearDown() override {
    ProgramTest::TearDown();
    qputenv("TARVELO_LANGUAGE", "ru");
    QLocale::setDefault(fLocale);
  }
  const QLocale fLocale;
};
}  // namespace

TEST_F(LanguageTest, EveryWindowSpeaksEnglishUnderTheEnglishTranslation) {
  qputenv("TARVELO_LANGUAGE", "en");
  Start();
  // The main window with the demo image, so that every page is filled and enabled.
  const QString image = TempPath("demo.bin");
  ASSERT_TRUE(QFile::copy(DataFile("demo.bin"), image));
  AnswerFileDialog(image);
  frmMain->findChild<QAction*>("BIN1")->trigger();
  Pump(50);
  frmMain->findChild<QAction*>("N12")->trigger();
  frmMain->findChild<QAction*>("N13")->trigger();
  frmMain->findChild<QAction*>("actLogAnalysis")->trigger();
  // The comparison with the image itself as the reference (its file dialog checked too),
  // and the 3D view (without OpenGL it says so in a label).
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(RussianTexts(dialog).isEmpty()) << RussianTexts(dialog).join("\n").toStdString();
    SelectInFileDialog(dialog, image);
    static_cast<QDialog*>(dialog)->accept();
  });
  frmMain->findChild<QAction*>("actCompare")->trigger();
  frmMain->findChild<QAction*>("act3D")->trigger();
  Pump(50);
  for (const char* name : {"frmMain", "frmIndicators", "FrmTelemetry", "AboutBox", "frmSelectDME",
                           "frmLogAnalysis", "frmCompare", "frm3D"}) {
    const QWidget* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == QLatin1String(name)) window = top;
    ASSERT_NE(window, nullptr) << name;
    // The 3D view without OpenGL shows only its title and the label saying so.
    const size_t least = QLatin1String(name) == QLatin1String("frm3D") ? 2 : 4;
    EXPECT_GE(ShownTexts(window).size(), least) << name;
    const QStringList russian = RussianTexts(window);
    EXPECT_TRUE(russian.isEmpty()) << name << ":\n" << russian.join("\n").toStdString();
  }
  EXPECT_EQ(Find<QMenu>("N1")->title(), "&File");
  // Every cell of the comparison list: the tables' names, the places with their units.
  Find<QCheckBox>("cbOnlyDiffs")->setChecked(false);
  const auto* list = Find<QTableWidget>("lvCompare");
  ASSERT_GT(list->rowCount(), 0);
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  for (int row = 0; row < list->rowCount(); ++row)
    for (int col = 0; col < list->columnCount(); ++col) {
      if (const QTableWidgetItem* item = list->item(row, col)) {
        EXPECT_FALSE(item->text().contains(cyrillic)) << item->text().toStdString();
      }
    }
  EXPECT_EQ(Find<QTabWidget>("PageControl1")->tabText(2), "Idle");

  // A dialog of the adapter commands: the upload question over the demo image.
  QString question, title;
  AnswerNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(RussianTexts(dialog).isEmpty()) << RussianTexts(dialog).join("\n").toStdString();
    SelectInFileDialog(dialog, image);
    AnswerMessageBox(QMessageBox::No, &question, &title);
    static_cast<QDialog*>(dialog)->accept();
  });
  frmMain->findChild<QAction*>("N16")->trigger();
  Pump(50);
  EXPECT_EQ(title, "Warning!");
  EXPECT_TRUE(question.startsWith("Write the file ")) << question.toStdString();

  // The core's texts reach the windows translated too.
  EXPECT_EQ(FaultCodeLine(0, nullptr), "No fault codes!");
}

TEST_F(LanguageTest, TheChoiceInTheOptionsMenuHoldsFromTheNextStart) {
  Start();
  auto* language = Find<QMenu>("mnuLanguage");
  EXPECT_EQ(language->title(), "Язык / Language");
  auto* system = Find<QAction>("actLangSystem");
  EXPECT_FALSE(Find<QAction>("actLangRu")->isChecked());
  auto* en = Find<QAction>("actLangEn");
  EXPECT_EQ(system->text(), "Как в системе");
  EXPECT_TRUE(system->isChecked());

  QString notice;
  AnswerMessageBox(QMessageBox::Ok, &notice);
  en->trigger();
  Pump(50);
  EXPECT_EQ(notice, "Язык интерфейса сменится при следующем запуске программы.");
  EXPECT_TRUE(en->isChecked());
  EXPECT_FALSE(system->isChecked());
  EXPECT_EQ(UserStore().value("ui/language").toString(), "en");
  // This start keeps its language: the menu is still Russian.
  EXPECT_EQ(Find<QMenu>("N1")->title(), "&Файл");
  Stop();

  // The next start without the test program's override speaks English and shows the choice.
  qunsetenv("TARVELO_LANGUAGE");
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  EXPECT_EQ(StartLanguage(), TLanguage::English);
  Start();
  EXPECT_EQ(Find<QMenu>("N1")->title(), "&File");
  EXPECT_TRUE(Find<QAction>("actLangEn")->isChecked());
  EXPECT_EQ(Find<QAction>("actLangSystem")->text(), "System default");
  EXPECT_EQ(Find<QAction>("actLangRu")->text(), "Русский");

  // Back to the system's language: the stored choice goes, and the desktop decides again.
  AnswerMessageBox(QMessageBox::Ok, &notice);
  Find<QAction>("actLangSystem")->trigger();
  Pump(50);
  EXPECT_EQ(notice, "The interface language will change the next time Tarvelo starts.");
  EXPECT_FALSE(UserStore().contains("ui/language"));
  Stop();
  EXPECT_EQ(StartLanguage(), TLanguage::Russian);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(StartLanguage(), TLanguage::English);
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(StartLanguage(), TLanguage::Russian);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(StartLanguage(), TLanguage::Russian);
  StoreLanguage(TLanguage::Russian);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(StartLanguage(), TLanguage::Russian);
  // The override wins over the stored choice.
  qputenv("TARVELO_LANGUAGE", "en");
  EXPECT_EQ(StartLanguage(), TLanguage::English);
}
