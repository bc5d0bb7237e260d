<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AcivelDevice</name>
    <message>
        <source>device configuration (part 1)</source>
        <translation>конфигурации устройства (часть 1)</translation>
    </message>
    <message>
        <source>device configuration (part 2)</source>
        <translation>конфигурации устройства (часть 2)</translation>
    </message>
    <message>
        <source>indication range</source>
        <translation>диапазона индикации</translation>
    </message>
    <message>
        <source>current graduation values</source>
        <translation>сохраненных точек градуировки</translation>
    </message>
    <message>
        <source>Ei and S ranges</source>
        <translation>диапазона Ei и S</translation>
    </message>
    <message>
        <source>adjustment parameters</source>
        <translation>калибровочных значений</translation>
    </message>
    <message>
        <source>electrode parameters</source>
        <translation>параметров электрода</translation>
    </message>
    <message>
        <source>PV filter parameters</source>
        <translation>параметров фильтра PV</translation>
    </message>
    <message>
        <source>electrode diagnostic on/off</source>
        <translation>режима диагностики электрода</translation>
    </message>
    <message>
        <source>temperature measurement mode</source>
        <translation>режима измерения температуры</translation>
    </message>
    <message>
        <source>temperature sensor parameters</source>
        <translation>параметров датчика температуры</translation>
    </message>
    <message>
        <source>temperature filter parameters</source>
        <translation>параметров фильтра температуры</translation>
    </message>
    <message>
        <source>graduation point</source>
        <translation>точек градуировки </translation>
    </message>
    <message>
        <source>check access code</source>
        <translation>кода доступа</translation>
    </message>
    <message>
        <source>adjust U</source>
        <translation>значения калибровки входа по напряжению</translation>
    </message>
    <message>
        <source>adjust Rt</source>
        <translation>значения калибровки входа Т по сопротивлению</translation>
    </message>
    <message>
        <source>adjust Rc</source>
        <translation>значения калибровки входа по сопротивлению</translation>
    </message>
    <message>
        <source>manufacturer settings</source>
        <translation>заводских настроек</translation>
    </message>
    <message>
        <source>Temperature sensor short circuit.</source>
        <translation>Замыкание датчика температуры.</translation>
    </message>
    <message>
        <source>Temperature sensor not connected. </source>
        <translation>Обрыв датчика температуры.</translation>
    </message>
    <message>
        <source>Ei is out of range.</source>
        <translation>Ei выходит за пределы допустимых значений.</translation>
    </message>
    <message>
        <source>S is out of range. </source>
        <translation>S выходит за пределы допустимых значений.</translation>
    </message>
    <message>
        <source>Invalid response length of command %1: %2 bytes, %3 expected.</source>
        <translation>Неверная длина ответа на команду %1: %2 байт, ожидалось %3.</translation>
    </message>
</context>
<context>
    <name>AcivelWidget</name>
    <message>
        <source>Read from device</source>
        <translation>Прочитать из прибора</translation>
    </message>
    <message>
        <source>Write in device</source>
        <translation>Записать в прибор</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Старт</translation>
    </message>
    <message>
        <source>Start measurement</source>
        <translation>Старт измерения</translation>
    </message>
    <message>
        <source>pH-meter</source>
        <translation>рН-метр</translation>
    </message>
    <message>
        <source>pH-meter with VCW</source>
        <translation>рН-метр с ОЧВ</translation>
    </message>
    <message>
        <source>OVP-meter</source>
        <translation>ОВП-метр</translation>
    </message>
    <message>
        <source>EMF-meter</source>
        <translation>ЭДС-метр</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выключено</translation>
    </message>
    <message>
        <source>on</source>
        <translation>включено</translation>
    </message>
    <message>
        <source>measured by temperature sensor</source>
        <translation>измеренная датчиком температура</translation>
    </message>
    <message>
        <source>manually set temperature</source>
        <translation>вручную установленная температура</translation>
    </message>
    <message>
        <source>P</source>
        <translation>П</translation>
    </message>
    <message>
        <source>1-point</source>
        <translation>1-точечная</translation>
    </message>
    <message>
        <source>2-point</source>
        <translation>2-точечная</translation>
    </message>
    <message>
        <source>mV</source>
        <translation>мВ</translation>
    </message>
    <message>
        <source>Electrode diagnostics</source>
        <translation>Диагностика электрода</translation>
    </message>
    <message>
        <source>It is forbidden to turn on the test of the resistance of the auxiliary electrode with a two-wire connection diagram of the ES, since in this mode the current consumption exceeds 4 mA!</source>
        <translation>Запрещается включать проверку сопротивления вспомогательного электрода при двухпроводной схеме подключения ЭС, так как в этом режиме потребляемый ток превышает 4 мА!</translation>
    </message>
    <message>
        <source>Read device configuration</source>
        <translation>Чтение конфигурации прибора</translation>
    </message>
    <message>
        <source>write protection is enabled</source>
        <translation>В приборе включена защита от записи</translation>
    </message>
    <message>
        <source>Read current graduation values</source>
        <translation>Чтение текущих параметров градуировки</translation>
    </message>
    <message>
        <source>Adjustment</source>
        <translation>Метрология</translation>
    </message>
    <message>
        <source>You are in metrology mode and really want to start graduation?</source>
        <translation>Вы находитесь в режиме метрологии и действительно хотите начать градуировку? </translation>
    </message>
    <message>
        <source>Stop measurement</source>
        <translation>Стоп измерения</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;color: red; &quot;&gt;Error&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;color: red; &quot;&gt;Ошибка&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;color: red; &quot;&gt;Undefined&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;color: red; &quot;&gt;НЕ определен&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;color: green; &quot;&gt;Saved&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;color: green; &quot;&gt;Сохранено&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Write graduation point %1</source>
        <translation>Запись точки градуировки %1</translation>
    </message>
    <message>
        <source>Wrong security code (answer=%1).</source>
        <translation>Неверный код доступа (ответ=%1).</translation>
    </message>
    <message>
        <source>kOm</source>
        <translation>кОм</translation>
    </message>
    <message>
        <source>Om</source>
        <translation>Ом</translation>
    </message>
    <message>
        <source>adjustment parameters</source>
        <translation>калибровочных значений</translation>
    </message>
    <message>
        <source>U adjustment</source>
        <translation>Регулировка напряжения</translation>
    </message>
    <message>
        <source>Rc adjustment</source>
        <translation>Регулировка сопротивления Rc</translation>
    </message>
    <message>
        <source>Rt adjustment</source>
        <translation>Регулировка сопротивления Rt</translation>
    </message>
    <message>
        <source>Ei and S ranges</source>
        <translation>Установка диапазонов Ei и S</translation>
    </message>
    <message>
        <source>Sensor parameters saving</source>
        <translation>Запись параметров сенсора</translation>
    </message>
    <message>
        <source>The sensor unit of the device is neither pH nor mV: choose one before saving.</source>
        <translation>Единица измерения сенсора в приборе — не pH и не мВ: выберите её перед записью.</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Текущее состояние</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Конфигурация</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Режим измерения:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Параметры электрода:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ei:</source>
        <translation>Еи:</translation>
    </message>
    <message>
        <source>мВ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pHi:</source>
        <translation>pHи:</translation>
    </message>
    <message>
        <source>pH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диапазоны индикации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нижняя граница диапазона индикации:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Верхняя граница диапазона индикации:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диагностика электрода срав:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Режим измерения температуры:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тип НСХ термометра:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сопротивление ТС при 0°С:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Корректирующее значение температуры:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>°С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение температуры, установленное вручную:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Фильр PV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время усреднения МАЛОГО сигнала:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> c</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время усреднения БОЛЬШОГО сигнала:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порог большого сигнала:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Фильтр Т</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> °С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Прочитать конфигурацию из прибора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать изменения конфигурации в прибор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ввод значений</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> МИН значение PV для преобразования в выходной сигнал постоянного тока 4 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>МАКС значение PV для преобразования в выходной сигнал постоянного тока 20 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Из первичной переменной прибора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>МИН значение PV для преобразования в выходной сигнал постоянного тока 4 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сенсор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нижний предел:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Верхний предел:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Минимальный диапазон:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Градуировка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохраненные в приборе значения градуировки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вид градуировки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение pH 1-й  точки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение pH 2-й точки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение ЭДС 1-й  точки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение ЭДС 2-й точки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение Темп-ры 1-й точки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение Темп-ры 2-й точки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Прочитать из прибора значения градуировки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Начать градуировку</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Точка 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Извлечь электродную систему (и термодатчик) из анализируемой среды, промыть дистиллированной водой, осушить фильтровальной бумагой и поместить в первый буферный раствор.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Приступить к градуировке по 1-му буферу</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Напряжение:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Температура:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение первого буферного раствора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> pH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Точка 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Извлечь электродную систему (и термодатчик) из анализируемой среды, промыть дистиллированной водой, осушить фильтровальной бумагой и поместить в второй буферный раствор.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Приступить к градуировке по 2-му буферу</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение второго буферного раствора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[ 0 : 0 ]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Завершить градуировку</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Метрология</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Фиксированный ток:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выйти из режима</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подстройка тока 4-20 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройка входа по эталонному напряжению и сопротивлению</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ввод значений допутимых пределов Ei и S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройка параметров сенсора для текущего режима измерения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Код доступа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подтвердить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установите фиксированный ток с помощью кнопки =&gt; 4 мА.
