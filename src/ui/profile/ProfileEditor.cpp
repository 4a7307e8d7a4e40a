#include "ui/profile/ProfileEditor.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "common/DecimalText.h"
#include "image/Checksum.h"
#include "image/EfiOperator.h"
#include "image/ImageFile.h"
#include "image/ImageRegions.h"
#include "image/ProfileFile.h"
#include "profile/AxisSearch.h"
#include "ui/profile/HexView.h"
#include "ui/profile/ProfileForm.h"
#include "ui/profile/ProfilePreview.h"
#include "ui/profile/ProfileTables.h"
#include "ui/widgets/ErrorBox.h"
#include "ui/widgets/FileDialogs.h"
#include "ui/widgets/LineChart.h"
#include "ui/widgets/StringGrid.h"

namespace {
constexpr int kChartHeight = 170;

QPushButton* Button(QWidget* owner, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, owner);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}
}  // namespace

TfrmProfileEditor::TfrmProfileEditor(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmProfileEditor"));
  setWindowTitle(tr("Редактор профиля"));
  resize(1500, 860);
  auto* root = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  btnProfileOpen = Button(this, "btnProfileOpen", tr("Открыть профиль..."));
  btnProfileSave = Button(this, "btnProfileSave", tr("Сохранить профиль..."));
  btnProfileImage = Button(this, "btnProfileImage", tr("Открыть образ..."));
  btnProfileCheck = Button(this, "btnProfileCheck", tr("Проверить"));
  lProfileClick = new QLabel(this);
  lProfileClick->setObjectName(QStringLiteral("lProfileClick"));
  for (QPushButton* b : {btnProfileOpen, btnProfileSave, btnProfileImage, btnProfileCheck})
    bar->addWidget(b);
  bar->addStretch(1);
  bar->addWidget(lProfileClick);
  root->addLayout(bar);

  auto* split = new QSplitter(Qt::Horizontal, this);
  pnlProfileKeys = new TProfileForm;
  auto* keys = new QScrollArea(split);
  keys->setWidget(pnlProfileKeys);
  keys->setWidgetResizable(true);
  keys->setMinimumWidth(480);
  hexImage = new THexView(split);
  hexImage->setObjectName(QStringLiteral("hexImage"));
  split->addWidget(keys);
  split->addWidget(hexImage);
  split->addWidget(BuildTablePanel());
  split->setStretchFactor(2, 1);
  root->addWidget(split, 1);

  const QString open = tr("Открыть");
  odProfileOpen = MakeFileDialog(this, "odProfileOpen", false, tr("Открыть профиль"),
                                 {QStringLiteral("Profile (*.prf)")}, "prf");
  sdProfileSave = MakeFileDialog(this, "sdProfileSave", true, tr("Сохранить профиль"),
                                 {QStringLiteral("Profile (*.prf)")}, "prf");
  odProfileImage = MakeFileDialog(this, "odProfileImage", false, open,
                                  {tr("Файлы прошивок (*.bin)"), tr("Все файлы (*.*)")}, "bin");

  connect(btnProfileOpen, &QPushButton::clicked, this, Guarded([this] { OpenProfileClick(); }));
  connect(btnProfileSave, &QPushButton::clicked, this, Guarded([this] { SaveProfileClick(); }));
  connect(btnProfileImage, &QPushButton::clicked, this, Guarded([this] { OpenImageClick(); }));
  connect(btnProfileCheck, &QPushButton::clicked, this, Guarded([this] { CheckClick(); }));
  connect(btnAxisSearch, &QPushButton::clicked, this, Guarded([this] { AxisSearchClick(); }));
  connect(pnlProfileKeys, &TProfileForm::Changed, this, [this] {
    Refresh();
    if (const TImageRegion* r = FindRegion(fReport.regions, fCurrent, fHighPart))
      hexImage->ScrollTo(r->address);
  });
  connect(pnlProfileKeys, &TProfileForm::KeyEntered, this, [this](const TProfileKey* key) {
    fTarget = key->offset ? key : nullptr;
    const QString name = QString::fromLatin1(key->name);
    if (const TEditorTable* t = TableOfGroup(key->group)) {
      fHighPart = name.endsWith(QLatin1String("_Hi"));
      SelectTable(t->table);
    }
    lProfileClick->setText(tr("Щелчок по байту задаёт %1").arg(QLatin1String(ClickTarget()->name)));
  });
  connect(hexImage, &THexView::ByteClicked, this,
          [this](int64_t address) { RunCommand([&] { ByteClicked(address); }); });
  connect(cbProfileTable, &QComboBox::activated, this, [this](int index) {
    fHighPart = false;
    fTarget = nullptr;
    SelectTable(EditorTables()[static_cast<size_t>(index)].table);
  });
  connect(lbAxisCandidates, &QListWidget::itemActivated, this, &TfrmProfileEditor::CandidateChosen);
  connect(lbProfileProblems, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const QVariant table = item->data(Qt::UserRole);
    if (table.isValid()) SelectTable(static_cast<TImageTable>(table.toInt()));
  });
}

