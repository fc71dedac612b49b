#include "tests/support/RealDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <unistd.h>

namespace {

// Finds the dialog of xdg-desktop-portal-gnome through AT-SPI and answers it: argv[1] "share"
// (switch on "Allow remote interaction", then Share) or "cancel"; argv[2] seconds to wait.
const char kAnswerDialog[] = R"(import sys, time
import gi
gi.require_version('Atspi', '2.0')
from gi.repository import Atspi
def find(node, role, name, depth=0):
    if node is None or depth > 14:
        return None
    try:
        if node.get_role_name() == role and (node.get_name() or '').startswith(name):
            return node
        for i in range(node.get_child_count()):
            found = find(node.get_child_at_index(i), role, name, depth + 1)
            if found:
                return found
    except Exception:
        pass
    return None
share = sys.argv[1] == 'share'
deadline = time.time() + float(sys.argv[2])
while time.time() < deadline:
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None or app.get_name() != 'xdg-desktop-portal-gnome':
            continue
        switch = find(app, 'check box', 'Allow remote interaction')
        button = find(app, 'push button', '_Share' if share else '_Cancel')
        if switch and button:
            if share and not switch.get_state_set().contains(Atspi.StateType.CHECKED):
                Atspi.Action.do_action(switch, 0)
                time.sleep(0.2)
            Atspi.Action.do_action(button, 0)
            sys.exit(0)
    time.sleep(0.1)
sys.exit(1)
)";

QString firstExisting(const QStringList& paths) {
    for (const QString& path : paths)
        if (QFileInfo(path).isExecutable())
            return path;
    return QString();
}

} // namespace

RealDesktop::RealDesktop(Kind kind)
    : m_kind(kind), m_dir(QDir::tempPath() + QStringLiteral("/zorvel-desktop-XXXXXX")) {}

RealDesktop::~RealDesktop() {
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        if (it->state() == QProcess::NotRunning)
            continue;
        it->terminate();
        if (!it->waitForFinished(5000)) {
            it->kill();
            it->waitForFinished(3000);
        }
    }
    // The services our bus started on demand (document portal, accessibility bus, Xwayland)
    // outlive it: they are found by the runtime folder in their environment.
    if (m_env.contains("XDG_RUNTIME_DIR")) {
        const QByteArray mark = "XDG_RUNTIME_DIR=" + m_env.value("XDG_RUNTIME_DIR").toUtf8();
        for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
            bool number = false;
            const int id = pid.toInt(&number);
            QFile environ("/proc/" + pid + "/environ");
            if (number && id != getpid() && environ.open(QIODevice::ReadOnly) &&
                environ.readAll().split('\0').contains(mark))
                ::kill(id, SIGTERM);
        }
    }
}

QProcess& RealDesktop::launch(const QString& program, const QStringList& arguments, const QString& logName) {
    m_processes.emplace_back();
    QProcess& process = m_processes.back();
    process.setProcessEnvironment(m_env);
    process.setWorkingDirectory(m_dir.path());
    process.setStandardOutputFile(m_dir.filePath(logName));
    process.setStandardErrorFile(m_dir.filePath(logName));
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForStarted(5000);
    return process;
}

bool RealDesktop::updateActivationEnvironment(const QStringList& names) {
    QProcess update;
    update.setProcessEnvironment(m_env);
    update.start(QStringLiteral("dbus-update-activation-environment"), names);
    return update.waitForFinished(10000) && update.exitCode() == 0;
}

bool RealDesktop::waitForBusName(const QString& name, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QProcess ask;
        ask.setProcessEnvironment(m_env);
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                   QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("org.freedesktop.DBus.NameHasOwner"), QStringLiteral("string:") + name});
        if (ask.waitForFinished(5000) && ask.readAllStandardOutput().contains("boolean true"))
            return true;
        QThread::msleep(200);
    }
    return false;
}