Введите истинное значение тока и нажмите кнопку &quot;Подстроить&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>=&gt; 4 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подстроить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установите фиксированный ток с помощью кнопки =&gt; 20 мА.
Введите истинное значение тока и нажмите кнопку &quot;Подстроить&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>=&gt; 20 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Завершить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подключите ко входам прибора задатчики эталонных сигналов.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измерено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nan</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сопротивление электрода сравнения:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сопротивление входа
температура:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[ 0 ]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение нижнего предела допустимого значения Ei, мВ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение верхего предела допустимого значения Ei, мВ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение нижнего предела допустимого значения S, %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение верхего предела допустимого значения S, %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Единицы измерения
сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>НИЖНИЙ предел диапазона входного сигнала сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ВЕРХНИЙ предел диапазона входного сигнала сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заводские настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ВОССТАНОВИТЬ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измеренное значение тока для подстройки</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandWidget</name>
    <message>
        <source>HART command</source>
        <translation>HART команда</translation>
    </message>
    <message>
        <source>Command number:</source>
        <translation>Номер команды:</translation>
    </message>
    <message>
        <source>Available:</source>
        <translation>Доступные:</translation>
    </message>
    <message>
        <source>Command buffer:</source>
        <translation>Буфер команды:</translation>
    </message>
    <message>
        <source>increase size</source>
        <translation>Увеличить буфер</translation>
    </message>
    <message>
        <source>reduce size</source>
        <translation>Уменьшить буфер</translation>
    </message>
    <message>
        <source>Offset:</source>
        <translation>Смещение:</translation>
    </message>
    <message>
        <source>bytes:</source>
        <translation>байт:</translation>
    </message>
    <message>
        <source>Buffer size:</source>
        <translation>Размер буфера:</translation>
    </message>
    <message>
        <source>Clear buffer</source>
        <translation>Очистить буфер</translation>
    </message>
    <message>
        <source>byte:</source>
        <translation>Байт:</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>Текст:</translation>
    </message>
    <message>
        <source>Send command</source>
        <translation>Послать команду</translation>
    </message>
    <message>
        <source>Command response</source>
        <translation>Ответ на команду</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Статус:</translation>
    </message>
    <message>
        <source>manual parsing</source>
        <translation>Ручной разбор</translation>
    </message>
    <message>
        <source>parsing by mask</source>
        <translation>Разбор по маске</translation>
    </message>
    <message>
        <source>Len:</source>
        <translation>Длина:</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Текст</translation>
    </message>
    <message>
        <source>Mask:</source>
        <translation>Маска:</translation>
    </message>
    <message>
        <source>Parsing</source>
        <translation>Разбор</translation>
    </message>
    <message>
        <source>Result:</source>
        <translation>Результат:</translation>
    </message>
    <message>
        <source>reading</source>
        <translation>чтение</translation>
    </message>
    <message>
        <source>writing</source>
        <translation>запись</translation>
    </message>
    <message>
        <source>get</source>
        <translation>получение</translation>
    </message>
    <message>
        <source>custom</source>
        <translation>произвольная</translation>
    </message>
    <message>
        <source>Int value</source>
        <translation>Целое значение</translation>
    </message>
    <message>
        <source>You must enter an integer value!</source>
        <translation>Нужно ввести целое число!</translation>
    </message>
    <message>
        <source>Invalid type char</source>
        <translation>Неверный символ типа</translation>
    </message>
    <message>
        <source>Invalid lenght char</source>
        <translation>Неверный символ длины</translation>
    </message>
    <message>
        <source>Invalid text lenght</source>
        <translation>Неверная длина текста</translation>
    </message>
    <message>
        <source>Offset or length above %1</source>
        <translation>Смещение или длина больше %1</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>доступные команды</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>буфер команды</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>увеличить буфер на 1 байт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>уменьшить буфер на 1 байт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>смещение выделенного участка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>количество байт в выделенном участке</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>очистить буфер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>добавить байт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>добавть в буфер 4 байта float</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>добавть 3 или 4 байта int</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>длина типа int</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>добавить Packed текст</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>добавить Latin-1 текст</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>послать команду</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>буфер ответа на команду</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>статус ответа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>смещение для выборки float</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>смещение для выборки int</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>смещение для выборки текста</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>получить float</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>размер типа int</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>размер данных текста</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>получить int</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>получить текст</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>маска для разбора данных в буфере</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>получть разбранные данные по маске</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>результат разбора по маске</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>формат: [смещение]тип[размер] ...
 b i f 10t6- байт, за ним int (3 байта), за ним float и текст по смещению 10 размером 6 байт
 f 7f b - float, float по смещению 7 и за ним байт</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommonWidget</name>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>Поиск...</translation>
    </message>
    <message>
        <source>Poliing address:</source>
        <translation>Адрес опроса:</translation>
    </message>
    <message>
        <source>Save </source>
        <translation>Записать</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Проверить</translation>
    </message>
    <message>
        <source>Long address:</source>
        <translation>Полный адрес:</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Тег</translation>
    </message>
    <message>
        <source>Long Tag</source>
        <translation>Длинный тег</translation>
    </message>
    <message>
        <source>Tag:</source>
        <translation>Тег:</translation>
    </message>
    <message>
        <source>Check by tag</source>
        <translation>Проверить</translation>
    </message>
    <message>
        <source>Desc:</source>
        <translation>Дескриптор:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Дата:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Записать</translation>
    </message>
    <message>
        <source>Long Tag:</source>
        <translation>Длинный тег:</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Чтение</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Сообщение</translation>
    </message>
    <message>
        <source>manufacturer code:</source>
        <translation>код производителя:</translation>
    </message>
    <message>
        <source>device type code:</source>
        <translation>код типа устройства:</translation>
    </message>
    <message>
        <source>universal cmd version:</source>
        <translation>версия общих команд:</translation>
    </message>
    <message>
        <source>device revision:</source>
        <translation>ревизия устр-ва:</translation>
    </message>
    <message>
        <source>software version:</source>
        <translation>версия ПО:</translation>
    </message>
    <message>
        <source>hardware version:</source>
        <translation>версия прибора:</translation>
    </message>
    <message>
        <source>Flags:</source>
        <translation>ФЛАГИ:</translation>
    </message>
    <message>
        <source>write protection</source>
        <translation>защита от записи</translation>
    </message>
    <message>
        <source>Reset device</source>
        <translation>Сброс прибора</translation>
    </message>
    <message>
        <source>Self Test</source>
        <translation>Самотестирование</translation>
    </message>
    <message>
        <source>Damping time</source>
        <translation>Время демпфирования</translation>
    </message>
    <message>
        <source>Preambles in responce</source>
        <translation>Преамбул в ответе</translation>
    </message>
    <message>
        <source>Final assembly number</source>
        <translation>Номер конечной сборки</translation>
    </message>
    <message>
        <source>Device identification by tag</source>
        <translation>Идентификация устройства по тегу</translation>
    </message>
    <message>
        <source>Tag is empty!
Please enter a tag with up to 8 characters</source>
        <translation>Тег пуст!
Введите тег длиной до 8 символов</translation>
    </message>
    <message>
        <source>Device identification by long tag</source>
        <translation>Идентификация устройства по длинному тегу</translation>
    </message>
    <message>
        <source>Long tag is empty!
Please enter a long tag with up to 32 characters</source>
        <translation>Длинный тег пуст!
Введите длинный тег длиной до 32 символов</translation>
    </message>
    <message>
        <source>by tag</source>
        <translation>по тегу</translation>
    </message>
    <message>
        <source>by long tag</source>
        <translation>по длинному тегу</translation>
    </message>
    <message>
        <source>Device identification %1</source>
        <translation>Идентификация устройства %1</translation>
    </message>
    <message>
        <source>ERROR: Tags not equal!
Send: &apos;%1&apos;
Resv: &apos;%2&apos;</source>
        <translation>ОШИБКА: теги не совпадают!
Послан: &apos;%1&apos;
Получен: &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Search by command 73</source>
        <translation>Поиск командой 73</translation>
    </message>
    <message>
        <source>Did you press two buttons on the device?</source>
        <translation>Вы нажали две кнопки на устройстве?</translation>
    </message>
    <message>
        <source>Check device</source>
        <translation>Проверка устройства</translation>
    </message>
    <message>
        <source>Wrong template %1 for
device type code = 0x%2%3 !!!

Continue ?</source>
        <translation>Неверный шаблон %1 для
кода типа устройства = 0x%2%3 !!!

Продолжить?</translation>
    </message>
    <message>
        <source>Writing </source>
        <translation>Запись: </translation>
    </message>
    <message>
        <source>Reading </source>
        <translation>Чтение: </translation>
    </message>
    <message>
        <source>The device is write-protected!</source>
        <translation>Устройство защищено от записи!</translation>
    </message>
    <message>
        <source>of </source>
        <translation>: </translation>
    </message>
    <message>
        <source>Do you want to save your changes %1?</source>
        <translation>Записать изменения%1?</translation>
    </message>
    <message>
        <source>tag, descriptor and date</source>
        <translation>тег, дескриптор и дата</translation>
    </message>
    <message>
        <source>long tag</source>
        <translation>длинный тег</translation>
    </message>
    <message>
        <source>message</source>
        <translation>сообщение</translation>
    </message>
    <message>
        <source>assemlbly number</source>
        <translation>номер сборки</translation>
    </message>
    <message>
        <source>number of preambles</source>
        <translation>число преамбул</translation>
    </message>
    <message>
        <source>damping time</source>
        <translation>время демпфирования</translation>
    </message>
    <message>
        <source>polling_address</source>
        <translation>адрес опроса</translation>
    </message>
    <message>
        <source>The long tag may hold Latin-1 characters only.</source>
        <translation>Длинный тег может содержать только символы Latin-1.</translation>
    </message>
    <message>
        <source>The final assembly number must lie between 0 and %1.</source>
        <translation>Номер конечной сборки должен лежать в пределах от 0 до %1.</translation>
    </message>
    <message>
        <source>Do you want to disable the current loop function?</source>
        <translation>Отключить токовую петлю?</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Сброс</translation>
    </message>
    <message>
        <source>Device self test</source>
        <translation>Самотестирование устройства</translation>
    </message>
    <message>
        <source>Are you sure you want to start the device self test? It can take some time!</source>
        <translation>Запустить самотестирование устройства? Это может занять некоторое время!</translation>
    </message>
    <message>
        <source>Self test</source>
        <translation>Самотестирование</translation>
    </message>
    <message>
        <source>*** The device is still busy after %1 s; the self test is no longer waited for.</source>
        <translation>*** Устройство всё ещё занято через %1 с; ожидание самотестирования прекращено.</translation>
    </message>
    <message>
        <source>Write protection</source>
        <translation>Защита от записи</translation>
    </message>
    <message>
        <source>Do you want to set write protection in the device?

To remove write protection is possible only
through the menu of the device!</source>
        <translation>Установить защиту от записи в устройстве?

Снять защиту от записи можно только
через меню устройства!</translation>
    </message>
    <message>
        <source>Set write protection</source>
        <translation>Установка защиты от записи</translation>
    </message>
    <message>
        <source>Reading write protection flag</source>
        <translation>Чтение флага защиты от записи</translation>
    </message>
    <message>
        <source>To remove write protection is possible only
through the menu of the device!</source>
        <translation>Снять защиту от записи можно только
через меню устройства!</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Проверить подключение и получить идентификатор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Проверить подключение и получить идентификатор по тегу</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> c.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DefaultDeviceWidget</name>
    <message>
        <source>Read from device</source>
        <translation>Прочитать из прибора</translation>
    </message>
    <message>
        <source>Write in device</source>
        <translation>Записать в прибор</translation>
    </message>
    <message>
        <source>Read device configuration</source>
        <translation>Чтение конфигурации прибора</translation>
    </message>
    <message>
        <source>Read device variable information</source>
        <translation>Чтение информации о переменной устройства</translation>
    </message>
    <message>
        <source>Zero adjustment</source>
        <translation>Корректировка нуля</translation>
    </message>
    <message>
        <source>Adjusting zero</source>
        <translation>Корректировка нуля</translation>
    </message>
    <message>
        <source>Do you want to set current
Primary Variable value=%1 %2
as Zero Value ?</source>
        <translation>Вы действительно хотите установить
