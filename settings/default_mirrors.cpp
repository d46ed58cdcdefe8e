#include "settings/default_mirrors.h"

std::vector<std::string> DefaultMirrors() {
    // The live cloud-map service publishes its greyscale world map, renewed every three hours, in
    // several sizes under its own name, which it keeps whoever builds and hosts it. The 2048 x 1024
    // map comes first; the 4096 x 2048 map (which stays well under the download's size limit) and
    // the 1024 x 512 map follow as further sources of the same picture. The larger 8192 x 4096 map
    // is left out: it may exceed that limit. The project pages that once served the same maps are
    // left out too: they add no server of their own, and a map left frozen there would be
    // installed as if it were new.
    return {
        "https://clouds.matteason.co.uk/images/2048x1024/clouds.jpg",
        "https://clouds.matteason.co.uk/images/4096x2048/clouds.jpg",
        "https://clouds.matteason.co.uk/images/1024x512/clouds.jpg",
    };
}
