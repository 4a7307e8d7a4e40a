<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>CalibrationOps</name>
    <message>
        <source>столбец %1, строка %2</source>
        <translation>column %1, row %2</translation>
    </message>
    <message>
        <source>Задать значение</source>
        <translation>Set value</translation>
    </message>
    <message>
        <source>Прибавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Умножить на %</source>
        <translation>Multiply by %</translation>
    </message>
    <message>
        <source>Шаг вверх</source>
        <translation>Step up</translation>
    </message>
    <message>
        <source>Шаг вниз</source>
        <translation>Step down</translation>
    </message>
    <message>
        <source>Интерполировать по горизонтали</source>
        <translation>Interpolate horizontally</translation>
    </message>
    <message>
        <source>Интерполировать по вертикали</source>
        <translation>Interpolate vertically</translation>
    </message>
    <message>
        <source>Интерполировать по площади</source>
        <translation>Interpolate over the area</translation>
    </message>
    <message>
        <source>Сгладить</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>%1: «%2» в строке %3, поле %4 — не число</source>
        <translation>%1: “%2” in line %3, field %4 is not a number</translation>
    </message>
    <message>
        <source>%1: в строке %2 полей %3, а в первой строке %4</source>
        <translation>%1: line %2 has %3 fields, the first line %4</translation>
    </message>
    <message>
        <source>%1: нет ни одного числа</source>
        <translation>%1: no numbers</translation>
    </message>
    <message>
        <source>Вставка</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>%1: блок %2 x %3 от ячейки (%4) выходит за значения таблицы в ячейке (%5)</source>
        <translation>%1: the %2 x %3 block from cell (%4) leaves the table&apos;s values at cell (%5)</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Импорт CSV: ось не возрастает: %1 в ячейке (%2) после %3 в ячейке (%4)</source>
        <translation>CSV import: the axis does not ascend: %1 in cell (%2) after %3 in cell (%4)</translation>
    </message>
    <message>
        <source>Импорт CSV</source>
        <translation>CSV import</translation>
    </message>
    <message>
        <source>%1: в файле %2 строк по %3 полей, а в таблице %4 строк по %5</source>
        <translation>%1: the file has %2 lines of %3 fields, the table %4 rows of %5</translation>
    </message>
    <message>
        <source>%1: нет числа в ячейке (%2)</source>
        <translation>%1: no number in cell (%2)</translation>
    </message>
    <message>
        <source>Импорт таблицы из CSV</source>
        <translation>Import table from CSV</translation>
    </message>
</context>
<context>
    <name>Checksum</name>
    <message>
        <source>16 бит + дополнение, BE</source>
        <translation>16 bits + complement, BE</translation>
    </message>
    <message>
        <source>16 бит + дополнение, LE</source>
        <translation>16 bits + complement, LE</translation>
    </message>
    <message>
        <source>16 бит, BE</source>
        <translation>16 bits, BE</translation>
    </message>
    <message>
        <source>16 бит, LE</source>
        <translation>16 bits, LE</translation>
    </message>
    <message>
        <source>8 бит</source>
        <translation>8 bits</translation>
    </message>
    <message>
        <source>Область контрольной суммы: конец %1 лежит раньше начала %2</source>
        <translation>Checksum area: its end %1 lies before its start %2</translation>
    </message>
    <message>
        <source>Область контрольной суммы (%1 - %2) выходит за пределы образа прошивки (%3 байт)</source>
        <translation>The checksum area (%1 - %2) lies outside the firmware image (%3 bytes)</translation>
    </message>
    <message>
        <source>Контрольная сумма (адрес %1, %2 байт) выходит за пределы образа прошивки (%3 байт)</source>
        <translation>The checksum (address %1, %2 bytes) lies outside the firmware image (%3 bytes)</translation>
    </message>
    <message>
        <source>КС: не найдена</source>
        <translation>CS: not found</translation>
    </message>
    <message>
        <source>КС: неверна</source>
        <translation>CS: wrong</translation>
    </message>
    <message>
        <source>КС: верна (%1)</source>
        <translation>CS: right (%1)</translation>
    </message>
    <message>
        <source>Вид контрольной суммы не известен</source>
        <translation>The checksum kind is not known</translation>
    </message>
    <message>
        <source>Конфигурация не задаёт область контрольной суммы</source>
        <translation>The configuration names no checksum area</translation>
    </message>
    <message>
        <source>Контрольная сумма (адрес %1, %2 байт) выходит за пределы образа</source>
        <translation>The checksum (address %1, %2 bytes) lies outside the image</translation>
    </message>
    <message>
        <source>Контрольная сумма (%1) выходит за пределы образа прошивки</source>
        <translation>The checksum (%1) lies outside the firmware image</translation>
    </message>
    <message>
        <source>Контрольные суммы %1 и другие хранятся в областях друг друга: их нельзя исправить</source>
        <translation>The checksum %1 and others are stored inside each other&apos;s areas: they cannot be corrected</translation>
    </message>
    <message>
        <source>копия %1 -&gt; %2</source>
        <translation>copy %1 -&gt; %2</translation>
    </message>
    <message>
        <source>16 бит LE</source>
        <translation>16 bits LE</translation>
    </message>
    <message>
        <source>16 бит + доп.</source>
        <translation>16 bits + compl.</translation>
    </message>
    <message>
        <source>16 бит + доп. LE</source>
        <translation>16 bits + compl. LE</translation>
    </message>
    <message>
        <source>16 бит</source>
        <translation>16 bits</translation>
    </message>
    <message>
        <source> от %1</source>
        <translation> from %1</translation>
    </message>
    <message>
        <source>копия блока %1 в %2-%3</source>
        <translation>copy of the block %1 at %2-%3</translation>
    </message>
    <message>
        <source>старший байт первым</source>
        <translation>high byte first</translation>
    </message>
    <message>
        <source>младший байт первым</source>
        <translation>low byte first</translation>
    </message>
    <message>
        <source>8-битная сумма</source>
        <translation>8-bit sum</translation>
    </message>
    <message>
        <source>16-битная сумма</source>
        <translation>16-bit sum</translation>
    </message>
    <message>
        <source>%1 области кода %2</source>
        <translation>%1 of the code area %2</translation>
    </message>
    <message>
        <source>%1 диапазонов %2</source>
        <translation>%1 of the ranges %2</translation>
    </message>
    <message>
        <source> и </source>
        <translation> and </translation>
    </message>
    <message>
        <source>%1 области %2</source>
        <translation>%1 of the area %2</translation>
    </message>
    <message>
        <source> от начального значения %1</source>
        <translation> from the start value %1</translation>
    </message>
    <message>
        <source> и её дополнение</source>
        <translation> and its complement</translation>
    </message>
    <message>
        <source>%1, в %2</source>
        <translation>%1, at %2</translation>
    </message>
    <message>
        <source>%1, %2, в %3</source>
        <translation>%1, %2, at %3</translation>
    </message>
    <message>
        <source>поиск: </source>
        <translation>search: </translation>
    </message>
    <message>
        <source> (найдена только поиском области)</source>
        <translation> (found only by the area search)</translation>
    </message>
</context>
<context>
    <name>Compare</name>
    <message>
        <source>нет в эталоне</source>
        <translation>not in the reference</translation>
    </message>
    <message>
        <source>нет в текущей</source>
        <translation>not in the current one</translation>
    </message>
</context>
<context>
    <name>CorrectionCells</name>
    <message>
        <source>Записей: %1, вес: %2</source>
        <translation>Records: %1, weight: %2</translation>
    </message>
    <message>
        <source>AFR измеренный: %1, целевой: %2</source>
        <translation>AFR measured: %1, target: %2</translation>
    </message>
    <message>
        <source>AFR целевой: %1</source>
        <translation>AFR target: %1</translation>
    </message>
    <message>
        <source>Изменение: %1 -&gt; %2 (%3 %)</source>
        <translation>Change: %1 -&gt; %2 (%3 %)</translation>
    </message>
    <message>
        <source>Без изменения: нет записей</source>
        <translation>Unchanged: no records</translation>
    </message>
    <message>
        <source>Без изменения: мало данных (вес меньше наименьшего)</source>
        <translation>Unchanged: too little data (weight below the minimum)</translation>
    </message>
    <message>
        <source>Без изменения: ячейка закреплена</source>
        <translation>Unchanged: the cell is locked</translation>
    </message>
    <message>
        <source>Без изменения: уже в пределах точности (полшага кода или погрешность)</source>
        <translation>Unchanged: already within the precision (half a code step or the uncertainty)</translation>
    </message>
    <message>
        <source>Без изменения: удержана шагом, допуском или пределами ячейки</source>
        <translation>Unchanged: held by the step, the authority or the cell&apos;s limits</translation>
    </message>
    <message>
        <source>богаче (больше топлива)</source>
        <translation>richer (more fuel)</translation>
    </message>
    <message>
        <source>беднее (меньше топлива)</source>
        <translation>leaner (less fuel)</translation>
    </message>
    <message>
        <source>закреплена (двойной щелчок)</source>
        <translation>locked (double click)</translation>
    </message>
    <message>
        <source>без изменения</source>
        <translation>unchanged</translation>
    </message>
    <message>
        <source>мало данных</source>
        <translation>too few data</translation>
    </message>