текущее значение первичной переменной (=%1 %2)
как &quot;ноль&quot;?</translation>
    </message>
    <message>
        <source>4mA adjustment</source>
        <translation>Регулировка 4 мА</translation>
    </message>
    <message>
        <source>Have you set fixed loop current value at 4 mA ?</source>
        <translation>Вы зафиксировали ток петли на 4 мА ?</translation>
    </message>
    <message>
        <source>Do you really want to set the measured current value=%1 as 4 mA ?</source>
        <translation>Вы действительно хотите установить измеренное значение тока =%1 как 4 мА ?</translation>
    </message>
    <message>
        <source>20mA adjustment</source>
        <translation>Регулировка 20 мА</translation>
    </message>
    <message>
        <source>Have you set fixed loop current value at 20 mA ?</source>
        <translation>Вы зафиксировали ток петли на 20 мА ?</translation>
    </message>
    <message>
        <source>Do you really want to set the measured current value =%1 as 20 mA ?</source>
        <translation>Вы действительно хотите установить измеренное значение тока =%1 как 20 мА ?</translation>
    </message>
    <message>
        <source>write protection is enabled</source>
        <translation>В приборе включена защита от записи</translation>
    </message>
    <message>
        <source>Device requires maintenance.</source>
        <translation>Прибору необходимо обслуживание.</translation>
    </message>
    <message>
        <source>Device variable is in an Alarm state.</source>
        <translation>Тревожное состояние переменной прибора.  </translation>
    </message>
    <message>
        <source>Variable</source>
        <translation>Переменная</translation>
    </message>
    <message>
        <source>Class</source>
        <translation>Класс</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>Ед.изм</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Статус</translation>
    </message>
    <message>
        <source>Variable %1</source>
        <translation>Переменная %1</translation>
    </message>
    <message>
        <source>Not Used</source>
        <translation>Не используются</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Отсутствуют</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Неизвестно</translation>
    </message>
    <message>
        <source>Special</source>
        <translation>Особенный</translation>
    </message>
    <message>
        <source>Pa  (Pa)</source>
        <translation>паскаль  (Па)</translation>
    </message>
    <message>
        <source>kPa (kPa)</source>
        <translation>килопаскаль (кПа)</translation>
    </message>
    <message>
        <source>MPa (MPa)</source>
        <translation>мегамаскаль (MPa)</translation>
    </message>
    <message>
        <source>kgf/sm2 (kgf/sm2)</source>
        <translation>килограмм на квадратный сантиметр (кгс/см2)</translation>
    </message>
    <message>
        <source>mbar (mbar)</source>
        <translation>миллибар (мбар)</translation>
    </message>
    <message>
        <source>bar (bar)</source>
        <translation>бар (бар)</translation>
    </message>
    <message>
        <source>mmWS (mmWS)</source>
        <translation>мм. водяного столба (мм вод.ст.) </translation>
    </message>
    <message>
        <source>inchWS (inchWS)</source>
        <translation>дюймы водяного столба (дюйм вод.ст.) </translation>
    </message>
    <message>
        <source>mmHg (mmHg)</source>
        <translation>мм. ртутного столба  (мм рт.ст.)</translation>
    </message>
    <message>
        <source>inchHg (inchHg)</source>
        <translation>дюймы ртутного столба (дюйм вод.ст.)</translation>
    </message>
    <message>
        <source>psi (lb/inch2)</source>
        <translation>фунт на квадратный дюйм (psi)</translation>
    </message>
    <message>
        <source>% (percent)</source>
        <translation>процент (%)</translation>
    </message>
    <message>
        <source>mV</source>
        <translation>милливольты (мВ)</translation>
    </message>
    <message>
        <source>V</source>
        <translation>вольты (В)</translation>
    </message>
    <message>
        <source>kOm</source>
        <translation>кОм</translation>
    </message>
    <message>
        <source>MOm</source>
        <translation>МОм</translation>
    </message>
    <message>
        <source>Om</source>
        <translation>Ом </translation>
    </message>
    <message>
        <source>microsiemens</source>
        <translation>микросименс (мкСм)</translation>
    </message>
    <message>
        <source>milli siemens per centimeter</source>
        <translation>миллисименс на сантиметр (мСм/см)</translation>
    </message>
    <message>
        <source>micro siemens per centimeter</source>
        <translation>микросименс на сантиметр (мкСм/см)</translation>
    </message>
    <message>
        <source>specific gravity units</source>
        <translation>единицы удельного веса</translation>
    </message>
    <message>
        <source>micrograms per liter</source>
        <translation>микрограмм на литр (мкг/л)</translation>
    </message>
    <message>
        <source>micrograms per cubic meter</source>
        <translation>микрограмм на кубический метр (мкг/м3)</translation>
    </message>
    <message>
        <source>milligrams per liter</source>
        <translation>миллиграмм на литр (мг/л)</translation>
    </message>
    <message>
        <source>grams per milliliter</source>
        <translation>грамм на миллилитр (г/мл)</translation>
    </message>
    <message>
        <source>grams per cubic centimeter</source>
        <translation>грамм на кубический сантиметр (г/см3)</translation>
    </message>
    <message>
        <source>grams per liter</source>
        <translation>грамм на литр (г/л)</translation>
    </message>
    <message>
        <source>kilograms per cubic meter</source>
        <translation>килограмм на кубический метр (кг/м3)</translation>
    </message>
    <message>
        <source>kilograms per liter</source>
        <translation>килограмм на литр (кг/л)</translation>
    </message>
    <message>
        <source>parts per million</source>
        <translation>частей на миллион (ppm) </translation>
    </message>
    <message>
        <source>parts per billion</source>
        <translation>частей на миллиард (ppb)</translation>
    </message>
    <message>
        <source>grams per second</source>
        <translation>грамм в секунду (г/с)</translation>
    </message>
    <message>
        <source>grams per minute</source>
        <translation>грамм в минуту (г/мин)</translation>
    </message>
    <message>
        <source>grams per hour</source>
        <translation>грамм в час (г/ч)</translation>
    </message>
    <message>
        <source>kilograms per second</source>
        <translation>килограмм в секунду (кг/с)</translation>
    </message>
    <message>
        <source>kilograms per minute</source>
        <translation>килограмм в минуту (кг/мин)</translation>
    </message>
    <message>
        <source>kilograms per hour</source>
        <translation>килограмм в час (кг/ч)</translation>
    </message>
    <message>
        <source>kilograms per day</source>
        <translation>килограмм в сутки (кг/сут)</translation>
    </message>
    <message>
        <source>liters per minute</source>
        <translation>литров в минуту (л/мин)</translation>
    </message>
    <message>
        <source>liters per second</source>
        <translation>литров в секунду (л/с)</translation>
    </message>
    <message>
        <source>liters per hour</source>
        <translation>литров в час (л/ч)</translation>
    </message>
    <message>
        <source>cubic meter per hour</source>
        <translation>кубический метр в час (м3/ч)</translation>
    </message>
    <message>
        <source>cubic meters per second</source>
        <translation>кубический метр в секунду (м3/с)</translation>
    </message>
    <message>
        <source>cubic meters per day</source>
        <translation>кубический метр в сутки (м3/сут)</translation>
    </message>
    <message>
        <source>cubic meters per minute</source>
        <translation>кубический метр в минуту (м3/мин)</translation>
    </message>
    <message>
        <source>barrels per second</source>
        <translation>баррелей в секунду (bbls/с)</translation>
    </message>
    <message>
        <source>barrels per minute</source>
        <translation>баррелей в минуту  (bbls/мин)</translation>
    </message>
    <message>
        <source>barrels per hour</source>
        <translation>баррелей в час  (bbls/ч)</translation>
    </message>
    <message>
        <source>barrels per day</source>
        <translation>баррелей в сутки  (bbls/сутки)</translation>
    </message>
    <message>
        <source>gallons</source>
        <translation>галлоны (гал)</translation>
    </message>
    <message>
        <source>liters</source>
        <translation>литры (л)</translation>
    </message>
    <message>
        <source>cubic meters</source>
        <translation>кубические метры (м3)</translation>
    </message>
    <message>
        <source>cubic inches</source>
        <translation>кубические дюймы (дюйм3)</translation>
    </message>
    <message>
        <source>barrels</source>
        <translation>баррель (bbls)</translation>
    </message>
    <message>
        <source>meters</source>
        <translation>метры(м)</translation>
    </message>
    <message>
        <source>inches</source>
        <translation>дюймы (in)</translation>
    </message>
    <message>
        <source>centimeters</source>
        <translation>сантиметры (см)</translation>
    </message>
    <message>
        <source>millimeters</source>
        <translation>миллиметры (мм)</translation>
    </message>
    <message>
        <source>grams</source>
        <translation>граммы (г)</translation>
    </message>
    <message>
        <source>kilograms</source>
        <translation>килограммы (кг)</translation>
    </message>
    <message>
        <source>metric tons</source>
        <translation>метрические тонны (т)</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>минуты</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>секунды</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>часы</translation>
    </message>
    <message>
        <source>days</source>
        <translation>дни</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>Линейная</translation>
    </message>
    <message>
        <source>Square Root</source>
        <translation>Квадратный корень</translation>
    </message>
    <message>
        <source>Square Root Third Power</source>
        <translation>Квадратный корень третьей степени</translation>
    </message>
    <message>
        <source>Square Root Fifth Power</source>
        <translation>Квадратный корень пятой степени</translation>
    </message>
    <message>
        <source>Special Curve</source>
        <translation>Специальная кривая</translation>
    </message>
    <message>
        <source>Square</source>
        <translation>Квадрат</translation>
    </message>
    <message>
        <source>Discrete (Switch)</source>
        <translation>Дискретная (переключатель)</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Текущее состояние</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Конфигурация</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Единицы измерения PV:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Динамические переменные</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PV:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SV:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TV:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QV:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PV Alarm Code:</source>
        <translation>Код сигнализации PV:</translation>
    </message>
    <message>
        <source>Функция преобразования</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Расширенный
статус:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Переменные устройства</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер датчика:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Семейство:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Единицы измерения:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LSL:</source>
        <translation>НПИ:</translation>
    </message>
    <message>
        <source>?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Min Span:</source>
        <translation>Мин. ДИ:</translation>
    </message>
    <message>
        <source>USL:</source>
        <translation>ВПИ:</translation>
    </message>
    <message>
        <source>Фиксированный ток:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выйти из режима</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измеренный ток:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Калибровка 4 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Калибровка 20мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установка PV=0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ввод значений</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> МИН значение PV для преобразования в выходной сигнал постоянного тока 4 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>МАКС значение PV для преобразования в выходной сигнал постоянного тока 20 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Из первичной переменной прибора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>МИН значение PV для преобразования в выходной сигнал постоянного тока 4 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сенсор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нижний предел:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Верхний предел:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Минимальный диапазон:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Null</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pH</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Device</name>
    <message>
        <source>*** the answer to command %1 is too short: %2 of %3 bytes</source>
        <translation>*** ответ на команду %1 слишком короткий: %2 байт из %3</translation>
    </message>
    <message>
        <source>reading %1 (cmd=%2)...</source>
        <translation>чтение %1 (cmd=%2)...</translation>
    </message>
    <message>
        <source>%1 (cmd=%2)...</source>
        <translation>%1 (cmd=%2)...</translation>
    </message>
    <message>
        <source>writing %1</source>
        <translation>запись %1</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>сброс</translation>
    </message>
    <message>
        <source>start</source>
        <translation>старт</translation>
    </message>
    <message>
        <source>get</source>
        <translation>получение</translation>
    </message>
    <message>
        <source>writing</source>
        <translation>записи</translation>
    </message>
    <message>
        <source>executing</source>
        <translation>выполнения</translation>
    </message>
    <message>
        <source>Device status: [%1]</source>
        <translation>Статус устр-ва:[%1] </translation>
    </message>
    <message>
        <source>Success (processing time: %1ms)</source>
        <translation>Успешно (затрачено времени: %1мс)</translation>
    </message>
    <message>
        <source>error %1 reading &apos;%2&apos; - %3</source>
        <translation>ошибка %1 чтения &apos;%2&apos; - %3</translation>
    </message>
    <message>
        <source>error %1 %2 %3 - %4</source>
        <translation>ошибка %1 %2 %3 - %4</translation>
    </message>
    <message>
        <source>
Error (processing time: %1ms)</source>
        <translation>
