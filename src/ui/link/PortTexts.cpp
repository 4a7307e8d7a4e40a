#include "ui/link/PortTexts.h"

#include <QMessageBox>

namespace {

std::optional<TPortUser> gUser;

QString Group(const QString& group) {
  return group.isEmpty() ? QStringLiteral("dialout") : group;
}

QString Ms(int64_t us) {
  return QString::number(static_cast<double>(us) / 1000.0, 'f', 1);
}

QString Hex(int b) {
  return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString PortTexts::Advice(const TPortAdvice& a, const TSerialPort& port) {
  switch (a.kind) {
    case TPortAdvice::LatencyTimer:
      return tr("Таймер задержки %1 мс: ответы блока запаздывают. Установите 1 мс: echo 1 | "
                "sudo tee %2 (правило udev из пакета делает это при каждом подключении)")
          .arg(a.value)
          .arg(port.latencyTimerPath);
    case TPortAdvice::HeldByModem:
      return tr(
          "Порт держит ModemManager: sudo systemctl stop ModemManager или установите "
          "правило udev из пакета и переподключите адаптер");
    case TPortAdvice::HeldByBraille:
      return tr("Порт держит %1: sudo apt remove brltty (если нет брайлевского дисплея), затем "
                "переподключите адаптер")
          .arg(a.subject);
    case TPortAdvice::HeldBy:
      return tr("Порт держит %1: закройте эту программу перед подключением").arg(a.subject);
    case TPortAdvice::ModemMayTake:
      return tr(
          "ModemManager запущен и может опрашивать адаптер после подключения: установите "
          "правило udev из пакета или sudo systemctl stop ModemManager");
    case TPortAdvice::JoinGroup:
      return tr("Добавьте себя в группу %1: sudo usermod -aG %1 $USER, затем войдите в систему "
                "заново")
          .arg(Group(a.subject));
    case TPortAdvice::LogInAgain:
      return tr("Вы в группе %1, но этот сеанс начат раньше: войдите в систему заново")
          .arg(Group(a.subject));
    case TPortAdvice::Absent:
      return tr("%1 нет: подключите адаптер (заново)").arg(port.device);
  }
  return {};
}

QString PortTexts::OpenFailure(const TOpenFailure& f) {
  switch (f.kind) {
    case TOpenFailure::None:
      return {};
    case TOpenFailure::Absent:
      return tr("%1 не существует: подключён ли адаптер и верно ли имя?").arg(f.device);
    case TOpenFailure::Busy:
      if (f.heldBy.isEmpty())
        return tr("%1 занят другой программой (её не видно этому пользователю; её назовёт "
                  "sudo fuser -v %1)")
            .arg(f.device);
      return tr("%1 занят: его держит %2").arg(f.device, f.heldBy.join(QStringLiteral(", ")));
    case TOpenFailure::Permission:
      return tr("Этому пользователю нельзя открыть %1: добавьте себя в группу %2 (sudo usermod "
                "-aG %2 $USER), затем войдите в систему заново")
          .arg(f.device, Group(f.group));
    case TOpenFailure::NotSerial:
      return tr("%1 не последовательный порт").arg(f.device);
    case TOpenFailure::Other:
      return tr("%1 не открывается: %2").arg(f.device, f.systemText);
  }
  return {};
}

QString PortTexts::CableTest(const TCableTestResult& r, const QString& latencyCommand) {
  const int n = static_cast<int>(r.bytes.size());
  const QString times = tr("время оборота мин. %1 / медиана %2 / макс. %3 мс")
                            .arg(Ms(r.minUs), Ms(r.medianUs), Ms(r.maxUs));
  switch (r.verdict) {
    case TCableTestResult::Right:
      return tr("Эхо верное: вернулись все %1 байт, %2.").arg(n).arg(times);
    case TCableTestResult::NoEcho:
      return tr("Нет эха: ни один из %1 байт не вернулся. Либо на диагностическом разъёме нет "
                "12 В (включено ли зажигание? есть ли питание у кабеля?), либо это не кабель "
                "K-линии (его передача и приём не сходятся на K-линии).")
          .arg(n);
    case TCableTestResult::WrongEcho: {
      QString example;
      if (const TCableByte* p = FirstWrongEcho(r))
        example = tr("отправлен %1, получен %2").arg(Hex(p->sent), Hex(p->received));
      return tr("Неверное эхо: %1 из %2 байт вернулись изменёнными (%3). Настройки линии не "
                "подходят кабелю (PAR в CTESTER.INI), или у кабеля нет настоящего "
                "приёмопередатчика K-линии.")
          .arg(r.wrong)
          .arg(n)
          .arg(example);
    }
    case TCableTestResult::SlowEcho: {
      QString text = tr("Эхо запаздывает: все байты вернулись, но поздно (%1): адаптер "
                        "задерживает принятые байты (таймер задержки).")
                         .arg(times);
      if (!latencyCommand.isEmpty())
        text += QLatin1Char(' ') + tr("Установите 1 мс: %1").arg(latencyCommand);
      return text;
    }
    case TCableTestResult::LostEcho:
      return tr("Эхо теряется: %1 из %2 байт не вернулись (%3 для остальных): плохой контакт "
                "или помехи на линии.")
          .arg(r.missing)
          .arg(n)
          .arg(times);
  }
  return {};
}

void PortTexts::Warn(QWidget* parent, const char* name, const QString& text) {
  QMessageBox box(QMessageBox::Warning, tr("Внимание!"), text, QMessageBox::Ok, parent);
  box.setObjectName(QLatin1String(name));
  box.exec();
}

TPortUser LinkPortUser() {
  return gUser ? *gUser : TPortUser::Current();
}

void SetLinkPortUser(std::optional<TPortUser> user) {
  gUser = std::move(user);
}
