// The clipboard as a Qt program sees it, for a probe written in C.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstring>

namespace {
const QMimeData* clipboardData()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard()->mimeData();
}

std::size_t copyOut(const QByteArray& bytes, void* out, std::size_t room)
{
    const std::size_t size = std::min(static_cast<std::size_t>(bytes.size()), room);
    std::memcpy(out, bytes.constData(), size);
    return size;
}
} // namespace

extern "C" std::size_t facepaste_probe_read(const char* mime, unsigned char* out, std::size_t room)
{
    const QMimeData* data = clipboardData();
    return data ? copyOut(data->data(QString::fromLatin1(mime)), out, room) : 0;
}

extern "C" void facepaste_probe_put_text(const char* text)
{
    if (clipboardData())
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
}

extern "C" std::size_t facepaste_probe_formats(char* out, std::size_t room)
{
    const QMimeData* data = clipboardData();
    return data ? copyOut(data->formats().join(QLatin1Char('\n')).toUtf8(), out, room) : 0;
}
