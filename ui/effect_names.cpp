#include "ui/effect_names.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace ombrik {

namespace {

// The catalogue's names, listed here so the translation tools find them; the
// catalogue itself is pixel-side code without Qt.
constexpr const char* kTranslatableNames[] = {
    QT_TRANSLATE_NOOP("Effects", "Lighten"), QT_TRANSLATE_NOOP("Effects", "Darken"),
    QT_TRANSLATE_NOOP("Effects", "Smooth Skin"), QT_TRANSLATE_NOOP("Effects", "R- Red Eye"),
    QT_TRANSLATE_NOOP("Effects", "Gamma"), QT_TRANSLATE_NOOP("Effects", "Constrast"),
    QT_TRANSLATE_NOOP("Effects", "Blur"), QT_TRANSLATE_NOOP("Effects", "Sharp"),
    QT_TRANSLATE_NOOP("Effects", "B && W"), QT_TRANSLATE_NOOP("Effects", "Pixelize"),
    QT_TRANSLATE_NOOP("Effects", "Canvas"), QT_TRANSLATE_NOOP("Effects", "Weave"),
    QT_TRANSLATE_NOOP("Effects", "Emboss"), QT_TRANSLATE_NOOP("Effects", "Soft Glow"),
    QT_TRANSLATE_NOOP("Effects", "Dot Art"), QT_TRANSLATE_NOOP("Effects", "Cubism"),
    QT_TRANSLATE_NOOP("Effects", "Splash"), QT_TRANSLATE_NOOP("Effects", "Oil Paint"),
    QT_TRANSLATE_NOOP("Effects", "Mosaic"), QT_TRANSLATE_NOOP("Effects", "Straws"),
    QT_TRANSLATE_NOOP("Effects", "Glass"), QT_TRANSLATE_NOOP("Effects", "Line Art"),
    QT_TRANSLATE_NOOP("Effects", "Edge Paint"), QT_TRANSLATE_NOOP("Effects", "Posterize"),
    QT_TRANSLATE_NOOP("Effects", "Wind"), QT_TRANSLATE_NOOP("Effects", "Motion Blur"),
    QT_TRANSLATE_NOOP("Effects", "Radial Blur"), QT_TRANSLATE_NOOP("Effects", "Move"),
    QT_TRANSLATE_NOOP("Effects", "Grow"), QT_TRANSLATE_NOOP("Effects", "Shink"),
    QT_TRANSLATE_NOOP("Effects", "Swirl CW"), QT_TRANSLATE_NOOP("Effects", "SWirl CCW"),
    QT_TRANSLATE_NOOP("Effects", "Reduce Warp"), QT_TRANSLATE_NOOP("Effects", "Spotlight"),
    QT_TRANSLATE_NOOP("Effects", "Point Light"), QT_TRANSLATE_NOOP("Effects", "Lens Flare"),
    QT_TRANSLATE_NOOP("Effects", "Radial Flare"), QT_TRANSLATE_NOOP("Effects", "Magic Flare"),
    QT_TRANSLATE_NOOP("Effects", "Fairy Dust"), QT_TRANSLATE_NOOP("Effects", "Mist / Cloud"),
    QT_TRANSLATE_NOOP("Effects", "Sparkle"), QT_TRANSLATE_NOOP("Effects", "Firefly"),
};

} // namespace

QString EffectDisplayName(EffectId id)
{
    const EffectInfo* info = FindEffect(id);
    if (!info || !info->name)
        return QString();
    QString name = QCoreApplication::translate("Effects", info->name);
    return name.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

bool EffectNameIsTranslatable(const char* name)
{
    return name && std::any_of(std::begin(kTranslatableNames), std::end(kTranslatableNames),
                               [name](const char* n) { return std::strcmp(n, name) == 0; });
}

} // namespace ombrik