Ошибка (затрачено времени: %1 мс)</translation>
    </message>
    <message>
        <source>error %1 executing cmd=%2 - %3</source>
        <translation>ошибка %1 выполнения cmd=%2 - %3</translation>
    </message>
    <message>
        <source>error executing cmd=%1 - %2</source>
        <translation>ошибка выполнения cmd=%1 - %2</translation>
    </message>
    <message>
        <source>Try to check %1 via %3 ...</source>
        <translation>Проверка %1 через %3 ...</translation>
    </message>
    <message>
        <source>Try to check %1 at address %2 via %3 ...</source>
        <translation>Проверка %1 по адресу %2 через %3...</translation>
    </message>
    <message>
        <source>Try to check %1 by tag &apos;%2&apos; via %3 ...</source>
        <translation>Попытка проверки %1 по тегу %2 через %3 ...</translation>
    </message>
    <message>
        <source>Try to check %1 by long tag &apos;%2&apos; via %3 ...</source>
        <translation>Попытка проверки %1 по длинному тегу %2 через %3 ...</translation>
    </message>
    <message>
        <source>Checked successfully - %1!</source>
        <translation>Успешно - %1!</translation>
    </message>
    <message>
        <source>Checked successfully - %1 (%2 %3 exts:%4)!</source>
        <translation>Успешно - %1 (%2 %3 exts:%4)!</translation>
    </message>
    <message>
        <source>Get device ID by cmd %1 error:</source>
        <translation>Ошибка чтения ID устройства по команде %1:</translation>
    </message>
    <message>
        <source>Device specific status: </source>
        <translation>Спец. статус устр-ва: </translation>
    </message>
    <message>
        <source>Device ADC error code: %1</source>
        <translation>Код ошибки АЦП: %1</translation>
    </message>
    <message>
        <source>The ADC is overloaded. Flags: 0x%1</source>
        <translation>Перегрузка АЦП. Флаги: 0х%1</translation>
    </message>
    <message>
        <source>Error of writing configuration to EEPROM.</source>
        <translation>Ошибка записи конфигурации в EEPROM.</translation>
    </message>
    <message>
        <source>Device configuration is restored (from the secondary page).</source>
        <translation>Конфигурация прибора восстановлена.</translation>
    </message>
    <message>
        <source>Error of writing the device HART_UID to the EEPROM</source>
        <translation>Ошибка записи заводского номера в EEPROM </translation>
    </message>
    <message>
        <source>Factory device number is restored (from the sub-page).</source>
        <translation>Заводской номер восстановлен (из вспомогательной страницы).</translation>
    </message>
    <message>
        <source>Device requires maintenance.</source>
        <translation>Прибору необходимо обслуживание.</translation>
    </message>
    <message>
        <source>Device variable is in an Alarm state.</source>
        <translation>Тревожное состояние переменной прибора.  </translation>
    </message>
    <message>
        <source>Non-Volatile Memory Defect.</source>
        <translation>Дефект энергонезависимой памяти.</translation>
    </message>
    <message>
        <source>*** Additional status still changes after %1 acknowledgements; no more are sent.</source>
        <translation>*** Доп. статус продолжает меняться после %1 подтверждений; больше не отправляются.</translation>
    </message>
    <message>
        <source>device identifier</source>
        <translation>идентификатора прибора</translation>
    </message>
    <message>
        <source>PV</source>
        <translation>первичной переменной</translation>
    </message>
    <message>
        <source>output current</source>
        <translation>значения выходного тока</translation>
    </message>
    <message>
        <source>device variables &amp; output current</source>
        <translation>переменные прибора и выходной ток</translation>
    </message>
    <message>
        <source>polling address</source>
        <translation>адреса опроса</translation>
    </message>
    <message>
        <source>dynamic variable classifications</source>
        <translation>классификации динамических переменных</translation>
    </message>
    <message>
        <source>message</source>
        <translation>сообщения</translation>
    </message>
    <message>
        <source>tag, descriptor, data</source>
        <translation>тега, дескриптора, даты</translation>
    </message>
    <message>
        <source>PV sensor info (number &amp; range)</source>
        <translation>информации о сенсоре первичной переменной (номер и диапазон)</translation>
    </message>
    <message>
        <source>output info (range &amp; damping time)</source>
        <translation>диапозона и времени демпфирования</translation>
    </message>
    <message>
        <source>final assembly number</source>
        <translation>номера конечной сборки</translation>
    </message>
    <message>
        <source>long tag</source>
        <translation>длинного тега</translation>
    </message>
    <message>
        <source>device status info</source>
        <translation>доп. статусной информации</translation>
    </message>
    <message>
        <source>dynamic variable assignments</source>
        <translation>соответствия динамических переменных</translation>
    </message>
    <message>
        <source>find device</source>
        <translation>поиск устройства</translation>
    </message>
    <message>
        <source>Device command version is 5. Command #%1 not supported</source>
        <translation>Версия команд устр-ва - 5. Команда #%1 не поддерживается</translation>
    </message>
    <message>
        <source>get device variables with status</source>
        <translation>получение переменных устр-ва со статусами</translation>
    </message>
    <message>
        <source>get device identifier by tag</source>
        <translation>получение идентификатора устройства по тегу </translation>
    </message>
    <message>
        <source>get device identifier by long tag</source>
        <translation>получение идентификатора устройства по длинному тегу</translation>
    </message>
    <message>
        <source>get device variables</source>
        <translation>получение переменных устр-ва</translation>
    </message>
    <message>
        <source>damping value</source>
        <translation>значения демпфирования</translation>
    </message>
    <message>
        <source>range (min / max)</source>
        <translation>диапозона (мин / макс)</translation>
    </message>
    <message>
        <source>PV as upper range value</source>
        <translation>PV как максимум диапазона</translation>
    </message>
    <message>
        <source>PV as lower range value</source>
        <translation>PV  как минимум диапазона</translation>
    </message>
    <message>
        <source>reset config changed flag </source>
        <translation>сброс флага &quot;конфигурация изменена&quot;</translation>
    </message>
    <message>
        <source>set fixed current</source>
        <translation>значения фиксированного тока</translation>
    </message>
    <message>
        <source>start device self test</source>
        <translation>старт самотестирования устр-ва</translation>
    </message>
    <message>
        <source>reset device</source>
        <translation>сброс устройства</translation>
    </message>
    <message>
        <source>adjust zero</source>
        <translation>подстройки нуля</translation>
    </message>
    <message>
        <source>PV unit code</source>
        <translation>кода измерения первичной переменной</translation>
    </message>
    <message>
        <source>adjust current 4 mA</source>
        <translation>подстройки тока 4 мА</translation>
    </message>
    <message>
        <source>adjust current 20 mA</source>
        <translation>подстройки тока 20 мА</translation>
    </message>
    <message>
        <source>PV transfer function</source>
        <translation>функции преобразования PV</translation>
    </message>
    <message>
        <source>reset additional status flag </source>
        <translation>сброс флага доп. статусной инормации</translation>
    </message>
    <message>
        <source>sensor number</source>
        <translation>номера сенсора</translation>
    </message>
    <message>
        <source>device variable units</source>
        <translation>ед. измерения переменной устр-ва</translation>
    </message>
    <message>
        <source>get device variable information</source>
        <translation>получение информации о переменной устр-ва</translation>
    </message>
    <message>
        <source>response preambles count</source>
        <translation>кол-во преамбул в ответе</translation>
    </message>
    <message>
        <source>set write protection by HART protocol</source>
        <translation>флага защиты от записи по HART протоколу</translation>
    </message>
    <message>
        <source>Command number %1 is outside 0 to 255: nothing was sent.</source>
        <translation>Номер команды %1 вне диапазона от 0 до 255: ничего не отправлено.</translation>
    </message>
    <message>
        <source>from device</source>
        <translation>из прибора</translation>
    </message>
    <message>
        <source>from file</source>
        <translation>из файла</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>изменены</translation>
    </message>
    <message>
        <source>saved in device</source>
        <translation>записаны в прибор</translation>
    </message>
    <message>
        <source>periodically requested</source>
        <translation>периодический опрос</translation>
    </message>
    <message>
        <source>Additional status info:</source>
        <translation>Дополнительная информация о статусе:</translation>
    </message>
    <message>
        <source>Volatile Memory Defect.</source>
        <translation>Дефект энергозависимой памяти.</translation>
    </message>
    <message>
        <source>Voltage Conditions Out of Range.</source>
        <translation>Напряжение питания вне допустимого диапазона.</translation>
    </message>
    <message>
        <source>inchWS</source>
        <translation>дюйм вод.ст.</translation>
    </message>
    <message>
        <source>inchHg</source>
        <translation>дюйм рт.ст.</translation>
    </message>
    <message>
        <source>mmWS</source>
        <translation>мм вод.ст.</translation>
    </message>
    <message>
        <source>mmHg</source>
        <translation>мм рт.ст.</translation>
    </message>
    <message>
        <source>lb/inch2</source>
        <translation>фунт/дюйм2</translation>
    </message>
    <message>
        <source>bar</source>
        <translation>бар</translation>
    </message>
    <message>
        <source>mbar</source>
        <translation>мбар</translation>
    </message>
    <message>
        <source>kgf/sm2</source>
        <translation>кгс/см2</translation>
    </message>
    <message>
        <source>Pa</source>
        <translation>Па</translation>
    </message>
    <message>
        <source>kPa</source>
        <translation>кПа</translation>
    </message>
    <message>
        <source>l/min</source>
        <translation>л/мин</translation>
    </message>
    <message>
        <source>m3/h</source>
        <translation>м3/ч</translation>
    </message>
    <message>
        <source>l/s</source>
        <translation>л/с</translation>
    </message>
    <message>
        <source>m3/s</source>
        <translation>м3/с</translation>
    </message>
    <message>
        <source>m3/day</source>
        <translation>м3/сут</translation>
    </message>
    <message>
        <source>mV</source>
        <translation>мВ</translation>
    </message>
    <message>
        <source>Om</source>
        <translation>Ом</translation>
    </message>
    <message>
        <source>mA</source>
        <translation>мА</translation>
    </message>
    <message>
        <source>gallons</source>
        <translation>гал</translation>
    </message>
    <message>
        <source>l</source>
        <translation>л</translation>
    </message>
    <message>
        <source>m3</source>
        <translation>м3</translation>
    </message>
    <message>
        <source>m</source>
        <translation>м</translation>
    </message>
    <message>
        <source>bbls</source>
        <translation>bbls</translation>
    </message>
    <message>
        <source>inches</source>
        <translation>дюйм</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>см</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>мм</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>с</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>ч</translation>
    </message>
    <message>
        <source>days</source>
        <translation>сут</translation>
    </message>
    <message>
        <source>mcS</source>
        <translation>мкСм</translation>
    </message>
    <message>
        <source>%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>V</source>
        <translation>В</translation>
    </message>
    <message>
        <source>g</source>
        <translation>г</translation>
    </message>
    <message>
        <source>kg</source>
        <translation>кг</translation>
    </message>
    <message>
        <source>tons</source>
        <translation>т</translation>
    </message>
    <message>
        <source>mS/cm</source>
        <translation>мСм/см</translation>
    </message>
    <message>
        <source>mcS/cm</source>
        <translation>мкСм/см</translation>
    </message>
    <message>
        <source>g/s</source>
        <translation>г/с</translation>
    </message>
    <message>
        <source>g/min</source>
        <translation>г/мин</translation>
    </message>
    <message>
        <source>g/h</source>
        <translation>г/ч</translation>
    </message>
    <message>
        <source>kg/s</source>
        <translation>кг/с</translation>
    </message>
    <message>
        <source>kg/min</source>
        <translation>кг/мин</translation>
    </message>
    <message>
        <source>kg/h</source>
        <translation>кг/ч</translation>
    </message>
    <message>
        <source>g/cm3</source>
        <translation>г/см3</translation>
    </message>
    <message>
        <source>kg/m3</source>
        <translation>кг/м3</translation>
    </message>
    <message>
        <source>g/ml</source>
        <translation>г/мл</translation>
    </message>
    <message>
        <source>kg/l</source>
        <translation>кг/л</translation>
    </message>
    <message>
        <source>g/l</source>
        <translation>г/л</translation>
    </message>
    <message>
        <source>in3</source>
        <translation>дюйм3</translation>
    </message>
    <message>
        <source>m3/min</source>
        <translation>м3/мин</translation>
    </message>
    <message>
        <source>bbls/s</source>
        <translation>bbls/с</translation>
    </message>
    <message>
        <source>bbls/min</source>
        <translation>bbls/мин</translation>
    </message>
    <message>
        <source>bbls/h</source>
        <translation>bbls/ч</translation>
    </message>
    <message>
        <source>bbls/day</source>
        <translation>bbls/сут</translation>
    </message>
    <message>
        <source>l/h</source>
        <translation>л/ч</translation>
    </message>
    <message>
        <source>ppm</source>
        <translation>ppm</translation>
    </message>
    <message>
        <source>mcg/l</source>
        <translation>мкг/л</translation>
    </message>
    <message>
        <source>mcg/m3</source>
        <translation>мкг/м3</translation>
    </message>
    <message>
        <source>kOm</source>
        <translation>кОм</translation>
    </message>
    <message>
        <source>ppb</source>
        <translation>ppb</translation>
    </message>
    <message>
        <source>MPa</source>
        <translation>МПа</translation>
    </message>
    <message>
        <source>Not Classified</source>
        <translation>Не классифицирована</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Pressure</source>
        <translation>Давление</translation>
    </message>
    <message>
        <source>Volumetric Flow</source>
        <translation>Объемный расход</translation>
    </message>
    <message>
        <source>Velocity</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Объем</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Длина</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Mass</source>
        <translation>Масса</translation>
    </message>
    <message>
        <source>Mass Flow</source>
        <translation>Массовый расход</translation>
    </message>
    <message>
        <source>Mass Per Volume</source>
        <translation>Масса на единицу объема</translation>
    </message>
    <message>
        <source>Viscosity</source>
        <translation>Вязкость</translation>
    </message>
    <message>
        <source>Angular Velocity</source>
        <translation>Угловая скорость</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Площадь</translation>
    </message>
    <message>
        <source>Energy (Work)</source>
        <translation>Энергия (работа)</translation>
    </message>
    <message>
        <source>Force</source>
        <translation>Сила</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Мощность</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Частота</translation>
    </message>
    <message>
        <source>Analytical</source>
        <translation>Аналитическая</translation>
    </message>
    <message>
        <source>Capacitance</source>
        <translation>Емкость</translation>
    </message>
    <message>
        <source>Emf</source>
        <translation>ЭДС</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Ток</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>Сопротивление</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>Угол</translation>
    </message>
    <message>
        <source>Conductance</source>
        <translation>Проводимость</translation>
    </message>
    <message>
        <source>Volume Per Volume</source>
        <translation>Объем на единицу объема</translation>
    </message>
    <message>
        <source>Volume Per Mass</source>
        <translation>Объем на единицу массы</translation>
    </message>
    <message>
        <source>Concentration</source>
        <translation>Концентрация</translation>
    </message>
    <message>
        <source>Valve Actuator</source>
        <translation>Клапан/привод</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Уровень</translation>
    </message>
    <message>
        <source>Vortex Flow</source>
        <translation>Вихревой расход</translation>
    </message>
    <message>
        <source>Mag Flow</source>
        <translation>Электромагнитный расход</translation>
    </message>
    <message>
        <source>Coriolis Flow</source>
        <translation>Кориолисов расход</translation>
    </message>
    <message>
        <source>Turbidity</source>
        <translation>Мутность</translation>
    </message>
    <message>
        <source>Not used</source>
        <translation>Не используется</translation>
    </message>
    <message>
        <source>Valve / Actuator</source>
        <translation>Клапан / привод</translation>
    </message>
    <message>
        <source>Simple PID Control</source>
        <translation>Простое ПИД-регулирование</translation>
    </message>
    <message>
        <source>pH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conductivity</source>
        <translation>Электропроводность</translation>
    </message>
    <message>
        <source>Totalizer</source>
        <translation>Сумматор</translation>
    </message>
    <message>
        <source>Not Used</source>
        <translation>Не используется</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокий</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Низкий</translation>
    </message>
    <message>
        <source>Hold Last Output Value</source>
        <translation>Удержание последнего значения</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Неизвестно</translation>
    </message>
    <message>
        <source>Special</source>
        <translation>Специальный</translation>
    </message>
    <message>
        <source>Bad</source>
        <translation>Недостоверно</translation>
    </message>
    <message>
        <source>Poor Accuracy</source>
        <translation>Низкая точность</translation>
    </message>
    <message>
        <source>Manual/Fixed</source>
        <translation>Ручное/фиксированное</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Достоверно</translation>
    </message>
    <message>
        <source>Not Limited</source>
        <translation>Не ограничено</translation>
    </message>
    <message>
        <source>Low Limited</source>
        <translation>Ограничено снизу</translation>
    </message>
    <message>
        <source>High Limited</source>
        <translation>Ограничено сверху</translation>
    </message>
    <message>
        <source>Constant</source>
        <translation>Постоянно</translation>
    </message>
    <message>
        <source>Reserved</source>
        <translation>Зарезервировано</translation>
    </message>
    <message>
        <source>MOm</source>
        <translation>МОм</translation>
    </message>
    <message>
        <source>mg/l</source>
        <translation>мг/л</translation>
    </message>
    <message>
        <source>Manufacturer Specific</source>
        <translation>Определяется изготовителем</translation>
    </message>
    <message>
        <source>Command %1 was not sent: the value of %2 is not a number (NaN or infinity).</source>
        <translation>Команда %1 не отправлена: значение %2 не является числом (NaN или бесконечность).</translation>
    </message>
