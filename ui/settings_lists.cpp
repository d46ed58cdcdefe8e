#include "ui/settings_lists.h"

#include <array>

namespace {

// The first eight centre choices are named; the time zones, whose texts are padded, follow.
constexpr std::size_t kFirstTimeZone = 8;

constexpr ListChoice kCentreOn[] = {
    {"Current Time Zone", 1000},
    {"Noon", 1001},
    {"Midnight", 1002},
    {"Sunrise", 1004},  // the codes of sunrise and sunset run against the list's order
    {"Sunset", 1003},
    {"Europe & Africa", 1006},
    {"Americas", 1007},
    {"Asia", 1008},
    {"(GMT-12:00) International Date Line West", -180},
    {"(GMT-11:00) Midway Island, Samoa", -165},
    {"(GMT-10:00) Hawaii", -150},
    {"(GMT-09:00) Alaska", -135},
    {"(GMT-08:00) Pacific Time (US & Canada); Tijuana", -120},
    {"(GMT-07:00) Mountain Time (US & Canada)", -105},
    {"(GMT-07:00) Chihuahua, La Paz, Mazatlan", -105},
    {"(GMT-07:00) Arizona", -105},
    {"(GMT-06:00) Central Time (US & Canada)", -90},
    {"(GMT-06:00) Saskatchewan", -90},
    {"(GMT-06:00) Guadalajara, Mexico City, Monterrey", -90},
    {"(GMT-06:00) Central America", -90},
    {"(GMT-05:00) Eastern Time (US & Canada)", -75},
    {"(GMT-05:00) Indiana (East)", -75},
    {"(GMT-05:00) Bogota, Lima, Quito", -75},
    {"(GMT-04:00) Atlantic Time (Canada)", -60},
    {"(GMT-04:00) Caracas, La Paz", -60},
    {"(GMT-04:00) Santiago", -60},
    {"(GMT-03:30) Newfoundland", -52},
    {"(GMT-03:00) Brasilia", -45},
    {"(GMT-03:00) Buenos Aires, Georgetown", -45},
    {"(GMT-03:00) Greenland", -45},
    {"(GMT-02:00) Mid-Atlantic", -30},
    {"(GMT-01:00) Azores", -15},
    {"(GMT-01:00) Cape Verde Is.", -15},
    {"(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London", 0},
    {"(GMT) Casablanca, Monrovia", 0},
    {"(GMT+01:00) Belgrade, Bratislava, Budapest, Ljubljana, Prague", 15},
    {"(GMT+01:00) Sarajevo, Skopje, Warsaw, Zagreb", 15},
    {"(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", 15},
    {"(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", 15},
    {"(GMT+01:00) West Central Africa", 15},
    {"(GMT+02:00) Bucharest", 30},
    {"(GMT+02:00) Cairo", 30},
    {"(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", 30},
    {"(GMT+02:00) Athens, Istanbul, Minsk", 30},
    {"(GMT+02:00) Jerusalem", 30},
    {"(GMT+02:00) Harare, Pretoria", 30},
    {"(GMT+03:00) Moscow, St. Petersburg, Volgograd", 45},
    {"(GMT+03:00) Kuwait, Riyadh", 45},
    {"(GMT+03:00) Nairobi", 45},
    {"(GMT+03:00) Baghdad", 45},
    {"(GMT+03:30) Tehran", 52},
    {"(GMT+04:00) Abu Dhabi, Muscat", 60},
    {"(GMT+04:00) Baku, Tbilisi, Yerevan", 60},
    {"(GMT+04:30) Kabul", 67},
    {"(GMT+05:00) Ekaterinburg", 75},
    {"(GMT+05:00) Islamabad, Karachi, Tashkent", 75},
    {"(GMT+05:30) Chennai, Kolkata, Mumbai, New Delhi", 82},
    {"(GMT+05:45) Kathmandu", 86},
    {"(GMT+06:00) Astana, Dhaka", 90},
    {"(GMT+06:00) Sri Jayawardenepura", 90},
    {"(GMT+06:00) Almaty, Novosibirsk", 90},
    {"(GMT+06:30) Rangoon", 97},
    {"(GMT+07:00) Bangkok, Hanoi, Jakarta", 105},
    {"(GMT+07:00) Krasnoyarsk", 105},
    {"(GMT+08:00) Beijing, Chongqing, Hong Kong, Urumqi", 120},
    {"(GMT+08:00) Kuala Lumpur, Singapore", 120},
    {"(GMT+08:00) Taipei", 120},
    {"(GMT+08:00) Perth", 120},
    {"(GMT+08:00) Irkutsk, Ulaan Bataar", 120},
    {"(GMT+09:00) Seoul", 135},
    {"(GMT+09:00) Osaka, Sapporo, Tokyo", 135},
    {"(GMT+09:00) Yakutsk", 135},
    {"(GMT+09:30) Darwin", 142},
    {"(GMT+09:30) Adelaide", 142},
    {"(GMT+10:00) Canberra, Melbourne, Sydney", 150},
    {"(GMT+10:00) Brisbane", 150},
    {"(GMT+10:00) Hobart", 150},
    {"(GMT+10:00) Vladivostok", 150},
    {"(GMT+10:00) Guam, Port Moresby", 150},
    {"(GMT+11:00) Magadan, Solomon Is., New Caledonia", 165},
    {"(GMT+12:00) Fiji, Kamchatka, Marshall Is.", 180},
    {"(GMT+12:00) Auckland, Wellington", 180},
    {"(GMT+13:00) Nuku'alofa", -165},  // 195 degrees east is 165 west
};
constexpr int kCentreOnSeparators[] = {0, 4, 7};

constexpr ListChoice kUpdate[] = {
    {"Every minute", 60000},
    {"Every 5 minutes", 300000},
    {"Every 15 minutes", 900000},
    {"Every hour", 3600000},
};

constexpr ListChoice kNight[] = {
    {"City Lights", 13},    {"Moonlit Surface", 16}, {"Abundant City Lights", 17},
    {"Simple Shadows", -1}, {"No Night Image", 0},
};
constexpr int kNightSeparators[] = {2, 3};

constexpr ListChoice kDay[] = {
    {"Auto-select according to date", -1},
    {"Topographic & Bathymetric Shading", 0},
    {"Topographic: January", 1},
    {"Topographic: February", 2},
    {"Topographic: March", 3},
    {"Topographic: April", 4},
    {"Topographic: May", 5},
    {"Topographic: June", 6},
    {"Topographic: July", 7},
    {"Topographic: August", 8},
    {"Topographic: September", 9},
    {"Topographic: October", 10},
    {"Topographic: November", 11},
    {"Topographic: December", 12},
};
constexpr int kDaySeparators[] = {0, 1};

}  // namespace

ChoiceList CentreOnChoices() {
    return {kCentreOn, kCentreOnSeparators, 0, kFirstTimeZone};
}

ChoiceList UpdateChoices() {
    return {kUpdate, {}, 0};
}

ChoiceList NightChoices() {
    return {kNight, kNightSeparators, -1};
}

ChoiceList DayChoices() {
    return {kDay, kDaySeparators, -1};
}
