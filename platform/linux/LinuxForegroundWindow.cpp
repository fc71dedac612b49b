#include "platform/linux/LinuxForegroundWindow.h"

#include "platform/linux/DesktopSession.h"
#include "platform/linux/WaylandForegroundWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QtDebug>
#include <mutex>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::unique_ptr<ForegroundWindow> ForegroundWindow::create() {
    // Under Wayland the compositor's list of toplevels names X11 (Xwayland) windows too.
    if (DesktopSession::isWayland())
        return std::make_unique<WaylandForegroundWindow>(LinuxForegroundWindow::defaultClassTable());
    return std::make_unique<LinuxForegroundWindow>();
}

namespace {

// A window that vanished between two requests gives BadWindow; that must not end the program.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct WindowClass {
    QString instance;
    QString windowClass;
};

std::optional<WindowClass> classOf(Display* display, Window window) {
    XClassHint hint = {nullptr, nullptr};
    if (!XGetClassHint(display, window, &hint))
        return std::nullopt;
    WindowClass result{QString::fromLocal8Bit(hint.res_name), QString::fromLocal8Bit(hint.res_class)};
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return result;
}

// From a window (often a child of the client window) up to the first one with a class.
std::optional<WindowClass> classUpwards(Display* display, Window window) {
    const Window root = DefaultRootWindow(display);
    for (int depth = 0; window != None && window != root && depth < 32; ++depth) {
        if (auto found = classOf(display, window))
            return found;
        Window rootReturn = None, parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count))
            return std::nullopt;
        if (children)
            XFree(children);
        window = parent;
    }
    return std::nullopt;
}

// From a top-level (perhaps a window manager's frame) down to the client window with a class.
std::optional<WindowClass> classDownwards(Display* display, Window window, int depth = 0) {
    if (auto found = classOf(display, window))
        return found;
    if (depth >= 3)
        return std::nullopt;
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count))
        return std::nullopt;
    std::optional<WindowClass> found;
    // Topmost child first.
    for (unsigned int i = count; i > 0 && !found; --i)
        found = classDownwards(display, children[i - 1], depth + 1);
    if (children)
        XFree(children);
    return found;
}

Window activeWindow(Display* display) {
    const Atom property = XInternAtom(display, "_NET_ACTIVE_WINDOW", True);
    if (property == None)
        return None;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    Window window = None;
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1, False, XA_WINDOW, &type,
                           &format, &items, &after, &data) == Success &&
        data) {
        if (type == XA_WINDOW && format == 32 && items == 1)
            window = *reinterpret_cast<Window*>(data);
        XFree(data);
    }
    return window;
}

} // namespace

LinuxForegroundWindow::LinuxForegroundWindow(const QHash<QString, QString>& classTable) {
    for (auto it = classTable.cbegin(); it != classTable.cend(); ++it)
        m_table.insert(it.key().toLower(), it.value());
}

LinuxForegroundWindow::~LinuxForegroundWindow() {
    if (m_display)
        XCloseDisplay(m_display);
}

QHash<QString, QString> LinuxForegroundWindow::defaultClassTable() {
    QHash<QString, QString> table;
    const QString notepad = QStringLiteral("Notepad");
    for (const char* name :
         {"gedit", "org.gnome.gedit", "gnome-text-editor", "org.gnome.texteditor", "mousepad", "pluma", "xed",
          "kate", "kwrite", "leafpad", "l3afpad", "featherpad", "xedit", "notepad.exe"})
        table.insert(QLatin1String(name), notepad);
    for (const char* name : {"notepadqq", "geany", "notepad++.exe"})
        table.insert(QLatin1String(name), QStringLiteral("Notepad++"));
    for (const char* name : {"libreoffice-writer", "abiword", "calligrawords", "wps", "winword.exe"})
        table.insert(QLatin1String(name), QStringLiteral("OpusApp"));
    for (const char* name : {"libreoffice-calc", "gnumeric", "et", "excel.exe"})
        table.insert(QLatin1String(name), QStringLiteral("XLMAIN"));
    for (const char* name : {"libreoffice-impress", "wpp", "powerpnt.exe"})
        table.insert(QLatin1String(name), QStringLiteral("PPTFrameClass"));
    for (const char* name : {"nautilus", "org.gnome.nautilus", "dolphin", "thunar", "pcmanfm", "pcmanfm-qt",
                             "nemo", "caja", "explorer.exe"})
        table.insert(QLatin1String(name), QStringLiteral("CabinetWClass"));
    table.insert(QStringLiteral("qq.exe"), QStringLiteral("TXGuiFoundation"));
    table.insert(QStringLiteral("wechat.exe"), QStringLiteral("WebChatMainWndForPC"));

    // services.ini [editors]: "linux class = Windows class" lines add to or replace the above.
    const QString path = QDir::currentPath() + QStringLiteral("/services.ini");
    if (QFileInfo::exists(path)) {
        QSettings ini(path, QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        ini.beginGroup(QStringLiteral("editors"));
        for (const QString& key : ini.childKeys()) {
            const QString value = ini.value(key).toString().trimmed();
            if (value.isEmpty())
                qWarning().noquote() << "Foreground window , empty class for" << key
                                     << "in services.ini, ignored !";
            else
                table.insert(key.toLower(), value);
        }
    }
    return table;
}

QString LinuxForegroundWindow::mappedName(const QString& instance, const QString& windowClass) const {
    // The class names the application ("Gedit"); the instance is tried too ("libreoffice-writer"
    // has the instance "libreoffice-writer" in some versions and the class in others).
    for (const QString& name : {windowClass, instance}) {
        const auto it = m_table.constFind(name.toLower());
        if (it != m_table.cend())
            return it.value();
    }
    return windowClass;
}

bool LinuxForegroundWindow::ensureDisplay() {
    if (m_display)
        return true;
    static std::once_flag handlerInstalled;
    std::call_once(handlerInstalled, [] { XSetErrorHandler(ignoreXError); });
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        m_display = XOpenDisplay(nullptr);
    if (!m_display && !m_warned) {
        qWarning("Foreground window , cannot open the X display, no foreground window known !");
        m_warned = true;
    }
    return m_display != nullptr;
}

std::optional<QString> LinuxForegroundWindow::className() {
    QMutexLocker lock(&m_mutex);
    if (!ensureDisplay())
        return std::nullopt;
    Display* display = m_display;
    const Window root = DefaultRootWindow(display);

    std::optional<WindowClass> found;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus != None && focus != PointerRoot && focus != root)
        found = classUpwards(display, focus);
    if (!found) {
        const Window active = activeWindow(display);
        if (active != None)
            found = classDownwards(display, active);
    }
    if (!found) {
        Window rootReturn = None, child = None;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int buttons = 0;
        if (XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &x, &y, &buttons) &&
            child != None)
            found = classDownwards(display, child);
    }
    if (!found)
        return std::nullopt;
    return mappedName(found->instance, found->windowClass);
}
