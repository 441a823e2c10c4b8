#pragma once
// Reasons a file could not be read or written, shown to the person, are
// marked for translation in the "Reasons" context where they are written; the
// window translates them when it shows them (ReasonText). Code that does not
// link Qt gets the marker, which only tags the text, from here.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
