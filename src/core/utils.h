#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QtGlobal>

#include <functional>

// Free byte, text, variant-map and settings-file functions shared by the whole program.
// They live in a namespace so that msleep and usleep never clash with the POSIX functions.
namespace Utils {

// One byte as two lower-case hexadecimal digits with a leading zero: "0a".
QString hexByte(quint8 byte);
// The byte at index, read unsigned; 0 outside the data, so a short reply never reads past its end.
quint8 byteAt(const QByteArray &data, qsizetype index);
// Bytes as "0a ff 00": two lower-case digits per byte, one blank between bytes.
QString bufferToHex(const void *data, int length);
QString bufferToHex(const QByteArray &bytes);
// Bytes as "0x0Ah 0xFFh 0x00h", the form byte arrays take in configuration files.
QString bufferToHexH(const void *data, int length);
QString bufferToHexH(const QByteArray &bytes);
// Reads the marked form back; tokens of any other form are skipped.
QByteArray stringToByteArray(const QString &text);

// The field of count bits whose lowest bit is first, shifted down to bit 0. The field is
// clamped to the 64 bits of the value; a count of 0 gives 0.
quint32 extractBits(const quint64 &value, quint8 first, quint8 count);

void msleep(quint32 ms);
void usleep(qint32 us);

// A wait of the GUI thread that still lets events through: ms milliseconds in all, slept in
// slices of at most WaitSliceMs, after each of which the pending events of the given kinds are
// processed for at most WaitSliceMs. It ends early, before the next slice, once stop() answers
// true. True when the whole time was waited.
constexpr quint32 WaitSliceMs = 100;
bool waitProcessingEvents(quint32 ms, QEventLoop::ProcessEventsFlags flags,
                          const std::function<bool()> &stop = std::function<bool()>());

QString findAppFile(const QString &name);
QString findDataFile(const QString &name);

// Top-left corner that centres a window of the given size on the available area; a window larger
// than the area gets a position before the area's corner.
QPoint centeredPosition(const QRect &available, const QSize &size);

// A variant as text the way people read it: a float in the fewest digits that read back as the
// same float, a double with 15 significant digits.
QString variantToText(const QVariant &value);

// Nested variant maps addressed by "/"-separated paths.
void vmap_put(QVariantMap &target, const QString &path, const QVariant &value);
QVariant vmap_value(const QVariantMap &map, const QString &path);
QVariant vmap_get(const QVariantMap &map, const QString &path, const QVariant &defaultValue);
void vmap_merge(const QVariantMap &source, QVariantMap &target);
void vmap_add_missing(const QVariantMap &source, QVariantMap &target);

// The "app" and "srv" groups of a configuration file.
QVariantMap readAppSetting(const QString &fileName);
bool writeAppSetting(const QVariantMap &map, const QString &fileName);

} // namespace Utils