QWidget* TfrmProfileEditor::BuildTablePanel() {
  auto* panel = new QWidget;
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  cbProfileTable = new QComboBox(panel);
  cbProfileTable->setObjectName(QStringLiteral("cbProfileTable"));
  for (const TEditorTable& t : EditorTables()) cbProfileTable->addItem(EditorTableCaption(t.table));
  lProfileTable = new QLabel(panel);
  lProfileTable->setObjectName(QStringLiteral("lProfileTable"));
  lProfileTable->setWordWrap(true);
  sgProfileTable = new TStringGrid(0, 0, 1, 1, panel);
  sgProfileTable->setObjectName(QStringLiteral("sgProfileTable"));
  sgProfileTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgProfileTable->SetDefaultColWidth(44);
  sgProfileTable->SetDefaultRowHeight(18);
  TLineChart::Style style;
  style.lineColor = QColor(0, 90, 200);
  style.yDecimals = 2;
  chrtProfileTable = new TLineChart(style, panel);
  chrtProfileTable->setObjectName(QStringLiteral("chrtProfileTable"));
  chrtProfileTable->setFixedHeight(kChartHeight);
  column->addWidget(cbProfileTable);
  column->addWidget(lProfileTable);
  column->addWidget(sgProfileTable, 3);
  column->addWidget(chrtProfileTable);
  column->addWidget(BuildSearchPanel(), 2);
  return panel;
}

QWidget* TfrmProfileEditor::BuildSearchPanel() {
  auto* panel = new QWidget;
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  cbAxisSearch = new QComboBox(panel);
  cbAxisSearch->setObjectName(QStringLiteral("cbAxisSearch"));
  btnAxisSearch = Button(panel, "btnAxisSearch", tr("Искать оси"));
  lbAxisCandidates = new QListWidget(panel);
  lbAxisCandidates->setObjectName(QStringLiteral("lbAxisCandidates"));
  lbAxisCandidates->setToolTip(tr("Двойной щелчок: начать таблицу здесь"));
  lbProfileProblems = new QListWidget(panel);
  lbProfileProblems->setObjectName(QStringLiteral("lbProfileProblems"));
  memProfileCheck = new QPlainTextEdit(panel);
  memProfileCheck->setObjectName(QStringLiteral("memProfileCheck"));
  memProfileCheck->setReadOnly(true);
  grid->addWidget(cbAxisSearch, 0, 0);
  grid->addWidget(btnAxisSearch, 0, 1);
  grid->addWidget(lbAxisCandidates, 1, 0, 1, 2);
  grid->addWidget(new QLabel(tr("Замечания:"), panel), 0, 2);
  grid->addWidget(lbProfileProblems, 1, 2);
  grid->addWidget(memProfileCheck, 2, 0, 1, 3);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 2);
  return panel;
}

const TModelConfig& TfrmProfileEditor::Config() const {
  return pnlProfileKeys->Config();
}

void TfrmProfileEditor::Open(const TModelConfig& config, const std::vector<uint8_t>& image) {
  fImage = image;
  hexImage->SetImage(&fImage);
  pnlProfileKeys->SetConfig(config);
  memProfileCheck->clear();
  lbAxisCandidates->clear();
  fTarget = nullptr;
  fHighPart = false;
  SelectTable(TImageTable::FuelMain);
}

void TfrmProfileEditor::SelectTable(TImageTable table) {
  fCurrent = table;
  for (size_t i = 0; i < EditorTables().size(); ++i)
    if (EditorTables()[i].table == table) cbProfileTable->setCurrentIndex(static_cast<int>(i));
  if (table != TImageTable::SparkMain && table != TImageTable::FuelMain) fHighPart = false;
  FillSearchModes();
  Refresh();
  if (const TImageRegion* r = FindRegion(fReport.regions, fCurrent, fHighPart))
    hexImage->ScrollTo(r->address);
  lProfileClick->setText(tr("Щелчок по байту задаёт %1").arg(QLatin1String(ClickTarget()->name)));
}

