#include "tools/render_cli/render_cli_options.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "settings/settings.h"
#include "tools/render_cli/utc_timestamp.h"

namespace {

// Larger frames than this are refused before any memory is asked for.
constexpr int kMaxFrameSide = 32768;

enum class Mode { Both, Imagery, Files };

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    Mode mode;
};

constexpr std::array kOptions = {
    OptionSpec{"-o", true, Mode::Both},
    OptionSpec{"--at", true, Mode::Both},
    OptionSpec{"--cloud-factor", true, Mode::Both},
    OptionSpec{"--center", true, Mode::Both},
    OptionSpec{"--data", true, Mode::Imagery},
    OptionSpec{"--size", true, Mode::Imagery},
    OptionSpec{"--day", true, Mode::Imagery},
    OptionSpec{"--night", true, Mode::Imagery},
    OptionSpec{"--no-clouds", false, Mode::Imagery},
    OptionSpec{"--crop", false, Mode::Imagery},
    OptionSpec{"--black-bars", false, Mode::Imagery},
    OptionSpec{"--no-fit", false, Mode::Imagery},
    OptionSpec{"--day-file", true, Mode::Files},
    OptionSpec{"--night-file", true, Mode::Files},
    OptionSpec{"--clouds-file", true, Mode::Files},
    OptionSpec{"--darken", false, Mode::Files},
    OptionSpec{"--center-lon", true, Mode::Files},
};

// The words --center takes besides the codes themselves.
struct CentreWord {
    std::string_view word;
    int code;
};

constexpr std::array kCentreWords = {
    CentreWord{"timezone", kCenterOnTimeZone}, CentreWord{"noon", kCenterOnNoon},
    CentreWord{"midnight", kCenterOnMidnight}, CentreWord{"sunset", kCenterOnSunset},
    CentreWord{"sunrise", kCenterOnSunrise},   CentreWord{"europe-africa", kCenterOnEuropeAfrica},
    CentreWord{"americas", kCenterOnAmericas}, CentreWord{"asia", kCenterOnAsia},
};

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseCentreCode(std::string_view text) {
    for (const CentreWord& word : kCentreWords) {
        if (word.word == text) {
            return word.code;
        }
    }
    const auto code = ParseNumber<int>(text);
    const bool longitude = code && *code >= -180 && *code <= 180;
    const bool named = code && *code >= kCenterOnTimeZone && *code <= kCenterOnAsia;
    return longitude || named ? code : std::nullopt;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const auto cross = text.find_first_of("xX");
    if (cross == std::string_view::npos) {
        return false;
    }
    const auto w = ParseNumber<int>(text.substr(0, cross));
    const auto h = ParseNumber<int>(text.substr(cross + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > kMaxFrameSide || *h > kMaxFrameSide) {
        return false;
    }
    width = *w;
    height = *h;
    return true;
}

RenderCliParse Refuse(std::string reason) {
    return {std::nullopt, std::move(reason)};
}

// Takes one option's value into the options; gives the reason when the value is refused.
std::optional<std::string> TakeOption(std::string_view name, const std::string& value,
                                      RenderCliOptions& options) {
    const auto refuse = [&](const char* wanted) {
        return std::string(name) + " wants " + wanted + ", not '" + value + "'";
    };
    if (name == "-o") {
        options.outputFile = value;
    } else if (name == "--at") {
        options.at = ParseUtcTimestamp(value);
        if (!options.at)
            return refuse("a time such as 2024-06-21T12:00:00Z");
    } else if (name == "--cloud-factor") {
        const auto factor = ParseNumber<int>(value);
        if (!factor || *factor < 0 || *factor > 100)
            return refuse("a whole number from 0 to 100");
        options.cloudFactor = *factor;
    } else if (name == "--center") {
        options.centreCode = ParseCentreCode(value);
        if (!options.centreCode) {
            return refuse(
                "a longitude from -180 to 180, a code 1000..1008 or one of timezone, noon, "
                "midnight, sunset, sunrise, europe-africa, americas, asia");
        }
    } else if (name == "--data") {
        options.dataFolder = value;
    } else if (name == "--size") {
        if (!ParseSize(value, options.width, options.height)) {
            return refuse("WIDTHxHEIGHT, each from 1 to 32768");
        }
    } else if (name == "--day") {
        const auto day = ParseNumber<int>(value);
        if (!day || *day < -1 || *day > 99)
            return refuse("-1 (the month's map) or an image number 0..99");
        options.dayImage = *day;
    } else if (name == "--night") {
        const auto night = ParseNumber<int>(value);
        if (!night || *night < -1 || *night > 99) {
            return refuse("an image number 1..99, -1 (the darkened day map) or 0 (none)");
        }
        options.nightImage = *night;
    } else if (name == "--no-clouds") {
        options.clouds = 0;
    } else if (name == "--crop") {
        options.crop = 1;
        options.blackBars = 0;
    } else if (name == "--black-bars") {
        options.crop = 0;
        options.blackBars = 1;
    } else if (name == "--no-fit") {
        options.crop = 0;
        options.blackBars = 0;
    } else if (name == "--day-file") {
        options.dayFile = value;
    } else if (name == "--night-file") {
        options.nightFile = value;
    } else if (name == "--clouds-file") {
        options.cloudsFile = value;
    } else if (name == "--darken") {
        options.darkenedDay = true;
    } else if (name == "--center-lon") {
        const auto longitude = ParseNumber<double>(value);
        if (!longitude || !std::isfinite(*longitude) || *longitude < -180 || *longitude > 180) {
            return refuse("degrees from -180 to 180");
        }
        options.centreLongitude = *longitude;
    }
    return std::nullopt;
}

}  // namespace

