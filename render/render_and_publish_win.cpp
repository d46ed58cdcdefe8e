#include "render/render_and_publish_win.h"

#include <mutex>

#include "image/dib_image.h"
#include "output/desktop_item_win.h"
#include "output/wallpaper_win.h"
#include "render/file_frame.h"
#include "render/render_frame.h"
#include "render/utc_clock.h"
#include "render/working_files.h"

namespace {

// The sources of one frame, read from the prepared files. They are read as plain images: a
// frame needs their pixels only, not GDI bitmaps of them. The prepared files are always
// replaced in one step (see SaveBmpFile), so a pass never reads one half-written by the cloud
// download.
struct FrameSources {
    DibImage day;
    DibImage night;   // empty without a night image file
    DibImage clouds;  // empty with clouds off
};

bool ReadSources(const RenderState& state, FrameSources& sources) {
    if (!sources.day.ReadBmpFile(kCurrentDayFile)) {
        return false;
    }
    if (state.NighttimeImage >= 1 && !sources.night.ReadBmpFile(kCurrentNightFile)) {
        return false;
    }
    return state.Clouds == 0 || sources.clouds.ReadBmpFile(kCurrentCloudsFile);
}

// The frame for the present moment, fitted to the output size, in memory; empty when it cannot
// be made. For sources that are not in the prepared files' usual form.
DibImage RenderCurrentFrame(const RenderState& state) {
    DibImage frame;
    FrameSources sources;
    if (!ReadSources(state, sources) || !frame.Copy(sources.day)) {
        return frame;
    }
    if (!RenderFrame(frame, sources.day, sources.night, sources.clouds, FrameOptionsOf(state))) {
        frame.Destroy();
    }
    return frame;
}

// The same frame, wrapped in regular-wallpaper mode and written to "current.bmp".
bool WriteCurrentFrame(const RenderState& state, bool activeDesktop) {
    const FileFrameResult streamed = RenderFileFrameAt(
        CurrentUtcSeconds(), kCurrentDayFile, state.NighttimeImage >= 1 ? kCurrentNightFile : nullptr,
        state.Clouds != 0 ? kCurrentCloudsFile : nullptr, FrameOptionsOf(state),
        activeDesktop ? WrapOrigin{} : VirtualScreenWrapOrigin(), kCurrentFrameFile);
    if (streamed != FileFrameResult::NotStreamable) {
        return streamed == FileFrameResult::Written;
    }
    DibImage frame = RenderCurrentFrame(state);  // the sources are freed by now
    if (!frame.HasPixels()) {
        return false;
    }
    if (!activeDesktop) {
        WrapForVirtualScreen(frame);
    }
    return frame.SaveBmpFile(kCurrentFrameFile) != 0;
}

}  // namespace

void RenderAndPublish(RenderState& state, bool interactive, DesktopItemPrompts& prompts) {
    const bool activeDesktop = state.ActiveDesktop != 0;
    {
        // The cloud source stays open while the frame is composed; a download that replaced it
        // meanwhile could be refused the rename and leave the old clouds in place.
        const std::lock_guard cloudFiles(state.CloudFilesLock);
        if (!WriteCurrentFrame(state, activeDesktop)) {
            return;
        }
    }
    if (activeDesktop) {
        // Only an apply may ask to switch Active Desktop on; without it there is no item to show.
        if (interactive && !EnsureActiveDesktopOn(prompts)) {
            return;
        }
        ShowDesktopItem(interactive, prompts);
        return;
    }
    SetWallpaper(interactive);
}
