// x11probe: small X11 helper for the end-to-end window test. It reads what a
// user would see and does what a window manager would do, from outside the
// editor's process:
//   x11probe cursor OUT.png        save the pointer's current cursor image and
//                                  print "width height xhot yhot"
//   x11probe cursor-is IMAGE.png   exit 0 when the current cursor shows IMAGE
//                                  with its hot spot at the image's centre
//   x11probe close WINDOW-ID       ask a top-level window to close, as a window
//                                  manager's close button does (WM_DELETE_WINDOW)
// Qt's headers go first: Xlib's macros (Bool, Status, CursorShape) clash with them.
#include <QImage>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cmath>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: x11probe cursor OUT.png | cursor-is IMAGE.png | close WINDOW-ID\n");
    return 2;
}

// The cursor image as the server shows it: premultiplied ARGB.
QImage currentCursor(Display *display, int *xhot, int *yhot)
{
    XFixesCursorImage *cursor = XFixesGetCursorImage(display);
    if (!cursor)
        return QImage();
    QImage image(cursor->width, cursor->height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < cursor->height; ++y)
        for (int x = 0; x < cursor->width; ++x)
            image.setPixel(x, y, static_cast<QRgb>(cursor->pixels[y * cursor->width + x] & 0xffffffffUL));
    *xhot = cursor->xhot;
    *yhot = cursor->yhot;
    XFree(cursor);
    return image;
}

bool nearlyEqual(QRgb a, QRgb b)
{
    const int tolerance = 2;
    return std::abs(qAlpha(a) - qAlpha(b)) <= tolerance && std::abs(qRed(a) - qRed(b)) <= tolerance
        && std::abs(qGreen(a) - qGreen(b)) <= tolerance && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

int cursorIs(Display *display, const char *path)
{
    QImage expected(QString::fromLocal8Bit(path));
    if (expected.isNull()) {
        std::fprintf(stderr, "x11probe: cannot read %s\n", path);
        return 2;
    }
    expected = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int xhot = 0, yhot = 0;
    const QImage shown = currentCursor(display, &xhot, &yhot);
    std::printf("cursor %dx%d hot %d,%d; %s is %dx%d\n", shown.width(), shown.height(), xhot, yhot, path,
        expected.width(), expected.height());
    if (shown.size() != expected.size())
        return 1;
    if (xhot != expected.width() / 2 || yhot != expected.height() / 2)
        return 1;
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (!nearlyEqual(shown.pixel(x, y), expected.pixel(x, y)))
                ++differing;
    std::printf("%d pixels differ\n", differing);
    return differing == 0 ? 0 : 1;
}

int saveCursor(Display *display, const char *path)
{
    int xhot = 0, yhot = 0;
    const QImage shown = currentCursor(display, &xhot, &yhot);
    if (shown.isNull())
        return 1;
    std::printf("%d %d %d %d\n", shown.width(), shown.height(), xhot, yhot);
    return shown.save(QString::fromLocal8Bit(path), "PNG") ? 0 : 1;
}

int closeWindow(Display *display, const char *id)
{
    const Window window = std::strtoul(id, nullptr, 0);
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return sent ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3)
        return usage();
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11probe: cannot open display\n");
        return 2;
    }
    int eventBase = 0, errorBase = 0;
    int result = 2;
    if (std::strcmp(argv[1], "close") == 0)
        result = closeWindow(display, argv[2]);
    else if (!XFixesQueryExtension(display, &eventBase, &errorBase))
        std::fprintf(stderr, "x11probe: the X server lacks XFIXES\n");
    else if (std::strcmp(argv[1], "cursor") == 0)
        result = saveCursor(display, argv[2]);
    else if (std::strcmp(argv[1], "cursor-is") == 0)
        result = cursorIs(display, argv[2]);
    else
        result = usage();
    XCloseDisplay(display);
    return result;
}