</context>
<context>
    <name>DelimitedLog</name>
    <message>
        <source>Это не ЛОГ: файл двоичный, а не текст.</source>
        <translation>Not a log: the file is binary, not text.</translation>
    </message>
    <message>
        <source>Это не ЛОГ: над строками чисел нет строки заголовка с названиями столбцов.</source>
        <translation>Not a log: the rows of numbers have no header line of column names above them.</translation>
    </message>
    <message>
        <source>Это не ЛОГ: в файле нет ни одной строки с числами.</source>
        <translation>Not a log: the file has no row of numbers.</translation>
    </message>
    <message>
        <source>Это не ЛОГ: не найдена строка заголовка, под которой идут строки с тем же числом полей.</source>
        <translation>Not a log: no header line is followed by rows with as many fields.</translation>
    </message>
    <message>
        <source>время чч:мм:сс.ссс</source>
        <translation>a time hh:mm:ss.sss</translation>
    </message>
    <message>
        <source>число</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>столбец %1 «%2»: «%3» — ожидалось %4</source>
        <translation>column %1 &quot;%2&quot;: &quot;%3&quot;, %4 expected</translation>
    </message>
    <message>
        <source>полей %1, нет столбца %2 «%3»</source>
        <translation>%1 fields, column %2 &quot;%3&quot; missing</translation>
    </message>
    <message>
        <source>В ЛОГе больше записей, чем помещается в список.</source>
        <translation>The log holds more records than the list can take.</translation>
    </message>
    <message>
        <source>Это не ЛОГ: под заголовком нет ни одной записи.</source>
        <translation>Not a log: there is no record below the header.</translation>
    </message>
</context>
<context>
    <name>FaultCodes</name>
    <message>
        <source>TC отсутствуют!</source>
        <translation>No fault codes!</translation>
    </message>
</context>
<context>
    <name>FillerSum</name>
    <message>
        <source>Сумма прошивки изменилась на %1: два байта заполнителя не могут её вернуть</source>
        <translation>The image&apos;s sum changed by %1: two filler bytes cannot take that back</translation>
    </message>
    <message>
        <source>В прошивке нет заполнителя (16 байт 0xFF или 0x00 подряд вне таблиц), чтобы сохранить её сумму</source>
        <translation>The image has no filler (16 bytes of 0xFF or 0x00 in a row outside the tables) to keep its sum with</translation>
    </message>
</context>
<context>
    <name>FuelCorrection</name>
    <message>
        <source>Коррекция топлива невозможна: выбран узкополосный лямбда-зонд. Его напряжение показывает только &quot;богаче&quot; или &quot;беднее&quot; порога, а не состав смеси. Выберите широкополосный датчик и задайте его диапазон.</source>
        <translation>No fuel correction possible: a narrow-band lambda sensor is selected. Its voltage only shows &quot;richer&quot; or &quot;leaner&quot; than the threshold, not the mixture. Select a wide-band sensor and set its range.</translation>
    </message>
    <message>
        <source>Коррекция топлива невозможна: размер карты не совпадает с её осями.</source>
        <translation>No fuel correction possible: the map&apos;s size does not match its axes.</translation>
    </message>
    <message>
        <source>Коррекция топлива невозможна: размер таблицы целевого состава смеси не совпадает с картой.</source>
        <translation>No fuel correction possible: the target mixture table&apos;s size does not match the map.</translation>
    </message>
    <message>
        <source>Коррекция топлива невозможна: целевой состав смеси должен быть положительным числом.</source>
        <translation>No fuel correction possible: the target mixture must be a positive number.</translation>
    </message>
    <message>
        <source>Коррекция топлива невозможна: характеристика датчика должна пройти через две точки с разными напряжениями и разным положительным AFR.</source>
        <translation>No fuel correction possible: the sensor line must pass through two points with different voltages and different positive AFRs.</translation>
    </message>
    <message>
        <source>Коррекция топлива невозможна: шаг, допуск и наименьший вес должны быть не меньше 0.</source>
        <translation>No fuel correction possible: the step, the authority and the minimum weight must be at least 0.</translation>
    </message>
    <message>
        <source>Коррекция топлива невозможна: заголовки карты топлива должны быть числами, идущими по порядку.</source>
        <translation>No fuel correction possible: the fuel map&apos;s headers must be numbers in order.</translation>
    </message>
</context>
<context>
    <name>ImageCodec</name>
    <message>
        <source>Неизвестное направление преобразования: </source>
        <translation>Unknown conversion direction: </translation>
    </message>
    <message>
        <source>Таблица %1: строки разной длины</source>
        <translation>Table %1: rows of different lengths</translation>
    </message>
    <message>
        <source>Таблица %1 (%2): нужно не менее двух строк и %3</source>
        <translation>Table %1 (%2): needs at least two rows and %3</translation>
    </message>
    <message>
        <source>одного столбца</source>
        <translation>one column</translation>
    </message>
    <message>
        <source>двух столбцов</source>
        <translation>two columns</translation>
    </message>
    <message>
        <source>Таблица %1: размер %2 не соответствует конфигурации (%3)</source>
        <translation>Table %1: size %2 does not match the configuration (%3)</translation>
    </message>
    <message>
        <source>Таблица %1: %2 точек нагрузки нижней части не помещаются в %3 строк</source>
        <translation>Table %1: %2 load points of the lower part do not fit into %3 rows</translation>
    </message>
    <message>
        <source>прогрева fRPMTempCorrTable</source>
        <translation>warm-up fRPMTempCorrTable</translation>
    </message>
    <message>
        <source>Таблица fMAFTable: недопустимая длина %1</source>
        <translation>Table fMAFTable: invalid length %1</translation>
    </message>
    <message>
        <source>%1 (адрес %2, %3 байт) выходит за пределы образа прошивки (%4 байт)</source>
        <translation>%1 (address %2, %3 bytes) lies outside the firmware image (%4 bytes)</translation>
    </message>
    <message>
        <source>Чтение за пределами образа прошивки</source>
        <translation>Read beyond the end of the firmware image</translation>
    </message>
    <message>
        <source>Неизвестный вид таблицы: </source>
        <translation>Unknown table kind: </translation>
    </message>
</context>
<context>
    <name>ImageLayout</name>
    <message>
        <source>Таблица </source>
        <translation>Table </translation>
    </message>
    <message>
        <source> (верхняя часть)</source>
        <translation> (upper part)</translation>
    </message>
    <message>
        <source>Номер версии fVersionText</source>
        <translation>Version number fVersionText</translation>
    </message>
    <message>
        <source>Ограничитель оборотов fMaxRPM</source>
        <translation>Rev limiter fMaxRPM</translation>
    </message>
    <message>
        <source>Байт CO fCOReg</source>
        <translation>CO byte fCOReg</translation>
    </message>
    <message>
        <source>Не таблица чисел</source>
        <translation>Not a table of numbers</translation>
    </message>
</context>
<context>
    <name>ImageRegions</name>
    <message>
        <source>%1 не хранится в образе этого варианта</source>
        <translation>%1 is not stored in the image of this variant</translation>
    </message>
</context>
<context>
    <name>ImageWriteBack</name>
    <message>
        <source>Чтение за пределами образа прошивки</source>
        <translation>Read beyond the end of the firmware image</translation>
    </message>
    <message>
        <source>Конфигурация изменилась после загрузки образа</source>
        <translation>The configuration has changed since the image was loaded</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>Язык интерфейса сменится при следующем запуске программы.</source>
        <translation>The interface language will change the next time Tarvelo starts.</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>System default</translation>
    </message>
</context>
<context>
    <name>LogColumns</name>
    <message>
        <source>давление во впуске</source>
        <translation>manifold pressure</translation>
    </message>
    <message>
        <source>доля в процентах</source>
        <translation>a percentage</translation>
    </message>
    <message>
        <source>расход или масса воздуха</source>
        <translation>air flow or air mass</translation>
    </message>
    <message>
        <source>наполнение или положение дросселя</source>
        <translation>volumetric efficiency or throttle position</translation>
    </message>
    <message>
        <source>время впрыска в микросекундах</source>
        <translation>injection time in microseconds</translation>
    </message>
    <message>
        <source>столбец «%1» — это %2, а не время впрыска в мс, по которому построены карты частичной нагрузки</source>
        <translation>column &quot;%1&quot; is %2, not the injection time in ms that the part-load maps are laid on</translation>
    </message>
    <message>
        <source>Не выбран столбец оборотов двигателя.</source>
        <translation>No column is chosen for the engine speed.</translation>
    </message>
    <message>
        <source>Не выбран столбец нагрузки (время впрыска, мс).</source>
        <translation>No column is chosen for the load (injection time, ms).</translation>
    </message>
    <message>
        <source>Не выбран столбец состава смеси (AFR, лямбда или вольты зонда).</source>
        <translation>No column is chosen for the mixture (AFR, lambda or sensor volts).</translation>
    </message>
    <message>
        <source>В заголовке %1 столбцов, столбца %2 нет.</source>
        <translation>The header has %1 columns, there is no column %2.</translation>
    </message>
    <message>
        <source>Нагрузка не подходит: %1.</source>
        <translation>The load cannot be used: %1.</translation>
    </message>
    <message>
        <source>В ЛОГе нет столбца времени: нужна частота записей в герцах.</source>
        <translation>The log has no time column: the rate of its records in Hz is needed.</translation>
    </message>
    <message>
        <source>в заголовке нет столбца «%1» (есть: %2)</source>
        <translation>the header has no column &quot;%1&quot; (it has: %2)</translation>
    </message>
    <message>
        <source>«%1»: ожидалось СЛОТ=СТОЛБЕЦ</source>
        <translation>&quot;%1&quot;: SLOT=COLUMN expected</translation>
    </message>
    <message>
        <source>столбец для «%1» назван дважды</source>
        <translation>the column for &quot;%1&quot; is named twice</translation>
    </message>
    <message>
        <source>«%1»: слоты — rpm, load, afr, lambda, o2, clt, tps, time</source>
        <translation>&quot;%1&quot;: the slots are rpm, load, afr, lambda, o2, clt, tps, time</translation>
    </message>
