#include "tests/robustness/x_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

XWindows::XWindows()
    : display_(XOpenDisplay(nullptr))
{
}

XWindows::~XWindows()
{
    if (display_)
        XCloseDisplay(display_);
}

namespace {

QByteArray property(Display* d, ::Window w, Atom name, Atom type)
{
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, rest = 0;
    unsigned char* data = nullptr;
    QByteArray value;
    if (XGetWindowProperty(d, w, name, 0, 4096, False, type, &actual, &format, &count, &rest, &data) == Success && data) {
        // Xlib hands 32-bit items back as longs.
        const unsigned long itemSize = format == 32 ? sizeof(long) : static_cast<unsigned long>(format / 8);
        if (actual == type)
            value = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count * itemSize));
        XFree(data);
    }
    return value;
}

} // namespace

void XWindows::collect(unsigned long parent, qint64 pid, int depth, QList<Window>& out)
{
    ::Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, parent, &root, &up, &children, &count))
        return;
    const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
    const Atom nameAtom = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    for (unsigned int i = 0; i < count; ++i) {
        const ::Window w = children[i];
        const QByteArray owner = property(display_, w, pidAtom, XA_CARDINAL);
        XWindowAttributes attributes;
        if (owner.size() >= static_cast<qsizetype>(sizeof(long)) && *reinterpret_cast<const long*>(owner.constData()) == pid
            && XGetWindowAttributes(display_, w, &attributes) && attributes.map_state == IsViewable) {
            out.append({w, QString::fromUtf8(property(display_, w, nameAtom, utf8))});
        } else if (depth < 2) {
            collect(w, pid, depth + 1, out);  // under a window manager's frame
        }
    }
    if (children)
        XFree(children);
}

QList<XWindows::Window> XWindows::shown(qint64 pid)
{
    QList<Window> out;
    if (!display_)
        return out;
    XSync(display_, False);
    collect(DefaultRootWindow(display_), pid, 0, out);
    return out;
}

void XWindows::close(unsigned long window)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &e);
    XFlush(display_);
}
