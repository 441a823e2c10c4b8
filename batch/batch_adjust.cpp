#include "batch/batch_adjust.h"

#include <algorithm>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ombrik {

namespace {

struct Key {
    const char* name;
    double AdjustParams::*field;
    double limit;
};

constexpr Key kKeys[] = {
    {"exposure", &AdjustParams::exposure, AdjustParams::kMaxExposure},
    {"contrast", &AdjustParams::contrast, AdjustParams::kMaxAmount},
    {"highlights", &AdjustParams::highlights, AdjustParams::kMaxAmount},
    {"shadows", &AdjustParams::shadows, AdjustParams::kMaxAmount},
    {"saturation", &AdjustParams::saturation, AdjustParams::kMaxAmount},
    {"vibrance", &AdjustParams::vibrance, AdjustParams::kMaxAmount},
    {"warmth", &AdjustParams::warmth, AdjustParams::kMaxAmount},
    {"tint", &AdjustParams::tint, AdjustParams::kMaxAmount},
};

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool ParseDouble(std::string_view text, double& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

} // namespace

bool ParseAdjustParams(std::string_view text, AdjustParams& params, std::string& error)
{
    params = AdjustParams();
    bool seen[std::size(kKeys)] = {};
    if (Trim(text).empty()) {
        error = "no settings given";
        return false;
    }
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        const size_t equals = item.find('=');
        if (equals == std::string_view::npos) {
            error = "'" + std::string(item) + "' is not key=value";
            return false;
        }
        const std::string_view key = Trim(item.substr(0, equals));
        const std::string_view value = Trim(item.substr(equals + 1));
        size_t k = 0;
        while (k < std::size(kKeys) && key != kKeys[k].name)
            ++k;
        if (k == std::size(kKeys)) {
            error = "unknown setting '" + std::string(key)
                + "' (exposure, contrast, highlights, shadows, saturation, vibrance, warmth, tint)";
            return false;
        }
        if (seen[k]) {
            error = std::string(key) + " is given twice";
            return false;
        }
        seen[k] = true;
        double number = 0;
        if (!ParseDouble(value, number)) {
            error = "bad value '" + std::string(value) + "' for " + std::string(key);
            return false;
        }
        if (number < -kKeys[k].limit || number > kKeys[k].limit) {
            char range[64];
            std::snprintf(range, sizeof range, "%g .. %g", -kKeys[k].limit, kKeys[k].limit);
            error = std::string(key) + " " + std::string(value) + " is outside " + range;
            return false;
        }
        params.*kKeys[k].field = number;
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return true;
}

const char* BatchAdjustments::usage()
{
    return "  --adjust K=V,...       adjust at this point among the effects; keys: exposure\n"
           "                         (-3..3 stops), contrast, highlights, shadows,\n"
           "                         saturation, vibrance, warmth, tint (-100..100 each)\n"
           "  --fade N               blend the effect just before at N % (0..100)\n";
}

bool BatchAdjustments::parseAdjust(std::string_view text, size_t effectsSoFar)
{
    Adjustment adjustment{effectsSoFar, {}};
    std::string error;
    if (!ParseAdjustParams(text, adjustment.params, error)) {
        std::fprintf(stderr, "ombrik-cli: bad --adjust '%.*s': %s\n", int(text.size()), text.data(), error.c_str());
        return false;
    }
    m_adjustments.push_back(adjustment);
    return true;
}

bool BatchAdjustments::parseFade(std::string_view text, size_t effectsSoFar)
{
    double percent = 0;
    if (!ParseDouble(Trim(text), percent) || percent < 0 || percent > 100 || percent != std::floor(percent)) {
        std::fprintf(stderr, "ombrik-cli: bad --fade '%.*s' (expected a whole number 0..100)\n", int(text.size()),
                     text.data());
        return false;
    }
    const bool adjustedSince = !m_adjustments.empty() && m_adjustments.back().position == effectsSoFar;
    const bool fadedAlready = !m_fades.empty() && m_fades.back().effect + 1 == effectsSoFar;
    if (effectsSoFar == 0 || adjustedSince || fadedAlready) {
        std::fprintf(stderr, "ombrik-cli: --fade must come right after an --effect\n");
        return false;
    }
    m_fades.push_back({effectsSoFar - 1, int(percent)});
    return true;
}

void BatchAdjustments::runAdjustments(size_t index, PixelBuffer& photo) const
{
    for (const Adjustment& a : m_adjustments)
        if (a.position == index)
            ApplyAdjustments(a.params, photo, photo);
}

bool BatchAdjustments::adjustsAt(size_t index) const
{
    return std::any_of(m_adjustments.begin(), m_adjustments.end(),
                       [index](const Adjustment& a) { return a.position == index; });
}

bool BatchAdjustments::fades(size_t index) const
{
    return std::any_of(m_fades.begin(), m_fades.end(), [index](const Fade& f) { return f.effect == index; });
}

void BatchAdjustments::fadeEffect(size_t index, const PixelBuffer& before, PixelBuffer& result) const
{
    for (const Fade& f : m_fades)
        if (f.effect == index)
            FadeBlend(before, result, f.percent, result);
}

} // namespace ombrik
