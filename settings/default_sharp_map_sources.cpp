#include "settings/default_sharp_map_sources.h"

std::vector<std::string> DefaultSharpMapSources() {
    // The public-domain monthly series with topography and bathymetry (2004), one JPEG per month,
    // on NASA's science assets host and, as a second source, on the Earth Observatory's older
    // image host, where each month has a record of its own.
    return {
        "https://assets.science.nasa.gov/content/dam/science/esd/eo/images/bmng/bmng-topography-bathymetry/"
        "{month}/world.topo.bathy.2004{MM}.3x5400x2700.jpg",
        "https://eoimages.gsfc.nasa.gov/images/imagerecords/73000/{record}/world.topo.bathy.2004{MM}.3x5400x2700.jpg",
    };
}
