<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
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
</TS>
