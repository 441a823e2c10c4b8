// Effect names as the window shows them: the catalogue's name in the user's
// language, with the "&&" of menu texts shown as a single '&'.
#pragma once

#include "effects/effect_catalogue.h"

#include <QString>

namespace ombrik {

QString EffectDisplayName(EffectId id);

// The catalogue names that have a translation entry (for the check that no
// catalogue name is missing from it).
bool EffectNameIsTranslatable(const char* name);

} // namespace ombrik
