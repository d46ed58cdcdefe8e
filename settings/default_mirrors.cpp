#include "settings/default_mirrors.h"

std::vector<std::string> DefaultMirrors() {
    // Thirteen servers that keep the map as a file, then two that make it with a script. Users
    // who run a mirror of their own put it at the head of the list.
    return {
        "http://clouds.example.com/clouds_2048.jpg",
        "http://mirror1.example.net/earth/clouds_2048.jpg",
        "http://www.example.org/clouds/clouds_2048.jpg",
        "http://mirror2.example.net/earth/clouds_2048.jpg",
        "http://clouds.example.org/latest/clouds_2048.jpg",
        "http://eu.clouds.example.com/clouds_2048.jpg",
        "http://us.clouds.example.com/clouds_2048.jpg",
        "http://asia.clouds.example.com/clouds_2048.jpg",
        "http://mirror3.example.net/earth/clouds_2048.jpg",
        "http://maps.example.org/weather/clouds_2048.jpg",
        "http://static.example.com/orbiscape/clouds_2048.jpg",
        "http://mirror4.example.net/earth/clouds_2048.jpg",
        "http://archive.example.org/clouds/clouds_2048.jpg",
        "http://clouds.example.com/cgi-bin/clouds_2048.php",
        "http://mirror5.example.net/scripts/clouds_2048.php",
    };
}