</context>
<context>
    <name>LogReader</name>
    <message>
        <source>Строка %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>Это не ЛОГ: %1</source>
        <translation>Not a log: %1</translation>
    </message>
    <message>
        <source>строка длиннее 16 МБ</source>
        <translation>a line longer than 16 MB</translation>
    </message>
    <message>
        <source>в первом мегабайте нет конца строки</source>
        <translation>no line end in its first megabyte</translation>
    </message>
    <message>
        <source>Файл изменился, пока его читали</source>
        <translation>The file changed while it was being read</translation>
    </message>
    <message>
        <source>Файл стал короче, пока его читали</source>
        <translation>The file became shorter while it was being read</translation>
    </message>
</context>
<context>
    <name>PortTexts</name>
    <message>
        <source>Таймер задержки %1 мс: ответы блока запаздывают. Установите 1 мс: echo 1 | sudo tee %2 (правило udev из пакета делает это при каждом подключении)</source>
        <translation>Latency timer %1 ms: the unit&apos;s answers come late. Set 1 ms: echo 1 | sudo tee %2 (the package&apos;s udev rule does it at every plug-in)</translation>
    </message>
    <message>
        <source>Порт держит ModemManager: sudo systemctl stop ModemManager или установите правило udev из пакета и переподключите адаптер</source>
        <translation>ModemManager holds the port: sudo systemctl stop ModemManager, or install the package&apos;s udev rule and plug the adapter in again</translation>
    </message>
    <message>
        <source>Порт держит %1: sudo apt remove brltty (если нет брайлевского дисплея), затем переподключите адаптер</source>
        <translation>%1 holds the port: sudo apt remove brltty (unless a braille display is used), then plug the adapter in again</translation>
    </message>
    <message>
        <source>Порт держит %1: закройте эту программу перед подключением</source>
        <translation>%1 holds the port: end it before connecting</translation>
    </message>
    <message>
        <source>ModemManager запущен и может опрашивать адаптер после подключения: установите правило udev из пакета или sudo systemctl stop ModemManager</source>
        <translation>ModemManager runs and may probe the adapter after it is plugged in: install the package&apos;s udev rule, or sudo systemctl stop ModemManager</translation>
    </message>
    <message>
        <source>Добавьте себя в группу %1: sudo usermod -aG %1 $USER, затем войдите в систему заново</source>
        <translation>Add yourself to the %1 group: sudo usermod -aG %1 $USER, then log out and in again</translation>
    </message>
    <message>
        <source>Вы в группе %1, но этот сеанс начат раньше: войдите в систему заново</source>
        <translation>You are in the %1 group, but this session started before: log out and in again</translation>
    </message>
    <message>
        <source>%1 нет: подключите адаптер (заново)</source>
        <translation>%1 is not there: plug the adapter in (again)</translation>
    </message>
    <message>
        <source>%1 не существует: подключён ли адаптер и верно ли имя?</source>
        <translation>%1 is not there: is the adapter plugged in, and is the name right?</translation>
    </message>
    <message>
        <source>%1 занят другой программой (её не видно этому пользователю; её назовёт sudo fuser -v %1)</source>
        <translation>%1 is busy: another program holds it (one this user cannot see; sudo fuser -v %1 names it)</translation>
    </message>
    <message>
        <source>%1 занят: его держит %2</source>
        <translation>%1 is busy: %2 holds it</translation>
    </message>
    <message>
        <source>Этому пользователю нельзя открыть %1: добавьте себя в группу %2 (sudo usermod -aG %2 $USER), затем войдите в систему заново</source>
        <translation>This user may not open %1: add yourself to the %2 group (sudo usermod -aG %2 $USER), then log out and in again</translation>
    </message>
    <message>
        <source>%1 не последовательный порт</source>
        <translation>%1 is not a serial port</translation>
    </message>
    <message>
        <source>%1 не открывается: %2</source>
        <translation>%1 cannot be opened: %2</translation>
    </message>
    <message>
        <source>время оборота мин. %1 / медиана %2 / макс. %3 мс</source>
        <translation>round trip min %1 / median %2 / max %3 ms</translation>
    </message>
    <message>
        <source>Эхо верное: вернулись все %1 байт, %2.</source>
        <translation>Echo right: all %1 bytes came back, %2.</translation>
    </message>
    <message>
        <source>Нет эха: ни один из %1 байт не вернулся. Либо на диагностическом разъёме нет 12 В (включено ли зажигание? есть ли питание у кабеля?), либо это не кабель K-линии (его передача и приём не сходятся на K-линии).</source>
        <translation>No echo: none of %1 bytes came back. Either the diagnostic plug has no 12 V (the ignition on? the cable&apos;s supply?), or this is not a K-line cable (its transmit and receive lines do not meet on the K-line).</translation>
    </message>
    <message>
        <source>отправлен %1, получен %2</source>
        <translation>sent %1, received %2</translation>
    </message>
    <message>
        <source>Неверное эхо: %1 из %2 байт вернулись изменёнными (%3). Настройки линии не подходят кабелю (PAR в CTESTER.INI), или у кабеля нет настоящего приёмопередатчика K-линии.</source>
        <translation>Wrong echo: %1 of %2 bytes came back changed (%3). The line settings do not match the cable (PAR in CTESTER.INI), or the cable has no proper K-line transceiver.</translation>
    </message>
    <message>
        <source>Эхо запаздывает: все байты вернулись, но поздно (%1): адаптер задерживает принятые байты (таймер задержки).</source>
        <translation>Slow echo: every byte came back, but late (%1): the adapter holds received bytes back (its latency timer).</translation>
    </message>
    <message>
        <source>Установите 1 мс: %1</source>
        <translation>Set it to 1 ms: %1</translation>
    </message>
    <message>
        <source>Эхо теряется: %1 из %2 байт не вернулись (%3 для остальных): плохой контакт или помехи на линии.</source>
        <translation>Echo lost: %1 of %2 bytes did not come back (%3 for the others): a loose contact or a noisy line.</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Warning!</translation>
    </message>
</context>
<context>
    <name>ProfileCheck</name>
    <message>
        <source> (верхняя часть)</source>
        <translation> (upper part)</translation>
    </message>
    <message>
        <source>%1 (адрес %2, %3 байт) выходит за пределы образа (%4 байт)</source>
        <translation>%1 (address %2, %3 bytes) runs past the image (%4 bytes)</translation>
    </message>
    <message>
        <source>контрольная сумма fCRCAddress</source>
        <translation>checksum fCRCAddress</translation>
    </message>
    <message>
        <source>%1 перекрывается с %2 (байты %3 - %4)</source>
        <translation>%1 overlaps %2 (bytes %3 - %4)</translation>
    </message>
    <message>
        <source>%1: ось %2 не возрастает (точка %3: %4 после %5)</source>
        <translation>%1: the %2 axis does not rise (point %3: %4 after %5)</translation>
    </message>
    <message>
        <source>%1: ось %2 начинается ниже нуля (%3)</source>
        <translation>%1: the %2 axis starts below zero (%3)</translation>
    </message>
    <message>
        <source>Контрольная сумма не найдена: ни один известный вид не сходится с образом</source>
        <translation>Checksum not found: no known kind matches the image</translation>
    </message>
    <message>
        <source>Контрольная сумма (%1) не сходится</source>
        <translation>The checksum (%1) does not match</translation>
    </message>
    <message>
        <source>оборотов</source>
        <translation>rpm</translation>
    </message>
    <message>
        <source>нагрузки</source>
        <translation>load</translation>
    </message>
    <message>
        <source>температур</source>
        <translation>temperature</translation>
    </message>
</context>
<context>
    <name>ProfileKeys</name>
    <message>
        <source>вариант раскладки: 1 — карты частичных нагрузок из двух частей и старые шкалы, иначе цельные карты</source>
        <translation>layout variant: 1 = part-load maps in two parts and the older scales, otherwise single maps</translation>
    </message>
    <message>
        <source>размер образа; хранится, не используется</source>
        <translation>image size; kept, not used</translation>
    </message>
    <message>
        <source>адрес 10 байт номера версии</source>
        <translation>address of the 10 version bytes</translation>
    </message>
    <message>
        <source>размер страницы; хранится, не используется</source>
        <translation>page size; kept, not used</translation>
    </message>
    <message>
        <source>хранится, не используется</source>
        <translation>kept, not used</translation>
    </message>
    <message>
        <source>начало карты (нижняя часть)</source>
        <translation>start of the map (lower part)</translation>
    </message>
    <message>
        <source>точек нагрузки (нижняя часть)</source>
        <translation>load breakpoints (lower part)</translation>
    </message>
    <message>
        <source>точек оборотов</source>
        <translation>rpm breakpoints</translation>
    </message>
    <message>
        <source>начало верхней части (вариант 1)</source>
        <translation>start of the upper part (variant 1)</translation>
    </message>
    <message>
        <source>точек нагрузки верхней части (вариант 1)</source>
        <translation>load breakpoints of the upper part (variant 1)</translation>
    </message>
    <message>
        <source>точек оборотов верхней части; хранится, не используется</source>
        <translation>rpm breakpoints of the upper part; kept, not used</translation>
    </message>
    <message>
        <source>начало таблицы (нет в образе варианта 1)</source>
        <translation>start of the table (not in a variant 1 image)</translation>
    </message>
    <message>
        <source>точек нагрузки</source>
        <translation>load breakpoints</translation>
    </message>
    <message>
        <source>начало таблицы</source>
        <translation>start of the table</translation>
    </message>
    <message>
        <source>строк: строка оборотов и строка углов</source>
        <translation>rows: the rpm row and the angle row</translation>
    </message>
    <message>
        <source>столбцов (точек оборотов)</source>
        <translation>columns (rpm breakpoints)</translation>
    </message>
    <message>
        <source>строк: строка оборотов и строка коэффициентов</source>
        <translation>rows: the rpm row and the factor row</translation>
    </message>
    <message>
        <source>вариант 1: строк кривой (обороты и углы); иначе точек нагрузки</source>
        <translation>variant 1: rows of the curve (rpm and angles); otherwise load breakpoints</translation>
    </message>
    <message>
        <source>начало кривой ДМРВ (в образе вариантов выше 1)</source>
        <translation>start of the air-mass-meter curve (in images of variants above 1)</translation>
    </message>
    <message>
        <source>16-битных значений в кривой</source>
        <translation>16-bit values in the curve</translation>
    </message>
    <message>
        <source>начало таблицы оборотов Х.Х. при прогреве</source>
        <translation>start of the warm-up idle speed table</translation>
    </message>
    <message>
        <source>строк: строка температур и строка оборотов</source>
        <translation>rows: the temperature row and the speed row</translation>
    </message>
    <message>
        <source>столбцов (точек температуры)</source>
        <translation>columns (temperature breakpoints)</translation>
    </message>
    <message>
        <source>адрес байта ограничителя оборотов</source>
        <translation>address of the rev limiter byte</translation>
    </message>
    <message>
        <source>ещё один адрес ограничителя; хранится, не используется</source>
        <translation>another rev limiter address; kept, not used</translation>
    </message>
    <message>
        <source>адрес байта CO (в образе вариантов выше 1)</source>
        <translation>address of the CO trim byte (in images of variants above 1)</translation>
    </message>
    <message>
        <source>первый байт области контрольной суммы</source>
        <translation>first byte of the checksummed area</translation>
    </message>
    <message>
        <source>последний байт этой области</source>
        <translation>last byte of that area</translation>
    </message>
    <message>
        <source>место контрольной суммы</source>
        <translation>place of the checksum</translation>
    </message>
    <message>
        <source>Профиль %1: вид контрольной суммы CRCKind=%2 не известен; известны: %3</source>
        <translation>Profile %1: the checksum kind CRCKind=%2 is not known; known are: %3</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>Не удалось записать %1</source>
        <translation>Cannot write %1</translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>Это папка</source>
        <translation>Is a directory</translation>
    </message>
    <message>
        <source>Это именованный канал (FIFO), а не файл</source>
        <translation>Is a named pipe (FIFO), not a file</translation>
    </message>
    <message>
        <source>Это символьное устройство, а не файл</source>
        <translation>Is a character device, not a file</translation>
    </message>
    <message>
        <source>Это блочное устройство, а не файл</source>
        <translation>Is a block device, not a file</translation>
    </message>
    <message>
        <source>Это сокет, а не файл</source>
        <translation>Is a socket, not a file</translation>
    </message>
    <message>
        <source>Это не обычный файл</source>
        <translation>Is not a regular file</translation>
    </message>