</context>
<context>
    <name>DeviceAddDialog</name>
    <message>
        <source>Select device template...</source>
        <translation>Выберите шаблон прибора...</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Шаблон</translation>
    </message>
    <message>
        <source>Producer</source>
        <translation>Производитель</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Описание</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Версия</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Универсальный</translation>
    </message>
    <message>
        <source>Anyone</source>
        <translation>Любой</translation>
    </message>
    <message>
        <source>Temperature converter</source>
        <translation>Преобразователь температуры</translation>
    </message>
    <message>
        <source>Pressure converter</source>
        <translation>Преобразователь давления</translation>
    </message>
    <message>
        <source>pH-meter</source>
        <translation>pH-метр</translation>
    </message>
    <message>
        <source>Only universal and common (partly) functions</source>
        <translation>Только универсальные и общие (частично) функции</translation>
    </message>
    <message>
        <source>Zorvan-M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Morvell</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Belkor-M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Drumel-M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Acivel-M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.0</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeviceWidget</name>
    <message>
        <source>Custom</source>
        <translation>Произвольная команда</translation>
    </message>
    <message>
        <source>Measurement</source>
        <translation>Измерения</translation>
    </message>
    <message>
        <source>Metrologic</source>
        <translation>Метрология</translation>
    </message>
    <message>
        <source>Hart Log</source>
        <translation>Журнал HART</translation>
    </message>
    <message>
        <source>The instrument gave no value for %1.
Type a number before writing it.</source>
        <translation>Прибор не передал значение для %1.
Введите число перед записью.</translation>
    </message>
</context>
<context>
    <name>DrumelDevice</name>
    <message>
        <source>decimal point position</source>
        <translation>положения десятичной точки</translation>
    </message>
    <message>
        <source>device configuration</source>
        <translation>конфигурации устройства</translation>
    </message>
    <message>
        <source>temperature correction params</source>
        <translation>параметров температурной коррекции</translation>
    </message>
    <message>
        <source>pressure for line point</source>
        <translation>давление для точки</translation>
    </message>
    <message>
        <source>average_count</source>
        <translation>числа усреднения</translation>
    </message>
    <message>
        <source>calibration unit code</source>
        <translation>единиц измерения калибровки</translation>
    </message>
    <message>
        <source>line points count</source>
        <translation>количества точек линеаризации</translation>
    </message>
    <message>
        <source>line point value</source>
        <translation>значения в точке линеаризации</translation>
    </message>
    <message>
        <source>temper corretion mode</source>
        <translation>режима температурной коррекции</translation>
    </message>
    <message>
        <source>temper corretion</source>
        <translation>температурной коррекции</translation>
    </message>
    <message>
        <source>adjust gain</source>
        <translation>подстройки коэффициента усиления</translation>
    </message>
    <message>
        <source>free ragne</source>
        <translation>свободного диапазона</translation>
    </message>
    <message>
        <source>indication range</source>
        <translation>диапазона индикации</translation>
    </message>
    <message>
        <source>get line point value</source>
        <translation>получение значения точки линеаризации</translation>
    </message>
    <message>
        <source>check access code</source>
        <translation>кода доступа</translation>
    </message>
    <message>
        <source>manufacturer settings</source>
        <translation>кода операции по заводским настройкам</translation>
    </message>
    <message>
        <source>*** the answer names linearization point %1 instead of %2</source>
        <translation>*** ответ относится к точке линеаризации %1 вместо %2</translation>
    </message>
</context>
<context>
    <name>DrumelWidget</name>
    <message>
        <source>Read from device</source>
        <translation>Прочитать из прибора</translation>
    </message>
    <message>
        <source>Write in device</source>
        <translation>Записать в прибор</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Старт</translation>
    </message>
    <message>
        <source>Free convertion</source>
        <translation>Свободное преобразование диапазона</translation>
    </message>
    <message>
        <source>Pa  (Pa)</source>
        <translation>Па  (Pa)</translation>
    </message>
    <message>
        <source>kPa (kPa)</source>
        <translation>кПа (kPa)</translation>
    </message>
    <message>
        <source>MPa (MPa)</source>
        <translation>МПа (MPa)</translation>
    </message>
    <message>
        <source>kgf/sm2 (kgf/sm2)</source>
        <translation>кгс/см2 (kgf/sm2)</translation>
    </message>
    <message>
        <source>mbar (mbar)</source>
        <translation>мбар (mbar)</translation>
    </message>
    <message>
        <source>bar (bar)</source>
        <translation>бар (bar)</translation>
    </message>
    <message>
        <source>mmWS (mmWS)</source>
        <translation>мм. водяного столба (mmWS) </translation>
    </message>
    <message>
        <source>inchWS (inchWS)</source>
        <translation>дюймов водяного столба (inchWS) </translation>
    </message>
    <message>
        <source>mmHg (mmHg)</source>
        <translation>мм. ртутного столба  (mmHg)</translation>
    </message>
    <message>
        <source>inchHg (inchHg)</source>
        <translation>дюймов ртутного столба (inchHg)</translation>
    </message>
    <message>
        <source>psi (lb/inch2)</source>
        <translation>psi</translation>
    </message>
    <message>
        <source>correction is disabled</source>
        <translation>коррекция отключена</translation>
    </message>
    <message>
        <source>zero offset correction</source>
        <translation>коррекция смещения «нуля» входного сигнала</translation>
    </message>
    <message>
        <source>zero offset and gain correction</source>
        <translation>коррекция смещения «нуля» и «коэффициента усиления»</translation>
    </message>
    <message>
        <source>write protection is enabled</source>
        <translation>В приборе включена защита от записи</translation>
    </message>
    <message>
        <source>Read device configuration</source>
        <translation>Чтение конфигурации прибора</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Adjustment</source>
        <translation>Метрология</translation>
    </message>
    <message>
        <source>Wrong security code (answer=%1).</source>
        <translation>Неверный код доступа (ответ=%1).</translation>
    </message>
    <message>
        <source>Zero adjustment</source>
        <translation>Корректировка нуля</translation>
    </message>
    <message>
        <source>Do you want to set current
Primary Variable value=%1 %2
as Zero Value ?</source>
        <translation>Вы действительно хотите установить
текущее значение первичной переменной (=%1 %2)
как &quot;ноль&quot;?</translation>
    </message>
    <message>
        <source>Adjusting zero</source>
        <translation>Корректировка нуля</translation>
    </message>
    <message>
        <source>Gain correction</source>
        <translation>Корректировка коэффициента усиления</translation>
    </message>
    <message>
        <source>Do you want to set current
Primary Variable value=%1 %2
as upper limit of measurement ?</source>
        <translation>Вы действительно хотите установить
текущее значение первичной переменной (=%1 %2)
как верхний предел измерения?</translation>
    </message>
    <message>
        <source>Real value of input signal (%1):</source>
        <translation>Действительное значение входного сигнала (%1):</translation>
    </message>
    <message>
        <source>Adjusting the gain</source>
        <translation>Корректировка коэффициента усиления</translation>
    </message>
    <message>
        <source>The primary variable is not a number: the gain is not corrected.</source>
        <translation>Первичная переменная не является числом: коэффициент усиления не скорректирован.</translation>
    </message>
    <message>
        <source>Sensor parameters saving</source>
        <translation>Сохранение параметров сенсора</translation>
    </message>
    <message>
        <source>Choose the units of the sensor first.</source>
        <translation>Сначала выберите единицы измерения сенсора.</translation>
    </message>
    <message>
        <source>Choose the calibration units first.</source>
        <translation>Сначала выберите единицы измерения при настройке.</translation>
    </message>
    <message>
        <source>Choose the temperature correction mode first.</source>
        <translation>Сначала выберите режим температурной коррекции.</translation>
    </message>
    <message>
        <source>Linearization table loading</source>
        <translation>Загрузка таблицы линеаризации</translation>
    </message>
    <message>
        <source>Calibration units saving</source>
        <translation>Сохранение единиц измерения калибровки</translation>
    </message>
    <message>
        <source>Line points count saving</source>
        <translation>Сохранение количества точек линеаризации</translation>
    </message>
    <message>
        <source>Pressure reading</source>
        <translation>Чтение давления</translation>
    </message>
    <message>
        <source>Linearization point %1 value saving</source>
        <translation>Сохранение значения точки линеаризации %1</translation>
    </message>
    <message>
        <source>Temperature correction mode reading</source>
        <translation>Чтение режима температурной коррекции</translation>
    </message>
    <message>
        <source>Temperature correction mode saving</source>
        <translation>Сохранение режима температурной коррекции</translation>
    </message>
    <message>
        <source>in thermostat should be T1=%1 °C</source>
        <translation>в термостате должна быть температура T1=%1 °C</translation>
    </message>
    <message>
        <source>in the thermostat should be T2=%1 °C</source>
        <translation>в термостате должна быть температура T2=%1 °C</translation>
    </message>
    <message>
        <source>P%1T%2 correction saving</source>
        <translation>Сохранение коррекции P%1T%2</translation>
    </message>
    <message>
        <source>Operation completed successfully!

Writting temperature is different from previous value at this point.
Prev = %1 °C - Current = %2 °C</source>
        <translation>Операция успешно завершена!

Записываемая температура отличается от предыдущего значения в этой точке.
Предыдущее = %1 °C - Текущее = %2 °C</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Текущее состояние</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Конфигурация</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Единицы индикации
измеряемого сигнала:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нижняя граница диапазона индикации:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Верхняя граница диапазона индикации:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>НИЖНИЙ предел диапазона входного сигнала для преобразования в индикацию:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ВЕРХНИЙ предел диапазона входного сигнала для преобразования в индикацию:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;right&quot;&gt;Положение десятичной точки&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>задание числа усредняемых измерений</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Прочитать из прибора конфигурацию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать в прибор изменения конфигурации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Корректировка &quot;0&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Корректировка
 коэффициента усиления</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ввод значений</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> МИН значение давления для преобразования в выходной сигнал постоянного тока 4 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>МАКС значение давления для преобразования в выходной сигнал постоянного тока 20 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Из первичной переменной прибора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>МИН значение давления для преобразования в выходной сигнал постоянного тока 4 мА:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сенсор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нижний предел:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Верхний предел:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Минимальный диапазон:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Метрология</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Фиксированный ток:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установить режим фиксированного тока</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выйти из режима</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выйти из режима фиксированного тока</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подстройка тока 4-20 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Перейти к подстройке тока 4-20 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройка точек линеаризации сенсора давления</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Перейти к настройке точек линеаризации сенсора давления</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройка температурной коррекции сенсора давления</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Перейти к настройке температурной коррекции сенсора давления</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройка параметров сенсора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Перейти к настройке параметров сенсора</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Код доступа:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Код доступа к метрологическим операциям</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подтвердить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установите фиксированный ток с помощью кнопки =&gt; 4 мА.
