// Maps a Qt scroll bar action to the scroll code the canvas and the strips
// understand; -1 for actions that carry none.
#pragma once

#include "ui/messages.h"

#include <QAbstractSlider>

namespace ombrik {

inline int ScrollCodeForSliderAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollLineBack;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollLineForward;
    case QAbstractSlider::SliderPageStepSub: return ScrollPageBack;
    case QAbstractSlider::SliderPageStepAdd: return ScrollPageForward;
    case QAbstractSlider::SliderMove: return ScrollThumbTrack;
    case QAbstractSlider::SliderToMinimum: return ScrollToStart;
    case QAbstractSlider::SliderToMaximum: return ScrollToEnd;
    default: return -1;
    }
}

} // namespace ombrik
