#include "facepaste/Facepaste.h"

#include "facepaste/PackedDib.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>

#include <cstdlib>
#include <cstring>

// A bitmap handle is an image of the library's.
struct FacepasteBitmap {
    QImage image;
};

namespace folyant::facepaste {

namespace {

// The raw packed DIB, for callers that want the Windows clipboard's CF_DIB bytes.
constexpr const char* kPackedDibMime = "image/x-ms-packed-dib";

bool canReachADisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

// The caller's application object, or one of ours when the caller has none
// (a program that is not built on Qt). Ours stays for the rest of the process:
// the clipboard is served from it, and the content would go with it.
QGuiApplication* guiApplication()
{
    if (QCoreApplication* existing = QCoreApplication::instance())
        return qobject_cast<QGuiApplication*>(existing);
    if (!canReachADisplay())
        return nullptr;
    static int argc = 1;
    static char name[] = "Facepaste";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* ours = new QGuiApplication(argc, argv);
    return ours;
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
    const QImage face = faceForDisplay(resource, displayDepth());
    const std::vector<std::uint8_t> dib = packedDib(face);
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