Введите истинное значение тока и нажмите кнопку &quot;Подстроить&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>=&gt; 4 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установка фиксированного тока 4 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измеренное значение тока для подстройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подстроить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установите фиксированный ток с помощью кнопки =&gt; 20 мА.
Введите истинное значение тока и нажмите кнопку &quot;Подстроить&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>=&gt; 20 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установка фиксированного тока 20 мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Завершить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Первая и последняя точки должны соответствовать началу и концу диапазона измерения сенсора давления.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Перезагрузить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Таблица линеаризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Единицы измерения при настройке:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задать единицы измерения, в которых будет выполняться настройка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Число точек линеаризации:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задать число точек линеаризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настроить таблицу линеаризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Перейти к настройке таблицы линеаризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подать на вход преобразователя давление, соответствующее выбранной точке линеаризации. Считать давление.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Считать давление</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер точки линеаризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измеренное давление</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Завершить настройку таблицы точек линеаризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выход из режима настройки точек линеаризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Режим температурной коррекции:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T1 (минимальная):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T2 (максимальная):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Для настройки выбранной точки компенсации поместить преобразователь в термостат при температуре, соответствующей данной точке настройки. Выдержать преобразователь до установления температуры (не менее одного часа). Подать давление, соответствующее данной точке настройки.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установите в термостате Т1 — МИНИМАЛЬНУЮ  температуру для настройки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>°С</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подайте минимальное давление P1 для настройки при Т1.
 Нажмите &quot;Подстроить&quot;...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подайте максимальное давление P2 для настройки при Т1.
 Нажмите &quot;Подстроить&quot;...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установите в термостате Т2 — МАКСИМАЛЬНУЮ  температуру для настройки:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подайте минимальное давление P1 для настройки при Т2.
 Нажмите &quot;Подстроить&quot;...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подайте максимальное давление P2 для настройки при Т2.
 Нажмите &quot;Подстроить&quot;...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Назад</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Далее</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Единицы измерения
сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>НИЖНИЙ предел диапазона входного сигнала сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ВЕРХНИЙ предел диапазона входного сигнала сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер сенсора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заводские настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить настройки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ВОССТАНОВИТЬ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FactoryNumberDialog</name>
    <message>
        <source>Factory number</source>
        <translation>Заводской номер</translation>
    </message>
    <message>
        <source>Success!</source>
        <translation>Успешно!</translation>
    </message>
    <message>
        <source>factory code</source>
        <translation>заводской код</translation>
    </message>
    <message>
        <source>The manufacturer code must be a whole number from 0 to 0xFF.</source>
        <translation>Код производителя должен быть целым числом от 0 до 0xFF.</translation>
    </message>
    <message>
        <source>The device type code must be a whole number from 0 to 0xFF.</source>
        <translation>Код типа устройства должен быть целым числом от 0 до 0xFF.</translation>
    </message>
    <message>
        <source>The factory number must be a whole number from 0 to 0xFFFFFF.</source>
        <translation>Заводской номер должен быть целым числом от 0 до 0xFFFFFF.</translation>
    </message>
    <message>
        <source>The device did not answer the identification after the write:
%1</source>
        <translation>Прибор не ответил на идентификацию после записи:
%1</translation>
    </message>
    <message>
        <source>The device answers with the long address %1, not with the written %2.</source>
        <translation>Прибор отвечает с длинным адресом %1, а не с записанным %2.</translation>
    </message>
    <message>
        <source>Заводской номер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идентификато производителя:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Код типа устройства:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Заводской номер прибора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device&apos;s response to the factory code:
%1</source>
        <translation>Ответ прибора на запись заводского кода:
%1</translation>
    </message>
</context>
<context>
    <name>FileThread</name>
    <message>
        <source>Name is empty.</source>
        <translation>Имя не задано.</translation>
    </message>
    <message>
        <source>Date is invalid.</source>
        <translation>Неверная дата.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Не удается создать папку %1.</translation>
    </message>
    <message>
        <source>Cannot open the file %1: %2</source>
        <translation>Не удается открыть файл %1: %2</translation>
    </message>
    <message>
        <source>Cannot write to the file %1: %2</source>
        <translation>Не удается записать в файл %1: %2</translation>
    </message>
    <message>
        <source>Lines waiting to be written: %1.</source>
        <translation>Строк ожидает записи: %1.</translation>
    </message>
    <message>
        <source>Lines lost: %1.</source>
        <translation>Потеряно строк: %1.</translation>
    </message>
</context>
<context>
    <name>FindDeviceDialog</name>
    <message>
        <source>Search device ...</source>
        <translation>Поиск устройства...</translation>
    </message>
    <message>
        <source>Ports</source>
        <translation>Порты</translation>
    </message>
    <message>
        <source>Start Find</source>
        <translation>Старт поиска</translation>
    </message>
    <message>
        <source>Refresh Port List</source>
        <translation>Обновить список портов</translation>
    </message>
    <message>
        <source>Address from:</source>
        <translation>Адрес с:</translation>
    </message>
    <message>
        <source>to:</source>
        <translation>по:</translation>
    </message>
    <message>
        <source>Response timeout:</source>
        <translation>Тайм-аут ответа:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Long Address</source>
        <translation>Полный адрес</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Шаблон</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Тег</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Дескриптор</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Scanning ...</source>
        <translation>Сканирование...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Search by address %1 via %2 ...</source>
        <translation>Поиск по адресу %1 через %2 ...</translation>
    </message>
    <message>
        <source>Open port...</source>
        <translation>Открытие порта...</translation>
    </message>
</context>
<context>
    <name>HartCommand</name>
    <message>
        <source>*** Too many data bytes for one frame: %1 (at most %2)</source>
        <translation>*** Слишком много байтов данных для одного кадра: %1 (не более %2)</translation>
    </message>
    <message>
        <source>*** Invalid message size for command parsing: %1</source>
        <translation>*** Недопустимый размер сообщения для разбора команды: %1</translation>
    </message>
    <message>
        <source>*** Start of message not found!</source>
        <translation>*** Начало сообщения не найдено!</translation>
    </message>
    <message>
        <source>*** Unexpected end of message!</source>
        <translation>*** Неожиданный конец сообщения!</translation>
    </message>
    <message>
        <source>*** Invalid delimiter: %1</source>
        <translation>*** Недопустимый стартовый байт: %1</translation>
    </message>
    <message>
        <source>*** Invalid dataLength (=1)</source>
        <translation>*** Недопустимая длина данных (=1)</translation>
    </message>
    <message>
        <source>*** Checksum is wrong!</source>
        <translation>*** Неверная контрольная сумма!</translation>
    </message>
    <message>
        <source>*** start delimiter check error:  %1 / %2</source>
        <translation>*** ошибка проверки стартового байта:  %1 / %2</translation>
    </message>
    <message>
        <source>*** command number check error:  %1 / %2</source>
        <translation>*** ошибка проверки номера команды:  %1 / %2</translation>
    </message>
    <message>
        <source>*** address check error: %1</source>
        <translation>*** ошибка проверки адреса: %1</translation>
    </message>
    <message>
        <source>*** parity error</source>
        <translation>*** ошибка четности</translation>
    </message>
    <message>
        <source>*** speed overflow error</source>
        <translation>*** ошибка переполнения (скорость приема)</translation>
    </message>
    <message>
        <source>*** synhronization (frame) error</source>
        <translation>*** ошибка синхронизации (кадра)</translation>
    </message>
    <message>
        <source>*** checksum error</source>
        <translation>*** ошибка контрольной суммы</translation>
    </message>
    <message>
        <source>*** receive buffer overflow error</source>
        <translation>*** переполнение приемного буфера</translation>
    </message>
    <message>
        <source>*** Field device malfunction</source>
        <translation>*** Неисправность прибора</translation>
    </message>
    <message>
        <source>*** Configuration changed</source>
        <translation>*** Конфигурация изменена</translation>
    </message>
    <message>
        <source>*** Cold start</source>
        <translation>*** Холодный старт</translation>
    </message>
    <message>
        <source>*** More status available</source>
        <translation>*** Доступен дополнительный статус</translation>
    </message>
    <message>
        <source>*** Analogue output fixed</source>
        <translation>*** Аналоговый выход зафиксирован</translation>
    </message>
    <message>
        <source>*** Analogue output out of limits</source>
        <translation>*** Аналоговый выход вне пределов</translation>
    </message>
    <message>
        <source>*** Non-primary variable out of limits</source>
        <translation>*** Непервичная переменная вне пределов</translation>
    </message>
    <message>
        <source>*** Primary variable out of limits</source>
        <translation>*** Первичная переменная вне пределов</translation>
    </message>
    <message>
        <source>*** wrong choice</source>
        <translation>*** неверный выбор</translation>
    </message>
    <message>
        <source>*** last parameter too large</source>
        <translation>*** последний параметр слишком велик</translation>
    </message>
    <message>
        <source>*** last parameter too small</source>
        <translation>*** последний параметр слишком мал</translation>
    </message>
    <message>
        <source>*** too few data bytes have been received</source>
        <translation>*** принято слишком мало байтов данных</translation>
    </message>
    <message>
        <source>*** command not executed</source>
        <translation>*** команда не выполнена</translation>
    </message>
    <message>
        <source>*** write protection mode set</source>
        <translation>*** установлен режим защиты от записи</translation>
    </message>
    <message>
        <source>*** update in progress</source>
        <translation>*** выполняется обновление</translation>
    </message>
    <message>
        <source>*** linearization point not used</source>
        <translation>*** точка линеаризации не используется</translation>
    </message>
    <message>
        <source>*** temperature is different from previous value at this point</source>
        <translation>*** температура отличается от прежнего значения в этой точке</translation>
    </message>
    <message>
        <source>*** incorrect input signal type selected</source>
        <translation>*** выбран неверный тип входного сигнала</translation>
    </message>
    <message>
        <source>*** the lower range limit greater of maximum allowable value</source>
        <translation>*** нижний предел диапазона больше максимально допустимого значения</translation>
    </message>
    <message>
        <source>*** PV value is greater of upper range limit</source>
        <translation>*** значение PV больше верхнего предела диапазона</translation>
    </message>
    <message>
        <source>*** mismatch counter configuration change</source>
        <translation>*** несовпадение счетчика изменений конфигурации</translation>
    </message>
    <message>
        <source>*** incorrect fixed current value</source>
        <translation>*** неверное значение фиксированного тока</translation>
    </message>
    <message>
        <source>*** number of decimal places is too large</source>
        <translation>*** слишком много знаков после запятой</translation>
    </message>
    <message>
        <source>*** value set is too large</source>
        <translation>*** заданное значение слишком велико</translation>
    </message>
    <message>
        <source>*** the lower range limit less of minimum  allowable value</source>
        <translation>*** нижний предел диапазона меньше минимально допустимого значения</translation>
    </message>
    <message>
        <source>*** PV value is less of lower range limit</source>
        <translation>*** значение PV меньше нижнего предела диапазона</translation>
    </message>
    <message>
        <source>*** value set is too small</source>
        <translation>*** заданное значение слишком мало</translation>
    </message>
    <message>
        <source>*** the upper range limit greater of maximum allowable value</source>
        <translation>*** верхний предел диапазона больше максимально допустимого значения</translation>
    </message>
    <message>
        <source>*** current output off - device in multidrop mode</source>
        <translation>*** токовый выход отключен - прибор в многоточечном режиме</translation>
    </message>
    <message>
        <source>*** loop Current Not Active (Device in Multidrop Mode)</source>
        <translation>*** ток петли неактивен (прибор в многоточечном режиме)</translation>
    </message>
    <message>
        <source>*** current output mode incorrect selection</source>
        <translation>*** неверно выбран режим токового выхода</translation>
    </message>
    <message>
        <source>*** the upper range value less of minimum  allowable value</source>
        <translation>*** верхнее значение диапазона меньше минимально допустимого значения</translation>
    </message>
    <message>
        <source>*** saved factory settings are missing</source>
        <translation>*** сохраненные заводские настройки отсутствуют</translation>
    </message>
    <message>
        <source>*** unrecognized error 12</source>
        <translation>*** нераспознанная ошибка 12</translation>
    </message>
    <message>
        <source>*** upper and lower conversion limits are out of permissible values</source>
        <translation>*** верхний и нижний пределы преобразования вне допустимых значений</translation>
    </message>
    <message>
        <source>*** the minimum range is too small - impaired accuracy</source>
        <translation>*** минимальный диапазон слишком мал - точность снижена</translation>
    </message>
    <message>
        <source>*** restricted access</source>
        <translation>*** доступ ограничен</translation>
    </message>
    <message>
        <source>*** invalid unit code</source>
        <translation>*** недопустимый код единицы измерения</translation>
    </message>
    <message>
        <source>*** invalid range</source>
        <translation>*** недопустимый диапазон</translation>
    </message>
    <message>
        <source>*** device is busy</source>
        <translation>*** прибор занят</translation>
    </message>
    <message>
        <source>*** command not implemented</source>
        <translation>*** команда не реализована</translation>
    </message>
    <message>
        <source>Communication error:</source>
        <translation>Ошибка связи:</translation>
    </message>
    <message>
        <source>Command error (error code %1): </source>
        <translation>Ошибка команды (код ошибки %1): </translation>
    </message>
    <message>
        <source>*** unknown error code: %1 hex: %2</source>
        <translation>*** неизвестный код ошибки: %1 hex: %2</translation>
    </message>