const TProfileKey* TfrmProfileEditor::StartKey() const {
  const TEditorTable& t = EditorTable(fCurrent);
  return FindProfileKey(
      QString::fromLatin1(fHighPart && t.highStartKey ? t.highStartKey : t.startKey));
}

const TProfileKey* TfrmProfileEditor::ClickTarget() const {
  return fTarget ? fTarget : StartKey();
}

void TfrmProfileEditor::ByteClicked(int64_t address) {
  pnlProfileKeys->SetValue(*ClickTarget(), static_cast<int32_t>(address));
}

void TfrmProfileEditor::Refresh() {
  fReport = CheckProfile(Config(), fImage);
  MarkGroups();
  PaintHex();
  ShowCurrent();
  lbProfileProblems->clear();
  for (const TProfileProblem& p : fReport.problems) {
    auto* item = new QListWidgetItem(p.reason, lbProfileProblems);
    if (p.table) item->setData(Qt::UserRole, static_cast<int>(*p.table));
  }
}

namespace {
QString PlaceText(const TImageRegion& r) {
  return TfrmProfileEditor::tr("%1, %2 байт").arg(HexAddress(r.address)).arg(r.bytes);
}
}  // namespace

void TfrmProfileEditor::MarkGroups() {
  std::map<TProfileGroup, QStringList> places, problems;
  for (const TImageRegion& r : fReport.regions) places[EditorTable(r.table).group] << PlaceText(r);
  // Problems of no table are the checksum's.
  for (const TProfileProblem& p : fReport.problems)
    problems[p.table ? EditorTable(*p.table).group : TProfileGroup::Checksum] << p.reason;
  std::vector<TProfileGroup> groups;
  for (const TProfileKey& key : ProfileKeys())
    if (std::find(groups.begin(), groups.end(), key.group) == groups.end())
      groups.push_back(key.group);
  for (TProfileGroup group : groups)
    pnlProfileKeys->MarkGroup(group, places[group].join(QStringLiteral("; ")), problems[group]);
}

void TfrmProfileEditor::PaintHex() {
  std::vector<THexView::Span> spans;
  int64_t versionFirst = 0, versionEnd = 0;
  for (const TImageRegion& r : fReport.regions) {
    spans.push_back({r.address, r.End(), EditorTable(r.table).tint, r.table == fCurrent, false});
    if (r.table == TImageTable::Version) {
      versionFirst = r.address;
      versionEnd = r.End();
    }
  }
  if (fReport.checksum.configured && fReport.checksum.bytes > 0)
    spans.push_back({fReport.checksum.address, fReport.checksum.address + fReport.checksum.bytes,
                     QColor(255, 150, 255), false, false});
  for (const TProfileProblem& p : fReport.problems) {
    if (p.kind == TProfileProblem::Kind::Overlap) spans.push_back({p.from, p.to, {}, false, true});
    if (p.kind != TProfileProblem::Kind::Axis) continue;
    // The codes of the axis that does not rise.
    const TImageRegion* r = FindRegion(fReport.regions, *p.table, p.highPart);
    for (const TAxisPlace& axis : r ? r->axes : std::vector<TAxisPlace>{})
      if (axis.kind == p.axis)
        spans.push_back(
            {r->address + axis.offset, r->address + axis.offset + axis.count, {}, false, true});
  }
  hexImage->SetSpans(std::move(spans), versionFirst, versionEnd);
}

void TfrmProfileEditor::ShowCurrent() {
  QStringList notes;
  for (bool high : {false, true})
    for (const TProfileProblem* p : fReport.ProblemsOf(fCurrent, high)) notes << p->reason;
  if (fImage.empty()) {
    ClearPreview(*sgProfileTable, *chrtProfileTable);
    lProfileTable->setText(tr("Образ не загружен: откройте образ, чтобы видеть таблицу."));
    return;
  }
  TEFIOperator op(false);
  static_cast<TModelConfig&>(op) = Config();
  op.fImage = fImage;
  const QString problem = DecodeTableAlone(op, fCurrent);
  if (problem.isEmpty()) {
    ShowPreview(*sgProfileTable, *chrtProfileTable, op, fCurrent);
    if (const QString value = ValueLine(op, fCurrent); !value.isEmpty()) notes.prepend(value);
  } else {
    ClearPreview(*sgProfileTable, *chrtProfileTable);
    if (!notes.contains(problem)) notes << problem;
  }
  lProfileTable->setText(notes.join(QLatin1Char('\n')));
  lProfileTable->setStyleSheet(notes.isEmpty() || (problem.isEmpty() && notes.size() == 1 &&
                                                   !ValueLine(op, fCurrent).isEmpty())
                                   ? QString()
                                   : QStringLiteral("color: #c00000;"));
}

