#include "batch/batch_adjust.h"

#include "engine/tone_analysis.h"

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

bool ParseChannel(std::string_view name, ToneChannel& channel)
{
    static constexpr std::pair<std::string_view, ToneChannel> kNames[] = {
        {"rgb", ToneChannel::Rgb},     {"red", ToneChannel::Red},   {"r", ToneChannel::Red},
        {"green", ToneChannel::Green}, {"g", ToneChannel::Green},   {"blue", ToneChannel::Blue},
        {"b", ToneChannel::Blue}};
    for (const auto& [n, c] : kNames)
        if (name == n) {
            channel = c;
            return true;
        }
    return false;
}

const char* ChannelName(ToneChannel c)
{
    constexpr const char* kNames[] = {"rgb", "red", "green", "blue"};
    return kNames[int(c)];
}

// Splits at any run of spaces or tabs.
std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\t')
            ++j;
        if (j > i)
            words.push_back(text.substr(i, j - i));
        i = j;
    }
    return words;
}

bool ParseWhole(std::string_view text, int& value)
{
    text = Trim(text);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

} // namespace

bool ParseLevels(std::string_view text, ToneChannel& channel, Levels& levels, std::string& error)
{
    std::vector<std::string_view> parts;
    for (size_t comma; (comma = text.find(',')) != std::string_view::npos; text.remove_prefix(comma + 1))
        parts.push_back(Trim(text.substr(0, comma)));
    parts.push_back(Trim(text));
    if (parts.size() < 3 || parts.size() > 4) {
        error = "expected black,gamma,white[,channel]";
        return false;
    }
    channel = ToneChannel::Rgb;
    if (parts.size() == 4 && !ParseChannel(parts[3], channel)) {
        error = "unknown channel '" + std::string(parts[3]) + "' (rgb, red, green, blue)";
        return false;
    }
    const char* names[3] = {"black", "gamma", "white"};
    double values[3] = {};
    for (int k = 0; k < 3; ++k)
        if (!ParseDouble(parts[size_t(k)], values[k])) {
            error = "bad " + std::string(names[k]) + " '" + std::string(parts[size_t(k)]) + "'";
            return false;
        }
    levels = Levels{values[0], values[1], values[2]};
    if (levels.black < 0 || levels.black > 254 || levels.white < 1 || levels.white > 255) {
        error = "black and white must lie within 0..255";
        return false;
    }
    if (levels.black + 1 > levels.white) {
        error = "white must be at least 1 above black";
        return false;
    }
    if (levels.gamma < Levels::kMinGamma || levels.gamma > Levels::kMaxGamma) {
        error = "gamma must lie within 0.1..10";
        return false;
    }
    return true;
}

bool ParseCurve(std::string_view text, ToneChannel& channel, Curve& curve, std::string& error)
{
    channel = ToneChannel::Rgb;
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        const std::string_view name = Trim(text.substr(0, colon));
        if (!ParseChannel(name, channel)) {
            error = "unknown channel '" + std::string(name) + "' (rgb, red, green, blue)";
            return false;
        }
        text.remove_prefix(colon + 1);
    }
    curve.points.clear();
    for (const std::string_view word : Words(text)) {
        const size_t comma = word.find(',');
        CurvePoint p;
        if (comma == std::string_view::npos || !ParseWhole(word.substr(0, comma), p.x)
            || !ParseWhole(word.substr(comma + 1), p.y)) {
            error = "'" + std::string(word) + "' is not a point x,y of whole numbers";
            return false;
        }
        if (p.x < 0 || p.x > 255 || p.y < 0 || p.y > 255) {
            error = "point " + std::string(word) + " is outside 0..255";
            return false;
        }
        if (!curve.points.empty() && p.x <= curve.points.back().x) {
            error = "the points' x must rise from one point to the next";
            return false;
        }
        curve.points.push_back(p);
    }
    if (curve.points.size() < 2 || curve.points.size() > size_t(Curve::kMaxPoints)) {
        error = "a curve needs 2 to 16 points";
        return false;
    }
    return true;
}

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
           "  --levels B,G,W[,CH]    levels: black B and white W (0..255), gamma G (0.1..10;\n"
           "                         above 1 brighter); CH: rgb (the default), red, green, blue\n"
           "  --curves \"X,Y X,Y ...\" a curve through 2..16 points 0..255, X rising; a prefix\n"
           "                         \"CH:\" gives the channel\n"
           "  --auto                 Auto's exposure, contrast, highlights, shadows, warmth\n"
           "                         and tint for each photo; --levels, --curves and --auto\n"
           "                         join the --adjust just before them into one adjustment\n"
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

bool BatchAdjustments::parseTone(std::string_view option, std::string_view text, size_t effectsSoFar)
{
    auto fail = [&](const std::string& error) {
        if (option == "--auto")
            std::fprintf(stderr, "ombrik-cli: --auto: %s\n", error.c_str());
        else
            std::fprintf(stderr, "ombrik-cli: bad %.*s '%.*s': %s\n", int(option.size()), option.data(),
                         int(text.size()), text.data(), error.c_str());
        return false;
    };
    if (m_adjustments.empty() || m_adjustments.back().position != effectsSoFar)
        m_adjustments.push_back({effectsSoFar, {}});
    Adjustment& a = m_adjustments.back();
    std::string error;
    if (option == "--levels") {
        ToneChannel channel;
        Levels levels;
        if (!ParseLevels(text, channel, levels, error))
            return fail(error);
        if (a.levelsGiven[size_t(channel)])
            return fail(std::string("levels for ") + ChannelName(channel) + " are given twice");
        a.levelsGiven[size_t(channel)] = true;
        a.params.tone.levels[size_t(channel)] = levels;
    } else if (option == "--curves") {
        ToneChannel channel;
        Curve curve;
        if (!ParseCurve(text, channel, curve, error))
            return fail(error);
        if (a.curveGiven[size_t(channel)])
            return fail(std::string("a curve for ") + ChannelName(channel) + " is given twice");
        a.curveGiven[size_t(channel)] = true;
        a.params.tone.curves[size_t(channel)] = std::move(curve);
    } else {
        const AdjustParams& p = a.params;
        if (a.automatic)
            return fail("given twice");
        if (p.exposure != 0 || p.contrast != 0 || p.highlights != 0 || p.shadows != 0 || p.warmth != 0 || p.tint != 0)
            return fail("it sets exposure, contrast, highlights, shadows, warmth and tint itself; "
                        "give changes to them in an --adjust after it");
        a.automatic = true;
    }
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
    for (const Adjustment& a : m_adjustments) {
        if (a.position != index)
            continue;
        AdjustParams p = a.params;
        if (a.automatic) {
            const AdjustParams found = AutoAdjust(photo);
            p.exposure = found.exposure;
            p.contrast = found.contrast;
            p.highlights = found.highlights;
            p.shadows = found.shadows;
            p.warmth = found.warmth;
            p.tint = found.tint;
        }
        ApplyAdjustments(p, photo, photo);
    }
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