</context>
<context>
    <name>HartPort</name>
    <message>
        <source>Invalid command response: </source>
        <translation>Неверный ответ на команду:</translation>
    </message>
    <message>
        <source>Invalid response lenght of command ZERO.</source>
        <translation>Неверная длина ответа на нулевую команду.</translation>
    </message>
    <message>
        <source>Response command parsing error: </source>
        <translation>Ошибка разбора ответа на команду: </translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Can&apos;t open help file</source>
        <translation>Не удалось открыть файл справки</translation>
    </message>
</context>
<context>
    <name>LogWidget</name>
    <message>
        <source>Lines:</source>
        <translation>Строк:</translation>
    </message>
    <message>
        <source>Search:</source>
        <translation>Найти:</translation>
    </message>
    <message>
        <source>search up</source>
        <translation>Искать вверх</translation>
    </message>
    <message>
        <source>search down</source>
        <translation>Искать вниз</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить журнал</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Сохранить как...</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Сохранить отчет</translation>
    </message>
    <message>
        <source>Cannot open file for writing log: %1</source>
        <translation>Невозможно открыть файл для записи лога: %1</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainDeviceWidget</name>
    <message>
        <source>Write device configuration</source>
        <translation>Запись конфигурации прибора</translation>
    </message>
    <message>
        <source>Write changes to device</source>
        <translation>Запись изменений в прибор</translation>
    </message>
    <message>
        <source>The device is write-protected!</source>
        <translation>Устройство защищено от записи!</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Изменения</translation>
    </message>
    <message>
        <source>Do you want to save your changes of the settings in the device?</source>
        <translation>Вы действительно хотите записать изменения конфигурации в прибор?</translation>
    </message>
    <message>
        <source>Adjustment</source>
        <translation>Метрология</translation>
    </message>
    <message>
        <source>You are in metrology mode and really want to record changes to the settings in the device?</source>
        <translation>Вы находитесь в режиме метрологии и действительно хотите записать изменения настроек в устройстве?</translation>
    </message>
    <message>
        <source>You must first read the device configuration!</source>
        <translation>Необходимо предварительно считать конфигурацию прибора!</translation>
    </message>
    <message>
        <source>Access code verification</source>
        <translation>Прверка кода доступа</translation>
    </message>
    <message>
        <source>Fixed current setting</source>
        <translation>Установка фиксированного тока</translation>
    </message>
    <message>
        <source>Manufacturer settings</source>
        <translation>Заводские настройки</translation>
    </message>
    <message>
        <source>Manufacturer setting</source>
        <translation>Заводские настройки</translation>
    </message>
    <message>
        <source>Do you really want to save current device settings as manufacturer setting?
Previously saved device settings will be lost!</source>
        <translation>Вы действительно хотите сохранить текущие настройки прибора как заводские?
Все ранее сохраненные настройки прибора будут потеряны!</translation>
    </message>
    <message>
        <source>Do you really want to restore manufacturer settings ?
All current device settings will be lost!</source>
        <translation>Вы действительно хотите восстановить заводские настройки?
Текущие настройки прибора будут потеряны!</translation>
    </message>
    <message>
        <source>Setting the conversion range</source>
        <translation>Установка диапазона преобразования</translation>
    </message>
    <message>
        <source>Do you want to write current
Primary Variable value=%1 %2
as Upper Range Value ?</source>
        <translation>Вы действительно хотите записать текущее
значение первичной переменной (=%1 %2)
как МАКСИМУМ диапазона?</translation>
    </message>
    <message>
        <source>Do you want to write current
Primary Variable value=%1 %2
as Lower Range Value ?</source>
        <translation>Вы действительно хотите записать текущее
значение первичной переменной (=%1 %2)
как МИНИМУМ диапазона?</translation>
    </message>
    <message>
        <source>Setting the high range limit</source>
        <translation>Установка верхней границы диапазона</translation>
    </message>
    <message>
        <source>Setting the lower range limit</source>
        <translation>Установка нижней границы диапазона</translation>
    </message>
    <message>
        <source>Current adjustment 4 mA</source>
        <translation>Регулировка тока 4 мА</translation>
    </message>
    <message>
        <source>Current adjustment 20 mA</source>
        <translation>Регулировка тока 20 мА</translation>
    </message>
    <message>
        <source>Unknown answer code (%1).</source>
        <translation>Неизвестный ответный код (%1).  </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Ports &amp; Devices</source>
        <translation>Порты и устройства</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Версия: %1</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation>Главное окно</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Новая</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Тест</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Tenvara</source>
        <translation>Tenvara</translation>
    </message>
    <message>
        <source>Morvell. </source>
        <translation>Morvell. </translation>
    </message>
    <message>
        <source>ports: %1, devices: %2</source>
        <translation>портов: %1, приборов: %2</translation>
    </message>
    <message>
        <source>Open cfg..</source>
        <translation>Открыть конфигурацию..</translation>
    </message>
    <message>
        <source>Save As..</source>
        <translation>Сохранить как..</translation>
    </message>
    <message>
        <source>Do you want to save your configuration?</source>
        <translation>Сохранить конфигурацию?</translation>
    </message>
    <message>
        <source>Configuration saved on %1</source>
        <translation>Конфигурация сохранена %1</translation>
    </message>
    <message>
        <source>Configuration saved on %1 in file %2</source>
        <translation>Конфигурация сохранена %1 в файл %2</translation>
    </message>
    <message>
        <source>Config file write error!</source>
        <translation>Ошибка записи файла конфигурации!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>can&apos;t copy file &apos;%1&apos; to &apos;%2&apos;, &apos;%3&apos;</source>
        <translation>не удаётся скопировать файл &apos;%1&apos; в &apos;%2&apos;, &apos;%3&apos;</translation>
    </message>
    <message>
        <source>Backup config file</source>
        <translation>Резервная копия конфигурации</translation>
    </message>
    <message>
        <source>backup file &apos;%1&apos; not exists!</source>
        <translation>резервная копия &apos;%1&apos; не существует!</translation>
    </message>
    <message>
        <source>Rollback config file</source>
        <translation>Восстановление конфигурации</translation>
    </message>
    <message>
        <source>Configuration has been modified.
Do you want to save your changes?</source>
        <translation>Конфигурация изменена.
Сохранить изменения?</translation>
    </message>
    <message>
        <source>Are you sure you want to exit the application ?</source>
        <translation>Вы действительно хотите выйти из программы ?</translation>
    </message>
    <message>
        <source>%1 - [*]%2</source>
        <translation>%1 - [*]%2</translation>
    </message>
    <message>
        <source>Cannot read the configuration file &apos;%1&apos;: %2</source>
        <translation>Не удаётся прочитать файл конфигурации &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Приборы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Shift+S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+F</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Del</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+T</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MeasureWidget</name>
    <message>
        <source>Measurement</source>
        <translation>Измерение</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>Таблица</translation>
    </message>
    <message>
        <source>Plot</source>
        <translation>График</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Данные</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Окно</translation>
    </message>
    <message>
        <source>Max Y:</source>
        <translation>Макс Y:</translation>
    </message>
    <message>
        <source>Min Y:</source>
        <translation>Мин Y:</translation>
    </message>
    <message>
        <source>Begin:</source>
        <translation>Начало:</translation>
    </message>
    <message>
        <source>End:</source>
        <translation>Конец:</translation>
    </message>
    <message>
        <source>Show full plot</source>
        <translation>Весь график</translation>
    </message>
    <message>
        <source>Keep all data in view</source>
        <translation>Показывать все данные</translation>
    </message>
    <message>
        <source>Step Y:</source>
        <translation>Шаг Y:</translation>
    </message>
    <message>
        <source>Step X:</source>
        <translation>Шаг X:</translation>
    </message>
    <message>
        <source> d</source>
        <translation> д</translation>
    </message>
    <message>
        <source>Earlier</source>
        <translation>Раньше</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Позже</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Show this window</source>
        <translation>Показать это окно</translation>
    </message>
    <message>
        <source>Widen the window by one step</source>
        <translation>Расширить окно на один шаг</translation>
    </message>
    <message>
        <source>Narrow the window by one step</source>
        <translation>Сузить окно на один шаг</translation>
    </message>
    <message>
        <source>Curves</source>
        <translation>Кривые</translation>
    </message>
    <message>
        <source>PV</source>
        <comment>short</comment>
        <translation>PV</translation>
    </message>
    <message>
        <source>SV</source>
        <comment>short</comment>
        <translation>SV</translation>
    </message>
    <message>
        <source>TV</source>
        <comment>short</comment>
        <translation>TV</translation>
    </message>
    <message>
        <source>QV</source>
        <comment>short</comment>
        <translation>QV</translation>
    </message>
    <message>
        <source>Save plot...</source>
        <translation>Сохранить график...</translation>
    </message>
    <message>
        <source>Polling</source>
        <translation>Опрос</translation>
    </message>
    <message>
        <source>Periodic polling</source>
        <translation>Периодический опрос</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>сек</translation>
    </message>
    <message>
        <source>min</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Старт</translation>
    </message>
    <message>
        <source>Values</source>
        <translation>Значения</translation>
    </message>
    <message>
        <source>Scroll to the last row</source>
        <translation>Прокручивать к последней строке</translation>
    </message>
    <message>
        <source>Archive folder</source>
        <translation>Папка архива</translation>
    </message>
    <message>
        <source>Choose the archive folder</source>
        <translation>Выбрать папку архива</translation>
    </message>
    <message>
        <source>Archive file</source>
        <translation>Файл архива</translation>
    </message>
    <message>
        <source>Choose the archive file</source>
        <translation>Выбрать файл архива</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Архив</translation>
    </message>
    <message>
        <source>Write the archive</source>
        <translation>Вести архив</translation>
    </message>
    <message>
        <source>every</source>
        <translation>по</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>строк</translation>
    </message>
    <message>
        <source>Default file names</source>
        <translation>Имена файлов по умолчанию</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Save table...</source>
        <translation>Сохранить таблицу...</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>PV</source>
        <translation>Первичная
переменная</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Выходной 
ток</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Статус</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Инфо</translation>
    </message>
    <message>
        <source>SV</source>
        <translation>Вторичная
переменная</translation>
    </message>
    <message>
        <source>TV</source>
        <translation>Третья
переменная</translation>
    </message>
    <message>
        <source>QV</source>
        <translation>Четвертая
переменная</translation>
    </message>
    <message>
        <source>Min Y value</source>
        <translation>Мин значение Y</translation>
    </message>
    <message>
        <source>Max Y value</source>
        <translation>Макс значение Y</translation>
    </message>
    <message>
        <source>Min X value</source>
        <translation>Мин значение X</translation>
    </message>
    <message>
        <source>Max X value</source>
        <translation>Макс значение X</translation>
    </message>
    <message>
        <source>The entered value Min Y (%1) is greater than Max Y (%2)!</source>
        <translation>Мин значение Y (%1) больше Макс значения Y (%2)!</translation>
    </message>
    <message>
        <source>The entered value Max Y (%1) less than Min Y (%2)!</source>
        <translation>Макс значение Y (%1) меньше чем Мин значение Y (%2)!  </translation>
    </message>
    <message>
        <source>The entered value Min X (%1) is greater than Max X (%2)!</source>
        <translation>Мин значение X (%1) больше Макс значения X (%2)!</translation>
    </message>
    <message>
        <source>The entered value Max X (%1) less than Min X (%2)!</source>
        <translation>Макс значение X (%1) меньше чем Мин значение X (%2)!</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Path for archive</source>
        <translation>Папка для архива</translation>
    </message>
    <message>
        <source>Clear data...</source>
        <translation>Очистка данных...</translation>
    </message>
    <message>
        <source>Do you really want to clear ALL data?</source>
        <translation>Вы действительно хотите удалить ВСЕ данные?</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Сохранить как...</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Сохранить как...</translation>
    </message>
    <message>
        <source>Cannot open file for writing: %1</source>
        <translation>Не удается открыть файл для записи: %1</translation>
    </message>
    <message>
        <source>Save as file...</source>
        <translation>Сохранить в файл...</translation>
    </message>
    <message>
        <source>Cannot open file for writing data: %1</source>
        <translation>Не удается открыть файл для записи данных: %1</translation>
    </message>
    <message>
        <source>Save File ...</source>
        <translation>Сохранение файла ...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Save record %1...</source>
        <translation>Сохранение записи %1...</translation>
    </message>
    <message>
        <source>Save in file...</source>
        <translation>Сохранить в файл...</translation>
    </message>
    <message>
        <source>Cannot write data to file: %1</source>
        <translation>Не удается записать данные в файл: %1</translation>
    </message>
    <message>
        <source>Cannot save the plot in file: %1</source>
        <translation>Не удается сохранить график в файл: %1</translation>
    </message>
    <message>
        <source>Lines lost: %1.</source>
        <translation>Потеряно строк: %1.</translation>
    </message>