</context>
<context>
    <name>SettingsFileCheck</name>
    <message>
        <source>разметки с разделёнными картами частичной нагрузки (вариант 1)</source>
        <translation>the layout with split part-load maps (variant 1)</translation>
    </message>
    <message>
        <source>разметки с цельными картами частичной нагрузки (вариант %1)</source>
        <translation>the layout with single part-load maps (variant %1)</translation>
    </message>
    <message>
        <source>%1: %2 не возрастает: %3 после %4 (точка %5)</source>
        <translation>%1: the %2 does not rise: %3 after %4 (breakpoint %5)</translation>
    </message>
    <message>
        <source>ось оборотов</source>
        <translation>RPM axis</translation>
    </message>
    <message>
        <source>ось нагрузки</source>
        <translation>load axis</translation>
    </message>
    <message>
        <source>ось температур</source>
        <translation>temperature axis</translation>
    </message>
    <message>
        <source>файл настроек %1: %2 байт, а у разметки этого образа %3 байт</source>
        <translation>a settings file of %1: %2 bytes, where this image&apos;s layout has %3</translation>
    </message>
    <message>
        <source>размер файла настроек %1 байт, а у разметки этого образа (%2) %3 байт</source>
        <translation>the settings file has %1 bytes, where this image&apos;s layout (%2) has %3</translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>О программе DEMO</source>
        <translation>About DEMO</translation>
    </message>
    <message>
        <source>Tarvelo: калибровка и диагностика DME Motronic</source>
        <translation>Tarvelo: Motronic DME calibration and diagnostics</translation>
    </message>
</context>
<context>
    <name>TAdapterCommands</name>
    <message>
        <source>Внимание!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <source>не найдена</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>Нет связи с DME, изменения будут сохранены только в файле.</source>
        <translation>No link to the DME: the changes will be saved to the file only.</translation>
    </message>
    <message>
        <source>Загрузка прошивки из DME</source>
        <translation>Reading firmware from the DME</translation>
    </message>
    <message>
        <source>Загрузка завешена!</source>
        <translation>Reading finished!</translation>
    </message>
    <message>
        <source>Ошибка передачи данных из DME</source>
        <translation>Error receiving data from the DME</translation>
    </message>
    <message>
        <source>Идёт диагностический сеанс: отключитесь от Мотроника перед загрузкой прошивки в DME.</source>
        <translation>A diagnostic session is running: disconnect from the Motronic before writing firmware to the DME.</translation>
    </message>
    <message>
        <source>Загрузка прошивки ...</source>
        <translation>Writing firmware ...</translation>
    </message>
    <message>
        <source>Ошибка передачи данных в DME</source>
        <translation>Error sending data to the DME</translation>
    </message>
    <message>
        <source>Нет соединения!</source>
        <translation>No connection!</translation>
    </message>
    <message>
        <source>Загрузить в DME файл %1?

Размер: %2 байт
Версия прошивки: %3</source>
        <translation>Write the file %1 to the DME?

Size: %2 bytes
Firmware version: %3</translation>
    </message>
    <message>
        <source>Файл %1 не похож на прошивку: в нём %2 байт, а прошивка DME занимает ровно %3 байт. Загрузка такого файла может вывести DME из строя!

Всё равно загрузить его в DME?</source>
        <translation>The file %1 does not look like firmware: it has %2 bytes, and DME firmware is exactly %3 bytes. Writing such a file can damage the DME!

Write it to the DME anyway?</translation>
    </message>
    <message>
        <source>Загрузить изменённую прошивку из редактора?

Да - прошивка из редактора с изменениями, Нет - выбрать файл прошивки.</source>
        <translation>Upload the edited firmware from the editor?

Yes - the editor&apos;s firmware with its changes, No - choose a firmware file.</translation>
    </message>
</context>
<context>
    <name>TColorLegend</name>
    <message>
        <source>Цвет наименьшего и наибольшего значения карты</source>
        <translation>Colors of the lowest and highest values in the map</translation>
    </message>
</context>
<context>
    <name>TComPort</name>
    <message>
        <source> (симулятор)</source>
        <translation> (simulator)</translation>
    </message>
    <message>
        <source>Не удалось открыть порт %1</source>
        <translation>Cannot open port %1</translation>
    </message>
    <message>
        <source>Не удалось открыть порт %1 (%2): %3</source>
        <translation>Cannot open port %1 (%2): %3</translation>
    </message>
</context>
<context>
    <name>TCompareMarks</name>
    <message>
        <source>эталон: </source>
        <translation>reference: </translation>
    </message>
    <message>
        <source>
разница: </source>
        <translation>
difference: </translation>
    </message>
    <message>
        <source>Различий: %1</source>
        <translation>Differences: %1</translation>
    </message>
    <message>
        <source>Эталон: %1
Отличающихся ячеек во всех таблицах: %2</source>
        <translation>Reference: %1
Differing cells in all tables: %2</translation>
    </message>
    <message>
        <source>
Несравнимых таблиц: %1</source>
        <translation>
Tables not comparable: %1</translation>
    </message>
</context>
<context>
    <name>TCorrectionSettings</name>
    <message>
        <source> %</source>
        <translation> %</translation>
    </message>
    <message>
        <source>Наибольшее изменение ячейки за один круг коррекции</source>
        <translation>The largest change of a cell in one round of correction</translation>
    </message>
    <message>
        <source>Насколько ячейка может уйти от значения загруженной прошивки за все круги</source>
        <translation>How far a cell may move from the loaded firmware&apos;s value over all rounds</translation>
    </message>
    <message>
        <source>Сумма весов записей, без которой ячейка не меняется: запись в узле карты весит 1, в середине между четырьмя узлами - по 0,25 каждому</source>
        <translation>The summed weight of records a cell needs to change: a record on a map node weighs 1, one in the middle between four nodes 0.25 on each</translation>
    </message>
    <message>
        <source>Наибольший шаг</source>
        <translation>Largest step</translation>
    </message>
    <message>
        <source>Допуск от исходной</source>
        <translation>Authority from the original</translation>
    </message>
    <message>
        <source>Наименьший вес</source>
        <translation>Minimum weight</translation>
    </message>
    <message>
        <source>Диапазон панели лямбда-зонда</source>
        <translation>Lambda panel&apos;s range</translation>
    </message>
    <message>
        <source>Линия по двум точкам</source>
        <translation>Line through two points</translation>
    </message>
    <message>
        <source>AFR в канале O2</source>
        <translation>AFR in the O2 channel</translation>
    </message>
    <message>
        <source>Лямбда в канале O2</source>
        <translation>Lambda in the O2 channel</translation>
    </message>
    <message>
        <source> В</source>
        <translation> V</translation>
    </message>
    <message>
        <source>Датчик</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>при AFR</source>
        <translation>at AFR</translation>
    </message>
    <message>
        <source>Прогретый двигатель: CLT выше</source>
        <translation>Warm engine: CLT above</translation>
    </message>
    <message>
        <source> °C</source>
        <translation> °C</translation>
    </message>
    <message>
        <source>Установившийся режим: до и после записи, с</source>
        <translation>Steady state: before and after the record, s</translation>
    </message>
    <message>
        <source> % TPS</source>
        <translation> % TPS</translation>
    </message>
    <message>
        <source>Наибольшее изменение TPS в окне (нагрузка - не более 10 %)</source>
        <translation>The largest TPS change in the window (load: at most 10 %)</translation>
    </message>
    <message>
        <source>Без принудительного холостого хода</source>
        <translation>Without overrun</translation>
    </message>
    <message>
        <source>Отбрасывает записи с временем впрыска около нуля и с закрытым дросселем выше холостых оборотов</source>
        <translation>Drops records with an injection time near zero and with a closed throttle above idle speed</translation>
    </message>
    <message>
        <source>Без показаний на краях линии датчика</source>
        <translation>Without readings at the ends of the sensor&apos;s line</translation>
    </message>
    <message>
        <source> с</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Состав смеси записи читается позже на это время (по умолчанию 0,2 с)</source>
        <translation>A record&apos;s mixture is read this much later (default 0.2 s)</translation>
    </message>
    <message>
        <source>Задержка датчика (по умолчанию 0,2 с)</source>
        <translation>Sensor delay (default 0.2 s)</translation>
    </message>
    <message>
        <source>Отброшено фильтрами: холодный двигатель %1, переходные режимы %2, принудительный холостой ход %3, задержка датчика %4, датчик на краю линии %5, вне отрезка ЛОГа %6. В коррекции записей: %7 из %8 (за краями осей карты: %9).</source>
        <translation>Removed by the filters: cold engine %1, transients %2, overrun %3, sensor delay %4, sensor at its line&apos;s end %5, outside the log&apos;s stretch %6. Records in the correction: %7 of %8 (beyond the map&apos;s axes: %9).</translation>
    </message>
