// The renderer's files, all named relative to the current directory, which is the program's
// own. Start-up, uninstall, the cloud download and the preview use the same names.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "output/frame_path.h"

// The finished frame, which desktop output publishes.
inline constexpr const auto& kCurrentFrameFile = kFrameFileName;
// The sources scaled to the output size, made when the sources change.
inline constexpr const auto& kCurrentDayFile = kFrameDayMapFileName;
inline constexpr char kCurrentNightFile[] = "current-night.bmp";
inline constexpr char kCurrentCloudsFile[] = "current-clouds.bmp";

// The cloud map: delivered, freshly downloaded, and scaled for the desktop and for the
// previews and the cloud updates dialog.
inline constexpr char kSeedCloudsFile[] = "clouds.jpg";
inline constexpr char kDownloadedCloudsFile[] = "clouds-new.jpg";
inline constexpr char kDesktopCloudsFile[] = "clouds-2560.bmp";
inline constexpr char kSmallCloudsFile[] = "clouds-512.bmp";
// The sizes those two are scaled to fit (a 2:1 map fills them exactly).
inline constexpr int kDesktopCloudsWidth = 2560;
inline constexpr int kDesktopCloudsHeight = 1280;
inline constexpr int kSmallCloudsWidth = 512;
inline constexpr int kSmallCloudsHeight = 256;
// A cloud installation's new bitmaps, made beside the three in use, and those three kept under a
// second name while the new ones take their places, so that a failure on the way can put them
// back. None is left once an installation has ended; what one cut off in the middle left, the
// next start finishes or undoes, and "/uninstall" deletes.
inline constexpr char kNewDesktopCloudsFile[] = "clouds-2560-new.bmp";
inline constexpr char kNewSmallCloudsFile[] = "clouds-512-new.bmp";
inline constexpr char kNewCurrentCloudsFile[] = "current-clouds-new.bmp";
inline constexpr char kKeptDesktopCloudsFile[] = "clouds-2560-old.bmp";
inline constexpr char kKeptSmallCloudsFile[] = "clouds-512-old.bmp";
inline constexpr char kKeptCurrentCloudsFile[] = "current-clouds-old.bmp";

// The settings preview's frame. The other three preview names are never written, but uninstall
// still removes them.
inline constexpr char kPreviewFrameFile[] = "preview.bmp";
inline constexpr char kPreviewDayFile[] = "preview-day.bmp";
inline constexpr char kPreviewNightFile[] = "preview-night.bmp";
inline constexpr char kPreviewCloudsFile[] = "preview-clouds.bmp";

// Every working file, in the order "/uninstall" deletes them, those of a cloud installation that
// its process's end cut off last. The source pictures and the cloud maps in JPEG form are the
// program's own data and are no working files.
inline constexpr std::array<const char*, 16> kWorkingFiles = {
    kCurrentFrameFile,     kCurrentDayFile,        kCurrentNightFile,     kCurrentCloudsFile,
    kPreviewFrameFile,     kPreviewDayFile,        kPreviewNightFile,     kPreviewCloudsFile,
    kDesktopCloudsFile,    kSmallCloudsFile,       kNewDesktopCloudsFile, kNewSmallCloudsFile,
    kNewCurrentCloudsFile, kKeptDesktopCloudsFile, kKeptSmallCloudsFile,  kKeptCurrentCloudsFile,
};

// Day and night images are named by a number: 0 and 1..12 day images, 13, 16 and 17 night
// images; each in a large form for the desktop and a small one for the preview.
inline constexpr char kDesktopImageFormat[] = "%2.2d-2560.jpg";
inline constexpr char kPreviewImageFormat[] = "%2.2d-512.jpg";

// The file names of an image number: DesktopImageFile(7) is "07-2560.jpg".
std::string DesktopImageFile(int number);
std::string PreviewImageFile(int number);

// The monthly day maps of 5400 x 2700 pixels, downloaded beside the delivered ones: for each
// month 1..12 the map as it came ("07-5400.jpg") and its small form for the preview, a bitmap
// ("07-5400-512.bmp") made when the map is installed, so that the preview never decodes the
// large map. A download goes to its own name first; while a map and its small form take their
// places as one, whatever stood there waits under a third name (as the cloud bitmaps do).
// "/uninstall" deletes them all.
inline constexpr char kSharpMapFormat[] = "%2.2d-5400.jpg";
inline constexpr char kSmallSharpMapFormat[] = "%2.2d-5400-512.bmp";
inline constexpr char kDownloadedSharpMapFile[] = "sharp-map-new.jpg";
inline constexpr char kNewSmallSharpMapFile[] = "sharp-map-512-new.bmp";
inline constexpr char kKeptSharpMapFile[] = "sharp-map-old.jpg";
inline constexpr char kKeptSmallSharpMapFile[] = "sharp-map-512-old.bmp";
// The names above that only an installation on its way uses.
inline constexpr std::array<const char*, 4> kSharpMapInstallationFiles = {
    kDownloadedSharpMapFile, kNewSmallSharpMapFile, kKeptSharpMapFile, kKeptSmallSharpMapFile};
// The size of the small form, as the delivered small maps.
inline constexpr int kSmallSharpMapWidth = 512;
inline constexpr int kSmallSharpMapHeight = 256;

std::string SharpMapFile(int month);
std::string SmallSharpMapFile(int month);

// The day map to show for a day image number: the month's downloaded map when sharp maps are
// chosen and it is there, else the delivered one. Desktop and preview forms.
std::string DesktopDayMapFile(int number, bool sharpMaps);
std::string PreviewDayMapFile(int number, bool sharpMaps);

// Every name above that a month's downloaded map may leave in the folder, for "/uninstall".
std::vector<std::string> SharpMapFileNames();