</context>
<context>
    <name>PVWidget</name>
    <message>
        <source>Reading variables</source>
        <translation>Чтение переменных</translation>
    </message>
    <message>
        <source>Reading the primary variable</source>
        <translation>Чтение главной переменной</translation>
    </message>
    <message>
        <source>Primary Variable value read error! Try again please.</source>
        <translation>Ошибка чтения значения главной переменной! Попробуйте ещё раз.</translation>
    </message>
    <message>
        <source>PV measurement error=%1! Try again please.</source>
        <translation>Ошибка измерения PV=%1! Попробуйте ещё раз.</translation>
    </message>
    <message>
        <source>current loop disabled</source>
        <translation>токовая петля отключена</translation>
    </message>
    <message>
        <source>Reset flag &lt;Config changed&gt;</source>
        <translation>Сброс флага &lt;Конфигурация изменена&gt;</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Значение главной переменной (PV):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ток (мА):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ток (% от диапазона):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обновить
показания</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение втор. переменной (SV):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение третьей переменной (TV):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Значение четвертой переменной (QV):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>дополнительный статус</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Статусы:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сбросить флаг &quot;Конфигурация изменена&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Plotter</name>
    <message>
        <source>Zoom in</source>
        <translation>Увеличить</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Уменьшить</translation>
    </message>
    <message>
        <source>Curves as lines or points</source>
        <translation>Кривые линиями или точками</translation>
    </message>
</context>
<context>
    <name>Port</name>
    <message>
        <source>Can&apos;t open %1!
 error code: %2 - %3</source>
        <translation>Невозможно открыть %1!
код ошибки: %2 - %3</translation>
    </message>
    <message>
        <source>Invalid chars in device tag!</source>
        <translation>Неверные символы в тэге прибора!</translation>
    </message>
</context>
<context>
    <name>PortThread</name>
    <message>
        <source>Request timeout (%1ms)</source>
        <translation>Тайм-аут запроса (%1 мс)</translation>
    </message>
    <message>
        <source>Response timeout (%1ms)</source>
        <translation>Тайм-аут ответа (%1 мс)</translation>
    </message>
    <message>
        <source>Write error %1, error code: %2 - %3</source>
        <translation>Ошибка записи %1, код ошибки: %2 - %3 </translation>
    </message>
</context>
<context>
    <name>RTUPortEditor</name>
    <message>
        <source>Serial device:</source>
        <translation>Последовательный порт:</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>Скорость:</translation>
    </message>
    <message>
        <source>Databits:</source>
        <translation>Биты данных:</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>Чётность:</translation>
    </message>
    <message>
        <source>Stopbits:</source>
        <translation>Стоповые биты:</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Проверить</translation>
    </message>
    <message>
        <source>Request timeout:</source>
        <translation>Таймаут запроса:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Response timeout:</source>
        <translation>Таймаут ответа:</translation>
    </message>
    <message>
        <source>Byte timeout:</source>
        <translation>Межбайтовый таймаут:</translation>
    </message>
    <message>
        <source>Initial number of preambles:</source>
        <translation>Начальное число преамбул:</translation>
    </message>
    <message>
        <source>Closing the port after
the transaction</source>
        <translation>Закрывать порт после
транзакции</translation>
    </message>
    <message>
        <source>Find start of message</source>
        <translation>Искать начало сообщения</translation>
    </message>
    <message>
        <source>Port configuration</source>
        <translation>Настройка порта</translation>
    </message>
    <message>
        <source>Port %1 already exists!</source>
        <translation>Порт %1 уже существует!</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;color: green;&quot;&gt;Success.&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;color: green;&quot;&gt;Успешно.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;color: red;&quot;&gt;Failure: %1.&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;color: red;&quot;&gt;Ошибка: %1.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>__</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Log flags</source>
        <translation>Уровни журнала</translation>
    </message>
    <message>
        <source> Font </source>
        <translation> Шрифт </translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Шрифт</translation>
    </message>
    <message>
        <source>Select Font</source>
        <translation>Выбрать шрифт</translation>
    </message>
    <message>
        <source>Settings changes</source>
        <translation>Изменение настроек</translation>
    </message>
    <message>
        <source>Changes w&apos;ll take effect after the program is restarted.</source>
        <translation>Изменения вступят в силу после перезапуска программы.</translation>
    </message>
</context>
<context>
    <name>StatusWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Статус</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;color: green;&quot;&gt;completed successfully&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;color: green;&quot;&gt;завершено успешно&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p style=&quot;color: red;&quot;&gt;completed with errors&lt;/p&gt;</source>
        <translation>&lt;p style=&quot;color: red;&quot;&gt;завершено с ошибками&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>TestDeviceDialog</name>
    <message>
        <source>Cmd</source>
        <translation>Команда</translation>
    </message>
    <message>
        <source>Context</source>
        <translation>Описание</translation>
    </message>
    <message>
        <source>Values</source>
        <translation>Значения</translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation>Циклов</translation>
    </message>
    <message>
        <source>Error count</source>
        <translation>Кол-во ошибок</translation>
    </message>
    <message>
        <source>Error text</source>
        <translation>Текст ошибки</translation>
    </message>
    <message>
        <source>Show unchecked rows</source>
        <translation>Показать скрытые строки</translation>
    </message>
    <message>
        <source>Hidden unchecked rows</source>
        <translation>Скрыть невыбранные строки</translation>
    </message>
    <message>
        <source>Device testing</source>
        <translation>Тестирование прибора</translation>
    </message>
    <message>
        <source>Do you want to exit from test?</source>
        <translation>Вы действительно хотите выйти из теста?</translation>
    </message>
    <message>
        <source>Test device %1 address:%2 number:%3
</source>
        <translation>Тестирование прибора %1 адрес:%2 номер:%3
</translation>
    </message>
    <message>
        <source>Total:</source>
        <translation>Итого:</translation>
    </message>
    <message>
        <source>Checking cmd</source>
        <translation>Проверочная команда</translation>
    </message>
    <message>
        <source>validation error</source>
        <translation>ошибка валидации</translation>
    </message>
    <message>
        <source>validation errors</source>
        <translation>ошибок валидации</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Сохранить как...</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Сохранить отчет</translation>
    </message>
    <message>
        <source>Cannot open file for writing data: %1</source>
        <translation>Невозможно открыть файл для записи данных:%1</translation>
    </message>
    <message>
        <source>###### Test round %1 ######
</source>
        <translation>###### Тестовый раунд %1 #####
</translation>
    </message>
    <message>
        <source>Total round errors: %1
</source>
        <translation>Итого ошибок за раунд: %1
</translation>
    </message>
    <message>
        <source>%1 errors: %2</source>
        <translation>%1 ошибок: %2</translation>
    </message>
    <message>
        <source>Total test errors: %1
</source>
        <translation>Итого по тесту ошибок: %1
</translation>
    </message>
    <message>
        <source>Test round %1...</source>
        <translation>Тестовый раунд %1...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Test command %1 - %2 (%3 cycles)...</source>
        <translation>Тест команды %1 - %2 (%3 циклов)...</translation>
    </message>
    <message>
        <source>--- cycle: %1 ---</source>
        <translation>--- цикл: %1 ---</translation>
    </message>
    <message>
        <source>values - [%1]</source>
        <translation>значений - [%1]</translation>
    </message>
    <message>
        <source>Test command %1 - %2...
%3</source>
        <translation>Тест команды %1 - %2...
%3</translation>
    </message>
    <message>
        <source>writing </source>
        <translation>запись </translation>
    </message>
    <message>
        <source>when writing a values [%1], an error occurred:</source>
        <translation>при записи значений [%1] возникла ошибка:</translation>
    </message>
    <message>
        <source>Test command %1 - %2...
check result by command %3</source>
        <translation>Тест команды %1 - %2...
проверка результата командой %3</translation>
    </message>
    <message>
        <source>Checking cmd %1: %2</source>
        <translation>Проверочная команда %1: %2</translation>
    </message>
    <message>
        <source>%1 validation error: send:%2 recv:%3</source>
        <translation>%1 ошибка валидации: отправ:%2 получ:%3</translation>
    </message>
    <message>
        <source>Command number %1 is outside 0-255; nothing was sent</source>
        <translation>Номер команды %1 вне диапазона 0-255; ничего не отправлено</translation>
    </message>
    <message>
        <source>was interrupted</source>
        <translation>было прервано</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>завершено</translation>
    </message>
    <message>
        <source>Test of command %1 %2.</source>
        <translation>Тестирование команды %1 %2.</translation>
    </message>
    <message>
        <source>No errors.</source>
        <translation>Без ошибок.</translation>
    </message>
    <message>
        <source>total command %1 errors: %2
</source>
        <translation>Итого по команде %1 ошибок: %2
</translation>
    </message>
    <message>
        <source>Available read functions </source>
        <translation>Доступные функции чтения</translation>
    </message>
    <message>
        <source>Failed to load test %1</source>
        <translation>Ошибка при загрузке шаблона теста %1</translation>
    </message>
    <message>
        <source>reading %1</source>
        <translation>чтение %1</translation>
    </message>
    <message>
        <source>Path for tests</source>
        <translation>Путь к тестам</translation>
    </message>
    <message>
        <source>Error copying the test template file</source>
        <translation>Ошибка при копировании файла шаблона теста</translation>
    </message>
    <message>
        <source>The test template file does not exist!</source>
        <translation>Файл шаблона теста не существует!</translation>
    </message>
    <message>
        <source>can&apos;t remove file &apos;%1&apos;, &apos;%2&apos;</source>
        <translation>Невозможно удалить файл &apos;%1&apos;, &apos;%2&apos;</translation>
    </message>
    <message>
        <source>can&apos;t copy file &apos;%1&apos; to &apos;%2&apos;, &apos;%3&apos;</source>
        <translation>Невозможно скопировать файл &apos;%1&apos; в &apos;%2&apos;, &apos;%3&apos;</translation>
    </message>
    <message>
        <source>Device name:</source>
        <translation>Имя прибора:</translation>
    </message>
    <message>
        <source>Polling address:</source>
        <translation>Адрес опроса:</translation>
    </message>
    <message>
        <source>Full address</source>
        <translation>Полный адрес</translation>
    </message>
    <message>
        <source>Number:</source>
        <translation>Номер:</translation>
    </message>
    <message>
        <source>Test pattern:</source>
        <translation>Шаблон:</translation>
    </message>
    <message>
        <source>Cycles:</source>
        <translation>раундов:</translation>
    </message>
    <message>
        <source>Pause:</source>
        <translation>Пауза:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Open from</source>
        <translation>Открыть из</translation>
    </message>
    <message>
        <source>Check All</source>
        <translation>Выделить все</translation>
    </message>
    <message>
        <source>Uncheck All</source>
        <translation>Снять выделение со всех</translation>
    </message>
    <message>
        <source>Continue test</source>
        <translation>Продолжить тест</translation>
    </message>
    <message>
        <source>Start Test</source>
        <translation>Старт теста</translation>
    </message>
    <message>
        <source>Tests</source>
        <translation>Тесты</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Имя файла отчета:</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Отчет</translation>
    </message>
    <message>
        <source>Hart Log</source>
        <translation>Журнал HART</translation>
    </message>
    <message>
        <source>%1_%2_%3.txt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZorvanDevice</name>
    <message>
        <source>Command %1 is not supported by this device model</source>
        <translation>Команда %1 не поддерживается этой моделью прибора</translation>
    </message>
</context>
<context>
    <name>ZorvanWidget</name>
    <message>
        <source>Current state</source>
        <translation>Текущее состояние</translation>
    </message>
</context>
</TS>