</context>
<context>
    <name>TEditCommands</name>
    <message>
        <source>Таблицы CSV (*.csv)</source>
        <translation>CSV tables (*.csv)</translation>
    </message>
    <message>
        <source>Все файлы (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>&amp;Отменить</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Повторить</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>&amp;Копировать</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>&amp;Вставить</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>Задать значение...</source>
        <translation>Set value...</translation>
    </message>
    <message>
        <source>Прибавить...</source>
        <translation>Add...</translation>
    </message>
    <message>
        <source>Умножить на %...</source>
        <translation>Multiply by %...</translation>
    </message>
    <message>
        <source>Шаг вверх</source>
        <translation>Step up</translation>
    </message>
    <message>
        <source>Шаг вниз</source>
        <translation>Step down</translation>
    </message>
    <message>
        <source>Интерполировать по горизонтали</source>
        <translation>Interpolate horizontally</translation>
    </message>
    <message>
        <source>Интерполировать по вертикали</source>
        <translation>Interpolate vertically</translation>
    </message>
    <message>
        <source>Интерполировать по площади</source>
        <translation>Interpolate over the area</translation>
    </message>
    <message>
        <source>Сгладить</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>Экспорт таблицы в CSV...</source>
        <translation>Export table to CSV...</translation>
    </message>
    <message>
        <source>Импорт таблицы из CSV...</source>
        <translation>Import table from CSV...</translation>
    </message>
    <message>
        <source>Экспорт таблицы в CSV</source>
        <translation>Export table to CSV</translation>
    </message>
    <message>
        <source>Импорт таблицы из CSV</source>
        <translation>Import table from CSV</translation>
    </message>
    <message>
        <source>Задать значение</source>
        <translation>Set value</translation>
    </message>
    <message>
        <source>Значение:</source>
        <translation>Value:</translation>
    </message>
    <message>
        <source>Прибавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Прибавить (отрицательное — вычесть):</source>
        <translation>Add (negative to subtract):</translation>
    </message>
    <message>
        <source>Умножить на %</source>
        <translation>Multiply by %</translation>
    </message>
    <message>
        <source>Процент (105 — на 5 % больше):</source>
        <translation>Percent (105 is 5 % more):</translation>
    </message>
    <message>
        <source>Ограничено ячеек: %1</source>
        <translation>Cells limited: %1</translation>
    </message>
</context>
<context>
    <name>TFrmTelemetry</name>
    <message>
        <source>Телеметрия DEMO</source>
        <translation>Telemetry DEMO</translation>
    </message>
    <message>
        <source>Открыть ЛОГ-файл</source>
        <translation>Open log file</translation>
    </message>
    <message>
        <source>Зависимости%1:</source>
        <translation>Plot %1:</translation>
    </message>
    <message>
        <source>&amp;Загрузить ЛОГ</source>
        <translation>&amp;Load log</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Об/мин</source>
        <translation>RPM</translation>
    </message>
    <message>
        <source>Н-ка</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Воспроизвести</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>В начало</source>
        <translation>To start</translation>
    </message>
    <message>
        <source>Страница назад</source>
        <translation>Page back</translation>
    </message>
    <message>
        <source>Запись назад</source>
        <translation>Previous record</translation>
    </message>
    <message>
        <source>Запись вперёд</source>
        <translation>Next record</translation>
    </message>
    <message>
        <source>Страница вперёд</source>
        <translation>Page forward</translation>
    </message>
    <message>
        <source>В конец</source>
        <translation>To end</translation>
    </message>
    <message>
        <source>В ЛОГе нет ни одной записи</source>
        <translation>The log holds no records</translation>
    </message>
</context>
<context>
    <name>THexView</name>
    <message>
        <source>Образ не загружен</source>
        <translation>No image loaded</translation>
    </message>
</context>
<context>
    <name>TLinkMenu</name>
    <message>
        <source>Порт диагностики...</source>
        <translation>Diagnostic port...</translation>
    </message>
    <message>
        <source>Проверка кабеля</source>
        <translation>Cable test</translation>
    </message>
    <message>
        <source>Сохранить журнал обмена</source>
        <translation>Save link trace</translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>Все файлы (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>Линия занята: сначала завершите соединение или обмен с адаптером.</source>
        <translation>The line is in use: end the connection or the adapter exchange first.</translation>
    </message>
    <message>
        <source>Журнала обмена ещё нет: он ведётся с начала каждого соединения.</source>
        <translation>There is no link trace yet: one is kept from the start of every connection.</translation>
    </message>
    <message>
        <source>Не удалось записать %1</source>
        <translation>Cannot write %1</translation>
    </message>
</context>
<context>
    <name>TLinkPanel</name>
    <message>
        <source>Чтение кодов ошибок</source>
        <translation>Read codes</translation>
    </message>
    <message>
        <source>Стереть ошибки</source>
        <translation>Clear codes</translation>
    </message>
    <message>
        <source>Чтение TC ...</source>
        <translation>Reading codes ...</translation>
    </message>
    <message>
        <source>Стирание TC ...</source>
        <translation>Clearing codes ...</translation>
    </message>
    <message>
        <source>Отключиться от Мотроника</source>
        <translation>Disconnect from the Motronic</translation>
    </message>
    <message>
        <source>Подключиться к Мотронику</source>
        <translation>Connect to the Motronic</translation>
    </message>
    <message>
        <source>Соединение установлено ...</source>
        <translation>Connected ...</translation>
    </message>
    <message>
        <source>Нет соединения!</source>
        <translation>No connection!</translation>
    </message>
    <message>
        <source>Таймер задержки адаптера %1 стоит на %2 мс: ответы блока будут запаздывать, а программа не может его изменить. Установите 1 мс командой

%3

или установите правило udev из пакета и переподключите адаптер.</source>
        <translation>The latency timer of the adapter %1 is at %2 ms: the unit&apos;s answers will come late, and the program may not change it. Set 1 ms with

%3

or install the package&apos;s udev rule and plug the adapter in again.</translation>
    </message>
    <message>
        <source>Драйвер %1 не умеет удерживать разрыв линии (break).</source>
        <translation>The driver %1 cannot hold a break.</translation>
    </message>
    <message>
        <source>Драйвер %1 только имитирует короткий разрыв линии (break) и не может его удерживать.</source>
        <translation>The driver %1 only simulates a short break and cannot hold one.</translation>
    </message>
    <message>
        <source>Пробуждение разрывом на линии K (L-LINE=2) с этим адаптером невозможно: выберите пробуждение по DTR или RTS, если кабель их выводит, или другой адаптер.</source>
        <translation>A wake-up by breaks on the K-line (L-LINE=2) is not possible with this adapter: choose the wake-up on DTR or RTS if the cable has them, or another adapter.</translation>
    </message>
</context>
<context>
    <name>TLiveLoop</name>
    <message>
        <source>Получение телеметрии из DME</source>
        <translation>Receiving live data from the DME</translation>
    </message>
    <message>
        <source>Нет соединения!</source>
        <translation>No connection!</translation>
    </message>
    <message>
        <source>Запись ЛОГ-файла %1 остановлена: %2</source>
        <translation>Writing the log file %1 stopped: %2</translation>
    </message>
</context>
<context>
    <name>TLogColumnsDialog</name>
    <message>
        <source>табуляция</source>
        <translation>tab</translation>
    </message>
    <message>
        <source>Столбцы ЛОГа</source>
        <translation>Log columns</translation>
    </message>
    <message>
        <source>%1: разделитель %2, десятичный знак «%3», заголовок в строке %4</source>
        <translation>%1: delimiter %2, decimal mark &quot;%3&quot;, header on line %4</translation>
    </message>
    <message>
        <source>AFR</source>
        <translation>AFR</translation>
    </message>
    <message>
        <source>лямбда</source>
        <translation>lambda</translation>
    </message>
    <message>
        <source>вольты зонда</source>
        <translation>sensor volts</translation>
    </message>
    <message>
        <source>секунды</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>миллисекунды</source>
        <translation>milliseconds</translation>
    </message>
    <message>
        <source>время суток чч:мм:сс</source>
        <translation>time of day hh:mm:ss</translation>
    </message>
    <message>
        <source> Гц</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source>Обороты:</source>
        <translation>Engine speed:</translation>
    </message>
    <message>
        <source>Нагрузка (время впрыска, мс):</source>
        <translation>Load (injection time, ms):</translation>
    </message>
    <message>
        <source>Смесь:</source>
        <translation>Mixture:</translation>
    </message>
    <message>
        <source>Т охл. ж.:</source>
        <translation>Coolant temp.:</translation>
    </message>
    <message>
        <source>Дроссель:</source>
        <translation>Throttle:</translation>
    </message>
    <message>
        <source>Время:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>Частота записей без времени:</source>
        <translation>Rate of a log without time:</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>— нет —</source>
        <translation>— none —</translation>
    </message>
</context>
<context>
    <name>TLogOverlay</name>
    <message>
        <source>Записей: %1, время: %2 с</source>
        <translation>Records: %1, time: %2 s</translation>
    </message>
    <message>
        <source>%1: среднее %2, мин. %3, макс. %4</source>
        <translation>%1: mean %2, min. %3, max. %4</translation>
    </message>
    <message>
        <source>мало данных</source>
        <translation>too few data</translation>
    </message>
</context>
<context>
    <name>TMapEditors</name>
    <message>
        <source>Убрать цветную градацию</source>
        <translation>Turn color shading off</translation>
    </message>
    <message>
        <source>Включить цветную градацию</source>
        <translation>Turn color shading on</translation>
    </message>
    <message>
        <source>Н
а
г
р
у
з
к
а

м
с</source>
        <translation>L
o
a
d

m
s</translation>
    </message>
    <message>
        <source>Карта частичных нагрузок</source>
        <translation>Part-load map</translation>
    </message>
    <message>
        <source>Обороты двигателя, об/мин.</source>
        <translation>Engine speed, rpm</translation>
    </message>
    <message>
        <source>Зажигание</source>
        <translation>Ignition</translation>
    </message>
    <message>
        <source>Топливо</source>
        <translation>Fuel</translation>
    </message>
    <message>
        <source>Обороты двигателя при прогреве</source>
        <translation>Idle speed during warm-up</translation>
    </message>
    <message>
        <source>Ограничитель оборотов двигателя</source>
        <translation>Rev limiter</translation>
    </message>
    <message>
        <source>Порог срабатывания:</source>
        <translation>Cut-off speed:</translation>
    </message>
    <message>
        <source>об./мин.</source>
        <translation>rpm</translation>
    </message>
    <message>
        <source>Регулировка СО</source>
        <translation>CO adjustment</translation>
    </message>
    <message>
        <source>бедно</source>
        <translation>lean</translation>
    </message>
    <message>
        <source>богато</source>
        <translation>rich</translation>
    </message>
    <message>
        <source>Сброс</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Калибровка дросселя</source>
        <translation>Throttle calibration</translation>
    </message>
    <message>
        <source>Полностью закрытый дроссель:</source>
        <translation>Throttle fully closed:</translation>
    </message>
    <message>
        <source>Измерить</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>Полностью открытый дроссель:</source>
        <translation>Throttle fully open:</translation>
    </message>
    <message>
        <source>Лямбда зонд</source>
        <translation>Lambda sensor</translation>
    </message>
    <message>
        <source>Тип лямбда зонда</source>
        <translation>Lambda sensor type</translation>
    </message>
    <message>
        <source>узкополосный</source>
        <translation>narrowband</translation>
    </message>
    <message>
        <source>широкополосный</source>
        <translation>wideband</translation>
    </message>
    <message>
        <source>Диапазон датчика</source>
        <translation>Sensor range</translation>
    </message>
    <message>
        <source>Мин. вольтаж</source>
        <translation>Min. voltage</translation>
    </message>
    <message>
        <source>Макс. вольтаж</source>
        <translation>Max. voltage</translation>
    </message>
    <message>
        <source>Пороговое значение</source>
        <translation>Switch point</translation>
    </message>
    <message>
        <source>Вольтаж</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>Характеристика датчика</source>
        <translation>Sensor curve</translation>
    </message>
    <message>
        <source>Лямбда ВКЛ/ВЫКЛ</source>
        <translation>Lambda ON/OFF</translation>
    </message>
    <message>
        <source>Использовать лямбда зонд</source>
        <translation>Use the lambda sensor</translation>
    </message>
    <message>
        <source>НЕ использовать лямбда зонд</source>
        <translation>Do NOT use the lambda sensor</translation>
    </message>
    <message>
        <source>Карта калибровки ДМРВ</source>
        <translation>MAF calibration map</translation>
    </message>
    <message>
        <source>х 10 кг/час</source>
        <translation>x 10 kg/h</translation>
    </message>
    <message>
        <source>Порог оборотов</source>
        <translation>Rev limit</translation>
    </message>
    <message>
        <source>Вольтаж лямбда зонда</source>
        <translation>Lambda sensor voltage</translation>
    </message>
    <message>
        <source>Ввод значения</source>
        <translation>Value entry</translation>
    </message>
</context>
<context>
    <name>TProfileForm</name>
    <message>
        <source>Общие</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Топливо, частичные нагрузки</source>
        <translation>Fuel, part load</translation>
    </message>
    <message>
        <source>Зажигание, частичные нагрузки</source>
        <translation>Ignition, part load</translation>
    </message>
    <message>
        <source>Топливо Х.Х.</source>
        <translation>Fuel, idle</translation>
    </message>
    <message>
        <source>Зажигание Х.Х.</source>
        <translation>Ignition, idle</translation>
    </message>
    <message>
        <source>Топливо, макс. нагрузка</source>
        <translation>Fuel, full load</translation>
    </message>
    <message>
        <source>Зажигание, макс. нагрузка</source>
        <translation>Ignition, full load</translation>
    </message>
    <message>
        <source>ДМРВ</source>
        <translation>MAF</translation>
    </message>
    <message>
        <source>Обороты Х.Х. при прогреве</source>
        <translation>Warm-up idle speed</translation>
    </message>
    <message>
        <source>Ограничитель оборотов</source>
        <translation>Rev limiter</translation>
    </message>
    <message>
        <source>Байт CO</source>
        <translation>CO byte</translation>
    </message>
    <message>
        <source>Контрольная сумма</source>
        <translation>Checksum</translation>
    </message>
    <message>
        <source>вид контрольной суммы; auto: найти по образу</source>
        <translation>checksum kind; auto: find it on the image</translation>
    </message>
    <message>
        <source>ошибок: %1</source>
        <translation>problems: %1</translation>
    </message>
    <message>
        <source>Номер версии</source>
        <translation>Version number</translation>
    </message>
</context>
<context>
    <name>TRecentFiles</name>
    <message>
        <source>Внимание!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <source>Файл %1 не найден; он убран из списка.</source>
        <translation>File %1 was not found; it has been removed from the list.</translation>
    </message>
</context>
<context>
    <name>TStatusStrip</name>
    <message>
        <source>Нет соединения !</source>
        <translation>No connection !</translation>
    </message>
    <message>
        <source>Остановить загрузку</source>
        <translation>Stop the transfer</translation>
    </message>
    <message>
        <source>Подключиться к Мотронику</source>
        <translation>Connect to the Motronic</translation>
    </message>
    <message>
        <source>ЛОГ</source>
        <translation>LOG</translation>
    </message>
    <message>
        <source>Включить цветную градацию</source>
        <translation>Turn color shading on</translation>
    </message>
    <message>
        <source>Номер мотроника:</source>
        <translation>Motronic number:</translation>
    </message>
    <message>
        <source>Не выбрана</source>
        <translation>Not selected</translation>
    </message>
    <message>
        <source>Файл:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>Изменено</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>Есть изменения, не сохранённые в файле</source>
        <translation>There are changes not saved in a file</translation>
    </message>
    <message>
        <source>Контрольная сумма загруженной прошивки</source>
        <translation>Checksum of the loaded firmware</translation>
    </message>
</context>
<context>
    <name>TTunedImageCommands</name>
    <message>
        <source>Внимание!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <source>%1: %2 -&gt; %3</source>
        <translation>%1: %2 -&gt; %3</translation>
    </message>
    <message>
        <source>Чтобы 16-битная сумма всех байтов прошивки осталась прежней (%1), будут изменены два байта заполнителя:

%2

Записать прошивку с изменениями?</source>
        <translation>To keep the 16-bit sum of all the image&apos;s bytes as it was (%1), two filler bytes will be changed:

%2

Write the edited image?</translation>
    </message>
    <message>
        <source>Контрольная сумма найдена только поиском и может совпасть случайно:

%1

Исправить её? Будут изменены байты %2 (сумма области %3). Иначе эти байты останутся прежними.</source>
        <translation>The checksum was found only by the search and may hold by chance:

%1

Correct it? The bytes %2 will be changed (the sum of the area %3). Otherwise these bytes stay as they were.</translation>
    </message>
    <message>
        <source>Исправить</source>
        <translation>Correct</translation>
    </message>
    <message>
        <source>Оставить байты</source>
        <translation>Leave the bytes</translation>
    </message>
    <message>
        <source>Вид контрольной суммы загруженной прошивки не найден: прошивка с изменениями сохранит прежние байты контрольной суммы, и если они неверны, DME будет работать в аварийном режиме.

Всё равно записать прошивку с изменениями?</source>
        <translation>The checksum kind of the loaded firmware was not found: the firmware with changes keeps the old checksum bytes, and if they are wrong, the DME runs in its fault mode.

Write the firmware with changes anyway?</translation>
    </message>
    <message>
        <source>Контрольная сумма загруженной прошивки неверна: прошивка с изменениями сохранит прежние байты контрольной суммы, и DME будет работать в аварийном режиме.

Всё равно записать прошивку с изменениями?</source>
        <translation>The checksum of the loaded firmware is wrong: the firmware with changes keeps the old checksum bytes, and the DME runs in its fault mode.

Write the firmware with changes anyway?</translation>
    </message>
    <message>
        <source>Сохранить сумму образа</source>
        <translation>Keep the image&apos;s sum</translation>
    </message>
    <message>
        <source>Ось таблицы не возрастает: %1

DME не сможет работать с такой прошивкой. Всё равно загрузить её в DME?</source>
        <translation>A table axis does not rise: %1

The DME cannot run such firmware. Upload it to the DME all the same?</translation>
    </message>
    <message>
        <source>Прошивка с изменениями записана в файл %1.

Контрольная сумма не исправлена: её вид не найден в загруженной прошивке.</source>
        <translation>The firmware with changes is written to the file %1.

The checksum is not corrected: its kind was not found in the loaded firmware.</translation>
    </message>
    <message>
        <source>Прошивка с изменениями записана в файл %1.

Контрольная сумма не исправлена: она была неверна уже в загруженной прошивке.</source>
        <translation>The firmware with changes is written to the file %1.

The checksum is not corrected: it was wrong in the loaded firmware already.</translation>
    </message>
</context>
<context>
    <name>TfrmCompare</name>
    <message>
        <source>об/мин</source>
        <translation>rpm</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Топливо, частичные нагрузки</source>
        <translation>Fuel, part load</translation>
    </message>
    <message>
        <source>Зажигание, частичные нагрузки</source>
        <translation>Ignition, part load</translation>
    </message>
    <message>
        <source>Зажигание Х.Х.</source>
        <translation>Ignition, idle</translation>
    </message>
    <message>
        <source>Топливо Х.Х.</source>
        <translation>Fuel, idle</translation>
    </message>
    <message>
        <source>Зажигание, макс. нагрузка</source>
        <translation>Ignition, full load</translation>
    </message>
    <message>
        <source>Топливо, макс. нагрузка</source>
        <translation>Fuel, full load</translation>
    </message>
    <message>
        <source>ДМРВ</source>
        <translation>MAF</translation>
    </message>
    <message>
        <source>Обороты при прогреве</source>
        <translation>Warm-up RPM</translation>
    </message>
    <message>
        <source>Сравнение с эталоном</source>
        <translation>Comparison with the reference</translation>
    </message>
    <message>
        <source>только различия</source>
        <translation>differences only</translation>
    </message>
    <message>
        <source>Таблица</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>Ячейка</source>
        <translation>Cell</translation>
    </message>
    <message>
        <source>Эталон</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>Текущее</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Разница</source>
        <translation>Difference</translation>
    </message>
    <message>
        <source>ось</source>
        <translation>axis</translation>
    </message>
    <message>
        <source>несравнима (%1)</source>
        <translation>not comparable (%1)</translation>
    </message>
    <message>
        <source>Эталон не открыт</source>
        <translation>No reference open</translation>
    </message>
    <message>
        <source>Эталон: %1. Отличающихся ячеек: %2</source>
        <translation>Reference: %1. Differing cells: %2</translation>
    </message>
    <message>
        <source>, несравнимых таблиц: %1</source>
        <translation>, tables not comparable: %1</translation>
    </message>
</context>
<context>
    <name>TfrmDiagPort</name>
    <message>
        <source>Порт диагностики</source>
        <translation>Diagnostic port</translation>
    </message>
    <message>
        <source>Порт K-линии для диагностики и загрузки прошивки:</source>
        <translation>K-line port for diagnostics and firmware upload:</translation>
    </message>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Драйвер</source>
        <translation>Driver</translation>
    </message>
    <message>
        <source>Чип</source>
        <translation>Chip</translation>
    </message>
    <message>
        <source>VID:PID</source>
        <translation>VID:PID</translation>
    </message>
    <message>
        <source>Задержка</source>
        <translation>Latency</translation>
    </message>
    <message>
        <source>Доступ</source>
        <translation>Access</translation>
    </message>
    <message>
        <source>Занят</source>
        <translation>Held by</translation>
    </message>
    <message>
        <source>Пробуждение блока:</source>
        <translation>Wake-up of the unit:</translation>
    </message>
    <message>
        <source>по DTR</source>
        <translation>on DTR</translation>
    </message>
    <message>
        <source>по RTS</source>
        <translation>on RTS</translation>
    </message>
    <message>
        <source>разрывом на линии K (кабель только с K-линией)</source>
        <translation>by breaks on the K-line (a cable with only a K-line)</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>%1 мс</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>нет устройства</source>
        <translation>no device</translation>
    </message>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>нет (группа %1)</source>
        <translation>no (group %1)</translation>
    </message>
    <message>
        <source>Симулятор (sim)</source>
        <translation>Simulator (sim)</translation>
    </message>
    <message>
        <source>встроенный</source>
        <translation>built-in</translation>
    </message>
    <message>
        <source>Последовательных портов не найдено.</source>
        <translation>No serial ports found.</translation>
    </message>
    <message>
        <source>Встроенный симулятор блока управления и адаптера: всё можно попробовать без автомобиля.</source>
        <translation>The built-in simulator of an engine control unit and adapter: everything can be tried without a car.</translation>
    </message>
    <message>
        <source>Препятствий не найдено.</source>
        <translation>Nothing stands in the way.</translation>
    </message>
    <message>
        <source>Не удалось записать %1</source>
        <translation>Cannot write %1</translation>
    </message>
</context>
<context>
    <name>TfrmIndicators</name>
    <message>
        <source>Приборная доска  -= Tarvelo=-  DEMO</source>
        <translation>Dashboard  -= Tarvelo=-  DEMO</translation>
    </message>
    <message>
        <source>км/ч</source>
        <translation>km/h</translation>
    </message>
</context>
<context>
    <name>TfrmLogAnalysis</name>
    <message>
        <source>Анализ ЛОГа на картах</source>
        <translation>Log analysis on the maps</translation>
    </message>
    <message>
        <source>Открыть ЛОГ-файл</source>
        <translation>Open log file</translation>
    </message>
    <message>
        <source>ЛОГ-файлы (*.txt *.log)</source>
        <translation>Log files (*.txt *.log)</translation>
    </message>
    <message>
        <source>Все файлы (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>ЛОГ</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Открыть ЛОГ...</source>
        <translation>Open log...</translation>
    </message>
    <message>
        <source>ЛОГ окна телеметрии</source>
        <translation>Telemetry window&apos;s log</translation>
    </message>
    <message>
        <source>ЛОГ не загружен</source>
        <translation>No log loaded</translation>
    </message>
    <message>
        <source>Статистика по ячейкам</source>
        <translation>Statistics per cell</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Мало данных: записей меньше</source>
        <translation>Too few data: records fewer than</translation>
    </message>
    <message>
        <source>Прогретый двигатель: CLT выше</source>
        <translation>Warm engine: CLT above</translation>
    </message>
    <message>
        <source> °C</source>
        <translation> °C</translation>
    </message>
    <message>
        <source>Ровный дроссель: изменение TPS меньше</source>
        <translation>Steady throttle: TPS change under</translation>
    </message>
    <message>
        <source>Отрезок ЛОГа, с</source>
        <translation>Stretch of the log, s</translation>
    </message>
    <message>
        <source>Показать на картах</source>
        <translation>Show on the maps</translation>
    </message>
    <message>
        <source>Коррекция топлива по широкополосному датчику</source>
        <translation>Fuel correction from a wide-band sensor</translation>
    </message>
    <message>
        <source>Целевой AFR</source>
        <translation>Target AFR</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Записать предложенные значения в карту топлива (одним шагом отмены)</source>
        <translation>Write the proposed values into the fuel map (one undo step)</translation>
    </message>
    <message>
        <source>чтение остановлено в строке %1: %2</source>
        <translation>reading stopped at line %1: %2</translation>
    </message>
    <message>
        <source>В окне телеметрии нет загруженного ЛОГа</source>
        <translation>The telemetry window holds no log</translation>
    </message>
    <message>
        <source>Записей: %1. Карты не загружены.</source>
        <translation>Records: %1. No maps loaded.</translation>
    </message>
    <message>
        <source>Записей: %1, отброшено фильтрами: %2, вне карты: %3.</source>
        <translation>Records: %1, taken out by the filters: %2, outside the map: %3.</translation>
    </message>
    <message>
        <source>Коррекция невозможна: %1</source>
        <translation>No correction possible: %1</translation>
    </message>
    <message>
        <source>Нет ЛОГа или карт для коррекции.</source>
        <translation>No log or maps to correct.</translation>
    </message>
    <message>
        <source>Коррекция применена (её можно отменить в меню &quot;Правка&quot;).</source>
        <translation>Correction applied (it can be undone in the &quot;Edit&quot; menu).</translation>
    </message>
    <message>
        <source>Ячеек с достаточными данными: %1, предложено изменить: %2.</source>
        <translation>Cells with enough data: %1, proposed to change: %2.</translation>
    </message>
    <message>
        <source>Коррекция по ЛОГу</source>
        <translation>Correction from the log</translation>
    </message>
    <message>
        <source>Таблица целевого AFR по ячейкам</source>
        <translation>Target AFR table by cell</translation>
    </message>
    <message>
        <source>Сохранить цели...</source>
        <translation>Save targets...</translation>
    </message>
    <message>
        <source>Загрузить цели...</source>
        <translation>Load targets...</translation>
    </message>
    <message>
        <source>Целевой AFR ячейки: от %1 до %2, с одним знаком после запятой</source>
        <translation>The cell&apos;s target AFR: %1 to %2, with one decimal place</translation>
    </message>
    <message>
        <source>Таблицы целевого AFR (*.txt)</source>
        <translation>Target AFR tables (*.txt)</translation>
    </message>
    <message>
        <source>Загрузить таблицу целевого AFR</source>
        <translation>Load target AFR table</translation>
    </message>
    <message>
        <source>Сохранить таблицу целевого AFR</source>
        <translation>Save target AFR table</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write the file %1: %2</translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation>Could not open the file %1: %2</translation>
    </message>
    <message>
        <source>Файл %1 не подходит: нужна таблица %2 x %3 с оборотами и нагрузками карты топлива и целевым AFR от %4 до %5 в каждой ячейке.</source>
        <translation>The file %1 does not fit: a %2 x %3 table with the fuel map&apos;s RPM and load headers and a target AFR from %4 to %5 in every cell is needed.</translation>
    </message>
    <message>
        <source>В ЛОГе %1 нет ни одной записи</source>
        <translation>The log %1 holds no records</translation>
    </message>
    <message>
        <source>пустых ячеек, взявших значение строки выше: %1</source>
        <translation>empty cells that took the value of the row above: %1</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>Внимание!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <source>Загружаемые данные не соответствуют текущей версии прошивки! Продолжить загрузку?</source>
        <translation>The data being loaded do not match the current firmware version! Continue loading?</translation>
    </message>
    <message>
        <source>Топливо</source>
        <translation>Fuel</translation>
    </message>
    <message>
        <source>Зажигание</source>
        <translation>Ignition</translation>
    </message>
    <message>
        <source>Х.Х.</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>Макс. нагрузка</source>
        <translation>Full load</translation>
    </message>
    <message>
        <source>Прочие настройки</source>
        <translation>Other settings</translation>
    </message>
    <message>
        <source>ДМРВ</source>
        <translation>MAF</translation>
    </message>
    <message>
        <source>Диагностика</source>
        <translation>Diagnostics</translation>
    </message>
    <message>
        <source>Обороты</source>
        <translation>RPM</translation>
    </message>
    <message>
        <source>Нагрузка</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Лямбда</source>
        <translation>Lambda</translation>
    </message>
    <message>
        <source>Вр. впр</source>
        <translation>Inj. time</translation>
    </message>
    <message>
        <source>УОЗ</source>
        <translation>Advance</translation>
    </message>
    <message>
        <source>Дроссель</source>
        <translation>Throttle</translation>
    </message>
    <message>
        <source>Т охл. ж.</source>
        <translation>Coolant T</translation>
    </message>
    <message>
        <source>Т впуск</source>
        <translation>Intake T</translation>
    </message>
    <message>
        <source>V борт</source>
        <translation>Battery V</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Файлы прошивок (*.bin)</source>
        <translation>Firmware images (*.bin)</translation>
    </message>
    <message>
        <source>Все файлы (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Введите имя ЛОГ-файла</source>
        <translation>Log file name</translation>
    </message>
    <message>
        <source>Сохранение настроек в файл</source>
        <translation>Save settings to a file</translation>
    </message>
    <message>
        <source>Загрузка настроек из файла</source>
        <translation>Load settings from a file</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Выбрать версию DME</source>
        <translation>Choose DME version</translation>
    </message>
    <message>
        <source>&amp;Открыть профайл</source>
        <translation>&amp;Open profile</translation>
    </message>
    <message>
        <source>&amp;Загрузить из DME</source>
        <translation>&amp;Read from DME</translation>
    </message>
    <message>
        <source>За&amp;грузить из BIN</source>
        <translation>Load from &amp;BIN</translation>
    </message>
    <message>
        <source>З&amp;агрузить настройки</source>
        <translation>Lo&amp;ad settings</translation>
    </message>
    <message>
        <source>Заг&amp;рузить BIN в DME</source>
        <translation>&amp;Write BIN to DME</translation>
    </message>
    <message>
        <source>&amp;Сохранить</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>Со&amp;хранить BIN</source>
        <translation>Save BI&amp;N</translation>
    </message>
    <message>
        <source>&amp;Выйти</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;Вид</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Приборная доска</source>
        <translation>&amp;Dashboard</translation>
    </message>
    <message>
        <source>&amp;Телеметрия</source>
        <translation>&amp;Telemetry</translation>
    </message>
    <message>
        <source>&amp;Опции</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>COM-&amp;порт</source>
        <translation>COM &amp;port</translation>
    </message>
    <message>
        <source>Запись ЛОГ-файла</source>
        <translation>Write log file</translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Версия</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Сохранить BIN с изменениями...</source>
        <translation>Save BIN with changes...</translation>
    </message>
    <message>
        <source>&amp;Правка</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>Анализ ЛОГа на картах...</source>
        <translation>Log analysis on the maps...</translation>
    </message>
    <message>
        <source>Изменения калибровки не сохранены. Сохранить их в файл настроек?</source>
        <translation>The calibration changes are not saved. Save them to a settings file?</translation>
    </message>
    <message>
        <source>Сравнить с эталоном</source>
        <translation>Compare with a reference</translation>
    </message>
    <message>
        <source>Прошивки и настройки (*.bin *.dme)</source>
        <translation>Images and settings (*.bin *.dme)</translation>
    </message>
    <message>
        <source>Сравнить с...</source>
        <translation>Compare with...</translation>
    </message>
    <message>
        <source>Закончить сравнение</source>
        <translation>End comparison</translation>
    </message>
    <message>
        <source>3D-вид карты</source>
        <translation>3D map view</translation>
    </message>
    <message>
        <source>Редактор профиля...</source>
        <translation>Profile editor...</translation>
    </message>
    <message>
        <source>Таблицы изменены. Сохранить прошивку с изменениями или такой, как она была загружена?</source>
        <translation>The tables have been changed. Save the firmware with the changes, or as it was loaded?</translation>
    </message>
    <message>
        <source>С изменениями</source>
        <translation>With the changes</translation>
    </message>
    <message>
        <source>Как загружена</source>
        <translation>As loaded</translation>
    </message>
    <message>
        <source>Виртуальный двигатель</source>
        <translation>Virtual engine</translation>
    </message>
    <message>
        <source>Кнопка ЛОГ берёт записи у виртуального двигателя, который отвечает на карту топлива, а не из demo.dat</source>
        <translation>The LOG button takes its records from the virtual engine, which answers the fuel map, instead of demo.dat</translation>
    </message>
</context>
<context>
    <name>TfrmProfileEditor</name>
    <message>
        <source>Редактор профиля</source>
        <translation>Profile editor</translation>
    </message>
    <message>
        <source>Открыть профиль...</source>
        <translation>Open profile...</translation>
    </message>
    <message>
        <source>Сохранить профиль...</source>
        <translation>Save profile...</translation>
    </message>
    <message>
        <source>Открыть образ...</source>
        <translation>Open image...</translation>
    </message>
    <message>
        <source>Проверить</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Открыть профиль</source>
        <translation>Open profile</translation>
    </message>
    <message>
        <source>Сохранить профиль</source>
        <translation>Save profile</translation>
    </message>
    <message>
        <source>Файлы прошивок (*.bin)</source>
        <translation>Firmware files (*.bin)</translation>
    </message>
    <message>
        <source>Все файлы (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>Щелчок по байту задаёт %1</source>
        <translation>A click on a byte sets %1</translation>
    </message>
    <message>
        <source>Искать оси</source>
        <translation>Search axes</translation>
    </message>
    <message>
        <source>Двойной щелчок: начать таблицу здесь</source>
        <translation>Double click: start the table here</translation>
    </message>
    <message>
        <source>Замечания:</source>
        <translation>Problems:</translation>
    </message>
    <message>
        <source>%1, %2 байт</source>
        <translation>%1, %2 bytes</translation>
    </message>
    <message>
        <source>Образ не загружен: откройте образ, чтобы видеть таблицу.</source>
        <translation>No image loaded: open an image to see the table.</translation>
    </message>
    <message>
        <source>Таблица целиком</source>
        <translation>Whole table</translation>
    </message>
    <message>
        <source>Ось %1 (%2 точек)</source>
        <translation>%1 axis (%2 points)</translation>
    </message>
    <message>
        <source>%1 %2 … %3</source>
        <translation>%1 %2 … %3</translation>
    </message>
    <message>
        <source>Ничего не найдено</source>
        <translation>Nothing found</translation>
    </message>
    <message>
        <source>Образ не загружен: проверены только места таблиц.</source>
        <translation>No image loaded: only the places of the tables were checked.</translation>
    </message>
    <message>
        <source>Контрольная сумма в профиле не задана.</source>
        <translation>The profile names no checksum.</translation>
    </message>
    <message>
        <source>Замечаний нет.</source>
        <translation>No problems.</translation>
    </message>
    <message>
        <source>Замечаний: %1</source>
        <translation>Problems: %1</translation>
    </message>
    <message>
        <source>Номер версии: %1</source>
        <translation>Version number: %1</translation>
    </message>
    <message>
        <source>Ограничитель оборотов: %1 об/мин</source>
        <translation>Rev limiter: %1 rpm</translation>
    </message>
    <message>
        <source>Байт CO: %1 (код %2)</source>
        <translation>CO byte: %1 (code %2)</translation>
    </message>
</context>
<context>
    <name>TfrmSelectDME</name>
    <message>
        <source>Выбор модели DME  DEMO</source>
        <translation>Choose DME model  DEMO</translation>
    </message>
    <message>
        <source>Поддерживаемые модели DME</source>
        <translation>Supported DME models</translation>
    </message>
</context>
<context>
    <name>TfrmSurface</name>
    <message>
        <source>3D-вид карты</source>
        <translation>3D map view</translation>
    </message>
    <message>
        <source>3D-вид недоступен: не удалось создать контекст OpenGL.</source>
        <translation>3D view unavailable: no OpenGL context could be created.</translation>
    </message>
    <message>
        <source>Обороты, об/мин</source>
        <translation>Engine speed, rpm</translation>
    </message>
    <message>
        <source>Нагрузка, мс</source>
        <translation>Load, ms</translation>
    </message>
    <message>
        <source>3D-вид карты: %1</source>
        <translation>3D map view: %1</translation>
    </message>
    <message>
        <source>топливо</source>
        <translation>fuel</translation>
    </message>
    <message>
        <source>зажигание</source>
        <translation>ignition</translation>
    </message>
    <message>
        <source>Коэффициент топлива</source>
        <translation>Fuel factor</translation>
    </message>
    <message>
        <source>Угол опережения, °</source>
        <translation>Ignition advance, °</translation>
    </message>
</context>
</TS>
