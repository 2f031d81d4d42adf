// x11probe: for the end-to-end test, reads what a user sees and does what a window manager does, from outside
// the editor's process. Prints what it saw; exit 0 when the check holds:
//   x11probe cursor IMAGE.png  the pointer's cursor shows IMAGE (up to rounding), hot spot at its centre
//   x11probe cursor cross      the cursor is a cross: opaque pixels on the lines through the hot spot, 4 arms
//   x11probe close WINDOW-ID   ask a window to close, as a close button does (WM_DELETE_WINDOW)
// Qt's headers go first: Xlib's macros (Bool, Status, CursorShape) clash with them.
#include <QImage>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool isCross(const QImage &cursor, int xhot, int yhot)
{
    int on = 0, off = 0, arms[4] = {};
    for (int y = 0; y < cursor.height(); ++y)
        for (int x = 0; x < cursor.width(); ++x) {
            if (qAlpha(cursor.pixel(x, y)) < 128)
                continue;
            const int dx = x - xhot, dy = y - yhot;
            const bool across = std::abs(dy) <= 3, down = std::abs(dx) <= 3;
            ++(across || down ? on : off);
            arms[0] += across && dx <= -4;
            arms[1] += across && dx >= 4;
            arms[2] += down && dy <= -4;
            arms[3] += down && dy >= 4;
        }
    std::printf("%d opaque pixels on the cross, %d off it, arms %d %d %d %d\n", on, off, arms[0], arms[1], arms[2],
                arms[3]);
    return on > 0 && off * 10 <= on && arms[0] && arms[1] && arms[2] && arms[3];
}

bool shows(const QImage &cursor, int xhot, int yhot, const char *path)
{
    const QImage expected = QImage(QString::fromLocal8Bit(path)).convertToFormat(cursor.format());
    std::printf("%s is %dx%d", path, expected.width(), expected.height());
    if (expected.size() != cursor.size() || xhot != cursor.width() / 2 || yhot != cursor.height() / 2) {
        std::puts(", size or hot spot differ");
        return false;
    }
    int differing = 0;
    for (int y = 0; y < cursor.height(); ++y)
        for (int x = 0; x < cursor.width(); ++x) {
            const QRgb a = cursor.pixel(x, y), b = expected.pixel(x, y);
            differing += std::abs(qAlpha(a) - qAlpha(b)) > 2 || std::abs(qRed(a) - qRed(b)) > 2
                || std::abs(qGreen(a) - qGreen(b)) > 2 || std::abs(qBlue(a) - qBlue(b)) > 2;
        }
    std::printf(", %d pixels differ\n", differing);
    return differing == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    Display *display = argc == 3 ? XOpenDisplay(nullptr) : nullptr;
    if (!display || (std::strcmp(argv[1], "cursor") != 0 && std::strcmp(argv[1], "close") != 0)) {
        std::fprintf(stderr, "usage (with an X display): x11probe cursor IMAGE.png|cross | close WINDOW-ID\n");
        return 2;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        const Window window = std::strtoul(argv[2], nullptr, 0);
        XEvent event {};
        event.xclient = {ClientMessage, 0, False, display, window, XInternAtom(display, "WM_PROTOCOLS", False), 32, {}};
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
        XCloseDisplay(display);
        return sent ? 0 : 1;
    }
    XFixesCursorImage *shown = XFixesGetCursorImage(display);
    if (!shown)
        return 2;
    // The server's image is premultiplied ARGB, one unsigned long per pixel.
    QImage cursor(shown->width, shown->height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < shown->height; ++y)
        for (int x = 0; x < shown->width; ++x)
            cursor.setPixel(x, y, static_cast<QRgb>(shown->pixels[y * shown->width + x]));
    std::printf("cursor %dx%d hot %d,%d; ", shown->width, shown->height, shown->xhot, shown->yhot);
    const bool ok = std::strcmp(argv[2], "cross") == 0 ? isCross(cursor, shown->xhot, shown->yhot)
                                                       : shows(cursor, shown->xhot, shown->yhot, argv[2]);
    XFree(shown);
    XCloseDisplay(display);
    return ok ? 0 : 1;
}