QString RealDesktop::start(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const bool gnome = m_kind == Kind::Gnome;
    const QString compositor = QStandardPaths::findExecutable(gnome ? "mutter" : "kwin_wayland");
    const QString backend = gnome ? firstExisting({"/usr/libexec/xdg-desktop-portal-gnome"})
                                  : firstExisting({"/usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde",
                                                   "/usr/libexec/xdg-desktop-portal-kde"});
    const QString portal = firstExisting({"/usr/libexec/xdg-desktop-portal"});
    if (compositor.isEmpty() || backend.isEmpty() || portal.isEmpty())
        return QStringLiteral("the compositor or its portal is not installed");
    if (!m_dir.isValid())
        return QStringLiteral("no temporary folder");

    const QString run = m_dir.filePath("run");
    const QString home = m_dir.filePath("home");
    QDir().mkpath(run);
    QDir().mkpath(home);
    QFile::setPermissions(run, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_env = QProcessEnvironment();
    m_env.insert("PATH", "/usr/bin:/bin:/usr/sbin:/sbin");
    m_env.insert("HOME", home);
    m_env.insert("XDG_RUNTIME_DIR", run);
    m_env.insert("XDG_CONFIG_HOME", home + "/.config");
    m_env.insert("XDG_DATA_HOME", home + "/.local/share");
    m_env.insert("XDG_CACHE_HOME", home + "/.cache");
    m_env.insert("XDG_CURRENT_DESKTOP", gnome ? "GNOME" : "KDE");
    m_env.insert("LANG", "C.UTF-8");

    // The session bus.
    QProcess& bus = launch("dbus-daemon",
                           {"--session", "--nofork", "--nopidfile", "--print-address=1",
                            "--address=unix:path=" + m_dir.filePath("bus")},
                           "bus.log");
    m_env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_dir.filePath("bus"));
    Q_UNUSED(bus);
    while (!QFileInfo::exists(m_dir.filePath("bus")) && !deadline.hasExpired())
        QThread::msleep(20);
    if (!updateActivationEnvironment(m_env.keys()))
        return QStringLiteral("the private session bus did not start");

    // The compositor.
    const QString socket = gnome ? "zorvel-gnome" : "zorvel-kde";
    QProcess* display = nullptr;
    if (gnome) {
        display =
            &launch(compositor,
                    {"--headless", "--wayland", "--virtual-monitor", "1280x800", "--wayland-display", socket},
                    "compositor.log");
    } else {
        // A plain copy: the installed file carries a capability this container refuses.
        QDir().mkpath(m_dir.filePath("bin"));
        const QString copy = m_dir.filePath("bin/kwin_wayland");
        if (!QFile::copy(compositor, copy))
            return QStringLiteral("kwin_wayland could not be copied");
        QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner);
        display = &launch(copy,
                          {"--virtual", "--socket", socket, "--width", "1280", "--height", "800",
                           "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"},
                          "compositor.log");
    }
    QString xDisplay;
    while (!deadline.hasExpired()) {
        if (display->state() == QProcess::NotRunning) {
            QFile log(m_dir.filePath("compositor.log"));
            log.open(QIODevice::ReadOnly);
            return QStringLiteral("the compositor ended at start: ") +
                   QString::fromUtf8(log.readAll()).right(400);
        }
        if (QFileInfo::exists(run + "/" + socket)) {
            if (!gnome)
                break;
            // mutter starts Xwayland with it; the X display is in its log.
            QFile log(m_dir.filePath("compositor.log"));
            log.open(QIODevice::ReadOnly);
            const QRegularExpressionMatch match = QRegularExpression("Using public X11 display (:\\d+)")
                                                      .match(QString::fromUtf8(log.readAll()));
            const QStringList auth =
                QDir(run).entryList({".mutter-Xwaylandauth.*"}, QDir::Hidden | QDir::Files);
            if (match.hasMatch() && !auth.isEmpty()) {
                xDisplay = match.captured(1);
                m_env.insert("DISPLAY", xDisplay);
                m_env.insert("XAUTHORITY", run + "/" + auth.first());
                break;
            }
        }
        QThread::msleep(50);
    }
    if (deadline.hasExpired())
        return QStringLiteral("the compositor offered no Wayland socket in time");
    QThread::msleep(500); // the globals come right after the socket
    m_env.insert("WAYLAND_DISPLAY", run + "/" + socket);
    m_env.insert("QT_QPA_PLATFORM", "wayland");
    QStringList names{"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    if (gnome)
        names << "DISPLAY"
              << "XAUTHORITY";
    if (!updateActivationEnvironment(names))
        return QStringLiteral("the session bus did not take the display");

    // The accessibility bus first: the GNOME portal's dialog is answered through it, and a GTK
    // program that starts before it is never seen there.
    if (gnome) {
        QProcess a11y;
        a11y.setProcessEnvironment(m_env);
        a11y.start("dbus-send", {"--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                                 "org.a11y.Bus.GetAddress"});
        if (!a11y.waitForFinished(20000) || a11y.exitCode() != 0)
            return QStringLiteral("the accessibility bus did not start");
    }
    // The portal backend, then the portal.
    launch(backend, {}, "backend.log");
    if (!waitForBusName(gnome ? "org.freedesktop.impl.portal.desktop.gnome"
                              : "org.freedesktop.impl.portal.desktop.kde",
                        int(qMax<qint64>(1, deadline.remainingTime()))))
        return QStringLiteral("the portal backend did not come up");
    launch(portal, {"-r"}, "portal.log");
    if (!waitForBusName("org.freedesktop.portal.Desktop", int(qMax<qint64>(1, deadline.remainingTime()))))
        return QStringLiteral("xdg-desktop-portal did not come up");
    return QString();
}

bool RealDesktop::answerDialog(bool share, int timeoutMs) {
    const QString script = m_dir.filePath("answer_dialog.py");
    QFile file(script);
    if (!file.exists() && (!file.open(QIODevice::WriteOnly) || file.write(kAnswerDialog) < 0))
        return false;
    file.close();
    QProcess answer;
    answer.setProcessEnvironment(m_env);
    answer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    answer.start("/usr/bin/python3",
                 {script, share ? "share" : "cancel", QString::number(timeoutMs / 1000.0)});
    return answer.waitForFinished(timeoutMs + 10000) && answer.exitStatus() == QProcess::NormalExit &&
           answer.exitCode() == 0;
}
