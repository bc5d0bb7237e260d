#include "model/loadedsetting.h"

#include "core/debugqtstream.h"
#include "core/utils.h"

#include <cmath>
#include <optional>

namespace {

// A finite number, as JSON gives it or as a text holding one; a truth value is none.
std::optional<double> numberIn(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::Bool)
        return std::nullopt;
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

LoadedSetting::LoadedSetting(const char *key, const QVariant &defaultValue, int minimum, int maximum,
                             bool zeroMeansUnset, const QVariantList &choices, Reader reader)
    : m_key(key)
    , m_default(defaultValue)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_zeroMeansUnset(zeroMeansUnset)
    , m_choices(choices)
    , m_reader(reader)
{
}

LoadedSetting LoadedSetting::number(const char *key, int defaultValue, int minimum, int maximum, bool zeroMeansUnset)
{
    return LoadedSetting(key, defaultValue, minimum, maximum, zeroMeansUnset, {}, nullptr);
}

LoadedSetting LoadedSetting::choice(const char *key, const QVariantList &choices, Reader reader)
{
    return LoadedSetting(key, choices.value(0), 0, 0, false, choices, reader);
}

QVariant LoadedSetting::take(const QVariantMap &map, const QString &itemName) const
{
    const auto stored = map.constFind(QLatin1String(m_key));
    if (stored == map.cend())
        return m_default;
    bool replaced = false;
    const QVariant taken = nearest(*stored, &replaced);
    if (replaced) {
        DEBUGQT_LOG(2) << "*** configuration value out of range:" << itemName << QString::fromLatin1(m_key)
                       << Utils::variantToText(*stored) << "replaced by" << Utils::variantToText(taken);
    }
    return taken;
}

QVariant LoadedSetting::nearest(const QVariant &stored, bool *replaced) const
{
    if (!m_choices.isEmpty()) {
        const QVariant read = m_reader(stored);
        *replaced = !m_choices.contains(read);
        return *replaced ? m_default : read;
    }
    const std::optional<double> value = numberIn(stored);
    if (!value || (m_zeroMeansUnset && *value <= 0)) {
        *replaced = true;
        return m_default;
    }
    const int whole = int(std::round(qBound(double(m_minimum), *value, double(m_maximum))));
    *replaced = whole != *value;
    return whole;
}
