#include "tools/render_cli/render_cli_options.h"

#include <charconv>
#include <cmath>

#include "tools/render_cli/utc_timestamp.h"

namespace {

bool TakesValue(const std::string& name) {
    return name == "--day-file" || name == "--night-file" || name == "--clouds-file" ||
           name == "--cloud-factor" || name == "--at" || name == "--center-lon" || name == "-o";
}

std::optional<int> ParseInteger(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseDouble(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

RenderCliParse Refuse(std::string reason) { return {std::nullopt, std::move(reason)}; }

}  // namespace

RenderCliParse ParseRenderCliOptions(const std::vector<std::string>& arguments) {
    RenderCliOptions options;
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
        if (name == "--darken") {
            if (value) return Refuse("option --darken takes no value");
            options.darkenedDay = true;
            continue;
        }
        if (!TakesValue(name)) {
            return Refuse("unknown option '" + arguments[i] + "'");
        }
        if (!value) {
            if (i + 1 >= arguments.size()) return Refuse("option " + name + " needs a value");
            value = arguments[++i];
        }
        if (value->empty()) return Refuse("option " + name + " needs a value");

        if (name == "--day-file") {
            options.dayFile = *value;
        } else if (name == "--night-file") {
            options.nightFile = *value;
        } else if (name == "--clouds-file") {
            options.cloudsFile = *value;
        } else if (name == "-o") {
            options.outputFile = *value;
        } else if (name == "--cloud-factor") {
            const auto factor = ParseInteger(*value);
            if (!factor || *factor < 0 || *factor > 100) {
                return Refuse("--cloud-factor wants a whole number from 0 to 100, not '" + *value + "'");
            }
            options.cloudFactor = *factor;
        } else if (name == "--at") {
            options.at = ParseUtcTimestamp(*value);
            if (!options.at) {
                return Refuse("--at wants a time such as 2024-06-21T12:00:00Z, not '" + *value + "'");
            }
        } else if (name == "--center-lon") {
            const auto longitude = ParseDouble(*value);
            if (!longitude || *longitude < -180 || *longitude > 180) {
                return Refuse("--center-lon wants degrees from -180 to 180, not '" + *value + "'");
            }
            options.centreLongitude = *longitude;
        }
    }
    if (options.dayFile.empty()) return Refuse("--day-file is required");
    if (options.outputFile.empty()) return Refuse("-o OUT.bmp is required");
    if (options.darkenedDay && !options.nightFile.empty()) {
        return Refuse("--night-file and --darken exclude each other");
    }
    return {options, {}};
}

const char* RenderCliUsage() {
    return "Usage: orbiscape-render --day-file DAY.bmp [--night-file NIGHT.bmp | --darken]\n"
           "                        [--clouds-file CLOUDS.bmp] [--cloud-factor N]\n"
           "                        [--at 2024-06-21T12:00:00Z] [--center-lon DEG] -o OUT.bmp\n"
           "\n"
           "Composes the Earth as it looks at one moment and writes it as a 32-bit bitmap file\n"
           "of the day image's size. All images are equirectangular maps, longitude -180 at the\n"
           "left edge and latitude +90 at the top.\n"
           "\n"
           "  --day-file FILE     the daylit surface (bitmap file)\n"
           "  --night-file FILE   the night side (bitmap file); without it the whole map is day\n"
           "  --darken            show the night side as the day image at a quarter brightness\n"
           "  --clouds-file FILE  cloud map laid over both sides (grey bitmap file)\n"
           "  --cloud-factor N    0..100, thins the clouds as N grows (default 10)\n"
           "  --at TIME           the moment, UTC unless an offset is given (default: now)\n"
           "  --center-lon DEG    longitude shown in the middle, -180..180 (default 0)\n"
           "  -o FILE             where to write the frame\n";
}