void TfrmProfileEditor::FillSearchModes() {
  cbAxisSearch->clear();
  const std::vector<TImageRegion> regions = ImageRegions(Config());
  const TImageRegion* r = FindRegion(regions, fCurrent, fHighPart);
  if (!r || r->axes.empty()) return;
  cbAxisSearch->addItem(tr("Таблица целиком"), -1);
  for (size_t i = 0; i < r->axes.size(); ++i)
    cbAxisSearch->addItem(
        tr("Ось %1 (%2 точек)").arg(AxisKindName(r->axes[i].kind)).arg(r->axes[i].count),
        static_cast<int>(i));
}

void TfrmProfileEditor::AxisSearchClick() {
  constexpr size_t kLimit = 500;
  lbAxisCandidates->clear();
  const std::vector<TImageRegion> regions = ImageRegions(Config());
  const TImageRegion* r = FindRegion(regions, fCurrent, fHighPart);
  if (!r || r->axes.empty() || fImage.empty()) return;
  const int mode = cbAxisSearch->currentData().isValid() ? cbAxisSearch->currentData().toInt() : -1;
  auto add = [this, r](int64_t start, const std::vector<std::vector<double>>& axes, int first) {
    QStringList text;
    for (size_t i = 0; i < axes.size(); ++i)
      text << tr("%1 %2 … %3")
                  .arg(AxisKindName(r->axes[static_cast<size_t>(first) + i].kind),
                       FloatToStr(axes[i].front()), FloatToStr(axes[i].back()));
    auto* item = new QListWidgetItem(HexAddress(start) + QStringLiteral(": ") + text.join("; "),
                                     lbAxisCandidates);
    item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(start));
  };
  if (mode < 0) {
    for (const TTableCandidate& c : FindTableStarts(fImage, Config(), fCurrent, fHighPart, kLimit))
      add(c.start, c.axes, 0);
  } else {
    const TAxisPlace& axis = r->axes[static_cast<size_t>(mode)];
    for (const TAxisCandidate& c : FindAxes(fImage, axis.kind, axis.count, kLimit))
      if (c.address - axis.offset >= 0) add(c.address - axis.offset, {c.values}, mode);
  }
  if (lbAxisCandidates->count() == 0) lbAxisCandidates->addItem(tr("Ничего не найдено"));
}

void TfrmProfileEditor::CandidateChosen(QListWidgetItem* item) {
  const QVariant start = item->data(Qt::UserRole);
  if (!start.isValid()) return;
  pnlProfileKeys->SetValue(*StartKey(), static_cast<int32_t>(start.toLongLong()));
}

void TfrmProfileEditor::OpenProfileClick() {
  const QString path = RunFileDialog(odProfileOpen);
  if (path.isEmpty()) return;
  pnlProfileKeys->SetConfig(ReadProfile(path));
  FillSearchModes();
  Refresh();
}

void TfrmProfileEditor::SaveProfileClick() {
  const QString path = RunFileDialog(sdProfileSave);
  if (!path.isEmpty()) SaveProfile(Config(), path);
}

void TfrmProfileEditor::OpenImageClick() {
  const QString path = RunFileDialog(odProfileImage);
  if (path.isEmpty()) return;
  std::vector<uint8_t> image;
  LoadImageFile(path, image);
  fImage = std::move(image);
  hexImage->SetImage(&fImage);
  Refresh();
}

void TfrmProfileEditor::CheckClick() {
  Refresh();
  QStringList lines;
  for (const TProfileProblem& p : fReport.problems) lines << QStringLiteral("• ") + p.reason;
  if (fImage.empty()) lines.prepend(tr("Образ не загружен: проверены только места таблиц."));
  const TProfileChecksum& c = fReport.checksum;
  if (!c.configured)
    lines << tr("Контрольная сумма в профиле не задана.");
  else if (!fImage.empty())
    lines << ChecksumStatusText(c.status);
  lines << (fReport.Ok() ? tr("Замечаний нет.") : tr("Замечаний: %1").arg(fReport.problems.size()));
  memProfileCheck->setPlainText(lines.join(QLatin1Char('\n')));
}
