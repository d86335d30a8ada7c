#include "facepaste/Facepaste.h"

#include "facepaste/PackedDib.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

// A bitmap handle is an image of the library's.
struct FacepasteBitmap {
    QImage image;
};

namespace folyant::facepaste {

namespace {

// The raw packed DIB, for callers that want the Windows clipboard's CF_DIB bytes.
constexpr const char* kPackedDibMime = "image/x-ms-packed-dib";

constexpr const char* kLastResort = "offscreen";

// Platforms whose plugin, when it cannot reach its display, declines and
// lets Qt try the next one. Others (eglfs, linuxfb) end the process instead.
bool declinesWhenUnreachable(std::string_view platform)
{
    return platform == "xcb" || platform.rfind("wayland", 0) == 0 || platform == "offscreen"
        || platform == "minimal" || platform == "vnc";
}

struct PlatformChoice {
    // Qt's list of platforms to try, for its -platform option.
    std::string platforms;
    // Whether the caller's own list names the last resort.
    bool lastResortAsked = false;
};

// The platforms to try, in Qt's order, keeping those that fail softly, then
// the offscreen one: Qt ends any process in which no platform starts, and a
// library must not end its host. No platforms when no display is named.
PlatformChoice platformsToTry()
{
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string_view(value ? value : "");
    };
    std::string_view requested = variable("QT_QPA_PLATFORM");
    if (requested.empty()) {
        if (!variable("WAYLAND_DISPLAY").empty())
            requested = "wayland;xcb";
        else if (!variable("DISPLAY").empty())
            requested = "xcb";
        else
            return {};
    }
    PlatformChoice choice;
    for (std::size_t at = 0; at <= requested.size();) {
        const std::size_t end = std::min(requested.find(';', at), requested.size());
        const std::string_view entry = requested.substr(at, end - at);
        const std::string_view platform = entry.substr(0, entry.find(':'));
        if (declinesWhenUnreachable(platform))
            choice.platforms.append(entry).append(";");
        choice.lastResortAsked = choice.lastResortAsked || platform == kLastResort;
        at = end + 1;
    }
    choice.platforms += kLastResort;
    return choice;
}

// The caller's application object, or one of ours when the caller has none
// (a program that is not built on Qt). Ours stays for the rest of the process:
// the clipboard is served from it, and the content would go with it. Null when
// no display can be reached.
QGuiApplication* guiApplication()
{
    static bool unreachable = false;
    if (QCoreApplication* existing = QCoreApplication::instance())
        return unreachable ? nullptr : qobject_cast<QGuiApplication*>(existing);
    static PlatformChoice choice = platformsToTry();
    if (choice.platforms.empty())
        return nullptr;
    static int argc = 3;
    static char name[] = "Facepaste";
    static char option[] = "-platform";
    static char* argv[] = {name, option, choice.platforms.data(), nullptr};
    static QGuiApplication* ours = new QGuiApplication(argc, argv);
    // Only the last resort started: the display cannot be reached, and a
    // clipboard nobody else sees would hold the picture for nobody.
    unreachable = !choice.lastResortAsked && QGuiApplication::platformName() == QLatin1String(kLastResort);
    return unreachable ? nullptr : ours;
}

int displayDepth()
{
    // For displays whose depth Qt cannot tell, and for tests.
    if (const char* forced = std::getenv("FOLYANT_DISPLAY_DEPTH"); forced && *forced)
        return std::atoi(forced);
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 32;
}

int placeFace(int resource)
{
    QGuiApplication* application = guiApplication();
    if (!application)
        return 1;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const int depth = displayDepth();
    const QImage face = faceForDisplay(resource, depth);
    const std::vector<std::uint8_t> dib = packedDib(face, {}, depth);
    if (dib.empty())
        return 1;
    auto* data = new QMimeData;
    const auto bytes = [](const std::vector<std::uint8_t>& v) {
        return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
    };
    data->setData(QString::fromLatin1(kPackedDibMime), bytes(dib));
    data->setData(QStringLiteral("image/bmp"), bytes(bmpFileOf(dib)));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    face.save(&buffer, "PNG");
    data->setData(QStringLiteral("image/png"), png);
    clipboard->setMimeData(data);
    return 1;
}

} // namespace

} // namespace folyant::facepaste

extern "C" {

__attribute__((visibility("default"))) int LoadIcon1(void)
{
    return folyant::facepaste::placeFace(folyant::facepaste::kFirstFace);
}

__attribute__((visibility("default"))) int LoadIcon2(void)
{
    return folyant::facepaste::placeFace(folyant::facepaste::kSecondFace);
}

__attribute__((visibility("default"))) void* BitmapToPackedDib(
    const FacepasteBitmap* bitmap, const FacepastePalette* palette)
{
    if (!bitmap)
        return nullptr;
    QList<QRgb> colours;
    if (palette && palette->colors)
        for (unsigned i = 0; i < palette->count; ++i)
            colours.push_back(0xff000000u | palette->colors[i]);
    const std::vector<std::uint8_t> dib = folyant::facepaste::packedDib(bitmap->image, colours);
    if (dib.empty())
        return nullptr;
    void* block = std::malloc(dib.size());
    if (block)
        std::memcpy(block, dib.data(), dib.size());
    return block;
}

__attribute__((visibility("default"))) unsigned int CountDibColors(const void* header)
{
    return folyant::facepaste::countDibColors(static_cast<const std::uint8_t*>(header));
}
}
