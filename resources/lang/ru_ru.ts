<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
</context>
<context>
    <name>Port</name>
    <message>
        <source>Can&apos;t open %1!
 error code: %2 - %3</source>
        <translation>Невозможно открыть %1!
код ошибки: %2 - %3</translation>
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
</TS>
