#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// One setting of a tree item's configuration map as the item's editor field takes it: a whole
// number within a range, or one of the few values a choice box offers. Loading takes every such
// setting through take(), so a hand-edited value the field cannot hold does not stay behind the
// field: the item uses what its page shows, and the log names what was replaced.
class LoadedSetting
{
public:
    // A stored value read as the setting's kind; an invalid QVariant when it is none.
    using Reader = QVariant (*)(const QVariant &stored);

    // Whole numbers from minimum to maximum. With zeroMeansUnset, 0 or less means "not set" and
    // gives the default, as a missing key does.
    static LoadedSetting number(const char *key, int defaultValue, int minimum, int maximum,
                                bool zeroMeansUnset = false);
    // Only the given values, each stored value read by reader; the first is the default.
    static LoadedSetting choice(const char *key, const QVariantList &choices, Reader reader);

    const char *key() const { return m_key; }

    // The value for the key in map as the field takes it. A missing key gives the default. A
    // stored value the field cannot take gives the nearest one it can: a number outside the range
    // its nearer bound, a fraction the nearest whole number; anything without a nearest value (no
    // number, not set, no choice) the default. Each replacement is logged as a warning naming the
    // item, the key, the stored and the new value.
    QVariant take(const QVariantMap &map, const QString &itemName) const;

private:
    LoadedSetting(const char *key, const QVariant &defaultValue, int minimum, int maximum, bool zeroMeansUnset,
                  const QVariantList &choices, Reader reader);
    QVariant nearest(const QVariant &stored, bool *replaced) const;

    const char *m_key;
    QVariant m_default;
    int m_minimum;
    int m_maximum;
    bool m_zeroMeansUnset;
    QVariantList m_choices;   // empty for a number
    Reader m_reader;
};
