#include "settings/default_mirrors.h"

std::vector<std::string> DefaultMirrors() {
    // The live cloud-map service publishes its greyscale world map, renewed every three hours, in
    // several sizes on two hosts: its own name, delivered through a content distribution network,
    // and the project pages it is built on. The 2048 x 1024 map comes first, from both hosts; the
    // 4096 x 2048 map (which stays well under the download's size limit) and the 1024 x 512 map
    // follow as further sources of the same picture. The larger 8192 x 4096 map is left out: it
    // may exceed that limit. Every entry is live, so each random pick after a failure asks a
    // server that can answer.
    return {
        "https://clouds.matteason.co.uk/images/2048x1024/clouds.jpg",
        "https://matteason.github.io/live-cloud-maps/images/2048x1024/clouds.jpg",
        "https://clouds.matteason.co.uk/images/4096x2048/clouds.jpg",
        "https://matteason.github.io/live-cloud-maps/images/4096x2048/clouds.jpg",
        "https://clouds.matteason.co.uk/images/1024x512/clouds.jpg",
        "https://matteason.github.io/live-cloud-maps/images/1024x512/clouds.jpg",
    };
}