RenderCliParse ParseRenderCliOptions(const std::vector<std::string>& arguments, const CSettings& defaults) {
    RenderCliOptions options;
    options.cloudFactor = defaults.CloudFactor;
    options.dayImage = defaults.DaytimeImage;
    options.nightImage = defaults.NighttimeImage;
    options.clouds = defaults.Clouds != 0 ? 1 : 0;
    options.blackBars = defaults.BlackBars != 0 ? 1 : 0;
    options.crop = defaults.Crop != 0 ? 1 : 0;

    const OptionSpec* fittingOption = nullptr;
    const OptionSpec* imageryOption = nullptr;
    const OptionSpec* filesOption = nullptr;
    bool centreLongitudeGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            options.showHelp = true;
            return {options, {}};
        }
        const OptionSpec* option = FindOption(name);
        if (!option) {
            return Refuse("unknown option '" + arguments[i] + "'");
        }
        if (!option->takesValue) {
            if (value)
                return Refuse("option " + name + " takes no value");
            value.emplace();
        } else {
            if (!value) {
                if (i + 1 >= arguments.size())
                    return Refuse("option " + name + " needs a value");
                value = arguments[++i];
            }
            if (value->empty())
                return Refuse("option " + name + " needs a value");
        }

        if (name == "--crop" || name == "--black-bars" || name == "--no-fit") {
            if (fittingOption && fittingOption->name != name) {
                return Refuse(std::string(fittingOption->name) + " and " + name + " exclude each other");
            }
            fittingOption = option;
        }
        if (option->mode == Mode::Imagery)
            imageryOption = option;
        if (option->mode == Mode::Files)
            filesOption = option;
        centreLongitudeGiven = centreLongitudeGiven || name == "--center-lon";
        if (const auto reason = TakeOption(name, *value, options)) {
            return Refuse(*reason);
        }
    }

    options.fromFiles = !options.dayFile.empty();
    if (options.outputFile.empty())
        return Refuse("-o OUT.bmp is required");
    if (filesOption && !options.fromFiles) {
        return Refuse(std::string(filesOption->name) + " needs --day-file");
    }
    if (options.fromFiles && imageryOption) {
        return Refuse(std::string(imageryOption->name) +
                      " draws from the imagery and cannot go with --day-file");
    }
    if (options.darkenedDay && !options.nightFile.empty()) {
        return Refuse("--night-file and --darken exclude each other");
    }
    if (options.centreCode && centreLongitudeGiven) {
        return Refuse("--center and --center-lon exclude each other");
    }
    if (!options.fromFiles && !options.centreCode) {
        options.centreCode = defaults.CenterOn;
    }
    return {options, {}};
}

const char* RenderCliUsage() {
    return "Usage: orbiscape-render [--data DIR] [--size WxH] [--at TIME] [--center CODE]\n"
           "                        [--day N] [--night N] [--no-clouds] [--cloud-factor N]\n"
           "                        [--crop | --black-bars | --no-fit] -o OUT.bmp\n"
           "       orbiscape-render --day-file DAY.bmp [--night-file NIGHT.bmp | --darken]\n"
           "                        [--clouds-file CLOUDS.bmp] [--cloud-factor N] [--at TIME]\n"
           "                        [--center-lon DEG | --center CODE] -o OUT.bmp\n"
           "\n"
           "Composes the Earth as it looks at one moment and writes it as a 32-bit bitmap file.\n"
           "\n"
           "From the program's imagery (the first form), as the program draws its wallpaper:\n"
           "  --data DIR          folder with NN-2560.jpg and clouds.jpg (default: data)\n"
           "  --size WxH          size of the frame (default 1920x1080)\n"
           "  --day N             day map: -1 the month's (default), 0 shaded relief, 1..12 a month\n"
           "  --night N           night map: 13 city lights (default), 16 moonlit surface,\n"
           "                      17 abundant city lights, -1 the darkened day map, 0 none\n"
           "  --no-clouds         no cloud map\n"
           "  --crop              scale the maps to cover the frame and crop them (default)\n"
           "  --black-bars        scale the maps to fit inside the frame, black bars around them\n"
           "  --no-fit            scale the maps to fit and keep their shape: the frame is 2:1\n"
           "\n"
           "From bitmap files (the second form), composed at the day map's size; every map is\n"
           "equirectangular, longitude -180 at the left edge and latitude +90 at the top:\n"
           "  --day-file FILE     the daylit surface\n"
           "  --night-file FILE   the night side; without it and without --darken, all is day\n"
           "  --darken            the night side from the day map at a quarter brightness\n"
           "  --clouds-file FILE  cloud map laid over both sides (grey)\n"
           "  --center-lon DEG    longitude shown in the middle, -180..180 (default 0)\n"
           "\n"
           "Both forms:\n"
           "  --at TIME           the moment, UTC unless an offset is given (default: now),\n"
           "                      e.g. 2024-06-21T12:00:00Z or 2024-06-21T14:00+02:00\n"
           "  --center CODE       the middle of the picture: a longitude -180..180, timezone\n"
           "                      (default), noon, midnight, sunset, sunrise, europe-africa,\n"
           "                      americas, asia, or the settings' code 1000..1008\n"
           "  --cloud-factor N    0..100, thins the clouds as N grows (default 10)\n"
           "  -o FILE             where to write the frame\n";
}
